// Tag colouring and tag removal as the user runs them: confirmed in their
// dialog, on the whole text of the active document.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "core/settings/settings.h"
#include "core/tags/tag_spans.h"
#include "gui/dialogs/confirm_dlg.h"
#include "gui/doc/document_marks.h"
#include "gui/view/whole_text.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <optional>

namespace zu::test {
namespace {

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{192, 0, 0};
constexpr Rgb kGreen{0, 128, 0};

// The colour the character at `position` is drawn in, if not the default.
std::optional<Rgb> shownColour(const QTextDocument& text, int position) {
    const QTextBlock block = text.findBlock(position);
    std::optional<Rgb> colour;
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        const int at = position - block.position();
        if (at >= r.start && at < r.start + r.length &&
            r.format.hasProperty(QTextFormat::ForegroundBrush)) {
            const QColor c = r.format.foreground().color();
            colour = Rgb{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
        }
    }
    return colour;
}

// The colour of the character at `position` as its own character format has it.
std::optional<Rgb> formatColour(const QTextDocument& text, int position) {
    const QTextBlock block = text.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length()) {
            if (!f.charFormat().hasProperty(QTextFormat::ForegroundBrush))
                return std::nullopt;
            const QColor c = f.charFormat().foreground().color();
            return Rgb{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
        }
    }
    return std::nullopt;
}

std::vector<std::optional<Rgb>> shownColours(const QTextDocument& text) {
    std::vector<std::optional<Rgb>> colours;
    for (int i = 0; i + 1 < text.characterCount(); ++i)
        colours.push_back(shownColour(text, i));
    return colours;
}

DialogScript::Answer confirm(QDialog::DialogCode answer) {
    return [answer](QDialog& dialog) {
        EXPECT_NE(qobject_cast<CConfirmDlg*>(&dialog), nullptr)
            << dialog.windowTitle().toStdString();
        return int(answer);
    };
}

class WholeText : public AppTest {
protected:
    void setText(const QString& text) {
        view()->setPlainText(text);
        doc()->text().setModified(false);
    }
    void colour(int tagColor, QDialog::DialogCode answer = QDialog::Accepted) {
        settings().tagColor = tagColor;
        dialogs.then(confirm(answer));
        frame().onCommand(cmd::TagColor);
    }
};

TEST_F(WholeText, ConfirmationAsksWithOkAsTheDefault) {
    CConfirmDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("確認"));
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("注意：この操作はアンドゥできません。"),
                                  QStringLiteral("実行しますか？")}));
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_TRUE(dialog.okButton()->isDefault());
    EXPECT_LT(dialog.okButton()->geometry().right(), dialog.cancelButton()->geometry().left());
    for (const QWidget* w : dialog.findChildren<QWidget*>())
        EXPECT_TRUE(dialog.rect().contains(w->geometry())) << w->metaObject()->className();

    // Return takes the default; Escape cancels.
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted},
                                      std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), result);
    }
}

TEST_F(WholeText, TagsFromLessThanUpToGreaterThanTakeTheOptionsColour) {
    setText(QStringLiteral("<p>abc</p>"));
    const std::optional<Rgb> none;
    struct Case {
        int tagColor;
        Rgb colour;
    } cases[] = {{2, kBlue}, {0, kRed}, {1, kGreen}, {7, kGreen}, {-1, kGreen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tagColor);
        colour(c.tagColor);
        const std::optional<Rgb> tag = c.colour;
        EXPECT_EQ(shownColours(*view()->document()),
                  (std::vector{tag, tag, none, none, none, none, tag, tag, tag, none}));
        EXPECT_EQ(view()->tagColour(), c.colour);
    }
}

TEST_F(WholeText, ColouringLeavesTheSelectionTheUndoHistoryAndTheModifiedFlag) {
    setText(QStringLiteral("<b>x</b>\n"));
    view()->moveCursor(QTextCursor::End);
    view()->setFocus();
    QTest::keyClicks(view(), "ab<i>");
    doc()->text().setModified(false);
    view()->setSelection(11, 9); // made backwards
    const int anchor = view()->textCursor().anchor();

    colour(2);
    EXPECT_EQ(view()->textCursor().anchor(), anchor);
    EXPECT_EQ(view()->selection(), (EditBuffer::Range{9, 11}));
    EXPECT_FALSE(doc()->text().isModified());
    EXPECT_EQ(shownColour(*view()->document(), 11), kBlue);

    // Undo takes back the typing, as if nothing had been coloured.
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<b>x</b>\n"));
    EXPECT_EQ(shownColour(*view()->document(), 1), kBlue);

    // The colour is not in the file.
    const QString file = path(QStringLiteral("coloured.htm"));
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(file), QByteArray("<b>x</b>\r\n"));
}

