// What the desktop conventions add to the main window: the Window menu's
// list of open windows, recent files that fit the menu, the icon, and files
// handed over by a second zu.

#include "support/fixture.h"

#include "core/app/menus.h"
#include "core/desktop/open_request.h"
#include "gui/app/about_dlg.h"
#include "gui/app/icons.h"
#include "gui/app/instance_channel.h"

#include <QLabel>
#include <QLocalSocket>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

namespace zu::test {
namespace {

class Desktop : public AppTest {
protected:
    QMenu* windowMenu() const {
        for (QMenu* m : frame().currentMenus())
            if (m->title() == QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"))
                return m;
        return nullptr;
    }
    // The list at the foot of the Window menu as it shows when opened:
    // each entry's label, with "*" after the checked one.
    QStringList listed() const {
        QMenu* menu = windowMenu();
        if (!menu)
            return {QStringLiteral("no window menu")};
        emit menu->aboutToShow();
        QStringList out;
        for (QAction* a : menu->actions()) {
            const int id = a->data().toInt();
            if (a->isVisible() && id >= cmd::WindowList1 &&
                id < cmd::WindowList1 + cmd::WindowListCount)
                out << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
        }
        return out;
    }
    QAction* entry(int slot) const { return frame().action(cmd::WindowList1 + slot); }
    QString activeTitle() const {
        return frame().activeChild() ? frame().activeChild()->windowTitle() : QString();
    }
};

TEST_F(Desktop, WindowMenuListsTheWindowsBelowItsCommandsWithTheActiveOneChecked) {
    app->openFile(pathFromQt(writeFile(QStringLiteral("R&D.htm"), "x")));
    frame().onCommand(cmd::FileNew);
    settle();
    EXPECT_EQ(listed(), (QStringList{"&1 Zu1", "&2 R&&D.htm", "&3 Zu2*"}));

    // The four commands, a separator, then the list.
    const QList<QAction*> actions = windowMenu()->actions();
    ASSERT_GE(actions.size(), 5);
    EXPECT_EQ(actions[3]->data().toInt(), cmd::WindowArrange);
    EXPECT_TRUE(actions[4]->isSeparator());
    EXPECT_EQ(actions[5]->data().toInt(), cmd::WindowList1);

    // Choosing an entry activates its window; the check follows.
    entry(0)->trigger();
    settle();
    EXPECT_EQ(activeTitle(), QStringLiteral("Zu1"));
    EXPECT_EQ(listed(), (QStringList{"&1 Zu1*", "&2 R&&D.htm", "&3 Zu2"}));
    EXPECT_TRUE(view()->hasFocus() || !QApplication::focusWidget());

    // A closed window leaves the list, and its slot is no longer a command.
    frame().onCommand(cmd::FileClose);
    settle();
    QStringList after = listed();
    // Which window comes forward is the window system's choice; the check
    // is on whichever it is.
    EXPECT_EQ(after.filter(QStringLiteral("*")).size(), 1);
    const auto checked = after.indexOf(after.filter(QStringLiteral("*")).value(0));
    EXPECT_EQ(frame().listedWindow(static_cast<int>(checked)), frame().activeChild());
    after.replaceInStrings(QStringLiteral("*"), QString());
    EXPECT_EQ(after, (QStringList{"&1 R&&D.htm", "&2 Zu2"}));
    EXPECT_FALSE(frame().isCommandEnabled(cmd::WindowList1 + 2));
}

TEST_F(Desktop, ChoosingAWindowPutAwayAsAnIconBringsItBack) {
    frame().onCommand(cmd::FileNew);
    settle();
    QMdiSubWindow* first = frame().mdiArea()->subWindowList(QMdiArea::CreationOrder).front();
    frame().onCommand(cmd::WindowCascade);
    settle();
    first->showMinimized();
    frame().onCommand(cmd::WindowList1 + 1);
    settle();
    ASSERT_TRUE(first->isMinimized());
    ASSERT_NE(frame().activeChild(), first);
    frame().onCommand(cmd::WindowList1);
    settle();
    EXPECT_EQ(frame().activeChild(), first);
    EXPECT_FALSE(first->isMinimized());
}

TEST_F(Desktop, BeyondNineWindowsTheActiveOneTakesTheLastPlace) {
    for (int i = 0; i < 10; ++i)
        frame().onCommand(cmd::FileNew);
    settle();
    const QStringList entries = listed();
    ASSERT_EQ(entries.size(), 9);
    EXPECT_EQ(entries.front(), QStringLiteral("&1 Zu1"));
    EXPECT_EQ(entries.back(), QStringLiteral("&9 Zu11*"));
    entry(4)->trigger();
    settle();
    EXPECT_EQ(activeTitle(), QStringLiteral("Zu5"));
    EXPECT_EQ(listed().back(), QStringLiteral("&9 Zu9"));
}

TEST_F(Desktop, LongRecentFilesAreShortenedAndThePromptNamesTheWholePath) {
    const QString folder = QStringLiteral("a-rather-long-folder-name/and-another-one");
    ASSERT_TRUE(QDir(files.path()).mkpath(folder));
    const QString file = writeFile(folder + QStringLiteral("/page.htm"), "x");
    app->openFile(pathFromQt(file));
    settle();
    QAction* recent = frame().action(cmd::FileMru1);
    EXPECT_TRUE(recent->text().startsWith(QStringLiteral("&1 /")));
    EXPECT_TRUE(recent->text().endsWith(QStringLiteral("/.../and-another-one/page.htm")))
        << recent->text().toStdString();
    EXPECT_EQ(recent->statusTip(), file);

    // Pointing at the entry shows the whole path.
    QStatusTipEvent tip(recent->statusTip());
    QApplication::sendEvent(&frame(), &tip);
    EXPECT_EQ(frame().statusBar()->currentMessage(), file);
}

TEST_F(Desktop, TheWindowAndTheAboutBoxShowTheIcon) {
    const QImage icon = appIcon().pixmap(48, 48).toImage();
    ASSERT_FALSE(icon.isNull());
    // Not blank: the picture has the blue of its background.
    EXPECT_EQ(QColor(icon.pixel(24, 40)).blue() > 150, true);
    EXPECT_EQ(frame().windowIcon().pixmap(48, 48).toImage(), icon);
    bool shown = false;
    dialogs.then([&](QDialog& d) {
        auto* about = qobject_cast<CAboutDlg*>(&d);
        for (QLabel* label : about ? about->findChildren<QLabel*>() : QList<QLabel*>())
            if (!label->pixmap().isNull())
                shown = label->pixmap().toImage() == icon;
        return int(QDialog::Accepted);
    });
    frame().onCommand(cmd::AppAbout);
    EXPECT_TRUE(shown);
}

// A second zu, played by a socket of the test's own: it sends a request and
// waits for the answer without blocking the running zu, which is this same
// process.
class SecondZu {
public:
    explicit SecondZu(const QStringList& files) {
        socket_.connectToServer(InstanceChannel::socketPath());
        std::vector<std::string> paths;
        for (const QString& f : files)
            paths.push_back(QFile::encodeName(f).toStdString());
        const std::string request = encodeOpenRequest(paths);
        socket_.write(request.data(), static_cast<qint64>(request.size()));
    }
    bool answered(int ms = 5000) {
        return QTest::qWaitFor(
            [&] {
                answer_ += socket_.readAll();
                return answer_ == QByteArray(kOpenAccepted.data());
            },
            ms);
    }

private:
    QLocalSocket socket_;
    QByteArray answer_;
};

TEST_F(Desktop, FilesHandedOverOpenInWindowsOfTheirOwn) {
    const QString a = writeFile(QStringLiteral("a.htm"), "first");
    const QString b = writeFile(QStringLiteral("b.htm"), "second");
    SecondZu second({a, b});
    ASSERT_TRUE(second.answered());
    settle();
    EXPECT_EQ(frame().mdiArea()->subWindowList().size(), 3);
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->pathName(), pathFromQt(b));
    EXPECT_TRUE(frame().isVisible());

