#include "gui/app/main_frame.h"

#include "core/app/commands.h"
#include "core/app/menus.h"
#include "core/app/recent_files.h"
#include "core/app/window_list.h"
#include "core/settings/settings.h"
#include "gui/app/caret_pane.h"
#include "gui/app/child_frame.h"
#include "gui/app/encoding_panes.h"
#include "gui/app/icons.h"
#include "gui/app/lock_indicators.h"
#include "gui/app/zu_app.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace zu {
namespace {

// The label a command shows in the menus: the first menu node naming it.
const MenuNode* findNode(std::span<const MenuNode> nodes, int id) {
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Kind::Command && n.id == id)
            return &n;
        if (n.kind == MenuNode::Kind::Popup)
            if (const MenuNode* found = findNode(n.children, id))
                return found;
    }
    return nullptr;
}

} // namespace

void CMainFrame::registerCommands(HandlerTable<CMainFrame>& table) {
    table.add(cmd::ViewToolbar,
              [](CMainFrame& f) { f.toolBar_->setVisible(!f.toolBar_->isVisibleTo(&f)); });
    table.add(cmd::ViewStatusBar,
              [](CMainFrame& f) { f.statusBar()->setVisible(!f.statusBar()->isVisibleTo(&f)); });
    const auto hasDocumentWindow = [](const CMainFrame& f) { return f.activeChild() != nullptr; };
    table.add(
        cmd::WindowNew,
        [](CMainFrame& f) {
            if (CZuView* view = f.activeView())
                f.app_.openNewWindow(view->doc());
        },
        hasDocumentWindow);
    table.add(
        cmd::WindowCascade, [](CMainFrame& f) { f.mdi_->cascadeSubWindows(); }, hasDocumentWindow);
    table.add(
        cmd::WindowTile, [](CMainFrame& f) { f.mdi_->tileSubWindows(); }, hasDocumentWindow);
    table.add(
        cmd::WindowArrange, [](CMainFrame& f) { f.arrangeIcons(); }, hasDocumentWindow);
    for (int slot = 0; slot < cmd::WindowListCount; ++slot)
        table.add(
            cmd::WindowList1 + slot, [slot](CMainFrame& f) { f.activateListedWindow(slot); },
            [slot](const CMainFrame& f) { return f.listedWindow(slot) != nullptr; });
}

CMainFrame::CMainFrame(CZuApp& app) : app_(app), mdi_(new QMdiArea(this)) {
    setWindowTitle(QStringLiteral("zu"));
    setWindowIcon(appIcon());
    setAcceptDrops(true);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);

    createActions();
    for (const MenuNode& popup : mainMenu())
        mainMenus_ << buildMenu(popup);
    for (const MenuNode& popup : documentMenu())
        documentMenus_ << buildMenu(popup);
    showMenuBar(false);
    createToolBar();
    createStatusBar();
    refreshRecentFiles();
    resize(960, 720);
    updateCommands();

    // Last: every reader of the settings runs after this.
    settings().Load();
}

CMainFrame::~CMainFrame() {
    // First: whatever else goes wrong at exit, the settings are written.
    settings().Save();
    // The document windows close after this object is gone; they must not
    // call back into it.
    disconnect(mdi_, nullptr, this, nullptr);
}

QAction* CMainFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::createActions() {
    for (const CommandInfo& info : allCommands()) {
        const MenuNode* node = findNode(documentMenu(), info.id);
        if (!node)
            node = findNode(mainMenu(), info.id);
        auto* a = new QAction(node ? ui::qs(node->label) : QString(), this);
        a->setData(info.id);
        a->setStatusTip(ui::qs(info.prompt));
        if (!info.tooltip.empty()) {
            // A toolbar button shows only its icon: its tooltip is the name
            // that screen readers and the keyboard user hear.
            a->setToolTip(ui::qs(info.tooltip));
            a->setIconText(ui::qs(info.tooltip));
        }
        a->setIcon(commandIcon(info.id));
        a->setIconVisibleInMenu(false);
        if (info.id == cmd::ViewToolbar || info.id == cmd::ViewStatusBar ||
            info.id == cmd::ColourWhileTyping || info.id == cmd::LineNumbers ||
            (info.id >= cmd::WindowList1 && info.id < cmd::WindowList1 + cmd::WindowListCount))
            a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id = info.id] { onCommand(id); });
        actions_[info.id] = a;
        // Commands reached only by a key still need a home for the key.
        if (!node)
            addAction(a);
    }
    for (const auto& table : {accelerators(), addedAccelerators()}) {
        for (const Accelerator& accelerator : table) {
            QAction* a = action(accelerator.id);
            if (!a)
                continue;
            QList<QKeySequence> keys = a->shortcuts();
            keys << QKeySequence(ui::qs(accelerator.keys), QKeySequence::PortableText);
            a->setShortcuts(keys);
        }
    }
    recentPlaceholder_ = new QAction(ui::qs(kRecentFilePlaceholder), this);
    recentPlaceholder_->setEnabled(false);
}

