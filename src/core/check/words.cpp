// The text a reader gets, word by word: half-width katakana, and words
// spaced out for layout (「氏　名」, "W E L C O M E"), which speech reads as
// separate letters. Only text counts: tags, attribute values, comments and
// scripts are left alone.

#include "core/check/characters.h"
#include "core/check/check_parts.h"
#include "core/text/utf.h"

#include <array>
#include <cstdint>

namespace zu::check {
namespace {

// Kanji, hiragana and katakana (half-width too), 々 and 〆; a character past
// U+FFFF counts as a kanji (a high surrogate of the ideographic planes).
constexpr bool japaneseLetter(char16_t c) {
    return (c >= u'\u3041' && c <= u'\u3096') || (c >= u'\u309D' && c <= u'\u309F') ||
           (c >= u'\u30A1' && c <= u'\u30FA') || (c >= u'\u30FC' && c <= u'\u30FF') ||
           (c >= u'\u3400' && c <= u'\u4DBF') || (c >= u'\u4E00' && c <= u'\u9FFF') ||
           (c >= u'\uF900' && c <= u'\uFAFF') || (c >= u'\uFF66' && c <= u'\uFF9F') ||
           c == u'\u3005' || c == u'\u3006' || (c >= 0xD840 && c <= 0xD87F);
}

constexpr bool isLatinLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           (c >= u'\uFF21' && c <= u'\uFF3A') || (c >= u'\uFF41' && c <= u'\uFF5A');
}

// What makes a letter part of a longer word: letters and digits of any
// script the check knows.
constexpr bool wordCharacter(char16_t c) {
    return japaneseLetter(c) || isLatinLetter(c) || (c >= u'0' && c <= u'9') ||
           (c >= u'\uFF10' && c <= u'\uFF19') ||
           (c >= u'\u00C0' && c <= u'\u02AF' && c != u'\u00D7' && c != u'\u00F7') ||
           (c >= u'\u0370' && c <= u'\u04FF') || isLowSurrogate(c);
}

// The two questions asked of every character of a page's text, answered
// once for all of UTF-16's units: one bit each.
template <bool (*Test)(char16_t)> constexpr auto bitsOf() {
    std::array<std::uint64_t, 0x10000 / 64> bits{};
    for (unsigned c = 0; c < 0x10000; ++c)
        if (Test(static_cast<char16_t>(c)))
            bits[c >> 6] |= std::uint64_t{1} << (c & 63);
    return bits;
}
constexpr auto kJapaneseLetters = bitsOf<japaneseLetter>();
constexpr auto kWordCharacters = bitsOf<wordCharacter>();

bool isJapaneseLetter(char16_t c) {
    return (kJapaneseLetters[c >> 6] >> (c & 63) & 1) != 0;
}
bool isWordCharacter(char16_t c) {
    return (kWordCharacters[c >> 6] >> (c & 63) & 1) != 0;
}

// The blanks that space a word out: a space, U+3000 or a no-break space
// (as characters or references), not a line break or a tab.
std::size_t spacingAt(std::u16string_view text, std::size_t at, std::size_t end) {
    const std::size_t n = blankAt(text.substr(0, end), at);
    if (n == 1 && (text[at] == u'\n' || text[at] == u'\r' || text[at] == u'\t' ||
                   text[at] == u'\u2029' || text[at] == u'\f'))
        return 0;
    return n;
}

class WordScan {
public:
    WordScan(std::u16string_view text, std::size_t start, std::size_t end, Findings& out)
        : text_(text), start_(start), end_(end), out_(out) {}

    void run() {
        // Whether the character before is a letter or digit, carried along
        // so that each character is classified once: in running text that
        // alone tells that a letter is not alone.
        bool afterWord = false;
        for (std::size_t i = start_; i < end_;) {
            const char16_t c = text_[i];
            if (c < 0x80 && !isLatinLetter(c)) {
                afterWord = c >= u'0' && c <= u'9';
                ++i;
                continue;
            }
            if (!afterWord && i >= spacedUntil_ && lone(i))
                spacedUntil_ = spaced(i);
            afterWord = isWordCharacter(c);
            if (!isHalfWidthKana(c)) {
                i += width(i);
                continue;
            }
            std::size_t e = i + 1;
            while (e < end_ && isHalfWidthKana(text_[e]))
                ++e;
            const std::u16string_view run = text_.substr(i, e - i);
            const std::u16string full = fullWidthKana(run);
            out_.add(Rule::HalfWidthKana, i, e, {run, full}, Fix{i, e, full});
            afterWord = true;
            i = e;
        }
    }

private:
    std::u16string_view text_;
    std::size_t start_, end_;
    Findings& out_;
    std::size_t spacedUntil_ = 0; // the letters before it are in a finding already

    std::size_t width(std::size_t at) const {
        return isHighSurrogate(text_[at]) && at + 1 < end_ ? 2 : 1;
    }
    bool wordAt(std::size_t at) const { return at < end_ && isWordCharacter(text_[at]); }
    // A letter with no letter or digit before it or after it.
    bool lone(std::size_t at) const {
        return (isJapaneseLetter(text_[at]) || isLatinLetter(text_[at])) &&
               (at == start_ || !isWordCharacter(text_[at - 1])) && !wordAt(at + width(at));
    }

    // From the lone letter at `first`: the letters of its script that follow
    // it, each alone, each after blanks. Returns where the scan goes on.
    std::size_t spaced(std::size_t first) {
        const bool japanese = isJapaneseLetter(text_[first]);
        std::u16string letters(text_.substr(first, width(first)));
        std::size_t last = first + width(first);
        std::size_t gaps = 0;
        for (;;) {
            std::size_t at = last;
            std::size_t blanks = 0;
            while (std::size_t n = spacingAt(text_, at, end_)) {
                at += n;
                ++blanks;
            }
            // Latin letters spaced out take one blank each; Japanese ones may
            // take more, to line a label up with a longer one (「住　　所」).
            if (blanks == 0 || at >= end_ || (!japanese && blanks > 1) || !lone(at) ||
                isJapaneseLetter(text_[at]) != japanese)
                break;
            letters.append(text_.substr(at, width(at)));
            last = at + width(at);
            ++gaps;
        }
        if (japanese && gaps >= 1)
            out_.add(Rule::SpacedWord, first, last, {text_.substr(first, last - first), letters},
                     Fix{first, last, letters});
        else if (!japanese && gaps >= 3)
            out_.add(Rule::SpacedLetters, first, last, {text_.substr(first, last - first)});
        return gaps == 0 ? first + width(first) : last;
    }
};

} // namespace

std::unique_ptr<TokenReader> wordChecks(Findings& out) {
    struct Reader : TokenReader {
        Findings& out;
        explicit Reader(Findings& o) : out(o) {}
        void read(const Page& page, const Token& t) override {
            if (t.kind == Token::Kind::Text)
                WordScan(page.text, t.start, t.end, out).run();
        }
    };
    return std::make_unique<Reader>(out);
}

} // namespace zu::check
