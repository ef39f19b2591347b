#include "gui/doc/document_edit.h"

#include "gui/doc/document_joins.h"
#include "gui/doc/text_properties.h"
#include "gui/doc/zu_doc.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace zu {
namespace {

// Cuts every paragraph from `first` to `last` (block numbers) that is longer
// than `bound` into pieces, as loading would have; the pieces after the
// first are marked as joined. Whether it cut any.
bool splitLongBlocks(QTextDocument* text, DocumentJoins& joins, int first, int last,
                     std::size_t bound) {
    bool cut = false;
    QTextBlock block = text->findBlockByNumber(first);
    for (int number = first; number <= last && block.isValid(); ++number) {
        if (static_cast<std::size_t>(block.length() - 1) > bound) {
            const QString line = block.text();
            const std::vector<std::size_t> points = softJoinPoints(
                {reinterpret_cast<const char16_t*>(line.utf16()), std::size_t(line.size())}, bound);
            // Known before the change is reported: whoever follows it maps
            // positions through joins that a text without any had not.
            if (!points.empty())
                joins.joinsMade();
            // The pieces continue the line; the break in front of it, if the
            // file had an unusual one, stays with its first piece.
            QTextBlockFormat format = block.blockFormat();
            format.clearProperty(kBreakBeforeProperty);
            format.setProperty(kJoinProperty, true);
            QTextCursor cursor(text);
            const int begin = block.position();
            // From the last cut back, so that the earlier ones stay where they are.
            for (auto it = points.rbegin(); it != points.rend(); ++it) {
                cursor.setPosition(begin + static_cast<int>(*it));
                cursor.insertBlock(format, QTextCharFormat());
            }
            const int pieces = static_cast<int>(points.size());
            number += pieces;
            last += pieces;
            block = text->findBlockByNumber(number);
            cut = true;
        }
        block = block.next();
    }
    return cut;
}

// Whether removing the cursor's selection would lose what the paragraph
// end in front of it is. Each paragraph's format says what the paragraph
// end in front of it is (a join, or a break of an unusual kind); a
// removal that starts at a paragraph's start and takes its end with it
// leaves the paragraph end in front of it to the format of the paragraph
// where the removal ends.
bool removalLosesALineStart(const QTextCursor& cursor) {
    if (!cursor.hasSelection())
        return false;
    const QTextBlock first = cursor.document()->findBlock(cursor.selectionStart());
    return cursor.selectionStart() == first.position() &&
           cursor.selectionEnd() >= first.position() + first.length();
}

// Removes the cursor's selection, as QTextCursor::removeSelectedText does,
// but the paragraph end in front of it stays what it was.
void removeSelection(QTextCursor& cursor) {
    if (!removalLosesALineStart(cursor)) {
        cursor.removeSelectedText();
        return;
    }
    const QTextBlockFormat before =
        cursor.document()->findBlock(cursor.selectionStart()).blockFormat();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    QTextBlockFormat format = cursor.block().blockFormat();
    bool changed = false;
    for (const int property : {kJoinProperty, kBreakBeforeProperty}) {
        if (format.property(property) == before.property(property))
            continue;
        changed = true;
        if (before.hasProperty(property))
            format.setProperty(property, before.property(property));
        else
            format.clearProperty(property);
    }
    if (changed)
        cursor.setBlockFormat(format);
    cursor.endEditBlock();
}

// Removes the empty piece at control position `at`, if one is there,
// together with one of its joins. Changes nothing of the text.
void dropEmptyPiece(QTextDocument* text, int at) {
    const QTextBlock block = text->findBlock(at);
    const bool joinedToNext = block.next().isValid() && isJoined(block.next());
    if (block.length() != 1 || !(isJoined(block) || joinedToNext))
        return;
    // The join goes: the one in front of it, or else the one after it. A
    // break of the text stays where it is.
    QTextCursor edit(text);
    const bool joinInFront = isJoined(block) && block.position() > 0;
    edit.setPosition(joinInFront ? block.position() - 1 : block.position());
    edit.setPosition(joinInFront ? block.position() : block.position() + 1,
                     QTextCursor::KeepAnchor);
    removeSelection(edit);
}

} // namespace

DocumentEdit::DocumentEdit(CZuDoc& doc, long undoCaret)
    : doc_(doc), model_(*doc.text_), undoCaret_(undoCaret) {}

DocumentEdit::DocumentEdit(CZuDoc& doc, long undoCaret, Step step)
    : doc_(doc), model_(*doc.text_), undoCaret_(undoCaret), stepKind_(step) {}

DocumentEdit::~DocumentEdit() {
    if (!changed_)
        return;
    QTextDocument* text = model_.text_;
    DocumentJoins& joins = model_.joins_;
    const int first = regionStart_.blockNumber();
    int last = regionEnd_.blockNumber();
    // A line the edit made long is shown in pieces, as loading shows it.
    if (inserted_ && splitLongBlocks(text, joins, first, last, model_.joinBound_))
        last = regionEnd_.blockNumber();
    // A piece the edit emptied would show as an empty line the text does
    // not have; it goes with one of its joins. From the last back, so that
    // the block numbers still to look at stay where they are.
    for (int number = std::min(last + 1, text->blockCount() - 1); number >= std::max(first - 1, 0);
         --number)
        dropEmptyPiece(text, text->findBlockByNumber(number).position());
    step_.endEditBlock();
    // The document hears of the change only at the end of the outermost
    // edit block; a command may ask for positions before that.
    joins.touched();
}

