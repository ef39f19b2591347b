#pragma once
// The window of one view inside the main window. It always opens maximised
// and asks about unsaved changes when it is the document's last window.

#include <QMdiSubWindow>
#include <QPointer>

namespace zu {
class CZuView;
class LoadPanel;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(CZuView* view, QWidget* parent = nullptr);

    CZuView* view() const { return view_; }
    // Closes without asking (the document has been dealt with already).
    void closeWithoutPrompt();
    // Sets the caption from the document's title and this window's number.
    void updateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // While work on the whole document goes on (its file read again, its
    // tags removed), how far it is, over the view.
    void showWork();

    CZuView* view_;
    QPointer<LoadPanel> panel_;
    bool prompted_ = false;
};

} // namespace zu
