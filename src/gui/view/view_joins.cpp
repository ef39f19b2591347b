// The view's keys and clicks at the soft joins of long lines. A join is a
// paragraph end of the editing control that is no line break of the text;
// the control's own keys would stop at it, delete it or select up to it.
// Here they behave as they do inside an ordinary line.

#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

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

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Whether `position` stands at a join with word characters on both sides:
// a word the join cuts in two.
bool insideAWordAtJoin(const QTextDocument& text, int position) {
    const QTextBlock block = text.findBlock(position);
    int before = -1, after = -1;
    if (position == block.position() && isJoined(block)) {
        before = position - 2;
        after = position;
    } else if (position == block.position() + block.length() - 1 && block.next().isValid() &&
               isJoined(block.next())) {
        before = position - 1;
        after = position + 1;
    }
    return before >= 0 && isWordCharacter(text.characterAt(before)) &&
           isWordCharacter(text.characterAt(after));
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
    QTextCursor caret = textCursor();
    if (caret.hasSelection())
        return false;
    const QTextBlock block = caret.block();
    const bool atJoinStart = caret.atBlockStart() && isJoined(block);
    const bool atJoinEnd = caret.atBlockEnd() && block.next().isValid() && isJoined(block.next());
    if ((back || wordBack) ? !atJoinStart : !atJoinEnd)
        return false;

    if (wordBack || wordForward) {
        // The control deletes the word from the other side of the join.
        caret.setPosition(wordBack ? caret.position() - 1 : caret.position() + 1);
        setTextCursor(caret);
        return false;
    }

    QTextCursor edit(document());
    edit.beginEditBlock();
    // The loop passes empty pieces (an edit can leave one): their joins
    // go, which changes nothing of the text.
    for (;;) {
        const QTextCursor now = textCursor();
        const QTextBlock here = now.block();
        if (back) {
            if (!now.atBlockStart() || !isJoined(here)) {
                // A line break or the start of the text is in front now.
                edit.setPosition(now.position());
                edit.deletePreviousChar();
                break;
            }
            edit.setPosition(here.position() - 1);
            if (here.previous().length() == 1) {
                edit.deleteChar();
                continue;
            }
            edit.deletePreviousChar();
            // The piece emptied: its join goes with it.
            if (edit.block().length() == 1)
                edit.deleteChar();
            break;
        }
        const QTextBlock next = here.next();
        if (!now.atBlockEnd() || !next.isValid() || !isJoined(next)) {
            edit.setPosition(now.position());
            edit.deleteChar();
            break;
        }
        if (next.length() == 1) {
            edit.setPosition(now.position());
            edit.deleteChar();
            continue;
        }
        edit.setPosition(next.position());
        edit.deleteChar();
        if (edit.block().length() == 1) {
            edit.setPosition(now.position());
            edit.deleteChar();
        }
        break;
    }
    edit.endEditBlock();
    ensureCursorVisible();
    event->accept();
    return true;
}

void CZuView::moveAcrossJoins(QKeyEvent* event) {
    const bool words = event->modifiers() & Qt::ControlModifier;
    // Each round is the control's own move; another follows while the
    // caret only passed a join, or stopped inside a word a join cuts.
    for (int round = 0; round < 64; ++round) {
        const int before = textCursor().position();
        QPlainTextEdit::keyPressEvent(event);
        const int after = textCursor().position();
        if (after == before)
            return;
        if (onlyAJoinBetween(*document(), before, after))
            continue;
        if (words && insideAWordAtJoin(*document(), after))
            continue;
        return;
    }
}

void CZuView::cutGrownPiece(int charactersBefore) {
    if (document()->characterCount() == charactersBefore)
        return;
    const QTextBlock block = textCursor().block();
    const std::size_t bound = CZuDoc::softJoinBound();
    if (static_cast<std::size_t>(block.length() - 1) <= 2 * bound)
        return;
    QTextCursor edit(document());
    edit.joinPreviousEditBlock();
    const bool cut = splitLongBlocks(document(), block.blockNumber(), block.blockNumber(), bound);
    edit.endEditBlock();
    if (cut)
        document_->joins().joinsMade();
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
    if (!whole || !(isJoined(block) || (block.next().isValid() && isJoined(block.next()))))
        return;
    QTextBlock first = block, last = block;
    while (isJoined(first) && first.previous().isValid())
        first = first.previous();
    while (last.next().isValid() && isJoined(last.next()))
        last = last.next();
    c.setPosition(first.position());
    c.setPosition(std::min(last.position() + last.length(), text.characterCount() - 1),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void CZuView::widenWordSelection() {
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    const QTextDocument& text = *document();
    int start = c.selectionStart(), end = c.selectionEnd();
    // The rest of the word lies in the piece on the other side of the join.
    if (insideAWordAtJoin(text, end)) {
        const QTextBlock block = text.findBlock(end);
        QTextCursor word(end == block.position() ? block : block.next());
        word.movePosition(QTextCursor::EndOfWord);
        end = word.position();
    }
    if (insideAWordAtJoin(text, start)) {
        const QTextBlock block = text.findBlock(start);
        QTextCursor word(start == block.position() ? block.previous() : block);
        word.movePosition(QTextCursor::EndOfBlock);
        word.movePosition(QTextCursor::StartOfWord);
        start = word.position();
    }
    if (start == c.selectionStart() && end == c.selectionEnd())
        return;
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

} // namespace zu
