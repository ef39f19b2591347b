#pragma once
// Opening or reading again a large file without freezing the window. The
// file is read, decoded and its long lines found on a thread of its own;
// the text then goes into the editing control a piece at a time between
// events, since the control may only be filled on the window's thread. How
// far it is can be shown all along. An opening can be given up at any
// moment: nothing is left behind then, and the document never becomes one
// of the program's. Reading a document's file again can be given up until
// its text starts to go in, and leaves the document as it was.

#include "core/text/document_text.h"
#include "gui/doc/document_work.h"
#include "gui/doc/zu_doc.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace zu {

class TextLoad : public DocumentWork {
    Q_OBJECT
public:
    // Starts reading `path` at once, for a new document.
    explicit TextLoad(const FilePath& path, QObject* parent = nullptr);
    // Starts reading the file of `document` again at once, into it, in
    // `encoding` when one is given (see CZuDoc::reload). The load is the
    // document's, which shows it as its text's work() until it ends.
    TextLoad(CZuDoc& document, const Encoding* encoding);
    // Gives the load up, waiting for the reading thread to stop.
    ~TextLoad() override;

    // The file's absolute path and the name its window shows.
    const FilePath& pathName() const { return absolute_; }
    QString title() const;
    // "X を読み込んでいます。"
    QString caption() const override;

    // Stops the work; ended() is not sent. A reload no longer stops once
    // its text goes into the document: the document has lost its old text
    // then.
    void cancel() override;
    bool cancellable() const override { return !ended_ && !(target_ && filling_); }
    bool running() const { return !ended_; }
    // How far it is, in thousandths.
    int permille() const override { return shown_; }

    // Once ended: the document, or the message why the file could not be
    // opened. For a reload, no document: the one read into is the same.
    CZuDoc::OpenResult takeResult() { return std::move(result_); }

    // How long one turn of filling may keep the window from answering, and
    // how many characters go into the control at once within it: a piece
    // of 16k characters takes the control a few milliseconds, on a busy
    // machine some tens. A turn runs on past its time by its last piece and
    // by the control taking in the turn's change, and on a shared machine
    // the window's thread waits for the processor too: a key typed
    // elsewhere must still be in within 50 ms. Tests make the turns small,
    // so that a small file takes several.
    static constexpr int kStepMilliseconds = 15;
    static constexpr std::size_t kStepCharacters = 16 * 1024;
    static void setStep(int milliseconds, std::size_t characters);
    static int stepMilliseconds();
    static std::size_t stepCharacters();
    // Files of at least this many bytes are read in the background.
    static std::int64_t& backgroundBytes();

signals:
    // The text is about to go into `document`, still empty, which stays
    // this load's until ended() or cancel() (a new document's only).
    void filling(CZuDoc* document);
    void ended();

private:
    // What the reading thread and this object share. The thread keeps it
    // alive: a load given up does not wait for a decoding under way.
    struct Reading {
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
        std::atomic<int> permille{0};
        // The encoding to read in; null to find it from the bytes.
        const Encoding* encoding = nullptr;
        // Written by the thread before it hands over, then read here only.
        int error = 0;
        FileStamp stamp;
        std::uint64_t hash = 0;
        DocumentText decoded;
        TextModel::LoadPlan plan;
    };
    static void read(const std::shared_ptr<Reading>& reading, const std::string& path,
                     QPointer<TextLoad> owner);
    void start();
    void startFilling();
    CZuDoc* filled() const { return target_ ? target_ : document_.get(); }
    void fillSome();
    void finish(const QString& error);
    void poll();

    FilePath absolute_;
    std::shared_ptr<Reading> reading_;
    std::thread reader_;
    std::unique_ptr<CZuDoc> document_;
    CZuDoc* target_ = nullptr; // the document read again, which owns this load
    bool filling_ = false;
    int filled_ = 0;        // in thousandths
    bool filledIn_ = false; // the whole text is in, the window not yet made
    QTimer poll_;
    // Runs the turns of filling: a timer, not a call posted each time. The
    // window's event loop lets a timer that has just run wait until input
    // and posted events are handled, so a key typed elsewhere waits for one
    // turn at most, not two; and timers due meanwhile run between turns.
    QTimer turn_;
    int shown_ = 0;
    bool ended_ = false;
    CZuDoc::OpenResult result_;
};

// Reads the file of `doc` again (CZuDoc::reload): a small file at once, a
// large one in the background, the document's windows showing how far it
// is. Why it could not be read is told over `window`.
void reloadDocument(CZuDoc& doc, const Encoding* encoding, QWidget* window);

} // namespace zu