TEST_F(WholeText, ColoursStayUntilALaterRunColoursTheSameText) {
    setText(QStringLiteral("<a>\n<b>"));
    colour(0);
    // «<a» is no tag any more once its ">" is gone, so green passes it by.
    view()->setSelection(2, 3);
    view()->textCursor().removeSelectedText();
    colour(1);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<a\n<b>"));
    EXPECT_EQ(shownColour(*view()->document(), 0), kRed);
    EXPECT_EQ(shownColour(*view()->document(), 1), kRed);
    EXPECT_EQ(shownColour(*view()->document(), 3), kGreen);
}

TEST_F(WholeText, CancelledColouringChangesNothingButTheViewsColour) {
    setText(QStringLiteral("<p>abc</p>"));
    colour(0, QDialog::Rejected);
    EXPECT_EQ(shownColours(*view()->document()), std::vector<std::optional<Rgb>>(10));
    EXPECT_EQ(view()->tagColour(), kRed);
    EXPECT_FALSE(doc()->text().isModified());
}

// Typing beside a coloured tag must come out as it would with the colour
// set as a character format: the same keys go to a plain editor whose tags
// carry a real format, and both must show the same colours.
TEST_F(WholeText, TypingBesideAColouredTagActsAsACharacterFormat) {
    struct Case {
        const char* name;
        int at;
        std::vector<int> keys;
    } cases[] = {
        {"after «<p»", 2, {Qt::Key_X}},
        {"inside the tag", 1, {Qt::Key_X, Qt::Key_Y}},
        {"after «>»", 3, {Qt::Key_X}},
        {"at the line start", 0, {Qt::Key_X}},
        {"at the start of the second line", 11, {Qt::Key_X}},
        {"a new line inside the tag", 1, {Qt::Key_Return, Qt::Key_X}},
        {"a new line after «>»", 3, {Qt::Key_Return, Qt::Key_X}},
        {"«</p» moved to a new line", 6, {Qt::Key_Return}},
        {"backspace over «p»", 2, {Qt::Key_Backspace, Qt::Key_X}},
        {"delete «>»", 2, {Qt::Key_Delete, Qt::Key_X}},
        {"joining the lines", 10, {Qt::Key_Delete}},
        {"at the very end", 15, {Qt::Key_X}},
    };
    const QString text = QStringLiteral("<p>abc</p>\n<br>");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(text);
        settings().tagColor = 2;
        dialogs.then(confirm(QDialog::Accepted));
        frame().onCommand(cmd::TagColor);

        QPlainTextEdit reference(text);
        QTextCharFormat blue;
        blue.setForeground(QColor(0, 0, 255));
        for (const TagSpan& span : tagSpans(u"<p>abc</p>\n<br>")) {
            QTextCursor cursor(reference.document());
            cursor.setPosition(int(span.start));
            cursor.setPosition(int(span.end), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(blue);
        }

        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(view()), &reference}) {
            // A new cursor, as a click would place: the editor's own one may
            // still hold the format it had before the text was set.
            QTextCursor cursor(edit->document());
            cursor.setPosition(c.at);
            edit->setTextCursor(cursor);
            for (int key : c.keys)
                QTest::keyClick(edit, Qt::Key(key));
        }
        ASSERT_EQ(view()->toPlainText(), reference.toPlainText());
        for (int i = 0; i + 1 < reference.document()->characterCount(); ++i)
            EXPECT_EQ(shownColour(*view()->document(), i), formatColour(*reference.document(), i))
                << "at " << i << " of " << reference.toPlainText().toStdString();
    }
}

TEST_F(WholeText, RawBytesAndByteFormsSurviveColouring) {
    // A byte that is not Shift_JIS inside a tag, and a character in the
    // byte form the file chose.
    const QByteArray bytes("<b\x80>\xed\x40</b>\r\n");
    ASSERT_NE(app->openFile(writeFile(QStringLiteral("raw.htm"), bytes)), nullptr);
    settle();
    colour(1);
    const auto marked = [this](int position) {
        const QTextBlock block = view()->document()->findBlock(position);
        bool found = false;
        for (const QTextLayout::FormatRange& r : block.layout()->formats())
            found |= r.start == position - block.position() && r.length == 1 &&
                     r.format.hasProperty(QTextFormat::BackgroundBrush);
        return found;
    };
    EXPECT_TRUE(marked(2)) << "the raw byte is still marked";
    EXPECT_EQ(shownColour(*view()->document(), 0), kGreen);
    EXPECT_FALSE(doc()->text().isModified());
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(doc()->pathName()), bytes);

    // A raw byte that arrives later, on a coloured line, is marked as well,
    // and the colours around it stay.
    view()->setSelection(1, 1);
    view()->insertPlainText(QString(QChar(char16_t(0xF781))));
    EXPECT_TRUE(marked(1));
    EXPECT_TRUE(marked(3));
    EXPECT_EQ(shownColour(*view()->document(), 0), kGreen);
}

