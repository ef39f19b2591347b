#pragma once
// Where zu keeps its files between runs (zu.set, the recent-file list).
//
// zu.set belongs beside the program, so that a zu kept in a folder of its
// own (on a stick, say) takes its settings with it. The program's folder is
// usually not writable, though, so that rule alone would lose every change;
// the order here is:
//   1. $ZU_CONFIG_DIR when set and not empty;
//   2. the program's folder when its zu.set can be written there, or is
//      read-only (the user froze the settings: they are read and the file is
//      left as it is), or when there is no zu.set yet and the folder may be
//      written;
//   3. $XDG_CONFIG_HOME/zu/, by default ~/.config/zu/.
// A zu.set in a program folder that cannot be written is still read, until
// the first save has put the settings in the folder after it.

#include <functional>
#include <optional>
#include <string>

namespace zu {

// What a zu.set is to the program that wants to read and write it.
enum class ConfigFile {
    Missing,
    Writable,
    ReadOnly,   // no write permission bit at all: the user's choice
    Unwritable, // permitted, but the system refuses (owner, read-only mount, immutable)
};

struct ConfigProbe {
    std::function<std::optional<std::string>(const char* name)> env;
    std::function<ConfigFile(const std::string& path)> file;
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

// The zu.set to read: the one in configDirectory() when it exists, else the
// program folder's one that cannot be written (unless $ZU_CONFIG_DIR is
// set), else the (missing) one in configDirectory().
std::string settingsFileToRead(const std::string& programDirectory, const ConfigProbe& probe);
std::string settingsFileToRead(const std::string& programDirectory);

// The real file system's answer for `path` (links followed).
ConfigFile probeConfigFile(const std::string& path);

// Creates the folder and its parents when missing; false when it cannot.
bool ensureDirectory(const std::string& dir);

} // namespace zu
