#include "core/text/cp932.h"

#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// Generated from glibc iconv at build time (tools/cp932_gen.cpp).
#include "cp932_tables.inc"

namespace zu::cp932 {
namespace {

using tables::kDouble;
using tables::kEncode;
using tables::kEncodeBlock;
using tables::kLeadRow;
using tables::kSingle;

// One bit per two-byte code that is a non-default form of its character, so
// the decoder can tell in one load whether to remember the form.
constexpr auto kVariantBits = [] {
    std::array<std::uint64_t, 0x10000 / 64> bits{};
    for (auto form : tables::kVariantForms)
        bits[form.code >> 6] |= std::uint64_t{1} << (form.code & 63);
    return bits;
}();

bool isVariantCode(unsigned code) {
    return (kVariantBits[code >> 6] >> (code & 63) & 1) != 0;
}

// The character of a valid lead/trail pair, or 0 when the pair is not valid
// (no pair decodes to U+0000; the generator checks).
char16_t decodePair(unsigned char lead, unsigned char trail) {
    return kDouble[kLeadRow[lead]][trail];
}

std::uint16_t encodeChar(char16_t c) {
    return kEncode[kEncodeBlock[c >> 8]][c & 0xFF];
}

// Word-at-a-time scanning for the ASCII runs that make up most of an HTML
// file, on bytes (decoding) or 16-bit units (encoding). A lane needs
// attention when it is outside ASCII or, when line breaks are being
// rewritten, is a CR or LF; the lowest set bit of `attention` is in the first
// such lane (the usual zero-lane trick is exact for the lowest lane).
template <typename Lane> struct Lanes {
    static constexpr int bits = 8 * sizeof(Lane);
    static constexpr std::uint64_t ones = ~std::uint64_t{0} / ((std::uint64_t{1} << bits) - 1);
    static constexpr std::uint64_t highs = ones << (bits - 1);
    static constexpr std::uint64_t nonAscii = ones * (Lane(~Lane{0}) & ~Lane{0x7F});

    static std::uint64_t lanesEqual(std::uint64_t word, Lane value) {
        const std::uint64_t x = word ^ (ones * value);
        return (x - ones) & ~x & highs;
    }
    template <bool kLines> static std::uint64_t attention(std::uint64_t word) {
        std::uint64_t lanes = word & nonAscii;
        if constexpr (kLines)
            lanes |= lanesEqual(word, '\r') | lanesEqual(word, '\n');
        return lanes;
    }
};

template <bool kLines> bool plain(unsigned c) {
    return c < 0x80 && !(kLines && (c == '\r' || c == '\n'));
}

// Copies the run of plain ASCII at p, sixteen bytes of input at a time. A
// block is converted whole even when the run ends inside it (the output
// always has room for it, and what lies past the run is overwritten next),
// which spares a byte-by-byte loop at the end of every run. Going through
// local arrays lets the compiler see that input and output do not overlap
// and turn the widening or narrowing into vector instructions.
template <bool kLines, typename In, typename Out>
void copyAscii(const In*& p, const In* end, Out*& o) {
    constexpr std::ptrdiff_t n = 16 / sizeof(In);
    using L = Lanes<In>;
    while (end - p >= n) {
        std::uint64_t low;
        std::uint64_t high;
        std::memcpy(&low, p, 8);
        std::memcpy(&high, p + n / 2, 8);
        const std::uint64_t lowAttention = L::template attention<kLines>(low);
        const std::uint64_t highAttention = L::template attention<kLines>(high);
        if constexpr (std::endian::native != std::endian::little) {
            if ((lowAttention | highAttention) != 0)
                break;
        }
        In in[n];
        std::memcpy(in, p, sizeof in);
        Out out[n];
        for (std::ptrdiff_t i = 0; i < n; ++i)
            out[i] = static_cast<Out>(in[i]);
        std::memcpy(o, out, sizeof out);
        if ((lowAttention | highAttention) != 0) {
            const std::ptrdiff_t run = lowAttention != 0
                                           ? std::countr_zero(lowAttention) / L::bits
                                           : n / 2 + std::countr_zero(highAttention) / L::bits;
            p += run;
            o += run;
            return;
        }
        p += n;
        o += n;
    }
    while (p < end && plain<kLines>(*p))
        *o++ = static_cast<Out>(*p++);
}

template <bool kLines> Decoded decodeImpl(std::string_view bytes, LineBreakCounts* counts) {
    Decoded out;
    // One character per byte at most; shrunk at the end.
    out.text.resize(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    char16_t* const begin = out.text.data();
    char16_t* o = begin;
    std::size_t raw = 0;
    std::size_t crLf = 0;
    std::size_t crAlone = 0;
    std::size_t lfAlone = 0;

    // The last byte is left to the end so that the loop can always look at
    // the byte after the current one.
    while (end - p >= 2) {
        const unsigned char b = *p;
        if (b < 0x80) {
            if (kLines && b == '\n') {
                ++lfAlone;
                out.breaks.push_back(LineBreak::Lf);
                ++p;
                *o++ = u'\n';
                continue;
            }
            if (kLines && b == '\r') {
                // LF is never a trail byte, so a CR LF in the bytes is always
                // a break of its own.
                if (p[1] == '\n') {
                    ++crLf;
                    out.breaks.push_back(LineBreak::CrLf);
                    ++p;
                } else {
                    ++crAlone;
                    out.breaks.push_back(LineBreak::Cr);
                }
                ++p;
                *o++ = u'\n';
                continue;
            }
            copyAscii<kLines>(p, end, o);
            continue;
        }
        // Not ASCII: a pair, or else one byte on its own (halfwidth katakana,
        // or a byte kept raw: an invalid byte, or a lead byte whose next byte
        // does not complete a pair, that next byte then being decoded on its
        // own). A branch, not a select: where the next character starts must
        // not wait for the table lookups, and in real text it is predictable.
        const unsigned char t = p[1];
        if (const char16_t pair = decodePair(b, t); pair != 0) [[likely]] {
            if (const unsigned code = unsigned(b) << 8 | t; isVariantCode(code)) [[unlikely]]
                out.variants.push_back(
                    {static_cast<std::size_t>(o - begin), static_cast<std::uint16_t>(code)});
            *o++ = pair;
            p += 2;
        } else {
            const char16_t c = kSingle[b];
            raw += isRawByte(c);
            *o++ = c;
            ++p;
        }
    }
    if (p < end) {
        const bool lineBreak = kLines && (*p == '\r' || *p == '\n');
        const char16_t c = lineBreak ? u'\n' : kSingle[*p];
        crAlone += kLines && *p == '\r';
        lfAlone += kLines && *p == '\n';
        if (lineBreak)
            out.breaks.push_back(*p == '\r' ? LineBreak::Cr : LineBreak::Lf);
        raw += isRawByte(c);
        *o++ = c;
    }
    out.text.resize(static_cast<std::size_t>(o - begin));
    out.rawBytes = raw;
    if (counts)
        *counts = {crLf, lfAlone, crAlone};
    return out;
}

// "&#" + decimal code point + ";"
char* writeReference(char* o, char32_t ch) {
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + ch % 10);
        ch /= 10;
    } while (ch != 0);
    *o++ = '&';
    *o++ = '#';
    while (n > 0)
        *o++ = digits[--n];
    *o++ = ';';
    return o;
}

constexpr std::size_t kLongestReference = 10; // "&#1114111;"

// Writes the next line break: the one the file had there, else `fallback`.
struct BreakWriter {
    std::span<const LineBreak> breaks;
    LineBreak fallback;
    std::size_t next = 0;

