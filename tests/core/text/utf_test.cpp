// UTF-8 <-> UTF-16: well-formed text converts exactly, ill-formed input turns
// into U+FFFD without swallowing the characters around it.

#include "core/text/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

using namespace std::string_literals;

TEST(Utf, WellFormedTextConvertsBothWays) {
    const std::u16string samples[] = {
        u"",
        u"plain <b>ASCII</b>\r\n",
        u"\u00E9\u07FF\u0800\u3042\uFFFD\uFFFF",
        u"\U00010000\U0001F600\U0010FFFF",
        u"\uF781 raw byte characters \uF7FF",
        u"\0nul"s,
    };
    for (const auto& text : samples) {
        const std::string utf8 = utf16ToUtf8(text);
        EXPECT_EQ(utf8ToUtf16(utf8), text);
    }
    EXPECT_EQ(utf16ToUtf8(u"\u00E9\u3042\U0001F600"), "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80");
}

TEST(Utf, IllFormedUtf8BecomesReplacementCharacters) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated at end", "a\xE3\x81", u"a\uFFFD"},
        {"truncated before ASCII", "\xE3\x81z", u"\uFFFDz"},
        {"truncated before lead", "\xE3\xE3\x81\x82", u"\uFFFD\u3042"},
        {"overlong two bytes", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"FE and FF", "\xFE\xFF", u"\uFFFD\uFFFD"},
        {"largest valid", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.name;
}

TEST(Utf, LoneSurrogatesBecomeReplacementCharacters) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {u"a\xD800", "a\xEF\xBF\xBD"},
        {u"\xDC00z", "\xEF\xBF\xBDz"},
        {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {u"\xD800\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << testing::PrintToString(c.utf8);
}

} // namespace
} // namespace zu
