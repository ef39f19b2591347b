#include "core/desktop/desktop_files.h"

#include "core/doc/atomic_write.h"
#include "core/doc/file_read.h"
#include "core/settings/config_location.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

std::string withSlash(std::string folder) {
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

// Whatever zu makes for the desktop is read by the desktop and changed by
// the user alone: an entry others could change would run their command
// whenever the user opens a web page. The umask is the process's, so it is
// narrowed only for the moment of the write, on the one thread that writes.
class NoWritesForOthers {
public:
    NoWritesForOthers() : old_(::umask(022)) { ::umask(old_ | 022); }
    ~NoWritesForOthers() { ::umask(old_); }
    NoWritesForOthers(const NoWritesForOthers&) = delete;
    NoWritesForOthers& operator=(const NoWritesForOthers&) = delete;

private:
    mode_t old_;
};

} // namespace

std::optional<std::string> baseFolder(const Environment& env, const char* variable,
                                      std::string_view belowHome) {
    if (auto value = env(variable); value && value->front() == '/')
        return withSlash(*value);
    if (auto home = env("HOME"); home && home->front() == '/')
        return withSlash(*home) + std::string(belowHome);
    return std::nullopt;
}

std::vector<std::string> baseFolders(const Environment& env, const char* variable,
                                     std::string_view fallback) {
    std::vector<std::string> folders;
    const auto split = [&](std::string_view list) {
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::string_view folder = list.substr(0, colon);
            if (!folder.empty() && folder.front() == '/')
                folders.push_back(withSlash(std::string(folder)));
            list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
        }
    };
    if (const auto value = env(variable))
        split(*value);
    if (folders.empty())
        split(fallback);
    return folders;
}

std::optional<std::string> findProgram(const std::string& name, const DesktopFileSystem& fs) {
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos)
        return fs.executable(name) ? std::optional(name) : std::nullopt;
    for (const std::string& folder : baseFolders(fs.env, "PATH", "/usr/local/bin:/usr/bin:/bin"))
        if (fs.executable(folder + name))
            return folder + name;
    return std::nullopt;
}

DesktopFileSystem realDesktopFileSystem() {
    DesktopFileSystem fs;
    fs.env = userEnvironment;
    fs.read = [](const std::string& path) -> std::optional<std::string> {
        // The files are small; a limit keeps a stray huge one from being read.
        FileBytes file = readWholeFile(path, 16 << 20);
        if (file.error != 0)
            return std::nullopt;
        return std::move(file.bytes);
    };
    fs.exists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; };
    fs.write = [](const std::string& path, std::string_view bytes) {
        const NoWritesForOthers narrowed;
        // A file that others could write keeps its mode through the write:
        // it loses their write permission first.
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 &&
            ::chmod(path.c_str(), info.st_mode & 07755) != 0)
            return false;
        return ensureDirectory(folderOf(path)) && bool(writeFileAtomically(path, bytes));
    };
    fs.remove = [](const std::string& path) {
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    };
    fs.list = [](const std::string& folder) {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir))
                if (std::string_view name = entry->d_name; name != "." && name != "..")
                    names.emplace_back(name);
            ::closedir(dir);
        }
        return names;
    };
    fs.executable = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
               ::access(path.c_str(), X_OK) == 0;
    };
    fs.othersMayWrite = [](const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return false;
        return info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    };
    return fs;
}

} // namespace zu
