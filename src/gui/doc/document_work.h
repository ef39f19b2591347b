#pragma once
// Work on a whole document that goes on while the window answers: reading
// its file again, removing every tag. While it runs the document is the
// work's: its windows show how far it is and a button that gives it up,
// and no command may touch the document.

#include <QObject>
#include <QString>

namespace zu {

class DocumentWork : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // What the document's windows say is being done.
    virtual QString caption() const = 0;
    // How far it is, in thousandths.
    virtual int permille() const = 0;
    virtual bool cancellable() const = 0;
    // Gives the work up, leaving the document as it was.
    virtual void cancel() = 0;
    // How long the windows wait before showing the work: work over sooner
    // is not worth a bar that flashes and goes.
    virtual int showAfterMilliseconds() const { return 0; }

signals:
    void progressed(int permille);
    // cancellable() changed.
    void cancellableChanged(bool cancellable);
};

} // namespace zu
