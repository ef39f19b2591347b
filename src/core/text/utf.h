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

// The length of the well-formed UTF-8 sequence at the start of `bytes` (1 to
// 4), or 0 when none starts there: a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF or a sequence cut short.
int utf8SequenceLength(std::string_view bytes);

inline constexpr bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline constexpr bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
// Either half of a pair: no character of its own.
inline constexpr bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}
// The character a high and a low surrogate stand for together.
inline constexpr char32_t fromSurrogatePair(char16_t high, char16_t low) {
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}
// The character that starts at text[i]: a surrogate pair's, or the unit
// itself (a lone surrogate too).
inline constexpr char32_t codePointAt(std::u16string_view text, std::size_t i) {
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
        return fromSurrogatePair(text[i], text[i + 1]);
    return text[i];
}
// The UTF-16 units `ch` takes: two past U+FFFF, else one.
inline constexpr std::size_t utf16Length(char32_t ch) {
    return ch > 0xFFFF ? 2 : 1;
}

// Appends `ch` as one UTF-16 unit, or two for a character past U+FFFF.
void appendUtf16(std::u16string& out, char32_t ch);

} // namespace zu
