#include "core/text/document_text.h"

#include <algorithm>
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

// Raw lead bytes that the byte written after them would complete. The text
// is searched only for raw-byte characters, which are rare, so the pass is
// cheap even for a large document.
std::vector<SaveProblem> findJoins(std::u16string_view text,
                                   std::span<const cp932::Variant> variants) {
    std::vector<SaveProblem> joins;
    const cp932::Variant* v = variants.data();
    const cp932::Variant* const vEnd = v + variants.size();
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
            joins.push_back({text[i], i, 0, 0, SaveProblem::Kind::Joins, reading});
            ++i; // the two are read as one; the byte after them starts afresh
        }
    }
    return joins;
}

// Fills in line and column of each problem (in index order), walking the
// text once. Breaks are counted as encodeLines writes them, and a column
// counts a surrogate pair as the one character it is.
void locate(std::u16string_view text, std::vector<SaveProblem>& problems) {
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t i = 0;
    for (SaveProblem& u : problems) {
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
        u.line = line;
        u.column = column;
    }
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
    doc.breaks = std::move(decoded.breaks);
    doc.lineBreak = dominantStyle(counts, doc.mixedBreaks);
    return doc;
}

EncodedDocument encodeDocument(std::u16string_view text, LineBreak style,
                               std::span<const cp932::Variant> variants, cp932::Unmappable policy,
                               std::span<const LineBreak> breaks) {
    cp932::Encoded encoded = cp932::encodeLines(text, breaks, style, variants, policy);
    EncodedDocument doc;
    doc.bytes = std::move(encoded.bytes);
    if (policy != cp932::Unmappable::Report)
        return doc;
    for (const cp932::Unencodable& u : encoded.unencodable)
        doc.problems.push_back({u.ch, u.index, 0, 0});
    std::vector<SaveProblem> joins = findJoins(text, variants);
    if (!joins.empty()) {
        const auto middle = static_cast<std::ptrdiff_t>(doc.problems.size());
        doc.problems.insert(doc.problems.end(), joins.begin(), joins.end());
        std::inplace_merge(
            doc.problems.begin(), doc.problems.begin() + middle, doc.problems.end(),
            [](const SaveProblem& a, const SaveProblem& b) { return a.index < b.index; });
    }
    if (!doc.problems.empty())
        locate(text, doc.problems);
    return doc;
}

} // namespace zu
