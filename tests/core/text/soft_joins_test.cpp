// Where long lines are cut into pieces for the editing control, and how
// positions of the text and of the control correspond across the cuts.

#include "core/text/soft_joins.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zu {
namespace {

using Points = std::vector<std::size_t>;

TEST(SoftJoinPoints, CutWhereWordWrapWouldAndNeverInsideACharacter) {
    struct Case {
        const char* name;
        std::u16string line;
        std::size_t bound;
        Points points;
    };
    const Case cases[] = {
        {"no longer than the bound", u"abcdefgh", 8, {}},
        {"no blank: as late as possible", u"abcdefghi", 8, {8}},
        {"after a blank in the last half", u"abcde fghijk", 8, {6}},
        {"a blank in the first half is too early", u"ab cdefghijk", 8, {8}},
        {"after a tag's '>'", u"<p>x</p><p>y</p>", 10, {8}},
        {"after an ideographic space", u"日本語\u3000日本語日本", 6, {4}},
        {"every piece", u"aaa bbb ccc ddd eee", 8, {8, 16}},
        {"pieces of the bound", std::u16string(20, u'x'), 8, {8, 16}},
        {"not inside a surrogate pair", u"aaaaaaa\U0001F600b", 8, {7}},
        {"not before a voiced-sound mark", u"aaaaaaa\u304B\u3099b", 8, {7}},
        {"not before a combining accent", u"aaaaaaae\u0301b", 8, {7}},
        {"not next to a zero-width joiner", u"aaaaaa\u200Dxyz", 7, {5}},
        {"not before a variation selector", u"aaaaaaa\u845B\U000E0100x", 8, {7}},
        {"nor the last one", u"aaaaaaa\u845B\U000E01EFx", 8, {7}},
        {"before what follows them", u"aaaaaaa\u845B\U000E01F0x", 8, {8}},
        {"not before a skin tone", u"aaaaaaa\U0001F44B\U0001F3FBx", 9, {7}},
        {"nor the last one", u"aaaaaaa\U0001F44B\U0001F3FFx", 9, {7}},
        {"before what comes in front of them", u"aaaaaaa\U0001F44B\U0001F3FAx", 9, {9}},
        {"and after them", u"aaaaaaa\U0001F44B\U0001F400x", 9, {9}},
        {"marks alone still end in pieces", u"a" + std::u16string(10, u'\u0301'), 4, {4, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(softJoinPoints(c.line, c.bound), c.points);
    }
}

TEST(SoftJoinPoints, PiecesAreNeverEmptyNorLongerThanTheBound) {
    std::mt19937 random(7);
    const char16_t units[] = {u'a', u' ', u'>', 0xD83D, 0xDE00, 0x0301, u'日'};
    for (int round = 0; round < 300; ++round) {
        std::u16string line(random() % 400, u'a');
        for (char16_t& c : line)
            c = units[random() % std::size(units)];
        const std::size_t bound = 2 + random() % 40;
        const Points points = softJoinPoints(line, bound);
        std::size_t start = 0;
        for (std::size_t at : points) {
            EXPECT_GT(at, start);
            EXPECT_LE(at - start, bound);
            EXPECT_FALSE(line[at - 1] == 0xD83D && line[at] == 0xDE00) << "cut in a pair";
            start = at;
        }
        EXPECT_LE(line.size() - start, bound);
    }
}

TEST(SoftJoinPoints, OfATextOnlyItsLongLinesInSourcePositions) {
    // Lines end in '\n' or U+2029; the second line starts at 6.
    const std::u16string text = u"short\nxxxxxxxxxxxx\u2029yyyy\n" + std::u16string(7, u'z');
    EXPECT_EQ(softJoinPointsOfText(text, 5), (Points{11, 16, 29}));
    EXPECT_EQ(softJoinPointsOfText(u"", 5), Points{});
    EXPECT_EQ(softJoinPointsOfText(u"\n\n", 1), Points{});
}

// "abcdefghij" with joins in front of 'd' and 'h': the control holds
// "abc|defg|hij", a separator at 3 and at 8.
JoinMap sample() {
    return JoinMap::fromSourcePoints({3, 7});
}

TEST(JoinMap, MapsPositionsBothWays) {
    const JoinMap map = sample();
    EXPECT_EQ(map.starts(), (std::vector<long>{4, 9}));
    struct Case {
        long control, source;
    };
    const Case toSource[] = {{0, 0}, {2, 2}, {3, 3},  {4, 3},  {5, 4},
                             {8, 7}, {9, 7}, {11, 9}, {12, 10}};
    for (const Case& c : toSource)
        EXPECT_EQ(map.toSource(c.control), c.source) << "control " << c.control;

    struct Back {
        long source, before, after;
    };
    const Back toControl[] = {{0, 0, 0}, {2, 2, 2}, {3, 3, 4}, {4, 5, 5}, {7, 8, 9}, {10, 12, 12}};
    for (const Back& c : toControl) {
        EXPECT_EQ(map.toControl(c.source, JoinMap::Side::Before), c.before) << c.source;
        EXPECT_EQ(map.toControl(c.source, JoinMap::Side::After), c.after) << c.source;
    }
}

TEST(JoinMap, EveryPositionRoundTripsWithEmptyPiecesToo) {
    // Two joins at one source position leave an empty piece between them.
    for (const JoinMap& map : {JoinMap(), sample(), JoinMap::fromSourcePoints({0, 2, 2, 5})}) {
        const long sourceLength = 10;
        for (long s = 0; s <= sourceLength; ++s) {
            for (auto side : {JoinMap::Side::Before, JoinMap::Side::After})
                EXPECT_EQ(map.toSource(map.toControl(s, side)), s);
            EXPECT_LE(map.toControl(s, JoinMap::Side::Before),
                      map.toControl(s, JoinMap::Side::After));
        }
        const long controlLength = sourceLength + static_cast<long>(map.size());
        for (long c = 0; c <= controlLength; ++c) {
            const long s = map.toSource(c);
            EXPECT_LE(map.toControl(s, JoinMap::Side::Before), c);
            EXPECT_GE(map.toControl(s, JoinMap::Side::After), c);
        }
    }
}

TEST(JoinMap, SourceTextDropsOnlyTheJoinsSeparators) {
    const JoinMap map = sample();
    const std::u16string control = u"abc\u2029defg\u2029hij";
    EXPECT_EQ(map.sourceText(control), u"abcdefghij");
    // A stretch from control position 2 to 10: "c|defg|h".
    EXPECT_EQ(map.sourceText(std::u16string_view(control).substr(2, 8), 2), u"cdefgh");
    // From just after the first separator.
    EXPECT_EQ(map.sourceText(std::u16string_view(control).substr(4), 4), u"defghij");
    // A real break is text: with no joins, nothing goes.
    EXPECT_EQ(JoinMap().sourceText(u"a\u2029b"), u"a\u2029b");
}

} // namespace
} // namespace zu
