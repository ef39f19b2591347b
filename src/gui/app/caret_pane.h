#pragma once
// The status-bar pane that names where the caret stands: "行 12, 桁 5", the
// line of the file and the column in it. A click on it opens Go to line.

#include <QObject>
#include <QPointer>

#include <functional>

class QStatusBar;
class QToolButton;

namespace zu {
class CZuView;

class CaretPane : public QObject {
    Q_OBJECT
public:
    // The pane goes into `bar`; a click runs `goToLine`.
    CaretPane(QStatusBar* bar, std::function<void()> goToLine);

    // The view whose caret the pane follows; null hides it.
    void setView(CZuView* view);

    QToolButton* pane() const { return pane_; }

private:
    void refresh();

    QToolButton* pane_;
    QPointer<CZuView> view_;
    QMetaObject::Connection watch_;
};

} // namespace zu
