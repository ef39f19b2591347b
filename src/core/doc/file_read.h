#pragma once
// Reading a whole file at once, with the system's reason when it fails, and
// what tells one version of a file from another.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zu {

// One version of a file: which file it is and when and how long it was last
// written. Another program that rewrites the file, replaces it or touches it
// changes at least one of these.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` (links followed); nothing when there is no
// such file, or what is there is no regular file (a folder took its name).
std::optional<FileStamp> stampOf(const std::string& path);

struct FileBytes {
    std::string bytes;
    int error = 0;   // errno of the failure; 0 on success
    FileStamp stamp; // of the file the bytes were read from
};

// What readWholeFile reports for a FIFO, a device or a socket: only regular
// files are documents, and opening the others can block for ever (a FIFO
// without a writer) or never end (/dev/zero). The system has no error of its
// own for "not a file"; "no such device" is the nearest.
inline constexpr int kNotARegularFile = 19; // ENODEV

// The largest file zu opens as a document (or checks); a larger one is
// refused whole rather than held in part.
inline constexpr std::size_t kMaxDocumentBytes = 512u << 20;

// Files longer than `limit` bytes are refused with EFBIG rather than cut.
// A folder is refused with EISDIR, anything else that is not a regular file
// with kNotARegularFile; neither is ever opened for reading.
FileBytes readWholeFile(const std::string& path, std::size_t limit);

// The same, told after each slice read (kReadSlice bytes at most) how many
// bytes are in and how many the file said it holds, so that a large file
// can show how far it is and be given up. When the step answers false the
// read stops and fails with ECANCELED, holding no bytes.
using ReadStep = std::function<bool(std::size_t have, std::size_t expected)>;
inline constexpr std::size_t kReadSlice = 4u << 20;
FileBytes readWholeFile(const std::string& path, std::size_t limit, const ReadStep& step);

// Whether Save may write straight over `path`: it is an existing regular
// file that may be written. A file the user made read-only is not written
// over even where the system would let its owner (or root) write it: a file
// without any write permission bit counts as read-only too.
bool canSaveInPlace(const std::string& path);

// `path` made absolute against the current folder and cleaned of ".", ".."
// and doubled slashes, by its text alone: links are not followed, so the
// name the user gave stays the name shown.
std::string absolutePath(const std::string& path);

// Whether two paths name the same file (links followed). Paths of files
// that do not exist are compared as absolute paths.
bool sameFile(const std::string& a, const std::string& b);

enum class PathKind { Missing, RegularFile, Folder, Other };
// What is at `path`, links followed.
PathKind kindOf(const std::string& path);

// The names in a folder, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> namesIn(const std::string& folder);

} // namespace zu
