#pragma once
// The two commands that work on the whole text of a document rather than on
// the selection: every tag shown in the view's tag colour, and every tag
// taken out. Both ask nothing; the commands confirm first.

#include "core/tags/tag_removal.h"
#include "gui/doc/document_work.h"

#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

namespace zu {
class CZuDoc;
class CZuView;
class TextCopy;

// Work on the whole text of a long document while the window answers: the
// text copied out between events (TextCopy), worked on on a thread of its
// own, the outcome then put into the document between events. The document
// is the work's all along (its windows show a bar and a ｷｬﾝｾﾙ button after
// barDelayMilliseconds()); it can be given up, changing nothing, until the
// outcome starts to go in.
class WholeTextWork : public DocumentWork {
public:
    int permille() const override { return shown_; }
    bool cancellable() const override { return !over_ && !putting_; }
    void cancel() override;
    int showAfterMilliseconds() const override;

protected:
    // Once every line of the text of `document` is copied out, `search`
    // runs with the copy on a thread of its own. Left to run on when the
    // work is given up, it keeps alive whatever it works on.
    WholeTextWork(CZuDoc& document, std::function<void(TextCopy&)> search);
    // Makes the document the work's and starts the copy; at the end of the
    // constructor of the work made, which the document's windows then ask
    // what it is.
    void start();
    CZuDoc& document() const { return document_; }

    // On the window's thread once the search is over: whether anything is
    // to go into the document.
    virtual bool beginPutting() = 0;
    // Puts the outcome in for about `milliseconds`; answers how far it is,
    // in thousandths.
    virtual int putSome(int milliseconds) = 0;
    // Once all of it is in, or nothing was to go in; the document is its
    // windows' again.
    virtual void finish() = 0;

private:
    struct Copying;
    void turn();
    void copySome();
    void poll();
    void putTurn();
    void show(int permille);
    void end();

    CZuDoc& document_;
    std::shared_ptr<Copying> copying_;
    std::function<void(TextCopy&)> search_;
    QTimer poll_;
    // The turns of copying and of putting in: a timer lets the events that
    // came in meanwhile (typing elsewhere) go first, where calls posted one
    // after the other could run back to back.
    QTimer turn_;
    int shown_ = 0;
    bool putting_ = false;
    bool over_ = false;
};

// Paints every tag of the text (see tagSpans) in the view's tag colour, on
// top of the colours earlier runs left. The colour is display only: it is
// not saved, the document is not marked modified, the undo history stays as
// it was and the selection does not move.
void colourTags(CZuView& view);

// Takes every tag out of the text when removeTags finds them all matched,
// and marks the document modified; on any other outcome the document is
// left alone. The change cannot be undone (DocumentEdit::takeOut).
TagRemoval::Outcome removeAllTags(CZuDoc& document);

// The same for the command: a text of removalBackgroundLength() characters
// or more is searched on a thread of its own while the window answers, the
// document's windows showing a bar and a ｷｬﾝｾﾙ button over the text (its
// work(), after barDelayMilliseconds()); cancelling leaves the document
// untouched. The new text then goes in between events; it can no longer
// be given up then.
// `done` hears the outcome, unless cancelled; a shorter text is worked on at
// once, and `done` hears before this returns.
void removeAllTags(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done);
// From this many characters on, tag removal and Replace All work in the
// background (WholeTextWork).
long& removalBackgroundLength();
int& barDelayMilliseconds();

} // namespace zu
