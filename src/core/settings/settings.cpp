#include "core/settings/settings.h"

#include "core/settings/field_bytes.h"
#include "core/text/cp932.h"
#include "core/text/utf.h"

#include <cstdint>
#include <limits.h>
#include <unistd.h>
#include <vector>

namespace zu {

namespace {

// The running program's own file, as the kernel knows it. Empty when it
// cannot tell (then no program folder is known, and the settings go to the
// user's config folder).
std::string runningProgramPath() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        // readlink truncates silently; a result that fills the buffer may
        // have been cut, so try again with more room.
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

// Byte length of the UTF-8 character at the start of `text`; a byte that does
// not begin a complete sequence counts as a character of its own.
std::size_t utf8CharLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 1;
    if (length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

// The part of a decoded text from `begin` on that is `piece`, encoded again
// with the byte forms the original bytes used.
std::string encodePiece(const cp932::Decoded& decoded, std::size_t begin,
                        std::u16string_view piece) {
    std::vector<cp932::Variant> variants;
    for (const cp932::Variant& variant : decoded.variants)
        if (variant.index >= begin && variant.index < begin + piece.size())
            variants.push_back({variant.index - begin, variant.code});
    return cp932::encode(piece, variants).bytes;
}

} // namespace

std::string utf8ToCp932(std::string_view utf8) {
    return cp932::encode(utf8ToUtf16(utf8), {}, cp932::Unmappable::CharacterReference).bytes;
}

std::string cp932ToUtf8(std::string_view bytes) {
    return utf16ToUtf8(cp932::decode(bytes).text);
}

std::string_view fieldBytes(std::string_view bytes, std::size_t width) {
    if (width == 0)
        return {};
    // Neither byte can be the trail byte of a double-byte character, so
    // ending the value there never splits one.
    bytes = bytes.substr(0, bytes.find_first_of(std::string_view("\0\r", 2)));
    return bytes.substr(0, cp932::fitBytes(bytes, width - 1));
}

Settings& settings() {
    static Settings record = [] {
        Settings initial;
        initial.programPath = runningProgramPath();
        initial.programDirectory = splitProgramPath(initial.programPath);
        return initial;
    }();
    return record;
}

std::string fitField(std::string_view utf8, std::size_t width) {
    const std::string bytes = utf8ToCp932(utf8);
    return cp932ToUtf8(fieldBytes(bytes, width));
}

Settings::Directory splitProgramPath(std::string_view utf8Path) {
    Settings::Directory parts;
    std::string_view rest = utf8Path;
    if (!rest.empty()) {
        const std::size_t first = utf8CharLength(rest);
        if (first < rest.size() && rest[first] == ':') {
            parts.drive = rest.substr(0, first + 1);
            rest.remove_prefix(first + 1);
        }
    }
    // No byte of a multibyte UTF-8 character is below 0x80, so a plain byte
    // search cannot mistake part of a character for a separator.
    const std::size_t last = rest.find_last_of("/\\");
    if (last != std::string_view::npos)
        parts.directory = rest.substr(0, last + 1);
    return parts;
}

Settings::Directory splitProgramPathCp932(std::string_view cp932Path) {
    // Splitting the decoded text keeps a trail byte with the value of "\"
    // (as in 表, 0x95 0x5C) inside its character.
    const cp932::Decoded decoded = cp932::decode(cp932Path);
    const Settings::Directory text = splitProgramPath(utf16ToUtf8(decoded.text));
    const std::u16string drive = utf8ToUtf16(text.drive);
    const std::u16string directory = utf8ToUtf16(text.directory);
    return {encodePiece(decoded, 0, drive), encodePiece(decoded, drive.size(), directory)};
}

int parseSettingsInteger(std::string_view line) {
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < line.size() && isSpace(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    // A number too large for an int wraps as 32-bit arithmetic does, so that
    // a zu.set holding one reads the same in every run and on every machine;
    // unsigned arithmetic wraps without the undefined behaviour of a signed
    // overflow.
    std::uint32_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(line[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

} // namespace zu
