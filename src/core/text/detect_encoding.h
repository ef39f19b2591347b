#pragma once
// Which encoding a file's bytes are in, decided when it is opened, in this
// order: a byte-order mark (UTF-8, UTF-16 LE or BE); else UTF-8 when the
// bytes are valid UTF-8 and not all ASCII; else the charset the page
// declares near its start, when zu supports it; else CP932, zu's default.

#include "core/text/encoding.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace zu {

struct Detected {
    const Encoding* encoding;
    bool byteOrderMark = false; // the bytes start with the encoding's mark
};

Detected detectEncoding(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF, no
// sequence cut short.
bool isValidUtf8(std::string_view bytes);

// A declaration is looked for only this far into the file (bytes, or
// characters of a text), as browsers do.
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

// The encoding to read `bytes` in when the user names `chosen`: for UTF-16,
// the byte order a byte-order mark gives, else the one the zero bytes of
// ASCII characters point to; any other encoding as it is.
const Encoding& settleByteOrder(const Encoding& chosen, std::string_view bytes);

} // namespace zu
