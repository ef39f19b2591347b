// EUC-JP and ISO-2022-JP on the JIS tables: the bytes of each form against
// the literal character it reads as, the characters input methods type,
// every escape of ISO-2022-JP, and new text written in the file's own forms.

#include "core/text/document_text.h"
#include "core/text/iconv_converter.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

using namespace std::string_literals;

std::string resave(const DocumentText& doc) {
    return encodeDocument(doc.text, doc.form(), doc.variants, Unmappable::Report, doc.breaks).bytes;
}

std::string write(std::u16string_view text, const Encoding& encoding,
                  std::span<const Variant> variants = {}) {
    return encodeDocument(text, TextForm{&encoding, false, LineBreak::Lf}, variants).bytes;
}

// What glibc's ISO-2022-JP-2, which knows every escape but the NEC row,
// reads the bytes as; line breaks as '\n'.
std::u16string iconvReads(const std::string& bytes) {
    IconvConverter cd(kNativeUtf16, "ISO-2022-JP-2");
    std::u16string out(bytes.size() + 1, u'\0');
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* o = reinterpret_cast<char*>(out.data());
    std::size_t oLeft = out.size() * 2;
    EXPECT_NE(cd.convert(in, inLeft, o, oLeft), static_cast<std::size_t>(-1));
    out.resize(out.size() - oLeft / 2);
    std::erase(out, u'\r');
    return out;
}

TEST(Jis, EucJpFormsReadAsTheirCharacterAndWriteBack) {
    struct Row {
        std::string bytes;
        char16_t reads;
        bool isDefault; // what the character is written as when typed
    };
    const Row rows[] = {
        {"\xA1\xC1", u'\u301C', true},      {"\x8F\xA2\xB7", u'\uFF5E', false},
        {"\xA2\xCC", u'\u00AC', true},      {"\xA2\xE8", u'\u2235', true},
        {"\xAD\xA1", u'\u2460', true},      {"\xAD\xEA", u'\u3231', true},
        {"\xAD\xB5", u'\u2160', true},      {"\xAD\xFA", u'\u2235', false},
        {"\xAD\xE2", u'\u2116', false},     {"\x8F\xA2\xF1", u'\u2116', true},
        {"\xFC\xF1", u'\u2170', true},      {"\x8F\xF3\xF3", u'\u2170', false},
        {"\xFC\xFB", u'\uFFE2', false},     {"\xF9\xA1", u'\u7E8A', false},
        {"\x8F\xF4\xAB", u'\u3231', false}, {"\x8E\xB1", u'\uFF71', true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.bytes));
        const DocumentText doc = decodeDocument(r.bytes, eucJpEncoding());
        EXPECT_EQ(doc.text, std::u16string(1, r.reads));
        EXPECT_EQ(doc.rawBytes, 0u);
        EXPECT_EQ(doc.variants.empty(), r.isDefault);
        EXPECT_EQ(resave(doc), r.bytes);
        EXPECT_EQ(write(doc.text, eucJpEncoding()) == r.bytes, r.isDefault);
    }
    // Rows no JIS table fills stay raw.
    EXPECT_EQ(decodeDocument("\xA9\xA1 \xF5\xA1", eucJpEncoding()).rawBytes, 4u);
}

TEST(Jis, WhatInputMethodsTypeIsWrittenAsItsJisTwin) {
    struct Row {
        char16_t typed;
        std::string euc;
        std::string jis;
    };
    const Row rows[] = {
        {u'～', "\xA1\xC1", "\x1B$B!A\x1B(B"}, {u'∥', "\xA1\xC2", "\x1B$B!B\x1B(B"},
        {u'－', "\xA1\xDD", "\x1B$B!]\x1B(B"}, {u'￠', "\xA1\xF1", "\x1B$B!q\x1B(B"},
        {u'￡', "\xA1\xF2", "\x1B$B!r\x1B(B"}, {u'￢', "\xA2\xCC", "\x1B$B\"L\x1B(B"},
        {u'―', "\xA1\xBD", "\x1B$B!=\x1B(B"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.typed));
        const std::u16string text(1, r.typed);
        const EncodedDocument euc = encodeDocument(text, TextForm{&eucJpEncoding()});
        EXPECT_EQ(euc.bytes, r.euc);
        EXPECT_TRUE(euc.problems.empty());
        EXPECT_EQ(write(text, iso2022JpEncoding()), r.jis);
        // With a raw byte about, the twin is still no pair.
        EXPECT_TRUE(encodeDocument(text + u"\uF7FF", TextForm{&eucJpEncoding()}).problems.empty());
    }
    // A file that has its own form for one takes it for new ones too.
    DocumentText doc = decodeDocument("\x8F\xA2\xB7\xA1\xC1", eucJpEncoding());
    EXPECT_EQ(doc.text, u"～〜");
    EXPECT_EQ(write(doc.text + u"～", eucJpEncoding(), doc.variants),
              "\x8F\xA2\xB7\xA1\xC1\x8F\xA2\xB7");
}

