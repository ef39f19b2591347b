// Writes the JIS tables that zu's EUC-JP and ISO-2022-JP share as C++
// source, asking glibc's iconv about every code, so that no mapping is ever
// typed by hand and the tables agree with the system's iconv.
//
// Usage: jis_gen <output.inc>
//
// A code is a JIS row/cell pair, each byte 0x21..0x7E, with 0x8000 added
// for JIS X 0212 (ISO-2022-JP's "ESC $ ( D", EUC-JP's 0x8F prefix). What a
// code reads as:
//  - whatever glibc's EUC-JP reads it as;
//  - where glibc's EUC-JP reads nothing: the NEC row 13 and the
//    NEC-selected IBM rows 89..92 as pages made on Windows store them (the
//    CP932 characters at the same JIS place, which is how CP51932 places
//    them), and the IBM extension of JIS X 0212 rows 83..84 as eucJP-ms
//    (glibc's EUC-JP-MS) stores it.
// What a character is written as:
//  - glibc's EUC-JP form where it has one; but the characters that Windows
//    and Linux input methods type where JIS has a near twin (U+FF5E for
//    U+301C...), which glibc's EUC-JP has no row 1-94 form for, take the
//    twin's code as eucJP-ms does;
//  - an extension character: its NEC row 13 form, else its IBM row 89..92
//    form, else its JIS X 0212 form.
//
// Fails (non-zero exit, nothing written) when iconv breaks an assumption:
// a code read as more than one character, outside the BMP, in the
// raw-byte range, a glibc form that does not read back as its character,
// or a character with more than two codes in one set.

#include "table_writer.h"

#include <iconv.h>

#include <array>
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
constexpr unsigned k0212 = 0x8000;

namespace gen = zu::gen;
using gen::hex;

[[noreturn]] void fail(const std::string& why) {
    gen::fail("jis_gen", why);
}

// iconv asked for the one character some bytes read as.
class Iconv : public gen::Iconv {
public:
    explicit Iconv(const char* name) : gen::Iconv(name, "jis_gen") {}
    std::optional<char32_t> decode(const std::string& bytes) {
        const auto chars = gen::Iconv::decode(bytes);
        if (!chars || chars->empty())
            return std::nullopt;
        if (chars->size() != 1)
            fail("bytes read as " + std::to_string(chars->size()) + " characters");
        return chars->front();
    }
};

// The code's EUC-JP bytes.
std::string eucBytes(unsigned code) {
    std::string bytes;
    if (code & k0212)
        bytes.push_back(char(0x8F));
    bytes.push_back(char((code >> 8 & 0x7F) | 0x80));
    bytes.push_back(char((code & 0x7F) | 0x80));
    return bytes;
}

// The CP932 bytes at a JIS X 0208 code's place (the arithmetic that maps
// Shift_JIS onto JIS rows).
std::string shiftJisBytes(unsigned code) {
    const unsigned row = code >> 8;
    const unsigned cell = code & 0xFF;
    const unsigned lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
    const unsigned trail = (row & 1) ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
    return {char(lead), char(trail)};
}

// The code of EUC-JP bytes of one JIS character, or nothing.
std::optional<unsigned> codeOfEuc(const std::string& bytes) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto jis = [](unsigned x) { return x >= 0xA1 && x <= 0xFE; };
    if (bytes.size() == 2 && jis(b(0)) && jis(b(1)))
        return (b(0) & 0x7F) << 8 | (b(1) & 0x7F);
    if (bytes.size() == 3 && b(0) == 0x8F && jis(b(1)) && jis(b(2)))
        return k0212 | (b(1) & 0x7F) << 8 | (b(2) & 0x7F);
    return std::nullopt;
}

bool isPrivateUse(char32_t ch) {
    return ch >= 0xE000 && ch <= 0xF8FF;
}

void checkChar(char32_t ch, unsigned code) {
    if (ch > 0xFFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        fail("code " + hex(code, 4) + " reads outside the BMP");
    if (ch < 0x80 || (ch >= kRawByteBase && ch <= kRawByteBase + 0xFF) || ch == 0x2029)
        fail("code " + hex(code, 4) + " reads as U+" + hex(ch, 4) + ", which the text cannot hold");
}

struct Tables {
    std::map<unsigned, char16_t> decode; // code -> character
    std::map<unsigned, char16_t> glibc;  // the codes glibc's EUC-JP reads
    std::vector<std::uint16_t> encode;   // 0x10000 entries, 0: none
    std::vector<unsigned> twins;         // default codes that read as another character
    std::vector<std::pair<std::uint16_t, char16_t>> variants; // non-default code, character
};

std::vector<unsigned> allCodes(unsigned plane, unsigned firstRow, unsigned lastRow) {
    std::vector<unsigned> codes;
    for (unsigned row = firstRow; row <= lastRow; ++row)
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell)
            codes.push_back(plane | row << 8 | cell);
    return codes;
}

