// Editing commands of the view: find, find next, replace, printing, and the
// view as the EditBuffer the commands write through.

#include "support/fixture.h"

#include "core/edit/wrap_selection.h"
#include "gui/view/find_replace.h"
#include "gui/view/view_print.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace zu::test {
namespace {

class Edit : public AppTest {
protected:
    void type(const QString& text) {
        view()->setFocus();
        view()->insertPlainText(text);
    }
    FindDialog* openFind(int id) {
        frame().onCommand(id);
        FindDialog* d = FindReplace::instance().dialog();
        EXPECT_NE(d, nullptr);
        return d;
    }
    void TearDown() override {
        if (FindDialog* d = FindReplace::instance().dialog())
            d->close();
        AppTest::TearDown();
    }
};

TEST_F(Edit, WrapSelectionOnTheViewIsOneUndoStepWithTheCaretInFront) {
    type(QStringLiteral("0123456789XYZtail"));
    view()->setSelection(13, 10);
    WrapSelection(*view(), "<i>", "</i>\r\n");
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("0123456789<i>XYZ</i>\ntail"));
    EXPECT_EQ(view()->textCursor().position(), 10);
    EXPECT_FALSE(view()->textCursor().hasSelection());
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("0123456789XYZtail"));
}

TEST_F(Edit, TheViewShowsAFixedPitchFontWithAJapaneseFallback) {
    const QFont font = view()->font();
    EXPECT_TRUE(font.families().contains(QStringLiteral("Noto Sans Mono CJK JP")));
    EXPECT_EQ(view()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(CZuView::printMargins(), QMarginsF(12.7, 12.7, 12.7, 12.7));
}

TEST_F(Edit, FindSelectsMatchesGoesRoundTheEndAndSaysWhenThereIsNone) {
    type(QStringLiteral("Tag tag TAG stage"));
    view()->setSelection(0, 0);
    FindDialog* d = openFind(cmd::EditFind);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(d->focusWidget(), d->findEdit()) << "focus starts in the text field";
    d->findEdit()->setText(QStringLiteral("tag"));
    d->matchCaseBox()->setChecked(true);
    d->findNextButton()->click();
    EXPECT_EQ(view()->textCursor().selectionStart(), 4);

    // F3 repeats. As a whole word "tag" occurs once: the search goes round
    // the end of the text and comes back to it.
    d->wholeWordBox()->setChecked(true);
    frame().onCommand(cmd::EditRepeat);
    EXPECT_EQ(view()->textCursor().selectionStart(), 4);

    d->wholeWordBox()->setChecked(false);
    frame().onCommand(cmd::EditRepeat);
    EXPECT_EQ(view()->textCursor().selectionStart(), 13);

    d->upButton()->setChecked(true);
    frame().onCommand(cmd::EditRepeat);
    EXPECT_EQ(view()->textCursor().selectionStart(), 4);

    d->findEdit()->setText(QStringLiteral("absent"));
    dialogs.thenMessage(QMessageBox::Ok);
    d->findNextButton()->click();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("「absent」が見つかりません。"));
}

TEST_F(Edit, ReplaceOneAtATimeAndReplaceAllAsOneUndoStep) {
    type(QStringLiteral("a-b-c-d"));
    view()->setSelection(0, 0);
    FindDialog* d = openFind(cmd::EditReplace);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("置換"));
    d->findEdit()->setText(QStringLiteral("-"));
    d->replaceEdit()->setText(QStringLiteral("<br>"));
    d->replaceButton()->click(); // finds the first
    d->replaceButton()->click(); // replaces it, finds the next
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("a<br>b-c-d"));
    d->replaceAllButton()->click();
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("a<br>b<br>c<br>d"));
    frame().onCommand(cmd::EditUndo);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("a<br>b-c-d"));
}

TEST_F(Edit, PrintingWritesThePagesToTheChosenPrinter) {
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("<p>行 %1 日本語のテキスト</p>\n").arg(i);
    type(text);
    const QString pdf = path(QStringLiteral("out.pdf"));
    QPrinter& printer = sharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);

    frame().onCommand(cmd::FilePrintDirect);
    const QByteArray bytes = readFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // 200 lines do not fit on one page: the pages follow one another.
    EXPECT_GE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page>"),
              2)
        << "pages";

    // The print dialog: cancelled, nothing is printed.
    QFile::remove(pdf);
    dialogs.thenCancel();
    frame().onCommand(cmd::FilePrint);
    EXPECT_FALSE(QFile::exists(pdf));

    // The preview draws the same pages without writing anything.
    bool previewed = false;
    dialogs.then([&](QDialog& dialog) {
        previewed = dialog.windowTitle() == QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ");
        return int(QDialog::Rejected);
    });
    frame().onCommand(cmd::FilePrintPreview);
    EXPECT_TRUE(previewed);
    printer.setOutputFileName(QString());
}

} // namespace
} // namespace zu::test

namespace zu::test {
namespace {

TEST_F(Edit, ACharacterOfTwoUnitsGoesAndComesBackWhole) {
    // A key between the two units of an emoji (a command may leave the caret
    // there), taken back, leaves the units in separate runs of the control's
    // text; the keys beside the emoji must still take it whole.
    type(QStringLiteral("x😀y"));
    const QString text = view()->doc()->text().sourceText();
    const std::pair<long, Qt::Key> steps[] = {{2, Qt::Key_Backspace}, {3, Qt::Key_Backspace},
                                              {2, Qt::Key_Delete},    {1, Qt::Key_Delete},
                                              {2, Qt::Key_Backspace}, {1, Qt::Key_Delete},
                                              {2, Qt::Key_Delete},    {3, Qt::Key_Backspace}};
    for (const auto& [at, key] : steps) {
        view()->setSelection(at, at);
        QTest::keyClick(view(), key);
        const QString after = view()->doc()->text().sourceText();
        if (at != 2) {
            EXPECT_EQ(after.toStdString(), "xy") << at;
        }
        view()->undo();
        EXPECT_EQ(view()->doc()->text().sourceText().toStdString(), text.toStdString()) << at;
    }
}

} // namespace
} // namespace zu::test