TEST(Jis, EveryIso2022JpEscapeReadsAndWritesBack) {
    struct Row {
        const char* name;
        std::string bytes;
        std::u16string text;
        bool iconvReadsIt = true;
    };
    const Row rows[] = {
        {"JIS X 0208", "\x1B$B$3$s\x1B(B\r\n", u"こん\n"},
        {"JIS C 6226 and Roman", "\x1B$@$3$s\x1B(J\r\n", u"こん\n"},
        {"Roman's yen and overline", "\x1B(Ja\\~\x1B(B\\~", u"a¥‾\\~"},
        {"half-width katakana", "\x1B(I12_\x1B(B", u"ｱｲﾟ"},
        {"JIS X 0212", "\x1B$(D\"7\x1B(B", u"～"},
        {"NEC row 13", "\x1B$B-!-j\x1B(B", u"①㈱", false},
        {"NEC row 13 and JIS forms of one character", "\x1B$B-z\"h\x1B(B", u"∵∵", false},
        {"run across a line break", "\x1B$B$3\r\n$s\x1B(B", u"こ\nん"},
        {"space inside a run", "\x1B$B$3 $s\x1B(B", u"こ ん"},
        {"redundant escapes", "\x1B(B\x1B(Ba\x1B$B\x1B$B$3\x1B(B", u"aこ"},
        {"run left open", "a\x1B$B$3", u"aこ"},
        {"runs back to back", "\x1B$B$3\x1B(B\x1B$B$s\x1B(B", u"こん"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const DocumentText doc = decodeDocument(r.bytes, iso2022JpEncoding());
        EXPECT_EQ(doc.text, r.text);
        EXPECT_EQ(doc.rawBytes, 0u);
        if (r.iconvReadsIt) {
            EXPECT_EQ(iconvReads(r.bytes), r.text);
        }
        EXPECT_EQ(resave(doc), r.bytes);
    }
    // An escape that stands on an empty line belongs to no character: it is
    // kept raw, and the file still comes back.
    const std::string alone = "\x1B$B$3\x1B(B\r\n\x1B(B";
    const DocumentText doc = decodeDocument(alone, iso2022JpEncoding());
    EXPECT_EQ(doc.text, u"こ\n\uF71B\uF728\uF742");
    EXPECT_EQ(resave(doc), alone);
}

TEST(Jis, NewTextTakesTheFilesEscapes) {
    struct Row {
        const char* name;
        std::string file;
        std::u16string added;
        std::string saved;
    };
    const Row rows[] = {
        {"1978 kanji and Roman", "\x1B$@F|\x1B(J\n", u"本x~",
         "\x1B$@F|\x1B(J\n\x1B$@K\\\x1B(Jx\x1B(B~"},
        {"Roman kept over a new line", "\x1B(Ja b\x1B(B", u"\nc", "\x1B(Ja b\nc\x1B(B"},
        {"the usual escapes", "\x1B$BF|\x1B(B\n", u"本x", "\x1B$BF|\x1B(B\n\x1B$BK\\\x1B(Bx"},
        {"half-width katakana", "a\n", u"ｱ～", "a\n\x1B(I1\x1B$B!A\x1B(B"},
        {"JIS X 0212 in a file that has it", "\x1B$(D\"7\x1B(B\n", u"¦",
         "\x1B$(D\"7\x1B(B\n\x1B$(D\"C\x1B(B"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const DocumentText doc = decodeDocument(r.file, iso2022JpEncoding());
        EXPECT_EQ(write(doc.text + r.added, iso2022JpEncoding(), doc.variants), r.saved);
    }
    // A document switched from EUC-JP keeps EUC-JP's codes, which are no
    // escapes here.
    const DocumentText euc =
        decodeDocument("a\xF9\xA1\xAD\xFA\x8F\xF3\xF3\xFC\xFB", eucJpEncoding());
    EXPECT_EQ(euc.variants.size(), 4u);
    EXPECT_EQ(write(euc.text, iso2022JpEncoding(), euc.variants),
              write(euc.text, iso2022JpEncoding()));
    // Without JIS X 0212 in the file, a character only it has is not written.
    const EncodedDocument plain = encodeDocument(u"¦", TextForm{&iso2022JpEncoding()});
    ASSERT_EQ(plain.problems.size(), 1u);
    EXPECT_EQ(plain.problems[0].ch, U'¦');
}

} // namespace
} // namespace zu
