#include "core/doc/recovery.h"

#include <charconv>

namespace zu {
namespace {

constexpr std::string_view kMagic = "zu recovery 1\n";
constexpr std::string_view kSuffix = ".zurecover";

// Texts of the header go in hexadecimal, so that a line break, a NUL or any
// byte of a path cannot end a field.
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

template <class T> std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Reads "key value\n" from the front of `rest`.
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

} // namespace

std::string serializeRecovery(const RecoveryRecord& r) {
    std::string out(kMagic);
    out += "title " + hex(r.title) + "\n";
    out += "path " + hex(r.path) + "\n";
    out += "encoding " + hex(r.encoding) + "\n";
    out += "bom " + std::string(r.byteOrderMark ? "1" : "0") + "\n";
    out += "linebreak " + std::to_string(static_cast<int>(r.lineBreak)) + "\n";
    out += "breaks ";
    for (LineBreak b : r.breaks)
        out += static_cast<char>('0' + static_cast<int>(b));
    out += "\nvariants";
    for (const cp932::Variant& v : r.variants)
        out += " " + std::to_string(v.index) + ":" + std::to_string(v.code);
    out += "\ntext " + std::to_string(r.text.size()) + "\n";
    for (char16_t c : r.text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

std::optional<RecoveryRecord> parseRecovery(std::string_view rest) {
    if (rest.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    rest.remove_prefix(kMagic.size());
    RecoveryRecord r;
    std::string_view value;
    std::optional<std::string> text;
    if (!field(rest, "title", value) || !(text = unhex(value)))
        return std::nullopt;
    r.title = *text;
    if (!field(rest, "path", value) || !(text = unhex(value)))
        return std::nullopt;
    r.path = *text;
    if (!field(rest, "encoding", value) || !(text = unhex(value)))
        return std::nullopt;
    r.encoding = *text;
    if (!field(rest, "bom", value) || (value != "0" && value != "1"))
        return std::nullopt;
    r.byteOrderMark = value == "1";
    if (!field(rest, "linebreak", value) || value.size() != 1 || value[0] < '0' || value[0] > '2')
        return std::nullopt;
    r.lineBreak = static_cast<LineBreak>(value[0] - '0');
    if (!field(rest, "breaks", value))
        return std::nullopt;
    for (char c : value) {
        if (c < '0' || c > '2')
            return std::nullopt;
        r.breaks.push_back(static_cast<LineBreak>(c - '0'));
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
            r.variants.push_back({*index, *code});
        }
    } else {
        return std::nullopt;
    }
    if (!field(rest, "text", value))
        return std::nullopt;
    const auto units = number<std::size_t>(value);
    if (!units || rest.size() != *units * 2)
        return std::nullopt; // cut short: not a copy to offer
    r.text.resize(*units);
    for (std::size_t i = 0; i < *units; ++i)
        r.text[i] = static_cast<char16_t>(static_cast<unsigned char>(rest[2 * i]) |
                                          static_cast<unsigned char>(rest[2 * i + 1]) << 8);
    return r;
}

std::string recoveryFileName(long processId, int number) {
    return std::to_string(processId) + "-" + std::to_string(number) + std::string(kSuffix);
}

std::optional<long> recoveryOwner(std::string_view name) {
    if (name.size() <= kSuffix.size() || name.substr(name.size() - kSuffix.size()) != kSuffix)
        return std::nullopt;
    name.remove_suffix(kSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !number<int>(name.substr(dash + 1)))
        return std::nullopt;
    return number<long>(name.substr(0, dash));
}

std::string recoveryDirectory(const std::string& configDirectory) {
    return configDirectory + "recovery/";
}

} // namespace zu
