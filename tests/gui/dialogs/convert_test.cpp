// Moving pages to UTF-8 in the window: one page through the status bar's
// save in another encoding, and a folder through the Assistant menu's dialog.

#include "support/fixture.h"

#include "gui/app/encoding_panes.h"
#include "gui/dialogs/convert_dlg.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace zu::test {
namespace {

using Convert = AppTest;

TEST_F(Convert, SavingAsUtf8RewritesEveryDeclarationAndSaysWhatItLeft) {
    const QString file =
        writeFile(QStringLiteral("page.htm"),
                  "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<html><head><meta "
                  "http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\"><script "
                  "charset=\"Shift_JIS\" src=\"a.js\"></script></head>\r\n\x93\xFA\r\n");
    ASSERT_NE(app->openFile(file), nullptr);
    settle();
    QMenu* menu = frame().encodingPanes()->menu();
    emit menu->aboutToShow();
    QAction* utf8 = nullptr;
    for (QAction* a : menu->actions())
        if (a->menu() && a->text().startsWith(QStringLiteral("別のｴﾝｺｰﾃﾞｨﾝｸﾞ/改行で保存")))
            for (QAction* b : a->menu()->actions())
                if (b->text() == QStringLiteral("UTF-8"))
                    utf8 = b;
    ASSERT_NE(utf8, nullptr);
    dialogs.thenMessage(QMessageBox::Ok);
    utf8->trigger();
    settle();
    EXPECT_EQ(readFile(file),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<html><head><meta "
                         "http-equiv=\"Content-Type\" content=\"text/html; "
                         "charset=UTF-8\"><script charset=\"Shift_JIS\" "
                         "src=\"a.js\"></script></head>\r\n\xE6\x97\xA5\r\n"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0], QStringLiteral("<script charset=\"Shift_JIS\"> (2 行目) "
                                                    "はほかのﾌｧｲﾙの文字ｺｰﾄﾞなのでそのままです。"));
}

TEST_F(Convert, TheFolderDialogListsConvertsTheTickedPagesAndUndoes) {
    QDir(files.path()).mkdir(QStringLiteral("site"));
    const QByteArray good = "<html><head></head>\x93\xFA";
    const QString goodFile = writeFile(QStringLiteral("site/a.htm"), good);
    const QString skipped = writeFile(QStringLiteral("site/b.htm"), good);
    writeFile(QStringLiteral("site/bad.htm"), "\x82\xA0\xFF");
    dialogs.then([&](QDialog& d) {
        auto& dialog = dynamic_cast<CConvertDlg&>(d);
        EXPECT_FALSE(dialog.convertButton()->isEnabled());
        dialog.folderEdit()->setText(path(QStringLiteral("site")));
        dialog.listButton()->click();
        QTreeWidget* pages = dialog.pageList();
        EXPECT_EQ(pages->topLevelItemCount(), 3);
        EXPECT_EQ(pages->topLevelItem(0)->text(3),
                  QStringLiteral("Shift_JIS → UTF-8; <meta charset=\"UTF-8\"> を追加"));
        EXPECT_EQ(pages->topLevelItem(0)->checkState(0), Qt::Checked);
        // What stops a page is shown, and it cannot be ticked.
        EXPECT_EQ(pages->topLevelItem(2)->text(4),
                  QStringLiteral("Shift_JIS として読めないﾊﾞｲﾄが 1 個あります (最初は 1 行目)。"));
        EXPECT_FALSE(pages->topLevelItem(2)->flags() & Qt::ItemIsUserCheckable);
        EXPECT_EQ(dialog.summary()->text(),
                  QStringLiteral("変換できる 2 個、変換できない 1 個、変更なし 0 個"));
        pages->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        dialog.convertButton()->click();
        EXPECT_EQ(readFile(goodFile), QByteArray("<html><head><meta charset=\"UTF-8\"></head>"
                                                 "\xE6\x97\xA5"));
        EXPECT_EQ(readFile(skipped), good);
        EXPECT_TRUE(dialog.undoButton()->isEnabled());
        dialog.undoButton()->click();
        EXPECT_EQ(readFile(goodFile), good);
        return int(QDialog::Rejected);
    });
    dialogs.thenMessage(QMessageBox::Ok);  // what was converted
    dialogs.thenMessage(QMessageBox::Yes); // undo?
    dialogs.thenMessage(QMessageBox::Ok);  // what was put back
    frame().onCommand(cmd::ConvertSite);
    EXPECT_TRUE(dialogs.done());
    ASSERT_EQ(dialogs.messages().size(), 3);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("1 個のﾌｧｲﾙを変換しました。")));
    EXPECT_EQ(dialogs.messages()[2], QStringLiteral("1 個のﾌｧｲﾙを元に戻しました。"));
}

} // namespace
} // namespace zu::test
