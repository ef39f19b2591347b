#include "gui/app/child_frame.h"

#include "gui/app/icons.h"

#include "gui/doc/doc_commands.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include <QCloseEvent>

#include <algorithm>

namespace zu {

CChildFrame::CChildFrame(CZuView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("text-html"), appIcon()));
    connect(view->doc(), &CZuDoc::titleChanged, this, &CChildFrame::updateTitle);
    updateTitle();
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
