// Documents in other encodings than Shift_JIS, in the window: they open as
// the text they hold, save back byte for byte, and the status-bar panes
// name their encoding and line breaks and read or save them in another.

#include "support/fixture.h"

#include "gui/app/encoding_panes.h"

#include <QAbstractButton>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <string>

namespace zu::test {
namespace {

using namespace std::string_literals;

const QString kReopen = QStringLiteral("別のｴﾝｺｰﾃﾞｨﾝｸﾞで開き直す(&R)");
const QString kSaveIn = QStringLiteral("別のｴﾝｺｰﾃﾞｨﾝｸﾞ/改行で保存(&S)");

// "日本語" in each encoding.
const std::string kUtf8Japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
const std::string kEucJapanese = "\xC6\xFC\xCB\xDC\xB8\xEC";
const std::string kSjisJapanese = "\x93\xFA\x96\x7B\x8C\xEA";

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

class Encodings : public AppTest {
protected:
    CZuDoc* open(const std::string& content, const QString& name = QStringLiteral("page.htm")) {
        CZuDoc* d = app->openFile(writeFile(name, bytes(content)));
        settle();
        return d;
    }
    EncodingPanes& panes() const { return *frame().encodingPanes(); }
    // The item `label` of the panes' submenu `submenu`, as the menu shows
    // it for the active document.
    QAction* item(const QString& submenu, const QString& label) {
        QMenu* menu = panes().menu();
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->menu() && a->text() == submenu)
                for (QAction* b : a->menu()->actions())
                    if (b->text() == label)
                        return b;
        ADD_FAILURE() << "no item " << label.toStdString();
        return nullptr;
    }
    void choose(const QString& submenu, const QString& label) {
        if (QAction* a = item(submenu, label))
            a->trigger();
        settle();
    }
    QByteArray save() {
        frame().onCommand(cmd::FileSave);
        return readFile(doc()->pathName());
    }
    void typeAndDeleteOneCharacter() {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key_X);
        QTest::keyClick(view(), Qt::Key_Backspace);
    }
};

struct File {
    const char* name;
    std::string bytes;
};
void PrintTo(const File& f, std::ostream* os) {
    *os << f.name;
}

class EncodingRoundTrip : public Encodings, public ::testing::WithParamInterface<File> {};

