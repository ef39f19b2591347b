// Registration with the desktop, run against scratch XDG folders: what is
// written, what is left as the user had it, and what unregistering takes
// back.

#include "core/desktop/desktop_entry.h"
#include "core/desktop/registration.h"

#include "memory_desktop.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <sys/stat.h>

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

// The user's files before and after; nullopt stands for "no such file".
struct RegistrationCase {
    const char* name;
    bool unregister;
    std::optional<std::string> entryBefore;
    std::optional<std::string> mimeappsBefore;
    std::optional<std::string> recordBefore;
    std::map<std::string, std::string> otherLists; // path -> text, the desktop's other levels
    std::optional<std::string> entryAfter;
    std::optional<std::string> mimeappsAfter;
    std::optional<std::string> recordAfter;
    RegistrationReport report;
};

void PrintTo(const RegistrationCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr const char* kEntryPath = "/home/u/.local/share/applications/zu.desktop";
constexpr const char* kListPath = "/home/u/.config/mimeapps.list";
constexpr const char* kRecordPath = "/home/u/.local/share/zu/registered-defaults";
const std::string kRecord = "text/html=/home/u/.config/mimeapps.list\n";

class Registration : public ::testing::TestWithParam<RegistrationCase> {};

TEST_P(Registration, ChangesOnlyWhatTheRulesAllow) {
    const RegistrationCase& c = GetParam();
    testing::MemoryDesktop desktop;
    desktop.programs.insert(kProgram);
    desktop.app("/usr/share/applications/firefox-esr.desktop", "firefox-esr", "text/html;");
    desktop.app("/usr/share/applications/bluefish.desktop", "bluefish", "text/html;");
    const auto put = [&](const char* path, const std::optional<std::string>& bytes) {
        if (bytes)
            desktop.files[path] = *bytes;
    };
    const auto get = [&](const char* path) -> std::optional<std::string> {
        const auto it = desktop.files.find(path);
        return it == desktop.files.end() ? std::nullopt : std::optional(it->second);
    };
    put(kEntryPath, c.entryBefore);
    put(kListPath, c.mimeappsBefore);
    put(kRecordPath, c.recordBefore);
    for (const auto& [path, text] : c.otherLists)
        desktop.files[path] = text;
    const DesktopFileSystem fs = desktop.fs();
    const RegistrationReport report =
        c.unregister ? unregisterDesktop(fs) : registerDesktop(kProgram, fs);
    EXPECT_EQ(get(kEntryPath), c.entryAfter);
    EXPECT_EQ(get(kListPath), c.mimeappsAfter);
    EXPECT_EQ(get(kRecordPath), c.recordAfter);
    for (const auto& [path, text] : c.otherLists)
        EXPECT_EQ(get(path.c_str()), text) << "another level was changed";
    EXPECT_EQ(report.entryWritten, c.report.entryWritten);
    EXPECT_EQ(report.defaultSet, c.report.defaultSet);
    EXPECT_EQ(report.entryRemoved, c.report.entryRemoved);
    EXPECT_EQ(report.defaultRemoved, c.report.defaultRemoved);
    EXPECT_FALSE(report.failed);
}

const std::string kOurs = entryFor(kProgram);
const std::string kZuDefault = "[Default Applications]\ntext/html=zu.desktop;\n";
const std::string kFirefoxDefault = "[Default Applications]\ntext/html=firefox-esr.desktop;\n";
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
                                       std::nullopt,
                                       {},
                                       kOurs,
                                       kZuDefault,
                                       kRecord,
                                       {.entryWritten = true, .defaultSet = true}},
                      // The user may have edited the entry zu wrote; it starts this zu, so
                      // it stays as it is.
                      RegistrationCase{"TheEntryOfThisZuIsLeftAsItIs",
                                       false,
                                       kOurs + "NoDisplay=true\n",
                                       kZuDefault,
                                       kRecord,
                                       {},
                                       kOurs + "NoDisplay=true\n",
                                       kZuDefault,
                                       kRecord,
                                       {}},
                      RegistrationCase{"AnEntryStartingAnotherZuIsReplaced",
                                       false,
                                       entryFor("/home/u/old-build/zu"),
                                       kZuDefault,
                                       kRecord,
                                       {},
                                       kOurs,
                                       kZuDefault,
                                       kRecord,
                                       {.entryWritten = true}},
                      RegistrationCase{"TheUsersOwnDefaultIsKept",
                                       false,
                                       kOurs,
                                       kFirefoxDefault,
                                       std::nullopt,
                                       {},
                                       kOurs,
                                       kFirefoxDefault,
                                       std::nullopt,
                                       {}},
                      // As on a desktop where the distribution or the administrator chose:
                      // the user's list names nothing, yet there is a default.
                      RegistrationCase{"TheSystemsDefaultIsKept",
                                       false,
                                       std::nullopt,
                                       kUserList,
                                       std::nullopt,
                                       {{"/usr/share/applications/mimeapps.list",
                                         "[Default Applications]\ntext/html=bluefish.desktop;\n"}},
                                       kOurs,
                                       kUserList,
                                       std::nullopt,
                                       {.entryWritten = true}},
                      RegistrationCase{"TheDesktopsOwnDefaultIsKept",
                                       false,
                                       kOurs,
                                       std::nullopt,
                                       std::nullopt,
                                       {{"/etc/xdg/mimeapps.list", kFirefoxDefault}},
                                       kOurs,
                                       std::nullopt,
                                       std::nullopt,
                                       {}},
                      RegistrationCase{"AnOlderDefaultsListIsADefaultToo",
                                       false,
                                       kOurs,
                                       std::nullopt,
                                       std::nullopt,
                                       {{"/usr/share/applications/defaults.list", kFirefoxDefault}},
                                       kOurs,
                                       std::nullopt,
                                       std::nullopt,
                                       {}},
                      // A default for a program that is gone is no default.
                      RegistrationCase{"ADefaultNotInstalledIsNone",
                                       false,
                                       kOurs,
                                       std::nullopt,
                                       std::nullopt,
                                       {{"/usr/share/applications/mimeapps.list",
                                         "[Default Applications]\ntext/html=gone.desktop;\n"}},
                                       kOurs,
                                       kZuDefault,
                                       kRecord,
                                       {.defaultSet = true}},
                      RegistrationCase{"ADefaultOnlyForOtherTypesIsJoinedByZusLine",
                                       false,
                                       kOurs,
                                       kUserList,
                                       std::nullopt,
                                       {},
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
                                       kRecord,
                                       {.defaultSet = true}},
                      RegistrationCase{"AnEmptyListIsNoDefault",
                                       false,
                                       kOurs,
                                       "[Default Applications]\ntext/html = ;\n",
                                       std::nullopt,
                                       {},
                                       kOurs,
                                       "[Default Applications]\ntext/html=zu.desktop;\n",
                                       kRecord,
                                       {.defaultSet = true}},
                      RegistrationCase{"AListWithoutTheGroupGetsIt",
                                       false,
                                       kOurs,
                                       "[Added Associations]\ntext/html=zu.desktop;",
                                       std::nullopt,
                                       {},
                                       kOurs,
                                       "[Added Associations]\ntext/html=zu.desktop;\n"
                                       "\n[Default Applications]\ntext/html=zu.desktop;\n",
                                       kRecord,
                                       {.defaultSet = true}},
                      RegistrationCase{"UnregisterRemovesTheEntryAndTheDefaultZuWrote",
                                       true,
                                       kOurs,
                                       "[Default Applications]\n"
                                       "text/html=zu.desktop;firefox-esr.desktop;\n"
                                       "image/png=org.gnome.eog.desktop;\n",
                                       kRecord,
                                       {},
                                       std::nullopt,
                                       "[Default Applications]\n"
                                       "text/html=firefox-esr.desktop;\n"
                                       "image/png=org.gnome.eog.desktop;\n",
                                       std::nullopt,
                                       {.entryRemoved = true, .defaultRemoved = true}},
                      RegistrationCase{"UnregisterTakesTheLineWhenZuWasAllOfIt",
                                       true,
                                       kOurs,
                                       kZuDefault,
                                       kRecord,
                                       {},
                                       std::nullopt,
                                       "[Default Applications]\n",
                                       std::nullopt,
                                       {.entryRemoved = true, .defaultRemoved = true}},
                      // zu as the default by the user's own choice: nothing recorded it.
                      RegistrationCase{"UnregisterLeavesADefaultZuDidNotWrite",
                                       true,
                                       kOurs,
                                       kZuDefault,
                                       std::nullopt,
                                       {},
                                       std::nullopt,
                                       kZuDefault,
                                       std::nullopt,
                                       {.entryRemoved = true}},
                      RegistrationCase{"UnregisterWithNothingRegisteredCreatesNothing",
                                       true,
                                       std::nullopt,
                                       std::nullopt,
                                       std::nullopt,
                                       {},
                                       std::nullopt,
                                       std::nullopt,
                                       std::nullopt,
                                       {}}));

