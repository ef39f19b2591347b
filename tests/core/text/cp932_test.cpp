// The code page against glibc's iconv, which is the reference: every byte,
// every byte pair and every BMP character is asked of both.

#include "core/text/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace zu::cp932 {
namespace {

using namespace std::string_literals;

// iconv between CP932 and char32_t, one call per question.
constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

class Reference {
public:
    Reference()
        : toUnicode_(iconv_open(kUtf32, "CP932")), fromUnicode_(iconv_open("CP932", kUtf32)) {}
    ~Reference() {
        if (ok()) {
            iconv_close(toUnicode_);
            iconv_close(fromUnicode_);
        }
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    bool ok() const {
        return toUnicode_ != reinterpret_cast<iconv_t>(-1) &&
               fromUnicode_ != reinterpret_cast<iconv_t>(-1);
    }

    // The characters of these bytes, or nothing when iconv rejects any of them.
    std::optional<std::u32string> decode(std::string bytes) {
        iconv(toUnicode_, nullptr, nullptr, nullptr, nullptr);
        std::u32string out(bytes.size() + 1, U'\0');
        char* ip = bytes.data();
        std::size_t il = bytes.size();
        char* op = reinterpret_cast<char*>(out.data());
        std::size_t ol = out.size() * 4;
        if (iconv(toUnicode_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
            return std::nullopt;
        out.resize(out.size() - ol / 4);
        return out;
    }

    std::optional<std::string> encode(char32_t ch) {
        iconv(fromUnicode_, nullptr, nullptr, nullptr, nullptr);
        char32_t in = ch;
        char out[16];
        char* ip = reinterpret_cast<char*>(&in);
        std::size_t il = 4;
        char* op = out;
        std::size_t ol = sizeof out;
        if (iconv(fromUnicode_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0)
            return std::nullopt;
        return std::string(out, op);
    }

private:
    iconv_t toUnicode_;
    iconv_t fromUnicode_;
};

class Cp932VsIconv : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(iconv_.ok()) << "iconv does not know CP932"; }

    // What one byte decodes to on its own: iconv's character, or the raw-byte
    // character when iconv rejects it.
    char16_t expectedSingle(unsigned char b) {
        auto chars = iconv_.decode(std::string(1, char(b)));
        return chars ? char16_t(chars->at(0)) : char16_t(kRawByteBase + b);
    }

    Reference iconv_;
};

std::string bytesOf(std::uint16_t code) {
    return {char(code >> 8), char(code & 0xFF)};
}

TEST_F(Cp932VsIconv, EverySingleByteDecodesAsIconvOrRaw) {
    for (unsigned b = 0; b < 0x100; ++b) {
        const std::string bytes(1, char(b));
        auto reference = iconv_.decode(bytes);
        Decoded d = decode(bytes);
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << b);
        ASSERT_EQ(d.text.size(), 1u);
        if (reference) {
            EXPECT_EQ(char32_t(d.text[0]), reference->at(0));
            EXPECT_EQ(d.rawBytes, 0u);
        } else {
            EXPECT_EQ(d.text[0], char16_t(kRawByteBase + b));
            EXPECT_TRUE(isRawByte(d.text[0]));
            EXPECT_EQ(d.rawBytes, 1u);
        }
        EXPECT_TRUE(d.variants.empty());
        EXPECT_EQ(encode(d.text).bytes, bytes);
    }
}

// Every pair with a high first byte: a pair iconv accepts is one character
// (with a variant noted exactly when iconv would write the character in
// another form); any other pair is its two bytes decoded one by one.
TEST_F(Cp932VsIconv, EveryBytePairDecodesAsIconvOrByteByByte) {
    std::size_t validPairs = 0;
    std::size_t variantPairs = 0;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            const auto code = std::uint16_t(lead << 8 | trail);
            const std::string bytes = bytesOf(code);
            auto reference = iconv_.decode(bytes);
            Decoded d = decode(bytes);
            SCOPED_TRACE(testing::Message() << "pair 0x" << std::hex << code);
            if (reference && reference->size() == 1) {
                ++validPairs;
                ASSERT_EQ(d.text.size(), 1u);
                EXPECT_EQ(char32_t(d.text[0]), reference->at(0));
                EXPECT_EQ(d.rawBytes, 0u);
                const bool isDefault = iconv_.encode(reference->at(0)) == bytes;
                if (isDefault) {
                    EXPECT_TRUE(d.variants.empty());
                } else {
                    ++variantPairs;
                    EXPECT_EQ(d.variants, (std::vector<Variant>{{0, code}}));
                }
                EXPECT_EQ(isVariantOf(reference->at(0), code), !isDefault);
            } else {
                const std::u16string expected{expectedSingle(char(lead)),
                                              expectedSingle(char(trail))};
                ASSERT_EQ(d.text, expected);
                EXPECT_TRUE(d.variants.empty());
                EXPECT_FALSE(isVariantOf(d.text[0], code));
            }
            EXPECT_EQ(encode(d.text, d.variants).bytes, bytes);
        }
    }
    // CP932 proper: 7,915 characters in the JIS rows plus NEC and IBM
    // extensions and 1,880 user-defined codes; a broken iconv or a table cut
    // short would show here first.
    EXPECT_GT(validPairs, 9000u);
    EXPECT_GT(variantPairs, 300u);
}