TEST_P(EncodingRoundTrip, SavesTheBytesItOpened) {
    const QByteArray original = bytes(GetParam().bytes);
    open(GetParam().bytes);
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(save().toHex().toStdString(), original.toHex().toStdString()) << "unedited";
    typeAndDeleteOneCharacter();
    EXPECT_EQ(save().toHex().toStdString(), original.toHex().toStdString())
        << "after typing a character and deleting it";
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingRoundTrip,
    ::testing::Values(
        File{"Utf8", "<p>" + kUtf8Japanese + "</p>\r\n<p>\xC3\xA9</p>\n\xF0\x9F\x98\x80\r"},
        File{"Utf8Mark", "\xEF\xBB\xBF<p>" + kUtf8Japanese + "</p>\r\n"},
        File{"Utf8DeclaredWithInvalidBytes", "<meta charset=utf-8>\r\n\xE3\x81\x82\xE3\x81\r\n"},
        File{"Utf16LeMark", "\xFF\xFE<\0p\0>\0\xE5\x65\x2C\x67\r\0\n\0\n\0"s},
        File{"Utf16BeMark", "\xFE\xFF\0<\0p\0>\x65\xE5\x67\x2C\0\r\0\n\xD8\x00"s},
        File{"EucJpDeclared", "<meta charset=\"EUC-JP\">\r\n" + kEucJapanese + "\xFF\n\x8E\xB1\r"},
        File{"Iso2022JpDeclared",
             "<meta charset=\"ISO-2022-JP\">\r\n\x1B$BF|K\\8l\x1B(B\r\n\x1B(J\\\x1B(B\n"},
        File{"Iso2022JpEveryEscape", "\x1B$@F|K\\\x1B(J a\\\r\n\x1B(I12\x1B(B \x1B$(D\"7\x1B(B\r\n"
                                     "\x1B$B$3\r\n$s\x1B(B\r\n\x1B(B"},
        File{"EucJpExtensions",
             "<p>\xAD\xA1\xAD\xFA\xA2\xE8\xFC\xF1\x8F\xF3\xF3\x8F\xA2\xB7\xA4\xA2</p>\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Encodings, TheWindowShowsTheTextAndThePanesNameTheEncoding) {
    struct Case {
        const char* name;
        std::string bytes;
        QString text;
        QString encoding;
        QString lineBreak;
    };
    const Case cases[] = {
        {"UTF-8", "<p>" + kUtf8Japanese + "</p>\r\n", QStringLiteral("<p>日本語</p>\n"),
         QStringLiteral("UTF-8"), QStringLiteral("CR+LF")},
        {"EUC-JP",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">\n" +
             kEucJapanese + "\n",
         QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                        "charset=EUC-JP\">\n日本語\n"),
         QStringLiteral("EUC-JP"), QStringLiteral("LF")},
        {"UTF-16", "\xFF\xFE\xE5\x65\r\0"s, QStringLiteral("日\n"),
         QStringLiteral("UTF-16LE (BOM)"), QStringLiteral("CR")},
        {"Shift_JIS", kSjisJapanese + "\r\na\nb\r\n", QStringLiteral("日本語\na\nb\n"),
         QStringLiteral("Shift_JIS"), QStringLiteral("混在 (CR+LF)")},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(open(c.bytes, QStringLiteral("shown%1.htm").arg(++n)), nullptr);
        EXPECT_EQ(view()->toPlainText(), c.text);
        EXPECT_EQ(panes().encodingPane()->text(), c.encoding);
        EXPECT_EQ(panes().lineBreakPane()->text(), c.lineBreak);
        EXPECT_TRUE(panes().encodingPane()->isVisibleTo(&frame()));
        EXPECT_TRUE(panes().encodingPane()->accessibleName().contains(c.encoding));
        EXPECT_TRUE(panes().lineBreakPane()->accessibleName().contains(c.lineBreak));
    }
    // New documents are Shift_JIS with CR LF; no document, no panes.
    frame().onCommand(cmd::FileNew);
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("Shift_JIS"));
    EXPECT_EQ(panes().lineBreakPane()->text(), QStringLiteral("CR+LF"));
    frame().mdiArea()->closeAllSubWindows();
    settle();
    EXPECT_FALSE(panes().encodingPane()->isVisibleTo(&frame()));
}

TEST_F(Encodings, ReopenReadsTheFileAgainInTheChosenEncoding) {
    // Three half-width katakana in EUC-JP read as well as three kanji in
    // Shift_JIS, which zu takes them for.
    const std::string original = "<p>\x8E\xC3\x8E\xBD\x8E\xC4</p>\r\n";
    ASSERT_NE(open(original), nullptr);
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("Shift_JIS"));
    EXPECT_NE(view()->toPlainText(), QStringLiteral("<p>ﾃｽﾄ</p>\n"));

    choose(kReopen, QStringLiteral("EUC-JP"));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<p>ﾃｽﾄ</p>\n"));
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("EUC-JP"));
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_FALSE(view()->document()->isUndoAvailable()) << "reading is no edit";
    EXPECT_EQ(save(), bytes(original));

    // Once edited, the text would be lost: reopening is not offered.
    QTest::keyClicks(view(), "x");
    ASSERT_NE(item(kReopen, QStringLiteral("UTF-8")), nullptr);
    EXPECT_FALSE(item(kReopen, QStringLiteral("UTF-8"))->isEnabled());
}

