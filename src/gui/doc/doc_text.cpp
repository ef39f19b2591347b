// The document's text: filled from a file's decoded text, long lines in
// pieces, and read back as the file holds it (the text without the soft
// joins, its byte forms and its line breaks).

#include "gui/doc/zu_doc.h"

#include "core/text/fill_pieces.h"
#include "gui/doc/document_marks.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace zu {
namespace {

std::u16string_view asView(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

std::size_t& newDocumentsJoinBound() {
    static std::size_t bound = kSoftJoinBound;
    return bound;
}

// Gives characters the byte forms a file used for them. Done with Undo
// off: it restores what the text was, it is not an edit.
void applyVariants(QTextDocument* text, std::span<const Variant> variants, const JoinMap& joins) {
    QTextCursor cursor(text);
    // One edit block: the control then lays out no line for each character.
    cursor.beginEditBlock();
    for (const Variant& v : variants) {
        const int at = static_cast<int>(joins.toControl(static_cast<long>(v.index)));
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        QTextCharFormat form;
        form.setProperty(kVariantCodeProperty, static_cast<int>(v.code));
        cursor.mergeCharFormat(form);
    }
    cursor.endEditBlock();
}

} // namespace

void CZuDoc::load(DocumentText& decoded) {
    beginLoad(decoded);
    const std::vector<std::size_t> joins = softJoinPointsOfText(decoded.text, joinBound_);
    if (joins.empty()) {
        // The control copies the text in; lending it the decoded buffer
        // instead of a copy keeps one whole copy of a large file out of
        // memory.
        text_->setPlainText(
            QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                 static_cast<qsizetype>(decoded.text.size())));
    } else {
        // Filled piece by piece in one edit block: the control then reports
        // one change of the whole text, as setPlainText does, instead of
        // laying out each piece as it arrives.
        QTextCursor cursor(text_);
        cursor.beginEditBlock();
        for (const FillPiece& piece : fillPieces(decoded.text, joins, decoded.text.size() + 2))
            insertPiece(cursor, decoded.text, piece);
        cursor.endEditBlock();
    }
    endLoad(decoded, joins);
}

void CZuDoc::beginLoad(const DocumentText& decoded) {
    // Loading is not an edit: nothing of it may be undone.
    text_->setUndoRedoEnabled(false);
    loading_ = true;
    mixedBreaks_ =
        std::ranges::any_of(decoded.breaks, [&](LineBreak b) { return b != decoded.lineBreak; });
    text_->clear();
}

void CZuDoc::insertPiece(QTextCursor& cursor, std::u16string_view all, const FillPiece& fill) {
    const auto piece = [&](std::size_t from, std::size_t to) {
        return QString::fromRawData(reinterpret_cast<const QChar*>(all.data() + from),
                                    static_cast<qsizetype>(to - from));
    };
    // The paragraph being filled may be a piece of a long line: its format,
    // which every paragraph made by a break in the text copies, must not
    // reach the next line. Breaks are '\n', or U+2029 in a text taken from
    // the control.
    const std::size_t firstBreak = all.substr(0, fill.to).find_first_of(u"\n\u2029", fill.from);
    if (firstBreak == std::u16string_view::npos) {
        cursor.insertText(piece(fill.from, fill.to));
    } else {
        cursor.insertText(piece(fill.from, firstBreak));
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(piece(firstBreak + 1, fill.to));
    }
    if (fill.joinAfter) {
        QTextBlockFormat joined;
        joined.setProperty(kJoinProperty, true);
        cursor.insertBlock(joined, QTextCharFormat());
    }
}

void CZuDoc::endLoad(DocumentText& decoded, const std::vector<std::size_t>& joins) {
    QTextDocument* text = text_;
    decoded.text = std::u16string();
    joins_.reset(JoinMap::fromSourcePoints(joins));
    applyVariants(text, decoded.variants, joins_.map());
    hasVariants_ = !decoded.variants.empty();
    form_ = decoded.form();
    if (mixedBreaks_) {
        // Only the breaks unlike the most frequent style are marked.
        QTextCursor cursor(text);
        cursor.beginEditBlock();
        std::size_t k = 0;
        for (QTextBlock block = text->begin().next(); block.isValid() && k < decoded.breaks.size();
             block = block.next()) {
            if (!joins.empty() && isJoined(block))
                continue;
            const LineBreak kind = decoded.breaks[k++];
            if (kind == decoded.lineBreak)
                continue;
            QTextBlockFormat format = block.blockFormat();
            format.setProperty(kBreakBeforeProperty, static_cast<int>(kind));
            QTextCursor(block).setBlockFormat(format);
        }
        cursor.endEditBlock();
    }
    loading_ = false;
    text->setUndoRedoEnabled(true);
    // The decoder has counted the raw bytes already; the text need not be
    // searched again.
    marks_->reset(decoded.rawBytes > 0 ? DocumentMarks::RawBytes::Unknown
                                       : DocumentMarks::RawBytes::None);
}

CZuDoc* CZuDoc::of(QTextDocument* text) {
    return text ? qobject_cast<CZuDoc*>(text->parent()) : nullptr;
}

std::size_t CZuDoc::defaultJoinBound() {
    return newDocumentsJoinBound();
}

void CZuDoc::setDefaultJoinBound(std::size_t bound) {
    newDocumentsJoinBound() = bound;
}

QString CZuDoc::sourceText() const {
    QString raw = text_->toRawText();
    const JoinMap& joins = joins_.map();
    if (joins.empty())
        return raw;
    const std::u16string text = joins.sourceText(asView(raw));
    raw = QString();
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QString CZuDoc::sourceText(int from, int to) const {
    QTextCursor cursor(text_);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    const JoinMap& joins = joins_.map();
    if (!joins.empty()) {
        const std::u16string kept = joins.sourceText(asView(text), std::min(from, to));
        text = QString(reinterpret_cast<const QChar*>(kept.data()),
                       static_cast<qsizetype>(kept.size()));
    }
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

long CZuDoc::sourceLength() const {
    return text_->characterCount() - 1 - static_cast<long>(joins_.map().size());
}

std::vector<Variant> CZuDoc::variants() const {
    std::vector<Variant> found;
    if (!form_.encoding->keepsByteForms())
        return found;
    const JoinMap& joins = joins_.map();
    for (QTextBlock block = text_->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QVariant code = fragment.charFormat().property(kVariantCodeProperty);
            if (!code.isValid())
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                found.push_back({static_cast<std::size_t>(joins.toSource(fragment.position() + i)),
                                 static_cast<std::uint16_t>(code.toInt())});
        }
    }
    return found;
}

std::vector<LineBreak> CZuDoc::breaks() const {
    std::vector<LineBreak> kinds;
    if (!mixedBreaks_)
        return kinds; // every break in the most frequent style
    kinds.reserve(static_cast<std::size_t>(text_->blockCount()));
    // A join ends no line: it has no break to write.
    JoinedFormats joined;
    for (QTextBlock block = text_->begin().next(); block.isValid(); block = block.next()) {
        if (joined(block))
            continue;
        const QVariant kind = block.blockFormat().property(kBreakBeforeProperty);
        kinds.push_back(kind.isValid() ? static_cast<LineBreak>(kind.toInt()) : form_.lineBreak);
    }
    return kinds;
}

EncodedDocument CZuDoc::encode(Unmappable policy) const {
    const QString raw = sourceText();
    const std::vector<Variant> forms = variants();
    return encodeDocument(asView(raw), form_, forms, policy, breaks());
}

} // namespace zu
