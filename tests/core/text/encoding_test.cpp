// Every encoding keeps every byte: files opened and saved unedited come back
// byte for byte, whatever they hold (byte-order marks, bytes that do not
// decode, mixed breaks, escapes out of place); text decodes as glibc's iconv
// reads it; what cannot be written, or would read back otherwise, is named.

#include "core/text/document_text.h"
#include "core/text/iconv_converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zu {
namespace {

using namespace std::string_literals;

// iconv's own writing of UTF-8 text, the reference. The texts used end in
// ASCII, so no shift back to ASCII is left to flush.
std::string viaIconv(const char* to, const std::string& utf8) {
    IconvConverter cd(to, "UTF-8");
    std::string out(utf8.size() * 4 + 16, '\0');
    const char* p = utf8.data();
    std::size_t left = utf8.size();
    char* o = out.data();
    std::size_t oLeft = out.size();
    EXPECT_NE(cd.convert(p, left, o, oLeft), static_cast<std::size_t>(-1)) << to;
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string resave(const DocumentText& doc) {
    const EncodedDocument saved =
        encodeDocument(doc.text, doc.form(), doc.variants, Unmappable::Report, doc.breaks);
    EXPECT_TRUE(saved.problems.empty()) << "an unedited text must save without a question";
    return saved.bytes;
}

struct Case {
    const char* name;
    const Encoding* encoding;
    std::string bytes;
};

TEST(Encoding, EveryFileSavesUneditedAsItWasRead) {
    const Encoding* utf8 = &utf8Encoding();
    const Encoding* le = &utf16LeEncoding();
    const Encoding* be = &utf16BeEncoding();
    const Encoding* euc = &eucJpEncoding();
    const Encoding* jis = &iso2022JpEncoding();
    const Case cases[] = {
        {"UTF-8 Japanese", utf8, "<p>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</p>\r\n"},
        {"UTF-8 with a mark", utf8, "\xEF\xBB\xBF<p>\xE3\x81\x82</p>\n"},
        {"UTF-8 mark alone", utf8, "\xEF\xBB\xBF"},
        {"UTF-8 a mark twice", utf8, "\xEF\xBB\xBF\xEF\xBB\xBFx"},
        {"UTF-8 four-byte character", utf8, "\xF0\x9F\x98\x80"},
        {"UTF-8 invalid bytes", utf8,
         "a\x80 \xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xF5 \xE3\x81\r\n\xE3\x81"},
        {"UTF-8 private use in the raw-byte range", utf8, "\xEF\x9C\x80\xEF\x9F\xBF\xEF\xA0\x80"},
        {"UTF-8 paragraph separator", utf8,
         "a\xE2\x80\xA9"
         "b\xE2\x80\xA8"},
        {"UTF-16BE paragraph separator", be, "\0\r\x20\x29\0\n"s},
        {"UTF-8 mixed breaks", utf8, "a\r\nb\nc\rd\r\n\xE3\x81\x82\r"},
        {"UTF-16LE with a mark", le, "\xFF\xFE<\0p\0>\0\x42\x30\r\0\n\0"s},
        {"UTF-16LE without a mark", le, "a\0\n\0\x42\x30"s},
        {"UTF-16LE mixed breaks", le, "\xFF\xFE\r\0\n\0\n\0\r\0x\0"s},
        {"UTF-16LE surrogate pair", le, "\xFF\xFE\x3D\xD8\x00\xDE"s},
        {"UTF-16LE lone surrogates", le, "\xFF\xFE\x00\xD8x\0\x00\xDC\x3D\xD8"s},
        {"UTF-16LE odd last byte", le, "\xFF\xFEx\0y"s},
        {"UTF-16BE with a mark", be, "\xFE\xFF\0<\0p\0>\x30\x42\0\r\0\n"s},
        {"EUC-JP Japanese", euc, "<p>\xC6\xFC\xCB\xDC\xB8\xEC</p>\r\n"},
        {"EUC-JP half-width kana and JIS X 0212", euc, "\x8E\xB1\x8E\xB2\x8F\xB0\xA1"},
        {"EUC-JP invalid bytes", euc, "\xFF\xA1\r\n\xA9\xA1\x8E\x20\x8F\xA1"},
        {"ISO-2022-JP Japanese", jis, "<p>\x1B$BF|K\\8l\x1B(B</p>\r\n"},
        {"ISO-2022-JP run per line", jis, "\x1B$B$\"\x1B(B\n\x1B$B$$\x1B(B\n"},
        {"ISO-2022-JP JIS-Roman", jis, "\x1B(Jabc\\\x1B(B"},
        {"ISO-2022-JP 1978 kanji", jis, "\x1B$@F|\x1B(B"},
        {"ISO-2022-JP run not closed", jis, "\x1B$BF|K\\"},
        {"ISO-2022-JP runs back to back", jis, "\x1B$BF|\x1B(B\x1B$BK\\\x1B(B"},
        {"ISO-2022-JP empty run", jis, "\x1B$B\x1B(Bx"},
        {"ISO-2022-JP unmapped pair", jis, "\x1B$B)!\x1B(B"},
        {"ISO-2022-JP eight-bit bytes", jis, "\x80\xA4\xFF\x1B"},
        {"CP932 raw bytes", &cp932Encoding(), "\x81\r\n\xED\x40\xFA\x5C\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentText doc = decodeDocument(c.bytes, *c.encoding);
        EXPECT_EQ(resave(doc), c.bytes);
    }
}

// Random bytes, heavy in what the decoders treat specially, must all come
// back: this is what makes every file safe to open and save.
TEST(Encoding, RandomBytesComeBackInEveryEncoding) {
    const std::string alphabet = "\x1B$B(J@ID\r\n\0\x21\x30\x7E\x42 a"
                                 "\x80\x8E\x8F\xA1\xA4\xC3\xD8\xDC\xE3\xED\xEF\xF0\xF4\xFE\xFF"s;
    std::mt19937 random(2022);
    for (const Encoding* encoding : encodings()) {
        SCOPED_TRACE(std::string(encoding->name()));
        for (int round = 0; round < 400; ++round) {
            std::string bytes(random() % 24, '\0');
            for (char& b : bytes)
                b = alphabet[random() % alphabet.size()];
            const DocumentText doc = decodeDocument(bytes, *encoding);
            const EncodedDocument saved =
                encodeDocument(doc.text, doc.form(), doc.variants, Unmappable::Report, doc.breaks);
            ASSERT_EQ(saved.bytes, bytes) << testing::PrintToString(bytes);
            ASSERT_TRUE(saved.problems.empty()) << testing::PrintToString(bytes);
        }
    }
}

TEST(Encoding, TextReadsAndWritesAsIconvDoesIt) {
    const std::string utf8 = "<h1>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x9A"
                             "\xE3\x83\xBC\xE3\x82\xB8</h1>\xEF\xBD\xB1\xE2\x80\x95";
    const std::u16string text = u"<h1>日本語のページ</h1>ｱ―";
    const char* const names[] = {"UTF-8", "UTF-16LE", "UTF-16BE", "EUC-JP"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const Encoding& encoding = *findEncoding(name);
        const std::string bytes = viaIconv(name, utf8);
        EXPECT_EQ(decodeDocument(bytes, encoding).text, text);
        EXPECT_EQ(encodeDocument(text, TextForm{&encoding}).bytes, bytes);
    }
    // ISO-2022-JP has no half-width kana; without them iconv writes the
    // escapes just where zu does.
    const std::u16string jisText = u"<h1>日本語のページ</h1>\n―x";
    const std::string jis =
        viaIconv("ISO-2022-JP", "<h1>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83"
                                "\x9A\xE3\x83\xBC\xE3\x82\xB8</h1>\n\xE2\x80\x95x");
    EXPECT_EQ(decodeDocument(jis, iso2022JpEncoding()).text, jisText);
    EXPECT_EQ(encodeDocument(jisText, TextForm{&iso2022JpEncoding(), false, LineBreak::Lf}).bytes,
              jis);
}

TEST(Encoding, BytesThatDoNotDecodeAreKeptAsRawByteCharacters) {
    struct Decode {
        const char* name;
        const Encoding* encoding;
        std::string bytes;
        std::u16string text;
        std::size_t rawBytes;
    };
    const Decode cases[] = {
        {"UTF-8 overlong", &utf8Encoding(), "\xC0\xAF", u"\uF7C0\uF7AF", 2},
        {"UTF-8 cut short", &utf8Encoding(), "a\xE3\x81", u"a\uF7E3\uF781", 2},
        // A character that is itself in the raw-byte range keeps its bytes.
        {"UTF-8 U+F700", &utf8Encoding(), "\xEF\x9C\x80x", u"\uF7EF\uF79C\uF780x", 3},
        // The text ends its lines with U+2029; one in the file is no break.
        {"UTF-8 U+2029", &utf8Encoding(), "\xE2\x80\xA9", u"\uF7E2\uF780\uF7A9", 3},
        {"UTF-16LE lone surrogate", &utf16LeEncoding(), "\x00\xD8x\0"s, u"\uF700\uF7D8x", 2},
        {"UTF-16BE odd byte", &utf16BeEncoding(), "\0xy"s, u"x\uF779", 1},
        {"EUC-JP lone lead", &eucJpEncoding(), "\xA4", u"\uF7A4", 1},
        {"ISO-2022-JP escape of another set", &iso2022JpEncoding(), "\x1B$Ax", u"\uF71B$Ax", 1},
        {"ISO-2022-JP closed run", &iso2022JpEncoding(), "\x1B$B$\"\x1B(B", u"あ", 0},
    };
    for (const Decode& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentText doc = decodeDocument(c.bytes, *c.encoding);
        EXPECT_EQ(doc.text, c.text);
        EXPECT_EQ(doc.rawBytes, c.rawBytes);
    }
    // A byte-order mark is no text: it is taken off and remembered.
    for (const Encoding* encoding : {&utf8Encoding(), &utf16LeEncoding(), &utf16BeEncoding()}) {
        const std::string mark(encoding->byteOrderMark());
        const DocumentText doc = decodeDocument(mark + mark, *encoding);
        EXPECT_EQ(doc.text, u"\uFEFF") << encoding->name();
        EXPECT_TRUE(doc.byteOrderMark);
    }
}

TEST(Encoding, NewBreaksTakeTheStyleInEveryEncoding) {
    const LineBreak kept[] = {LineBreak::Cr};
    struct Expect {
        const Encoding* encoding;
        std::string bytes;
    };
    const Expect cases[] = {
        {&utf8Encoding(), "a\rb\nc"},
        {&utf16LeEncoding(), "a\0\r\0b\0\n\0c\0"s},
        {&utf16BeEncoding(), "\0a\0\r\0b\0\n\0c"s},
        {&eucJpEncoding(), "a\rb\nc"},
        {&iso2022JpEncoding(), "a\rb\nc"},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(std::string(c.encoding->name()));
        EXPECT_EQ(encodeDocument(u"a\nb\u2029c", TextForm{c.encoding, false, LineBreak::Lf}, {},
                                 Unmappable::Report, kept)
                      .bytes,
                  c.bytes);
    }
    // A mark is written only when the form asks for one.
    EXPECT_EQ(encodeDocument(u"x", TextForm{&utf16BeEncoding(), true}).bytes, "\xFE\xFF\0x"s);
    EXPECT_EQ(encodeDocument(u"x", TextForm{&eucJpEncoding(), true}).bytes, "x");
}

TEST(Encoding, CharactersAnEncodingCannotHoldAreNamedOrWrittenAsReferences) {
    struct Expect {
        const Encoding* encoding;
        std::u16string text;
        std::vector<Unencodable> unencodable;
        std::string references;
    };
    const Expect cases[] = {
        {&eucJpEncoding(), u"a€b😀", {{1, U'€'}, {3, U'😀'}}, "a&#8364;b&#128512;"},
        {&iso2022JpEncoding(), u"é日€", {{0, U'é'}, {2, U'€'}}, "&#233;\x1B$BF|\x1B(B&#8364;"},
        {&utf8Encoding(), u"x\xD800y", {{1, 0xD800}}, "x&#55296;y"},
        {&utf16LeEncoding(), u"\xDC00", {{0, 0xDC00}}, "&\0#\0005\0006\0003\0002\0000\0;\0"s},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(std::string(c.encoding->name()));
        const EncodedDocument reported = encodeDocument(c.text, TextForm{c.encoding});
        std::vector<Unencodable> found;
        for (const SaveProblem& p : reported.problems) {
            EXPECT_EQ(p.kind, SaveProblem::Kind::Unencodable);
            found.push_back({p.index, p.ch});
        }
        EXPECT_EQ(found, c.unencodable);
        EXPECT_EQ(
            encodeDocument(c.text, TextForm{c.encoding}, {}, Unmappable::CharacterReference).bytes,
            c.references);
    }
}

TEST(Encoding, RawBytesThatWouldReadBackAsACharacterAreNamed) {
    struct Expect {
        const char* name;
        const Encoding* encoding;
        std::u16string text;
        std::size_t index;
        char32_t readsAs;
    };
    const Expect cases[] = {
        // Three bytes kept apart in the file, brought together by an edit.
        {"UTF-8 bytes of one character", &utf8Encoding(), u"x\n\uF7E3\uF781\uF782", 2, U'あ'},
        {"UTF-16 halves of a character", &utf16LeEncoding(), u"\uF742\uF730", 0, U'あ'},
        {"EUC-JP lead and trail", &eucJpEncoding(), u"\uF7A4\uF7A2", 0, U'あ'},
        // An escape typed as text switches the file to kanji.
        {"ISO-2022-JP escape typed", &iso2022JpEncoding(), u"a\x1B$B$\"\x1B(B", 1, U'あ'},
        {"CP932 lead byte and @", &cp932Encoding(), u"\uF781@", 0, U'\u3000'},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(c.name);
        const EncodedDocument e = encodeDocument(c.text, TextForm{c.encoding});
        ASSERT_EQ(e.problems.size(), 1u);
        EXPECT_EQ(e.problems[0].kind, SaveProblem::Kind::BytePair);
        EXPECT_EQ(e.problems[0].index, c.index);
        EXPECT_EQ(e.problems[0].readsAs, c.readsAs);
    }
    // Raw bytes that stay apart, and unencodable characters between them,
    // make no pair.
    EXPECT_TRUE(encodeDocument(u"\uF7E3x\uF781", TextForm{&utf8Encoding()}).problems.empty());
    const EncodedDocument skipped = encodeDocument(u"\uF7FF€\uF7FE", TextForm{&eucJpEncoding()});
    ASSERT_EQ(skipped.problems.size(), 1u);
    EXPECT_EQ(skipped.problems[0].kind, SaveProblem::Kind::Unencodable);
}

} // namespace
} // namespace zu
