#pragma once
// A desktop held in memory for the rules of core/desktop: files by path,
// environment variables, the programs that may be run, and what others may
// write.

#include "core/desktop/desktop_files.h"

#include <map>
#include <set>
#include <string>

namespace zu::testing {

struct MemoryDesktop {
    std::map<std::string, std::string> env{
        {"HOME", "/home/u"}, {"XDG_DATA_DIRS", "/usr/share"}, {"XDG_CONFIG_DIRS", "/etc/xdg"}};
    std::map<std::string, std::string> files;
    std::set<std::string> programs;
    std::set<std::string> shared; // paths others may write

    DesktopFileSystem fs() {
        DesktopFileSystem fs;
        fs.env = [this](const char* name) -> std::optional<std::string> {
            const auto it = env.find(name);
            if (it == env.end() || it->second.empty())
                return std::nullopt;
            return it->second;
        };
        fs.read = [this](const std::string& path) -> std::optional<std::string> {
            const auto it = files.find(path);
            if (it == files.end())
                return std::nullopt;
            return it->second;
        };
        fs.exists = [this](const std::string& path) {
            if (files.count(path))
                return true;
            const std::string folder = path.back() == '/' ? path : path + "/";
            const auto it = files.lower_bound(folder);
            return it != files.end() && it->first.starts_with(folder);
        };
        fs.write = [this](const std::string& path, std::string_view bytes) {
            files[path] = std::string(bytes);
            shared.erase(path);
            return true;
        };
        fs.remove = [this](const std::string& path) { return files.erase(path), true; };
        fs.list = [this](const std::string& folder) {
            std::set<std::string> names;
            for (auto it = files.lower_bound(folder);
                 it != files.end() && it->first.starts_with(folder); ++it) {
                const std::string rest = it->first.substr(folder.size());
                names.insert(rest.substr(0, rest.find('/')));
            }
            return std::vector<std::string>(names.begin(), names.end());
        };
        fs.executable = [this](const std::string& path) { return programs.count(path) > 0; };
        fs.othersMayWrite = [this](const std::string& path) { return shared.count(path) > 0; };
        return fs;
    }

    // An application's entry in `folder` ("/usr/share/applications/...").
    void app(const std::string& path, const std::string& program, const std::string& mimeTypes,
             const std::string& extra = "") {
        files[path] = "[Desktop Entry]\nType=Application\nName=" + program + "\nExec=" + program +
                      " %u\nMimeType=" + mimeTypes + "\n" + extra;
        programs.insert(program.front() == '/' ? program : "/usr/bin/" + program);
    }
};

} // namespace zu::testing
