// A document's bytes to text and back: line-break styles, and files that
// must come back byte for byte.

#include "core/text/document_text.h"
#include "core/text/encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zu {
namespace {

using namespace std::string_literals;
using cp932::Unmappable;
using cp932::Variant;

TEST(DocumentText, DetectsLineBreakStyle) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
        LineBreak style;
        bool mixed;
    };
    const Case cases[] = {
        {"empty file", "", u"", LineBreak::CrLf, false},
        {"no break", "abc", u"abc", LineBreak::CrLf, false},
        {"CR LF", "a\r\nb\r\n", u"a\nb\n", LineBreak::CrLf, false},
        {"LF", "a\nb\n", u"a\nb\n", LineBreak::Lf, false},
        {"CR", "a\rb\r", u"a\nb\n", LineBreak::Cr, false},
        {"blank CR LF lines", "\r\n\r\n", u"\n\n", LineBreak::CrLf, false},
        {"blank CR lines", "\r\r\r", u"\n\n\n", LineBreak::Cr, false},
        {"LF then CR is two breaks", "\n\r", u"\n\n", LineBreak::Lf, true},
        {"more LF than CR LF", "a\r\nb\nc\n", u"a\nb\nc\n", LineBreak::Lf, true},
        {"more CR than LF", "a\rb\rc\n", u"a\nb\nc\n", LineBreak::Cr, true},
        {"tie CR LF and LF", "a\nb\r\n", u"a\nb\n", LineBreak::CrLf, true},
        {"tie CR LF and CR", "a\r\r\n", u"a\n\n", LineBreak::CrLf, true},
        {"tie LF and CR", "a\rb\n", u"a\nb\n", LineBreak::Lf, true},
        {"three-way tie", "\r\n\n\r", u"\n\n\n", LineBreak::CrLf, true},
        // A lead byte before a break stays raw; the break is still one.
        {"raw lead before CR LF", "\x81\r\n", u"\uF781\n", LineBreak::CrLf, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentText doc = decodeDocument(c.bytes);
        EXPECT_EQ(doc.text, c.text);
        EXPECT_EQ(doc.lineBreak, c.style);
        EXPECT_EQ(doc.mixedBreaks, c.mixed);
    }
}

TEST(DocumentText, KeepsEachBreakAsItWasAndWritesNewOnesInTheFallback) {
    using enum LineBreak;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<LineBreak> breaks;
    };
    const Case cases[] = {
        {"lone CR before CR LF", "a\r\r\nb\nc\rd\r\n", {Cr, CrLf, Lf, Cr, CrLf}},
        {"lone CR at the end", "a\n\r\nb\r", {Lf, CrLf, Cr}},
        {"LF then CR", "\n\r", {Lf, Cr}},
        {"no break", "abc", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentText doc = decodeDocument(c.bytes);
        EXPECT_EQ(doc.breaks, c.breaks);
        EXPECT_EQ(encodeDocument(doc.text, doc.lineBreak, {}, Unmappable::Report, doc.breaks).bytes,
                  c.bytes);
    }
    // Breaks past the list (a line the user added) take the fallback.
    const LineBreak first[] = {Cr};
    EXPECT_EQ(encodeDocument(u"1\n2\n3\n", Lf, {}, Unmappable::Report, first).bytes, "1\r2\n3\n");
}

