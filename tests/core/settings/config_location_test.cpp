#include "core/settings/config_location.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace zu {
namespace {

using testing::ScopedEnv;
using testing::ScratchFolder;
using testing::writeFile;

struct LocationCase {
    const char* name;
    std::string programDirectory;
    std::map<std::string, std::string> env;
    std::set<std::string> files;    // paths that exist
    std::set<std::string> writable; // folders that may be written
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
    probe.fileExists = [&](const std::string& path) { return c.files.count(path) > 0; };
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
                     {"/opt/zu/zu.set"},
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
        LocationCase{
            "ProgramFolderHoldingZuSet", "/opt/zu/", kHomeOnly, {"/opt/zu/zu.set"}, {}, "/opt/zu/"},
        LocationCase{"WritableProgramFolder", "/opt/zu/", kHomeOnly, {}, {"/opt/zu/"}, "/opt/zu/"},
        LocationCase{
            "ProgramFolderWithoutSlash", "/opt/zu", kHomeOnly, {"/opt/zu/zu.set"}, {}, "/opt/zu/"},
        LocationCase{"RootOfTheFileSystem", "/", kHomeOnly, {}, {"/"}, "/"},
        LocationCase{"UnknownProgramFolderNeverTaken",
                     "",
                     kHomeOnly,
                     {"zu.set", "/zu.set"},
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
        LocationCase{"NoHomeFallsBackToProgramFolder", "/usr/bin/", {}, {}, {}, "/usr/bin/"},
        LocationCase{"NothingKnown", "", {}, {}, {}, "./"}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
        return std::string(info.param.name);
    });

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
