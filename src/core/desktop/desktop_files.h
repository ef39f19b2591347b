#pragma once
// The files of the desktop that zu reads and writes (desktop entries, the
// MIME-application lists, the folders the XDG base directories name), seen
// through one injected view of the environment and the file system, so
// that every rule built on them is tested on made-up folders.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// An environment variable; nothing when it is unset or empty.
using Environment = std::function<std::optional<std::string>(const char* name)>;

struct DesktopFileSystem {
    Environment env;
    // The whole file; nothing when it cannot be read (usually: it is missing).
    std::function<std::optional<std::string>(const std::string& path)> read;
    std::function<bool(const std::string& path)> exists;
    // Replaces the file, creating its folders; false when it cannot. What
    // it makes is never writable by anyone but the user.
    std::function<bool(const std::string& path, std::string_view bytes)> write;
    // Removes the file; false when it is there and cannot be removed.
    std::function<bool(const std::string& path)> remove;
    // The names in a folder; empty when it cannot be read.
    std::function<std::vector<std::string>(const std::string& folder)> list;
    // Whether the path is a file the user may run.
    std::function<bool(const std::string& path)> executable;
    // Whether someone other than the user may change the file, or what the
    // folder holds.
    std::function<bool(const std::string& path)> othersMayWrite;
};

// The real environment and file system; files are replaced atomically.
DesktopFileSystem realDesktopFileSystem();

// A base folder from its XDG variable, or the usual place below the home
// folder; with a final "/". A relative value is invalid by the XDG rules
// and is ignored.
std::optional<std::string> baseFolder(const Environment& env, const char* variable,
                                      std::string_view belowHome);

// The folders of an XDG list variable ($XDG_DATA_DIRS, $XDG_CONFIG_DIRS) in
// order, each with a final "/"; `fallback` (a list of the same form) when
// it is unset or names no absolute folder.
std::vector<std::string> baseFolders(const Environment& env, const char* variable,
                                     std::string_view fallback);

// The file a command's program names: itself when it holds a "/", else the
// first of that name on $PATH that the user may run; nothing when none is.
std::optional<std::string> findProgram(const std::string& name, const DesktopFileSystem& fs);

// The folder part of a path, with its final "/".
inline std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}

} // namespace zu