void askDecodings(Iconv& euc, Iconv& eucMs, Iconv& cp932, Tables& t) {
    for (unsigned plane : {0u, k0212})
        for (unsigned code : allCodes(plane, 0x21, 0x7E))
            if (auto ch = euc.decode(eucBytes(code))) {
                checkChar(*ch, code);
                t.decode[code] = char16_t(*ch);
            }
    t.glibc = t.decode;
    const auto extend = [&](unsigned code, std::optional<char32_t> ch) {
        if (!ch || t.decode.count(code) || isPrivateUse(*ch))
            return;
        checkChar(*ch, code);
        t.decode[code] = char16_t(*ch);
    };
    for (unsigned code : allCodes(0, 0x2D, 0x2D))
        extend(code, cp932.decode(shiftJisBytes(code)));
    for (unsigned code : allCodes(0, 0x79, 0x7C))
        extend(code, cp932.decode(shiftJisBytes(code)));
    for (unsigned code : allCodes(k0212, 0x73, 0x74))
        extend(code, eucMs.decode(eucBytes(code)));
}

void askEncodings(Iconv& euc, Iconv& eucMs, Tables& t) {
    t.encode.assign(0x10000, 0);
    for (char32_t ch = 0x80; ch < 0x10000; ++ch) {
        if ((ch >= 0xD800 && ch <= 0xDFFF) || (ch >= 0xFF61 && ch <= 0xFF9F))
            continue; // half-width katakana take no JIS code: 0x8E or "ESC ( I"
        // One byte (glibc reads 0x80..0x9F as the C1 controls) is no JIS code.
        if (auto bytes = euc.encode(ch); bytes && bytes->size() > 1) {
            const auto code = codeOfEuc(*bytes);
            if (!code || t.decode[*code] != ch)
                fail("glibc writes U+" + hex(ch, 4) + " as bytes that do not read back as it");
            // A JIS X 0212 form loses to the JIS X 0208 twin that eucJP-ms
            // gives below; keep it only when there is none.
            t.encode[ch] = std::uint16_t(*code);
        }
        if (t.encode[ch] != 0 && !(t.encode[ch] & k0212))
            continue;
        if (isPrivateUse(ch))
            continue;
        if (auto bytes = eucMs.encode(ch)) {
            const auto code = codeOfEuc(*bytes);
            if (code && !(*code & k0212) && t.glibc.count(*code) && t.glibc[*code] != ch) {
                t.encode[ch] = std::uint16_t(*code);
                t.twins.push_back(*code);
            }
        }
    }
    // The extensions' characters that have no form yet: row 13 first, then
    // the IBM rows, then JIS X 0212 (the map is in code order, 0212 codes
    // last).
    std::map<char16_t, std::vector<unsigned>> byChar;
    for (auto [code, ch] : t.decode)
        byChar[ch].push_back(code);
    for (auto& [ch, codes] : byChar) {
        if (t.encode[ch] == 0)
            t.encode[ch] = std::uint16_t(codes.front());
        for (unsigned code : codes)
            if (code != t.encode[ch])
                t.variants.emplace_back(std::uint16_t(code), ch);
        // A form names a character's code in a set by one bit.
        for (unsigned plane : {0u, k0212}) {
            int inPlane = 0;
            for (unsigned code : codes)
                inPlane += (code & k0212) == plane;
            if (inPlane > 2)
                fail("U+" + hex(ch, 4) + " has more than two codes in one set");
        }
    }
}

std::string write(const Tables& t) {
    std::ostringstream o;
    const auto array16 = [&](const auto& values, std::size_t perLine) {
        gen::array16(o, values, perLine);
    };
    o << "// Generated by jis_gen from glibc iconv's EUC-JP, EUC-JP-MS and CP932.\n"
         "// Do not edit. Included by the JIS tables' implementation only.\n\n"
         "namespace zu::jis::tables {\n\n";

    for (unsigned plane : {0u, k0212}) {
        std::vector<std::uint16_t> grid(94 * 94);
        for (auto [code, ch] : t.decode)
            if ((code & k0212) == plane)
                grid[((code >> 8 & 0x7F) - 0x21) * 94 + ((code & 0x7F) - 0x21)] = ch;
        o << "// Character of each " << (plane ? "JIS X 0212" : "JIS X 0208 (and extension)")
          << " code, by (row - 0x21) * 94 + cell - 0x21; 0: none.\n"
          << "inline constexpr char16_t k" << (plane ? "0212" : "0208") << "[94 * 94] = {";
        array16(grid, 8);
        o << "\n};\n\n";
    }

    gen::encodeBlocks(o, t.encode,
                      "// Default code of each BMP character: "
                      "kEncode[kEncodeBlock[ch >> 8]][ch & 0xFF];\n"
                      "// 0: none.\n",
                      "jis_gen");
    gen::variantForms(o, t.variants,
                      "// Codes that read as a character whose default code is another, in\n"
                      "// character order.\n");
    o << "} // namespace zu::jis::tables\n";
    return o.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: jis_gen <output.inc>\n");
        return 2;
    }
    Iconv euc("EUC-JP");
    Iconv eucMs("EUC-JP-MS");
    Iconv cp932("CP932");
    Tables tables;
    askDecodings(euc, eucMs, cp932, tables);
    askEncodings(euc, eucMs, tables);
    const std::string text = write(tables);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "jis_gen: cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    std::fprintf(stderr, "jis_gen: %zu codes, %zu twins, %zu variant forms\n", tables.decode.size(),
                 tables.twins.size(), tables.variants.size());
    return 0;
}
