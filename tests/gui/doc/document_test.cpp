// Documents on disk: opening and saving byte for byte, line breaks, the
// save dialog, and every failure the user must be told about.

#include "support/fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <csignal>
#include <sys/resource.h>

namespace zu::test {
namespace {

class Document : public AppTest {
protected:
    CZuDoc* open(const QString& file) { return openWhole(file); }
    int windows() const { return static_cast<int>(frame().mdiArea()->subWindowList().size()); }
    void typeAndDeleteOneCharacter() {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key_X);
        QTest::keyClick(view(), Qt::Key_Backspace);
        ASSERT_TRUE(doc()->text().isModified());
    }
};

struct RoundTrip {
    const char* name;
    QByteArray bytes;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class DocumentRoundTrip : public Document, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(DocumentRoundTrip, SavesTheBytesItOpened) {
    const QByteArray original = GetParam().bytes;
    const QString file = writeFile(QStringLiteral("round.htm"), original);
    ASSERT_NE(open(file), nullptr);
    EXPECT_FALSE(doc()->text().isModified());

    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file).toHex().toStdString(), original.toHex().toStdString())
        << "opened and saved unedited";

    typeAndDeleteOneCharacter();
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file).toHex().toStdString(), original.toHex().toStdString())
        << "after typing a character and deleting it";
    EXPECT_FALSE(doc()->text().isModified());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocumentRoundTrip,
    ::testing::Values(
        RoundTrip{"JapaneseCrLf", QByteArray("<html>\r\n\x93\xfa\x96\x7b\x8c\xea\r\n</html>\r\n")},
        RoundTrip{"Lf", QByteArray("<p>\n\x83\x5c\x95\x5c\n</p>\n")},
        RoundTrip{"Cr", QByteArray("a\rb\r\rc")},
        RoundTrip{"NoBreak", QByteArray("\xb1\xb2\xb3 half-width kana")},
        RoundTrip{"Empty", QByteArray()},
        RoundTrip{"InvalidBytes", QByteArray("a\x80"
                                             "b\xa0"
                                             "c\xfd\xfe\xff\x81 d\x85\x40\r\n")},
        RoundTrip{"TrailingLoneLeadByte", QByteArray("abc\r\n\x81")},
        RoundTrip{"BothFormsOfDuplicatedCharacters",
                  QByteArray("\xed\x40\xfa\x5c\r\n\x81\xca\xee\xf9\xfa\x54\r\n\x81\xe0\x87\x90")},
        RoundTrip{"ControlCharacters", QByteArray("\ttab\x1b\x7f\x0c\r\n", 10)},
        RoundTrip{"NoBreakSpaceLookalikes", QByteArray("\x81\x40\x20\x81\x40")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Document, MixedLineBreaksAreNoticedAndKept) {
    const QString file = writeFile(QStringLiteral("mixed.htm"), "a\r\nb\nc\r\nd\re\r\n");
    ASSERT_NE(open(file), nullptr);
    EXPECT_TRUE(frame().statusBar()->currentMessage().contains(QStringLiteral("混在")))
        << frame().statusBar()->currentMessage().toStdString();
    typeAndDeleteOneCharacter();
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("a\r\nb\nc\r\nd\re\r\n"));
}

TEST_F(Document, InsertedLineBreaksFollowTheFileStyle) {
    const QString file = writeFile(QStringLiteral("lf.htm"), "x\n");
    ASSERT_NE(open(file), nullptr);
    view()->setSelection(0, 1);
    frame().onCommand(32802); // paragraph: "<p>" and "</p>\r\n"
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("<p>x</p>\n\n"));
}

TEST_F(Document, BytesThatAreNotShiftJisAreMarkedOnScreen) {
    ASSERT_NE(open(writeFile(QStringLiteral("raw.htm"), "ok\x80ok")), nullptr);
    const QTextBlock block = view()->document()->firstBlock();
    bool marked = false;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        marked |=
            r.start == 2 && r.length == 1 && r.format.hasProperty(QTextFormat::BackgroundBrush);
    EXPECT_TRUE(marked);
}

