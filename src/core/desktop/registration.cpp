#include "core/desktop/registration.h"

#include "core/desktop/desktop_entry.h"
#include "core/desktop/mimeapps.h"
#include "core/doc/atomic_write.h"
#include "core/doc/file_read.h"
#include "core/settings/config_location.h"

#include <cerrno>
#include <unistd.h>

namespace zu {
namespace {

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}

// A base folder from its XDG variable, or the usual place below the home
// folder. A relative value is invalid by the XDG rules and is ignored.
std::optional<std::string>
baseFolder(const std::function<std::optional<std::string>(const char*)>& env, const char* variable,
           const char* belowHome) {
    if (auto value = env(variable); value && !value->empty() && value->front() == '/')
        return value->back() == '/' ? *value : *value + "/";
    if (auto home = env("HOME"); home && !home->empty())
        return (home->back() == '/' ? *home : *home + "/") + belowHome;
    return std::nullopt;
}

// The icon an entry names: the theme's "zu" once installed; from a build
// folder, which has no theme icon, the picture beside the program.
std::string iconFor(const std::string& program, const DesktopFileSystem& fs) {
    const std::string beside = folderOf(program) + "zu.svg";
    return fs.exists(beside) ? beside : "zu";
}

bool isDefault(const std::string& mimeapps) {
    const auto ids = defaultApplications(mimeapps, kWebPageType);
    return !ids.empty() && ids.front() == kDesktopId;
}

} // namespace

std::optional<DesktopPlaces>
desktopPlaces(const std::function<std::optional<std::string>(const char*)>& env) {
    const auto data = baseFolder(env, "XDG_DATA_HOME", ".local/share/");
    const auto config = baseFolder(env, "XDG_CONFIG_HOME", ".config/");
    if (!data || !config)
        return std::nullopt;
    return DesktopPlaces{*data + "applications/" + std::string(kDesktopId),
                         *config + "mimeapps.list"};
}

RegistrationReport registerDesktop(const std::string& program, const DesktopFileSystem& fs) {
    RegistrationReport report;
    const auto places = desktopPlaces(fs.env);
    if (!places || program.empty() || program.front() != '/') {
        report.failed = true;
        return report;
    }

    const std::optional<std::string> current = fs.read(places->entry);
    if (!current || entryProgram(*current) != program) {
        const auto entry = desktopEntry(program, iconFor(program, fs));
        if (!entry || !fs.write(places->entry, *entry)) {
            // Without an entry there is nothing a default could name.
            report.failed = true;
            return report;
        }
        report.entryWritten = true;
    }

    // A list that is there but cannot be read is not replaced by one that
    // would hold only zu.
    std::string mimeapps;
    if (fs.exists(places->mimeapps)) {
        const auto bytes = fs.read(places->mimeapps);
        if (!bytes) {
            report.failed = true;
            return report;
        }
        mimeapps = *bytes;
    }
    if (defaultApplications(mimeapps, kWebPageType).empty()) {
        if (fs.write(places->mimeapps, withDefaultApplication(mimeapps, kWebPageType, kDesktopId)))
            report.defaultSet = true;
        else
            report.failed = true;
    }
    return report;
}

RegistrationReport unregisterDesktop(const DesktopFileSystem& fs) {
    RegistrationReport report;
    const auto places = desktopPlaces(fs.env);
    if (!places) {
        report.failed = true;
        return report;
    }
    if (fs.exists(places->entry)) {
        if (fs.remove(places->entry))
            report.entryRemoved = true;
        else
            report.failed = true;
    }
    // Only a default that is zu is zu's to take back; where the user put
    // another program first, zu leaves the list alone.
    if (const auto mimeapps = fs.read(places->mimeapps); mimeapps && isDefault(*mimeapps)) {
        if (fs.write(places->mimeapps,
                     withoutDefaultApplication(*mimeapps, kWebPageType, kDesktopId)))
            report.defaultRemoved = true;
        else
            report.failed = true;
    }
    return report;
}

DesktopFileSystem realDesktopFileSystem() {
    DesktopFileSystem fs;
    fs.env = userEnvironment;
    fs.read = [](const std::string& path) -> std::optional<std::string> {
        // Both files are small; a limit keeps a stray huge one from being read.
        FileBytes file = readWholeFile(path, 16 << 20);
        if (file.error != 0)
            return std::nullopt;
        return std::move(file.bytes);
    };
    fs.exists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; };
    fs.write = [](const std::string& path, std::string_view bytes) {
        return ensureDirectory(folderOf(path)) && bool(writeFileAtomically(path, bytes));
    };
    fs.remove = [](const std::string& path) {
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    };
    return fs;
}

} // namespace zu