TEST_F(Encodings, APageWrittenInAnotherEncodingThanItDeclaresSaysSo) {
    const std::string original = "<meta charset=\"Shift_JIS\">\r\n<p>" + kEucJapanese + "</p>\r\n";
    ASSERT_NE(open(original), nullptr);
    EXPECT_EQ(view()->toPlainText(),
              QStringLiteral("<meta charset=\"Shift_JIS\">\n<p>日本語</p>\n"));
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("EUC-JP (宣言: Shift_JIS)"));
    EXPECT_EQ(save(), bytes(original)) << "nothing is rewritten";

    // The reopen menu offers the declared encoding first.
    const QString asDeclared = QStringLiteral("宣言どおり Shift_JIS で開き直す(&D)");
    ASSERT_NE(item(kReopen, asDeclared), nullptr);
    choose(kReopen, asDeclared);
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("Shift_JIS"));
    EXPECT_FALSE(doc()->text().isModified());
    QMenu* menu = panes().menu();
    emit menu->aboutToShow();
    for (QAction* a : menu->actions()) {
        if (a->menu() && a->text() == kReopen) {
            EXPECT_EQ(a->menu()->actions().first()->text(), QStringLiteral("Shift_JIS"));
        }
    }
}

TEST_F(Encodings, SavingInAnotherEncodingOrLineBreakRewritesTheFile) {
    ASSERT_NE(open("<meta charset=\"x-sjis\">\r\n" + kSjisJapanese + "\na\r\n"), nullptr);
    const QString file = doc()->pathName();
    // Saved when the command returns, as its name says.
    choose(kSaveIn, QStringLiteral("UTF-8"));
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("UTF-8"));
    // The page now says what it is saved in; each break stays as it was.
    EXPECT_EQ(readFile(file), bytes("<meta charset=\"UTF-8\">\r\n" + kUtf8Japanese + "\na\r\n"));
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(view()->toPlainText().left(22), QStringLiteral("<meta charset=\"x-sjis\""));
    view()->redo();

    // Every break takes the new style, the file's own ones too.
    choose(kSaveIn, QStringLiteral("CR"));
    EXPECT_EQ(panes().lineBreakPane()->text(), QStringLiteral("CR"));
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_EQ(readFile(file), bytes("<meta charset=\"UTF-8\">\r" + kUtf8Japanese + "\ra\r"));

    choose(kSaveIn, QStringLiteral("UTF-16"));
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("UTF-16LE (BOM)"));
    const QByteArray utf16 = readFile(file);
    EXPECT_TRUE(utf16.startsWith(QByteArray("\xFF\xFE<\0m\0", 6)));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.constData() + 2),
                                 (utf16.size() - 2) / 2),
              QStringLiteral("<meta charset=\"UTF-16\">\r日本語\ra\r"));
}

TEST_F(Encodings, SavingInAnotherEncodingAsksWhatSaveAsks) {
    // A new document gets the save dialog, a character Shift_JIS cannot hold
    // the save question (answered: references), a file another program
    // wrote since the "overwrite?" question (answered: yes).
    frame().onCommand(cmd::FileNew);
    view()->setPlainText(QStringLiteral("<p>日</p>"));
    dialogs.thenSaveAs(path(QStringLiteral("new.htm")));
    choose(kSaveIn, QStringLiteral("UTF-8"));
    EXPECT_EQ(readFile(path(QStringLiteral("new.htm"))), QByteArray("<p>\xE6\x97\xA5</p>"));

    open("<p>\xE6\x97\xA5 5\xE2\x82\xAC</p>", QStringLiteral("euro.htm"));
    dialogs.thenMessage(QMessageBox::Ok);
    choose(kSaveIn, QStringLiteral("Shift_JIS"));
    EXPECT_EQ(readFile(doc()->pathName()), QByteArray("<p>\x93\xFA 5&#8364;</p>"));

    open(kSjisJapanese, QStringLiteral("theirs.htm"));
    QTest::qWait(20);
    const std::string other = "printf x > '" + doc()->pathName().toStdString() + "'";
    ASSERT_EQ(std::system(other.c_str()), 0); // another program, after zu read it
    dialogs.thenMessage(QMessageBox::Yes);
    choose(kSaveIn, QStringLiteral("UTF-8"));
    EXPECT_EQ(readFile(doc()->pathName()), bytes(kUtf8Japanese));
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_FALSE(doc()->text().isModified());
}

