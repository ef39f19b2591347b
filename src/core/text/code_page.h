#pragma once
// What every code page decodes a document's bytes to and encodes them from:
// UTF-16 text, the bytes that did not decode kept as characters of their
// own, each line break's kind, and the characters that could not be written.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zu {

// The three ways a file may end a line. Which one each break of a file used
// is kept, so that an unedited file is written back as it was read.
enum class LineBreak : std::uint8_t { CrLf, Lf, Cr };

// A byte that does not decode, b, is held as the private-use character
// kRawByteBase + b and encodes back to that byte, so that no byte of a file
// is lost. CP932 only ever keeps 0x80..0xFF so; the other code pages may
// keep any byte (an odd byte at the end of UTF-16, an escape of ISO-2022-JP).
inline constexpr char16_t kRawByteBase = 0xF700;
inline constexpr bool isRawByteChar(char16_t c) {
    return c >= kRawByteBase && c <= kRawByteBase + 0xFF;
}

// An occurrence of a character written in its non-default double-byte form
// (only CP932 has them). `index` is the position of the character in the
// decoded UTF-16 text; `code` the two bytes the file used, lead byte in the
// high half.
struct Variant {
    std::size_t index;
    std::uint16_t code;
    friend bool operator==(const Variant&, const Variant&) = default;
};

struct Decoded {
    std::u16string text;
    std::vector<Variant> variants; // ascending index
    std::size_t rawBytes = 0;      // how many bytes were kept as raw-byte characters
    std::vector<LineBreak> breaks; // decodeLines: each break of the bytes, in order
};

// The line breaks that decodeLines found, by kind.
struct LineBreakCounts {
    std::size_t crLf = 0;
    std::size_t lf = 0; // LF alone
    std::size_t cr = 0; // CR alone
};

// A character the code page cannot hold (a lone surrogate counts as one).
struct Unencodable {
    std::size_t index; // position in the UTF-16 text
    char32_t ch;
    friend bool operator==(const Unencodable&, const Unencodable&) = default;
};

enum class Unmappable {
    Report,             // leave the character out of the bytes and list it
    CharacterReference, // write it as an HTML numeric character reference, "&#8364;"
};

struct Encoded {
    std::string bytes;
    std::vector<Unencodable> unencodable; // empty when every character was written
};

} // namespace zu
