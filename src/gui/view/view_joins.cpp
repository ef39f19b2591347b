// The view's keys and clicks at the soft joins of long lines. A join is a
// paragraph end of the editing control that is no line break of the text;
// the control's own keys would stop at it, delete it or select up to it.
// Here they behave as they do inside an ordinary line.

#include "gui/doc/document_edit.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <vector>

namespace zu {
namespace {

// Whether only the separator of a join lies between control positions a
// and b: moving from one to the other goes nowhere in the text.
bool onlyAJoinBetween(const QTextDocument& text, int a, int b) {
    const int high = std::max(a, b);
    if (std::abs(a - b) != 1)
        return false;
    const QTextBlock block = text.findBlock(high);
    return block.position() == high && isJoined(block);
}

bool oneCharacter(const QString& text) {
    return text.size() == 1 ||
           (text.size() == 2 && text.front().isHighSurrogate() && text.back().isLowSurrogate());
}

bool joinedToNext(const QTextBlock& block) {
    return block.next().isValid() && isJoined(block.next());
}

bool inPieces(const QTextBlock& block) {
    return isJoined(block) || joinedToNext(block);
}

// Whether the control's word moves would pass from `a` to `b` without a
// stop: both of one kind, letters and digits or punctuation, no blank. The
// control's own rules decide, applied to the two characters together.
bool oneWord(QChar a, QChar b) {
    if (a.isSpace() || b.isSpace())
        return false;
    QTextLayout pair(QString(a) + b);
    return pair.nextCursorPosition(0, QTextLayout::SkipWords) == 2;
}

// The pieces on either side of the join at control position `at` when one
// word runs across it; invalid blocks when `at` is at no join or the join
// parts no word.
std::pair<QTextBlock, QTextBlock> wordAcrossJoin(const QTextDocument& text, int at) {
    QTextBlock block = text.findBlock(at);
    if (at == block.position() && isJoined(block))
        block = block.previous();
    else if (at != block.position() + block.length() - 1 || !joinedToNext(block))
        return {};
    const QTextBlock next = block.next();
    if (block.length() < 2 || next.length() < 2 ||
        !oneWord(block.text().back(), next.text().front()))
        return {};
    return {block, next};
}

} // namespace

bool CZuView::deleteAcrossJoin(QKeyEvent* event) {
    const bool back =
        event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    const bool forward = event->matches(QKeySequence::Delete);
    const bool wordBack = event->matches(QKeySequence::DeleteStartOfWord);
    const bool wordForward = event->matches(QKeySequence::DeleteEndOfWord);
    if (!back && !forward && !wordBack && !wordForward)
        return false;
    const QTextCursor caret = textCursor();
    const QTextBlock block = caret.block();
    const QTextDocument& text = *document();
    // Takes the control positions from..to out through the document's edit.
    // Undo puts the caret back where the control's own deletions would: at
    // `undoTo`, after the text that Undo brings back.
    const auto remove = [&](int from, int to, int undoTo) {
        DocumentEdit edit(*document_, document_->text().toSource(undoTo));
        edit.replace({document_->text().toSource(from), document_->text().toSource(to)}, QString());
        ensureCursorVisible();
        event->accept();
        return true;
    };

    // A deletion that would leave an empty piece takes its join too (the
    // edit sees to that).
    if (back || forward) {
        const bool emptiesAPiece = caret.hasSelection()
                                       ? inPieces(text.findBlock(caret.selectionStart())) ||
                                             inPieces(text.findBlock(caret.selectionEnd()))
                                       : oneCharacter(block.text()) && inPieces(block) &&
                                             (back ? caret.atBlockEnd() : caret.atBlockStart());
        if (emptiesAPiece) {
            if (caret.hasSelection())
                return remove(caret.selectionStart(), caret.selectionEnd(), caret.position());
            const int end = block.position() + block.length() - 1;
            return remove(block.position(), end, end);
        }
    }
    if (caret.hasSelection())
        return false;
    // A character of two UTF-16 units goes whole, and Undo brings it back
    // whole: the control's own keys may take or give back one unit alone
    // when the two stand in different runs of its text (as an Undo can
    // leave them), and half a character is a character no file can hold.
    const int at = caret.position();
    if (back && at >= 2 && text.characterAt(at - 1).isLowSurrogate() &&
        text.characterAt(at - 2).isHighSurrogate())
        return remove(at - 2, at, at);
    if (forward && text.characterAt(at).isHighSurrogate() &&
        text.characterAt(at + 1).isLowSurrogate())
        return remove(at, at + 2, at + 2);

    if (wordBack || wordForward) {
        // The control deletes what its word move passes over; so does this,
        // with the word move of the line shown whole.
        const int to = wordMoveTarget(caret.position(), wordForward);
        if (to < 0)
            return false;
        const int from = std::min(to, caret.position()), end = std::max(to, caret.position());
        return remove(from, end, end);
    }
    const bool atJoinStart = caret.atBlockStart() && isJoined(block);
    const bool atJoinEnd = caret.atBlockEnd() && joinedToNext(block);
    if (back ? !atJoinStart : !atJoinEnd)
        return false;
    // The character on the far side of the join (and of any empty piece on
    // the way), as the control's own key takes it in a line shown whole: the
    // one code point in front, or the one character after.
    QTextCursor far(document());
    far.setPosition(caret.position());
    if (back) {
        while (far.atBlockStart() && isJoined(far.block()))
            far.setPosition(far.position() - 1);
        int from = far.position();
        if (from > 0) {
            --from;
            if (from > 0 && text.characterAt(from).isLowSurrogate() &&
                text.characterAt(from - 1).isHighSurrogate())
                --from;
        }
        return remove(from, caret.position(), caret.position());
    }
    while (far.atBlockEnd() && joinedToNext(far.block()))
        far.setPosition(far.position() + 1);
    far.movePosition(QTextCursor::NextCharacter);
    return remove(caret.position(), far.position(), far.position());
}

void CZuView::moveAcrossJoins(QKeyEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int to = wordMoveTarget(textCursor().position(), event->key() == Qt::Key_Right);
        if (to < 0)
            return QPlainTextEdit::keyPressEvent(event);
        QTextCursor c = textCursor();
        c.setPosition(to, event->modifiers() & Qt::ShiftModifier ? QTextCursor::KeepAnchor
                                                                 : QTextCursor::MoveAnchor);
        setTextCursor(c);
        ensureCursorVisible();
        event->accept();
        return;
    }
    // The control's own move, again while the caret only passed a join.
    for (int round = 0; round < 64; ++round) {
        const int before = textCursor().position();
        QPlainTextEdit::keyPressEvent(event);
        const int after = textCursor().position();
        if (after == before || !onlyAJoinBetween(*document(), before, after))
            return;
    }
}

