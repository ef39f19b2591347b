// A text handed to the control in pieces: all of it, in order, each piece
// within the size, ending at every join, never inside a surrogate pair.

#include "core/text/fill_pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zu {
namespace {

TEST(FillPieces, CoverTheTextEndAtJoinsAndKeepPairsWhole) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<std::size_t> joins;
        std::size_t size;
        std::vector<FillPiece> pieces;
    } cases[] = {
        {"empty", u"", {}, 4, {{0, 0, false}}},
        {"one piece", u"ab\ncd", {}, 8, {{0, 5, false}}},
        {"by size", u"abcdefghij", {}, 4, {{0, 4, false}, {4, 8, false}, {8, 10, false}}},
        {"at joins", u"abcdefgh", {3, 6}, 8, {{0, 3, true}, {3, 6, true}, {6, 8, false}}},
        {"joins and size", u"abcdefgh", {5}, 3, {{0, 3, false}, {3, 5, true}, {5, 8, false}}},
        {"pair kept whole",
         u"ab\U0001F600cd",
         {},
         3,
         {{0, 2, false}, {2, 5, false}, {5, 6, false}}},
        {"pair at a join", u"a\U0001F600bc", {3}, 2, {{0, 1, false}, {1, 3, true}, {3, 5, false}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillPieces(c.text, c.joins, c.size), c.pieces) << c.name;
}

} // namespace
} // namespace zu
