#pragma once
// A composition the user cancelled stays cancelled. An input method that
// hides a cancelled composition may still hold its text, and hands it to
// whatever has the focus at the next focus change (a dialog opening, a
// menu, another window, the program losing the focus): text the user never
// wrote would reach the page or a field of a dialog. The guard watches the
// compositions of every editing control of the program; when one ends
// without a commit, it tells the input method to forget it.

#include <QObject>
#include <QPointer>

#include <functional>

namespace zu {

class CompositionGuard : public QObject {
    Q_OBJECT
public:
    // Watches the whole application from now on. `reset` tells the input
    // method to forget its composition (by default the platform's input
    // method is reset).
    explicit CompositionGuard(QObject* parent = nullptr, std::function<void()> reset = {});
    ~CompositionGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> reset_;
    // The control that shows a composition now, if one does.
    QPointer<QObject> composing_;
};

} // namespace zu
