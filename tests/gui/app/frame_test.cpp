// The main window as the user meets it: menus, toolbar, status bar, the
// settings' load and save, recent files, windows, the right-button menu.

#include "support/fixture.h"

#include "core/app/menus.h"
#include "core/settings/settings.h"
#include "gui/app/about_dlg.h"
#include "gui/view/find_replace.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace zu::test {
namespace {

class Frame : public AppTest {};

QStringList titles(const QList<QMenu*>& menus) {
    QStringList out;
    for (QMenu* m : menus)
        out << m->title();
    return out;
}

bool menusReach(const QList<QMenu*>& menus, int id) {
    for (QMenu* m : menus) {
        for (QAction* a : m->actions()) {
            if (a->data().toInt() == id && a->isVisible())
                return true;
            if (a->menu() && menusReach({a->menu()}, id))
                return true;
        }
    }
    return false;
}

QString configFile(const char* name) {
    return QString::fromLocal8Bit(qgetenv("ZU_CONFIG_DIR")) + QLatin1Char('/') +
           QLatin1String(name);
}

TEST_F(Frame, DocumentMenuWhileADocumentIsActiveAndMainMenuOtherwise) {
    EXPECT_EQ(titles(frame().currentMenus()),
              (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "ﾀｸﾞ(&T)", "ｱｼｽﾀﾝﾄ(&A)",
                           "ｳｨﾝﾄﾞｳ(&W)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_TRUE(menusReach(frame().currentMenus(), cmd::Help));

    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_EQ(titles(frame().currentMenus()), (QStringList{"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"}));
    EXPECT_FALSE(menusReach(frame().currentMenus(), cmd::Help));
    EXPECT_FALSE(menusReach(frame().currentMenus(), 32793));
    // View commands have nobody to go to: greyed, and their keys do nothing.
    EXPECT_FALSE(frame().isCommandEnabled(cmd::Help));
    EXPECT_FALSE(frame().action(32793)->isEnabled());
    EXPECT_TRUE(frame().action(cmd::FileNew)->isEnabled());
}

TEST_F(Frame, ToolbarHasItsButtonsInGroupsWithTipsAndPrompts) {
    QToolBar* bar = frame().toolBar();
    QList<int> layout;
    for (QAction* a : bar->actions())
        layout << (a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(layout, (QList<int>{57600, 57601, 57603, 0,     57635, 57634, 57637, 0,     57607,
                                  57664, 0,     32776, 32779, 32780, 32852, 32843, 32844, 32845,
                                  0,     32773, 32783, 65535, 32781, 32788, 32774}));
    QAction* copy = frame().action(cmd::EditCopy);
    EXPECT_EQ(copy->toolTip(), QStringLiteral("ｺﾋﾟ-"));
    EXPECT_EQ(copy->statusTip(), QStringLiteral("選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存"));
    for (QAction* a : bar->actions())
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
            EXPECT_FALSE(a->toolTip().isEmpty()) << a->data().toInt();
            // What a screen reader announces for the button: its tooltip.
            EXPECT_EQ(bar->widgetForAction(a)->accessibleName().isEmpty()
                          ? qobject_cast<QToolButton*>(bar->widgetForAction(a))->text()
                          : bar->widgetForAction(a)->accessibleName(),
                      a->toolTip());
        }

    // Pointing at a button puts its prompt in the message pane.
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(frame().action(cmd::FileSave)));
    ASSERT_NE(button, nullptr);
    QStatusTipEvent tip(frame().action(cmd::FileSave)->statusTip());
    QApplication::sendEvent(button, &tip);
    EXPECT_EQ(frame().statusBar()->currentMessage(), QStringLiteral("作業中のﾌｧｲﾙを保存"));
}

TEST_F(Frame, StatusBarSaysReadyAndHasTheLockPanes) {
    auto* message = frame().findChild<QLabel*>(QStringLiteral("messagePane"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), QStringLiteral("ﾚﾃﾞｨ"));
    QStringList panes;
    for (QLabel* l : frame().statusBar()->findChildren<QLabel*>())
        if (l->objectName().startsWith(QStringLiteral("indicator ")))
            panes << l->accessibleName();
    EXPECT_EQ(panes, (QStringList{"ｶﾅ", "CAP", "NUM", "SCRL"}));
}

TEST_F(Frame, ToolbarAndStatusBarToggle) {
    EXPECT_TRUE(frame().action(cmd::ViewToolbar)->isChecked());
    frame().onCommand(cmd::ViewToolbar);
    settle();
    EXPECT_FALSE(frame().toolBar()->isVisibleTo(&frame()));
    EXPECT_FALSE(frame().action(cmd::ViewToolbar)->isChecked());
    frame().onCommand(cmd::ViewStatusBar);
    settle();
    EXPECT_FALSE(frame().statusBar()->isVisibleTo(&frame()));
    EXPECT_FALSE(frame().action(cmd::ViewStatusBar)->isChecked());
}

TEST_F(Frame, SettingsAreReadWhenTheFrameIsMadeAndWrittenWhenItGoes) {
    app.reset();
    // A first run leaves an empty zu.set behind as soon as the frame exists.
    QFile::remove(configFile("zu.set"));
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    EXPECT_TRUE(QFile::exists(configFile("zu.set")));
    EXPECT_EQ(readFile(configFile("zu.set")), QByteArray());
    app.reset();
    const QByteArray written = readFile(configFile("zu.set"));
    EXPECT_EQ(written.count("\r\n"), 17);
    EXPECT_TRUE(written.startsWith("2\r\n0\r\n1\r\n1\r\n"));

    // A value in the file reaches the command that reads it.
    QByteArray changed = written;
    changed.replace("\r\n3\r\n#000000", "\r\n5\r\n#000000");
    QFile f(configFile("zu.set"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(changed);
    f.close();
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    EXPECT_EQ(settings().fontSize, 5);
    frame().onCommand(32792);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("<font SIZE=5></font>"));
    settings().fontSize = 3;
}

TEST_F(Frame, RecentFilesListTheLastOpenedFirstAndReopenThem) {
    const QString a = writeFile(QStringLiteral("a.htm"), "a");
    const QString b = writeFile(QStringLiteral("b&c.htm"), "b");
    app->openFile(a);
    app->openFile(b);
    QAction* first = frame().action(cmd::FileMru1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), QStringLiteral("&1 ") + QString(b).replace('&', "&&"));
    EXPECT_EQ(frame().action(cmd::FileMru1 + 1)->text(), QStringLiteral("&2 ") + a);
    EXPECT_FALSE(frame().action(cmd::FileMru1 + 2)->isVisible());

    // The list outlives the run, in the profile beside zu.set.
    const QByteArray profile = readFile(configFile("zu.conf"));
    EXPECT_TRUE(profile.contains("[Recent%20File%20List]")) << profile.toStdString();

    // Choosing an entry opens the file; a file that is gone leaves the list.
    for (CZuDoc* d : app->documents())
        emit d->closeRequested();
    settle();
    frame().onCommand(cmd::FileMru1 + 1);
    settle();
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->pathName(), a);
    QFile::remove(b);
    dialogs.thenMessage(QMessageBox::Ok);
    frame().onCommand(cmd::FileMru1 + 1);
    EXPECT_EQ(app->recentFiles().paths().size(), 1u);
}

TEST_F(Frame, CaptionShowsTheActiveDocument) {
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("zu - [Zu1]"));
    frame().onCommand(cmd::FileNew);
    settle();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("zu - [Zu2]"));
    frame().onCommand(cmd::WindowCascade);
    settle();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("zu - Zu2"));
    const QString file = path(QStringLiteral("named.htm"));
    dialogs.thenSaveAs(file);
    frame().onCommand(cmd::FileSaveAs);
    settle();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("zu - named.htm"));
    frame().onCommand(cmd::FileClose);
    frame().onCommand(cmd::FileClose);
    settle();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("zu"));
}

