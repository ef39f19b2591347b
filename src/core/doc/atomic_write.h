#pragma once
// core/doc: reading whole files, the one atomic writer, the messages of a
// failed open or save, and the rules of when and how a document is saved.
//
// The one way zu replaces a file: documents, zu.set and recovery copies all
// go through it. The new content goes to a temporary file in the same folder,
// every write is checked, the file is flushed to disk and only then renamed
// over the old one, so a reader sees the old file or the whole new one and a
// failure (a full disk, a vanished folder) never damages what was there.

#include <string>
#include <string_view>

namespace zu {

struct WriteResult {
    enum class Step { None, Create, Write, Sync, Rename };

    int error = 0;          // the system's error number; 0 when the file was replaced
    Step step = Step::None; // what failed
    std::string path;       // the file that step worked on

    explicit operator bool() const { return error == 0; }
};

// Replaces `path` by a file holding exactly `bytes`. The new file keeps the
// old one's permission bits (and owner and group where the system allows);
// a new file gets the usual permissions for the user's umask.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace zu
