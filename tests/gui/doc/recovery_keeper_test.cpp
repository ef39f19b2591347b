// Recovery copies as the user meets them: one appears while a document has
// unsaved changes, goes when they are saved or dropped, and what a run left
// behind is offered back at the next start.

#include "support/fixture.h"

#include "support/file_faults.h"

#include "core/doc/recovery.h"
#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "gui/doc/recovery_keeper.h"
#include "gui/doc/text_load.h"
#include "gui/view/find_replace.h"
#include "gui/view/whole_text.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <random>

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
            d->text().setModified(false);
        app.reset();
        settle();
        app = std::make_unique<CZuApp>();
        ASSERT_FALSE(app->start({}).has_value());
        settle();
    }
};

TEST_F(Recovery, ACopyFollowsUnsavedEditsAndGoesWhenTheyAreSaved) {
    const QString file = writeFile(QStringLiteral("page.htm"), "\x93\xfa\x96\x7b\r\n");
    ASSERT_NE(app->openFile(pathFromQt(file)), nullptr);
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
    ASSERT_NE(app->openFile(pathFromQt(file)), nullptr);
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
    EXPECT_EQ(doc()->pathName(), pathFromQt(file));
    EXPECT_TRUE(doc()->text().isModified());
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
    const auto copy = [&](int n, const std::string& bytes) {
        return writeFile(QStringLiteral("config/recovery/") +
                             QString::fromStdString(recoveryFileName(endedProcess(), n)),
                         QByteArray::fromStdString(bytes));
    };
    const QString offered = copy(1, whole);
    const QString damaged[] = {
        copy(2, whole.substr(0, whole.size() - 1)),
        // A length past any text (2^63 + 1), made by hand.
        copy(3, "zu recovery 1\ntitle \npath \nencoding \nbom 0\nlinebreak 0\nbreaks "
                "\nvariants\ntext 9223372036854775809\nab"),
    };

    dialogs.thenMessage(QMessageBox::No);
    dialogs.thenMessage(QMessageBox::Ok);
    restart();
    ASSERT_EQ(dialogs.messages().size(), 2) << "only the whole copy is offered";
    EXPECT_FALSE(QFile::exists(offered));
    // Put aside, not removed, and named in one message.
    for (const QString& name : damaged) {
        EXPECT_FALSE(QFile::exists(name));
        EXPECT_TRUE(QFile::exists(name + QStringLiteral(".damaged")));
        EXPECT_TRUE(dialogs.messages().last().contains(name + QStringLiteral(".damaged")));
    }
    restart();
    EXPECT_EQ(dialogs.messages().size(), 2) << "never offered again";
}