TEST_F(Frame, NewWindowShowsTheSameDocument) {
    CZuDoc* d = doc();
    QTest::keyClicks(view(), "shared");
    frame().onCommand(cmd::WindowNew);
    settle();
    EXPECT_EQ(doc(), d);
    EXPECT_EQ(d->views().size(), 2u);
    EXPECT_EQ(frame().activeChild()->windowTitle(), QStringLiteral("Zu1:2"));
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("shared"));
    // Closing one of two windows asks nothing; the document stays.
    frame().activeChild()->close();
    settle();
    EXPECT_EQ(d->views().size(), 1u);
    frame().onCommand(cmd::WindowCascade);
    frame().onCommand(cmd::WindowTile);
    frame().onCommand(cmd::WindowArrange);
}

TEST_F(Frame, EscapeDoesNothing) {
    QTest::keyClicks(view(), "abc");
    doc()->text().setModified(false);
    QTest::keyClick(view(), Qt::Key_Escape);
    settle();
    ASSERT_NE(view(), nullptr);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("abc"));
    EXPECT_FALSE(doc()->text().isModified());
}

TEST_F(Frame, EveryAcceleratorIsAKeyOfItsCommand) {
    std::vector<Accelerator> all(accelerators().begin(), accelerators().end());
    all.insert(all.end(), addedAccelerators().begin(), addedAccelerators().end());
    for (const Accelerator& a : all) {
        const QKeySequence key(ui::qs(a.keys), QKeySequence::PortableText);
        ASSERT_FALSE(key.isEmpty()) << a.keys;
        ASSERT_NE(frame().action(a.id), nullptr) << a.id;
        EXPECT_TRUE(frame().action(a.id)->shortcuts().contains(key)) << a.keys;
    }
}

