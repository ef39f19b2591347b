#include "core/doc/recovery_fields.h"

namespace zu::recovery_fields {

std::string hex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<std::string> unhex(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (error != std::errc() || end != text.data() + i + 2)
            return std::nullopt;
        out += static_cast<char>(value);
    }
    return out;
}

std::string hexNumber(std::uint64_t value) {
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
    return out;
}

std::optional<std::uint64_t> hexNumberOf(std::string_view text) {
    std::uint64_t value = 0;
    if (text.size() != 16)
        return std::nullopt;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string littleEndian(std::uint64_t value) {
    std::string out(8, '\0');
    for (char& c : out) {
        c = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return out;
}

std::uint64_t fromLittleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

bool field(std::string_view& rest, std::string_view key, std::string_view& value) {
    if (rest.substr(0, key.size()) != key || rest.size() <= key.size() || rest[key.size()] != ' ')
        return false;
    const auto end = rest.find('\n');
    if (end == std::string_view::npos)
        return false;
    value = rest.substr(key.size() + 1, end - key.size() - 1);
    rest.remove_prefix(end + 1);
    return true;
}

bool flag(std::string_view value, bool& out) {
    if (value != "0" && value != "1")
        return false;
    out = value == "1";
    return true;
}

bool lineBreak(std::string_view value, LineBreak& out) {
    if (value.size() != 1 || value[0] < '0' || value[0] > '2')
        return false;
    out = static_cast<LineBreak>(value[0] - '0');
    return true;
}

std::string textBodyOf(const std::vector<LineBreak>& breaks,
                       const std::vector<cp932::Variant>& variants, std::u16string_view text) {
    std::string out = "breaks ";
    for (LineBreak b : breaks)
        out += static_cast<char>('0' + static_cast<int>(b));
    out += "\nvariants";
    for (const cp932::Variant& v : variants)
        out += " " + std::to_string(v.index) + ":" + std::to_string(v.code);
    out += "\ntext " + std::to_string(text.size()) + "\n";
    const std::size_t start = out.size();
    out.resize(start + text.size() * 2);
    char* to = out.data() + start;
    for (char16_t c : text) {
        *to++ = static_cast<char>(c & 0xFF);
        *to++ = static_cast<char>(c >> 8);
    }
    return out;
}

std::optional<TextBody> textBody(std::string_view rest) {
    TextBody body;
    std::string_view value;
    if (!field(rest, "breaks", value))
        return std::nullopt;
    body.breaks.reserve(value.size());
    for (char c : value) {
        if (c < '0' || c > '2')
            return std::nullopt;
        body.breaks.push_back(static_cast<LineBreak>(c - '0'));
    }
    // "variants" with nothing after it is a line of its own.
    if (rest.substr(0, 9) == "variants\n") {
        rest.remove_prefix(9);
    } else if (field(rest, "variants", value)) {
        while (!value.empty()) {
            const auto space = value.find(' ');
            const std::string_view item = value.substr(0, space);
            value = space == std::string_view::npos ? std::string_view() : value.substr(space + 1);
            const auto colon = item.find(':');
            const auto index = number<std::size_t>(item.substr(0, colon));
            const auto code = colon == std::string_view::npos
                                  ? std::nullopt
                                  : number<std::uint16_t>(item.substr(colon + 1));
            if (!index || !code)
                return std::nullopt;
            body.variants.push_back({*index, *code});
        }
    } else {
        return std::nullopt;
    }
    if (!field(rest, "text", value))
        return std::nullopt;
    // Compared before anything is made of it: a length that the bytes do
    // not hold (a copy cut short, or a number too large for any text) is
    // not a copy to offer.
    const auto units = number<std::size_t>(value);
    if (!units || rest.size() % 2 != 0 || *units != rest.size() / 2)
        return std::nullopt;
    body.text.resize(*units);
    for (std::size_t i = 0; i < *units; ++i)
        body.text[i] = static_cast<char16_t>(static_cast<unsigned char>(rest[2 * i]) |
                                             static_cast<unsigned char>(rest[2 * i + 1]) << 8);
    return body;
}

} // namespace zu::recovery_fields
