// Writes the CP932 code-page tables of zu_core as C++ source, asking glibc's
// iconv about every byte, every byte pair and every BMP character, so that no
// mapping is ever typed by hand and the tables agree with the system's iconv.
//
// Usage: cp932_gen <output.inc>
//
// Fails (non-zero exit, nothing written) when iconv's CP932 breaks an
// assumption the decoder is built on: a valid sequence outside the lead and
// trail ranges, a decoded character outside the BMP or inside the raw-byte
// range U+F780..U+F7FF, or an encoding that would not read back the same.

#include "table_writer.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char32_t kRawByteBase = 0xF700;

bool isAllowedLead(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isAllowedTrail(int b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

namespace gen = zu::gen;
using gen::hex;

[[noreturn]] void fail(const std::string& why) {
    gen::fail("cp932_gen", why);
}

using Iconv = gen::Iconv;

std::optional<char32_t> decodeOneChar(Iconv& iconv, const std::string& bytes) {
    auto chars = iconv.decode(bytes);
    if (!chars)
        return std::nullopt;
    if (chars->size() != 1)
        fail("bytes " + hex(static_cast<unsigned char>(bytes[0]), 2) + " decode to " +
             std::to_string(chars->size()) + " characters");
    return chars->front();
}

void checkDecodedChar(char32_t ch, unsigned code) {
    if (ch > 0xFFFF)
        fail("code " + hex(code, 2) + " decodes outside the BMP");
    if (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF)
        fail("code " + hex(code, 2) + " decodes into the raw-byte range");
    if (ch >= 0xD800 && ch <= 0xDFFF)
        fail("code " + hex(code, 2) + " decodes to a surrogate");
}

struct Tables {
    std::array<char16_t, 256> single{}; // raw-byte character for every invalid byte
    // Row of the double-byte table per lead byte; row 0 is empty and stands
    // for every byte that is not a lead, so a lookup needs no test first.
    std::array<unsigned char, 256> leadRow{};
    std::vector<std::array<char16_t, 256>> rows{1};
    std::vector<std::uint16_t> encode; // 0x10000 entries: 0 none, <0x100 one byte
    std::vector<std::pair<std::uint16_t, char16_t>> variants; // code, character
};

// code -> decoded character, for every valid sequence (single bytes as 0x00XX).
using Forms = std::map<unsigned, char32_t>;

Forms askDecodings(Iconv& iconv, Tables& t) {
    Forms forms;
    for (int b = 0; b < 0x100; ++b) {
        auto ch = decodeOneChar(iconv, std::string(1, char(b)));
        if (ch) {
            checkDecodedChar(*ch, unsigned(b));
            forms[unsigned(b)] = *ch;
        }
        t.single[b] = ch ? char16_t(*ch) : char16_t(kRawByteBase + b);
    }
    if (t.single[0] != 0)
        fail("byte 00 does not decode to U+0000");
    for (int lead = 0x80; lead < 0x100; ++lead) {
        std::array<char16_t, 256> row{};
        bool any = false;
        for (int trail = 0; trail < 0x100; ++trail) {
            // A valid single byte followed by another decodes to two
            // characters: that is not a pair.
            auto chars = iconv.decode(std::string{char(lead), char(trail)});
            if (!chars || chars->size() != 1)
                continue;
            auto ch = chars->begin();
            unsigned code = unsigned(lead) << 8 | unsigned(trail);
            if (!isAllowedLead(lead) || !isAllowedTrail(trail))
                fail("pair " + hex(code, 4) + " is valid outside the lead/trail ranges");
            if (forms.count(unsigned(lead)))
                fail("byte " + hex(unsigned(lead), 2) + " is both a character and a lead byte");
            checkDecodedChar(*ch, code);
            if (*ch == 0)
                fail("pair " + hex(code, 4) + " decodes to U+0000");
            row[trail] = char16_t(*ch);
            forms[code] = *ch;
            any = true;
        }
        if (any) {
            t.leadRow[lead] = static_cast<unsigned char>(t.rows.size());
            t.rows.push_back(row);
        }
    }
    return forms;
}

// Two-byte forms are held lead byte high; single bytes as themselves.
std::optional<std::uint16_t> asCode(const std::string& bytes) {
    if (bytes.size() == 1)
        return static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2)
        return std::uint16_t(static_cast<unsigned char>(bytes[0]) << 8 |
                             static_cast<unsigned char>(bytes[1]));
    return std::nullopt;
}

void askEncodings(Iconv& iconv, const Forms& forms, Tables& t) {
    t.encode.assign(0x10000, 0);
    for (char32_t ch = 0x80; ch < 0x10000; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF)
            continue;
        auto bytes = iconv.encode(ch);
        if (!bytes)
            continue;
        auto code = asCode(*bytes);
        if (!code)
            fail("U+" + hex(ch, 4) + " encodes to " + std::to_string(bytes->size()) + " bytes");
        if (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF)
            fail("U+" + hex(ch, 4) + " in the raw-byte range is encodable");
        t.encode[ch] = *code;
    }

    std::map<char32_t, std::vector<unsigned>> byChar;
    for (auto [code, ch] : forms)
        byChar[ch].push_back(code);
    for (auto& [ch, codes] : byChar) {
        if (ch < 0x80) {
            if (codes.size() != 1 || codes[0] != ch)
                fail("ASCII U+" + hex(ch, 4) + " has a form other than its own byte");
            continue;
        }
        std::uint16_t def = t.encode[ch];
        // Every decoded character must encode to one of its own forms, or
        // an unedited document could not be written back.
        bool own = false;
        for (unsigned c : codes)
            own = own || c == def;
        if (!own)
            fail("U+" + hex(ch, 4) + " decodes from " + hex(codes[0], 2) + " but encodes to " +
                 (def ? hex(def, 2) : std::string("nothing")));
        for (unsigned c : codes) {
            if (c == def)
                continue;
            if (c < 0x100)
                fail("single byte " + hex(c, 2) + " is a non-default form");
            t.variants.emplace_back(std::uint16_t(c), char16_t(ch));
        }
    }

    // Invalid bytes are kept as these reserved characters and written back.
    for (unsigned b = 0x80; b < 0x100; ++b)
        t.encode[kRawByteBase + b] = std::uint16_t(b);
}