TEST(RegistrationSafety, AnEntryOthersMayWriteIsTakenBackAndASharedFolderIsNotUsed) {
    testing::MemoryDesktop desktop;
    desktop.programs.insert(kProgram);
    desktop.files[kEntryPath] = kOurs;
    desktop.shared.insert(kEntryPath);
    RegistrationReport report = registerDesktop(kProgram, desktop.fs());
    EXPECT_TRUE(report.entryWritten);
    EXPECT_EQ(desktop.shared.count(kEntryPath), 0u);

    // A folder others may write: anything zu put there could be swapped.
    desktop.files.clear();
    desktop.shared.insert("/home/u/.local/share/applications/");
    desktop.files["/home/u/.local/share/applications/other.desktop"] = "";
    report = registerDesktop(kProgram, desktop.fs());
    EXPECT_TRUE(report.unsafeFolder);
    EXPECT_FALSE(report.entryWritten || report.defaultSet);
    EXPECT_EQ(desktop.files.size(), 1u);
    const DesktopPlaces places = *desktopPlaces(desktop.fs().env);
    EXPECT_EQ(registrationProblem(report, places),
              "zu: /home/u/.local/share/applications/ はほかのﾕｰｻﾞｰが変更できるﾌｫﾙﾀﾞなので、"
              "ﾃﾞｽｸﾄｯﾌﾟに登録しませんでした。自分のﾌｫﾙﾀﾞにして書き込みを自分だけにすると "
              "(chmod go-w)、次の起動で登録します。");
    EXPECT_EQ(registrationProblem({.failed = true}, places),
              "zu: ﾃﾞｽｸﾄｯﾌﾟへの登録 (/home/u/.local/share/applications/zu.desktop, "
              "/home/u/.config/mimeapps.list) を書き込めませんでした。");
    EXPECT_EQ(registrationProblem({.entryWritten = true}, places), "");
}

