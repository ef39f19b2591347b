#pragma once
// Reading a whole file at once, with the system's reason when it fails.

#include <cstddef>
#include <string>

namespace zu {

struct FileBytes {
    std::string bytes;
    int error = 0; // errno of the failure; 0 on success
};

// Files longer than `limit` bytes are refused with EFBIG rather than cut.
FileBytes readWholeFile(const std::string& path, std::size_t limit);

} // namespace zu

namespace zu {

// Whether Save may write straight over `path`: it is an existing regular
// file that may be written. On Windows a read-only file could be written by
// nobody; here the owner (and root) may still write one, so a file without
// any write permission bit counts as read-only too.
bool canSaveInPlace(const std::string& path);

} // namespace zu
