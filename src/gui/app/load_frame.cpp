#include "gui/app/load_frame.h"

#include "gui/app/icons.h"
#include "gui/doc/text_load.h"
#include "gui/view/zu_view.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace zu {

LoadPanel::LoadPanel(DocumentWork* load, QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    auto* label = new QLabel(load->caption());
    auto* bar = new QProgressBar;
    bar->setRange(0, 1000);
    bar->setValue(load->permille());
    bar->setTextVisible(false);
    bar->setAccessibleName(label->text());
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    cancel->setAutoDefault(true);
    cancel->setEnabled(load->cancellable());
    auto* column = new QVBoxLayout(this);
    column->addStretch(1);
    column->addWidget(label, 0, Qt::AlignHCenter);
    column->addWidget(bar);
    column->addWidget(cancel, 0, Qt::AlignHCenter);
    column->addStretch(2);
    column->setContentsMargins(48, 24, 48, 24);
    setFocusProxy(cancel);
    connect(load, &DocumentWork::progressed, bar, &QProgressBar::setValue);
    connect(load, &DocumentWork::cancellableChanged, cancel, &QWidget::setEnabled);
    connect(cancel, &QPushButton::clicked, this, &LoadPanel::cancelClicked);
}

CLoadFrame::CLoadFrame(TextLoad* load, QWidget* parent) : QMdiSubWindow(parent), load_(load) {
    load_->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("text-html"), appIcon()));
    setWindowTitle(load_->title());

    auto* holder = new QWidget;
    stack_ = new QStackedLayout(holder);
    stack_->setStackingMode(QStackedLayout::StackAll);
    auto* panel = new LoadPanel(load_);
    stack_->addWidget(panel);
    setWidget(holder);
    setFocusProxy(panel);
    connect(panel, &LoadPanel::cancelClicked, this, &QMdiSubWindow::close);
}

CLoadFrame::~CLoadFrame() {
    // The view goes before the half-filled document it shows.
    delete view_;
}

void CLoadFrame::holdView(CZuView* view) {
    view_ = view;
    // Seen only once the text is in; until then it takes no key.
    view->setEnabled(false);
    // Each turn of filling changes the text's size, on which the view
    // fits its scroll bar to the last screen of the text: laying those
    // lines out every turn, for a view no one sees yet. Centring on
    // scrolling spares that; the view fits its bar once, when given up.
    view->setCenterOnScroll(true);
    stack_->insertWidget(0, view);
    stack_->setCurrentIndex(1);
}

CZuView* CLoadFrame::takeView() {
    CZuView* view = view_;
    view_ = nullptr;
    if (view) {
        stack_->removeWidget(view);
        view->setEnabled(true);
        view->setCenterOnScroll(false);
    }
    return view;
}

void CLoadFrame::closeEvent(QCloseEvent* event) {
    // Nothing of the file stays open: the document never became one.
    delete view_;
    load_->cancel();
    QMdiSubWindow::closeEvent(event);
}

} // namespace zu
