#pragma once
// Where zu keeps its files between runs (zu.set, the recent-file list).
//
// The original kept zu.set beside the program. On Linux the program's folder
// is usually not writable, so that rule alone would lose every change; the
// order here is:
//   1. $ZU_CONFIG_DIR when set and not empty;
//   2. the program's folder when it already holds zu.set or is writable;
//   3. $XDG_CONFIG_HOME/zu/, by default ~/.config/zu/.

#include <functional>
#include <optional>
#include <string>

namespace zu {

struct ConfigProbe {
    std::function<std::optional<std::string>(const char* name)> env;
    std::function<bool(const std::string& path)> fileExists;
    std::function<bool(const std::string& dir)> dirWritable;
};

// The folder, ending in "/", for the given program folder.
std::string configDirectory(const std::string& programDirectory, const ConfigProbe& probe);

// The same, asking the real environment and file system.
std::string configDirectory(const std::string& programDirectory);

// An environment variable that is set and not empty. HOME, when unset, comes
// from the password database, so that a session started without it still
// finds the user's folders.
std::optional<std::string> userEnvironment(const char* name);

// Creates the folder and its parents when missing; false when it cannot.
bool ensureDirectory(const std::string& dir);

} // namespace zu
