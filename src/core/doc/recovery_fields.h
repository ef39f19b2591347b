#pragma once
// The fields inside the entries of a recovery copy (recovery.h), for the
// files that write and read them. Texts of a header go in hexadecimal, so
// that a line break, a NUL or any byte of a path cannot end a field;
// numbers in decimal, each checked for what it must be; the text itself as
// UTF-16 units, so that no character (not even a lone surrogate pasted from
// elsewhere) can be lost on the way.

#include "core/text/document_text.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu::recovery_fields {

std::string hex(std::string_view bytes);
std::optional<std::string> unhex(std::string_view text);
std::string hexNumber(std::uint64_t value); // 16 digits
std::optional<std::uint64_t> hexNumberOf(std::string_view text);

std::string littleEndian(std::uint64_t value);
std::uint64_t fromLittleEndian(std::string_view eightBytes);

// The whole of `text` as a number of type T, or nothing (a sign, a space,
// a value past T's range).
template <class T> std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Reads "key value\n" from the front of `rest`.
bool field(std::string_view& rest, std::string_view key, std::string_view& value);
bool flag(std::string_view value, bool& out);
bool lineBreak(std::string_view value, LineBreak& out);

// A stretch of text with its breaks and byte forms: "breaks", "variants"
// and "text" fields, the text's units ending the bytes.
struct TextBody {
    std::vector<LineBreak> breaks;
    std::vector<cp932::Variant> variants;
    std::u16string text;
};
std::string textBodyOf(const std::vector<LineBreak>& breaks,
                       const std::vector<cp932::Variant>& variants, std::u16string_view text);
// Nothing unless `rest` is exactly one body.
std::optional<TextBody> textBody(std::string_view rest);

} // namespace zu::recovery_fields