// Opened, edited at random and then read back from its copy alone, every
// kind of document is what the window holds: each encoding, breaks of
// every kind in one file, bytes kept raw, both byte forms, long lines.
TEST_F(Recovery, TheCopyHoldsEveryEditExactly) {
    // Raw bytes, mixed breaks, and enough characters in their other byte
    // form that some outlive the edits.
    const QByteArray kShiftJis = "\x93\xfa\x96\x7b\x80<p>\xed\x40\xfa\x5c x\r\nb\nend\rz\r\n" +
                                 QByteArray("\xed\x40 ").repeated(30);
    const struct {
        QByteArray bytes;
        std::size_t joinBound;
    } pages[] = {
        {kShiftJis, kSoftJoinBound},
        {kShiftJis, 6},
        {"\xEF\xBB\xBF<p>\xE6\x97\xA5\xE6\x9C\xAC</p>\r\nb\n", 5},
        {QByteArray("\xFF\xFE"
                    "a\0\r\0\n\0b\0\n\0",
                    12),
         kSoftJoinBound},
        {"<meta charset=euc-jp>\xC6\xFC\xCB\xDC\r\n\x8E\xB1\n", 7},
        {"<meta charset=iso-2022-jp>\x1B$BF|\x1B(B\r\nx", kSoftJoinBound},
    };
    const QString typed[] = {QStringLiteral("ab"), QStringLiteral("日本語"), QStringLiteral("<b>"),
                             QStringLiteral("x y z 1 2 3 4 5 6")};
    std::mt19937 random(16);
    const auto pick = [&](long n) { return static_cast<long>(random() % std::max(n, 1L)); };
    int page = 0;
    for (const auto& p : pages) {
        TextModel::setDefaultJoinBound(p.joinBound);
        const QString name = QStringLiteral("p%1.htm").arg(page++);
        ASSERT_NE(app->openFile(pathFromQt(writeFile(name, p.bytes))), nullptr);
        if (page == 2) { // edited, then rewritten by another program before any copy
            QTextCursor(doc()->text().textDocument()).insertText(QStringLiteral("x"));
            doc()->switchEncoding(*findEncoding("UTF-8"));
            writeFile(name, "another program's");
            dialogs.thenMessage(QMessageBox::Ok); // the note that another program changed it
        }
        TextModel::setDefaultJoinBound(kSoftJoinBound);
        settle();
        auto* keeper = doc()->findChild<RecoveryKeeper*>();
        const auto check = [&](int step) {
            ASSERT_TRUE(keeper->writeNow());
            const auto back =
                parseRecovery(readFile(QString::fromStdString(keeper->file())).toStdString());
            ASSERT_TRUE(back.has_value()) << page << " " << step;
            RecoveryRecord live = doc()->recoveryRecord();
            EXPECT_EQ(back->text, live.text) << page << " " << step;
            EXPECT_EQ(back->breaks, live.breaks) << page << " " << step;
            // Byte forms count where they are saved: a character typed next
            // to one takes its format, which no save writes.
            const auto saved = [](const RecoveryRecord& r) {
                const TextForm form{findEncoding(r.encoding), r.byteOrderMark, r.lineBreak};
                return encodeDocument(r.text, form, r.variants, Unmappable::CharacterReference,
                                      r.breaks)
                    .bytes;
            };
            EXPECT_EQ(saved(*back), saved(live)) << page << " " << step;
            EXPECT_EQ(formOf(*back), formOf(live)) << page << " " << step;
        };
        if (page == 2) { // its copy starts from the text, then byte forms count again
            ASSERT_TRUE(keeper->writeNow());
            doc()->switchEncoding(*findEncoding("CP932"));
            check(-1);
        }
        for (int step = 0; step < 80; ++step) {
            const long length = doc()->text().sourceLength();
            const long from = pick(length + 1);
            view()->setFocus();
            view()->setSelection(from, from + pick(std::min(length - from, 12L) + 1));
            switch (pick(7)) {
            case 0:
            case 1:
                // Characters with no key of their own, as an input method gives them.
                for (const QChar c : typed[pick(4)]) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(view(), &press);
                }
                break;
            case 2:
                QTest::keyClick(view(), Qt::Key_Return);
                break;
            case 3:
                QTest::keyClick(view(), Qt::Key_Backspace);
                break;
            case 4:
                QTest::keyClick(view(), Qt::Key_Delete);
                break;
            case 5:
                view()->undo();
                break;
            default:
                view()->redo();
            }
            if (step % 20 == 7)
                doc()->setLineBreakStyle(static_cast<LineBreak>(pick(3)));
            if (step % 20 == 17)
                doc()->switchEncoding(
                    *findEncoding(doc()->form().encoding->keepsByteForms() ? "UTF-8" : "CP932"));
            // Saved, the next copy starts from the file's bytes.
            if (step == 30)
                doc()->saveTo(doc()->pathName(), Unmappable::Report);
            if (step % 8 == 7 && doc()->text().isModified())
                check(step);
        }
    }
}

// The file was rewritten by another program after the edits were made:
// the offer says so, and Save asks before writing over that program's work.
// Replace All on a long text changes it a batch at a time between events:
// what was typed before is copied as the work begins, and the copy stays
// that text, even when the program must end meanwhile, until the work is
// over; then it follows the whole change.
TEST_F(Recovery, ACopyKeepsTheTextAsItWasWhileWorkInTheBackgroundChangesIt) {
    QByteArray page;
    for (int line = 0; line < 300; ++line)
        page += "<p>ab</p>\r\n";
    // Nothing copied but at the work's start and by writeNow.
    qputenv("ZU_RECOVERY_DELAY_MS", "60000");
    ASSERT_NE(app->openFile(pathFromQt(writeFile(QStringLiteral("page.htm"), page))), nullptr);
    settle();
    auto* keeper = doc()->findChild<RecoveryKeeper*>();
    type("x");
    const std::u16string typed = doc()->recoveryRecord().text;
    const QString file = QString::fromStdString(keeper->file());
    const auto copied = [&] {
        const auto back = parseRecovery(readFile(file).toStdString());
        return back ? back->text : std::u16string(u"(no copy)");
    };

    // A batch a turn.
    removalBackgroundLength() = 1000;
    TextLoad::setStep(0, 1000);
    FindOptions options;
    options.text = QStringLiteral("ab");
    options.replacement = QStringLiteral("cd");
    std::optional<int> replaced;
    FindReplace::instance().replaceAll(view(), options, [&](int n) { replaced = n; });
    int turns = 0;
    for (; !replaced && turns < 100000; ++turns) {
        QCoreApplication::processEvents();
        if (doc()->text().work() && turns % 50 == 0) {
            ASSERT_TRUE(keeper->writeNow());
            ASSERT_EQ(copied(), typed) << "turn " << turns;
        }
    }
    removalBackgroundLength() = 4L << 20;
    TextLoad::setStep(TextLoad::kStepMilliseconds, TextLoad::kStepCharacters);
    EXPECT_EQ(replaced, 300);
    EXPECT_GT(turns, 100);
    ASSERT_TRUE(keeper->writeNow());
    EXPECT_EQ(copied(), doc()->recoveryRecord().text);
}

