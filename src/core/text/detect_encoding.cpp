#include "core/text/detect_encoding.h"

#include "core/text/utf.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace zu {
namespace {

template <typename Char> unsigned lower(Char c) {
    const auto u = static_cast<std::make_unsigned_t<Char>>(c);
    return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

template <typename Char>
bool startsWithWord(std::basic_string_view<Char> s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower(s[at + k]) != static_cast<unsigned char>(word[k]))
            return false;
    return true;
}

template <typename Char> bool isNameChar(Char c) {
    const unsigned u = lower(c);
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '_' || u == '.' ||
           u == ':';
}

template <typename Char> bool isSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

template <typename Char>
std::optional<CharsetDeclaration> findDeclaration(std::basic_string_view<Char> s) {
    s = s.substr(0, kDeclarationReach);
    for (std::size_t meta = 0; meta < s.size(); ++meta) {
        if (s[meta] != '<' || !startsWithWord(s, meta + 1, "meta") || meta + 5 >= s.size() ||
            !(isSpace(s[meta + 5]) || s[meta + 5] == '/'))
            continue;
        const std::size_t close = s.find(Char('>'), meta);
        if (close == std::basic_string_view<Char>::npos)
            return std::nullopt; // the tag runs past the reach
        // "charset" as a word of its own: the attribute of <meta charset>,
        // or the parameter inside the http-equiv form's content.
        for (std::size_t k = meta + 5; k < close; ++k) {
            if (!startsWithWord(s, k, "charset") || isNameChar(s[k - 1]))
                continue;
            std::size_t v = k + 7;
            while (v < close && isSpace(s[v]))
                ++v;
            if (v >= close || s[v] != '=')
                continue;
            ++v;
            while (v < close && isSpace(s[v]))
                ++v;
            if (v < close && (s[v] == '"' || s[v] == '\''))
                ++v;
            std::size_t end = v;
            while (end < close && isNameChar(s[end]))
                ++end;
            if (end > v)
                return CharsetDeclaration{v, end - v};
        }
        meta = close;
    }
    return std::nullopt;
}

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

enum class Utf8Scan { Ascii, Valid, Invalid };

// One pass tells both whether the bytes are UTF-8 and whether they are more
// than ASCII.
Utf8Scan scanUtf8(std::string_view bytes) {
    bool ascii = true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        // Most of a page is ASCII: eight bytes at a time while it is.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = utf8SequenceLength(
            std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)));
        if (length == 0)
            return Utf8Scan::Invalid;
        p += length;
        ascii = false;
    }
    return ascii ? Utf8Scan::Ascii : Utf8Scan::Valid;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    return scanUtf8(bytes) != Utf8Scan::Invalid;
}

std::optional<CharsetDeclaration> findCharsetDeclaration(std::string_view bytes) {
    return findDeclaration(bytes);
}

std::optional<CharsetDeclaration> findCharsetDeclaration(std::u16string_view text) {
    return findDeclaration(text);
}

Detected detectEncoding(std::string_view bytes) {
    for (const Encoding* e : {&utf8Encoding(), &utf16LeEncoding(), &utf16BeEncoding()})
        if (startsWith(bytes, e->byteOrderMark()))
            return {e, true};
    if (scanUtf8(bytes) == Utf8Scan::Valid)
        return {&utf8Encoding()};
    if (const auto declared = findCharsetDeclaration(bytes)) {
        if (const Encoding* named =
                findEncoding(bytes.substr(declared->position, declared->length))) {
            // A declaration that could be read as ASCII is not in UTF-16,
            // whatever it says; browsers take such a page as UTF-8.
            return {isUtf16(*named) ? &utf8Encoding() : named};
        }
    }
    return {&cp932Encoding()};
}

const Encoding& settleByteOrder(const Encoding& chosen, std::string_view bytes) {
    if (!isUtf16(chosen))
        return chosen;
    if (startsWith(bytes, utf16LeEncoding().byteOrderMark()))
        return utf16LeEncoding();
    if (startsWith(bytes, utf16BeEncoding().byteOrderMark()))
        return utf16BeEncoding();
    // ASCII characters have their zero byte second in little-endian order.
    std::size_t zeroFirst = 0;
    std::size_t zeroSecond = 0;
    for (std::size_t i = 0; i + 1 < std::min(bytes.size(), kDeclarationReach); i += 2) {
        zeroFirst += bytes[i] == '\0';
        zeroSecond += bytes[i + 1] == '\0';
    }
    if (zeroFirst > zeroSecond)
        return utf16BeEncoding();
    if (zeroSecond > zeroFirst)
        return utf16LeEncoding();
    return chosen;
}

} // namespace zu