std::string write(const Tables& t) {
    std::ostringstream o;
    const auto array16 = [&](const auto& values, std::size_t perLine) {
        gen::array16(o, values, perLine);
    };
    o << "// Generated by cp932_gen from glibc iconv's CP932. Do not edit.\n"
         "// Included by the code-page implementation only.\n\n"
         "namespace zu::cp932::tables {\n\n";

    o << "// Character of each single byte; invalid and lead bytes hold their raw-byte\n"
         "// character, which is also what a lead byte without a valid trail becomes.\n"
         "inline constexpr char16_t kSingle[256] = {";
    array16(t.single, 8);
    o << "\n};\n\n";

    o << "// Row of the double-byte table for each lead byte; 0 (an empty row) for\n"
         "// every other byte.\n"
         "inline constexpr unsigned char kLeadRow[256] = {";
    for (int i = 0; i < 256; ++i)
        o << (i % 16 == 0 ? "\n    " : " ") << int(t.leadRow[i]) << ",";
    o << "\n};\n\n";

    o << "inline constexpr std::size_t kRowCount = " << t.rows.size() << ";\n\n"
      << "// Character of the pair lead, trail: kDouble[kLeadRow[lead]][trail];\n"
         "// 0 where the pair is not valid.\n"
         "inline constexpr char16_t kDouble[kRowCount][256] = {";
    for (const auto& row : t.rows) {
        o << "\n  {";
        array16(row, 8);
        o << "\n  },";
    }
    o << "\n};\n\n";

    // The encode table: ASCII as itself.
    std::vector<std::uint16_t> encode = t.encode;
    for (unsigned c = 0; c < 0x80; ++c)
        encode[c] = std::uint16_t(c);
    gen::encodeBlocks(
        o, encode,
        "// Bytes of each BMP character: kEncode[kEncodeBlock[ch >> 8]][ch & 0xFF];\n"
        "// 0: not encodable (except U+0000), below 0x100: one byte, else lead << 8 | trail.\n"
        "// Where a character has several forms this is the default one.\n",
        "cp932_gen");
    gen::variantForms(
        o, t.variants,
        "// Double-byte forms that decode to a character whose default form differs.\n");
    o << "} // namespace zu::cp932::tables\n";
    return o.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cp932_gen <output.inc>\n");
        return 2;
    }
    Iconv iconv("CP932", "cp932_gen");
    Tables tables;
    Forms forms = askDecodings(iconv, tables);
    askEncodings(iconv, forms, tables);
    std::string text = write(tables);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "cp932_gen: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    std::fprintf(stderr, "cp932_gen: %zu lead bytes, %zu variant forms\n", tables.rows.size() - 1,
                 tables.variants.size());
    return 0;
}