TEST_F(Document, NewDocumentsAreNumberedAndSaveAsAnEmptyFileUnderTheProposedName) {
    EXPECT_EQ(doc()->title(), QStringLiteral("Zu1"));
    frame().onCommand(cmd::FileNew);
    EXPECT_EQ(doc()->title(), QStringLiteral("Zu2"));
    EXPECT_TRUE(frame().activeChild()->isMaximized());
    EXPECT_FALSE(doc()->text().isModified());

    const QString file = path(QStringLiteral("saved.htm"));
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(dialogs.titles().value(0), QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(dialogs.proposedName(), QStringLiteral("Zu2.htm"));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(readFile(file), QByteArray());
    EXPECT_EQ(doc()->title(), QStringLiteral("saved.htm"));
    EXPECT_EQ(doc()->pathName(), pathFromQt(file));
}

TEST_F(Document, SaveOnAFileMadeReadOnlyOrDeletedAsksForAName) {
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "read-only");
        const QString file = writeFile(QStringLiteral("ro%1.htm").arg(deleted), "old");
        ASSERT_NE(open(file), nullptr);
        QTest::keyClicks(view(), "new ");
        if (deleted) {
            QFile::remove(file);
            dialogs.thenMessage(QMessageBox::Ok); // the file is gone: why a name is asked
        } else {
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
        dialogs.thenCancel();
        frame().onCommand(cmd::FileSave);
        EXPECT_TRUE(dialogs.done()) << "the save dialog must open";
        EXPECT_TRUE(doc()->text().isModified());
        if (!deleted) {
            EXPECT_EQ(readFile(file), QByteArray("old"));
        }
    }
}

TEST_F(Document, AFailedSaveSaysWhyAndKeepsTheDocumentAsItWas) {
    const QString file = writeFile(QStringLiteral("keep.htm"), "old");
    writeFile(QStringLiteral("plain"), "not a folder");
    ASSERT_NE(open(file), nullptr);
    QTest::keyClicks(view(), "edit ");
    struct Case {
        QString target;
        QString message;
    } cases[] = {
        {path(QStringLiteral("no/such/folder/x.htm")), QStringLiteral("が見つかりません。")},
        {path(QStringLiteral("plain/x.htm")), QStringLiteral("は無効なﾊﾟｽです。")},
    };
    for (const Case& c : cases) {
        dialogs.thenMessage(QMessageBox::Ok);
        EXPECT_FALSE(saveDocumentTo(*doc(), pathFromQt(c.target)));
        EXPECT_TRUE(dialogs.messages().last().endsWith(c.message))
            << dialogs.messages().last().toStdString();
        EXPECT_TRUE(dialogs.messages().last().startsWith(c.target));
        EXPECT_TRUE(doc()->text().isModified());
        EXPECT_EQ(doc()->pathName(), pathFromQt(file));
    }
}

TEST_F(Document, AFullDiskFailsTheSaveAndLeavesTheOldFileWhole) {
    // The disk fills for real: the file-size limit stops the write half-way,
    // as a full disk would, and works for root too.
    const QByteArray old(3000, 'o');
    const QString file = writeFile(QStringLiteral("full.htm"), old);
    ASSERT_NE(open(file), nullptr);
    view()->insertPlainText(QString(200000, u'n'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    dialogs.thenMessage(QMessageBox::Ok);
    const bool saved_ok = saveDocumentTo(*doc(), pathFromQt(file));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok);
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.messages().last(),
              file + QStringLiteral(" へのｱｸｾｽ中にﾃﾞｨｽｸの空き容量が不足しました。"));
    EXPECT_EQ(readFile(file), old);
    EXPECT_TRUE(doc()->text().isModified());
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("full.htm")})
        << "no temporary file may stay behind";
}

