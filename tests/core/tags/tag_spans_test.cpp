#include "core/tags/tag_spans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace zu {
namespace {

struct SpanCase {
    const char* name;
    std::u16string_view text;
    std::vector<TagSpan> spans;
};

TEST(TagSpans, ColourFromOpenUpToClose) {
    const SpanCase cases[] = {
        {"empty text", u"", {}},
        {"no delimiters", u"plain text", {}},
        {"paragraph: the '>' and the word keep their colour", u"<p>abc</p>", {{0, 2}, {6, 9}}},
        {"empty tag", u"<>", {{0, 1}}},
        {"adjacent tags", u"<a><b>", {{0, 2}, {3, 5}}},
        {"a second '<' belongs to the first tag", u"<<a>", {{0, 3}}},
        {"'<' without '>' leaves the line's rest", u"<i>x<y", {{0, 2}}},
        {"the next line carries on", u"a<b\n<c>", {{4, 6}}},
        {"'>' without '<'", u"a>b", {}},
        {"'>' in front of a tag is skipped", u"x>y<z>", {{3, 5}}},
        {"several stray '>' in front", u"a>b>c<d>", {{5, 7}}},
        {"stray '>' after a tag", u"<a>b>c<d>", {{0, 2}, {6, 8}}},
        {"a tag over two lines is not coloured", u"<a\nb>c<d>", {{6, 8}}},
        {"CR LF, CR, LF and paragraph breaks",
         u"<a>\r\n<b>\r<c>\n<d>\u2029<e>",
         {{0, 2}, {5, 7}, {9, 11}, {13, 15}, {17, 19}}},
        {"CR LF splits a tag", u"<a\r\nb>", {}},
        {"CR splits a tag", u"<a\rb>", {}},
        {"paragraph break splits a tag", u"<a\u2029b>", {}},
        {"text ends with a break", u"<a>\n", {{0, 2}}},
        {"empty lines between", u"\n\n<a>\r\n\r\n<b>", {{2, 4}, {9, 11}}},
        {"Japanese around tags", u"日本<b>語</b>です", {{2, 4}, {6, 9}}},
        {"a surrogate pair counts two", u"𠮷<i>𠮷</i>", {{2, 4}, {7, 10}}},
        {"full-width brackets are text", u"＜a＞<b>＜/b＞", {{3, 5}}},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tagSpans(c.text), c.spans);
    }
}

// Shapes that a search restarted from the wrong place would make quadratic.
// The sizes make that obvious without a timing assertion.
TEST(TagSpans, LongLinesAndManyTags) {
    constexpr std::size_t n = 200'000;

    std::u16string strayCloses(n, u'>');
    strayCloses += u"<a>";
    EXPECT_EQ(tagSpans(strayCloses), (std::vector<TagSpan>{{long{n}, long{n} + 2}}));

    std::u16string manyOpens(n, u'<');
    manyOpens += u'>';
    EXPECT_EQ(tagSpans(manyOpens), (std::vector<TagSpan>{{0, long{n}}}));

    std::u16string unclosed(n, u'<');
    EXPECT_TRUE(tagSpans(unclosed).empty());

    std::u16string document;
    for (std::size_t i = 0; i < n; ++i)
        document += (i % 10 == 9) ? u"<br>\r\n" : u"<b>x</b>";
    const std::vector<TagSpan> spans = tagSpans(document);
    EXPECT_EQ(spans.size(), n / 10 * 19);
    for (std::size_t i = 1; i < spans.size(); ++i)
        ASSERT_LT(spans[i - 1].end, spans[i].start) << i;
}

struct StretchCase {
    const char* name;
    std::u16string_view text;
    std::size_t from, to;
    std::optional<std::size_t> start, end;
};

TEST(TagSpans, TheStretchAnEditTouchesEndsAtAGreaterThanOrALineEnd) {
    const StretchCase cases[] = {
        {"inside a tag", u"a<b>c<d>e", 6, 7, 4, 8},
        {"right after a '>'", u"<b>xy", 3, 4, 3, std::nullopt},
        {"right in front of a '>'", u"<b>x<i>", 5, 6, 3, 7},
        {"bounded by LF", u"<a\n<b>x\n<c", 4, 5, 3, 6},
        {"bounded by CR LF, the line end outside", u"x\r\n<b\r\ny", 4, 5, 3, 5},
        {"bounded by CR and a paragraph end", u"x\r<b\u2029y", 3, 3, 2, 4},
        {"a deletion at a '>'", u"<a>b", 3, 3, 3, std::nullopt},
    };
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tagStretchStart(c.text, c.from), c.start);
        EXPECT_EQ(tagStretchEnd(c.text, c.to), c.end);
    }
}

// What recolouring only the stretch relies on: after any edit, the spans
// outside the stretch are those the text had before (moved by the edit),
// and those inside are what tagSpans finds in the stretch alone.
TEST(TagSpans, AnEditChangesNoSpanOutsideItsStretch) {
    std::mt19937 random(21);
    const char16_t letters[] = u"<<>>ab\n\r";
    const auto make = [&](std::size_t n) {
        std::u16string text;
        for (std::size_t i = 0; i < n; ++i)
            text += letters[random() % 8];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::u16string before = make(random() % 16);
        const std::size_t from = random() % (before.size() + 1);
        const std::size_t removed = std::min<std::size_t>(random() % 4, before.size() - from);
        const std::u16string inserted = make(random() % 4);
        std::u16string after = before;
        after.replace(from, removed, inserted);
        const std::size_t to = from + inserted.size();
        const long start = long(tagStretchStart(after, from).value_or(0));
        const long end = long(tagStretchEnd(after, to).value_or(after.size()));
        const long shift = long(inserted.size()) - long(removed);

        std::vector<TagSpan> expected;
        for (const TagSpan& s : tagSpans(before))
            if (s.end <= start)
                expected.push_back(s);
        for (TagSpan s : tagSpans(std::u16string_view(after).substr(start, end - start)))
            expected.push_back({s.start + start, s.end + start});
        for (const TagSpan& s : tagSpans(before))
            if (s.start >= end - shift && s.start >= long(from + removed))
                expected.push_back({s.start + shift, s.end + shift});
        ASSERT_EQ(tagSpans(after), expected)
            << "round " << round << ": " << std::string(before.begin(), before.end()) << " -> "
            << std::string(after.begin(), after.end());
    }
}

struct ColourCase {
    int tagColor;
    std::optional<Rgb> colour;
};

TEST(TagColour, ThreeColoursElseKeepTheViews) {
    const ColourCase cases[] = {
        {0, Rgb{192, 0, 0}}, {1, Rgb{0, 128, 0}}, {2, Rgb{0, 0, 255}},
        {3, std::nullopt},   {-1, std::nullopt},  {256, std::nullopt},
    };
    for (const ColourCase& c : cases)
        EXPECT_EQ(tagColour(c.tagColor), c.colour) << c.tagColor;
}

} // namespace
} // namespace zu
