#include "core/check/characters.h"

#include "core/check/check_parts.h"
#include "core/text/cp932.h"
#include "core/text/encoding.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>

namespace zu::check {
namespace {

struct PortableRow {
    char16_t c;
    std::u16string_view text;
};

// Written from the code tables of the extension rows: the circled numbers,
// the Roman numerals, the squared units and era names, the parenthesised
// and circled ideographs, and the three abbreviations, each as the
// characters it is made of. The rest of the rows (〝〟, ∮ ∑ ∟ ⊿, ￤ ＇ ＂ and
// IBM's ideographs such as 髙 or 﨑) have no form that is sure to mean the
// same: ＂ made '"' would end an attribute's value, 髙 made 高 changes a
// name. Sorted by character.
constexpr PortableRow kPortable[] = {
    {u'\u2116', u"No."},      {u'\u2121', u"TEL"},        {u'\u2160', u"I"},
    {u'\u2161', u"II"},       {u'\u2162', u"III"},        {u'\u2163', u"IV"},
    {u'\u2164', u"V"},        {u'\u2165', u"VI"},         {u'\u2166', u"VII"},
    {u'\u2167', u"VIII"},     {u'\u2168', u"IX"},         {u'\u2169', u"X"},
    {u'\u2170', u"i"},        {u'\u2171', u"ii"},         {u'\u2172', u"iii"},
    {u'\u2173', u"iv"},       {u'\u2174', u"v"},          {u'\u2175', u"vi"},
    {u'\u2176', u"vii"},      {u'\u2177', u"viii"},       {u'\u2178', u"ix"},
    {u'\u2179', u"x"},        {u'\u2460', u"(1)"},        {u'\u2461', u"(2)"},
    {u'\u2462', u"(3)"},      {u'\u2463', u"(4)"},        {u'\u2464', u"(5)"},
    {u'\u2465', u"(6)"},      {u'\u2466', u"(7)"},        {u'\u2467', u"(8)"},
    {u'\u2468', u"(9)"},      {u'\u2469', u"(10)"},       {u'\u246A', u"(11)"},
    {u'\u246B', u"(12)"},     {u'\u246C', u"(13)"},       {u'\u246D', u"(14)"},
    {u'\u246E', u"(15)"},     {u'\u246F', u"(16)"},       {u'\u2470', u"(17)"},
    {u'\u2471', u"(18)"},     {u'\u2472', u"(19)"},       {u'\u2473', u"(20)"},
    {u'\u3231', u"(株)"},     {u'\u3232', u"(有)"},       {u'\u3239', u"(代)"},
    {u'\u32A4', u"(上)"},     {u'\u32A5', u"(中)"},       {u'\u32A6', u"(下)"},
    {u'\u32A7', u"(左)"},     {u'\u32A8', u"(右)"},       {u'\u3303', u"アール"},
    {u'\u330D', u"カロリー"}, {u'\u3314', u"キロ"},       {u'\u3318', u"グラム"},
    {u'\u3322', u"センチ"},   {u'\u3323', u"セント"},     {u'\u3326', u"ドル"},
    {u'\u3327', u"トン"},     {u'\u332B', u"パーセント"}, {u'\u3336', u"ヘクタール"},
    {u'\u333B', u"ページ"},   {u'\u3349', u"ミリ"},       {u'\u334A', u"ミリバール"},
    {u'\u334D', u"メートル"}, {u'\u3351', u"リットル"},   {u'\u3357', u"ワット"},
    {u'\u337B', u"平成"},     {u'\u337C', u"昭和"},       {u'\u337D', u"大正"},
    {u'\u337E', u"明治"},     {u'\u338E', u"mg"},         {u'\u338F', u"kg"},
    {u'\u339C', u"mm"},       {u'\u339D', u"cm"},         {u'\u339E', u"km"},
    {u'\u33A1', u"m2"},       {u'\u33C4', u"cc"},         {u'\u33CD', u"K.K."},
};

constexpr bool sorted() {
    for (std::size_t i = 1; i < std::size(kPortable); ++i)
        if (kPortable[i - 1].c >= kPortable[i].c)
            return false;
    return true;
}
static_assert(sorted(), "the table is searched by halves");

// U+FF61 to U+FF9F, full-width, in order.
constexpr std::u16string_view kFullWidth =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(kFullWidth.size() == 0xFF9F - 0xFF61 + 1);

// The kana that take the voiced mark as the next character of the code
// table (カ → ガ ... ト → ド, ハ → バ ... ホ → ボ); of these, the last five
// take the semi-voiced mark as the one after that (パ).
constexpr std::u16string_view kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view kSemiVoiceable = u"ハヒフヘホ";

bool inExtensionRows(std::uint16_t code) {
    return (code >= 0x8740 && code <= 0x879C) || (code >= 0xED40 && code <= 0xEEFC) ||
           (code >= 0xFA40 && code <= 0xFC4B);
}

// "0x81 0x82", at most eight bytes and then "…".
std::u16string byteList(std::u16string_view raw) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    for (std::size_t i = 0; i < raw.size() && i < 8; ++i) {
        const unsigned b = raw[i] - kRawByteBase;
        out += i == 0 ? u"0x" : u" 0x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    if (raw.size() > 8)
        out += u" …";
    return out;
}

// The places the page's encoding cannot hold, as its encoder reports them.
// The text goes through in pieces, whose bytes are thrown away: a piece's
// bytes fit in the cache, and a whole page's bytes would be written to
// memory only to be dropped. A piece never ends inside a surrogate pair.
std::vector<Unencodable> unencodable(std::u16string_view text, const Encoding* encoding) {
    std::vector<Unencodable> lost;
    if (!encoding)
        return lost;
    constexpr std::size_t kPiece = 16384;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = std::min(text.size(), at + kPiece);
        if (end < text.size() && isHighSurrogate(text[end - 1]))
            ++end;
        const Encoded piece = encoding->encodeLines(text.substr(at, end - at), {}, LineBreak::Lf,
                                                    {}, Unmappable::Report);
        for (Unencodable u : piece.unencodable) {
            u.index += at;
            lost.push_back(u);
        }
        at = end;
    }
    return lost;
}

} // namespace

