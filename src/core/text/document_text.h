#pragma once
// core/text, the bottom of the core: the CP932 code page (cp932.h), UTF
// conversion (utf.h) and a document's bytes as text with its line breaks.
//
// A document's file bytes as text, and back: the code page plus line breaks.
// Inside the program every line break is one character ('\n', or U+2029 as
// the editing control reports its paragraph ends); the file's own break style
// is detected on load and written again on save.

#include "core/text/cp932.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

enum class LineBreak { CrLf, Lf, Cr };

// The bytes of one line break in the given style.
std::string_view lineBreakBytes(LineBreak style);

struct DocumentText {
    std::u16string text;                   // line breaks as '\n'
    LineBreak lineBreak = LineBreak::CrLf; // the file's style; CR LF when it has no break
    bool mixedBreaks = false;              // more than one style: lineBreak is the most frequent
    std::vector<cp932::Variant> variants;  // indexes into `text`
    std::size_t rawBytes = 0;
};

// File bytes to text. Never fails.
DocumentText decodeDocument(std::string_view bytes);

// A character that cannot be saved, with where it stands (1-based line and
// column, counted in characters of the text).
struct SaveProblem {
    char32_t ch;
    std::size_t index;
    std::size_t line;
    std::size_t column;
};

struct EncodedDocument {
    std::string bytes;
    std::vector<SaveProblem> problems; // with Unmappable::Report: nothing may be written
};

// Text to file bytes. `text` may end its lines with '\n' or U+2029 (a "\r\n"
// pair also counts as one break); every break is written in `style`.
EncodedDocument encodeDocument(std::u16string_view text, LineBreak style,
                               std::span<const cp932::Variant> variants = {},
                               cp932::Unmappable policy = cp932::Unmappable::Report);

} // namespace zu
