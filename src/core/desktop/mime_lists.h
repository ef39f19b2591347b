#pragma once
// Which program the desktop opens a type of file (or a kind of address)
// with, read the way the desktop reads it: the MIME-application lists of
// every level, most important first (the user's and the desktop-specific
// ones, those of $XDG_CONFIG_DIRS, then those in the applications folders
// of $XDG_DATA_HOME and $XDG_DATA_DIRS, the older defaults.list last in each
// of those), and the installed desktop entries with the types they declare.

#include "core/desktop/desktop_entry.h"
#include "core/desktop/desktop_files.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

struct MimeListFile {
    std::string path;
    // A desktop-specific list or a defaults.list holds only defaults.
    bool defaultsOnly = false;
};

// Every list, most important first.
std::vector<MimeListFile> mimeListFiles(const Environment& env);

// The applications folders, most important first: $XDG_DATA_HOME's, then
// those of $XDG_DATA_DIRS. Each with a final "/".
std::vector<std::string> applicationFolders(const Environment& env);

struct InstalledApplication {
    std::string id;   // the desktop id, e.g. "firefox-esr.desktop"
    std::string path; // its entry
    EntryFacts facts;
};

// The lists and entries, each read once, for the questions of one moment.
class MimeAssociations {
public:
    explicit MimeAssociations(const DesktopFileSystem& fs);
    ~MimeAssociations();

    // The application a desktop id stands for; nullptr when no entry has
    // the id, when the first that has it is hidden (a deleted entry) or is
    // no application, or when the program its TryExec names is missing.
    const InstalledApplication* application(const std::string& id);

    // The default that a list names for `type`: the first id of the first
    // list naming one that is installed, handles the type (declared by its
    // entry or added by a list) and is not removed by that list or one
    // before it. nullptr when no level names one.
    const InstalledApplication* listedDefault(std::string_view type);

    // Every installed application for `type`, most preferred first: each
    // list's defaults and added ones in the lists' order, then the entries
    // that declare the type; those a list removes are left out.
    std::vector<const InstalledApplication*> applications(std::string_view type);

    // What opens `type`: the listed default, else the most preferred.
    const InstalledApplication* defaultFor(std::string_view type);

private:
    struct List {
        MimeListFile file;
        std::string text;
    };
    const std::vector<List>& lists();

    const DesktopFileSystem& fs_;
    std::vector<std::string> folders_;
    std::unique_ptr<std::vector<List>> lists_;
    std::map<std::string, std::unique_ptr<InstalledApplication>, std::less<>> byId_;
};

} // namespace zu