// The real file system, in scratch folders standing for every level.
class XdgFolders : public ::testing::Test {
protected:
    std::filesystem::path entryPath() const {
        return scratch.path() / "data" / "applications" / "zu.desktop";
    }
    std::filesystem::path mimeappsPath() const {
        return scratch.path() / "config" / "mimeapps.list";
    }
    void put(const std::filesystem::path& path, const std::string& bytes) {
        std::filesystem::create_directories(path.parent_path());
        writeFile(path, bytes);
    }
    std::optional<std::string> get(const std::filesystem::path& path) const {
        if (!std::filesystem::exists(path))
            return std::nullopt;
        return readFile(path);
    }
    // The running zu: a program that is there, as the entry's TryExec asks.
    std::string program() {
        const std::string path = scratch.file("zu");
        put(path, "");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    static unsigned mode(const std::filesystem::path& path) {
        return static_cast<unsigned>(std::filesystem::status(path).permissions()) & 0777;
    }

    ScratchFolder scratch;
    ScopedEnv data{"XDG_DATA_HOME", (scratch.path() / "data").string()};
    ScopedEnv config{"XDG_CONFIG_HOME", (scratch.path() / "config").string()};
    ScopedEnv dataDirs{"XDG_DATA_DIRS", (scratch.path() / "system").string()};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", (scratch.path() / "etc").string()};
    ScopedEnv desktopName{"XDG_CURRENT_DESKTOP", std::nullopt};
};

TEST_F(XdgFolders, RegisterThenUnregisterGivesTheUsersListBack) {
    put(mimeappsPath(), kUserList);
    registerDesktop(program(), realDesktopFileSystem());
    ASSERT_NE(get(mimeappsPath()), kUserList);
    EXPECT_TRUE(unregisterDesktop(realDesktopFileSystem()).defaultRemoved);
    EXPECT_EQ(get(mimeappsPath()), kUserList);
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "data" / "zu" / "registered-defaults"));
}

TEST_F(XdgFolders, WhatZuWritesIsNeverWritableByOthersWhateverTheUmask) {
    struct Umask {
        mode_t old = ::umask(0);
        ~Umask() { ::umask(old); }
    } open;
    const std::string zu = program();
    RegistrationReport report = registerDesktop(zu, realDesktopFileSystem());
    EXPECT_TRUE(report.entryWritten && report.defaultSet);
    EXPECT_EQ(mode(entryPath()), 0644u);
    EXPECT_EQ(mode(entryPath().parent_path()), 0755u);
    EXPECT_EQ(mode(scratch.path() / "data"), 0755u);
    EXPECT_EQ(mode(scratch.path() / "data" / "zu" / "registered-defaults"), 0644u);

    // An entry an earlier run left open to everyone (0666) is closed again.
    std::filesystem::permissions(
        entryPath(), std::filesystem::perms::group_write | std::filesystem::perms::others_write,
        std::filesystem::perm_options::add);
    report = registerDesktop(zu, realDesktopFileSystem());
    EXPECT_TRUE(report.entryWritten);
    EXPECT_EQ(mode(entryPath()), 0644u);
    EXPECT_EQ(entryProgram(get(entryPath()).value_or("")), zu);

    // A folder zu did not make is left as it is, and not used.
    std::filesystem::remove(entryPath());
    std::filesystem::permissions(entryPath().parent_path(), std::filesystem::perms::all);
    report = registerDesktop(zu, realDesktopFileSystem());
    EXPECT_TRUE(report.unsafeFolder);
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
    EXPECT_EQ(mode(entryPath().parent_path()), 0777u);
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
    fs.list = [](const std::string&) { return std::vector<std::string>(); };
    fs.executable = [](const std::string&) { return true; };
    fs.othersMayWrite = [](const std::string&) { return false; };
    const RegistrationReport report = registerDesktop(kProgram, fs);
    EXPECT_TRUE(report.failed);
    EXPECT_FALSE(report.defaultSet);
    EXPECT_EQ(written.count("/h/.config/mimeapps.list"), 0u);
    EXPECT_EQ(written.count("/h/.local/share/applications/zu.desktop"), 1u);
}

TEST_F(XdgFolders, FromABuildFolderTheEntryShowsThePictureBesideTheProgram) {
    const std::string program = this->program();
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