TEST_F(WholeText, RemovalTakesEveryTagOutOrSaysWhyNot) {
    const QString mismatch = QStringLiteral("< と > が正しく対応していません。");
    struct Case {
        const char* text;
        const char* result; // the same text: nothing removed
        bool message;
    } cases[] = {
        {"a<b>c</b>d", "acd", false}, {"<html>", "", false},
        {"x<y", "x<y", false},        {"x>y", "x>y", false},
        {"a>b<c>", "a>b<c>", true},   {"<a>x>y<b>", "<a>x>y<b>", true},
        {"<a>x>y", "x>y", false},     {"<p>\n日本語</p>\n", "\n日本語\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        setText(QString::fromUtf8(c.text));
        const qsizetype messages = dialogs.messages().size();
        dialogs.then(confirm(QDialog::Accepted));
        if (c.message)
            dialogs.thenMessage(QMessageBox::Ok);
        view()->setFocus();
        ASSERT_TRUE(chooseFromMenu(view(), cmd::TagRemove));
        EXPECT_EQ(view()->toPlainText(), QString::fromUtf8(c.result));
        const bool removed = std::string_view(c.text) != c.result;
        EXPECT_EQ(doc()->text().isModified(), removed);
        EXPECT_EQ(dialogs.messages().mid(messages),
                  c.message ? QStringList{mismatch} : QStringList{});
        EXPECT_FALSE(removed && view()->document()->isUndoAvailable())
            << "a removal cannot be undone";
    }
    EXPECT_EQ(dialogs.titles().filter(QStringLiteral("zu")).size(), 2);
}

TEST_F(WholeText, RemovalKeepsTheByteFormsOfWhatStays) {
    const QByteArray bytes("<i>\xed\x40</i>\r\n<b>\xfa\x5c</b>\r\n");
    ASSERT_NE(app->openFile(writeFile(QStringLiteral("forms.htm"), bytes)), nullptr);
    settle();
    dialogs.then(confirm(QDialog::Accepted));
    frame().onCommand(cmd::TagRemove);
    EXPECT_TRUE(doc()->text().isModified());
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(doc()->pathName()), QByteArray("\xed\x40\r\n\xfa\x5c\r\n"));
}

TEST_F(WholeText, RemovalStillMarksTheRawBytesThatStay) {
    ASSERT_NE(app->openFile(writeFile(QStringLiteral("raw.htm"), "<b>a\x80</b>")), nullptr);
    settle();
    dialogs.then(confirm(QDialog::Accepted));
    frame().onCommand(cmd::TagRemove);
    ASSERT_EQ(view()->toPlainText().size(), 2);
    const QTextBlock block = view()->document()->firstBlock();
    bool marked = false;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        marked |= r.start == 1 && r.format.hasProperty(QTextFormat::BackgroundBrush);
    EXPECT_TRUE(marked) << "the raw byte is shown as one after the tags went";
}

TEST_F(WholeText, RemovalKeepsTheLineBreaksOfWhatStays) {
    // A lone CR, a CR LF and an LF around and inside tags; the break inside
    // the tag goes with it, the others are written as they were read.
    const QByteArray bytes("a\r<p\nx>b\r\nc<br>\nd\r");
    ASSERT_NE(app->openFile(writeFile(QStringLiteral("breaks.htm"), bytes)), nullptr);
    settle();
    dialogs.then(confirm(QDialog::Accepted));
    frame().onCommand(cmd::TagRemove);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(doc()->pathName()), QByteArray("a\rb\r\nc\nd\r"));
}

TEST_F(WholeText, CancelledRemovalChangesNothing) {
    setText(QStringLiteral("a<b>c"));
    QTest::keyClicks(view(), "z");
    dialogs.then(confirm(QDialog::Rejected));
    view()->setFocus();
    ASSERT_TRUE(chooseFromMenu(view(), cmd::TagRemove));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("za<b>c"));
    EXPECT_TRUE(view()->document()->isUndoAvailable()) << "the history is untouched";
}

TEST_F(WholeText, ColouringFromTheMenu) {
    setText(QStringLiteral("<br>"));
    settings().tagColor = 0;
    dialogs.then(confirm(QDialog::Accepted));
    view()->setFocus();
    ASSERT_TRUE(chooseFromMenu(view(), cmd::TagColor));
    EXPECT_EQ(shownColour(*view()->document(), 2), kRed);
    EXPECT_EQ(shownColour(*view()->document(), 3), std::nullopt);
}

} // namespace
} // namespace zu::test