TEST(DocumentText, NamesARawByteThatTheNextCharacterWouldComplete) {
    struct Case {
        const char* name;
        std::u16string text;
        std::size_t index; // of the raw byte; npos: nothing pairs
        char32_t readsAs;
        std::size_t line, column;
    };
    const std::size_t none = std::string::npos;
    const Case cases[] = {
        {"lead byte and @", u"x\n\uF781@", 2, U'\u3000', 2, 1},
        {"lead byte and a kana byte", u"\uF7E0\uFF71", 0, U'\u727E', 1, 1},
        {"two lead bytes pair up", u"\uF781\uF781", 0, U'\uFF1D', 1, 1},
        {"lead byte before a break", u"\uF781\n@", none, 0, 0, 0},
        {"lead byte at the end", u"ab\uF781", none, 0, 0, 0},
        {"a byte that is no lead", u"\uF7A0@", none, 0, 0, 0},
        {"lead byte before a control character", u"\uF781\t", none, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EncodedDocument e = encodeDocument(c.text, LineBreak::CrLf);
        if (c.index == none) {
            EXPECT_TRUE(e.problems.empty());
            continue;
        }
        ASSERT_EQ(e.problems.size(), 1u);
        EXPECT_EQ(e.problems[0].kind, SaveProblem::Kind::BytePair);
        EXPECT_EQ(e.problems[0].index, c.index);
        EXPECT_EQ(e.problems[0].readsAs, c.readsAs);
        EXPECT_EQ(e.problems[0].line, c.line);
        EXPECT_EQ(e.problems[0].column, c.column);
        // What the user is warned of is what reading the bytes gives.
        EXPECT_NE(decodeDocument(e.bytes).text.find(char16_t(c.readsAs)), std::u16string::npos);
    }
    // Once two bytes pair up, the byte after them starts afresh: three lead
    // bytes and "@" read back as two characters, not three.
    const EncodedDocument three = encodeDocument(u"\uF781\uF781\uF781@", LineBreak::CrLf);
    ASSERT_EQ(three.problems.size(), 2u);
    EXPECT_EQ(three.problems[0].index, 0u);
    EXPECT_EQ(three.problems[1].index, 2u);
    EXPECT_EQ(decodeDocument(three.bytes).text, u"\uFF1D\u3000");
}

// Line breaks end the block copying of ASCII runs wherever they fall.
TEST(DocumentText, BreaksAtEveryPositionInALine) {
    const std::string_view styles[] = {"\r\n", "\n", "\r"};
    for (std::size_t length = 0; length <= 40; ++length) {
        std::string line;
        for (std::size_t i = 0; i < length; ++i)
            line += char('!' + i % 90);
        const std::u16string lineText(line.begin(), line.end());
        for (std::string_view style : styles) {
            const std::string bytes = line + std::string(style) + line + "\x82\xA0";
            SCOPED_TRACE(testing::PrintToString(bytes));
            DocumentText doc = decodeDocument(bytes);
            EXPECT_EQ(doc.text, lineText + u"\n" + lineText + u"\u3042");
            EXPECT_EQ(encodeDocument(doc.text, doc.lineBreak).bytes, bytes);
        }
    }
}

TEST(DocumentText, VariantIndexesFollowTheNormalisedText) {
    DocumentText doc = decodeDocument("a\r\n\xED\x40\r\n\r\n\x87\x90"s);
    EXPECT_EQ(doc.text, u"a\n\u7E8A\n\n\u2252");
    EXPECT_EQ(doc.variants, (std::vector<Variant>{{2, 0xED40}, {5, 0x8790}}));
    EXPECT_EQ(doc.rawBytes, 0u);
    EXPECT_EQ(decodeDocument("\xFF\r\x80"s).rawBytes, 2u);
}

// What a text keeps when ranges are taken out of it (every tag removed):
// byte forms and break kinds of what stays move up to where it now stands;
// those inside a removed range go with it.
TEST(DocumentText, KeptTextMovesFormsAndBreaksOfWhatStays) {
    // The text was u"x<b>y\n<i>\nz": 0 'x', 1-3 "<b>", 4 'y', 5 a break,
    // 6-8 "<i>", 9 a break, 10 'z'.
    const std::vector<Variant> forms{{0, 0x8790}, {2, 0x8791}, {4, 0x8792}, {10, 0x8793}};
    const std::vector<long> breakAt{5, 9};
    const std::vector<LineBreak> kinds{LineBreak::Cr, LineBreak::Lf};
    const struct {
        std::vector<SourceRange> removed;
        std::u16string result;
        std::vector<std::size_t> formsAt;
        std::vector<LineBreak> breaks;
    } rows[] = {
        {{{1, 4}, {6, 9}}, u"xy\n\nz", {0, 1, 4}, {LineBreak::Cr, LineBreak::Lf}},
        {{{1, 4}, {5, 9}}, u"xy\nz", {0, 1, 3}, {LineBreak::Lf}},
        {{{0, 1}, {10, 11}}, u"<b>y\n<i>\n", {1, 3}, {LineBreak::Cr, LineBreak::Lf}},
    };
    const TextForm form{&cp932Encoding(), false, LineBreak::Lf};
    for (const auto& row : rows) {
        const DocumentText kept = keptText(row.result, row.removed, form, forms, breakAt, kinds);
        EXPECT_EQ(kept.text, row.result);
        std::vector<std::size_t> at;
        for (const Variant& v : kept.variants)
            at.push_back(v.index);
        EXPECT_EQ(at, row.formsAt) << kept.variants.size();
        EXPECT_EQ(kept.breaks, row.breaks);
        EXPECT_EQ(kept.lineBreak, LineBreak::Lf);
    }
}

TEST(DocumentText, WritesEveryBreakInTheGivenStyle) {
    // '\n', U+2029, "\r\n" and a lone '\r' are one break each.
    const std::u16string text = u"a\nb\u2029c\r\nd\re\r";
    struct Case {
        LineBreak style;
        std::string_view lineBreak;
        std::string bytes;
    };
    const Case cases[] = {
        {LineBreak::CrLf, "\r\n", "a\r\nb\r\nc\r\nd\r\ne\r\n"},
        {LineBreak::Lf, "\n", "a\nb\nc\nd\ne\n"},
        {LineBreak::Cr, "\r", "a\rb\rc\rd\re\r"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lineBreakBytes(c.style), c.lineBreak);
        EncodedDocument e = encodeDocument(text, c.style);
        EXPECT_EQ(e.bytes, c.bytes);
        EXPECT_TRUE(e.problems.empty());
    }
}

TEST(DocumentText, SaveVariantIndexesReferToTheGivenText) {
    // "\r\n" is two characters of the given text but one break.
    const std::u16string text = u"\r\n\u7E8A\u2029\u7E8A";
    const std::vector<Variant> variants{{2, 0xED40}, {4, 0xED40}};
    EXPECT_EQ(encodeDocument(text, LineBreak::Lf, variants).bytes, "\n\xED\x40\n\xED\x40");
    EXPECT_EQ(encodeDocument(text, LineBreak::CrLf, variants).bytes, "\r\n\xED\x40\r\n\xED\x40");
}

TEST(DocumentText, SaveProblemsGiveLineAndColumn) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<SaveProblem> problems; // ch, index, line, column
    };
    const Case cases[] = {
        {"first character", u"\u20AC", {{0x20AC, 0, 1, 1}}},
        {"after CR LF", u"ab\r\ncd\u20AC", {{0x20AC, 6, 2, 3}}},
        {"after each break kind",
         u"\n\u20AC\u2029\u20AC\r\u20AC",
         {{0x20AC, 1, 2, 1}, {0x20AC, 3, 3, 1}, {0x20AC, 5, 4, 1}}},
        {"surrogate pair is one column",
         u"\U0001F600\U0001F600\u20AC",
         {{0x1F600, 0, 1, 1}, {0x1F600, 2, 1, 2}, {0x20AC, 4, 1, 3}}},
        {"lone surrogates are a column each",
         u"\xD800\xD800\u20AC",
         {{0xD800, 0, 1, 1}, {0xD800, 1, 1, 2}, {0x20AC, 2, 1, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EncodedDocument e = encodeDocument(c.text, LineBreak::CrLf);
        ASSERT_EQ(e.problems.size(), c.problems.size());
        for (std::size_t i = 0; i < c.problems.size(); ++i) {
            EXPECT_EQ(e.problems[i].ch, c.problems[i].ch) << i;
            EXPECT_EQ(e.problems[i].index, c.problems[i].index) << i;
            EXPECT_EQ(e.problems[i].line, c.problems[i].line) << i;
            EXPECT_EQ(e.problems[i].column, c.problems[i].column) << i;
        }
        EncodedDocument referenced =
            encodeDocument(c.text, LineBreak::CrLf, {}, Unmappable::CharacterReference);
        EXPECT_TRUE(referenced.problems.empty());
        EXPECT_NE(referenced.bytes.find("&#"), std::string::npos);
    }
}

// Files that hold every hard case: Japanese text, invalid bytes, all forms
// of the duplicated characters, halfwidth katakana, and a lead byte at the
// very end.
std::string hardBody(std::string_view br) {
    std::string s = "<p>\x82\xA0\x82\xA2 \x80\xA0\xFD\xFE\xFF"s;
    s += br;
    s += "\xED\x40\xFA\x5C|\x81\xCA\xEE\xF9\xFA\x54|\x81\xE0\x87\x90"s;
    s += br;
    s += "\xB1\xB2\x81 \x85\x40</p>";
    s += br;
    s += br;
    s += "\x81";
    return s;
}

TEST(DocumentText, FilesWithOneBreakStyleRoundTrip) {
    struct Case {
        const char* name;
        std::string bytes;
        LineBreak style;
    };
    const Case cases[] = {
        {"empty", "", LineBreak::CrLf},
        {"no break", hardBody(""), LineBreak::CrLf},
        {"CR LF", hardBody("\r\n"), LineBreak::CrLf},
        {"LF", hardBody("\n"), LineBreak::Lf},
        {"CR", hardBody("\r"), LineBreak::Cr},
        {"lone lead only", "\x9F"s, LineBreak::CrLf},
        {"break first", "\r\n\xED\x40"s, LineBreak::CrLf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentText doc = decodeDocument(c.bytes);
        EXPECT_EQ(doc.lineBreak, c.style);
        EXPECT_FALSE(doc.mixedBreaks);
        EncodedDocument e = encodeDocument(doc.text, doc.lineBreak, doc.variants);
        EXPECT_EQ(e.bytes, c.bytes);
        EXPECT_TRUE(e.problems.empty());
    }
    EXPECT_EQ(decodeDocument(hardBody("\r\n")).variants.size(), 4u);
}

// Random buffers, heavy in high bytes and in breaks: saved with the breaks
// they were read with, they come back byte for byte; saved in the detected
// style alone, the text survives.
TEST(DocumentText, RandomFilesRoundTrip) {
    std::mt19937 random(2029);
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_int_distribution<int> high(0x80, 0xFF);
    std::uniform_int_distribution<int> low(0x20, 0x7F);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    const std::string_view styles[] = {"\r\n", "\n", "\r"};
    for (int round = 0; round < 3000; ++round) {
        // Half the buffers use one style, the others any break at random;
        // some are mostly ASCII with lines long enough for block copying.
        const bool oneStyle = round % 2 == 0;
        const std::string_view style = styles[round / 2 % 3];
        const bool longLines = round % 5 == 0;
        std::string bytes;
        for (std::size_t n = length(random); bytes.size() < n;) {
            const int k = kind(random);
            if (k < (longLines ? 3 : 50))
                bytes += char(high(random));
            else if (k < (longLines ? 6 : 65))
                bytes += oneStyle ? style : styles[k % 3];
            else
                bytes += char(low(random));
        }
        SCOPED_TRACE(testing::PrintToString(bytes));

        DocumentText doc = decodeDocument(bytes);
        const EncodedDocument kept =
            encodeDocument(doc.text, doc.lineBreak, doc.variants, Unmappable::Report, doc.breaks);
        ASSERT_TRUE(kept.problems.empty()) << "a file as read never pairs or loses a byte";
        ASSERT_EQ(kept.bytes, bytes);
        EncodedDocument e = encodeDocument(doc.text, doc.lineBreak, doc.variants);
        if (oneStyle) {
            ASSERT_FALSE(doc.mixedBreaks);
        }
        if (!doc.mixedBreaks) {
            ASSERT_EQ(e.bytes, bytes);
        }
        DocumentText again = decodeDocument(e.bytes);
        ASSERT_EQ(again.text, doc.text);
        ASSERT_EQ(again.variants, doc.variants);
        ASSERT_EQ(again.lineBreak, doc.lineBreak);
        ASSERT_FALSE(again.mixedBreaks);
    }
}

// Saving a large text encodes it a run of lines at a time: the pieces
// together are the bytes of the whole, the byte-order mark only in front,
// each break, byte form and problem where it stands in the whole text.
TEST(DocumentText, LinesEncodedInPiecesAreTheWholeTextsBytes) {
    struct Row {
        const char* encoding;
        bool byteOrderMark;
        std::u16string text;
        std::vector<LineBreak> breaks;
        std::vector<Variant> variants;
        std::string bytes; // with problems: their lines and columns
    } const rows[] = {
        {"Shift_JIS",
         false,
         u"a\u2029\u7E8A\u2029\u7E8Ab",
         {},
         {{4, 0xED40}},
         "a\r\n\xFA\x5C\r\n\xED\x40"
         "b"},
        {"UTF-8",
         true,
         u"x\u2029\U0001F600\u2029y",
         {LineBreak::Lf, LineBreak::Cr},
         {},
         "\xEF\xBB\xBFx\n\xF0\x9F\x98\x80\ry"},
        {"ISO-2022-JP",
         false,
         u"\u65E5\u2029\u672C\u2029a",
         {},
         {},
         "\x1B$BF|\x1B(B\r\n\x1B$BK\\\x1B(B\r\na"},
        {"Shift_JIS", false, u"a\u2029b\u2029c\u20AC\u2029\u20AC", {}, {}, "lines 3:2 4:1"},
    };
    for (const Row& row : rows) {
        const TextForm form{findEncoding(row.encoding), row.byteOrderMark, LineBreak::CrLf};
        PieceEncoder encoder(form, row.variants, row.breaks, Unmappable::Report);
        // A piece for every line: every place a piece can end is met.
        std::u16string_view rest = row.text;
        for (std::size_t end; (end = rest.find(u'\u2029')) != rest.npos;
             rest.remove_prefix(end + 1))
            encoder.add(rest.substr(0, end + 1));
        encoder.add(rest);
        std::string joined, lines = "lines";
        for (const std::string& piece : encoder.pieces)
            joined += piece;
        for (const SaveProblem& p : encoder.problems)
            lines += " " + std::to_string(p.line) + ":" + std::to_string(p.column);
        EXPECT_EQ(encoder.problems.empty() ? joined : lines, row.bytes) << row.encoding;
        const EncodedDocument whole =
            encodeDocument(row.text, form, row.variants, Unmappable::Report, row.breaks);
        EXPECT_EQ(joined, whole.bytes) << row.encoding;
        EXPECT_EQ(encoder.problems.size(), whole.problems.size()) << row.encoding;
    }
}

} // namespace
} // namespace zu
