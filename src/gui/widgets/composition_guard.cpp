#include "gui/widgets/composition_guard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>

namespace zu {

CompositionGuard::CompositionGuard(QObject* parent, std::function<void()> reset)
    : QObject(parent), reset_(std::move(reset)) {
    if (!reset_)
        reset_ = [] { QGuiApplication::inputMethod()->reset(); };
    QCoreApplication::instance()->installEventFilter(this);
}

CompositionGuard::~CompositionGuard() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool CompositionGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::InputMethod)
        return false;
    const auto* input = static_cast<const QInputMethodEvent*>(event);
    if (!input->preeditString().isEmpty()) {
        composing_ = watched;
        return false;
    }
    if (!composing_ || composing_ != watched)
        return false;
    // The composition is over: committed, or cancelled when nothing was
    // committed. A cancelled one is forgotten now, while the control that
    // showed it still has the focus, so that the input method holds no
    // text to commit at the next focus change.
    composing_ = nullptr;
    if (input->commitString().isEmpty() && input->replacementLength() == 0)
        reset_();
    return false;
}

} // namespace zu
