#include "gui/doc/document_joins.h"

#include "gui/doc/text_properties.h"
#include "gui/doc/zu_doc.h"

#include <QTextCursor>
#include <QTextDocument>

namespace zu {

bool isJoined(const QTextBlock& block) {
    return block.blockFormat().hasProperty(kJoinProperty);
}

bool JoinedFormats::operator()(const QTextBlock& block) {
    const auto index = static_cast<std::size_t>(block.blockFormatIndex());
    if (index >= known_.size())
        known_.resize(index + 1, 0);
    if (known_[index] == 0)
        known_[index] = isJoined(block) ? 1 : 2;
    return known_[index] == 1;
}

bool splitLongBlocks(QTextDocument* text, int first, int last, std::size_t bound) {
    bool cut = false;
    QTextBlock block = text->findBlockByNumber(first);
    for (int number = first; number <= last && block.isValid(); ++number) {
        if (static_cast<std::size_t>(block.length() - 1) > bound) {
            const QString line = block.text();
            const std::vector<std::size_t> points = softJoinPoints(
                {reinterpret_cast<const char16_t*>(line.utf16()), std::size_t(line.size())}, bound);
            // Known before the change is reported: whoever follows it maps
            // positions through joins that a text without any had not.
            if (CZuDoc* doc = CZuDoc::of(text); doc && !points.empty())
                doc->joins().joinsMade();
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

bool removalLosesALineStart(const QTextCursor& cursor) {
    if (!cursor.hasSelection())
        return false;
    const QTextBlock first = cursor.document()->findBlock(cursor.selectionStart());
    return cursor.selectionStart() == first.position() &&
           cursor.selectionEnd() >= first.position() + first.length();
}

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

void DocumentJoins::reset(JoinMap map) {
    ever_ = !map.empty();
    map_ = std::move(map);
    dirty_ = false;
    characters_ = text_->characterCount();
    blocks_ = text_->blockCount();
}

const JoinMap& DocumentJoins::map() const {
    if (!ever_)
        return map_;
    if (!dirty_ && characters_ == text_->characterCount() && blocks_ == text_->blockCount())
        return map_;
    std::vector<long> starts;
    JoinedFormats joined;
    // The first paragraph continues nothing, whatever its format says.
    QTextBlock block = text_->begin();
    long position = block.length();
    for (block = block.next(); block.isValid(); block = block.next()) {
        if (joined(block))
            starts.push_back(position);
        position += block.length();
    }
    map_ = JoinMap(std::move(starts));
    dirty_ = false;
    characters_ = text_->characterCount();
    blocks_ = text_->blockCount();
    return map_;
}

} // namespace zu
