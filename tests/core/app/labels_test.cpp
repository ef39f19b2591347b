// The labels the menus build at run time: recent files shortened to fit,
// and the Window menu's list of open windows.

#include "core/app/recent_files.h"
#include "core/app/window_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zu {
namespace {

TEST(ShortenedPath, FoldersLeaveFromTheMiddleUntilThePathFits) {
    const struct {
        const char* name;
        std::string path;
        std::size_t columns;
        std::string shown;
    } cases[] = {
        {"FitsAsItIs", "/home/u/site/index.htm", 22, "/home/u/site/index.htm"},
        {"OneFolderOut", "/home/taro/site/index.htm", 24, "/home/.../site/index.htm"},
        // "..." and its slash take more room than "u/" did.
        {"EllipsisLongerThanTheFolder", "/home/u/site/index.htm", 21, "/home/.../index.htm"},
        {"AsManyLastFoldersAsFit", "/home/taro/public_html/diary/2024/03/index.htm", 34,
         "/home/.../diary/2024/03/index.htm"},
        {"OnlyTheFirstAndTheName", "/home/taro/public_html/diary/index.htm", 20,
         "/home/.../index.htm"},
        // A long first folder goes too, before the name is shown alone.
        {"FirstFolderGoesLast", "/very-long-mount-point/a/b/index.htm", 20, "/.../a/b/index.htm"},
        {"NameAlone", "/home/taro/public_html/index.htm", 12, "index.htm"},
        {"NameLongerThanTheRoom", "/a/b/a-very-long-file-name.htm", 10,
         "a-very-long-file-name.htm"},
        // A wide character takes two columns, a half-width one one: 14
        // characters, 18 columns.
        {"WideCharactersCountTwice", "/日本語/ﾃｽﾄ/頁.htm", 17, "/.../ﾃｽﾄ/頁.htm"},
        {"WideCharactersFit", "/日本語/ﾃｽﾄ/頁.htm", 18, "/日本語/ﾃｽﾄ/頁.htm"},
        {"RelativeStaysRelative", "docs/site/pages/index.htm", 20, "docs/.../index.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(shortenedPath(c.path, c.columns), c.shown);
    }
}

TEST(ShortenedPath, EveryRecentFileLabelFitsWhenItsNameDoes) {
    const std::string path = "/home/hanako/ﾎｰﾑﾍﾟｰｼﾞ/日記/二〇二四年/三月/十五日/index.htm";
    EXPECT_GT(displayColumns(path), kRecentFileColumns);
    EXPECT_LE(displayColumns(shortenedPath(path)), kRecentFileColumns);
    EXPECT_EQ(shortenedPath(path).substr(0, 10), "/home/.../");
}

TEST(WindowList, TheFirstNineWithTheActiveOneAlwaysAmongThem) {
    const struct {
        std::size_t count;
        std::optional<std::size_t> active;
        std::vector<std::size_t> listed;
    } cases[] = {
        {0, std::nullopt, {}},
        {1, 0, {0}},
        {3, 2, {0, 1, 2}},
        {9, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {12, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {12, 10, {0, 1, 2, 3, 4, 5, 6, 7, 10}},
        {12, std::nullopt, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(listedWindows(c.count, c.active), c.listed);
    }
}

TEST(WindowList, LabelsAreNumberedAndShowTheCaptionAsItIs) {
    EXPECT_EQ(windowMenuLabel(0, "Zu1"), "&1 Zu1");
    EXPECT_EQ(windowMenuLabel(8, "R&D.htm:2"), "&9 R&&D.htm:2");
}

} // namespace
} // namespace zu
