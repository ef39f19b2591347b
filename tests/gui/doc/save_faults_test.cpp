// Save faults made to happen for real, a file changed by another program
// while it is open, file names that are not UTF-8, and files that are no
// documents: each gives the user the right message, the document stays as
// it was and nothing on disk is damaged.

#include "core/doc/file_read.h"
#include "gui/widgets/file_names.h"
#include "support/file_faults.h"
#include "support/fixture.h"
#include "support/scratch_folder.h"

#include <QDir>
#include <QMdiArea>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <cstdlib>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zu::test {
namespace {

// Qt cannot remove a name that is not UTF-8 from the test's folder; this
// does, by its bytes.
struct RemovedAtTheEnd {
    std::string path;
    ~RemovedAtTheEnd() { ::unlink(path.c_str()); }
};

class SaveFaults : public AppTest {
protected:
    CZuDoc* open(const QString& file) { return openWhole(file); }
    int windows() const { return static_cast<int>(frame().mdiArea()->subWindowList().size()); }
    QStringList namesInFolder() const {
        return QDir(files.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Another program writes the file: later than zu's own write, as a
    // program run after it would.
    static void writeByAnotherProgram(const QString& file, const QByteArray& bytes) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // The text of the last message box; empty when none opened.
    QString lastMessage() const { return dialogs.messages().value(dialogs.messages().size() - 1); }
    void activate(CZuDoc* d) {
        auto* child = qobject_cast<CChildFrame*>(d->views().front()->parentWidget());
        frame().mdiArea()->setActiveSubWindow(child);
        settle();
    }
};

TEST_F(SaveFaults, EachFaultSaysWhyAndLeavesTheDocumentModifiedAndTheDiskWhole) {
    enum class Fault { ReadOnly, BecameAFolder, NameTooLong, FolderGone };
    struct Case {
        const char* name;
        Fault fault;
        QString message; // what the message ends with
    } cases[] = {
        {"read-only file", Fault::ReadOnly, QStringLiteral(" へのｱｸｾｽは拒否されました。")},
        {"path became a folder", Fault::BecameAFolder, QStringLiteral(" は無効なﾊﾟｽです。")},
        {"name too long", Fault::NameTooLong, QStringLiteral(" は無効なﾊﾟｽです。")},
        {"folder gone", Fault::FolderGone, QStringLiteral(" が見つかりません。")},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = writeFile(QStringLiteral("page%1.htm").arg(++round), "old");
        CZuDoc* d = open(file);
        ASSERT_NE(d, nullptr);
        QTest::keyClicks(view(), "edit ");
        QString target = file;
        std::unique_ptr<testing::Immutable> locked;
        switch (c.fault) {
        case Fault::ReadOnly:
            locked = std::make_unique<testing::Immutable>(pathFromQt(file).bytes());
            if (!locked->error().empty())
                GTEST_SKIP() << locked->error();
            break;
        case Fault::BecameAFolder:
            QFile::remove(file);
            QDir().mkdir(file);
            break;
        case Fault::NameTooLong:
            target = path(QString(NAME_MAX + 1, u'n'));
            break;
        case Fault::FolderGone:
            target = path(QStringLiteral("gone/page.htm"));
            break;
        }
        const QStringList before = namesInFolder();
        dialogs.thenMessage(QMessageBox::Ok);
        EXPECT_FALSE(saveDocumentTo(*d, pathFromQt(target)));
        EXPECT_EQ(lastMessage().toStdString(), (target + c.message).toStdString());
        EXPECT_TRUE(d->text().isModified());
        EXPECT_EQ(d->pathName(), pathFromQt(file));
        EXPECT_EQ(namesInFolder(), before) << "nothing left behind";
        if (c.fault != Fault::BecameAFolder) {
            EXPECT_EQ(readFile(file), QByteArray("old"));
        }
        d->text().setModified(false);
        frame().onCommand(cmd::FileClose);
        settle();
    }
}

TEST_F(SaveFaults, AWritableFileInAFolderThatCannotBeWrittenIsSaved) {
    const QString file = writeFile(QStringLiteral("page.htm"), "old");
    ASSERT_NE(open(file), nullptr);
    QTest::keyClicks(view(), "new ");
    const testing::Immutable locked(pathFromQt(files.path()).bytes());
    if (!locked.error().empty())
        GTEST_SKIP() << locked.error();
    frame().onCommand(cmd::FileSave);
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_EQ(readFile(file), QByteArray("new old"));
}

TEST_F(SaveFaults, AFileWithAnotherNameKeepsItsLinkAndTheOtherNameSeesTheText) {
    const QString file = writeFile(QStringLiteral("page.htm"), "old");
    const QString other = path(QStringLiteral("other.htm"));
    ASSERT_EQ(::link(pathFromQt(file).bytes().c_str(), pathFromQt(other).bytes().c_str()), 0);
    ASSERT_NE(open(file), nullptr);
    QTest::keyClicks(view(), "new ");
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(other), QByteArray("new old"));
}

TEST_F(SaveFaults, AReadOnlyFileOrAPathThatBecameAFolderAsksForAName) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "folder" : "read-only");
        const QString file = writeFile(QStringLiteral("p%1.htm").arg(folder), "old");
        ASSERT_NE(open(file), nullptr);
        QTest::keyClicks(view(), "new ");
        std::unique_ptr<testing::Immutable> locked;
        if (folder) {
            QFile::remove(file);
            QDir().mkdir(file);
        } else {
            locked = std::make_unique<testing::Immutable>(pathFromQt(file).bytes());
            if (!locked->error().empty())
                GTEST_SKIP() << locked->error();
        }
        dialogs.thenCancel();
        frame().onCommand(cmd::FileSave);
        EXPECT_TRUE(dialogs.done()) << "the save dialog must open";
        EXPECT_TRUE(doc()->text().isModified());
    }
}

