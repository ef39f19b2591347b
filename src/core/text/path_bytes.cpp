#include "core/text/path_bytes.h"

#include "core/text/cp932.h"
#include "core/text/utf.h"

namespace zu {
namespace {

constexpr char16_t kEscapeBase = cp932::kRawByteBase;

bool isEscape(char32_t c) {
    return c >= kEscapeBase + 0x80u && c <= kEscapeBase + 0xFFu;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at the start of `s` and its
// code point; 0 when the first byte does not start one. Overlong forms,
// surrogates and values above U+10FFFF are not well-formed.
std::size_t decodeOne(std::string_view s, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(0);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || isSurrogate(c))
        return 0;
    return length;
}

} // namespace

std::u16string pathToText(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t c = 0;
        std::size_t length = decodeOne(bytes, c);
        if (length == 0 || isEscape(c)) {
            // Only the first byte is taken: the next one may start a valid
            // sequence of its own.
            out += char16_t(kEscapeBase + static_cast<unsigned char>(bytes.front()));
            length = 1;
        } else {
            appendUtf16(out, c);
        }
        bytes.remove_prefix(length);
    }
    return out;
}

std::string textToPath(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = codePointAt(text, i);
        i += utf16Length(c) - 1;
        if (isEscape(c))
            out += char(c - kEscapeBase);
        else
            appendUtf8(out, isSurrogate(c) ? 0xFFFD : c);
    }
    return out;
}

std::u16string pathForDisplay(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    // Name by name: a Shift_JIS name holds ASCII trail bytes (0x5C in 表,
    // 0x7B in 本) that are valid UTF-8 on their own, so a name with any escaped
    // byte is read as Shift_JIS as a whole.
    while (!text.empty()) {
        const std::size_t slash = text.find(u'/');
        const std::u16string_view name = text.substr(0, slash);
        bool escaped = false;
        for (char16_t c : name)
            escaped |= isEscape(c);
        if (!escaped) {
            out += name;
        } else {
            for (char16_t c : cp932::decode(textToPath(name)).text)
                out += cp932::isRawByte(c) ? u'\uFFFD' : c;
        }
        if (slash == std::u16string_view::npos)
            break;
        out += u'/';
        text.remove_prefix(slash + 1);
    }
    return out;
}

} // namespace zu
