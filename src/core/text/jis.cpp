#include "core/text/jis.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>

// Generated from glibc iconv at build time (tools/jis_gen.cpp).
#include "jis_tables.inc"

namespace zu::jis {
namespace {

// One bit per code that is a variant, so that a decoder tells in one load
// whether to remember the form.
constexpr auto kVariantBits = [] {
    std::array<std::uint64_t, 0x10000 / 64> bits{};
    for (auto form : tables::kVariantForms)
        bits[form.code >> 6] |= std::uint64_t{1} << (form.code & 63);
    return bits;
}();

// The variant code of a character in one plane (no character has two in
// one plane; the generator makes sure). The table is in character order.
std::uint16_t variantOf(char16_t c, std::uint16_t plane) {
    const auto* it =
        std::lower_bound(std::begin(tables::kVariantForms), std::end(tables::kVariantForms), c,
                         [](const auto& form, char16_t ch) { return form.ch < ch; });
    for (; it != std::end(tables::kVariantForms) && it->ch == c; ++it)
        if ((it->code & k0212) == plane)
            return it->code;
    return 0;
}

} // namespace

char16_t decode(std::uint16_t code) {
    const unsigned row = (code >> 8 & 0x7F) - 0x21;
    const unsigned cell = (code & 0x7F) - 0x21;
    if (row >= 94 || cell >= 94)
        return 0;
    const std::size_t at = row * 94 + cell;
    return (code & k0212) ? tables::k0212[at] : tables::k0208[at];
}

std::uint16_t defaultCode(char16_t c) {
    return tables::kEncode[tables::kEncodeBlock[c >> 8]][c & 0xFF];
}

bool isVariantCode(std::uint16_t code) {
    return (kVariantBits[code >> 6] >> (code & 63) & 1) != 0;
}

std::uint16_t codeInPlane(char16_t c, std::uint16_t plane, unsigned which) {
    const std::uint16_t first = defaultCode(c);
    if (first != 0 && (first & k0212) == plane) {
        if (which == 0)
            return first;
        --which;
    }
    return which == 0 ? variantOf(c, plane) : 0;
}

char16_t readsBackAs(char16_t c) {
    const std::uint16_t code = defaultCode(c);
    return code == 0 ? c : decode(code);
}

} // namespace zu::jis
