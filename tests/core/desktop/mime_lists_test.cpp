// Which program the desktop opens web pages with, level by level of its
// MIME-application lists, on a desktop held in memory.

#include "core/desktop/mime_lists.h"

#include "memory_desktop.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

using testing::MemoryDesktop;

constexpr const char* kApps = "/usr/share/applications/";

std::string defaults(const std::string& ids) {
    return "[Default Applications]\ntext/html=" + ids + "\n";
}

struct LevelCase {
    const char* name;
    std::map<std::string, std::string> lists; // path -> text
    std::map<std::string, std::string> env;   // added to the desktop's
    const char* expected;                     // desktop id, or nullptr for none
};

TEST(MimeLists, TheFirstLevelThatNamesAnInstalledHandlerDecides) {
    const LevelCase cases[] = {
        {"NoListNoDefault", {}, {}, nullptr},
        {"UsersList", {{"/home/u/.config/mimeapps.list", defaults("a.desktop;")}}, {}, "a.desktop"},
        {"UsersListBeforeTheSystems",
         {{"/home/u/.config/mimeapps.list", defaults("a.desktop;")},
          {"/etc/xdg/mimeapps.list", defaults("b.desktop;")}},
         {},
         "a.desktop"},
        {"AnIdNotInstalledPassesToTheNextInTheList",
         {{"/home/u/.config/mimeapps.list", defaults("gone.desktop;b.desktop;")}},
         {},
         "b.desktop"},
        {"ALevelNamingNothingInstalledPassesToTheNext",
         {{"/home/u/.config/mimeapps.list", defaults("gone.desktop;")},
          {"/etc/xdg/mimeapps.list", defaults("b.desktop;")}},
         {},
         "b.desktop"},
        {"DesktopSpecificBeforeTheUsersList",
         {{"/home/u/.config/mimeapps.list", defaults("a.desktop;")},
          {"/home/u/.config/gnome-mimeapps.list", defaults("b.desktop;")}},
         {{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}},
         "b.desktop"},
        {"TheDesktopsFirstNameFirst",
         {{"/home/u/.config/gnome-mimeapps.list", defaults("b.desktop;")},
          {"/home/u/.config/ubuntu-mimeapps.list", defaults("c.desktop;")}},
         {{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}},
         "c.desktop"},
        {"AnotherDesktopsListIsNotRead",
         {{"/home/u/.config/kde-mimeapps.list", defaults("b.desktop;")}},
         {{"XDG_CURRENT_DESKTOP", "GNOME"}},
         nullptr},
        {"ConfigDirsInTheirOrder",
         {{"/etc/xdg/mimeapps.list", defaults("b.desktop;")},
          {"/opt/xdg/mimeapps.list", defaults("a.desktop;")}},
         {{"XDG_CONFIG_DIRS", "/opt/xdg:/etc/xdg"}},
         "a.desktop"},
        {"ConfigDirsBeforeTheDataHome",
         {{"/home/u/.local/share/applications/mimeapps.list", defaults("a.desktop;")},
          {"/etc/xdg/mimeapps.list", defaults("b.desktop;")}},
         {},
         "b.desktop"},
        {"TheDataHomesList",
         {{"/home/u/.local/share/applications/mimeapps.list", defaults("a.desktop;")},
          {"/usr/share/applications/mimeapps.list", defaults("b.desktop;")}},
         {},
         "a.desktop"},
        {"TheDistributionsDesktopList",
         {{"/usr/share/applications/mimeapps.list", defaults("a.desktop;")},
          {"/usr/share/applications/gnome-mimeapps.list", defaults("b.desktop;")}},
         {{"XDG_CURRENT_DESKTOP", "GNOME"}},
         "b.desktop"},
        {"DefaultsListAfterTheMimeappsListOfItsFolder",
         {{"/usr/share/applications/defaults.list", defaults("a.desktop;")},
          {"/usr/share/applications/mimeapps.list", defaults("b.desktop;")}},
         {},
         "b.desktop"},
        {"DefaultsListAlone",
         {{"/usr/share/applications/defaults.list", defaults("b.desktop;")}},
         {},
         "b.desktop"},
        {"DataDirsInTheirOrder",
         {{"/usr/share/applications/mimeapps.list", defaults("b.desktop;")},
          {"/usr/local/share/applications/defaults.list", defaults("a.desktop;")}},
         {{"XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"}},
         "a.desktop"},
        {"RelativeFoldersAreIgnored",
         {{"etc/mimeapps.list", defaults("a.desktop;")}},
         {{"XDG_CONFIG_DIRS", "etc"}},
         nullptr},
        {"RemovedByTheUserIsNoDefaultBelow",
         {{"/home/u/.config/mimeapps.list", "[Removed Associations]\ntext/html=b.desktop;\n"},
          {"/usr/share/applications/mimeapps.list", defaults("b.desktop;a.desktop;")}},
         {},
         "a.desktop"},
        {"AddedMakesAHandler",
         {{"/home/u/.config/mimeapps.list",
           "[Added Associations]\ntext/html=plain.desktop;\n" + defaults("plain.desktop;")}},
         {},
         "plain.desktop"},
        {"ADefaultThatDoesNotHandleTheTypeIsPassed",
         {{"/home/u/.config/mimeapps.list", defaults("plain.desktop;b.desktop;")}},
         {},
         "b.desktop"},
        {"AHiddenEntryHidesTheOneBelow",
         {{"/home/u/.config/mimeapps.list", defaults("a.desktop;b.desktop;")},
          {"/home/u/.local/share/applications/a.desktop", "[Desktop Entry]\nHidden=true\n"}},
         {},
         "b.desktop"},
        {"MissingTryExecIsNotInstalled",
         {{"/home/u/.config/mimeapps.list", defaults("try.desktop;b.desktop;")}},
         {},
         "b.desktop"},
        {"AnIdWithADashFoundInASubfolder",
         {{"/home/u/.config/mimeapps.list", defaults("kde4-sub.desktop;")}},
         {},
         "kde4-sub.desktop"},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDesktop desktop;
        desktop.app(std::string(kApps) + "a.desktop", "a", "text/html;");
        desktop.app(std::string(kApps) + "b.desktop", "b", "text/html;");
        desktop.app(std::string(kApps) + "c.desktop", "c", "text/html;");
        desktop.app(std::string(kApps) + "plain.desktop", "plain", "text/plain;");
        desktop.app(std::string(kApps) + "try.desktop", "try", "text/html;",
                    "TryExec=/nowhere/try\n");
        desktop.app(std::string(kApps) + "kde4/sub.desktop", "sub", "text/html;");
        for (const auto& [path, text] : c.lists)
            desktop.files[path] = text;
        for (const auto& [name, value] : c.env)
            desktop.env[name] = value;
        const DesktopFileSystem fs = desktop.fs();
        MimeAssociations associations(fs);
        const InstalledApplication* found = associations.listedDefault("text/html");
        EXPECT_EQ(found ? found->id : "(none)", c.expected ? c.expected : "(none)");
    }
}

