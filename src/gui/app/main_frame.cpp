#include "gui/app/main_frame.h"

#include "gui/app/child_frame.h"
#include "gui/app/command_map.h"
#include "core/app/commands.h"
#include "gui/app/icons.h"
#include "gui/app/lock_indicators.h"
#include "core/app/menus.h"
#include "core/app/recent_files.h"
#include "gui/widgets/ui.h"
#include "gui/app/zu_app.h"
#include "gui/doc/zu_doc.h"
#include "core/settings/settings.h"
#include "gui/view/zu_view.h"

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

std::span<const CommandEntry<CMainFrame>> CMainFrame::messageMap() {
    using F = CMainFrame;
    static const CommandEntry<F> map[] = {
        {cmd::ViewToolbar, cmd::ViewToolbar, &F::OnViewToolbar},
        {cmd::ViewStatusBar, cmd::ViewStatusBar, &F::OnViewStatusBar},
        {cmd::WindowNew, cmd::WindowNew, &F::OnWindowNew, &F::hasActiveChild},
        {cmd::WindowArrange, cmd::WindowArrange, &F::OnWindowArrange, &F::hasActiveChild},
        {cmd::WindowCascade, cmd::WindowCascade, &F::OnWindowCascade, &F::hasActiveChild},
        {cmd::WindowTile, cmd::WindowTile, &F::OnWindowTile, &F::hasActiveChild},
    };
    return map;
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
        if (info.id == cmd::ViewToolbar || info.id == cmd::ViewStatusBar)
            a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id = info.id] { onCommand(id); });
        actions_[info.id] = a;
        // Commands reached only by a key still need a home for the key.
        if (!node)
            addAction(a);
    }
    for (const Accelerator& accelerator : accelerators()) {
        QAction* a = action(accelerator.id);
        if (!a)
            continue;
        QList<QKeySequence> keys = a->shortcuts();
        keys << QKeySequence(ui::qs(accelerator.keys), QKeySequence::PortableText);
        a->setShortcuts(keys);
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
    connect(view, &CZuView::filesDropped, this, [this](const QStringList& files) {
        for (const QString& f : files)
            app_.OpenDocumentFile(f);
    });
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::updateCaption);
    connect(frame, &QWidget::windowTitleChanged, this, &CMainFrame::updateCaption);
    connect(view->GetDocument(), &CZuDoc::pathChanged, this, &CMainFrame::scheduleUpdate);
    frame->showMaximized();
    mdi_->setActiveSubWindow(frame);
    view->setFocus();
    return frame;
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow*) {
    showMenuBar(activeChild() != nullptr);
    updateCaption();
    updateCommands();
}

void CMainFrame::updateCaption() {
    // As on the original desktop: a maximised document window puts its title
    // in brackets after the program's name.
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
        if (used)
            a->setText(QString::fromStdString(RecentFiles::menuLabel(i, paths[i])));
    }
}

// --- Routing ------------------------------------------------------------------

void CMainFrame::onCommand(int id) {
    if (!isCommandEnabled(id))
        return;
    if (CZuView* view = activeView()) {
        if (view->OnCmdMsg(id) || view->GetDocument()->OnCmdMsg(id))
            return scheduleUpdate();
    }
    if (CChildFrame* child = activeChild(); child && child->OnCmdMsg(id))
        return scheduleUpdate();
    if (OnCmdMsg(id))
        return scheduleUpdate();
    app_.OnCmdMsg(id);
    scheduleUpdate();
}

bool CMainFrame::isCommandEnabled(int id) const {
    if (CZuView* view = activeView()) {
        if (auto state = view->commandEnabled(id))
            return *state;
        if (auto state = view->GetDocument()->commandEnabled(id))
            return *state;
    }
    if (auto state = commandEnabled(id))
        return *state;
    if (auto state = app_.commandEnabled(id))
        return *state;
    // Keys that no class handles are swallowed and do nothing.
    const CommandInfo* info = findCommand(id);
    return info && info->owner == CommandOwner::Nobody;
}

void CMainFrame::scheduleUpdate() {
    if (updatePending_)
        return;
    updatePending_ = true;
    QTimer::singleShot(0, this, &CMainFrame::updateCommands);
}

void CMainFrame::updateCommands() {
    updatePending_ = false;
    for (auto& [id, a] : actions_)
        a->setEnabled(isCommandEnabled(id));
    action(cmd::ViewToolbar)->setChecked(toolBar_ && toolBar_->isVisibleTo(this));
    action(cmd::ViewStatusBar)->setChecked(statusBar()->isVisibleTo(this));
}

bool CMainFrame::OnCmdMsg(int id) {
    return dispatchCommand(*this, messageMap(), id);
}

std::optional<bool> CMainFrame::commandEnabled(int id) const {
    return commandState(*this, messageMap(), id);
}

void CMainFrame::OnViewToolbar(int) {
    toolBar_->setVisible(!toolBar_->isVisibleTo(this));
}

void CMainFrame::OnViewStatusBar(int) {
    statusBar()->setVisible(!statusBar()->isVisibleTo(this));
}

bool CMainFrame::hasActiveChild(int) const {
    return activeChild() != nullptr;
}

void CMainFrame::OnWindowNew(int) {
    if (CZuView* view = activeView())
        app_.OpenNewWindow(view->GetDocument());
}

void CMainFrame::OnWindowCascade(int) {
    mdi_->cascadeSubWindows();
}

void CMainFrame::OnWindowTile(int) {
    mdi_->tileSubWindows();
}

void CMainFrame::OnWindowArrange(int) {
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
    if (!app_.SaveAllModified()) {
        event->ignore();
        return;
    }
    app_.CloseAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!ui::localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = ui::localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    for (const QString& f : files)
        app_.OpenDocumentFile(f);
}

} // namespace zu