    // A file already open is not opened twice: its window comes forward.
    SecondZu again({a});
    ASSERT_TRUE(again.answered());
    settle();
    EXPECT_EQ(frame().mdiArea()->subWindowList().size(), 3);
    EXPECT_EQ(doc()->pathName(), pathFromQt(a));
}

TEST_F(Desktop, ASocketLeftByAZuThatDiedDoesNotStopTheNextOne) {
    app.reset();
    settle();
    QFile dead(InstanceChannel::socketPath());
    ASSERT_TRUE(dead.open(QIODevice::WriteOnly));
    dead.close();
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    SecondZu second({writeFile(QStringLiteral("a.htm"), "a")});
    ASSERT_TRUE(second.answered());
    settle();
    EXPECT_EQ(app->documents().size(), 2u);
}

TEST_F(Desktop, HandedOverFilesWaitForAModalDialogToClose) {
    const QString a = writeFile(QStringLiteral("a.htm"), "first");
    QDialog dialog(&frame());
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    // Not answered until the files can be opened: a zu that waits too long
    // opens them itself.
    SecondZu second({a});
    EXPECT_FALSE(second.answered(400));
    EXPECT_EQ(app->documents().size(), 1u) << "opened under the dialog";
    dialog.close();
    EXPECT_TRUE(second.answered());
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->documents().size() == 2; }));
    EXPECT_EQ(doc()->pathName(), pathFromQt(a));
}

} // namespace
} // namespace zu::test