    char* write(char* o) {
        const LineBreak kind = next < breaks.size() ? breaks[next] : fallback;
        ++next;
        if (kind != LineBreak::Lf)
            *o++ = '\r';
        if (kind != LineBreak::Cr)
            *o++ = '\n';
        return o;
    }
};

template <bool kLines>
Encoded encodeImpl(std::u16string_view text, BreakWriter breaks, std::span<const Variant> variants,
                   Unmappable policy) {
    Encoded out;
    std::string& bytes = out.bytes;
    // Every unit but a character reference takes at most `perUnit` bytes (a
    // double-byte character, or a CR LF for one break), so this much room
    // always suffices for the rest of the text; references make more room
    // when they need it.
    constexpr std::size_t perUnit = 2;
    bytes.resize(text.size() * perUnit + kLongestReference);
    char* o = bytes.data();
    const char16_t* const begin = text.data();
    const char16_t* p = begin;
    const char16_t* const end = p + text.size();
    const Variant* v = variants.data();
    const Variant* const vEnd = v + variants.size();

    while (p < end) {
        const char16_t c = *p;
        if (c < 0x80) {
            if (kLines && (c == u'\r' || c == u'\n')) {
                if (c == u'\r' && end - p >= 2 && p[1] == u'\n')
                    ++p;
                ++p;
                o = breaks.write(o);
                continue;
            }
            copyAscii<kLines>(p, end, o);
            continue;
        }

        const auto index = static_cast<std::size_t>(p - begin);
        std::uint16_t code = encodeChar(c);
        if (code != 0) [[likely]] {
            if (v != vEnd) {
                while (v != vEnd && v->index < index)
                    ++v;
                if (v != vEnd && v->index == index && isVariantOf(c, v->code))
                    code = v->code;
            }
            // Single-byte characters (halfwidth katakana) mix freely with
            // double-byte ones; choosing without a branch keeps that cheap.
            const unsigned twoBytes = code > 0xFF;
            o[0] = static_cast<char>(code >> (8 * twoBytes));
            o[1] = static_cast<char>(code & 0xFF);
            o += 1 + twoBytes;
            ++p;
            continue;
        }

        if (kLines && c == u'\u2029') {
            ++p;
            o = breaks.write(o);
            continue;
        }

        // Not encodable. A surrogate pair is one character; a lone surrogate
        // is reported as itself.
        const char32_t ch =
            codePointAt(std::u16string_view(p, static_cast<std::size_t>(end - p)), 0);
        p += utf16Length(ch);
        if (policy == Unmappable::Report) {
            out.unencodable.push_back({index, ch});
            continue;
        }
        const auto used = static_cast<std::size_t>(o - bytes.data());
        const std::size_t needed =
            used + kLongestReference + static_cast<std::size_t>(end - p) * perUnit;
        if (needed > bytes.size()) {
            bytes.resize(std::max(needed, bytes.size() + bytes.size() / 2));
            o = bytes.data() + used;
        }
        o = writeReference(o, ch);
    }
    bytes.resize(static_cast<std::size_t>(o - bytes.data()));
    return out;
}

} // namespace

