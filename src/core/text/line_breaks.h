#pragma once
// Line breaks for the code pages that decode through a library first and
// find the breaks after: folding them into '\n' in the decoded text, and
// telling, while encoding, which kind the next break of the text is.

#include "core/text/code_page.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// Makes every CR LF, lone LF and lone CR of `text` one '\n', in place, and
// notes each break's kind in `breaks` (appended) and `counts`.
void foldLineBreaks(std::u16string& text, std::vector<LineBreak>& breaks, LineBreakCounts& counts);

// The line break that starts at bytes[i], a CR or an LF, in an
// ASCII-compatible code page; `length` is set to its length in bytes.
inline LineBreak breakAt(std::string_view bytes, std::size_t i, std::size_t& length) {
    const bool pair = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    length = pair ? 2 : 1;
    return pair ? LineBreak::CrLf : bytes[i] == '\r' ? LineBreak::Cr : LineBreak::Lf;
}

// Counts one break of the given kind.
inline void countBreak(LineBreakCounts& counts, LineBreak kind) {
    ++(kind == LineBreak::CrLf ? counts.crLf : kind == LineBreak::Cr ? counts.cr : counts.lf);
}

// The bytes of one line break in the given style, in an ASCII-compatible
// code page.
std::string_view lineBreakBytes(LineBreak style);

// Whether `c` ends a line in the text handed to an encoder: '\n', '\r'
// (alone or before '\n') or U+2029, as the editing control reports its
// paragraph ends.
inline constexpr bool isBreakUnit(char16_t c) {
    return c == u'\n' || c == u'\r' || c == u'\u2029';
}

// Hands out the kind of each break of a text in turn: the one the file had
// there, else the fallback (a break the user made).
class BreakSequence {
public:
    BreakSequence(std::span<const LineBreak> breaks, LineBreak fallback)
        : breaks_(breaks), fallback_(fallback) {}
    LineBreak next() {
        const LineBreak kind = next_ < breaks_.size() ? breaks_[next_] : fallback_;
        ++next_;
        return kind;
    }

private:
    std::span<const LineBreak> breaks_;
    LineBreak fallback_;
    std::size_t next_ = 0;
};

// The number of units the break starting at text[i] takes: 2 for a "\r\n"
// pair, else 1.
inline std::size_t breakLength(std::u16string_view text, std::size_t i) {
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
}

} // namespace zu
