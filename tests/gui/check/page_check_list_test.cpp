// The page check's list in the window: its rows, going to a finding, the
// fixes made from it as single undo steps, and the list following edits.

#include "support/fixture.h"
#include "support/keyboard.h"

#include "gui/check/page_check_list.h"

#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>

namespace zu::test {
namespace {

// A Shift_JIS page: half-width kana on two lines, Ⅰ in its IBM byte form
// (FA 4A, which the file must keep), ① and an image without alt.
const QByteArray kPage = QByteArray(
    "<html lang=\"ja\"><head><meta charset=\"Shift_JIS\"><title>\x82\xa8\x92\x6d\x82\xe7\x82\xb9"
    "</title></head>\r\n<body><p>\xb6\xde\xb2\xc4\xde \xfa\x4a \x87\x40</p>\r\n"
    "<img src=\"a.png\">\r\n<p>\xb6\xc5</p></body></html>\r\n");

class PageCheck : public AppTest {
protected:
    PageCheckList* open() {
        app->openFile(writeFile(QStringLiteral("page.htm"), kPage));
        settle();
        EXPECT_TRUE(chooseFromMenu(view(), cmd::PageCheck));
        settle();
        auto* list = frame().findChild<PageCheckList*>();
        EXPECT_TRUE(list && list->isVisible() && list->list()->hasFocus());
        return list;
    }
    // Each row as the list shows it, its cells joined by " | ".
    static QStringList rows(const PageCheckList& list) {
        QStringList out;
        const QAbstractItemModel& model = *list.list()->model();
        for (int r = 0; r < model.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model.columnCount(); ++c)
                cells << model.index(r, c).data().toString();
            out << cells.join(QStringLiteral(" | "));
        }
        return out;
    }
    static void choose(PageCheckList& list, int row) {
        list.list()->setCurrentIndex(list.list()->model()->index(row, 0));
    }
    QString selected() const { return view()->textCursor().selectedText(); }
    void type(const QString& character) const {
        QTest::sendKeyEvent(QTest::Click, view(), Qt::Key_unknown, character, Qt::NoModifier);
    }
};

const QString kKana = QStringLiteral(
    "問題の可能性大 | %1 | %2 | 半角カタカナ「%3」があります。全角の「%4」にできます。");
const QString kPlatform = QStringLiteral(
    "問題の可能性大 | 2 | %1 | 機種依存文字「%2」は環境によって正しく表示されないことがあります。"
    "「%3」にできます。");
const QString kNoAlt = QStringLiteral("問題あり | 3 | 1 | <img> に alt 属性がありません。");

TEST_F(PageCheck, ListsFindingsGoesToThemAndFixesEachKindAsOneUndoStep) {
    PageCheckList* list = open();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->list()->model()->headerData(3, Qt::Horizontal).toString(),
              QStringLiteral("内容"));
    EXPECT_EQ(rows(*list),
              (QStringList{kKana.arg(2).arg(10).arg("ｶﾞｲﾄﾞ", "ガイド"),
                           kPlatform.arg(16).arg("Ⅰ", "I"), kPlatform.arg(18).arg("①", "(1)"),
                           kNoAlt, kKana.arg(4).arg(4).arg("ｶﾅ", "カナ")}));
    // Enter goes to the place and selects it.
    choose(*list, 3);
    QTest::keyClick(list->list(), Qt::Key_Return);
    EXPECT_EQ(selected(), QStringLiteral("<img src=\"a.png\">"));
    EXPECT_TRUE(view()->hasFocus());
    choose(*list, 3);
    EXPECT_FALSE(list->fixButton()->isEnabled()) << "no safe fix for a missing alt";

    // 修正 fixes that one finding; the row after it takes its place.
    choose(*list, 2);
    QTest::mouseClick(list->fixButton(), Qt::LeftButton);
    EXPECT_EQ(list->findings().size(), 4u);
    EXPECT_EQ(list->list()->currentIndex().row(), 2);
    // 同じ種類をすべて修正: both lines of half-width kana, then what is left
    // of the platform characters.
    choose(*list, 0);
    QTest::mouseClick(list->fixAllButton(), Qt::LeftButton);
    choose(*list, 0);
    QTest::mouseClick(list->fixAllButton(), Qt::LeftButton);
    EXPECT_EQ(rows(*list), QStringList{kNoAlt});
    EXPECT_EQ(view()->toPlainText(),
              QStringLiteral("<html lang=\"ja\"><head><meta charset=\"Shift_JIS\"><title>お知らせ"
                             "</title></head>\n<body><p>ガイド I (1)</p>\n<img src=\"a.png\">\n"
                             "<p>カナ</p></body></html>\n"));
    // Three steps back, and the bytes are the file's again, FA 4A included.
    for (int i = 0; i < 3; ++i)
        doc()->text().textDocument()->undo();
    EXPECT_EQ(doc()->text().encode(doc()->form(), Unmappable::Report).bytes, kPage.toStdString());
    EXPECT_FALSE(doc()->text().textDocument()->isUndoAvailable());
}

TEST_F(PageCheck, FollowsEditsAndNeverFixesAPlaceTheTextHasLeft) {
    PageCheckList* list = open();
    ASSERT_TRUE(list);
    // Typing in front of the findings: the list waits for a pause, then
    // follows; a fix asked for before it did lands where the text is.
    view()->setSelection(0, 0);
    type(QStringLiteral("①"));
    EXPECT_TRUE(list->stale());
    EXPECT_EQ(list->findings().size(), 5u);
    choose(*list, 2); // ① of line 2
    QTest::mouseClick(list->fixButton(), Qt::LeftButton);
    EXPECT_TRUE(view()->toPlainText().startsWith(QStringLiteral("①<html")));
    EXPECT_TRUE(view()->toPlainText().contains(QStringLiteral("ｶﾞｲﾄﾞ Ⅰ (1)</p>")));
    EXPECT_EQ(rows(*list).first(), kPlatform.arg(1).arg("①", "(1)").replace(" 2 ", " 1 "));
    type(QStringLiteral("ｱ"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list->stale(); }, 5000));
    EXPECT_EQ(list->findings().size(), 6u);
    EXPECT_EQ(rows(*list)[1], kKana.arg(1).arg(2).arg("ｱ", "ア"));
}

} // namespace
} // namespace zu::test