TEST_F(Recovery, ARestoredDocumentAsksBeforeWritingOverANewerFile) {
    const QString file = writeFile(QStringLiteral("page.htm"), "old\r\n");
    ASSERT_NE(app->openFile(pathFromQt(file)), nullptr);
    settle();
    type("mine ");
    ASSERT_TRUE(doc()->findChild<RecoveryKeeper*>()->writeNow());
    const QByteArray copy = readFile(folder() + QLatin1Char('/') + copies().front());

    for (const char* now : {"old\r\n", "new work\r\n"}) {
        QFile left(QStringLiteral("%1/%2").arg(
            folder(), QString::fromStdString(recoveryFileName(endedProcess(), 1))));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly) && left.write(copy) == copy.size());
        left.close();
        writeFile(QStringLiteral("page.htm"), now); // rewritten, maybe with the same bytes
        const bool changed = QByteArray(now) != "old\r\n";
        const auto before = dialogs.messages().size();
        dialogs.thenMessage(QMessageBox::Yes);
        if (changed)
            dialogs.thenMessage(QMessageBox::No);
        restart();
        EXPECT_EQ(
            dialogs.messages().last().contains(QStringLiteral("他のﾌﾟﾛｸﾞﾗﾑで変更されています")),
            changed);
        frame().onCommand(cmd::FileSave);
        EXPECT_EQ(dialogs.messages().size() - before, changed ? 2 : 1)
            << "the question before saving";
        EXPECT_EQ(readFile(file), changed ? QByteArray(now) : QByteArray("mine old\r\n"));
        app->closeAllDocuments();
        settle();
    }
}

// A recovery folder that takes no copy: said once, with the folder and the
// reason; the copy is written as soon as it can be; and a signal to end
// keeps the edits in the second place, where the next start finds them.
TEST_F(Recovery, AFolderThatTakesNoCopyIsSaidOnceAndTheEditsAreKeptElsewhere) {
    const QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    {
        const testing::Immutable locked(QFile::encodeName(folder()).toStdString());
        if (!locked.error().empty())
            GTEST_SKIP() << locked.error();
        dialogs.thenMessage(QMessageBox::Ok);
        type("a");
        settle();
        QTest::qWait(200);
        app->newDocument(); // a second copy that cannot be written: still said once
        type("x");
        QTest::qWait(200);
        settle();
        doc()->text().setModified(false);
        emit doc()->closeRequested();
        settle();
        type("b");
        QTest::qWait(200);
        settle();
        ASSERT_EQ(dialogs.messages().size(), 1) << "said once";
        EXPECT_TRUE(dialogs.messages().front().contains(folder()));
        EXPECT_TRUE(dialogs.messages().front().contains(QStringLiteral("拒否されました")));
        EXPECT_TRUE(copies().isEmpty());
    }
    EXPECT_TRUE(waitForCopies(1)) << "written once the folder takes it, with no new edit";

    {
        const testing::Immutable lockedFolder(QFile::encodeName(folder()).toStdString());
        const testing::Immutable lockedCopy(
            QFile::encodeName(folder() + QLatin1Char('/') + copies().front()).toStdString());
        dialogs.thenMessage(QMessageBox::Ok); // said again: it had worked in between
        type("c");
        app->keepEverythingAndQuit();
        settle();
    }
    const QString second = runtime.path() + QStringLiteral("/zu-recovery");
    const QStringList kept = QDir(second).entryList({QStringLiteral("*.zurecover")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(parseRecovery(readFile(second + QLatin1Char('/') + kept.front()).toStdString())
                  .value_or(RecoveryRecord{})
                  .text,
              u"abc");
    // Left by a process that has ended, it is offered at the next start.
    QFile::rename(second + QLatin1Char('/') + kept.front(),
                  second + QLatin1Char('/') +
                      QString::fromStdString(recoveryFileName(endedProcess(), 1)));
    dialogs.thenMessage(QMessageBox::No);
    restart();
    EXPECT_EQ(dialogs.messages().size(), 3);
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("の保存されていない変更")));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
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
