#pragma once
// The encoding and line-break panes of the status bar: they name the active
// document's encoding and line-break style, and each opens a menu to read
// the file again in another encoding or to save it in another encoding or
// line-break style.

#include <QObject>
#include <QPointer>

class QMenu;
class QStatusBar;
class QToolButton;
class QWidget;

namespace zu {
class CZuDoc;

class EncodingPanes : public QObject {
    Q_OBJECT
public:
    // The panes go into `bar`; Ctrl+Shift+E, anywhere in `window`, opens
    // the menu from the keyboard.
    EncodingPanes(QStatusBar* bar, QWidget* window);

    // The document the panes show and change; null hides them.
    void setDocument(CZuDoc* doc);

    QToolButton* encodingPane() const { return encoding_; }
    QToolButton* lineBreakPane() const { return lineBreak_; }
    // The menu both panes open, filled for the document when it opens.
    QMenu* menu() const { return menu_; }

private:
    void refresh();
    void fillMenu();

    QToolButton* encoding_;
    QToolButton* lineBreak_;
    QMenu* menu_;
    QWidget* window_;
    QPointer<CZuDoc> doc_;
    QMetaObject::Connection watch_;
};

} // namespace zu