TEST_F(Cp932VsIconv, EveryBmpCharacterEncodesAsIconv) {
    std::size_t encodable = 0;
    for (char32_t ch = 0; ch < 0x10000; ++ch) {
        if ((ch >= 0xD800 && ch <= 0xDFFF) || isRawByte(char16_t(ch)))
            continue;
        const std::u16string text(1, char16_t(ch));
        auto reference = iconv_.encode(ch);
        Encoded e = encode(text);
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << unsigned(ch));
        if (reference) {
            ++encodable;
            EXPECT_EQ(e.bytes, *reference);
            EXPECT_TRUE(e.unencodable.empty());
        } else {
            EXPECT_EQ(e.bytes, "");
            EXPECT_EQ(e.unencodable, (std::vector<Unencodable>{{0, ch}}));
        }
    }
    EXPECT_GT(encodable, 9000u);
}

TEST(Cp932, RawByteCharactersEncodeToTheirByte) {
    for (unsigned b = 0x80; b < 0x100; ++b) {
        const std::u16string text(1, char16_t(kRawByteBase + b));
        Encoded e = encode(text);
        EXPECT_EQ(e.bytes, std::string(1, char(b))) << std::hex << b;
        EXPECT_TRUE(e.unencodable.empty());
    }
    // Only 0x80..0xFF are raw bytes; the rest of the block is ordinary
    // private use that CP932 cannot hold.
    EXPECT_FALSE(isRawByte(char16_t(kRawByteBase + 0x7F)));
    EXPECT_EQ(encode(u"\uF77F").unencodable, (std::vector<Unencodable>{{0, 0xF77F}}));
}

TEST(Cp932, InvalidBytesBecomeRawCharacters) {
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string text;
        std::size_t raw;
    };
    const Case cases[] = {
        {"never valid", "\x80\xA0\xFD\xFE\xFF"s, u"\uF780\uF7A0\uF7FD\uF7FE\uF7FF", 5},
        {"lead at end", "a\x81"s, u"a\uF781", 1},
        {"lead before ASCII", "\x81\x20x"s, u"\uF781 x", 1},
        {"trail 0x7F", "\x81\x7F"s, u"\uF781\x7F", 1},
        {"unassigned row", "\x85\x40"s, u"\uF785@", 1},
        // The byte after a failed lead starts afresh, here as a lead itself.
        {"lead before pair", "\x81\x0A\x82\xA0"s, u"\uF781\n\u3042", 1},
        {"lead before raw", "\x9F\xFD"s, u"\uF79F\uF7FD", 2},
        {"two leads at end", "\xFC\xFC"s, u"\uF7FC\uF7FC", 2},
        {"halfwidth katakana", "\xA1\xDF"s, u"\uFF61\uFF9F", 0},
        {"user-defined area", "\xF0\x40\xF9\xFC"s, u"\uE000\uE757", 0},
        {"NUL", "\0a"s, u"\0a"s, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = decode(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.rawBytes, c.raw);
        EXPECT_EQ(encode(d.text, d.variants).bytes, c.bytes);
    }
}

