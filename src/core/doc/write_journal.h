#pragma once
// Saves that a crash cuts short. Before zu writes a document it leaves a
// note in a folder of its own (below the config folder): which process
// writes which file, so that the temporary files that process makes beside
// it are known to be zu's. A write in place (a file with other names, see
// atomic_write.h) adds to the note, before its first byte goes over the old
// ones, where the copy of the old bytes is, read back and checked, and what
// the new bytes are. The note goes as soon as the write is over.
//
// A note that outlives its writer is found at the next start: the writer's
// temporary files are removed, and the old bytes of a write in place are
// offered back, with what the file holds now (the whole old bytes, the
// whole new ones, or neither), so that after a kill at any moment of any
// save the user can have the whole old or the whole new file.
//
// A writer holds a lock on its note for as long as it runs: a note that can
// be locked is one whose writer has died, and one that another start is
// handling is locked by that start. Notes of another machine (a config
// folder shared over the network) are never touched.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zu {

struct WriteNote {
    std::string host;   // the machine of the writer
    long pid = 0;       // the writer, which names its temporary files after itself
    std::string target; // the file written, its links followed
    std::string spare;  // the other folder a copy of the old bytes may go to
    // Set only for a write in place, once the copy is made and checked.
    struct Backup {
        std::string path;
        std::uint64_t oldSize = 0, oldHash = 0;
        std::uint64_t newSize = 0, newHash = 0;
        friend bool operator==(const Backup&, const Backup&) = default;
    };
    std::optional<Backup> backup;
    friend bool operator==(const WriteNote&, const WriteNote&) = default;
};

std::string serializeWriteNote(const WriteNote& note);
// Nothing when `bytes` is no note. A part about the copy that was cut short
// (the writer died while adding it) is left out: the write in place had
// not started yet.
std::optional<WriteNote> parseWriteNote(std::string_view bytes);
// What a note adds for a write in place.
std::string serializeBackup(const WriteNote::Backup& backup);

// The hash the notes use for the old and new bytes; the same for bytes
// given in pieces as for the pieces one after the other.
std::uint64_t noteHash(std::string_view bytes);
std::uint64_t noteHash(std::span<const std::string_view> pieces);

// This machine's name, as notes give it.
std::string hostName();

class WriteJournal {
public:
    // `folder` ends in "/"; it is made (private to the user) when first
    // needed.
    explicit WriteJournal(std::string folder) : folder_(std::move(folder)) {}
    const std::string& folder() const { return folder_; }

    // The note of one write, removed when it ends. A journal that cannot be
    // written gives an entry that notes nothing: the save goes on as it
    // would without one.
    class Entry {
    public:
        Entry() = default;
        Entry(Entry&& other) noexcept;
        Entry& operator=(Entry&& other) noexcept;
        ~Entry();
        // Before a write in place starts: where the checked copy of the old
        // bytes is, and what old and new bytes are. On disk before it
        // returns; false when it could not be noted, and the note is gone.
        bool noteBackup(const std::string& backupPath, std::string_view oldBytes,
                        std::span<const std::string_view> newBytes);

    private:
        friend class WriteJournal;
        int fd_ = -1;
        std::string path_;
    };
    Entry begin(const WriteNote& note) const;

    // A write that a dead writer of this machine left unfinished, locked for
    // this process while the object lives.
    class Unfinished {
    public:
        enum class Holds { Old, New, Neither, Missing };

        Unfinished(Unfinished&& other) noexcept;
        Unfinished& operator=(Unfinished&&) = delete;
        ~Unfinished();

        const WriteNote& note() const { return note_; }
        // Whether the old bytes can be put back: a write in place whose copy
        // is there and reads back as it was noted.
        bool canPutBack() const { return !oldBytes_.empty() || intactEmptyBackup_; }
        // What the file holds now; for a write in place (note().backup set)
        // only, since a write that renames leaves the whole old or the
        // whole new file at every moment.
        Holds holds() const { return holds_; }
        // The temporary files of the writer still on disk, to be removed.
        const std::vector<std::string>& leftovers() const { return leftovers_; }

        // Writes the old bytes back over the file; true when it worked.
        bool putBack(const WriteJournal& journal) const;
        // Removes the leftovers, the copy and the note.
        void finish();

    private:
        friend class WriteJournal;
        Unfinished() = default;
        int fd_ = -1;
        std::string notePath_;
        WriteNote note_;
        std::string oldBytes_;
        bool intactEmptyBackup_ = false;
        Holds holds_ = Holds::Missing;
        std::vector<std::string> leftovers_;
    };
    // Every unfinished write whose writer has died, of this machine. Notes
    // that were never written whole are removed on the way.
    std::vector<Unfinished> unfinished() const;

private:
    std::string folder_;
};

} // namespace zu