TEST_F(Encodings, TheSaveQuestionOffersReferencesUtf8OrCancel) {
    const QString file = path(QStringLiteral("euro.htm"));
    const auto typeEuro = [this] {
        view()->setPlainText(QStringLiteral("<meta charset=x-sjis>\n5€"));
    };
    typeEuro();
    QStringList labels;
    dialogs.then([&labels](QDialog& dialog) {
        for (QAbstractButton* b : static_cast<QMessageBox&>(dialog).buttons())
            labels << b->text();
        return int(QMessageBox::Cancel);
    });
    EXPECT_FALSE(saveDocumentTo(*doc(), file));
    EXPECT_TRUE(labels.contains(QStringLiteral("数値文字参照で保存(&R)")));
    EXPECT_TRUE(labels.contains(QStringLiteral("UTF-8 で保存(&U)")));
    EXPECT_TRUE(labels.contains(QStringLiteral("ｷｬﾝｾﾙ")));
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("Shift_JIS で保存できない")));
    EXPECT_EQ(readFile(file), QByteArray("<unreadable>")) << "nothing written";

    dialogs.thenMessage(QMessageBox::Ok);
    EXPECT_TRUE(saveDocumentTo(*doc(), file));
    EXPECT_EQ(readFile(file), QByteArray("<meta charset=x-sjis>\r\n5&#8364;"));

    typeEuro();
    dialogs.thenMessage(QMessageBox::Yes);
    EXPECT_TRUE(saveDocumentTo(*doc(), file));
    EXPECT_EQ(readFile(file), QByteArray("<meta charset=UTF-8>\r\n5\xE2\x82\xAC"));
    EXPECT_EQ(panes().encodingPane()->text(), QStringLiteral("UTF-8"));
    EXPECT_FALSE(doc()->text().isModified());
}

TEST_F(Encodings, QuickCreateAndTheGenericFormDeclareTheDocumentsCharset) {
    struct Case {
        std::string bytes;
        QString charset;
    };
    const Case cases[] = {
        {"<p>" + kUtf8Japanese + "</p>", QStringLiteral("charset=UTF-8\"")},
        {"<meta charset=euc-jp>" + kEucJapanese, QStringLiteral("charset=EUC-JP\"")},
        {"<p>" + kSjisJapanese + "</p>", QStringLiteral("charset=x-sjis\"")},
    };
    int n = 0;
    for (const Case& c : cases) {
        ASSERT_NE(open(c.bytes, QStringLiteral("quick%1.htm").arg(++n)), nullptr);
        EXPECT_EQ(QString::fromStdString(std::string(doc()->form().encoding->charset())) + u'"',
                  c.charset.mid(8)); // the accessor the generic form reads too
        frame().onCommand(cmd::QuickCreate);
        EXPECT_TRUE(view()->toPlainText().contains(c.charset)) << c.charset.toStdString();
        // The generic form, its sheet confirmed as it stands.
        dialogs.then([](QDialog& sheet) {
            sheet.accept();
            return sheet.result();
        });
        frame().onCommand(cmd::GenericForm);
        EXPECT_EQ(view()->toPlainText().count(c.charset), 2) << c.charset.toStdString();
    }
}

TEST_F(Encodings, TheMenuOpensFromTheKeyboard) {
    ASSERT_NE(open("<p>x</p>"), nullptr);
    view()->setFocus();
    bool shown = false;
    QTimer::singleShot(0, [this, &shown] {
        shown = QApplication::activePopupWidget() == panes().menu();
        panes().menu()->close();
    });
    QTest::keyClick(view(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(panes().encodingPane()->accessibleName().isEmpty());
    EXPECT_NE(panes().encodingPane()->focusPolicy() & Qt::TabFocus, 0);
}

} // namespace
} // namespace zu::test
