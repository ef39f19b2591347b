#include "core/text/document_text.h"

#include <array>

namespace zu {
namespace {

// The style a file is saved in when its breaks disagree: the most frequent,
// and on a tie the order here, CR LF first because it is what new documents
// use.
LineBreak dominantStyle(const cp932::LineBreakCounts& counts, bool& mixed) {
    const std::array<std::pair<LineBreak, std::size_t>, 3> byStyle{{
        {LineBreak::CrLf, counts.crLf},
        {LineBreak::Lf, counts.lf},
        {LineBreak::Cr, counts.cr},
    }};
    LineBreak best = LineBreak::CrLf;
    std::size_t bestCount = 0;
    int present = 0;
    for (auto [style, count] : byStyle) {
        present += count > 0;
        if (count > bestCount) {
            best = style;
            bestCount = count;
        }
    }
    mixed = present > 1;
    return best;
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Line and column of each unencodable character, walking the text once.
// Breaks are counted as encodeLines writes them, and a column counts a
// surrogate pair as the one character it is.
std::vector<SaveProblem> locate(std::u16string_view text,
                                const std::vector<cp932::Unencodable>& unencodable) {
    std::vector<SaveProblem> problems;
    problems.reserve(unencodable.size());
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t i = 0;
    for (const auto& u : unencodable) {
        for (; i < u.index; ++i) {
            const char16_t c = text[i];
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                continue; // the '\n' ends the line
            }
            if (c == u'\n' || c == u'\r' || c == u'\u2029') {
                ++line;
                column = 1;
            } else if (!(isLowSurrogate(c) && i > 0 && isHighSurrogate(text[i - 1]))) {
                ++column;
            }
        }
        problems.push_back({u.ch, u.index, line, column});
    }
    return problems;
}

} // namespace

std::string_view lineBreakBytes(LineBreak style) {
    switch (style) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Lf:
        return "\n";
    case LineBreak::Cr:
        return "\r";
    }
    return "\r\n";
}

DocumentText decodeDocument(std::string_view bytes) {
    cp932::LineBreakCounts counts;
    cp932::Decoded decoded = cp932::decodeLines(bytes, counts);
    DocumentText doc;
    doc.text = std::move(decoded.text);
    doc.variants = std::move(decoded.variants);
    doc.rawBytes = decoded.rawBytes;
    doc.lineBreak = dominantStyle(counts, doc.mixedBreaks);
    return doc;
}

EncodedDocument encodeDocument(std::u16string_view text, LineBreak style,
                               std::span<const cp932::Variant> variants, cp932::Unmappable policy) {
    cp932::Encoded encoded = cp932::encodeLines(text, lineBreakBytes(style), variants, policy);
    EncodedDocument doc;
    doc.bytes = std::move(encoded.bytes);
    if (!encoded.unencodable.empty())
        doc.problems = locate(text, encoded.unencodable);
    return doc;
}

} // namespace zu