TEST_F(Frame, AcceleratorsReachTheirCommands) {
    QTest::keyClicks(view(), "abc");
    QTest::keyClick(view(), Qt::Key_Backspace, Qt::AltModifier); // undo
    EXPECT_EQ(view()->toPlainText(), QString());
    QTest::keyClick(view(), Qt::Key_H, Qt::ControlModifier); // replace
    ASSERT_NE(FindReplace::instance().dialog(), nullptr);
    EXPECT_TRUE(FindReplace::instance().dialog()->replacing());
    FindReplace::instance().dialog()->close();
    settle();
    QApplication::setActiveWindow(&frame()); // the window manager's part
    QTest::keyClick(view(), Qt::Key_F6);
    QTest::keyClick(view(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(view()->toPlainText(), QString()) << "keys of no command do nothing";
    QTest::keyClick(view(), Qt::Key_N, Qt::ControlModifier);
    settle();
    EXPECT_EQ(doc()->title(), QStringLiteral("Zu2"));
}

TEST_F(Frame, AboutBoxShowsNameAndVersionAndOkCloses) {
    bool seen = false;
    dialogs.then([&](QDialog& d) {
        seen = qobject_cast<CAboutDlg*>(&d) != nullptr;
        auto* version = d.findChild<QLabel*>(QStringLiteral("version"));
        EXPECT_TRUE(version && version->text().startsWith(QStringLiteral("zu ")));
        return int(QDialog::Accepted);
    });
    frame().onCommand(cmd::AppAbout);
    EXPECT_TRUE(seen);
}

TEST_F(Frame, ExitAsksAboutUnsavedDocumentsAndCancelKeepsRunning) {
    QTest::keyClicks(view(), "unsaved");
    dialogs.thenMessage(QMessageBox::Cancel);
    frame().onCommand(cmd::AppExit);
    settle();
    ASSERT_NE(app->mainFrame(), nullptr);
    EXPECT_TRUE(frame().isVisible());
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("Zu1 への変更を保存しますか？"));
}

TEST_F(Frame, DroppedFilesOpen) {
    const QString file = writeFile(QStringLiteral("drop.htm"), "dropped");
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view()->viewport(), &drop);
    settle();
    EXPECT_EQ(app->documents().size(), 2u);
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->pathName(), file);
    EXPECT_EQ(view()->toPlainText(), QStringLiteral("dropped")) << "opened, not inserted";
    delete data;
}

