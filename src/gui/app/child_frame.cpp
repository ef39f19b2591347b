#include "gui/app/child_frame.h"

#include "gui/app/icons.h"
#include "gui/app/load_frame.h"

#include "gui/doc/doc_commands.h"
#include "gui/doc/document_work.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>

#include <algorithm>

namespace zu {

CChildFrame::CChildFrame(CZuView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("text-html"), appIcon()));
    connect(view->doc(), &CZuDoc::titleChanged, this, &CChildFrame::updateTitle);
    connect(&view->doc()->text(), &TextModel::workChanged, this, &CChildFrame::showWork);
    updateTitle();
}

void CChildFrame::showWork() {
    DocumentWork* work = view_->doc()->text().work();
    const bool inFront = mdiArea() && mdiArea()->activeSubWindow() == this;
    if (work && !panel_) {
        panel_ = new LoadPanel(work, this);
        panel_->setGeometry(widget()->geometry());
        connect(panel_, &LoadPanel::cancelClicked, work, &DocumentWork::cancel);
        // The view takes no key until the work is over, shown or not.
        view_->setEnabled(false);
        const auto show = [this] {
            panel_->show();
            panel_->raise();
            if (mdiArea() && mdiArea()->activeSubWindow() == this)
                panel_->setFocus();
        };
        if (const int wait = work->showAfterMilliseconds(); wait > 0) {
            panel_->hide();
            QTimer::singleShot(wait, panel_, show);
        } else {
            show();
        }
    } else if (!work && panel_) {
        delete panel_;
        view_->setEnabled(true);
        if (inFront)
            view_->setFocus();
    }
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    if (panel_)
        panel_->setGeometry(widget()->geometry());
}

void CChildFrame::updateTitle() {
    const CZuDoc* doc = view_->doc();
    const auto& views = doc->views();
    QString title = doc->title();
    // With several windows on one document each caption carries its number.
    if (views.size() > 1) {
        const auto at = std::find(views.begin(), views.end(), view_);
        title += QStringLiteral(":%1").arg(at - views.begin() + 1);
    }
    setWindowTitle(title);
}

void CChildFrame::closeWithoutPrompt() {
    prompted_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    CZuDoc* doc = view_->doc();
    if (!prompted_ && doc->views().size() == 1 && !maybeSave(*doc)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace zu