void DocumentEdit::replace(SourceRange range, const QString& text) {
    if (range.to < range.from)
        std::swap(range.from, range.to);
    // A range keeps the joins at its ends outside it.
    const JoinMap& joins = model_.joins_.map();
    QTextCursor cursor(model_.text_);
    cursor.setPosition(static_cast<int>(joins.toControl(range.from)));
    if (range.to > range.from)
        cursor.setPosition(static_cast<int>(joins.toControl(range.to, JoinMap::Side::Before)),
                           QTextCursor::KeepAnchor);
    apply(cursor, text);
}

void DocumentEdit::replace(std::span<const Replacement> replacements) {
    // Where each stands in the control is known before the first change:
    // from the last back, no change moves a place still to come.
    std::vector<std::pair<int, int>> places;
    places.reserve(replacements.size());
    {
        const JoinMap& joins = model_.joins_.map();
        for (const Replacement& r : replacements)
            places.emplace_back(
                static_cast<int>(joins.toControl(r.range.from)),
                static_cast<int>(r.range.to > r.range.from
                                     ? joins.toControl(r.range.to, JoinMap::Side::Before)
                                     : joins.toControl(r.range.from)));
    }
    QTextCursor cursor(model_.text_);
    for (std::size_t k = replacements.size(); k-- > 0;) {
        cursor.setPosition(places[k].first);
        cursor.setPosition(places[k].second, QTextCursor::KeepAnchor);
        apply(cursor, replacements[k].text);
    }
}

void DocumentEdit::apply(QTextCursor& cursor, QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool breaks = false;
    for (QChar& c : text)
        if (c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
            c == u'\n') {
            c = u'\n';
            breaks = true;
        }
    QTextDocument* document = model_.text_;
    if (!changed_) {
        // Undo takes the caret back to where the step's cursor stood when it
        // opened. Made only now: the document moves every cursor it has along
        // at each change, and placing one lays out its line; an edit that sets
        // the whole text anew (takeOut) would pay for both and never use it.
        step_ = QTextCursor(document);
        if (stepKind_ == Step::JoinPrevious) {
            // The caret Undo leaves is the first turn's.
            step_.joinPreviousEditBlock();
        } else {
            step_.setPosition(model_.toControl(std::clamp(undoCaret_, 0L, model_.sourceLength())));
            step_.beginEditBlock();
        }
    }
    removeSelection(cursor);
    // Lines inserted at a join take its place: the join would otherwise
    // leave an empty piece, shown as an empty line, beside the new break.
    if (breaks) {
        const QTextBlock block = cursor.block();
        if (cursor.atBlockStart() && isJoined(block))
            cursor.setPosition(cursor.position() - 1, QTextCursor::KeepAnchor);
        else if (cursor.atBlockEnd() && block.next().isValid() && isJoined(block.next()))
            cursor.setPosition(cursor.position() + 1, QTextCursor::KeepAnchor);
        removeSelection(cursor);
    } else if (cursor.atBlockStart() && isJoined(cursor.block())) {
        // Text inserted at a join goes at the end of the piece in front: it
        // takes the formats of the character before it (the byte form the
        // file gave it included), as in the line shown whole.
        cursor.setPosition(cursor.position() - 1);
    }
    const int start = cursor.position();
    const int first = cursor.blockNumber();
    cursor.insertText(text);
    // A new line takes over the format of the line it was split from, and so
    // the break the file had before that line, or the join that made it a
    // piece: it must start without either.
    const int last = cursor.blockNumber();
    for (QTextBlock block = document->findBlockByNumber(first + 1);
         block.isValid() && block.blockNumber() <= last; block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.hasProperty(kBreakBeforeProperty) && !format.hasProperty(kJoinProperty))
            continue;
        format.clearProperty(kBreakBeforeProperty);
        format.clearProperty(kJoinProperty);
        QTextCursor(block).setBlockFormat(format);
    }
    inserted_ = inserted_ || !text.isEmpty();
    end_ = cursor;
    if (!changed_) {
        regionStart_ = QTextCursor(document);
        regionStart_.setKeepPositionOnInsert(true);
        regionStart_.setPosition(start);
        regionEnd_ = cursor;
        changed_ = true;
        return;
    }
    if (start < regionStart_.position())
        regionStart_.setPosition(start);
    if (cursor.position() > regionEnd_.position())
        regionEnd_.setPosition(cursor.position());
}

void DocumentEdit::takeOut(std::span<const SourceRange> removed, std::u16string_view result) {
    model_.replaceText(result, removed, doc_.form_);
    model_.setModified(true);
    end_ = QTextCursor(model_.text_);
}

} // namespace zu
