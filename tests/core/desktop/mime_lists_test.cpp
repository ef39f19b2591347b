// Which program the desktop opens web pages with, level by level of its
// MIME-application lists, on a desktop held in memory.

#include "core/desktop/mime_lists.h"

#include "memory_desktop.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

using testing::MemoryDesktop;

const std::string U = "/home/u/.config/", D = "/home/u/.local/share/applications/",
                  S = "/usr/share/applications/";

// "a b" lists a.desktop and b.desktop as text/html defaults; a text that
// starts with "[" is the list itself.
std::string list(const std::string& ids) {
    if (ids.starts_with("["))
        return ids;
    std::string out = "[Default Applications]\ntext/html=";
    for (std::size_t at = 0; at < ids.size();) {
        const std::size_t end = std::min(ids.find(' ', at), ids.size());
        out += ids.substr(at, end - at) + ".desktop;";
        at = end + 1;
    }
    return out + "\n";
}

MemoryDesktop desktopWith(const std::map<std::string, std::string>& lists,
                          const std::map<std::string, std::string>& env) {
    MemoryDesktop desktop;
    for (const char* id : {"a", "b", "c"})
        desktop.app(S + id + ".desktop", id, "text/html;");
    desktop.app(S + "plain.desktop", "plain", "text/plain;");
    desktop.app(S + "try.desktop", "try", "text/html;", "TryExec=/nowhere/try\n");
    desktop.app(S + "kde4/sub.desktop", "sub", "text/html;");
    for (const auto& [path, ids] : lists)
        desktop.files[path] = list(ids);
    for (const auto& [name, value] : env)
        desktop.env[name] = value;
    return desktop;
}

TEST(MimeLists, TheFirstLevelThatNamesAnInstalledHandlerDecides) {
    const std::string removedB = "[Removed Associations]\ntext/html=b.desktop;\n";
    const std::string addedPlain = "[Added Associations]\ntext/html=plain.desktop;\n";
    const struct {
        const char* name;
        std::map<std::string, std::string> lists, env;
        const char* expected; // nullptr: no default
    } cases[] = {
        // clang-format off
        {"NoList", {}, {}, nullptr},
        {"UsersList", {{U + "mimeapps.list", "a"}}, {}, "a"},
        {"UsersBeforeSystems", {{U + "mimeapps.list", "a"}, {"/etc/xdg/mimeapps.list", "b"}}, {}, "a"},
        {"NotInstalledPassesOn", {{U + "mimeapps.list", "gone b"}}, {}, "b"},
        {"NothingInstalledPassesToNextLevel", {{U + "mimeapps.list", "gone"}, {"/etc/xdg/mimeapps.list", "b"}}, {}, "b"},
        {"DesktopListFirst", {{U + "mimeapps.list", "a"}, {U + "gnome-mimeapps.list", "b"}}, {{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, "b"},
        {"DesktopsFirstName", {{U + "gnome-mimeapps.list", "b"}, {U + "ubuntu-mimeapps.list", "c"}}, {{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, "c"},
        {"OtherDesktopNotRead", {{U + "kde-mimeapps.list", "b"}}, {{"XDG_CURRENT_DESKTOP", "GNOME"}}, nullptr},
        {"ConfigDirsInOrder", {{"/etc/xdg/mimeapps.list", "b"}, {"/opt/xdg/mimeapps.list", "a"}}, {{"XDG_CONFIG_DIRS", "/opt/xdg:/etc/xdg"}}, "a"},
        {"ConfigDirsBeforeDataHome", {{D + "mimeapps.list", "a"}, {"/etc/xdg/mimeapps.list", "b"}}, {}, "b"},
        {"DataHomeBeforeDataDirs", {{D + "mimeapps.list", "a"}, {S + "mimeapps.list", "b"}}, {}, "a"},
        {"DistributionsDesktopList", {{S + "mimeapps.list", "a"}, {S + "gnome-mimeapps.list", "b"}}, {{"XDG_CURRENT_DESKTOP", "GNOME"}}, "b"},
        {"DefaultsListLastInItsFolder", {{S + "defaults.list", "a"}, {S + "mimeapps.list", "b"}}, {}, "b"},
        {"DefaultsListAlone", {{S + "defaults.list", "b"}}, {}, "b"},
        {"DataDirsInOrder", {{S + "mimeapps.list", "b"}, {"/usr/local/share/applications/defaults.list", "a"}}, {{"XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"}}, "a"},
        {"RelativeFoldersIgnored", {{"etc/mimeapps.list", "a"}}, {{"XDG_CONFIG_DIRS", "etc"}}, nullptr},
        {"RemovedAboveIsNoDefaultBelow", {{U + "mimeapps.list", removedB}, {S + "mimeapps.list", "b a"}}, {}, "a"},
        {"AddedMakesAHandler", {{U + "mimeapps.list", addedPlain + list("plain")}}, {}, "plain"},
        {"DefaultNotHandlingTheTypePassed", {{U + "mimeapps.list", "plain b"}}, {}, "b"},
        {"HiddenEntryHidesTheOneBelow", {{U + "mimeapps.list", "a b"}, {D + "a.desktop", "[Desktop Entry]\nHidden=true\n"}}, {}, "b"},
        {"MissingTryExecNotInstalled", {{U + "mimeapps.list", "try b"}}, {}, "b"},
        {"IdWithADashInASubfolder", {{U + "mimeapps.list", "kde4-sub"}}, {}, "kde4-sub"},
        // clang-format on
    };
    for (const auto& c : cases) {
        MemoryDesktop desktop = desktopWith(c.lists, c.env);
        const DesktopFileSystem fs = desktop.fs();
        MimeAssociations associations(fs);
        const InstalledApplication* found = associations.listedDefault("text/html");
        EXPECT_EQ(found ? found->id : "-", c.expected ? c.expected + std::string(".desktop") : "-")
            << c.name;
    }
}

TEST(MimeLists, HandlersInTheOrderOfTheListsThenTheEntriesThatDeclareTheType) {
    MemoryDesktop desktop = desktopWith(
        {{U + "mimeapps.list", "[Added Associations]\ntext/html=e.desktop;\n[Removed "
                               "Associations]\ntext/html=b.desktop;\n"},
         {S + "mimeapps.list", list("b d") + "[Added Associations]\ntext/html=gone.desktop;\n"}},
        {});
    desktop.app(S + "c.desktop", "c", "text/html;text/plain;");
    desktop.app(S + "d.desktop", "d", "text/plain;");
    desktop.app(S + "e.desktop", "e", "text/plain;");
    desktop.app(D + "f.desktop", "f", "text/html;");
    const DesktopFileSystem fs = desktop.fs();
    MimeAssociations associations(fs);
    std::string ids;
    for (const InstalledApplication* app : associations.applications("text/html"))
        ids += app->id + " ";
    // e added by the user, d named by the system (b removed by the user),
    // then the entries of the data home, then the system's by name; the
    // default is the first, no list naming an installed handler of the type.
    EXPECT_EQ(ids, "e.desktop d.desktop f.desktop a.desktop c.desktop ");
    EXPECT_EQ(associations.defaultFor("text/html")->id, "e.desktop");
}

} // namespace
} // namespace zu