TEST_F(Frame, HelpIsShownOrItsAbsenceReported) {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/zu.html");
    QFile::remove(beside);
    dialogs.thenMessage(QMessageBox::Ok);
    frame().onCommand(cmd::Help);
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("zu.html")));

    ASSERT_TRUE(QFile::copy(QStringLiteral(ZU_HELP_SOURCE), beside));
    // F1, the key zu adds for it, in the document window.
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_F1);
    settle();
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QStringLiteral("zu ﾍﾙﾌﾟ"))
            help = w;
    ASSERT_NE(help, nullptr);
    help->close();
    QFile::remove(beside);
}

// --- Right-button menu ---------------------------------------------------------

struct MenuSeen {
    QStringList labels;
    QMap<QString, bool> enabled;
    QPoint at;
};

MenuSeen rightClick(CZuView* v, const QPoint& point, const QString& choose = {}) {
    MenuSeen seen;
    CZuView::setMenuHook([&](QMenu& menu, const QPoint& at) -> QAction* {
        seen.at = at;
        QAction* chosen = nullptr;
        for (QAction* a : menu.actions()) {
            seen.labels << (a->isSeparator() ? QStringLiteral("-") : a->text());
            seen.enabled[a->text()] = a->isEnabled();
            if (a->text() == choose)
                chosen = a;
        }
        return chosen;
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, v->viewport()->mapToGlobal(point));
    QApplication::sendEvent(v->viewport(), &event);
    CZuView::setMenuHook({});
    return seen;
}

TEST_F(Frame, RightButtonMenuAtTheClickWithItsGreying) {
    QApplication::clipboard()->clear();
    const MenuSeen fresh = rightClick(view(), QPoint(40, 30));
    EXPECT_EQ(fresh.labels, (QStringList{"元に戻す", "-", "切り取り", "ｺﾋﾟｰ", "貼り付け", "-",
                                         "ﾌｧｲﾙﾘﾝｸ", "ｲﾒｰｼﾞﾘﾝｸ", "-", "特殊記号", "-", "ｵﾌﾟｼｮﾝ"}));
    EXPECT_EQ(fresh.at, view()->viewport()->mapToGlobal(QPoint(40, 30)));
    EXPECT_FALSE(fresh.enabled["元に戻す"]);
    EXPECT_FALSE(fresh.enabled["切り取り"]);
    EXPECT_FALSE(fresh.enabled["ｺﾋﾟｰ"]);
    EXPECT_FALSE(fresh.enabled["貼り付け"]);
    EXPECT_TRUE(fresh.enabled["ﾌｧｲﾙﾘﾝｸ"] && fresh.enabled["ｲﾒｰｼﾞﾘﾝｸ"] &&
                fresh.enabled["特殊記号"] && fresh.enabled["ｵﾌﾟｼｮﾝ"]);

    QTest::keyClicks(view(), "word");
    view()->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    const MenuSeen busy = rightClick(view(), QPoint(5, 5), QStringLiteral("切り取り"));
    EXPECT_TRUE(busy.enabled["元に戻す"]);
    EXPECT_TRUE(busy.enabled["切り取り"]);
    EXPECT_TRUE(busy.enabled["ｺﾋﾟｰ"]);
    EXPECT_TRUE(busy.enabled["貼り付け"]);
    // The chosen item went to the view: the selection was cut.
    EXPECT_EQ(view()->toPlainText(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("word"));
}

} // namespace
} // namespace zu::test