TEST_F(Document, CharactersShiftJisCannotHoldAreNamedAndMayBeSavedAsReferences) {
    view()->insertPlainText(QStringLiteral("a€b\n😀"));
    const QString file = path(QStringLiteral("euro.htm"));

    dialogs.thenMessage(QMessageBox::Cancel);
    EXPECT_FALSE(saveDocumentTo(*doc(), pathFromQt(file)));
    const QString asked = dialogs.messages().last();
    EXPECT_TRUE(asked.contains(QStringLiteral("1 行目"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("「€」")));
    EXPECT_TRUE(asked.contains(QStringLiteral("U+20AC")));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(doc()->text().isModified());

    dialogs.thenMessage(QMessageBox::Ok);
    EXPECT_TRUE(saveDocumentTo(*doc(), pathFromQt(file)));
    EXPECT_EQ(readFile(file), QByteArray("a&#8364;b\r\n&#128512;"));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("a&#8364;b\n&#128512;"))
        << "what is shown is what was saved";
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("a€b\n😀"));
}

TEST_F(Document, ANoBreakSpaceIsACharacterOfItsOwn) {
    // It looks like a space but may not reach the file as one.
    view()->insertPlainText(QStringLiteral("a\u00a0b"));
    const QString file = path(QStringLiteral("nbsp.htm"));
    dialogs.thenMessage(QMessageBox::Ok);
    EXPECT_TRUE(saveDocumentTo(*doc(), pathFromQt(file)));
    EXPECT_EQ(readFile(file), QByteArray("a&#160;b"));
}

TEST_F(Document, AFileThatCannotBeOpenedLeavesNoWindow) {
    QDir(files.path()).mkdir(QStringLiteral("folder.htm"));
    struct Case {
        QString file;
        QString message;
    } cases[] = {
        {path(QStringLiteral("missing.htm")), QStringLiteral(" が見つかりません。")},
        {path(QStringLiteral("folder.htm")), QStringLiteral(" は無効なﾊﾟｽです。")},
    };
    for (const Case& c : cases) {
        const int before = windows();
        dialogs.thenMessage(QMessageBox::Ok);
        EXPECT_EQ(open(c.file), nullptr);
        EXPECT_EQ(dialogs.messages().last(), c.file + c.message);
        EXPECT_EQ(windows(), before);
    }
}

TEST_F(Document, OpeningAnOpenFileActivatesItsWindow) {
    const QString file = writeFile(QStringLiteral("once.htm"), "x");
    CZuDoc* first = open(file);
    frame().onCommand(cmd::FileNew);
    const int before = windows();
    EXPECT_EQ(open(QDir(files.path()).filePath(QStringLiteral("./once.htm"))), first);
    EXPECT_EQ(windows(), before);
    EXPECT_EQ(doc(), first);
}

TEST_F(Document, ClosingAskesAboutChangesAndCancelKeepsTheDocument) {
    QTest::keyClicks(view(), "text");
    dialogs.thenMessage(QMessageBox::Cancel);
    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("Zu1 への変更を保存しますか？"));
    ASSERT_NE(view(), nullptr);

    dialogs.thenMessage(QMessageBox::No);
    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_EQ(view(), nullptr);
    EXPECT_FALSE(frame().showsDocumentMenu());
}

TEST_F(Document, ClosingWithYesSavesFirst) {
    QTest::keyClicks(view(), "text");
    const QString file = path(QStringLiteral("yes.htm"));
    dialogs.thenMessage(QMessageBox::Yes);
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_EQ(readFile(file), QByteArray("text"));
    EXPECT_EQ(view(), nullptr);
}

TEST_F(Document, AFileOfMoreThan16MiBOpensAndSavesWhole) {
    QByteArray big;
    const QByteArray line = QByteArray(98, 'a') + "\r\n";
    while (big.size() <= 16777215)
        big += line;
    const QString file = writeFile(QStringLiteral("big.htm"), big);
    ASSERT_NE(open(file), nullptr);
    EXPECT_EQ(view()->document()->characterCount() - 1, big.size() / 100 * 99);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file).size(), big.size());
    EXPECT_TRUE(readFile(file) == big);
}

} // namespace
} // namespace zu::test