TEST_F(SaveFaults, AnUnmodifiedDocumentChangedByAnotherProgramIsOfferedForReloading) {
    const QString file = writeFile(QStringLiteral("page.htm"), "ours\r\n");
    CZuDoc* d = open(file);
    ASSERT_NE(d, nullptr);
    frame().onCommand(cmd::FileNew);
    settle();
    writeByAnotherProgram(file, "theirs\r\nand more\r\n");

    dialogs.thenMessage(QMessageBox::Yes);
    activate(d);
    EXPECT_EQ(lastMessage(),
              file + QStringLiteral(" は他のﾌﾟﾛｸﾞﾗﾑで変更されました。再読み込みしますか？"));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("theirs\nand more\n"));
    EXPECT_FALSE(d->text().isModified());

    // Reloaded is read: a save now writes over nothing unknown.
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("theirs\r\nand more\r\n"));
}

TEST_F(SaveFaults, NoToTheReloadIsNotAskedAgainButTheSaveStillWarns) {
    const QString file = writeFile(QStringLiteral("page.htm"), "ours");
    CZuDoc* d = open(file);
    ASSERT_NE(d, nullptr);
    CZuDoc* other = app->newDocument();
    settle();
    writeByAnotherProgram(file, "theirs");

    dialogs.thenMessage(QMessageBox::No);
    activate(d);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("ours"));
    activate(other);
    activate(d); // the same version: no second question

    QTest::keyClicks(view(), "edit ");
    dialogs.thenMessage(QMessageBox::No);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(lastMessage(),
              file + QStringLiteral(" は他のﾌﾟﾛｸﾞﾗﾑで変更されています。上書きしますか？"));
    EXPECT_EQ(readFile(file), QByteArray("theirs"));
    EXPECT_TRUE(d->text().isModified());

    dialogs.thenMessage(QMessageBox::Yes);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("edit ours"));
    EXPECT_FALSE(d->text().isModified());
    frame().onCommand(cmd::FileSave); // now zu's own version: no question
}

