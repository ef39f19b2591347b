#pragma once
// The characters a page should not hold: the extension characters of the
// Japanese Windows code page (機種依存文字), which other systems show as
// something else or not at all and speech reads oddly, and the half-width
// katakana, which speech may spell out or skip. Where a portable form says
// the same, it is the fix.

#include <string>
#include <string_view>

namespace zu::check {

// Whether `c` is one of CP932's extension characters: a character whose
// byte form in CP932 lies in NEC's row 13 (0x8740-0x879C), NEC's selection
// of IBM's characters (0xED40-0xEEFC) or IBM's (0xFA40-0xFC4B). Characters
// that those rows repeat from JIS X 0208 (≒, ∵, ￢...) are not: their
// usual form is the standard one.
bool isPlatformCharacter(char16_t c);

// The portable text that says what `c` says ("(1)" for ①, "平成" for ㍻);
// empty where there is none that keeps the meaning (〝, ∑, 髙).
std::u16string_view portableForm(char16_t c);

// Half-width katakana (U+FF61-U+FF9F) made full-width, a sound mark joined
// to the kana before it where JIS X 0208 has the joined form (ｶﾞ → ガ,
// ﾊﾟ → パ, ｳﾞ → ヴ); elsewhere it stays a mark of its own (ﾜﾞ → ワ゛).
// Other characters are kept.
std::u16string fullWidthKana(std::u16string_view text);

inline constexpr bool isHalfWidthKana(char16_t c) {
    return c >= u'\uFF61' && c <= u'\uFF9F';
}

} // namespace zu::check