// Characters with several byte forms: the decoder notes every form but the
// default, and the encoder writes the noted form back.
TEST(Cp932, DuplicatedCharactersKeepTheirForm) {
    struct Case {
        std::u16string ch;
        std::vector<std::uint16_t> variantForms;
        std::uint16_t defaultForm;
    };
    const Case cases[] = {
        {u"\u7E8A", {0xED40}, 0xFA5C},         // NEC-selected IBM vs IBM extension
        {u"\uFFE2", {0xEEF9, 0xFA54}, 0x81CA}, // JIS, NEC-selected and IBM: three forms
        {u"\u2252", {0x8790}, 0x81E0},         // NEC row 13 vs JIS
        {u"\u2160", {0xFA4A}, 0x8754},         // Roman numeral one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << unsigned(c.ch[0]));
        EXPECT_EQ(encode(c.ch).bytes, bytesOf(c.defaultForm));
        EXPECT_FALSE(isVariantOf(c.ch[0], c.defaultForm));

        std::string bytes = "<" + bytesOf(c.defaultForm);
        std::vector<Variant> expected;
        for (std::size_t k = 0; k < c.variantForms.size(); ++k) {
            EXPECT_TRUE(isVariantOf(c.ch[0], c.variantForms[k]));
            // Characters: '<', the default form, then a form and an 'x' each.
            expected.push_back({2 + 2 * k, c.variantForms[k]});
            bytes += bytesOf(c.variantForms[k]) + "x";
        }
        Decoded d = decode(bytes);
        EXPECT_EQ(d.text.size(), 2 + 2 * c.variantForms.size());
        EXPECT_EQ(d.variants, expected);
        EXPECT_EQ(encode(d.text, d.variants).bytes, bytes);
        // Without the variants every occurrence takes the default form.
        std::string defaults = "<" + bytesOf(c.defaultForm);
        for (std::size_t i = 0; i < c.variantForms.size(); ++i)
            defaults += bytesOf(c.defaultForm) + "x";
        EXPECT_EQ(encode(d.text).bytes, defaults);
    }
}

TEST(Cp932, VariantThatNoLongerFitsItsCharacterIsIgnored) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<Variant> variants;
        std::string bytes;
    };
    const Case cases[] = {
        {"character edited", u"\u2252", {{0, 0xED40}}, "\x81\xE0"},
        {"points at ASCII", u"a\u7E8A", {{0, 0xED40}}, "a\xFA\x5C"},
        {"past the end", u"\u7E8A", {{1, 0xED40}}, "\xFA\x5C"},
        {"default form given", u"\u7E8A", {{0, 0xFA5C}}, "\xFA\x5C"},
        {"not a code", u"\u7E8A", {{0, 0x0041}}, "\xFA\x5C"},
        {"stale then valid", u"\u2252\u7E8A", {{0, 0xED40}, {1, 0xED40}}, "\x81\xE0\xED\x40"},
        {"skipped over ASCII", u"ab\u2252", {{0, 0x8790}, {2, 0x8790}}, "ab\x87\x90"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encode(c.text, c.variants).bytes, c.bytes);
    }
    EXPECT_FALSE(isVariantOf(U'\U0001F600', 0xED40));
    EXPECT_FALSE(isVariantOf(U'\u2252', 0xED40));
}

TEST(Cp932, UnencodableCharactersUnderBothPolicies) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<Unencodable> reported;
        std::string withoutThem;
        std::string asReferences;
    };
    const Case cases[] = {
        {"euro", u"a\u20ACb", {{1, 0x20AC}}, "ab", "a&#8364;b"},
        {"emoji is one character", u"\U0001F600.", {{0, 0x1F600}}, ".", "&#128512;."},
        {"highest code point", u"\U0010FFFF", {{0, 0x10FFFF}}, "", "&#1114111;"},
        {"lone high surrogate", u"x\xD83D", {{1, 0xD83D}}, "x", "x&#55357;"},
        {"lone low surrogate", u"\xDE00x", {{0, 0xDE00}}, "x", "&#56832;x"},
        {"pair reversed", u"\xDE00\xD83D", {{0, 0xDE00}, {1, 0xD83D}}, "", "&#56832;&#55357;"},
        {"paragraph separator", u"a\u2029", {{1, 0x2029}}, "a", "a&#8233;"},
        {"between Japanese",
         u"\u3042\u00E9\u3044",
         {{1, 0xE9}},
         "\x82\xA0\x82\xA2",
         "\x82\xA0&#233;\x82\xA2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Encoded reported = encode(c.text, {}, Unmappable::Report);
        EXPECT_EQ(reported.bytes, c.withoutThem);
        EXPECT_EQ(reported.unencodable, c.reported);
        Encoded referenced = encode(c.text, {}, Unmappable::CharacterReference);
        EXPECT_EQ(referenced.bytes, c.asReferences);
        EXPECT_TRUE(referenced.unencodable.empty());
    }
}

