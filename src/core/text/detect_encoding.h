#pragma once
// Which encoding a file's bytes are in, decided when it is opened, in this
// order:
//  1. a byte-order mark (UTF-8, UTF-16 LE or BE);
//  2. ISO-2022-JP, when the bytes are 7-bit and hold one of its escapes;
//  3. UTF-8, when the bytes are valid UTF-8 and not all ASCII;
//  4. the charset the page declares (<meta charset>, <meta http-equiv>, the
//     XML declaration) anywhere in its head, when zu supports it, unless it
//     leaves bytes raw while CP932, EUC-JP or UTF-8 reads every byte;
//  5. of CP932, EUC-JP and UTF-8, the one that leaves the fewest bytes raw,
//     and of those that leave as few, the one whose text reads most like
//     Japanese (japanese_reading.h); CP932, zu's default, when they tie.
// Nothing of the file is changed: a page read in another encoding than it
// declares keeps its declaration, and the status bar says so.

#include "core/text/encoding.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace zu {

struct Detected {
    const Encoding* encoding;
    bool byteOrderMark = false; // the bytes start with the encoding's mark
    // The encoding the page declares, when zu supports it (a page that
    // declares UTF-16 in ASCII bytes declares UTF-8); null when none.
    const Encoding* declared = nullptr;
};

Detected detectEncoding(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF, no
// sequence cut short.
bool isValidUtf8(std::string_view bytes);

// The encoding a page declares anywhere in its head (up to "</head>" or
// "<body", else the whole file): the first <meta charset>, <meta
// http-equiv="Content-Type" content="...; charset=..."> or <?xml ...
// encoding="..."?> whose label zu supports; comments are skipped.
const Encoding* declaredEncoding(std::string_view bytes);

// When the charset is looked for to be changed, only this far into the
// file (bytes, or characters of a text), as browsers do.
inline constexpr std::size_t kDeclarationReach = 1024;

// Where a page declares its charset: in a <meta charset=...> tag or in the
// content of <meta http-equiv="Content-Type" content="...; charset=...">,
// case-insensitive, the whole tag within the first kDeclarationReach
// bytes. `position` and `length` are those of the charset's value.
struct CharsetDeclaration {
    std::size_t position;
    std::size_t length;
};
std::optional<CharsetDeclaration> findCharsetDeclaration(std::string_view bytes);
std::optional<CharsetDeclaration> findCharsetDeclaration(std::u16string_view text);

// Where a text declares its charset, found as declaredEncoding finds it
// (anywhere in the head, the XML declaration too): the first declaration,
// or the first whose label zu supports.
enum class Labels { Any, Supported };
std::optional<CharsetDeclaration> findHeadDeclaration(std::u16string_view text, Labels labels);

// The encoding to read `bytes` in when the user names `chosen`: for UTF-16,
// the byte order a byte-order mark gives, else the one the zero bytes of
// ASCII characters point to; any other encoding as it is.
const Encoding& settleByteOrder(const Encoding& chosen, std::string_view bytes);

} // namespace zu
