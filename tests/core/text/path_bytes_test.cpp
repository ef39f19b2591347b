// Paths as text and back: every byte string survives, valid UTF-8 reads as
// its characters, and a Shift_JIS name is shown as the user wrote it.

#include "core/text/file_path.h"
#include "core/text/path_bytes.h"
#include "core/text/utf.h"

#include <gtest/gtest.h>

#include <random>

namespace zu {
namespace {

struct PathCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};

TEST(PathBytes, EveryPathComesBackByteForByte) {
    const PathCase cases[] = {
        {"ASCII", "/home/u/page.htm", u"/home/u/page.htm"},
        {"UTF-8 Japanese", "/tmp/\xe6\x97\xa5\xe6\x9c\xac.htm", u"/tmp/日本.htm"},
        {"four-byte UTF-8", "\xf0\x9f\x98\x80", u"😀"},
        {"Shift_JIS 日本", "\x93\xfa\x96\x7b.htm", u"\uF793\uF7FA\uF796{.htm"},
        {"lone continuation byte", "a\x80z", u"a\uF780z"},
        {"sequence cut at the end", "a\xe6\x97", u"a\uF7E6\uF797"},
        {"overlong slash", "\xc0\xaf", u"\uF7C0\uF7AF"},
        {"encoded surrogate", "\xed\xa0\x80", u"\uF7ED\uF7A0\uF780"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", u"\uF7F4\uF790\uF780\uF780"},
        // The escapes themselves, written as UTF-8, must not read as the
        // single bytes they stand for.
        {"escape character in UTF-8", "\xef\x9e\x93", u"\uF7EF\uF79E\uF793"},
        {"private use just outside", "\xef\x9d\xbf", u"\uF77F"},
        {"valid byte after an invalid one", "\xff\xe6\x97\xa5", u"\uF7FF日"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(pathToText(c.bytes), c.text) << c.name;
        EXPECT_EQ(textToPath(pathToText(c.bytes)), c.bytes) << c.name;
    }
}

TEST(PathBytes, RandomBytesSurviveTheRoundTrip) {
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& b : bytes) {
            // Mostly bytes that can take part in UTF-8 sequences.
            const unsigned kind = random() % 4;
            b = static_cast<char>(kind == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        const std::u16string text = pathToText(bytes);
        ASSERT_EQ(textToPath(text), bytes);
        ASSERT_EQ(pathToText(textToPath(text)), text);
    }
}

TEST(PathBytes, TextWithoutABytePathGivesItsUtf8) {
    EXPECT_EQ(textToPath(u"/a/日本"), "/a/\xe6\x97\xa5\xe6\x9c\xac");
    EXPECT_EQ(textToPath(u"x\xD800y"), "x\xef\xbf\xbdy") << "a lone surrogate";
}

TEST(PathBytes, ShiftJisNamesAreShownAsShiftJis) {
    const struct {
        const char* name;
        std::string bytes;
        std::u16string shown;
    } cases[] = {
        {"UTF-8 unchanged", "/tmp/\xe6\x97\xa5.htm", u"/tmp/日.htm"},
        // 表 ends in the byte of a backslash, 本 in the byte of "{".
        {"ASCII trail bytes", "/tmp/\x95\x5c\x96\x7b.htm", u"/tmp/表本.htm"},
        {"only the name that needs it", "/\xe6\x97\xa5/\x93\xfa/x", u"/日/日/x"},
        {"not Shift_JIS either", "/tmp/\xff\xfe.htm", u"/tmp/\uFFFD\uFFFD.htm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16ToUtf8(pathForDisplay(pathToText(c.bytes))), utf16ToUtf8(c.shown)) << c.name;
}

TEST(FilePath, NameAndFolderSplitAtTheLastSlashOfTheBytes) {
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
        const char* sibling; // with "x.htm" in place of the name
    } cases[] = {
        {"/home/u/page.htm", "page.htm", "/home/u/", "/home/u/x.htm"},
        {"/page.htm", "page.htm", "/", "/x.htm"},
        {"page.htm", "page.htm", "", "x.htm"},
        {"/home/u/", "", "/home/u/", "/home/u/x.htm"},
        // Shift_JIS 表 ends in 0x5C, which is no slash: the name stays whole.
        {"/\x95\x5c/\x93\xfa.htm", "\x93\xfa.htm", "/\x95\x5c/", "/\x95\x5c/x.htm"},
    };
    for (const Case& c : cases) {
        const FilePath path{std::string(c.path)};
        EXPECT_EQ(path.name(), c.name) << c.path;
        EXPECT_EQ(path.folder(), c.folder) << c.path;
        EXPECT_EQ(path.sibling("x.htm").bytes(), c.sibling) << c.path;
    }
}

} // namespace
} // namespace zu