int CZuView::wordMoveTarget(int from, bool forward) const {
    const QTextDocument& text = *document();
    const QTextBlock block = text.findBlock(from);
    if (!inPieces(block))
        return -1;
    // The control's word rules (QTextLayout's) applied to the two pieces on
    // the way, as one text. A move that runs through the whole second piece
    // took all of it in its last run (of a word, of punctuation, of
    // blanks), so it goes on as the same move from the start of that piece
    // with the piece after it.
    if (forward) {
        QTextBlock first = block;
        int at = from - block.position();
        if (at == block.length() - 1 && !joinedToNext(block))
            return -1; // the end of the line: on to the next one
        for (;;) {
            const QTextBlock second = first.next();
            const bool two = joinedToNext(first);
            const QString window = two ? first.text() + second.text() : first.text();
            const int length = first.length() - 1;
            const int to = QTextLayout(window).nextCursorPosition(at, QTextLayout::SkipWords);
            if (to < window.size() || !two || !joinedToNext(second))
                return to < length || !two ? first.position() + to
                                           : second.position() + (to - length);
            first = second;
            at = 0;
        }
    }
    QTextBlock last = block;
    int at = from - block.position();
    if (at == 0 && !isJoined(block))
        return -1; // the start of the line: on to the one before
    for (;;) {
        const QTextBlock before = last.previous();
        const bool two = isJoined(last);
        const int length = two ? before.length() - 1 : 0;
        const QString window = two ? before.text() + last.text() : last.text();
        const int to =
            QTextLayout(window).previousCursorPosition(length + at, QTextLayout::SkipWords);
        if (to > 0 || !two || !isJoined(before))
            return to < length ? before.position() + to : last.position() + (to - length);
        last = before;
        at = before.length() - 1;
    }
}

