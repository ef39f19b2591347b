#include "core/settings/config_location.h"

#include "support/file_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>

namespace zu {
namespace {

using testing::ScopedEnv;
using testing::ScratchFolder;
using testing::writeFile;

struct LocationCase {
    const char* name;
    std::string programDirectory;
    std::map<std::string, std::string> env;
    std::map<std::string, ConfigFile> files; // paths that exist
    std::set<std::string> writable;          // folders that may be written
    std::string expected;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const LocationCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigOrder : public ::testing::TestWithParam<LocationCase> {};

TEST_P(ConfigOrder, PicksTheFirstPlaceThatApplies) {
    const LocationCase& c = GetParam();
    ConfigProbe probe;
    probe.env = [&](const char* name) -> std::optional<std::string> {
        const auto found = c.env.find(name);
        return found == c.env.end() ? std::nullopt : std::optional(found->second);
    };
    probe.file = [&](const std::string& path) {
        const auto found = c.files.find(path);
        return found == c.files.end() ? ConfigFile::Missing : found->second;
    };
    probe.dirWritable = [&](const std::string& dir) { return c.writable.count(dir) > 0; };
    EXPECT_EQ(configDirectory(c.programDirectory, probe), c.expected);
}

const std::map<std::string, std::string> kHomeOnly = {{"HOME", "/home/u"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigOrder,
    ::testing::Values(
        LocationCase{"ExplicitFolderFirst",
                     "/opt/zu/",
                     {{"ZU_CONFIG_DIR", "/cfg"}, {"HOME", "/home/u"}},
                     {{"/opt/zu/zu.set", ConfigFile::Writable}},
                     {"/opt/zu/"},
                     "/cfg/"},
        LocationCase{"ExplicitFolderKeepsItsSlash",
                     "/opt/zu/",
                     {{"ZU_CONFIG_DIR", "/cfg/"}},
                     {},
                     {},
                     "/cfg/"},
        LocationCase{"EmptyExplicitFolderIgnored",
                     "/opt/zu/",
                     {{"ZU_CONFIG_DIR", ""}, {"HOME", "/home/u"}},
                     {},
                     {},
                     "/home/u/.config/zu/"},
        LocationCase{"ProgramFolderHoldingZuSet",
                     "/opt/zu/",
                     kHomeOnly,
                     {{"/opt/zu/zu.set", ConfigFile::Writable}},
                     {},
                     "/opt/zu/"},
        LocationCase{"WritableProgramFolder", "/opt/zu/", kHomeOnly, {}, {"/opt/zu/"}, "/opt/zu/"},
        LocationCase{"ProgramFolderWithoutSlash",
                     "/opt/zu",
                     kHomeOnly,
                     {{"/opt/zu/zu.set", ConfigFile::Writable}},
                     {},
                     "/opt/zu/"},
        LocationCase{"RootOfTheFileSystem", "/", kHomeOnly, {}, {"/"}, "/"},
        LocationCase{"UnknownProgramFolderNeverTaken",
                     "",
                     kHomeOnly,
                     {{"zu.set", ConfigFile::Writable}, {"/zu.set", ConfigFile::Writable}},
                     {"", "/", "./"},
                     "/home/u/.config/zu/"},
        LocationCase{"XdgConfigHome",
                     "/usr/bin/",
                     {{"XDG_CONFIG_HOME", "/x/conf"}, {"HOME", "/home/u"}},
                     {},
                     {},
                     "/x/conf/zu/"},
        LocationCase{"RelativeXdgConfigHomeIgnored",
                     "/usr/bin/",
                     {{"XDG_CONFIG_HOME", "conf"}, {"HOME", "/home/u"}},
                     {},
                     {},
                     "/home/u/.config/zu/"},
        LocationCase{"EmptyXdgConfigHomeIgnored",
                     "/usr/bin/",
                     {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u/"}},
                     {},
                     {},
                     "/home/u/.config/zu/"},
        // The user froze the settings: read there and left as they are.
        LocationCase{"ReadOnlyZuSetInAFolderThatCannotBeWritten",
                     "/opt/zu/",
                     kHomeOnly,
                     {{"/opt/zu/zu.set", ConfigFile::ReadOnly}},
                     {},
                     "/opt/zu/"},
        // Changes could never be saved there: they go to the next place.
        LocationCase{"ZuSetThatCannotBeWrittenIsPassedOver",
                     "/opt/zu/",
                     kHomeOnly,
                     {{"/opt/zu/zu.set", ConfigFile::Unwritable}},
                     {"/opt/zu/"},
                     "/home/u/.config/zu/"},
        LocationCase{"NoZuSetAndAFolderThatCannotBeWritten",
                     "/opt/zu/",
                     kHomeOnly,
                     {},
                     {},
                     "/home/u/.config/zu/"},
        LocationCase{"NoHomeFallsBackToProgramFolder", "/usr/bin/", {}, {}, {}, "/usr/bin/"},
        LocationCase{"NothingKnown", "", {}, {}, {}, "./"}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
        return std::string(info.param.name);
    });

struct ReadCase {
    const char* name;
    std::map<std::string, std::string> env;
    std::map<std::string, ConfigFile> files;
    std::string expected;
};

TEST(SettingsFileToRead, TheProgramFoldersUnwritableZuSetUntilTheFirstSave) {
    const std::map<std::string, std::string> home = {{"HOME", "/home/u"}};
    const ReadCase cases[] = {
        {"WritableInTheProgramFolder",
         home,
         {{"/opt/zu/zu.set", ConfigFile::Writable}},
         "/opt/zu/zu.set"},
        {"UnwritableAndNothingSavedYet",
         home,
         {{"/opt/zu/zu.set", ConfigFile::Unwritable}},
         "/opt/zu/zu.set"},
        {"UnwritableAndSavedElsewhere",
         home,
         {{"/opt/zu/zu.set", ConfigFile::Unwritable},
          {"/home/u/.config/zu/zu.set", ConfigFile::Writable}},
         "/home/u/.config/zu/zu.set"},
        {"ExplicitFolderReadsNothingElse",
         {{"ZU_CONFIG_DIR", "/cfg"}},
         {{"/opt/zu/zu.set", ConfigFile::Unwritable}},
         "/cfg/zu.set"},
        {"NoneAnywhere", home, {}, "/home/u/.config/zu/zu.set"},
    };
    for (const ReadCase& c : cases) {
        ConfigProbe probe;
        probe.env = [&](const char* name) -> std::optional<std::string> {
            const auto found = c.env.find(name);
            return found == c.env.end() ? std::nullopt : std::optional(found->second);
        };
        probe.file = [&](const std::string& path) {
            const auto found = c.files.find(path);
            return found == c.files.end() ? ConfigFile::Missing : found->second;
        };
        probe.dirWritable = [](const std::string&) { return false; };
        EXPECT_EQ(settingsFileToRead("/opt/zu/", probe), c.expected) << c.name;
    }
}

class RealConfigLocation : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnv noExplicit{"ZU_CONFIG_DIR", std::nullopt};
    ScopedEnv xdg{"XDG_CONFIG_HOME", (folder.path() / "xdg").string()};
};

TEST_F(RealConfigLocation, ExplicitFolderFromTheEnvironment) {
    ScopedEnv explicitDir("ZU_CONFIG_DIR", folder.path().string());
    EXPECT_EQ(configDirectory("/usr/bin/"), folder.withSlash());
}

TEST_F(RealConfigLocation, ProgramFolderThatHoldsZuSet) {
    writeFile(folder.path() / "zu.set", "");
    EXPECT_EQ(configDirectory(folder.withSlash()), folder.withSlash());
}

TEST_F(RealConfigLocation, ReadOnlyAndUnwritableZuSetAreToldApart) {
    const std::string file = (folder.path() / "zu.set").string();
    writeFile(file, "");
    EXPECT_EQ(probeConfigFile(file), ConfigFile::Writable);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(probeConfigFile(file), ConfigFile::ReadOnly) << "even for root";
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    EXPECT_EQ(probeConfigFile((folder.path() / "none").string()), ConfigFile::Missing);
    const testing::Immutable locked(file);
    if (!locked.error().empty())
        GTEST_SKIP() << locked.error();
    EXPECT_EQ(probeConfigFile(file), ConfigFile::Unwritable);
}

TEST_F(RealConfigLocation, MissingProgramFolderGoesToXdg) {
    EXPECT_EQ(configDirectory((folder.path() / "missing").string() + "/"),
              (folder.path() / "xdg" / "zu").string() + "/");
}

TEST_F(RealConfigLocation, HomeWhenXdgIsUnset) {
    ScopedEnv noXdg("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv home("HOME", folder.path().string());
    EXPECT_EQ(configDirectory((folder.path() / "missing").string()),
              folder.withSlash() + ".config/zu/");
}

TEST(EnsureDirectory, MakesEveryMissingLevel) {
    ScratchFolder folder;
    const std::filesystem::path nested = folder.path() / "a" / "b" / "c";
    EXPECT_TRUE(ensureDirectory(nested.string() + "/"));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(ensureDirectory(nested.string())) << "an existing folder is fine";
}

TEST(EnsureDirectory, FailsWhereAFileStandsInTheWay) {
    ScratchFolder folder;
    writeFile(folder.path() / "plain", "x");
    EXPECT_FALSE(ensureDirectory((folder.path() / "plain").string()));
    EXPECT_FALSE(ensureDirectory((folder.path() / "plain" / "sub").string()));
    EXPECT_FALSE(ensureDirectory(""));
}

} // namespace
} // namespace zu