TEST_F(SaveFaults, AModifiedDocumentIsToldOnceAndWarnedAboutOnSave) {
    const QString file = writeFile(QStringLiteral("page.htm"), "ours");
    CZuDoc* d = open(file);
    ASSERT_NE(d, nullptr);
    QTest::keyClicks(view(), "edit ");
    CZuDoc* other = app->newDocument();
    settle();
    // Another program, a process of its own, rewrites the file, then
    // deletes it. Each time the edits stay and the user learns of it when
    // the window comes back: once, not at every click.
    const std::string quoted = "'" + pathFromQt(file).bytes() + "'";
    const struct {
        std::string command;
        QString note;
    } changes[] = {
        {"printf 'theirs, replaced' > " + quoted, QStringLiteral("変更")},
        {"rm " + quoted, QStringLiteral("削除")},
    };
    for (const auto& c : changes) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(std::system(c.command.c_str()), 0);
        activate(other);
        dialogs.thenMessage(QMessageBox::Ok);
        activate(d);
        EXPECT_EQ(lastMessage(), file + QStringLiteral(" は他のﾌﾟﾛｸﾞﾗﾑで%1されました。"
                                                       "編集中の内容はそのまま残っています。")
                                            .arg(c.note));
        const auto told = dialogs.messages().size();
        activate(other);
        activate(d);
        EXPECT_EQ(dialogs.messages().size(), told);
        EXPECT_EQ(view()->toPlainText(), QStringLiteral("edit ours"));
        if (c.note == QStringLiteral("変更")) {
            dialogs.thenMessage(QMessageBox::No); // write over theirs?
            EXPECT_FALSE(saveDocument(*d));
            EXPECT_EQ(readFile(file), QByteArray("theirs, replaced"));
        }
    }
    // Save on the deleted file says so before it asks for a name.
    dialogs.thenMessage(QMessageBox::Ok);
    dialogs.thenSaveAs(file);
    EXPECT_TRUE(saveDocument(*d));
    EXPECT_EQ(lastMessage(), file + QStringLiteral(" は他のﾌﾟﾛｸﾞﾗﾑで削除されています。"
                                                   "保存するﾌｧｲﾙの名前を指定してください。"));
    EXPECT_EQ(readFile(file), QByteArray("edit ours"));
}

TEST_F(SaveFaults, ReloadingKeepsTheFilesOwnBytes) {
    // Characters in their second byte form and bytes that are not
    // Shift_JIS come back from a reload as they do from an open.
    const QByteArray bytes("\xed\x40\xfa\x5c\r\n\x80 x\r\n");
    const QString file = writeFile(QStringLiteral("forms.htm"), "x");
    CZuDoc* d = open(file);
    ASSERT_NE(d, nullptr);
    app->newDocument();
    settle();
    writeByAnotherProgram(file, bytes);
    dialogs.thenMessage(QMessageBox::Yes);
    activate(d);
    EXPECT_EQ(d->reload(), QString());
    ASSERT_TRUE(saveDocumentTo(*d, pathFromQt(file)));
    EXPECT_EQ(readFile(file).toHex().toStdString(), bytes.toHex().toStdString());
}

TEST_F(SaveFaults, ANameThatIsNotUtf8OpensSavesAndIsRemembered) {
    // "日本.htm" in Shift_JIS bytes, as an old archive writes it.
    const std::string folder = pathFromQt(files.path()).bytes();
    const std::string bytes = folder + "/\x93\xfa\x96\x7b.htm";
    const RemovedAtTheEnd remove{bytes};
    testing::writeFile(bytes, "<p>\r\n");
    const QString name = pathToQt(FilePath(bytes));

    CZuDoc* d = open(name);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->title(), QStringLiteral("日本.htm"));
    QTest::keyClicks(view(), "x");
    frame().onCommand(cmd::FileSave);
    EXPECT_FALSE(d->text().isModified());
    EXPECT_EQ(testing::readFile(bytes), "x<p>\r\n");
    EXPECT_EQ(namesIn(folder).size(), 2u) << "the config folder and the file, nothing else";
    ASSERT_FALSE(app->recentFiles().paths().empty());
    EXPECT_EQ(app->recentFiles().paths().front(), FilePath(bytes));

    // The list survives a restart with its bytes, and opens the file.
    frame().onCommand(cmd::FileClose);
    settle();
    app.reset();
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    settle();
    ASSERT_FALSE(app->recentFiles().paths().empty());
    EXPECT_EQ(app->recentFiles().paths().front(), FilePath(bytes));
    EXPECT_TRUE(frame().action(cmd::FileMru1)->text().endsWith(QStringLiteral("/日本.htm")))
        << frame().action(cmd::FileMru1)->text().toStdString();
    frame().onCommand(cmd::FileMru1);
    settle();
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->pathName(), FilePath(bytes));
}