QMenu* CMainFrame::buildMenu(const MenuNode& popup) {
    auto* menu = new QMenu(ui::qs(popup.label), this);
    for (const MenuNode& node : popup.children) {
        switch (node.kind) {
        case MenuNode::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuNode::Kind::Popup:
            menu->addMenu(buildMenu(node));
            break;
        case MenuNode::Kind::Command:
            if (QAction* a = action(node.id))
                menu->addAction(a);
            break;
        case MenuNode::Kind::RecentFiles:
            menu->addAction(recentPlaceholder_);
            for (int i = 0; i < cmd::RecentFileCount; ++i)
                if (QAction* a = action(cmd::FileMru1 + i))
                    menu->addAction(a);
            break;
        case MenuNode::Kind::WindowList:
            for (int i = 0; i < cmd::WindowListCount; ++i)
                if (QAction* a = action(cmd::WindowList1 + i))
                    menu->addAction(a);
            break;
        }
    }
    // Menus show what is available at the moment they open.
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommands);
    return menu;
}

void CMainFrame::showMenuBar(bool document) {
    documentMenuShown_ = document;
    menuBar()->clear();
    for (QMenu* m : document ? documentMenus_ : mainMenus_)
        menuBar()->addMenu(m);
}

QList<QMenu*> CMainFrame::currentMenus() const {
    return documentMenuShown_ ? documentMenus_ : mainMenus_;
}

void CMainFrame::createToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setIconSize(QSize(20, 20));
    for (int id : toolbarLayout()) {
        if (id == 0)
            toolBar_->addSeparator();
        else if (QAction* a = action(id))
            toolBar_->addAction(a);
    }
    connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::scheduleUpdate);
}

void CMainFrame::createStatusBar() {
    messagePane_ = new QLabel(QStringLiteral("ﾚﾃﾞｨ"));
    messagePane_->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(messagePane_, 1);
    caretPane_ = new CaretPane(statusBar(), [this] { onCommand(cmd::GoToLine); });
    encodingPanes_ = new EncodingPanes(statusBar(), this);
    locks_ = new LockIndicators(statusBar());
}

void CMainFrame::showNotice(const QString& text) {
    statusBar()->showMessage(text, 15000);
}

CChildFrame* CMainFrame::activeChild() const {
    // The current window, not the active one: while a dialog such as Find
    // has the focus, the document window it works on stays the target.
    return qobject_cast<CChildFrame*>(mdi_->currentSubWindow());
}

CZuView* CMainFrame::activeView() const {
    CChildFrame* child = activeChild();
    return child ? child->view() : nullptr;
}

CChildFrame* CMainFrame::addView(CZuView* view) {
    auto* frame = new CChildFrame(view);
    mdi_->addSubWindow(frame);
    connect(view, &CZuView::commandStateChanged, this, &CMainFrame::scheduleUpdate);
    connect(view, &CZuView::filesDropped, this, [this](const std::vector<FilePath>& files) {
        for (const FilePath& f : files)
            app_.openFile(f);
    });
    // A note stays until a later one, or the next run of the same command
    // with nothing to say, takes it back.
    connect(view, &CZuView::statusNote, this, [this](const QString& text) {
        if (!text.isEmpty())
            statusBar()->showMessage(text, 10000);
        else if (!lastNote_.isEmpty() && statusBar()->currentMessage() == lastNote_)
            statusBar()->clearMessage();
        lastNote_ = text;
    });
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::updateCaption);
    connect(frame, &QWidget::windowTitleChanged, this, &CMainFrame::updateCaption);
    connect(view->doc(), &CZuDoc::pathChanged, this, &CMainFrame::scheduleUpdate);
    connect(&view->doc()->text(), &TextModel::workChanged, this, &CMainFrame::scheduleUpdate);
    frame->showMaximized();
    mdi_->setActiveSubWindow(frame);
    view->setFocus();
    return frame;
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow*) {
    showMenuBar(activeChild() != nullptr);
    encodingPanes_->setDocument(activeView() ? activeView()->doc() : nullptr);
    caretPane_->setView(activeView());
    updateCaption();
    updateCommands();
    app_.checkDiskChanges();
}

