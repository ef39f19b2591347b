// Registration with the desktop, run against scratch XDG folders: what is
// written, what is left as the user had it, and what unregistering takes
// back.

#include "core/desktop/desktop_entry.h"
#include "core/desktop/registration.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>

namespace zu {
namespace {

using testing::readFile;
using testing::ScopedEnv;
using testing::ScratchFolder;
using testing::writeFile;

const std::string kProgram = "/opt/zu/bin/zu";

std::string entryFor(const std::string& program) {
    return desktopEntry(program, "zu").value();
}

// The user's two files before and after; nullopt stands for "no such file".
struct RegistrationCase {
    const char* name;
    bool unregister;
    std::optional<std::string> entryBefore;
    std::optional<std::string> mimeappsBefore;
    std::optional<std::string> entryAfter;
    std::optional<std::string> mimeappsAfter;
    RegistrationReport report;
};

void PrintTo(const RegistrationCase& c, std::ostream* os) {
    *os << c.name;
}

class XdgFolders : public ::testing::Test {
protected:
    std::filesystem::path entryPath() const {
        return scratch.path() / "data" / "applications" / "zu.desktop";
    }
    std::filesystem::path mimeappsPath() const {
        return scratch.path() / "config" / "mimeapps.list";
    }
    void put(const std::filesystem::path& path, const std::optional<std::string>& bytes) {
        if (!bytes)
            return;
        std::filesystem::create_directories(path.parent_path());
        writeFile(path, *bytes);
    }
    std::optional<std::string> get(const std::filesystem::path& path) const {
        if (!std::filesystem::exists(path))
            return std::nullopt;
        return readFile(path);
    }

