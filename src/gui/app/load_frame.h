#pragma once
// The window of a document whose file is still being read: how far it is,
// and a button that gives the opening up. Closing the window gives it up
// too. Once the text is in, the document's own window takes its place.

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

class QStackedLayout;

namespace zu {
class CZuView;
class DocumentWork;
class TextLoad;

// What a window shows of a load or other work on its whole document: what
// is being done ("X を読み込んでいます。"), a bar, and a ｷｬﾝｾﾙ button
// (unavailable once the work can no longer be given up).
class LoadPanel : public QWidget {
    Q_OBJECT
public:
    explicit LoadPanel(DocumentWork* load, QWidget* parent = nullptr);

signals:
    void cancelClicked();
};

class CLoadFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Shows `load`, which it takes over.
    explicit CLoadFrame(TextLoad* load, QWidget* parent = nullptr);

    ~CLoadFrame() override;

    TextLoad* load() const { return load_; }

    // The document's view, made while its text is still empty and kept
    // beneath the bar at the window's size: the text then goes into a view
    // that is laid out for its width already, and only what is shown of it
    // is ever laid out.
    void holdView(CZuView* view);
    // Gives the view up, for the document's own window.
    CZuView* takeView();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TextLoad* load_;
    QStackedLayout* stack_;
    QPointer<CZuView> view_;
};

} // namespace zu