Decoded decode(std::string_view bytes) {
    return decodeImpl<false>(bytes, nullptr);
}

Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) {
    return decodeImpl<true>(bytes, &counts);
}

bool isVariantOf(char32_t ch, std::uint16_t code) {
    return ch <= 0xFFFF && isVariantCode(code) &&
           decodePair(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)) ==
               ch;
}

Encoded encode(std::u16string_view text, std::span<const Variant> variants, Unmappable policy) {
    return encodeImpl<false>(text, BreakWriter{{}, LineBreak::CrLf}, variants, policy);
}

Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks, LineBreak fallback,
                    std::span<const Variant> variants, Unmappable policy) {
    return encodeImpl<true>(text, BreakWriter{breaks, fallback}, variants, policy);
}

std::uint16_t codeOf(char16_t c) {
    return c < 0x80 ? c : encodeChar(c);
}

char16_t pairedReading(char16_t raw, std::uint16_t nextCode) {
    if (!isRawByte(raw) || nextCode == 0)
        return 0;
    const auto lead = static_cast<unsigned char>(raw - kRawByteBase);
    const auto next = static_cast<unsigned char>(nextCode > 0xFF ? nextCode >> 8 : nextCode);
    return decodePair(lead, next);
}

char16_t readSingle(unsigned char byte) {
    return kSingle[byte];
}

char16_t readPair(unsigned char lead, unsigned char trail) {
    return decodePair(lead, trail);
}

std::size_t fitBytes(std::string_view bytes, std::size_t maxBytes) {
    if (bytes.size() <= maxBytes)
        return bytes.size();
    // Lead and trail ranges overlap, so character boundaries are only known
    // by walking from the start, exactly as decode does.
    std::size_t i = 0;
    while (i < maxBytes) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        if (decodePair(b, static_cast<unsigned char>(bytes[i + 1])) != 0)
            length = 2;
        if (i + length > maxBytes)
            break;
        i += length;
    }
    return i;
}

} // namespace zu::cp932
