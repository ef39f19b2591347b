// zu.set where it is not a plain writable file: a FIFO, a folder, a huge or
// random file, a link, a file the user made read-only, and a program folder
// where it cannot be written. Loading never blocks or fails, and changes
// are never lost where they could be kept.

#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "support/file_faults.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::ScopedEnv;
using testing::ScratchFolder;
using testing::writeFile;

Settings changed(int tagColor) {
    Settings record;
    record.tagColor = tagColor;
    record.mailAddress = "someone@example.org";
    record.calendarYear = 2001;
    return record;
}

Settings loaded() {
    Settings record;
    record.Load();
    return record;
}

class SettingsFaults : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnv configDir{"ZU_CONFIG_DIR", folder.path().string()};
    std::string file() const { return folder.file("zu.set"); }
};

TEST_F(SettingsFaults, AZuSetThatIsNoFileNeverBlocksAndTheDefaultsStay) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
        {"empty folder", [](const std::string& p) { fs::create_directory(p); }},
        {"folder with a file",
         [](const std::string& p) {
             fs::create_directory(p);
             writeFile(fs::path(p) / "inside", "2\r\n");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(file());
        ::alarm(20); // a blocked open ends the test instead of hanging it
        EXPECT_EQ(loaded(), Settings());
        changed(0).Save();
        EXPECT_EQ(loaded(), Settings());
        ::alarm(0);
        const auto type = fs::status(file()).type();
        EXPECT_TRUE(type == fs::file_type::fifo || type == fs::file_type::directory);
        fs::remove_all(file());
    }
}

TEST_F(SettingsFaults, RandomAndHugeZuSetLoadsWithoutHarmAndIsReplacedOnSave) {
    std::mt19937 random(12);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    writeFile(file(), noise);
    // 100 MB: only the first kilobyte may ever be read.
    ASSERT_EQ(::truncate(file().c_str(), 100 << 20), 0);
    Settings record;
    record.Load();
    record.Save();
    EXPECT_EQ(readFile(file()), record.serialize());
    EXPECT_EQ(loaded(), record);
}

TEST_F(SettingsFaults, ALinkNamedZuSetIsWrittenThroughToItsTarget) {
    fs::create_directory(folder.path() / "dotfiles");
    const std::string target = (folder.path() / "dotfiles" / "zu.set").string();
    writeFile(target, "");
    ASSERT_EQ(::symlink("dotfiles/zu.set", file().c_str()), 0);
    changed(1).Save();
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(readFile(target), changed(1).serialize());
    EXPECT_EQ(loaded(), changed(1));
}

TEST_F(SettingsFaults, AZuSetTheUserMadeReadOnlyIsReadAndLeftAsItIs) {
    writeFile(file(), changed(1).serialize());
    ASSERT_EQ(::chmod(file().c_str(), 0444), 0);
    Settings record = loaded();
    EXPECT_EQ(record, changed(1));
    record.tagColor = 2;
    record.Save();
    EXPECT_EQ(readFile(file()), changed(1).serialize()) << "even root leaves it";
    struct stat info {};
    ASSERT_EQ(::stat(file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
}

TEST(SettingsInAProgramFolder, ThatCannotBeWrittenAreSavedToTheNextFolderAndReadFromThere) {
    const ScratchFolder folder;
    const ScopedEnv noExplicit("ZU_CONFIG_DIR", std::nullopt);
    const ScopedEnv xdg("XDG_CONFIG_HOME", folder.file("xdg"));
    fs::create_directory(folder.path() / "program");
    const std::string programSet = folder.file("program/zu.set");
    writeFile(programSet, changed(1).serialize());

    Settings record;
    record.programDirectory.directory = folder.file("program") + "/";
    {
        // As an installed program's folder is to its users; root too.
        const testing::Immutable file(programSet);
        const testing::Immutable dir(folder.file("program"));
        if (!file.error().empty() || !dir.error().empty())
            GTEST_SKIP() << file.error() << dir.error();

        record.Load();
        EXPECT_EQ(record.tagColor, 1) << "the program folder's settings are read";
        record.tagColor = 0;
        record.Save();
        EXPECT_EQ(readFile(folder.file("xdg/zu/zu.set")), record.serialize());

        Settings next;
        next.programDirectory = record.programDirectory;
        next.Load();
        EXPECT_EQ(next.tagColor, 0) << "and next time the saved ones";
    }
    EXPECT_EQ(readFile(programSet), changed(1).serialize());
}

} // namespace
} // namespace zu