bool CZuView::typeIntoFullPiece(QKeyEvent* event) {
    const QString typed = event->text();
    const auto commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (typed.isEmpty() || !(typed.front().isPrint() || typed.front() == u'\t') ||
        (event->modifiers() & commands))
        return false;
    QTextCursor c = textCursor();
    const QTextBlock block = c.block();
    const std::size_t bound = document_->text().joinBound();
    if (c.hasSelection() ||
        static_cast<std::size_t>(block.length() - 1 + typed.size()) <= 2 * bound)
        return false;
    // As the control types, with the cut in the same step: a step of its
    // own would be an Undo that changes nothing the user can see.
    const long at = document_->text().toSource(c.position());
    {
        DocumentEdit edit(*document_, at);
        edit.replace({at, at}, typed);
        c = edit.end();
    }
    setTextCursor(c);
    ensureCursorVisible();
    event->accept();
    return true;
}

void CZuView::widenLineSelection() {
    // Three clicks select a paragraph and the break after it; for a piece,
    // the line is every piece of it.
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    const QTextDocument& text = *document();
    const QTextBlock block = text.findBlock(c.selectionStart());
    const int end = block.position() + block.length();
    const bool whole =
        c.selectionStart() == block.position() &&
        (c.selectionEnd() == end || (c.selectionEnd() == end - 1 && !block.next().isValid()));
    if (!whole || !inPieces(block))
        return;
    QTextBlock first = block, last = block;
    while (isJoined(first) && first.previous().isValid())
        first = first.previous();
    while (joinedToNext(last))
        last = last.next();
    c.setPosition(first.position());
    c.setPosition(std::min(last.position() + last.length(), text.characterCount() - 1),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void CZuView::selectWordAcrossJoins(int at) {
    const QTextDocument& text = *document();
    const QTextBlock block = text.findBlock(at);
    if (!inPieces(block))
        return;
    // The control's own word under the caret, found in the piece and its
    // neighbours taken as one text.
    std::vector<QTextBlock> pieces;
    if (isJoined(block))
        pieces.push_back(block.previous());
    pieces.push_back(block);
    if (joinedToNext(block))
        pieces.push_back(block.next());
    QString window;
    for (const QTextBlock& piece : pieces)
        window += piece.text();
    const auto toControl = [&](int offset, bool atEnd) {
        for (const QTextBlock& piece : pieces) {
            const int length = piece.length() - 1;
            if (offset < length || (atEnd && offset == length) || piece == pieces.back())
                return piece.position() + offset;
            offset -= length;
        }
        return at;
    };
    QTextDocument scratch;
    scratch.setPlainText(window);
    QTextCursor word(&scratch);
    word.setPosition(at - block.position() +
                     (pieces.front() == block ? 0 : pieces.front().length() - 1));
    word.select(QTextCursor::WordUnderCursor);
    int start = toControl(word.selectionStart(), false);
    int end = toControl(word.selectionEnd(), true);
    if (start == end)
        return;
    // A word longer than the pieces at hand goes on across further joins.
    for (auto pair = wordAcrossJoin(text, end); pair.second.isValid();
         pair = wordAcrossJoin(text, end)) {
        QTextCursor more(pair.second);
        more.movePosition(QTextCursor::EndOfWord);
        end = more.position();
    }
    for (auto pair = wordAcrossJoin(text, start); pair.first.isValid();
         pair = wordAcrossJoin(text, start)) {
        QTextCursor more(pair.first);
        more.movePosition(QTextCursor::EndOfBlock);
        more.movePosition(QTextCursor::StartOfWord);
        start = more.position();
    }
    QTextCursor c = textCursor();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

} // namespace zu
