#pragma once
// The writer of one recovery copy (recovery.h), on a thread of its own so
// that typing never waits for the disk. It is handed the copy's pieces in
// order (a start with its base, then entries) and keeps what the disk would
// not take yet: a full or read-only folder loses nothing that is still in
// memory, and each later hand-over, or retry(), writes it all in order.
//
// A base that is a file's bytes is copied from the file in pieces, its hash
// checked against the version the document was read from. When the file is
// no longer that version, the writer says so and waits for a start with the
// text instead. Once the journal has grown past its base, the copy is
// written anew as one base (from the copy itself, never from the document).

#include "core/doc/recovery.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zu {

// Above these the journal is written anew as a base: its length against
// the base's (at least `bytes`), and the number of entries (each costs the
// reading start a look at every piece).
struct RecoveryJournalLimits {
    std::size_t bytes = 16u << 20;
    std::size_t entries = 10000;
};

class RecoveryWriter {
public:
    enum class Event {
        None,
        Started,     // a new copy is whole in its place
        BaseChanged, // the file base is gone: a start with the text is needed
    };
    struct Report {
        bool written = false; // everything handed over is on disk
        int error = 0;        // why not, when it is not
        Event event = Event::None;
    };
    // Called on the writer's thread when a write fails, when one succeeds
    // again after failing, and at each event.
    using Listener = std::function<void(const Report&)>;

    struct FileBase {
        std::string path;
        SourceIdentity identity;
        std::string encoding; // the bytes are read in this
    };

    RecoveryWriter(std::string path, Listener listener, RecoveryJournalLimits limits = {});
    // Writes what is still queued, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    const std::string& path() const { return path_; }

    // A new copy: the form entry and a base. Whatever copy there was stays
    // until the new one is whole in its place.
    void start(std::string form, std::string textEntry);
    void start(std::string form, FileBase base);
    // Goes on with the copy already at path(), which `read` read: what is
    // past its whole length is cut. False when it cannot be written.
    bool resume(const RecoveryRead& read);
    void append(std::string entry);
    void retry();
    // Removes the copy and forgets what was not written.
    void discard();
    // Waits until everything handed over has been tried; whether it is all
    // on disk.
    bool finish();
    // Whether the writer waits for a start with the text (the file base
    // changed), as of the last finish().
    bool waitingForText();

private:
    void run();
    void flush();
    int writeNewCopy();
    int appendBacklog();
    void compact();
    void report(int error, Event event = Event::None);

    const std::string path_;
    const Listener listener_;
    const RecoveryJournalLimits limits_;

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<std::function<void()>> jobs_;
    std::uint64_t queued_ = 0, finished_ = 0;
    bool stopping_ = false;
    bool written_ = true;
    bool baseGone_ = false; // waitingForText_, for the other threads

    // Only the writer's thread touches these (and resume(), before any job).
    struct PendingBase {
        std::string form;
        std::string text;
        std::optional<FileBase> file;
    };
    int fd_ = -1;
    std::size_t length_ = 0;  // what is on disk and reads back
    std::size_t baseEnd_ = 0; // where its base ends
    std::size_t entries_ = 0;
    std::optional<PendingBase> base_;
    std::vector<std::string> backlog_;
    bool waitingForText_ = false;
    int lastError_ = 0;

    std::thread thread_;
};

} // namespace zu
