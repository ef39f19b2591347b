#pragma once
// A file's path as the system's bytes.
//
// A path on Linux is a string of bytes, not text: a name written by an old
// archiver in Shift_JIS is not UTF-8. The path is held as those bytes from
// the moment it is known (the command line, a dialog, the recent-file list,
// a recovery copy) to every open, save and comparison, so that such a file
// opens, saves and is remembered under its real name. Only what shows a
// name to the user, or hands one to a widget, makes text of it.

#include <string>
#include <string_view>
#include <utility>

namespace zu {

class FilePath {
public:
    FilePath() = default;
    explicit FilePath(std::string bytes) : bytes_(std::move(bytes)) {}

    const std::string& bytes() const { return bytes_; }
    bool empty() const { return bytes_.empty(); }

    // The last part, after the last "/" (the whole path when it has none).
    std::string_view name() const;
    // What comes before the name, with its "/" (empty when there is none).
    std::string_view folder() const;
    // `name` in the folder of this path, in place of this path's own name.
    FilePath sibling(std::string_view name) const;

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    std::string bytes_;
};

} // namespace zu