void CMainFrame::updateCaption() {
    // A maximised document window has no title bar of its own: its title
    // goes in brackets after the program's name, so the user still sees
    // which file is in front.
    CChildFrame* child = activeChild();
    if (!child)
        setWindowTitle(QStringLiteral("zu"));
    else if (child->isMaximized())
        setWindowTitle(QStringLiteral("zu - [%1]").arg(child->windowTitle()));
    else
        setWindowTitle(QStringLiteral("zu - %1").arg(child->windowTitle()));
}

void CMainFrame::refreshRecentFiles() {
    const auto& paths = app_.recentFiles().paths();
    recentPlaceholder_->setVisible(paths.empty());
    for (int i = 0; i < cmd::RecentFileCount; ++i) {
        QAction* a = action(cmd::FileMru1 + i);
        if (!a)
            continue;
        const bool used = static_cast<std::size_t>(i) < paths.size();
        a->setVisible(used);
        if (used) {
            // The label may be shortened; the prompt names the whole path.
            const QString shown = displayPath(paths[i]);
            a->setText(QString::fromStdString(RecentFiles::menuLabel(i, shown.toStdString())));
            a->setStatusTip(shown);
        }
    }
}

QMdiSubWindow* CMainFrame::listedWindow(int slot) const {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    const auto active = windows.indexOf(mdi_->currentSubWindow());
    const std::vector<std::size_t> listed =
        listedWindows(static_cast<std::size_t>(windows.size()),
                      active < 0 ? std::nullopt : std::optional<std::size_t>(active));
    if (slot < 0 || static_cast<std::size_t>(slot) >= listed.size())
        return nullptr;
    return windows[static_cast<qsizetype>(listed[static_cast<std::size_t>(slot)])];
}

void CMainFrame::refreshWindowList() {
    for (int slot = 0; slot < cmd::WindowListCount; ++slot) {
        QAction* a = action(cmd::WindowList1 + slot);
        QMdiSubWindow* window = listedWindow(slot);
        a->setVisible(window != nullptr);
        if (!window)
            continue;
        a->setText(QString::fromStdString(
            windowMenuLabel(static_cast<std::size_t>(slot), window->windowTitle().toStdString())));
        a->setChecked(window == mdi_->currentSubWindow());
    }
}

void CMainFrame::activateListedWindow(int slot) {
    QMdiSubWindow* window = listedWindow(slot);
    if (!window)
        return;
    // A window put away as an icon comes back to be worked in.
    if (window->isMinimized())
        window->showNormal();
    mdi_->setActiveSubWindow(window);
    if (QWidget* content = window->widget())
        content->setFocus();
}

// --- Routing ------------------------------------------------------------------

void CMainFrame::onCommand(int id) {
    if (commandRegistry().run(id, commandTargets()))
        scheduleUpdate();
}

bool CMainFrame::isCommandEnabled(int id) const {
    return commandRegistry().isEnabled(id, commandTargets());
}

CommandTargets CMainFrame::commandTargets() const {
    CZuView* view = activeView();
    // A document whose file is being read again is the load's until it is
    // in: nothing may change it or read it half-filled.
    if (view && view->doc()->text().work())
        view = nullptr;
    // Asking whether a command is available changes nothing of this frame;
    // the same targets serve to run it.
    return {view, view ? view->doc() : nullptr, const_cast<CMainFrame*>(this), &app_};
}

void CMainFrame::scheduleUpdate() {
    if (updatePending_)
        return;
    updatePending_ = true;
    QTimer::singleShot(0, this, &CMainFrame::updateCommands);
}

void CMainFrame::updateCommands() {
    updatePending_ = false;
    refreshWindowList();
    for (auto& [id, a] : actions_)
        a->setEnabled(isCommandEnabled(id));
    action(cmd::ViewToolbar)->setChecked(toolBar_ && toolBar_->isVisibleTo(this));
    action(cmd::ViewStatusBar)->setChecked(statusBar()->isVisibleTo(this));
    action(cmd::ColourWhileTyping)->setChecked(app_.coloursWhileTyping());
    action(cmd::LineNumbers)->setChecked(app_.showsLineNumbers());
}

void CMainFrame::arrangeIcons() {
    // Minimised windows line up along the bottom edge, left to right.
    int x = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, mdi_->viewport()->height() - w->height());
        x += w->width();
    }
}

// --- Window events ----------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!app_.maybeSaveAll()) {
        event->ignore();
        return;
    }
    app_.closeAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!ui::localFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const std::vector<FilePath> files = ui::localFiles(event->mimeData());
    if (files.empty())
        return;
    event->acceptProposedAction();
    activateWindow();
    for (const FilePath& f : files)
        app_.openFile(f);
}

} // namespace zu
