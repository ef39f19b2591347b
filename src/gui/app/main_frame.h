#pragma once
// The main window: menu bar, toolbar, status bar and the area that holds
// the document windows. It routes every command to its handler and keeps
// the commands' enabled state current. Its lifetime brackets the settings:
// loaded when it is constructed, saved when it is destroyed.

#include <QMainWindow>

#include <map>
#include <optional>
#include <span>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace zu {
class CChildFrame;
class CZuApp;
class CZuDoc;
class CZuView;
class LockIndicators;
struct MenuNode;
template <class T> struct CommandEntry;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CZuApp& app);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return mdi_; }
    CChildFrame* activeChild() const;
    CZuView* activeView() const;
    QAction* action(int id) const;
    QToolBar* toolBar() const { return toolBar_; }
    // The menus of the bar now shown: 128 while no document window is active,
    // 129 while one is.
    QList<QMenu*> currentMenus() const;
    bool showsDocumentMenu() const { return documentMenuShown_; }

    // Routes command `id`: the active view, its document, the active child
    // frame, this frame, the application; the first that handles it wins.
    void onCommand(int id);
    // Whether `id` is available now, asked along the same route.
    bool isCommandEnabled(int id) const;

    CChildFrame* addView(CZuView* view);
    void refreshRecentFiles();
    // A remark about the file just opened, in the message pane.
    void showNotice(const QString& text);

    bool OnCmdMsg(int id);
    std::optional<bool> commandEnabled(int id) const;

public slots:
    void updateCommands();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static std::span<const CommandEntry<CMainFrame>> messageMap();
    void createActions();
    QMenu* buildMenu(const MenuNode& popup);
    void showMenuBar(bool document);
    void createToolBar();
    void createStatusBar();
    void scheduleUpdate();
    void onSubWindowActivated(QMdiSubWindow* window);
    void updateCaption();

    void OnViewToolbar(int id);
    void OnViewStatusBar(int id);
    void OnWindowNew(int id);
    void OnWindowCascade(int id);
    void OnWindowTile(int id);
    void OnWindowArrange(int id);
    bool hasActiveChild(int id) const;

    CZuApp& app_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    LockIndicators* locks_ = nullptr;
    std::map<int, QAction*> actions_;
    QAction* recentPlaceholder_ = nullptr;
    QList<QMenu*> mainMenus_;
    QList<QMenu*> documentMenus_;
    bool documentMenuShown_ = false;
    bool updatePending_ = false;
};

} // namespace zu
