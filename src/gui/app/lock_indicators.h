#pragma once
// The kana, caps, num and scroll lock panes of the status bar. Each shows its
// text while its lock is on, as far as the windowing system tells.

#include <QObject>

class QLabel;
class QStatusBar;

namespace zu {

class LockIndicators : public QObject {
    Q_OBJECT
public:
    explicit LockIndicators(QStatusBar* bar);

    // The pane for "ｶﾅ", "CAP", "NUM" or "SCRL".
    QLabel* pane(const QString& text) const;
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* panes_[4];
};

} // namespace zu