// References are longer than any character the output was sized for.
TEST(Cp932, ManyReferencesInARowGrowTheOutput) {
    std::u16string text;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        text += i % 3 == 0 ? u"\U0001F600" : i % 3 == 1 ? u"\xD800" : u"\u3042";
        expected += i % 3 == 0 ? "&#128512;" : i % 3 == 1 ? "&#55296;" : "\x82\xA0";
    }
    EXPECT_EQ(encode(text, {}, Unmappable::CharacterReference).bytes, expected);
}

TEST(Cp932, FitBytesCutsOnlyBetweenCharacters) {
    struct Case {
        std::string bytes;
        std::size_t maxBytes;
        std::size_t fit;
    };
    const Case cases[] = {
        {"", 5, 0},
        {"abc", 3, 3},
        {"abc", 2, 2},
        {"\x82\xA0\x82\xA2", 3, 2},
        {"\x82\xA0\x82\xA2", 1, 0},
        {"a\x82\xA0", 2, 1},
        // 0x81 is a trail here, not the lead of a pair starting at byte 1.
        {"\x82\x81\x81\x40", 3, 2},
        {"\x82\x81\x81\x40", 2, 2},
        // A raw lead byte is a character of one byte.
        {"\x81x\x82\xA0", 2, 2},
        {"\xFF\x81\x40", 1, 1},
        {"\xA1\xA2\xA3", 2, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitBytes(c.bytes, c.maxBytes), c.fit)
            << testing::PrintToString(c.bytes) << " in " << c.maxBytes;
}

// Whatever the limit, the prefix decodes to a prefix of the characters, and
// the next character would not have fitted.
TEST(Cp932, FitBytesIsTheLongestWholePrefix) {
    std::mt19937 random(932);
    std::uniform_int_distribution<int> byte(0x40, 0xFF);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(40, '\0');
        for (auto& b : bytes)
            b = char(byte(random));
        const std::u16string whole = decode(bytes).text;
        for (std::size_t max = 0; max <= bytes.size(); ++max) {
            const std::size_t fit = fitBytes(bytes, max);
            ASSERT_LE(fit, max);
            const std::u16string part = decode(bytes.substr(0, fit)).text;
            ASSERT_EQ(part, whole.substr(0, part.size())) << testing::PrintToString(bytes);
            if (fit < max) {
                const std::size_t next = encode(whole.substr(part.size(), 1)).bytes.size();
                ASSERT_GT(fit + next, max) << testing::PrintToString(bytes);
            }
        }
    }
}

// ASCII is converted in blocks; a run may end anywhere in a block, on any
// kind of character, and in either direction.
TEST(Cp932, AsciiRunsOfEveryLengthEndCleanly) {
    struct Ending {
        std::string bytes;
        std::u16string text;
    };
    const Ending endings[] = {
        {"\x82\xA0z", u"\u3042z"}, {"\x80z", u"\uF780z"}, {"\xB1z", u"\uFF71z"}, {"", u""}};
    for (std::size_t length = 0; length <= 40; ++length) {
        std::string ascii;
        for (std::size_t i = 0; i < length; ++i)
            ascii += char('!' + i % 90);
        const std::u16string asciiText(ascii.begin(), ascii.end());
        for (const auto& ending : endings) {
            SCOPED_TRACE(testing::PrintToString(ascii + ending.bytes));
            EXPECT_EQ(decode(ascii + ending.bytes).text, asciiText + ending.text);
            EXPECT_EQ(encode(asciiText + ending.text).bytes, ascii + ending.bytes);
        }
    }
}

// Any bytes at all come back unchanged. The generator leans towards the lead
// and trail ranges where the hard cases are, and every fourth buffer towards
// long ASCII runs.
TEST(Cp932, RandomBytesRoundTrip) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> kind(0, 19);
    std::uniform_int_distribution<int> high(0x80, 0xFF);
    std::uniform_int_distribution<int> low(0x00, 0x7F);
    std::uniform_int_distribution<std::size_t> length(0, 400);
    for (int round = 0; round < 3000; ++round) {
        const int highShare = round % 4 == 0 ? 1 : 12; // in twentieths
        std::string bytes(length(random), '\0');
        for (auto& b : bytes)
            b = char(kind(random) < highShare ? high(random) : low(random));
        Decoded d = decode(bytes);
        ASSERT_EQ(encode(d.text, d.variants).bytes, bytes) << testing::PrintToString(bytes);
        ASSERT_TRUE(std::is_sorted(d.variants.begin(), d.variants.end(),
                                   [](auto& a, auto& b) { return a.index < b.index; }));
    }
}

} // namespace
} // namespace zu::cp932
