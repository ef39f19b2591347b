#include "core/tags/tag_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zu {
namespace {

using enum TagRemoval::Outcome;

struct RemovalCase {
    const char* name;
    std::u16string_view text;
    TagRemoval::Outcome outcome;
    std::u16string_view result; // the new text when Removed
};

TEST(TagRemoval, DropsEveryTagOrNothing) {
    const RemovalCase cases[] = {
        {"text between tags stays", u"a<b>c</b>d", Removed, u"acd"},
        {"a lone tag leaves nothing", u"<html>", Removed, u""},
        {"empty tag", u"a<>b", Removed, u"ab"},
        {"a second '<' is inside the tag", u"<<a>b", Removed, u"b"},
        {"a stray '>' after the last tag stays", u"<a>x>y", Removed, u"x>y"},
        {"a stray '<' after the last tag stays", u"<a>x<y", Removed, u"x<y"},
        {"empty text", u"", Unchanged, u""},
        {"no delimiters", u"plain", Unchanged, u""},
        {"'<' without '>'", u"x<y", Unchanged, u""},
        {"'>' without '<'", u"x>y", Unchanged, u""},
        {"'>' before the first '<'", u"a>b<c>", Mismatched, u""},
        {"'>' before the next '<' after a tag", u"<a>x>y<b>", Mismatched, u""},
        {"full-width brackets are text", u"＜a＞<b>", Removed, u"＜a＞"},
        {"Japanese and every kind of break kept",
         u"<p>日本語\r\n</p>テキスト\u2029<br>𠮷\r<i>ｶﾅ</i>\n", Removed,
         u"日本語\r\nテキスト\u2029𠮷\rｶﾅ\n"},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TagRemoval removal = removeTags(c.text);
        EXPECT_EQ(removal.outcome, c.outcome);
        EXPECT_EQ(removal.text, c.result);
        // The ranges say the same as the text: each is one whole tag, and
        // deleting them all from the old text leaves the new one.
        std::u16string rest(c.text);
        for (auto tag = removal.tags.rbegin(); tag != removal.tags.rend(); ++tag) {
            ASSERT_LT(tag->start, tag->end);
            EXPECT_EQ(rest[tag->start], u'<');
            EXPECT_EQ(rest[tag->end - 1], u'>');
            rest.erase(tag->start, tag->end - tag->start);
        }
        EXPECT_EQ(rest, c.outcome == Removed ? c.result : c.text);
    }
    EXPECT_EQ(removeTags(u"a<b>c</b>d").tags, (std::vector<TagSpan>{{1, 4}, {5, 9}}));
    EXPECT_EQ(removeTags(u"<a\nb>x>y").tags, (std::vector<TagSpan>{{0, 5}}))
        << "a tag may run over a line break";
}

// Sizes at which a search restarted from the start of the text would be
// quadratic; no timing assertion, a slow run shows by itself.
TEST(TagRemoval, ManyTagsAndLongRuns) {
    constexpr std::size_t n = 200'000;

    std::u16string document;
    for (std::size_t i = 0; i < n; ++i)
        document += u"<b>x";
    const TagRemoval removal = removeTags(document);
    EXPECT_EQ(removal.outcome, Removed);
    EXPECT_EQ(removal.text, std::u16string(n, u'x'));

    std::u16string opens(n, u'<');
    opens += u">y";
    EXPECT_EQ(removeTags(opens).text, u"y");

    std::u16string late = document + u">";
    late += document;
    EXPECT_EQ(removeTags(late).outcome, Mismatched);
}

TEST(TagRemoval, ConfirmationFitsItsDialog) {
    for (const DialogButton& button : {kConfirmOk, kConfirmCancel}) {
        const DialogRect& r = button.rect;
        EXPECT_TRUE(r.x > 0 && r.y > 0 && r.x + r.width < 187 && r.y + r.height < 93)
            << button.text;
    }
    EXPECT_LE(kConfirmOk.rect.x + kConfirmOk.rect.width, kConfirmCancel.rect.x);
}

} // namespace
} // namespace zu
