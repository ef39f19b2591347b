#pragma once
// Conversions between the program's two Unicode forms: UTF-8 (the core's
// strings) and UTF-16 (what the editing control and the code page work in).

#include <string>
#include <string_view>

namespace zu {

// Ill-formed input never throws: a byte or unit that does not start a valid
// sequence becomes U+FFFD, so the result is always well-formed.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

} // namespace zu
