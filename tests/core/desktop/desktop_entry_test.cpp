// The desktop entry's text and the editing of mimeapps.list, byte for byte.

#include "core/desktop/desktop_entry.h"
#include "core/desktop/mimeapps.h"

#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zu {
namespace {

TEST(DesktopEntry, TheInstalledEntryIsTheOneRegistrationWritesForItsProgram) {
    EXPECT_EQ(desktopEntry("zu", "zu"),
              testing::readFile(std::string(ZU_SOURCE_DIR) + "/res/zu.desktop"));
}

TEST(DesktopEntry, ExecQuotesReservedCharactersAndDoublesPercentSigns) {
    const struct {
        std::string argument, written;
    } cases[] = {
        {"/usr/bin/zu", "/usr/bin/zu"},
        {"/home/u/my build/zu", "\"/home/u/my build/zu\""},
        {"/x/100%/zu", "/x/100%%/zu"},
        {"/x/a\"b/zu", "\"/x/a\\\\\"b/zu\""},
        // A backslash is escaped by the quoting and again as a string value.
        {"/x/a\\b/zu", "\"/x/a\\\\\\\\b/zu\""},
        {"/x/$HOME/zu", "\"/x/\\\\$HOME/zu\""},
        {"/x/~u/zu", "\"/x/~u/zu\""},
        {"/作業/zu", "/作業/zu"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(execArgument(c.argument), c.written) << c.argument;
}

TEST(DesktopEntry, TheProgramReadBackIsTheOneWritten) {
    for (const std::string program :
         {"/usr/bin/zu", "/home/u/my build/zu", "/x/100%/zu", "/x/a\"b'c/zu", "/x/a\\b/zu",
          "/x/`$(;&|<>)*?#/zu", "/作業 ﾌｫﾙﾀﾞ/zu", "zu"}) {
        const auto entry = desktopEntry(program, "zu");
        ASSERT_TRUE(entry) << program;
        EXPECT_EQ(entryProgram(*entry), program) << *entry;
    }
}

TEST(DesktopEntry, ProgramsThatNoEntryCanHoldAreRefused) {
    EXPECT_FALSE(desktopEntry("/x/two\nlines/zu", "zu"));
    EXPECT_FALSE(desktopEntry("/x/tab\t/zu", "zu"));
    EXPECT_FALSE(desktopEntry("/x/\x82\xa0/zu", "zu")) << "Shift_JIS bytes are not UTF-8";
    EXPECT_FALSE(desktopEntry("", "zu"));
}

TEST(DesktopEntry, OnlyTheEntryGroupsExecCounts) {
    EXPECT_EQ(entryProgram("[Desktop Entry]\nName=zu\nExec = /a/zu %F\n"), "/a/zu");
    EXPECT_EQ(entryProgram("[Desktop Action new]\nExec=/b/zu -n\n[Desktop Entry]\nExec=/a/zu\n"),
              "/a/zu");
    EXPECT_EQ(entryProgram("[Desktop Entry]\r\nExec=/a/zu\r\n"), "/a/zu");
    EXPECT_EQ(entryProgram("[Desktop Entry]\nTryExec=/a/zu\nName=zu\n"), std::nullopt);
    EXPECT_EQ(entryProgram(""), std::nullopt);
}

TEST(MimeApps, DefaultsAreReadFromTheirGroupOnly) {
    const std::string list = "[Added Associations]\ntext/html=a.desktop;\n"
                             "[Default Applications]\n# comment\n"
                             "text/html= b.desktop ; c.desktop;;\n"
                             "text/html=d.desktop;\n"
                             "[Default Applications]\ntext/plain=e.desktop;\n";
    EXPECT_EQ(defaultApplications(list, "text/html"),
              (std::vector<std::string>{"b.desktop", "c.desktop"}));
    // A second group of the same name is not read.
    EXPECT_TRUE(defaultApplications(list, "text/plain").empty());
    EXPECT_TRUE(defaultApplications("", "text/html").empty());
}

TEST(MimeApps, EditsChangeOneLineAndKeepEveryOtherByte) {
    const struct {
        const char* name;
        std::string before;
        bool set; // else remove
        std::string after;
    } cases[] = {
        {"MovesToTheFront", "[Default Applications]\ntext/html=a.desktop;zu.desktop;\n", true,
         "[Default Applications]\ntext/html=zu.desktop;a.desktop;\n"},
        {"KeepsCrLf", "[Default Applications]\r\ntext/html=a.desktop;\r\nx=y\r\n", true,
         "[Default Applications]\r\ntext/html=zu.desktop;a.desktop;\r\nx=y\r\n"},
        {"AfterTheLastEntryOfTheGroup", "[Default Applications]\nx=y\n\n\n[Other]\n", true,
         "[Default Applications]\nx=y\ntext/html=zu.desktop;\n\n\n[Other]\n"},
        {"GroupAtTheEndWithoutNewline", "[Default Applications]\nx=y", true,
         "[Default Applications]\nx=y\ntext/html=zu.desktop;\n"},
        {"IntoAnEmptyFile", "", true, "[Default Applications]\ntext/html=zu.desktop;\n"},
        {"RemovesOnlyZu", "[Default Applications]\ntext/html=a.desktop;zu.desktop;b.desktop;\n",
         false, "[Default Applications]\ntext/html=a.desktop;b.desktop;\n"},
        {"RemovingTheLastIdTakesTheLine", "[Default Applications]\ntext/html=zu.desktop;\nx=y",
         false, "[Default Applications]\nx=y"},
        {"NothingToRemove", "[Default Applications]\ntext/html=a.desktop;\n", false,
         "[Default Applications]\ntext/html=a.desktop;\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.set ? withDefaultApplication(c.before, "text/html", "zu.desktop")
                        : withoutDefaultApplication(c.before, "text/html", "zu.desktop"),
                  c.after);
    }
}

} // namespace
} // namespace zu
