#pragma once
// Noticing that another program changed a document's file: zu remembers
// the version of the file it last read or wrote, and compares it with the
// file on disk when the document's window comes to the front and before
// Save writes over it.

#include "core/doc/file_read.h"

#include <optional>

namespace zu {

enum class DiskChange { None, Changed, Deleted };

class DiskWatch {
public:
    // zu has just read or written the file; `stamp` is that version (none
    // for a document without a file).
    void know(const std::optional<FileStamp>& stamp) {
        known_ = stamp;
        noticed_.reset();
        noted_.reset();
        deletionNoted_ = false;
    }
    const std::optional<FileStamp>& known() const { return known_; }

    // When the window comes to the front, with the file as it is `now`:
    // whether to ask the user to reload it. Only an unmodified document is
    // offered a reload (a modified one would lose the user's edits; its save
    // warns instead), and each version of the file is asked about once, so
    // that "no" is not asked again at the next click.
    bool offerReload(const std::optional<FileStamp>& now, bool modified);

    // Before Save writes over the file as it is `now`: whether that would
    // destroy another program's change. A deleted file has none to lose.
    bool warnBeforeSave(const std::optional<FileStamp>& now) const;

    // When the window of a modified document comes to the front: whether to
    // tell the user that another program changed or deleted its file (the
    // edits stay as they are). Each version of the file is told once, and
    // its deletion once until the file is back.
    DiskChange noteForModified(const std::optional<FileStamp>& now, bool modified);

    // Whether the file zu read or wrote is gone.
    bool deleted(const std::optional<FileStamp>& now) const { return known_ && !now; }

private:
    std::optional<FileStamp> known_;
    std::optional<FileStamp> noticed_; // the version already asked about
    std::optional<FileStamp> noted_;   // the version a modified document was told of
    bool deletionNoted_ = false;
};

} // namespace zu
