#pragma once
// The byte side of the settings text fields, shared by the record and its
// file: how a UTF-8 value becomes the CP932 bytes of a fixed-width field.

#include <cstddef>
#include <string>
#include <string_view>

namespace zu {

// The value in CP932. A character the code page cannot hold is written as an
// HTML character reference: every text field ends up inside HTML, where the
// reference still means that character.
std::string utf8ToCp932(std::string_view utf8);
// Never fails: bytes that are not CP932 come back as the code page's
// raw-byte characters.
std::string cp932ToUtf8(std::string_view bytes);

// The bytes a field of `width` (terminating NUL included) can hold: the value
// ends at its first NUL (the field is a C string) or CR (the file's line end),
// then is cut to width-1 bytes without splitting a double-byte character.
std::string_view fieldBytes(std::string_view bytes, std::size_t width);

} // namespace zu