TEST(MimeLists, HandlersInTheOrderOfTheListsThenTheEntriesThatDeclareTheType) {
    MemoryDesktop desktop;
    desktop.app(std::string(kApps) + "a.desktop", "a", "text/html;");
    desktop.app(std::string(kApps) + "b.desktop", "b", "text/html;");
    desktop.app(std::string(kApps) + "c.desktop", "c", "text/html;text/plain;");
    desktop.app(std::string(kApps) + "d.desktop", "d", "text/plain;");
    desktop.app(std::string(kApps) + "e.desktop", "e", "text/plain;");
    desktop.app("/home/u/.local/share/applications/f.desktop", "f", "text/html;");
    desktop.files["/home/u/.config/mimeapps.list"] =
        "[Added Associations]\ntext/html=e.desktop;\n"
        "[Removed Associations]\ntext/html=b.desktop;\n";
    desktop.files["/usr/share/applications/mimeapps.list"] =
        defaults("b.desktop;d.desktop;") + "[Added Associations]\ntext/html=gone.desktop;\n";
    const DesktopFileSystem fs = desktop.fs();
    MimeAssociations associations(fs);
    std::vector<std::string> ids;
    for (const InstalledApplication* app : associations.applications("text/html"))
        ids.push_back(app->id);
    // e added by the user, d named by the system (b removed by the user),
    // then the entries of the data home, then the system's by name.
    EXPECT_EQ(ids, (std::vector<std::string>{"e.desktop", "d.desktop", "f.desktop", "a.desktop",
                                             "c.desktop"}));
    // With no list naming an installed handler, the most preferred decides.
    ASSERT_NE(associations.defaultFor("text/html"), nullptr);
    EXPECT_EQ(associations.defaultFor("text/html")->id, "e.desktop");
}

} // namespace
} // namespace zu
