#pragma once
// The CP932 (Shift-JIS, Windows code page 932) code page, lossless in both
// directions for the bytes of a file:
//  - every byte sequence that glibc's iconv accepts as CP932 decodes to the
//    same character iconv gives;
//  - a byte that is not valid CP932 (0x80, 0xA0, 0xFD-0xFF, a lead byte
//    without a valid trail) decodes to a reserved private-use character,
//    U+F700 plus the byte value, and encodes back to that byte;
//  - where CP932 has two byte forms for one character (the NEC-selected and
//    IBM extension rows), the decoder reports the occurrences that used the
//    form the encoder does not pick by default, so that the caller can hand
//    them back to the encoder and get the file's own bytes.

#include "core/text/code_page.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu::cp932 {

// The shared types, under the names the code page has always used.
using zu::Decoded;
using zu::Encoded;
using zu::kRawByteBase;
using zu::LineBreakCounts;
using zu::Unencodable;
using zu::Unmappable;
using zu::Variant;

// A raw (invalid) byte of CP932: only 0x80..0xFF can be one.
inline constexpr bool isRawByte(char16_t c) {
    return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF;
}

// Never fails: every byte string has a decoding.
Decoded decode(std::string_view bytes);

// True if `code` is a byte form of `ch` other than the default one.
bool isVariantOf(char32_t ch, std::uint16_t code);

// `variants` must be in ascending index order; an entry whose code is not a
// form of the character at its index is ignored (the character was edited).
Encoded encode(std::u16string_view text, std::span<const Variant> variants = {},
               Unmappable policy = Unmappable::Report);

// decode, turning every line break of the bytes (CR LF, LF or CR alone) into
// one '\n' and noting which it was in `breaks`; variant indexes refer to the
// text so made. One pass, for opening large documents.
Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts);

// encode, writing every line break of the text ('\n', U+2029, a lone '\r',
// or a "\r\n" pair, which is one break): the k-th as breaks[k], and those
// past the end of `breaks` as `fallback`. Variant and unencodable indexes are
// positions in `text`.
Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks, LineBreak fallback,
                    std::span<const Variant> variants = {}, Unmappable policy = Unmappable::Report);

// Where a byte kept raw is written next to a byte that completes it, the file
// reads back as another character: the character `raw` (a raw lead byte) and
// the first byte of `nextCode` (a character's byte form, as codeOf gives it)
// make. 0 when they do not pair.
char16_t pairedReading(char16_t raw, std::uint16_t nextCode);
// The byte form encode writes for `c` (one byte, or lead byte in the high
// half); 0 when the code page cannot hold it.
std::uint16_t codeOf(char16_t c);

// The character of one byte, or of a lead and trail byte pair; a raw-byte
// character for a byte that reads as nothing alone, 0 for a pair that does
// not read as one character.
char16_t readSingle(unsigned char byte);
char16_t readPair(unsigned char lead, unsigned char trail);

// Length in bytes of the longest prefix of `bytes` that is at most `maxBytes`
// long and does not cut a double-byte character in two.
std::size_t fitBytes(std::string_view bytes, std::size_t maxBytes);

} // namespace zu::cp932
