// Recovery copies as the user meets them: one appears while a document has
// unsaved changes, goes when they are saved or dropped, and what a run left
// behind is offered back at the next start.

#include "support/fixture.h"

#include "core/doc/recovery.h"
#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "gui/doc/recovery_keeper.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace zu::test {
namespace {

class Recovery : public AppTest {
protected:
    void SetUp() override {
        // Copies follow the edits at once, so that the tests need not wait.
        qputenv("ZU_RECOVERY_DELAY_MS", "0");
        AppTest::SetUp();
    }
    void TearDown() override {
        AppTest::TearDown();
        qunsetenv("ZU_RECOVERY_DELAY_MS");
    }

    static QString folder() {
        return QString::fromLocal8Bit(qgetenv("ZU_CONFIG_DIR")) + QStringLiteral("/recovery");
    }
    static QStringList copies() {
        return QDir(folder()).entryList({QStringLiteral("*.zurecover")}, QDir::Files);
    }
    // Waits (briefly) until the number of copies is `count`.
    static bool waitForCopies(int count) {
        QElapsedTimer timer;
        timer.start();
        while (copies().size() != count && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QTest::qWait(10);
        }
        return copies().size() == count;
    }
    // The id of a process that has ended.
    static long endedProcess() {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        return child;
    }
    void type(const char* text) {
        view()->setFocus();
        QTest::keyClicks(view(), text);
    }
    // Starts the program again on the same config folder, as after a crash.
    void restart() {
        for (CZuDoc* d : app->documents())
            d->setModified(false);
        app.reset();
        settle();
        app = std::make_unique<CZuApp>();
        ASSERT_FALSE(app->start({}).has_value());
        settle();
    }
};

TEST_F(Recovery, ACopyFollowsUnsavedEditsAndGoesWhenTheyAreSaved) {
    const QString file = writeFile(QStringLiteral("page.htm"), "\x93\xfa\x96\x7b\r\n");
    ASSERT_NE(app->openFile(file), nullptr);
    settle();
    EXPECT_TRUE(copies().isEmpty()) << "nothing unsaved yet";
    type("abc");
    ASSERT_TRUE(waitForCopies(1));
    frame().onCommand(cmd::FileSave);
    EXPECT_TRUE(waitForCopies(0)) << "saved: nothing to recover";

    // Taken back to the saved text, there is nothing to recover either.
    type("x");
    ASSERT_TRUE(waitForCopies(1));
    frame().onCommand(cmd::EditUndo);
    EXPECT_TRUE(waitForCopies(0));

    // "No" at the close prompt drops the changes and their copy.
    type("y");
    ASSERT_TRUE(waitForCopies(1));
    dialogs.thenMessage(QMessageBox::No);
    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_TRUE(waitForCopies(0));
}

TEST_F(Recovery, WhatARunLeftIsOfferedAndRestoredExactly) {
    // A Shift_JIS page with a raw byte, a duplicate character in its other
    // byte form and mixed breaks, edited and then lost with its process.
    const QByteArray bytes("\x93\xfa\x96\x7b\x80\r\n\xfa\x40\nend\r\n");
    const QString file = writeFile(QStringLiteral("lost.htm"), bytes);
    ASSERT_NE(app->openFile(file), nullptr);
    settle();
    type("new ");
    ASSERT_TRUE(waitForCopies(1));
    const QString left = QStringLiteral("%1/%2").arg(
        folder(), QString::fromStdString(recoveryFileName(endedProcess(), 1)));
    ASSERT_TRUE(QFile::copy(folder() + QLatin1Char('/') + copies().front(), left));

    dialogs.thenMessage(QMessageBox::Yes);
    restart();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("lost.htm の保存されていない")))
        << dialogs.messages().last().toStdString();
    EXPECT_TRUE(dialogs.messages().last().contains(file));
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->title(), QStringLiteral("lost.htm"));
    EXPECT_EQ(doc()->pathName(), file);
    EXPECT_TRUE(doc()->isModified());
    EXPECT_FALSE(QFile::exists(left)) << "the restored document keeps the copy as its own";

    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("new ") + bytes);
}

TEST_F(Recovery, NoDiscardsWhatARunLeftAndADamagedCopyIsNotOffered) {
    RecoveryRecord r;
    r.title = "gone.htm";
    r.encoding = "CP932";
    r.text = u"text";
    const std::string whole = serializeRecovery(r);
    const QString offered =
        folder() +
        QStringLiteral("/%1").arg(QString::fromStdString(recoveryFileName(endedProcess(), 1)));
    const QString damaged =
        folder() +
        QStringLiteral("/%1").arg(QString::fromStdString(recoveryFileName(endedProcess(), 2)));
    writeFile(QStringLiteral("x"), QByteArray::fromStdString(whole));
    QFile::copy(path(QStringLiteral("x")), offered);
    writeFile(QStringLiteral("y"), QByteArray::fromStdString(whole.substr(0, whole.size() - 1)));
    QFile::copy(path(QStringLiteral("y")), damaged);

    dialogs.thenMessage(QMessageBox::No);
    restart();
    EXPECT_EQ(dialogs.messages().size(), 1) << "only the whole copy is offered";
    EXPECT_FALSE(QFile::exists(offered));
    EXPECT_FALSE(QFile::exists(damaged));
}

TEST_F(Recovery, EndingOnASignalKeepsEveryUnsavedChange) {
    type("unsaved");
    app->keepEverythingAndQuit();
    settle();
    ASSERT_EQ(copies().size(), 1) << "the copy stays for the next start";
    const auto record =
        parseRecovery(readFile(folder() + QLatin1Char('/') + copies().front()).toStdString());
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->text, u"unsaved");
    EXPECT_EQ(record->title, "Zu1");
}

} // namespace
} // namespace zu::test
