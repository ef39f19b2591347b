#include "gui/doc/text_model.h"

#include "core/text/fill_pieces.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/text_properties.h"

#include <QElapsedTimer>
#include <QPlainTextDocumentLayout>
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

TextModel::TextModel(QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), joins_(text_),
      joinBound_(defaultJoinBound()) {
    text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
    text_->setModified(false);
    marks_ = new DocumentMarks(text_);
    // Tag colours move with the text, and each new character may bring a
    // byte that is not valid Shift_JIS (pasted from another document), to
    // be marked as soon as it arrives. A text being loaded is marked once
    // it is in.
    connect(text_, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (loading_)
            return;
        joins_.touched();
        marks_->follow(from, removed, added);
    });
}

TextModel::~TextModel() = default;

TextModel* TextModel::of(const QTextDocument* text) {
    return text ? qobject_cast<TextModel*>(text->parent()) : nullptr;
}

bool TextModel::isModified() const {
    // A text going in is no one's edit, though the control counts it as
    // one until the load ends.
    return !loading_ && text_->isModified();
}

void TextModel::setModified(bool modified) {
    text_->setModified(modified);
}

void TextModel::setWork(DocumentWork* work) {
    work_ = work;
    emit workChanged();
}

void TextModel::LoadPlan::find(std::u16string_view text) {
    joins_ = softJoinPointsOfText(text, bound_);
}

void TextModel::load(DocumentText& decoded) {
    LoadPlan plan(joinBound_);
    plan.find(decoded.text);
    if (plan.joins_.empty()) {
        beginLoad(decoded, std::move(plan), 0);
        // The control copies the text in; lending it the decoded buffer
        // instead of a copy keeps one whole copy of a large file out of
        // memory.
        text_->setPlainText(
            QString::fromRawData(reinterpret_cast<const QChar*>(decoded.text.data()),
                                 static_cast<qsizetype>(decoded.text.size())));
    } else {
        // In one edit block of pieces as long as the lines allow: the
        // control then reports one change of the whole text, as
        // setPlainText does, instead of laying out each piece as it arrives.
        beginLoad(decoded, std::move(plan), decoded.text.size() + 2);
        filling_->cursor.beginEditBlock();
        while (loadSome(-1) < 1000) {
        }
        filling_->cursor.endEditBlock();
    }
    endLoad(decoded);
}

void TextModel::beginLoad(const DocumentText& decoded, LoadPlan plan, std::size_t pieceCharacters) {
    // Loading is not an edit: nothing of it may be undone.
    text_->setUndoRedoEnabled(false);
    loading_ = true;
    mixedBreaks_ =
        std::ranges::any_of(decoded.breaks, [&](LineBreak b) { return b != decoded.lineBreak; });
    text_->clear();
    filling_ = std::make_unique<Filling>();
    filling_->text = decoded.text;
    if (pieceCharacters > 0) {
        filling_->pieces = fillPieces(decoded.text, plan.joins_, pieceCharacters);
        filling_->cursor = QTextCursor(text_);
        // The first piece before anyone else's cursor: one made on the
        // empty text would be carried along to its end.
        insertPiece(filling_->pieces[filling_->next++]);
    }
    filling_->joins = std::move(plan.joins_);
}

int TextModel::loadSome(int milliseconds) {
    Filling& f = *filling_;
    QElapsedTimer clock;
    clock.start();
    // One edit block a turn: the control reports one change, not one per
    // piece, and a view lays out the last screen of the text once, not for
    // every piece.
    f.cursor.beginEditBlock();
    while (f.next < f.pieces.size()) {
        insertPiece(f.pieces[f.next++]);
        if (milliseconds >= 0 && clock.elapsed() >= milliseconds)
            break;
    }
    f.cursor.endEditBlock();
    return f.pieces.empty() ? 1000 : static_cast<int>(1000 * f.next / f.pieces.size());
}

