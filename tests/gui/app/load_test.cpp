// Fifty documents opened at once and closed again, five times over: the
// program still finds, saves and runs the Tag commands afterwards, and the
// windows, the menus and the recent-file list are as after one cycle.

#include "support/fixture.h"

#include "gui/view/find_replace.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>

namespace zu::test {
namespace {

class Load : public AppTest {};

TEST_F(Load, FiftyDocumentsFiveTimesOverLeaveEverythingWorking) {
    QStringList paths;
    for (int n = 0; n < 50; ++n)
        paths << writeFile(QStringLiteral("p%1.htm").arg(n), QByteArray("<p>page ") +
                                                                 QByteArray::number(n) +
                                                                 " \x93\xfa\x96\x7b</p>\r\n");
    for (int cycle = 0; cycle < 5; ++cycle) {
        for (const QString& p : paths)
            ASSERT_NE(app->openFile(p), nullptr);
        settle();
        EXPECT_EQ(app->documents().size(), cycle == 0 ? 51u : 50u) << "Zu1 goes with the first";
        for (CZuDoc* d : app->documents())
            if (d->pathName().isEmpty())
                d->text().setModified(false);
        app->closeAllDocuments();
        settle();
        EXPECT_TRUE(app->documents().empty());
        EXPECT_TRUE(frame().mdiArea()->subWindowList().isEmpty());
    }
    EXPECT_EQ(app->recentFiles().paths().size(), 10u);

    ASSERT_NE(app->openFile(paths[7]), nullptr);
    settle();
    // Find
    view()->setSelection(0, 0);
    frame().onCommand(cmd::EditFind);
    FindDialog* find = FindReplace::instance().dialog();
    ASSERT_NE(find, nullptr);
    find->findEdit()->setText(QStringLiteral("page"));
    find->findNextButton()->click();
    EXPECT_EQ(view()->textCursor().selectedText(), QStringLiteral("page"));
    find->close();
    // A Tag command (bold) around the found word, then Save.
    frame().onCommand(32793);
    frame().onCommand(cmd::FileSave);
    EXPECT_EQ(readFile(paths[7]), QByteArray("<p><b>page</b> 7 \x93\xfa\x96\x7b</p>\r\n"));
}

} // namespace
} // namespace zu::test
