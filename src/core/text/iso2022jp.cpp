// ISO-2022-JP (RFC 1468) as mail and old pages use it: ASCII, and runs of
// JIS X 0208 between "ESC $ B" and "ESC ( B". The character mapping is
// glibc iconv's, asked once for every JIS X 0208 pair; the escapes are
// handled here, because a file must come back byte for byte and iconv's
// encoder would place them its own way.
//
// The encoder writes each maximal run of JIS X 0208 characters as
// "ESC $ B" pairs "ESC ( B", and nothing else in escapes. The decoder takes
// an escape as a switch only where that encoder would have written it; any
// other escape (ESC ( J, ESC $ @, a run not closed, two runs back to back)
// keeps its ESC as a raw byte and the bytes after it as what they are in
// ASCII, so that every file reads back to text that writes the same bytes.

#include "core/text/encoding.h"
#include "core/text/iconv_converter.h"
#include "core/text/line_breaks.h"

#include <array>
#include <memory>

namespace zu {
namespace {

constexpr std::string_view kToJis = "\x1B$B";
constexpr std::string_view kToAscii = "\x1B(B";

bool isJisByte(unsigned char b) {
    return b >= 0x21 && b <= 0x7E;
}

struct JisTables {
    std::array<char16_t, 94 * 94> toUnicode{};                                  // 0: no character
    std::unique_ptr<std::uint16_t[]> fromUnicode{new std::uint16_t[0x10000]()}; // 0: none

    char16_t decode(unsigned char first, unsigned char second) const {
        if (!isJisByte(first) || !isJisByte(second))
            return 0;
        return toUnicode[(first - 0x21) * 94 + (second - 0x21)];
    }
};

const JisTables& jisTables() {
    static const JisTables tables = [] {
        JisTables t;
        IconvConverter cd(kNativeUtf16, "ISO-2022-JP");
        if (!cd.ok())
            return t;
        for (unsigned first = 0x21; first <= 0x7E; ++first) {
            for (unsigned second = 0x21; second <= 0x7E; ++second) {
                std::string bytes(kToJis);
                bytes += {char(first), char(second)};
                bytes += kToAscii;
                char16_t out[4];
                const char* in = bytes.data();
                std::size_t inLeft = bytes.size();
                char* o = reinterpret_cast<char*>(out);
                std::size_t oLeft = sizeof out;
                const bool whole = cd.convert(in, inLeft, o, oLeft) != static_cast<std::size_t>(-1);
                cd.reset();
                const char16_t c = out[0];
                // One BMP character that no other pair gave, outside ASCII
                // and the raw-byte range: anything else could not be
                // written back to the same pair.
                if (!whole || oLeft != sizeof out - sizeof(char16_t) || c < 0x80 ||
                    isRawByteChar(c) || (c >= 0xD800 && c <= 0xDFFF) || t.fromUnicode[c] != 0)
                    continue;
                t.toUnicode[(first - 0x21) * 94 + (second - 0x21)] = c;
                t.fromUnicode[c] = static_cast<std::uint16_t>(first << 8 | second);
            }
        }
        return t;
    }();
    return tables;
}

class Iso2022JpEncoding final : public Encoding {
public:
    std::string_view name() const override { return "ISO-2022-JP"; }
    std::string_view charset() const override { return "ISO-2022-JP"; }

    Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const override {
        const JisTables& t = jisTables();
        Decoded out;
        out.text.reserve(bytes.size());
        const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        // Right after a run closes, a new run cannot open: the encoder
        // would have made the two one.
        bool justClosed = false;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const unsigned char b = byteAt(i);
            if (b == 0x1B && !justClosed) {
                if (const std::size_t end = runEnd(bytes, i, t); end != 0) {
                    for (std::size_t k = i + kToJis.size(); k + kToAscii.size() < end; k += 2)
                        out.text.push_back(t.decode(byteAt(k), byteAt(k + 1)));
                    i = end;
                    justClosed = true;
                    continue;
                }
            }
            justClosed = false;
            if (b == 0x1B || b >= 0x80) {
                out.text.push_back(static_cast<char16_t>(kRawByteBase + b));
                ++out.rawBytes;
            } else {
                out.text.push_back(b);
            }
            ++i;
        }
        foldLineBreaks(out.text, out.breaks, counts);
        return out;
    }

    Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                        LineBreak fallback, std::span<const Variant>,
                        Unmappable policy) const override {
        const JisTables& t = jisTables();
        Encoded out;
        out.bytes.reserve(text.size() + text.size() / 2);
        BreakSequence kinds(breaks, fallback);
        std::size_t i = 0;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (isBreakUnit(c)) {
                i += breakLength(text, i);
                out.bytes += lineBreakBytes(kinds.next());
            } else if (c < 0x80) {
                out.bytes.push_back(static_cast<char>(c));
                ++i;
            } else if (isRawByteChar(c)) {
                out.bytes.push_back(static_cast<char>(c - kRawByteBase));
                ++i;
            } else if (t.fromUnicode[c] != 0) {
                out.bytes += kToJis;
                for (; i < text.size() && t.fromUnicode[text[i]] != 0; ++i) {
                    const std::uint16_t code = t.fromUnicode[text[i]];
                    out.bytes += {char(code >> 8), char(code & 0xFF)};
                }
                out.bytes += kToAscii;
            } else {
                char32_t ch = c;
                std::size_t units = 1;
                if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF) {
                    ch =
                        0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
                    units = 2;
                }
                if (policy == Unmappable::Report)
                    out.unencodable.push_back({i, ch});
                else
                    out.bytes += "&#" + std::to_string(static_cast<std::uint32_t>(ch)) + ";";
                i += units;
            }
        }
        return out;
    }

private:
    // Where the run of JIS X 0208 that opens at bytes[i] ends (past its
    // "ESC ( B"), when it is one the encoder writes: at least one pair, every
    // pair a character, closed at once. 0 otherwise.
    static std::size_t runEnd(std::string_view bytes, std::size_t i, const JisTables& t) {
        if (bytes.substr(i, kToJis.size()) != kToJis)
            return 0;
        std::size_t k = i + kToJis.size();
        while (k + 1 < bytes.size() && t.decode(static_cast<unsigned char>(bytes[k]),
                                                static_cast<unsigned char>(bytes[k + 1])) != 0)
            k += 2;
        if (k == i + kToJis.size() || bytes.substr(k, kToAscii.size()) != kToAscii)
            return 0;
        return k + kToAscii.size();
    }
};

} // namespace

const Encoding& iso2022JpEncoding() {
    static const Iso2022JpEncoding encoding;
    return encoding;
}

} // namespace zu
