#pragma once
// core/text, the bottom of the core: the code pages behind one interface
// (encoding.h; CP932 in cp932.h, the others through iconv), detecting a
// file's encoding (detect_encoding.h), UTF conversion (utf.h) and a
// document's bytes as text with its line breaks.
//
// A document's file bytes as text, and back: the code page plus line breaks.
// Inside the program every line break is one character ('\n', or U+2029 as
// the editing control reports its paragraph ends); which bytes each break of
// the file was (CR LF, LF or a lone CR) is kept beside the text, so that a
// file is written back as it was read, and the most frequent style is the
// one new breaks take.

#include "core/text/cp932.h"
#include "core/text/encoding.h"
#include "core/text/line_breaks.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// How a document's text becomes its file: the encoding, whether a
// byte-order mark leads, and the style of every break the file did not
// have (a break the user made).
struct TextForm {
    const Encoding* encoding = &cp932Encoding();
    bool byteOrderMark = false;
    LineBreak lineBreak = LineBreak::CrLf;
};

struct DocumentText {
    std::u16string text;                   // line breaks as '\n'
    std::vector<LineBreak> breaks;         // each break of the file as it was, in order
    LineBreak lineBreak = LineBreak::CrLf; // the most frequent; CR LF when the file has no break
    bool mixedBreaks = false;              // more than one style
    std::vector<Variant> variants;         // indexes into `text`
    std::size_t rawBytes = 0;
    const Encoding* encoding = &cp932Encoding();
    bool byteOrderMark = false; // the file started with the encoding's mark
    // The encoding the page declares (detectEncoding); null when none or
    // when the text was not read by detection.
    const Encoding* declared = nullptr;

    TextForm form() const { return {encoding, byteOrderMark, lineBreak}; }
};

// A stretch of a document's text from `from` up to `to`, in positions of
// the text as the file holds it (source positions).
struct SourceRange {
    long from = 0;
    long to = 0;
};

// `result`, a text with the ascending ranges `removed` taken out, as it is
// loaded in place of that text: the characters that stay keep the byte
// forms `variants` gave them and the breaks that stay their kinds (the
// break at position breakAt[k] is of kind kinds[k]; every break, where the
// text keeps them one by one, else none), at the places they now stand; the
// text is written in `form`.
DocumentText keptText(std::u16string result, std::span<const SourceRange> removed,
                      const TextForm& form, std::span<const Variant> variants,
                      std::span<const long> breakAt, std::span<const LineBreak> kinds);

// File bytes in `encoding` to text; a byte-order mark of that encoding at
// the start is taken off and remembered. Never fails.
DocumentText decodeDocument(std::string_view bytes, const Encoding& encoding = cp932Encoding());

// The bytes of a file being opened, in the encoding detectEncoding finds.
DocumentText decodeDetected(std::string_view bytes);

// The bytes of a file read again in an encoding the user chose: a
// byte-order mark of another Unicode form decides the form, as the user's
// choice cannot read it (settleByteOrder), and the declared charset is
// found as on opening.
DocumentText decodeChosen(std::string_view bytes, const Encoding& chosen);

// A place where the saved bytes would not read back as the text: a character
// the code page cannot hold, or a byte kept raw that the bytes next to it
// would complete, so that the file reads back as `readsAs` there.
// Where it stands: 1-based line and column, counted in characters.
struct SaveProblem {
    enum class Kind { Unencodable, BytePair };
    char32_t ch; // the character that cannot be saved, or the raw byte's character
    std::size_t index;
    std::size_t line;
    std::size_t column;
    Kind kind = Kind::Unencodable;
    char32_t readsAs = 0; // BytePair: what the two read back as
};

struct EncodedDocument {
    std::string bytes;
    // With Unmappable::Report: what the user must decide on before anything
    // is written, in text order.
    std::vector<SaveProblem> problems;
};

// Text to file bytes. `text` may end its lines with '\n' or U+2029 (a "\r\n"
// pair also counts as one break); the k-th break is written as breaks[k],
// and every break past the end of `breaks` in the form's style.
EncodedDocument encodeDocument(std::u16string_view text, const TextForm& form,
                               std::span<const Variant> variants = {},
                               Unmappable policy = Unmappable::Report,
                               std::span<const LineBreak> breaks = {});

// The bytes of a large text made a run of whole lines at a time, so that
// the text is never held whole in one more form to be saved: the pieces
// one after the other are what encodeDocument makes of the lines one after
// the other, and the problems the same. `variants` and `breaks` are the
// whole text's, as encodeDocument takes them.
class PieceEncoder {
public:
    PieceEncoder(const TextForm& form, std::span<const Variant> variants,
                 std::span<const LineBreak> breaks, Unmappable policy);
    // The next lines: every one ends in a break but the text's last.
    void add(std::u16string_view lines);

    std::vector<std::string> pieces;
    std::vector<SaveProblem> problems;

private:
    TextForm form_;
    std::span<const Variant> variants_;
    std::span<const LineBreak> breaks_;
    Unmappable policy_;
    std::size_t offset_ = 0;    // characters of the text before the next lines
    std::size_t nextBreak_ = 0; // breaks before them
    std::size_t nextVariant_ = 0;
};

// The same in CP932 without a byte-order mark, new breaks in `style`.
EncodedDocument encodeDocument(std::u16string_view text, LineBreak style,
                               std::span<const Variant> variants = {},
                               Unmappable policy = Unmappable::Report,
                               std::span<const LineBreak> breaks = {});

} // namespace zu
