#pragma once
// The JIS character sets that EUC-JP and ISO-2022-JP share: JIS X 0208 with
// the extensions pages made on Windows carry (NEC row 13, the NEC-selected
// IBM rows 89..92), and JIS X 0212 with eucJP-ms's IBM rows. Generated from
// glibc's iconv at build time (tools/jis_gen.cpp); where glibc reads a code,
// it reads as glibc reads it.
//
// A code is the JIS row byte high and the cell byte low (each 0x21..0x7E),
// plus k0212 for JIS X 0212. Where a character has more than one code, the
// one encoders write by default is its default code and the others are
// variants, which a document remembers (Variant) so that a file is written
// back as it was.

#include <cstdint>

namespace zu::jis {

inline constexpr std::uint16_t k0212 = 0x8000;

inline constexpr bool isJisByte(unsigned b) {
    return b >= 0x21 && b <= 0x7E;
}
inline constexpr std::uint16_t code(unsigned row, unsigned cell, std::uint16_t plane = 0) {
    return static_cast<std::uint16_t>(plane | row << 8 | cell);
}

// The character `code` reads as; 0 when none (row and cell must be JIS bytes).
char16_t decode(std::uint16_t code);
// What a character is written as when nothing asks for another form; 0 when
// JIS has no place for it. For the characters input methods type in place
// of a JIS one (U+FF5E for U+301C, U+2225, U+FF0D, U+FFE0, U+FFE1, U+FFE2,
// U+2015), the code of that JIS character, which reads back as it.
std::uint16_t defaultCode(char16_t c);
// Whether `code` reads as a character whose default code is another.
bool isVariantCode(std::uint16_t code);
// `code` when it is one of c's codes, else 0.
inline std::uint16_t formOf(char16_t c, std::uint16_t code) {
    return code != 0 && (code == defaultCode(c) || (isVariantCode(code) && decode(code) == c))
               ? code
               : 0;
}
// c's codes in one plane (0 or k0212): the default first when it is in that
// plane, then the variant; 0 past the last.
std::uint16_t codeInPlane(char16_t c, std::uint16_t plane, unsigned which);
// What `c` reads back as once written in its default code: itself, except
// for the input methods' characters above.
char16_t readsBackAs(char16_t c);

} // namespace zu::jis
