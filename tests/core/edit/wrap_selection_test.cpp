#include "core/edit/wrap_selection.h"
#include "support/memory_buffer.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace zu {
namespace {

struct WrapCase {
    const char* name;
    std::string text;
    long anchor, caret; // the selection as the user made it
    std::string open, close;
    std::string expected;
    long expectedCaret;
};

// Tests are listed under their case name, not a dump of the case's bytes.
void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.name;
}

class WrapSelectionTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapSelectionTest, WrapsOnceAndLeavesCaretInFrontOfOpenText) {
    const WrapCase& c = GetParam();
    MemoryBuffer buffer(c.text);
    buffer.setSelection(c.anchor, c.caret);

    WrapSelection(buffer, c.open, c.close);

    EXPECT_EQ(buffer.text(), c.expected);
    EXPECT_EQ(buffer.selection(), (EditBuffer::Range{c.expectedCaret, c.expectedCaret}));
    EXPECT_EQ(buffer.caret(), c.expectedCaret);

    // One Undo restores the text as it was, whatever the wrap inserted.
    const bool changed = !c.open.empty() || !c.close.empty();
    EXPECT_EQ(buffer.canUndo(), changed);
    if (changed) {
        ASSERT_TRUE(buffer.undo());
        EXPECT_EQ(buffer.text(), MemoryBuffer(c.text).text());
        EXPECT_FALSE(buffer.canUndo());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapSelectionTest,
    ::testing::Values(
        WrapCase{"EmptySelection", "abc", 1, 1, "<b>", "</b>", "a<b></b>bc", 1},
        WrapCase{"ThreeCharactersFromTen", "0123456789XYZtail", 10, 13, "<i>", "</i>",
                 "0123456789<i>XYZ</i>tail", 10},
        WrapCase{"BackwardsSelection", "0123456789XYZtail", 13, 10, "<i>", "</i>",
                 "0123456789<i>XYZ</i>tail", 10},
        WrapCase{"EmptyTextsMoveCaretToStart", "hello world", 9, 6, "", "", "hello world", 6},
        WrapCase{"CloseWithLineBreakIsOneBreak", "x|y", 0, 1, "<p>", "</p>\r\n", "<p>x</p>\n|y", 0},
        WrapCase{"SelectionAcrossLines", "a\nb\nc", 0, 5, "<pre>", "</pre>", "<pre>a\nb\nc</pre>",
                 0},
        WrapCase{"JapaneseSelection", "日本語です", 0, 3, "<b>", "</b>", "<b>日本語</b>です", 0},
        WrapCase{"OnlyOpenText", "abc", 3, 0, "&#192;", "", "&#192;abc", 0},
        WrapCase{"AtEndOfText", "abc", 3, 3, "<br>", "\r\n", "abc<br>\n", 3}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

TEST(WrapSelection, WrapsASelectionOfAnyLengthWhole) {
    // No buffer limits what is wrapped: the whole selection ends up between
    // the texts, however long.
    const std::string body(100000, 'x');
    MemoryBuffer buffer("[" + body + "]");
    buffer.setSelection(1, 1 + static_cast<long>(body.size()));

    WrapSelection(buffer, "<pre>", "</pre>");

    EXPECT_EQ(buffer.text(), "[<pre>" + body + "</pre>]");
    EXPECT_EQ(buffer.selection(), (EditBuffer::Range{1, 1}));
    EXPECT_EQ(buffer.undoDepth(), 1u);
}

TEST(WrapSelection, KeepsColoursOfTheWrappedText) {
    // The wrapped characters are not retyped, so what the control knows of
    // them (here: a colour) survives the wrap.
    MemoryBuffer buffer("<a>");
    buffer.setSelection(0, 2);
    buffer.setSelectionColour({0, 0, 255});
    buffer.setSelection(0, 3);

    WrapSelection(buffer, "[", "]");

    EXPECT_EQ(buffer.text(), "[<a>]");
    EXPECT_EQ(buffer.colourAt(1), (Rgb{0, 0, 255}));
    EXPECT_EQ(buffer.colourAt(3), std::nullopt);
}

TEST(WrapSelection, MarksTheBufferModified) {
    MemoryBuffer buffer("abc");
    buffer.setModified(false);
    WrapSelection(buffer, "<b>", "</b>");
    EXPECT_TRUE(buffer.isModified());
}

} // namespace
} // namespace zu
