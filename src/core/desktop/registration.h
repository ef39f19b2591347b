#pragma once
// Registration with the desktop, repeated at every start:
//   - the desktop entry goes into the user's applications folder
//     ($XDG_DATA_HOME/applications, by default ~/.local/share/applications)
//     when it is missing there or starts another zu (another build, another
//     installation), so that the zu the user last ran is the one the desktop
//     starts;
//   - zu becomes the default program for text/html, in the user's
//     mimeapps.list ($XDG_CONFIG_HOME, by default ~/.config), only when no
//     level of the desktop's lists names a default yet: a choice made by the
//     user, the desktop, the administrator or the distribution is never
//     overridden. What zu wrote there is recorded, so that unregistering
//     takes back that and nothing else.
// Unregistering removes the entry and the default zu recorded.

#include "core/desktop/desktop_files.h"

#include <optional>
#include <string>
#include <string_view>

namespace zu {

inline constexpr std::string_view kWebPageType = "text/html";

struct DesktopPlaces {
    std::string entry;    // the user's zu.desktop
    std::string mimeapps; // the user's mimeapps.list
    std::string record;   // what zu wrote into a list, to take back
};
// Nothing when neither the XDG folders nor a home folder are known.
std::optional<DesktopPlaces> desktopPlaces(const Environment& env);

// What a registration or unregistration changed; `failed` when a file that
// needed changing could not be written or removed.
struct RegistrationReport {
    bool entryWritten = false;
    bool defaultSet = false;
    bool entryRemoved = false;
    bool defaultRemoved = false;
    bool failed = false;
    // The applications folder is one that others may change (zu did not
    // make it so): an entry there could be swapped for one that runs their
    // command, so zu neither writes one nor becomes a default.
    bool unsafeFolder = false;
};

// `program` is the absolute path of the running zu.
RegistrationReport registerDesktop(const std::string& program, const DesktopFileSystem& fs);
RegistrationReport unregisterDesktop(const DesktopFileSystem& fs);

// What zu says about a registration that did not fully happen, for the
// terminal it was started from; empty when there is nothing to say.
std::string registrationProblem(const RegistrationReport& report, const DesktopPlaces& places);

} // namespace zu
