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
#include <tuple>

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

// The user's entry, list and record before and after; N stands for "no
// such file".
const std::optional<std::string> N;
struct RegistrationCase {
    const char* name;
    bool unregister;
    std::optional<std::string> entryBefore, listBefore, recordBefore;
    std::map<std::string, std::string> otherLists; // path -> text, the desktop's other levels
    std::optional<std::string> entryAfter, listAfter, recordAfter;
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
    std::map<std::string, std::optional<std::string>> before = {
        {kEntryPath, c.entryBefore}, {kListPath, c.listBefore}, {kRecordPath, c.recordBefore}};
    for (const auto& [path, bytes] : before)
        if (bytes)
            desktop.files[path] = *bytes;
    desktop.files.insert(c.otherLists.begin(), c.otherLists.end());
    const DesktopFileSystem fs = desktop.fs();
    const RegistrationReport r =
        c.unregister ? unregisterDesktop(fs) : registerDesktop(kProgram, fs);
    const auto get = [&](const std::string& path) -> std::optional<std::string> {
        const auto it = desktop.files.find(path);
        return it == desktop.files.end() ? std::nullopt : std::optional(it->second);
    };
    EXPECT_EQ(get(kEntryPath), c.entryAfter);
    EXPECT_EQ(get(kListPath), c.listAfter);
    EXPECT_EQ(get(kRecordPath), c.recordAfter);
    for (const auto& [path, text] : c.otherLists)
        EXPECT_EQ(get(path), text) << "another level was changed";
    EXPECT_EQ(std::tuple(r.entryWritten, r.defaultSet, r.entryRemoved, r.defaultRemoved, r.failed),
              std::tuple(c.report.entryWritten, c.report.defaultSet, c.report.entryRemoved,
                         c.report.defaultRemoved, false));
}

const std::string kOurs = entryFor(kProgram);
const std::string kEdited = kOurs + "NoDisplay=true\n";
const std::string kOld = entryFor("/home/u/old-build/zu");
const std::string kZu = "[Default Applications]\ntext/html=zu.desktop;\n";
const std::string kFirefox = "[Default Applications]\ntext/html=firefox-esr.desktop;\n";
const std::string kZuFirst = "[Default Applications]\ntext/html=zu.desktop;firefox-esr.desktop;\n";
const std::string kBluefish = "[Default Applications]\ntext/html=bluefish.desktop;\n";
const std::string kGone = "[Default Applications]\ntext/html=gone.desktop;\n";
const std::string kAdded = "[Added Associations]\ntext/html=zu.desktop;";
// A list such as desktops write, with the groups around the one zu uses.
const std::string kUserList = "[Added Associations]\ntext/plain=org.gnome.gedit.desktop;\n\n"
                              "[Default Applications]\nimage/png=org.gnome.eog.desktop;\n\n"
                              "[Removed Associations]\ntext/html=lynx.desktop;\n";
const std::string kUserListWithZu = "[Added Associations]\ntext/plain=org.gnome.gedit.desktop;\n\n"
                                    "[Default Applications]\nimage/png=org.gnome.eog.desktop;\n"
                                    "text/html=zu.desktop;\n\n"
                                    "[Removed Associations]\ntext/html=lynx.desktop;\n";
const std::string kSystem = "/usr/share/applications/mimeapps.list";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Registration, ::testing::Values(
    RegistrationCase{"FirstStartWritesTheEntryAndBecomesTheDefault", false, N, N, N, {}, kOurs, kZu, kRecord, {.entryWritten = true, .defaultSet = true}},
    // The user may have edited the entry zu wrote; it starts this zu, so it stays.
    RegistrationCase{"TheEntryOfThisZuIsLeftAsItIs", false, kEdited, kZu, kRecord, {}, kEdited, kZu, kRecord, {}},
    RegistrationCase{"AnEntryStartingAnotherZuIsReplaced", false, kOld, kZu, kRecord, {}, kOurs, kZu, kRecord, {.entryWritten = true}},
    RegistrationCase{"TheUsersOwnDefaultIsKept", false, kOurs, kFirefox, N, {}, kOurs, kFirefox, N, {}},
    // Where the distribution or the administrator chose, the user's list names nothing.
    RegistrationCase{"TheSystemsDefaultIsKept", false, N, kUserList, N, {{kSystem, kBluefish}}, kOurs, kUserList, N, {.entryWritten = true}},
    RegistrationCase{"TheDesktopsOwnDefaultIsKept", false, kOurs, N, N, {{"/etc/xdg/mimeapps.list", kFirefox}}, kOurs, N, N, {}},
    RegistrationCase{"AnOlderDefaultsListIsADefaultToo", false, kOurs, N, N, {{"/usr/share/applications/defaults.list", kFirefox}}, kOurs, N, N, {}},
    RegistrationCase{"ADefaultNotInstalledIsNone", false, kOurs, N, N, {{kSystem, kGone}}, kOurs, kZu, kRecord, {.defaultSet = true}},
    RegistrationCase{"ADefaultOnlyForOtherTypesIsJoinedByZusLine", false, kOurs, kUserList, N, {}, kOurs, kUserListWithZu, kRecord, {.defaultSet = true}},
    RegistrationCase{"AnEmptyListIsNoDefault", false, kOurs, "[Default Applications]\ntext/html = ;\n", N, {}, kOurs, kZu, kRecord, {.defaultSet = true}},
    RegistrationCase{"AListWithoutTheGroupGetsIt", false, kOurs, kAdded, N, {}, kOurs, kAdded + "\n\n" + kZu, kRecord, {.defaultSet = true}},
    RegistrationCase{"UnregisterTakesZuFromTheListItWrote", true, kOurs, kZuFirst, kRecord, {}, N, kFirefox, N, {.entryRemoved = true, .defaultRemoved = true}},
    RegistrationCase{"UnregisterTakesTheLineWhenZuWasAllOfIt", true, kOurs, kZu, kRecord, {}, N, "[Default Applications]\n", N, {.entryRemoved = true, .defaultRemoved = true}},
    // zu as the default by the user's own choice: nothing recorded it.
    RegistrationCase{"UnregisterLeavesADefaultZuDidNotWrite", true, kOurs, kZu, N, {}, N, kZu, N, {.entryRemoved = true}},
    RegistrationCase{"UnregisterWithNothingRegisteredCreatesNothing", true, N, N, N, {}, N, N, N, {}}));
// clang-format on

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
