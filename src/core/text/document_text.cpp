#include "core/text/document_text.h"

#include "core/text/detect_encoding.h"
#include "core/text/utf.h"

#include <algorithm>
#include <array>
#include <optional>

namespace zu {
namespace {

// The style a file is saved in when its breaks disagree: the most frequent,
// and on a tie the order here, CR LF first because it is what new documents
// use.
LineBreak dominantStyle(const LineBreakCounts& counts, bool& mixed) {
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

DocumentText decodeBody(std::string_view bytes, const Encoding& encoding, bool byteOrderMark) {
    LineBreakCounts counts;
    Decoded decoded = encoding.decodeLines(bytes, counts);
    DocumentText doc;
    doc.text = std::move(decoded.text);
    doc.variants = std::move(decoded.variants);
    doc.rawBytes = decoded.rawBytes;
    doc.breaks = std::move(decoded.breaks);
    doc.lineBreak = dominantStyle(counts, doc.mixedBreaks);
    doc.encoding = &encoding;
    doc.byteOrderMark = byteOrderMark;
    return doc;
}

} // namespace

DocumentText decodeDocument(std::string_view bytes, const Encoding& encoding) {
    const std::string_view mark = encoding.byteOrderMark();
    const bool marked = !mark.empty() && bytes.substr(0, mark.size()) == mark;
    return decodeBody(marked ? bytes.substr(mark.size()) : bytes, encoding, marked);
}

DocumentText decodeDetected(std::string_view bytes) {
    const Detected detected = detectEncoding(bytes);
    const std::size_t skip = detected.byteOrderMark ? detected.encoding->byteOrderMark().size() : 0;
    DocumentText doc = decodeBody(bytes.substr(skip), *detected.encoding, detected.byteOrderMark);
    doc.declared = detected.declared;
    return doc;
}

DocumentText decodeChosen(std::string_view bytes, const Encoding& chosen) {
    DocumentText doc = decodeDocument(bytes, settleByteOrder(chosen, bytes));
    doc.declared = declaredEncoding(bytes);
    return doc;
}

EncodedDocument encodeDocument(std::u16string_view text, const TextForm& form,
                               std::span<const Variant> variants, Unmappable policy,
                               std::span<const LineBreak> breaks) {
    const Encoding& encoding = *form.encoding;
    if (!encoding.keepsByteForms())
        variants = {};
    Encoded encoded = encoding.encodeLines(text, breaks, form.lineBreak, variants, policy);
    EncodedDocument doc;
    const std::size_t markLength = form.byteOrderMark ? encoding.byteOrderMark().size() : 0;
    if (markLength > 0) {
        doc.bytes.reserve(markLength + encoded.bytes.size());
        doc.bytes = encoding.byteOrderMark();
        doc.bytes += encoded.bytes;
    } else {
        doc.bytes = std::move(encoded.bytes);
    }
    if (policy != Unmappable::Report)
        return doc;
    for (const Unencodable& u : encoded.unencodable)
        doc.problems.push_back({u.ch, u.index, 0, 0});
    const std::string_view body = std::string_view(doc.bytes).substr(markLength);
    const std::vector<BytePair> pairs =
        encoding.bytePairs(text, variants, body, encoded.unencodable);
    if (!pairs.empty()) {
        const auto middle = static_cast<std::ptrdiff_t>(doc.problems.size());
        for (const BytePair& p : pairs)
            doc.problems.push_back({p.ch, p.index, 0, 0, SaveProblem::Kind::BytePair, p.readsAs});
        std::inplace_merge(
            doc.problems.begin(), doc.problems.begin() + middle, doc.problems.end(),
            [](const SaveProblem& a, const SaveProblem& b) { return a.index < b.index; });
    }
    if (!doc.problems.empty())
        locate(text, doc.problems);
    return doc;
}

PieceEncoder::PieceEncoder(const TextForm& form, std::span<const Variant> variants,
                           std::span<const LineBreak> breaks, Unmappable policy)
    : form_(form), variants_(variants), breaks_(breaks), policy_(policy) {}

void PieceEncoder::add(std::u16string_view lines) {
    // Breaks counted as encodeDocument counts them: a CR LF pair is one.
    std::size_t breakCount = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == u'\u2029' || (lines[i] == u'\n' && (i == 0 || lines[i - 1] != u'\r')))
            ++breakCount;
    const std::size_t from = std::min(nextBreak_, breaks_.size());
    const std::span<const LineBreak> breaks =
        breaks_.subspan(from, std::min(breakCount, breaks_.size() - from));
    std::vector<Variant> variants;
    while (nextVariant_ < variants_.size() &&
           variants_[nextVariant_].index < offset_ + lines.size()) {
        const Variant& v = variants_[nextVariant_++];
        variants.push_back({v.index - offset_, v.code});
    }
    EncodedDocument encoded = encodeDocument(lines, form_, variants, policy_, breaks);
    for (SaveProblem& problem : encoded.problems) {
        problem.index += offset_;
        problem.line += nextBreak_; // the piece starts a line: columns stay
        problems.push_back(problem);
    }
    // The encoder made room for the longest bytes these lines could take:
    // kept, that room would double what the pieces hold.
    encoded.bytes.shrink_to_fit();
    pieces.push_back(std::move(encoded.bytes));
    // The byte-order mark opens the first piece only.
    form_.byteOrderMark = false;
    offset_ += lines.size();
    nextBreak_ += breakCount;
}

EncodedDocument encodeDocument(std::u16string_view text, LineBreak style,
                               std::span<const Variant> variants, Unmappable policy,
                               std::span<const LineBreak> breaks) {
    return encodeDocument(text, TextForm{&cp932Encoding(), false, style}, variants, policy, breaks);
}

DocumentText keptText(std::u16string result, std::span<const SourceRange> removed,
                      const TextForm& form, std::span<const Variant> variants,
                      std::span<const long> breakAt, std::span<const LineBreak> kinds) {
    // How many removed characters stand in front of a position of the old
    // text, or none when it lies in a removed range; asked in ascending
    // order.
    struct Fate {
        std::span<const SourceRange> removed;
        std::size_t next = 0;
        std::size_t gone = 0;
        std::optional<std::size_t> movedBy(std::size_t at) {
            while (next < removed.size() && static_cast<std::size_t>(removed[next].to) <= at) {
                gone += static_cast<std::size_t>(removed[next].to - removed[next].from);
                ++next;
            }
            if (next < removed.size() && static_cast<std::size_t>(removed[next].from) <= at)
                return std::nullopt;
            return gone;
        }
    };
    DocumentText kept;
    Fate forms{removed};
    for (const Variant& v : variants)
        if (const auto gone = forms.movedBy(v.index))
            kept.variants.push_back({v.index - *gone, v.code});
    Fate breaks{removed};
    for (std::size_t k = 0; k < breakAt.size(); ++k)
        if (breaks.movedBy(static_cast<std::size_t>(breakAt[k])))
            kept.breaks.push_back(kinds[k]);
    kept.lineBreak = form.lineBreak;
    kept.encoding = form.encoding;
    kept.byteOrderMark = form.byteOrderMark;
    kept.text = std::move(result);
    kept.rawBytes = static_cast<std::size_t>(
        std::ranges::count_if(kept.text, [](char16_t c) { return cp932::isRawByte(c); }));
    return kept;
}

} // namespace zu
