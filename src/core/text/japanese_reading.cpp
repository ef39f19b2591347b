#include "core/text/japanese_reading.h"

#include "core/text/code_page.h"
#include "core/text/cp932.h"
#include "core/text/jis.h"
#include "core/text/utf.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>

namespace zu {
namespace {

int weightOf(char16_t c) {
    if (c >= 0x3041 && c <= 0x3096) // hiragana
        return 3;
    if ((c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC) // katakana, the long-vowel mark
        return 3;
    if (c == 0x3001 || c == 0x3002 || (c >= 0x300C && c <= 0x300F) || c == 0x30FB)
        return 2; // 、。「」『』・
    if (c >= 0x4E00 && c <= 0x9FFF) {
        // JIS's first level holds the common kanji, its second the rarer.
        const std::uint16_t code = jis::defaultCode(c);
        const unsigned row = code >> 8;
        return (code & jis::k0212) ? 0 : row >= 0x30 && row <= 0x4F ? 2 : row >= 0x50 ? 1 : 0;
    }
    if (c == 0x3000 || (c >= 0xFF01 && c <= 0xFF5E) || (c >= 0xFF66 && c <= 0xFF9F))
        return 1; // the ideographic space, full-width ASCII, half-width katakana
    if ((c >= 0xE000 && c <= 0xF8FF) || (c >= 0x80 && c <= 0x9F))
        return -3; // private use (a user-defined character), C1 controls
    return 0;
}

const std::array<std::int8_t, 0x10000>& weights() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::int8_t, 0x10000>>();
        for (unsigned c = 0; c < 0x10000; ++c)
            (*t)[c] = static_cast<std::int8_t>(weightOf(static_cast<char16_t>(c)));
        return t;
    }();
    return *table;
}

// Skips the ASCII at p, eight bytes at a time where it can.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080u) != 0)
            break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

// Walks the bytes with `step`, which reads the character at p (not ASCII)
// and returns its length, setting `ch` (a raw-byte character when the byte
// does not read).
template <typename Step> Reading walk(std::string_view bytes, std::size_t rawLimit, Step step) {
    const auto& w = weights();
    Reading r;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while ((p = skipAscii(p, end)) < end) {
        char16_t ch = 0;
        p += step(p, end, ch);
        if (isRawByteChar(ch)) {
            if (++r.rawBytes > rawLimit)
                return r;
        } else {
            r.score += w[ch];
        }
    }
    return r;
}

} // namespace

int japaneseWeight(char16_t c) {
    return weights()[c];
}

Reading readAs(Candidate candidate, std::string_view bytes, std::size_t rawLimit) {
    switch (candidate) {
    case Candidate::Cp932:
        return walk(
            bytes, rawLimit,
            [](const unsigned char* p, const unsigned char* end, char16_t& ch) -> std::size_t {
                if (end - p >= 2)
                    if ((ch = cp932::readPair(p[0], p[1])) != 0)
                        return 2;
                ch = cp932::readSingle(p[0]);
                return 1;
            });
    case Candidate::EucJp:
        return walk(
            bytes, rawLimit,
            [](const unsigned char* p, const unsigned char* end, char16_t& ch) -> std::size_t {
                const auto jisByte = [](unsigned b) { return b >= 0xA1 && b <= 0xFE; };
                if (p[0] == 0x8E && end - p >= 2 && p[1] >= 0xA1 && p[1] <= 0xDF) {
                    ch = static_cast<char16_t>(0xFF61 + (p[1] - 0xA1));
                    return 2;
                }
                const bool three = p[0] == 0x8F;
                if (end - p >= 2 + three && jisByte(p[three]) && jisByte(p[three + 1]))
                    if ((ch = jis::decode(jis::code(p[three] & 0x7Fu, p[three + 1] & 0x7Fu,
                                                    three ? jis::k0212 : 0))) != 0)
                        return 2 + three;
                ch = static_cast<char16_t>(kRawByteBase + p[0]);
                return 1;
            });
    case Candidate::Utf8:
        return walk(
            bytes, rawLimit,
            [](const unsigned char* p, const unsigned char* end, char16_t& ch) -> std::size_t {
                const std::string_view rest(reinterpret_cast<const char*>(p),
                                            static_cast<std::size_t>(end - p));
                const int length = utf8SequenceLength(rest);
                if (length == 0) {
                    ch = static_cast<char16_t>(kRawByteBase + p[0]);
                    return 1;
                }
                ch = length == 2   ? static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F))
                     : length == 3 ? static_cast<char16_t>((p[0] & 0x0F) << 12 |
                                                           (p[1] & 0x3F) << 6 | (p[2] & 0x3F))
                                   : 0; // past the BMP: no weight
                return static_cast<std::size_t>(length);
            });
    }
    return {};
}

} // namespace zu