bool isPlatformCharacter(char16_t c) {
    // The usual byte form, from the code page itself: the rows are never
    // written out here, and a character the rows repeat from the standard
    // set takes its standard form.
    return c >= 0x80 && inExtensionRows(cp932::codeOf(c));
}

std::u16string_view portableForm(char16_t c) {
    const auto* row = std::lower_bound(std::begin(kPortable), std::end(kPortable), c,
                                       [](const PortableRow& r, char16_t x) { return r.c < x; });
    return row != std::end(kPortable) && row->c == c ? row->text : std::u16string_view();
}

std::u16string fullWidthKana(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (!isHalfWidthKana(c)) {
            out.push_back(c);
            continue;
        }
        const char16_t full = kFullWidth[c - 0xFF61];
        if (!out.empty() && (full == u'゛' || full == u'゜')) {
            char16_t& last = out.back();
            if (full == u'゛' && kVoiceable.find(last) != std::u16string_view::npos) {
                ++last;
                continue;
            }
            if (full == u'゛' && last == u'ウ') {
                last = u'ヴ';
                continue;
            }
            if (full == u'゜' && kSemiVoiceable.find(last) != std::u16string_view::npos) {
                last = static_cast<char16_t>(last + 2);
                continue;
            }
        }
        out.push_back(full);
    }
    return out;
}

void checkCharacters(std::u16string_view text, const PageFacts& facts, Findings& out) {
    const std::vector<Unencodable> lost = unencodable(text, facts.encoding);
    auto next = lost.begin();
    std::u16string name; // the encoding's name is ASCII
    for (const char ch : facts.encoding ? facts.encoding->name() : std::string_view())
        name.push_back(static_cast<char16_t>(ch));
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (isRawByteChar(c)) {
            std::size_t end = i + 1;
            while (end < text.size() && isRawByteChar(text[end]))
                ++end;
            out.add(Rule::UnreadableBytes, i, end, {byteList(text.substr(i, end - i))});
            next = std::lower_bound(next, lost.end(), end, [](const Unencodable& u, std::size_t x) {
                return u.index < x;
            });
            i = end;
            continue;
        }
        const std::size_t width =
            isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) ? 2 : 1;
        while (next != lost.end() && next->index < i)
            ++next;
        if (next != lost.end() && next->index == i) {
            out.add(Rule::Unencodable, i, i + width, {text.substr(i, width), name});
        } else if (isPlatformCharacter(c)) {
            const std::u16string_view portable = portableForm(c);
            const std::u16string advice =
                portable.empty() ? u"" : u"「" + std::u16string(portable) + u"」にできます。";
            out.add(Rule::PlatformCharacter, i, i + 1, {text.substr(i, 1), advice},
                    portable.empty() ? std::optional<Fix>()
                                     : Fix{i, i + 1, std::u16string(portable)});
        }
        i += width;
    }
}

} // namespace zu::check
