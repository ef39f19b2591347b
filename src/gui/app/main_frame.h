#pragma once
// The main window: menu bar, toolbar, status bar and the area that holds
// the document windows. It routes every command to its handler and keeps
// the commands' enabled state current. Its lifetime brackets the settings:
// loaded when it is constructed, saved when it is destroyed.

#include <QMainWindow>

#include <map>
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
class CaretPane;
class EncodingPanes;
class LockIndicators;
struct CommandTargets;
struct MenuNode;
template <class Target> class HandlerTable;

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

    // Runs command `id` on the class the command table gives it to: the
    // active view, its document, this frame or the application.
    void onCommand(int id);
    // Whether `id` is available now: its owner exists and allows it.
    bool isCommandEnabled(int id) const;

    CChildFrame* addView(CZuView* view);
    void refreshRecentFiles();
    // The document window that entry `slot` of the Window menu's list
    // stands for; null when the list is shorter.
    QMdiSubWindow* listedWindow(int slot) const;
    // A remark about the file just opened, in the message pane.
    void showNotice(const QString& text);
    // The active document's encoding and line-break panes.
    EncodingPanes* encodingPanes() const { return encodingPanes_; }
    // The pane that names the caret's line and column.
    CaretPane* caretPane() const { return caretPane_; }

    // Tool bar, status bar and the window commands.
    static void registerCommands(HandlerTable<CMainFrame>& table);

public slots:
    void updateCommands();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The active view and document, this frame and the application.
    CommandTargets commandTargets() const;
    void createActions();
    QMenu* buildMenu(const MenuNode& popup);
    void showMenuBar(bool document);
    void createToolBar();
    void createStatusBar();
    void scheduleUpdate();
    void onSubWindowActivated(QMdiSubWindow* window);
    void updateCaption();
    void refreshWindowList();
    void activateListedWindow(int slot);
    void arrangeIcons();

    CZuApp& app_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    EncodingPanes* encodingPanes_ = nullptr;
    CaretPane* caretPane_ = nullptr;
    QString lastNote_; // the status note a view gave last
    LockIndicators* locks_ = nullptr;
    std::map<int, QAction*> actions_;
    QAction* recentPlaceholder_ = nullptr;
    QList<QMenu*> mainMenus_;
    QList<QMenu*> documentMenus_;
    bool documentMenuShown_ = false;
    bool updatePending_ = false;
};

} // namespace zu
