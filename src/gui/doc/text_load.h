#pragma once
// Opening a large file without freezing the window. The file is read,
// decoded and its long lines found on a thread of its own; the text then
// goes into the editing control a piece at a time between events, since
// the control may only be filled on the window's thread. How far it is can
// be shown all along, and it can be given up at any moment: nothing is left
// behind then, and the document never becomes one of the program's.

#include "core/text/document_text.h"
#include "gui/doc/zu_doc.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace zu {

class TextLoad : public QObject {
    Q_OBJECT
public:
    // Starts reading `path` at once.
    explicit TextLoad(const QString& path, QObject* parent = nullptr);
    // Gives the load up, waiting for the reading thread to stop.
    ~TextLoad() override;

    // The file's absolute path and the name its window shows.
    QString pathName() const { return absolute_; }
    QString title() const;

    // Stops the work; ended() is not sent.
    void cancel();
    bool running() const { return !ended_; }
    // How far it is, in thousandths.
    int permille() const { return shown_; }

    // Once ended: the document, or the message why the file could not be
    // opened.
    CZuDoc::OpenResult takeResult() { return std::move(result_); }

    // How long one turn of filling may keep the window from answering, and
    // how many characters go into the control at once within it: a piece
    // of 16k characters takes the control a few milliseconds, on a busy
    // machine some tens. Tests make the turns small, so that a small file
    // takes several.
    static constexpr int kStepMilliseconds = 25;
    static constexpr std::size_t kStepCharacters = 16 * 1024;
    static void setStep(int milliseconds, std::size_t characters);

signals:
    void progressed(int permille);
    // The text is about to go into `document`, still empty, which stays
    // this load's until ended() or cancel().
    void filling(CZuDoc* document);
    void ended();

private:
    // What the reading thread and this object share. The thread keeps it
    // alive: a load given up does not wait for a decoding under way.
    struct Reading {
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
        std::atomic<int> permille{0};
        // Written by the thread before it hands over, then read here only.
        int error = 0;
        FileStamp stamp;
        std::uint64_t hash = 0;
        DocumentText decoded;
        std::vector<std::size_t> joins;
    };
    static void read(const std::shared_ptr<Reading>& reading, const std::string& path,
                     std::size_t joinBound, QPointer<TextLoad> owner);
    void startFilling();
    void fillSome();
    void finish(const QString& error);
    void poll();

    QString absolute_;
    std::shared_ptr<Reading> reading_;
    std::thread reader_;
    std::unique_ptr<CZuDoc> document_;
    int filled_ = 0; // in thousandths
    QTimer poll_;
    int shown_ = 0;
    bool ended_ = false;
    CZuDoc::OpenResult result_;
};

} // namespace zu
