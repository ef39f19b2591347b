#include "core/desktop/mime_lists.h"

#include "core/desktop/mimeapps.h"

#include <algorithm>
#include <set>

namespace zu {
namespace {

// The names the current desktop goes by, lower case, in order.
std::vector<std::string> desktopNames(const Environment& env) {
    std::vector<std::string> names;
    std::string_view list;
    const auto value = env("XDG_CURRENT_DESKTOP");
    if (value)
        list = *value;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        std::string name(list.substr(0, colon));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
        // A name that is not one word could reach into another folder.
        if (!name.empty() && name.find('/') == std::string::npos)
            names.push_back(std::move(name));
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
    return names;
}

bool contains(const std::vector<std::string>& items, std::string_view item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// The names a desktop id may have in an applications folder: "a-b.desktop"
// is "a-b.desktop" or "a/b.desktop" there.
void idPaths(const std::string& folder, std::string_view id, std::vector<std::string>& out) {
    out.push_back(folder + std::string(id));
    for (std::size_t dash = id.find('-'); dash != std::string_view::npos;
         dash = id.find('-', dash + 1))
        if (dash > 0)
            idPaths(folder + std::string(id.substr(0, dash)) + "/", id.substr(dash + 1), out);
}

} // namespace

std::vector<MimeListFile> mimeListFiles(const Environment& env) {
    const std::vector<std::string> desktops = desktopNames(env);
    std::vector<MimeListFile> files;
    const auto level = [&](const std::string& folder, bool withOlderList) {
        for (const std::string& desktop : desktops)
            files.push_back({folder + desktop + "-mimeapps.list", true});
        files.push_back({folder + "mimeapps.list", false});
        if (withOlderList)
            files.push_back({folder + "defaults.list", true});
    };
    if (const auto home = baseFolder(env, "XDG_CONFIG_HOME", ".config/"))
        level(*home, false);
    for (const std::string& folder : baseFolders(env, "XDG_CONFIG_DIRS", "/etc/xdg"))
        level(folder, false);
    for (const std::string& folder : applicationFolders(env))
        level(folder, true);
    return files;
}

std::vector<std::string> applicationFolders(const Environment& env) {
    std::vector<std::string> folders;
    if (const auto home = baseFolder(env, "XDG_DATA_HOME", ".local/share/"))
        folders.push_back(*home + "applications/");
    for (const std::string& folder :
         baseFolders(env, "XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"))
        folders.push_back(folder + "applications/");
    return folders;
}

MimeAssociations::MimeAssociations(const DesktopFileSystem& fs)
    : fs_(fs), folders_(applicationFolders(fs.env)) {}

MimeAssociations::~MimeAssociations() = default;

const std::vector<MimeAssociations::List>& MimeAssociations::lists() {
    if (!lists_) {
        lists_ = std::make_unique<std::vector<List>>();
        for (MimeListFile& file : mimeListFiles(fs_.env))
            if (auto text = fs_.read(file.path))
                lists_->push_back({std::move(file), std::move(*text)});
    }
    return *lists_;
}

const InstalledApplication* MimeAssociations::application(const std::string& id) {
    if (const auto known = byId_.find(id); known != byId_.end())
        return known->second.get();
    std::unique_ptr<InstalledApplication> found;
    std::vector<std::string> paths;
    for (const std::string& folder : folders_)
        idPaths(folder, id, paths);
    for (const std::string& path : paths) {
        const auto text = fs_.read(path);
        if (!text)
            continue;
        // The first entry with the id is the one in force, even when it
        // only hides the ones after it.
        EntryFacts facts = readEntry(*text);
        if (!facts.hidden && facts.type == "Application" &&
            (facts.tryExec.empty() || findProgram(facts.tryExec, fs_)))
            found.reset(new InstalledApplication{id, path, std::move(facts)});
        break;
    }
    return (byId_[id] = std::move(found)).get();
}

const InstalledApplication* MimeAssociations::listedDefault(std::string_view type) {
    const auto added = [&](const std::string& id) {
        return std::any_of(lists().begin(), lists().end(), [&](const List& list) {
            return !list.file.defaultsOnly &&
                   contains(listedApplications(list.text, kAddedGroup, type), id);
        });
    };
    std::vector<std::string> removed;
    for (const List& list : lists()) {
        if (!list.file.defaultsOnly)
            for (std::string& id : listedApplications(list.text, kRemovedGroup, type))
                removed.push_back(std::move(id));
        for (const std::string& id : defaultApplications(list.text, type)) {
            const InstalledApplication* app = application(id);
            if (app && !contains(removed, id) &&
                (contains(app->facts.mimeTypes, type) || added(id)))
                return app;
        }
    }
    return nullptr;
}

std::vector<const InstalledApplication*> MimeAssociations::applications(std::string_view type) {
    std::vector<const InstalledApplication*> out;
    std::set<std::string, std::less<>> removed, seen;
    const auto take = [&](const std::string& id) {
        if (removed.count(id) || !seen.insert(id).second)
            return;
        if (const InstalledApplication* app = application(id))
            out.push_back(app);
    };
    for (const List& list : lists()) {
        for (const std::string& id : defaultApplications(list.text, type))
            take(id);
        if (list.file.defaultsOnly)
            continue;
        for (const std::string& id : listedApplications(list.text, kAddedGroup, type))
            take(id);
        for (std::string& id : listedApplications(list.text, kRemovedGroup, type))
            removed.insert(std::move(id));
    }
    // Then every entry that declares the type, folder by folder, by name.
    for (const std::string& folder : folders_) {
        std::vector<std::string> names = fs_.list(folder);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            if (name.size() <= 8 || !name.ends_with(".desktop") || seen.count(name) ||
                removed.count(name))
                continue;
            const InstalledApplication* app = application(name);
            // Only the entry in force for the id counts, wherever it is.
            if (app && app->path == folder + name && contains(app->facts.mimeTypes, type)) {
                seen.insert(name);
                out.push_back(app);
            }
        }
    }
    return out;
}

const InstalledApplication* MimeAssociations::defaultFor(std::string_view type) {
    if (const InstalledApplication* listed = listedDefault(type))
        return listed;
    const auto all = applications(type);
    return all.empty() ? nullptr : all.front();
}

} // namespace zu
