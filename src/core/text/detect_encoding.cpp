#include "core/text/detect_encoding.h"

#include "core/text/japanese_reading.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
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

// The value of the first `word=value` in s[from, close), the word one of its
// own (the attribute of <meta charset> or <?xml encoding>, or the parameter
// inside the http-equiv form's content), the value unquoted.
template <typename Char>
std::optional<CharsetDeclaration> valueOf(std::basic_string_view<Char> s, std::size_t from,
                                          std::size_t close, std::string_view word) {
    for (std::size_t k = from; k < close; ++k) {
        if (!startsWithWord(s, k, word) || isNameChar(s[k - 1]))
            continue;
        std::size_t v = k + word.size();
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
    return std::nullopt;
}

// Whether s[at] starts the tag `name`: "<name" then a space, '/' or '>'.
template <typename Char>
bool isTag(std::basic_string_view<Char> s, std::size_t at, std::string_view name) {
    const std::size_t after = at + 1 + name.size();
    return s[at] == '<' && startsWithWord(s, at + 1, name) && after < s.size() &&
           (isSpace(s[after]) || s[after] == '/' || s[after] == '>');
}

template <typename Char>
std::optional<CharsetDeclaration> findDeclaration(std::basic_string_view<Char> s) {
    s = s.substr(0, kDeclarationReach);
    for (std::size_t meta = 0; meta < s.size(); ++meta) {
        if (!isTag(s, meta, "meta"))
            continue;
        const std::size_t close = s.find(Char('>'), meta);
        if (close == std::basic_string_view<Char>::npos)
            return std::nullopt; // the tag runs past the reach
        if (const auto value = valueOf(s, meta + 5, close, "charset"))
            return value;
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

namespace {

template <typename Char>
const Encoding* labelled(std::basic_string_view<Char> s, CharsetDeclaration d) {
    std::string label;
    for (Char c : s.substr(d.position, d.length))
        label.push_back(static_cast<char>(c)); // name characters, all ASCII
    return findEncoding(label);
}

// The first declaration in the head (up to "</head>" or "<body", else the
// whole text), comments skipped, whose label `wanted` accepts.
template <typename Char, typename Wanted>
std::optional<CharsetDeclaration> headDeclaration(std::basic_string_view<Char> s, Wanted wanted) {
    using View = std::basic_string_view<Char>;
    static constexpr Char kCommentOpen[] = {'<', '!', '-', '-'};
    static constexpr Char kCommentClose[] = {'-', '-', '>'};
    static constexpr Char kXmlClose[] = {'?', '>'};
    for (std::size_t i = s.find(Char('<')); i != View::npos; i = s.find(Char('<'), i + 1)) {
        if (s.substr(i, 4) == View(kCommentOpen, 4)) {
            i = s.find(View(kCommentClose, 3), i + 4);
            if (i == View::npos)
                break;
            continue;
        }
        if (isTag(s, i, "/head") || isTag(s, i, "body"))
            break;
        const bool meta = isTag(s, i, "meta");
        if (!meta && !isTag(s, i, "?xml"))
            continue;
        const std::size_t close = meta ? s.find(Char('>'), i) : s.find(View(kXmlClose, 2), i);
        if (close == View::npos)
            break;
        if (const auto value = valueOf(s, i + 5, close, meta ? "charset" : "encoding");
            value && wanted(labelled(s, *value)))
            return value;
        i = close;
    }
    return std::nullopt;
}

} // namespace

const Encoding* declaredEncoding(std::string_view bytes) {
    const auto declared = headDeclaration(bytes, [](const Encoding* e) { return e != nullptr; });
    if (!declared)
        return nullptr;
    const Encoding* e = labelled(bytes, *declared);
    // A declaration that could be read as ASCII is not in UTF-16, whatever
    // it says; browsers take such a page as UTF-8.
    return isUtf16(*e) ? &utf8Encoding() : e;
}

std::optional<CharsetDeclaration> findHeadDeclaration(std::u16string_view text, Labels labels) {
    return headDeclaration(
        text, [labels](const Encoding* e) { return labels == Labels::Any || e != nullptr; });
}

namespace {

// The escapes ISO-2022-JP switches sets with.
bool hasIso2022JpEscape(std::string_view bytes) {
    static constexpr std::string_view escapes[] = {"\x1B(B", "\x1B(J", "\x1B(I",
                                                   "\x1B$@", "\x1B$B", "\x1B$(D"};
    for (std::size_t i = bytes.find('\x1B'); i != std::string_view::npos;
         i = bytes.find('\x1B', i + 1))
        for (std::string_view e : escapes)
            if (bytes.substr(i, e.size()) == e)
                return true;
    return false;
}

bool isSevenBit(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080u) != 0)
            return false;
    }
    for (; p < end; ++p)
        if (*p >= 0x80)
            return false;
    return true;
}

struct Scored {
    const Encoding* encoding;
    Reading reading;
};

constexpr std::pair<Candidate, const Encoding& (*)()> kCandidates[] = {
    {Candidate::Cp932, cp932Encoding},
    {Candidate::EucJp, eucJpEncoding},
    {Candidate::Utf8, utf8Encoding},
};

// Of the candidates other than `skip` that leave at most `rawLimit` bytes
// raw, the one that leaves the fewest, then reads most like Japanese; none
// when no candidate does. The one the file's start favours is read whole first, so that the
// others stop as soon as they leave more bytes raw: a large file is read
// about once.
std::optional<Scored> bestReading(std::string_view bytes, std::size_t rawLimit,
                                  const Encoding* skip = nullptr) {
    constexpr std::size_t kStart = 64 * 1024;
    const auto better = [](const Reading& a, const Reading& b) {
        return a.rawBytes < b.rawBytes || (a.rawBytes == b.rawBytes && a.score > b.score);
    };
    std::array<std::size_t, std::size(kCandidates)> order{0, 1, 2};
    if (bytes.size() > kStart) {
        std::array<Reading, std::size(kCandidates)> start;
        for (std::size_t k = 0; k < order.size(); ++k)
            start[k] = readAs(kCandidates[k].first, bytes.substr(0, kStart));
        std::ranges::stable_sort(
            order, [&](std::size_t a, std::size_t b) { return better(start[a], start[b]); });
    }
    std::optional<Scored> best;
    std::optional<std::size_t> bestIndex;
    for (std::size_t k : order) {
        const auto [candidate, encoding] = kCandidates[k];
        if (&encoding() == skip)
            continue;
        const Reading r = readAs(candidate, bytes, best ? best->reading.rawBytes : rawLimit);
        if (r.rawBytes > rawLimit)
            continue;
        // Between equals the earlier in kCandidates wins, whatever the order read.
        if (!best || better(r, best->reading) || (!better(best->reading, r) && k < *bestIndex)) {
            best = Scored{&encoding(), r};
            bestIndex = k;
        }
    }
    return best;
}

// How the file reads in the encoding it declares: the raw bytes counted
// only as far as telling whether there are any.
Reading declaredReading(const Encoding& encoding, std::string_view bytes, Utf8Scan utf8) {
    if (&encoding == &utf8Encoding())
        return {utf8 == Utf8Scan::Invalid ? 1u : 0u, 0};
    if (&encoding == &iso2022JpEncoding())
        return {isSevenBit(bytes) ? 0u : 1u, 0};
    for (auto [candidate, e] : kCandidates)
        if (&e() == &encoding)
            return readAs(candidate, bytes, 0);
    return {};
}

// A clean reading that scores this much better than the declared one's
// shows the declaration wrong even where the declared encoding reads every
// byte: EUC-JP's kana read as Shift_JIS make half-width katakana and rare
// kanji, which score little, where EUC-JP reads them as the kana.
bool farBetter(const Reading& other, const Reading& declared) {
    return other.score > 2 * declared.score + 4;
}

} // namespace

Detected detectEncoding(std::string_view bytes) {
    const Encoding* declared = declaredEncoding(bytes);
    for (const Encoding* e : {&utf8Encoding(), &utf16LeEncoding(), &utf16BeEncoding()})
        if (startsWith(bytes, e->byteOrderMark()))
            return {e, true, declared};
    if (hasIso2022JpEscape(bytes) && isSevenBit(bytes))
        return {&iso2022JpEncoding(), false, declared};
    const Utf8Scan utf8 = scanUtf8(bytes);
    if (utf8 == Utf8Scan::Valid)
        return {&utf8Encoding(), false, declared};
    if (declared) {
        const Reading own = declaredReading(*declared, bytes, utf8);
        // The declared encoding itself need not be read again.
        const std::optional<Scored> clean = bestReading(bytes, 0, declared);
        if (clean && (own.rawBytes > 0 || farBetter(clean->reading, own)))
            return {clean->encoding, false, declared};
        return {declared, false, declared};
    }
    return {bestReading(bytes, std::numeric_limits<std::size_t>::max())->encoding, false, declared};
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
