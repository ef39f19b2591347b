#include "core/text/encoding.h"

#include "core/text/cp932.h"
#include "core/text/line_breaks.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zu {
namespace {

// zu's own codec: it keeps the duplicate byte forms, which iconv would
// rewrite to one, and is what opening a large page spends its time in.
class Cp932Encoding final : public Encoding {
public:
    std::string_view name() const override { return "Shift_JIS"; }
    std::string_view charset() const override { return "x-sjis"; }
    bool keepsByteForms() const override { return true; }

    Decoded decodeLines(std::string_view bytes, LineBreakCounts& counts) const override {
        return cp932::decodeLines(bytes, counts);
    }
    Encoded encodeLines(std::u16string_view text, std::span<const LineBreak> breaks,
                        LineBreak fallback, std::span<const Variant> variants,
                        Unmappable policy) const override {
        return cp932::encodeLines(text, breaks, fallback, variants, policy);
    }

    // Only a raw lead byte can pair, and only with the first byte of the
    // character after it: the text is searched for raw-byte characters,
    // which are rare, so the pass is cheap even for a large document.
    std::vector<BytePair> bytePairs(std::u16string_view text, std::span<const Variant> variants,
                                    std::string_view, std::span<const Unencodable>) const override {
        std::vector<BytePair> found;
        const Variant* v = variants.data();
        const Variant* const vEnd = v + variants.size();
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (!cp932::isRawByte(text[i]))
                continue;
            // The next character's own bytes: the form the file had, where kept.
            std::uint16_t next = cp932::codeOf(text[i + 1]);
            while (v != vEnd && v->index < i + 1)
                ++v;
            if (v != vEnd && v->index == i + 1 && cp932::isVariantOf(text[i + 1], v->code))
                next = v->code;
            if (const char16_t reading = cp932::pairedReading(text[i], next); reading != 0) {
                found.push_back({i, text[i], reading});
                ++i; // the two are read as one; the byte after them starts afresh
            }
        }
        return found;
    }
};

// Names match ignoring ASCII case, '_' and '-' alike.
bool sameName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) {
        return c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

} // namespace

std::vector<BytePair> Encoding::bytePairs(std::u16string_view text, std::span<const Variant>,
                                          std::string_view bytes,
                                          std::span<const Unencodable> unencodable) const {
    return bytePairsByRereading(text, bytes, unencodable);
}

std::vector<BytePair>
Encoding::bytePairsByRereading(std::u16string_view text, std::string_view bytes,
                               std::span<const Unencodable> unencodable) const {
    if (std::none_of(text.begin(), text.end(),
                     [](char16_t c) { return isRawByteChar(c) || c == u'\x1B'; }))
        return {};
    LineBreakCounts counts;
    const std::u16string back = decodeLines(bytes, counts).text;
    // Walk the text and what it reads back as side by side; a break of any
    // kind reads back as '\n', and the characters left out are skipped.
    const Unencodable* u = unencodable.data();
    const Unencodable* const uEnd = u + unencodable.size();
    std::size_t j = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (u != uEnd && u->index == i) {
            i += u->ch > 0xFFFF ? 2 : 1;
            ++u;
            continue;
        }
        const char16_t expected = isBreakUnit(text[i]) ? u'\n' : text[i];
        if (j >= back.size() || (back[j] != expected && back[j] != readsBackAs(expected)))
            return {{i, text[i], j < back.size() ? codePointAt(back, j) : 0}};
        i += isBreakUnit(text[i]) ? breakLength(text, i) : 1;
        ++j;
    }
    return {};
}

std::size_t skipUnencodable(std::u16string_view text, std::size_t i, Unmappable policy,
                            Encoded& out) {
    const char32_t ch = codePointAt(text, i);
    if (policy == Unmappable::Report)
        out.unencodable.push_back({i, ch});
    else
        out.bytes += "&#" + std::to_string(static_cast<std::uint32_t>(ch)) + ";";
    return i + utf16Length(ch);
}

const Encoding& cp932Encoding() {
    static const Cp932Encoding encoding;
    return encoding;
}

std::span<const Encoding* const> encodings() {
    static const std::array<const Encoding*, 6> all{
        &cp932Encoding(),   &utf8Encoding(),  &utf16LeEncoding(),
        &utf16BeEncoding(), &eucJpEncoding(), &iso2022JpEncoding(),
    };
    return all;
}

const Encoding* findEncoding(std::string_view name) {
    struct Alias {
        std::string_view name;
        const Encoding& (*encoding)();
    };
    // zu's own names, every label the web's encoding standard gives these
    // encodings, and the other names pages are seen to declare them by
    // ("x-euc", "EUC_JP": '_' and '-' are told apart by nobody).
    static const Alias aliases[] = {
        {"Shift_JIS", cp932Encoding},
        {"csshiftjis", cp932Encoding},
        {"ms932", cp932Encoding},
        {"ms_kanji", cp932Encoding},
        {"sjis", cp932Encoding},
        {"windows-31j", cp932Encoding},
        {"x-sjis", cp932Encoding},
        {"cp932", cp932Encoding},
        {"x-shift-jis", cp932Encoding},
        {"x-ms-cp932", cp932Encoding},
        {"windows-932", cp932Encoding},
        {"UTF-8", utf8Encoding},
        {"utf8", utf8Encoding},
        {"unicode-1-1-utf-8", utf8Encoding},
        {"unicode11utf8", utf8Encoding},
        {"unicode20utf8", utf8Encoding},
        {"x-unicode20utf8", utf8Encoding},
        {"UTF-16", utf16LeEncoding},
        {"utf16", utf16LeEncoding},
        {"UTF-16LE", utf16LeEncoding},
        {"csunicode", utf16LeEncoding},
        {"iso-10646-ucs-2", utf16LeEncoding},
        {"ucs-2", utf16LeEncoding},
        {"unicode", utf16LeEncoding},
        {"unicodefeff", utf16LeEncoding},
        {"UTF-16BE", utf16BeEncoding},
        {"unicodefffe", utf16BeEncoding},
        {"EUC-JP", eucJpEncoding},
        {"eucjp", eucJpEncoding},
        {"x-euc-jp", eucJpEncoding},
        {"cseucpkdfmtjapanese", eucJpEncoding},
        {"x-euc", eucJpEncoding},
        {"x-eucjp", eucJpEncoding},
        {"ujis", eucJpEncoding},
        {"Extended_UNIX_Code_Packed_Format_for_Japanese", eucJpEncoding},
        {"ISO-2022-JP", iso2022JpEncoding},
        {"csISO2022JP", iso2022JpEncoding},
        {"iso2022jp", iso2022JpEncoding},
        {"jis", iso2022JpEncoding},
    };
    for (const Alias& alias : aliases)
        if (sameName(alias.name, name))
            return &alias.encoding();
    return nullptr;
}

bool isUtf16(const Encoding& encoding) {
    return &encoding == &utf16LeEncoding() || &encoding == &utf16BeEncoding();
}

} // namespace zu
