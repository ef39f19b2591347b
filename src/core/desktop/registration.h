#pragma once
// Registration with the desktop, repeated at every start as the classic
// program registered its file type with the shell at every start:
//   - the desktop entry goes into the user's applications folder
//     ($XDG_DATA_HOME/applications, by default ~/.local/share/applications)
//     when it is missing there or starts another zu (another build, another
//     installation), so that the zu the user last ran is the one the desktop
//     starts;
//   - zu becomes the default program for text/html in the user's
//     mimeapps.list ($XDG_CONFIG_HOME, by default ~/.config) only when the
//     user has no default for it yet; a choice the user made is never
//     overridden.
// Unregistering removes the entry and the default, when it is zu's.
//
// The decisions are made here against an injected view of the environment
// and the file system, so that they are tested on scratch folders.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zu {

inline constexpr std::string_view kWebPageType = "text/html";

struct DesktopFileSystem {
    std::function<std::optional<std::string>(const char* name)> env;
    // The whole file; nothing when it cannot be read (usually: it is missing).
    std::function<std::optional<std::string>(const std::string& path)> read;
    std::function<bool(const std::string& path)> exists;
    // Replaces the file, creating its folders; false when it cannot.
    std::function<bool(const std::string& path, std::string_view bytes)> write;
    // Removes the file; false when it is there and cannot be removed.
    std::function<bool(const std::string& path)> remove;
};

// The real environment and file system; files are replaced atomically.
DesktopFileSystem realDesktopFileSystem();

struct DesktopPlaces {
    std::string entry;    // the user's zu.desktop
    std::string mimeapps; // the user's mimeapps.list
};
// Nothing when neither the XDG folders nor a home folder are known.
std::optional<DesktopPlaces>
desktopPlaces(const std::function<std::optional<std::string>(const char*)>& env);

// What a registration or unregistration changed; `failed` when a file that
// needed changing could not be written or removed.
struct RegistrationReport {
    bool entryWritten = false;
    bool defaultSet = false;
    bool entryRemoved = false;
    bool defaultRemoved = false;
    bool failed = false;
};

// `program` is the absolute path of the running zu.
RegistrationReport registerDesktop(const std::string& program, const DesktopFileSystem& fs);
RegistrationReport unregisterDesktop(const DesktopFileSystem& fs);

} // namespace zu