TEST_F(SaveFaults, DropsAndTheFileDialogGiveTheRealBytesOfAName) {
    const std::string bytes = pathFromQt(files.path()).bytes() + "/\x93\xfa.htm";
    const RemovedAtTheEnd remove{bytes};
    testing::writeFile(bytes, "x");
    // The URL that View in Browser hands on, and that a drop brings back.
    const QUrl url = fileUrl(FilePath(bytes));
    EXPECT_TRUE(url.toString(QUrl::FullyEncoded).endsWith(QStringLiteral("/%93%FA.htm")))
        << url.toString(QUrl::FullyEncoded).toStdString();
    QMimeData drop;
    drop.setUrls({url});
    EXPECT_EQ(ui::localFiles(&drop), std::vector<FilePath>{FilePath(bytes)});
    drop.setUrls({QUrl::fromLocalFile(path(QStringLiteral("a b#.htm")))});
    EXPECT_EQ(ui::localFiles(&drop),
              std::vector<FilePath>{pathFromQt(path(QStringLiteral("a b#.htm")))});

    // What Qt's dialog hands back for the name: its lossy decoding.
    const QString shown = QString::fromUtf8(QByteArray::fromStdString(bytes));
    ASSERT_TRUE(shown.contains(QChar(0xFFFD)));
    EXPECT_EQ(recoverLossyName(shown), FilePath(bytes));
    EXPECT_EQ(recoverLossyName(path(QStringLiteral("plain.htm"))),
              pathFromQt(path(QStringLiteral("plain.htm"))));
}

TEST_F(SaveFaults, WhatIsNoDocumentIsRefusedWithAMessageAndNoWindow) {
    const QString fifo = path(QStringLiteral("fifo.htm"));
    ASSERT_EQ(::mkfifo(pathFromQt(fifo).bytes().c_str(), 0644), 0);
    QDir(files.path()).mkdir(QStringLiteral("folder.htm"));
    const QString failed = QStringLiteral("ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。");
    struct Case {
        QString file;
        QString message;
    } cases[] = {
        {fifo, failed},
        {QStringLiteral("/dev/null"), failed},
        {QStringLiteral("/dev/zero"), failed},
        {QStringLiteral("/proc/self/mem"), failed}, // unreadable, even for root
        {path(QStringLiteral("folder.htm")),
         path(QStringLiteral("folder.htm")) + QStringLiteral(" は無効なﾊﾟｽです。")},
        {path(QStringLiteral("missing.htm")),
         path(QStringLiteral("missing.htm")) + QStringLiteral(" が見つかりません。")},
    };
    ::alarm(30); // a blocked open ends the test instead of hanging it
    for (const Case& c : cases) {
        const int before = windows();
        dialogs.thenMessage(QMessageBox::Ok);
        EXPECT_EQ(open(c.file), nullptr) << c.file.toStdString();
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(windows(), before);
    }
    ::alarm(0);
    // And the program goes on working.
    frame().onCommand(cmd::FileNew);
    QTest::keyClicks(view(), "ok");
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("ok"));
}

TEST_F(SaveFaults, BinaryFilesOpenAndSaveByteForByte) {
    // Every byte, in lines of the same break: mixed breaks are a matter of
    // their own, and so are very long lines.
    std::mt19937 random(5);
    QByteArray bytes;
    while (bytes.size() < 200000) {
        for (int i = 0; i < 78; ++i) {
            char b;
            do
                b = static_cast<char>(random() % 4 == 0 ? 0 : random());
            while (b == '\r' || b == '\n');
            bytes += b;
        }
        bytes += "\r\n";
    }
    const QString file = writeFile(QStringLiteral("binary.bin"), bytes);
    ASSERT_NE(open(file), nullptr);
    QTest::keyClick(view(), Qt::Key_X);
    QTest::keyClick(view(), Qt::Key_Backspace);
    EXPECT_TRUE(saveDocumentTo(*doc(), pathFromQt(file)));
    const QByteArray back = readFile(file);
    EXPECT_EQ(back.size(), bytes.size());
    for (qsizetype i = 0; i < std::min(back.size(), bytes.size()); ++i)
        if (back[i] != bytes[i]) {
            ADD_FAILURE() << "first difference at " << i << ": "
                          << bytes.mid(i, 8).toHex().toStdString() << " became "
                          << back.mid(i, 8).toHex().toStdString();
            break;
        }
}

TEST_F(SaveFaults, A64MegabyteFileOpensWhole) {
    QByteArray big;
    const QByteArray line = QByteArray(98, 'a') + "\r\n";
    big.reserve(64 << 20);
    while (big.size() < (64 << 20))
        big += line;
    const QString file = writeFile(QStringLiteral("huge.htm"), big);
    const qsizetype lines = big.size() / line.size();
    big = QByteArray();
    ASSERT_NE(open(file), nullptr);
    EXPECT_EQ(view()->document()->blockCount(), lines + 1);
}

} // namespace
} // namespace zu::test