void TextModel::insertPiece(const FillPiece& fill) {
    QTextCursor& cursor = filling_->cursor;
    const std::u16string_view all = filling_->text;
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

void TextModel::endLoad(DocumentText& decoded) {
    QTextDocument* text = text_;
    const std::vector<std::size_t> joins = std::move(filling_->joins);
    filling_.reset();
    // Given back now, not when `decoded` goes: an empty string assigned to
    // it would keep its buffer, as large as the whole text.
    std::u16string().swap(decoded.text);
    joins_.reset(JoinMap::fromSourcePoints(joins));
    applyVariants(text, decoded.variants, joins_.map());
    hasVariants_ = !decoded.variants.empty();
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

std::size_t TextModel::defaultJoinBound() {
    return newDocumentsJoinBound();
}

void TextModel::setDefaultJoinBound(std::size_t bound) {
    newDocumentsJoinBound() = bound;
}

QString TextModel::sourceText() const {
    QString raw = text_->toRawText();
    const JoinMap& joins = joins_.map();
    if (joins.empty())
        return raw;
    const std::u16string text = joins.sourceText(asView(raw));
    raw = QString();
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QString TextModel::sourceText(int from, int to) const {
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

void TextModel::select(QTextCursor& cursor, long anchor, long position) const {
    using Side = JoinMap::Side;
    cursor.setPosition(toControl(anchor, anchor <= position ? Side::After : Side::Before));
    cursor.setPosition(toControl(position, anchor < position ? Side::Before : Side::After),
                       QTextCursor::KeepAnchor);
}

long TextModel::sourceLength() const {
    return text_->characterCount() - 1 - static_cast<long>(joins_.map().size());
}

std::vector<Variant> TextModel::variants(const Encoding& encoding) const {
    std::vector<Variant> found;
    if (!encoding.keepsByteForms())
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

std::vector<LineBreak> TextModel::breaks(LineBreak usual) const {
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
        kinds.push_back(kind.isValid() ? static_cast<LineBreak>(kind.toInt()) : usual);
    }
    return kinds;
}

EncodedDocument TextModel::encode(const TextForm& form, Unmappable policy) const {
    const QString raw = sourceText();
    const std::vector<Variant> forms = variants(*form.encoding);
    return encodeDocument(asView(raw), form, forms, policy, breaks(form.lineBreak));
}

PieceEncoder TextModel::encodeInPieces(const TextForm& form, Unmappable policy,
                                       std::size_t pieceCharacters) const {
    const std::vector<Variant> forms = variants(*form.encoding);
    const std::vector<LineBreak> kinds = breaks(form.lineBreak);
    PieceEncoder encoder(form, forms, kinds, policy);
    std::u16string lines;
    JoinedFormats joined;
    for (QTextBlock block = text_->begin(); block.isValid();) {
        const QString line = block.text();
        lines += asView(line);
        block = block.next();
        // A join ends no line: the next piece of it follows on.
        if (!block.isValid() || joined(block))
            continue;
        lines += u'\u2029';
        if (lines.size() >= pieceCharacters) {
            encoder.add(lines);
            lines.clear();
        }
    }
    encoder.add(lines);
    return encoder;
}

void TextModel::replaceText(std::u16string_view text, std::span<const SourceRange> removed,
                            const TextForm& form) {
    // The characters that stay keep the byte forms the file gave them, and
    // the line breaks that stay are written as they were read.
    const std::vector<Variant> forms =
        hasVariants_ ? variants(*form.encoding) : std::vector<Variant>();
    std::vector<long> breakAt;
    const std::vector<LineBreak> kinds = breaks(form.lineBreak);
    if (mixedBreaks_) {
        breakAt.reserve(kinds.size());
        const JoinMap& joins = joins_.map();
        JoinedFormats joined;
        for (QTextBlock block = text_->begin().next();
             breakAt.size() < kinds.size() && block.isValid(); block = block.next())
            if (!joined(block))
                breakAt.push_back(joins.toSource(block.position() - 1));
    }
    DocumentText kept = keptText(std::u16string(text), removed, form, forms, breakAt,
                                 std::span<const LineBreak>(kinds).first(breakAt.size()));
    // Setting the text anew drops the undo history, which names places in
    // the old text.
    load(kept);
}

RecoveryEdit TextModel::recoveryEdit(int from, int to, LineBreak usual) const {
    RecoveryEdit edit;
    const JoinMap& joins = joins_.map();
    edit.from = static_cast<std::size_t>(joins.toSource(from));
    const QString text = sourceText(from, to);
    edit.text.assign(reinterpret_cast<const char16_t*>(text.utf16()),
                     static_cast<std::size_t>(text.size()));
    // The paragraphs that start inside the stretch: each that is no piece
    // of a long line follows a break, of its own kind in a file of mixed
    // breaks, as breaks() reads them.
    QTextBlock block = text_->findBlock(from);
    for (block = block.next(); block.isValid() && block.position() <= to; block = block.next()) {
        if (isJoined(block))
            continue;
        const QVariant kind = block.blockFormat().property(kBreakBeforeProperty);
        edit.breaks.push_back(mixedBreaks_ && kind.isValid() ? static_cast<LineBreak>(kind.toInt())
                                                             : usual);
    }
    // The byte forms, as variants() reads them; kept under every encoding,
    // since they count again when the document goes back to one that keeps
    // them.
    for (block = text_->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            const QVariant code = fragment.charFormat().property(kVariantCodeProperty);
            if (!code.isValid())
                continue;
            for (int at = start; at < end; ++at)
                edit.variants.push_back({static_cast<std::size_t>(joins.toSource(at)) - edit.from,
                                         static_cast<std::uint16_t>(code.toInt())});
        }
    }
    return edit;
}

} // namespace zu
