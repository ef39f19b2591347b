#include "gui/app/caret_pane.h"

#include "core/text/line_column.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/ui.h"

#include <QStatusBar>
#include <QToolButton>

namespace zu {

CaretPane::CaretPane(QStatusBar* bar, std::function<void()> goToLine)
    : QObject(bar), pane_(new QToolButton) {
    pane_->setObjectName(QStringLiteral("caretPane"));
    pane_->setAutoRaise(true);
    pane_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Ctrl+G is the keyboard's way to the same dialog; the pane is for the
    // mouse and need not take the focus.
    pane_->setFocusPolicy(Qt::NoFocus);
    pane_->setToolTip(QStringLiteral("行へ移動 (Ctrl+G)"));
    bar->addPermanentWidget(pane_);
    connect(pane_, &QToolButton::clicked, this, [goToLine = std::move(goToLine)] { goToLine(); });
    setView(nullptr);
}

void CaretPane::setView(CZuView* view) {
    if (view == view_ && view)
        return;
    disconnect(watch_);
    view_ = view;
    if (view)
        watch_ = connect(view, &QPlainTextEdit::cursorPositionChanged, this, &CaretPane::refresh);
    refresh();
}

void CaretPane::refresh() {
    pane_->setVisible(view_ != nullptr);
    if (!view_)
        return;
    const QString text = ui::qs(lineColumnText(view_->caretPlace()));
    pane_->setText(text);
    pane_->setAccessibleName(text);
}

} // namespace zu
