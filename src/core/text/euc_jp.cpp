// EUC-JP: ASCII, half-width katakana after 0x8E, JIS X 0208 in two bytes of
// 0xA1..0xFE, JIS X 0212 after 0x8F. The characters are the JIS tables'
// (jis.h): what glibc's EUC-JP reads, and where it reads nothing, the NEC
// and IBM extension characters as pages made on Windows store them. Bytes
// 0x80..0x9F other than 0x8E and 0x8F read as the C1 controls, as glibc
// reads them. Every other byte that does not read is kept raw.

#include "core/text/encoding.h"
#include "core/text/jis.h"
#include "core/text/line_breaks.h"

#include <algorithm>
#include <vector>

namespace zu {
namespace {

bool isEucByte(unsigned char b) {
    return b >= 0xA1 && b <= 0xFE;
}

// The code of a two-byte (or, after 0x8F, three-byte) character starting at
// p, and its length; length 0 when none starts there.
struct EucChar {
    std::uint16_t code;
    int length;
};
EucChar eucCharAt(const unsigned char* p, const unsigned char* end) {
    if (end - p >= 2 && isEucByte(p[0]) && isEucByte(p[1])) {
        const std::uint16_t code = jis::code(p[0] & 0x7Fu, p[1] & 0x7Fu);
        if (jis::decode(code) != 0)
            return {code, 2};
    } else if (end - p >= 3 && p[0] == 0x8F && isEucByte(p[1]) && isEucByte(p[2])) {
        const std::uint16_t code = jis::code(p[1] & 0x7Fu, p[2] & 0x7Fu, jis::k0212);
        if (jis::decode(code) != 0)
            return {code, 3};
    }
    return {0, 0};
}

// The form a file gave the input methods' characters (U+FF5E read from JIS
// X 0212, say), which new ones take too: their default code reads back as
// the JIS character they stand in for, so no occurrence in a file has it.
struct TwinForms {
    std::vector<std::pair<char16_t, std::uint16_t>> forms;

    explicit TwinForms(std::u16string_view text, std::span<const Variant> variants) {
        for (const Variant& v : variants) {
            if (v.index >= text.size())
                break;
            const char16_t c = text[v.index];
            if (jis::readsBackAs(c) != c && jis::formOf(c, v.code) != 0 &&
                std::ranges::none_of(forms, [c](const auto& f) { return f.first == c; }))
                forms.emplace_back(c, v.code);
        }
    }
    std::uint16_t codeFor(char16_t c) const {
        for (const auto& [ch, code] : forms)
            if (ch == c)
                return code;
        return jis::defaultCode(c);
    }
};

class EucJpEncoding final : public Encoding {
public:
    std::string_view name() const override { return "EUC-JP"; }
    std::string_view charset() const override { return "EUC-JP"; }
    bool keepsByteForms() const override { return true; }
    char16_t readsBackAs(char16_t c) const override { return jis::readsBackAs(c); }

    Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const override {
        Decoded out;
        out.text.reserve(bytes.size());
        const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = begin + bytes.size();
        std::size_t i = 0;
        while (i < bytes.size()) {
            const unsigned char b = begin[i];
            if (b == '\r' || b == '\n') {
                std::size_t length = 0;
                const LineBreak kind = breakAt(bytes, i, length);
                countBreak(counts, kind);
                out.breaks.push_back(kind);
                out.text.push_back(u'\n');
                i += length;
            } else if (b < 0x80 || (b <= 0x9F && b != 0x8E && b != 0x8F)) {
                out.text.push_back(b); // ASCII, or a C1 control
                ++i;
            } else if (b == 0x8E && i + 1 < bytes.size() && begin[i + 1] >= 0xA1 &&
                       begin[i + 1] <= 0xDF) {
                out.text.push_back(static_cast<char16_t>(0xFF61 + (begin[i + 1] - 0xA1)));
                i += 2;
            } else if (const EucChar ch = eucCharAt(begin + i, end); ch.length != 0) {
                if (jis::isVariantCode(ch.code))
                    out.variants.push_back({out.text.size(), ch.code});
                out.text.push_back(jis::decode(ch.code));
                i += static_cast<std::size_t>(ch.length);
            } else {
                out.text.push_back(static_cast<char16_t>(kRawByteBase + b));
                ++out.rawBytes;
                ++i;
            }
        }
        return out;
    }

    Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                        LineBreak fallback, std::span<const Variant> variants,
                        Unmappable policy) const override {
        Encoded out;
        out.bytes.reserve(text.size() * 2);
        BreakSequence kinds(breaks, fallback);
        const TwinForms twins(text, variants);
        const Variant* v = variants.data();
        const Variant* const vEnd = v + variants.size();
        std::size_t i = 0;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (isBreakUnit(c)) {
                i += breakLength(text, i);
                out.bytes += lineBreakBytes(kinds.next());
                continue;
            }
            if (c < 0xA0 && c != 0x8E && c != 0x8F) { // ASCII and the C1 controls
                out.bytes.push_back(static_cast<char>(c));
                ++i;
                continue;
            }
            if (isRawByteChar(c)) {
                out.bytes.push_back(static_cast<char>(c - kRawByteBase));
                ++i;
                continue;
            }
            if (c >= 0xFF61 && c <= 0xFF9F) {
                out.bytes += {'\x8E', static_cast<char>(c - 0xFF61 + 0xA1)};
                ++i;
                continue;
            }
            while (v != vEnd && v->index < i)
                ++v;
            std::uint16_t code = v != vEnd && v->index == i ? jis::formOf(c, v->code) : 0;
            if (code == 0)
                code = twins.codeFor(c);
            if (code != 0) {
                if (code & jis::k0212)
                    out.bytes.push_back('\x8F');
                out.bytes += {static_cast<char>((code >> 8) | 0x80),
                              static_cast<char>((code & 0xFF) | 0x80)};
                ++i;
                continue;
            }
            i = skipUnencodable(text, i, policy, out);
        }
        return out;
    }
};

} // namespace

const Encoding& eucJpEncoding() {
    static const EucJpEncoding encoding;
    return encoding;
}

} // namespace zu
