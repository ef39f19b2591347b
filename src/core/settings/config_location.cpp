#include "core/settings/config_location.h"

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zu {

namespace {

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The home folder from the password database, for sessions started without
// $HOME (some service managers and su variants).
std::optional<std::string> homeFromPasswordDatabase() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] == '\0')
        return std::nullopt;
    return std::string(found->pw_dir);
}

} // namespace

std::string configDirectory(const std::string& programDirectory, const ConfigProbe& probe) {
    if (auto explicitDir = probe.env("ZU_CONFIG_DIR"); explicitDir && !explicitDir->empty())
        return withSlash(*explicitDir);

    // An unknown program folder is never taken: the current folder in its
    // place would scatter zu.set files wherever zu happened to be started.
    const std::string programDir = withSlash(programDirectory);
    if (!programDir.empty()) {
        switch (probe.file(programDir + "zu.set")) {
        case ConfigFile::Writable:
        case ConfigFile::ReadOnly:
            return programDir;
        case ConfigFile::Missing:
            if (probe.dirWritable(programDir))
                return programDir;
            break;
        case ConfigFile::Unwritable:
            break;
        }
    }

    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    if (auto xdg = probe.env("XDG_CONFIG_HOME"); xdg && !xdg->empty() && xdg->front() == '/')
        return withSlash(*xdg) + "zu/";
    if (auto home = probe.env("HOME"); home && !home->empty())
        return withSlash(*home) + ".config/zu/";

    // No home at all: the program folder is where the settings always used to
    // live, and the current folder is the only place left after that.
    return programDir.empty() ? "./" : programDir;
}

std::optional<std::string> userEnvironment(const char* name) {
    if (const char* value = std::getenv(name); value && value[0] != '\0')
        return std::string(value);
    if (std::string_view(name) == "HOME")
        return homeFromPasswordDatabase();
    return std::nullopt;
}

namespace {

ConfigProbe realProbe() {
    ConfigProbe probe;
    probe.env = userEnvironment;
    probe.file = probeConfigFile;
    probe.dirWritable = [](const std::string& dir) {
        return isDirectory(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
    };
    return probe;
}

} // namespace

std::string configDirectory(const std::string& programDirectory) {
    return configDirectory(programDirectory, realProbe());
}

std::string settingsFileToRead(const std::string& programDirectory, const ConfigProbe& probe) {
    const std::string configured = configDirectory(programDirectory, probe) + "zu.set";
    if (probe.file(configured) != ConfigFile::Missing)
        return configured;
    // A folder named by $ZU_CONFIG_DIR is all there is; otherwise the
    // program folder was passed over only because its zu.set cannot be
    // written, and its values are the ones to start from.
    const auto explicitDir = probe.env("ZU_CONFIG_DIR");
    const std::string programDir = withSlash(programDirectory);
    if ((!explicitDir || explicitDir->empty()) && !programDir.empty() &&
        probe.file(programDir + "zu.set") == ConfigFile::Unwritable)
        return programDir + "zu.set";
    return configured;
}

std::string settingsFileToRead(const std::string& programDirectory) {
    return settingsFileToRead(programDirectory, realProbe());
}

ConfigFile probeConfigFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return ConfigFile::Missing;
    if (S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return ConfigFile::ReadOnly;
    return ::access(path.c_str(), W_OK) == 0 ? ConfigFile::Writable : ConfigFile::Unwritable;
}

bool ensureDirectory(const std::string& dir) {
    if (dir.empty())
        return false;
    // Each ancestor in turn, like mkdir -p. A failure on the way is not final
    // (an existing ancestor on a read-only file system may refuse with EROFS
    // rather than EEXIST); only whether the folder is there in the end counts.
    for (std::size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1))
        ::mkdir(dir.substr(0, slash).c_str(), 0777);
    ::mkdir(dir.c_str(), 0777);
    return isDirectory(dir);
}

} // namespace zu