    ScratchFolder scratch;
    ScopedEnv data{"XDG_DATA_HOME", (scratch.path() / "data").string()};
    ScopedEnv config{"XDG_CONFIG_HOME", (scratch.path() / "config").string()};
};

class Registration : public XdgFolders, public ::testing::WithParamInterface<RegistrationCase> {};

TEST_P(Registration, ChangesOnlyWhatTheRulesAllow) {
    const RegistrationCase& c = GetParam();
    put(entryPath(), c.entryBefore);
    put(mimeappsPath(), c.mimeappsBefore);
    const RegistrationReport report = c.unregister
                                          ? unregisterDesktop(realDesktopFileSystem())
                                          : registerDesktop(kProgram, realDesktopFileSystem());
    EXPECT_EQ(get(entryPath()), c.entryAfter);
    EXPECT_EQ(get(mimeappsPath()), c.mimeappsAfter);
    EXPECT_EQ(report.entryWritten, c.report.entryWritten);
    EXPECT_EQ(report.defaultSet, c.report.defaultSet);
    EXPECT_EQ(report.entryRemoved, c.report.entryRemoved);
    EXPECT_EQ(report.defaultRemoved, c.report.defaultRemoved);
    EXPECT_FALSE(report.failed);
}

const std::string kOurs = entryFor(kProgram);
const std::string kZuDefault = "[Default Applications]\ntext/html=zu.desktop;\n";
// A list such as desktops write, with the groups around the one zu uses.
const std::string kUserList = "[Added Associations]\n"
                              "text/plain=org.gnome.gedit.desktop;\n"
                              "\n"
                              "[Default Applications]\n"
                              "image/png=org.gnome.eog.desktop;\n"
                              "\n"
                              "[Removed Associations]\n"
                              "text/html=lynx.desktop;\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, Registration,
    ::testing::Values(RegistrationCase{"FirstStartWritesTheEntryAndBecomesTheDefault",
                                       false,
                                       std::nullopt,
                                       std::nullopt,
                                       kOurs,
                                       kZuDefault,
                                       {.entryWritten = true, .defaultSet = true}},
                      // The user may have edited the entry zu wrote; it starts this zu, so
                      // it stays as it is.
                      RegistrationCase{"TheEntryOfThisZuIsLeftAsItIs",
                                       false,
                                       kOurs + "NoDisplay=true\n",
                                       kZuDefault,
                                       kOurs + "NoDisplay=true\n",
                                       kZuDefault,
                                       {}},
                      RegistrationCase{"AnEntryStartingAnotherZuIsReplaced",
                                       false,
                                       entryFor("/home/u/old-build/zu"),
                                       kZuDefault,
                                       kOurs,
                                       kZuDefault,
                                       {.entryWritten = true}},
                      RegistrationCase{"TheUsersOwnDefaultIsKept",
                                       false,
                                       kOurs,
                                       "[Default Applications]\ntext/html=firefox-esr.desktop;\n",
                                       kOurs,
                                       "[Default Applications]\ntext/html=firefox-esr.desktop;\n",
                                       {}},
                      RegistrationCase{"ADefaultOnlyForOtherTypesIsJoinedByZusLine",
                                       false,
                                       kOurs,
                                       kUserList,
                                       kOurs,
                                       "[Added Associations]\n"
                                       "text/plain=org.gnome.gedit.desktop;\n"
                                       "\n"
                                       "[Default Applications]\n"
                                       "image/png=org.gnome.eog.desktop;\n"
                                       "text/html=zu.desktop;\n"
                                       "\n"
                                       "[Removed Associations]\n"
                                       "text/html=lynx.desktop;\n",
                                       {.defaultSet = true}},
                      RegistrationCase{"AnEmptyListIsNoDefault",
                                       false,
                                       kOurs,
                                       "[Default Applications]\ntext/html = ;\n",
                                       kOurs,
                                       "[Default Applications]\ntext/html=zu.desktop;\n",
                                       {.defaultSet = true}},
                      RegistrationCase{"AListWithoutTheGroupGetsIt",
                                       false,
                                       kOurs,
                                       "[Added Associations]\ntext/html=zu.desktop;",
                                       kOurs,
                                       "[Added Associations]\ntext/html=zu.desktop;\n"
                                       "\n[Default Applications]\ntext/html=zu.desktop;\n",
                                       {.defaultSet = true}},
                      RegistrationCase{"UnregisterRemovesTheEntryAndZuFromTheFrontOfTheList",
                                       true,
                                       kOurs,
                                       "[Default Applications]\n"
                                       "text/html=zu.desktop;firefox-esr.desktop;\n"
                                       "image/png=org.gnome.eog.desktop;\n",
                                       std::nullopt,
                                       "[Default Applications]\n"
                                       "text/html=firefox-esr.desktop;\n"
                                       "image/png=org.gnome.eog.desktop;\n",
                                       {.entryRemoved = true, .defaultRemoved = true}},
                      RegistrationCase{"UnregisterTakesTheLineWhenZuWasAllOfIt",
                                       true,
                                       kOurs,
                                       kZuDefault,
                                       std::nullopt,
                                       "[Default Applications]\n",
                                       {.entryRemoved = true, .defaultRemoved = true}},
                      // Zu behind another program is not the default zu set.
                      RegistrationCase{
                          "UnregisterLeavesADefaultThatIsNotZu",
                          true,
                          kOurs,
                          "[Default Applications]\ntext/html=firefox-esr.desktop;zu.desktop;\n",
                          std::nullopt,
                          "[Default Applications]\ntext/html=firefox-esr.desktop;zu.desktop;\n",
                          {.entryRemoved = true}},
                      RegistrationCase{"UnregisterWithNothingRegisteredCreatesNothing",
                                       true,
                                       std::nullopt,
                                       std::nullopt,
                                       std::nullopt,
                                       std::nullopt,
                                       {}}));

TEST_F(XdgFolders, RegisterThenUnregisterGivesTheUsersListBack) {
    put(mimeappsPath(), kUserList);
    registerDesktop(kProgram, realDesktopFileSystem());
    ASSERT_NE(get(mimeappsPath()), kUserList);
    unregisterDesktop(realDesktopFileSystem());
    EXPECT_EQ(get(mimeappsPath()), kUserList);
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
}

TEST(RegistrationFailures, AListThatCannotBeReadIsNotReplaced) {
    // As for a list the user cannot read: it is there, but reading fails.
    std::map<std::string, std::string> written;
    DesktopFileSystem fs;
    fs.env = [](const char* name) -> std::optional<std::string> {
        return std::string_view(name) == "HOME" ? std::optional<std::string>("/h") : std::nullopt;
    };
    fs.read = [](const std::string&) { return std::optional<std::string>(); };
    fs.exists = [](const std::string& path) { return path == "/h/.config/mimeapps.list"; };
    fs.write = [&](const std::string& path, std::string_view bytes) {
        written[path] = bytes;
        return true;
    };
    fs.remove = [](const std::string&) { return true; };
    const RegistrationReport report = registerDesktop(kProgram, fs);
    EXPECT_TRUE(report.failed);
    EXPECT_FALSE(report.defaultSet);
    EXPECT_EQ(written.count("/h/.config/mimeapps.list"), 0u);
    EXPECT_EQ(written.count("/h/.local/share/applications/zu.desktop"), 1u);
}

TEST_F(XdgFolders, FromABuildFolderTheEntryShowsThePictureBesideTheProgram) {
    const std::string program = scratch.file("zu");
    writeFile(scratch.path() / "zu.svg", "<svg/>");
    registerDesktop(program, realDesktopFileSystem());
    const std::string entry = get(entryPath()).value_or("");
    EXPECT_NE(entry.find("\nIcon=" + scratch.file("zu.svg") + "\n"), std::string::npos) << entry;
    EXPECT_EQ(entryProgram(entry), program);
}

struct PlacesCase {
    const char* name;
    std::map<std::string, std::string> env;
    std::optional<std::string> entry, mimeapps;
};

TEST(DesktopPlaces, XdgFoldersFirstThenTheHomeFolder) {
    const PlacesCase cases[] = {
        {"Xdg",
         {{"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", "/c/"}, {"HOME", "/h"}},
         "/d/applications/zu.desktop",
         "/c/mimeapps.list"},
        {"Home",
         {{"HOME", "/home/u"}},
         "/home/u/.local/share/applications/zu.desktop",
         "/home/u/.config/mimeapps.list"},
        // A relative folder is invalid by the XDG rules.
        {"RelativeIgnored",
         {{"XDG_DATA_HOME", "d"}, {"HOME", "/h/"}},
         "/h/.local/share/applications/zu.desktop",
         "/h/.config/mimeapps.list"},
        {"Nowhere", {}, std::nullopt, std::nullopt},
    };
    for (const PlacesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto places = desktopPlaces([&](const char* name) -> std::optional<std::string> {
            const auto found = c.env.find(name);
            return found == c.env.end() ? std::nullopt : std::optional(found->second);
        });
        EXPECT_EQ(places ? std::optional(places->entry) : std::nullopt, c.entry);
        EXPECT_EQ(places ? std::optional(places->mimeapps) : std::nullopt, c.mimeapps);
    }
}

} // namespace
} // namespace zu
