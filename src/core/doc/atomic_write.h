#pragma once
// core/doc: reading whole files, the one writer of files, the messages of a
// failed open or save, and the rules of when and how a document is saved.
//
// The one way zu replaces a file: documents, zu.set and recovery copies all
// go through it. Normally the new content goes to a temporary file in the
// same folder, every write is checked, the file is flushed to disk and only
// then renamed over the old one, so a reader sees the old file or the whole
// new one and a failure (a full disk, a vanished folder) never damages what
// was there.
//
// A rename makes a new file, though, and some files must stay the file they
// are: one with several hard links (the other names would keep the old
// text), one whose owner or group the new file could not be given, and one
// in a folder where no new file may be made. Those are written in place,
// after a copy of the old bytes has been made and read back; a failed write
// puts the old bytes back, so even then nothing is left half-written.
//
// A symbolic link is written through: the file it points at gets the new
// bytes and the link stays a link.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {
class WriteJournal;

struct WriteResult {
    enum class Step {
        None,
        Create, // making the new file, or opening the old one to write it in place
        Backup, // reading the old bytes or making the copy of them
        Write,  // writing the new bytes
        Sync,   // flushing them to disk
        Rename, // putting the new file in the old one's place
    };

    int error = 0;          // the system's error number; 0 when the file was written
    Step step = Step::None; // what failed
    std::string path;       // the file that step worked on
    // Set only when writing in place failed and the old bytes could not be
    // put back either: the copy of the old file, left for the user.
    std::string keptBackup;

    explicit operator bool() const { return error == 0; }
};

// Replaces the content of `path` by exactly `bytes`. The file keeps its
// permission bits, owner and group, and stays the same file where it has
// other names; a new file gets the usual permissions for the user's umask.
// A folder at `path` is refused with EISDIR, a FIFO, device or socket with
// kNotARegularFile (file_read.h); neither is opened.
// With a journal, the write is noted there while it runs (write_journal.h).
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                const WriteJournal* journal = nullptr);
// The same with the bytes in pieces, written one after the other: a large
// document need not be held in one more piece of memory to be written.
WriteResult writeFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                                const WriteJournal* journal = nullptr);

// The hidden names the writer with process id `pid` may give its temporary
// files for `target`: the new content's beside it, and the old bytes' copy
// beside it or in the `spare` folder, each with every attempt number.
std::vector<std::string> temporaryNames(const std::string& target, const std::string& spare,
                                        long pid);

// The folder a copy of the old bytes goes to when the target's own folder
// takes no new file.
std::string spareFolder();

} // namespace zu
