#include "gui/view/zu_view.h"

#include "core/app/commands.h"
#include "core/app/menus.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/zu_doc.h"
#include "gui/widgets/ui.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace zu {
namespace {

CZuView::MenuHook& menuHook() {
    static CZuView::MenuHook hook;
    return hook;
}

} // namespace

CZuView::CZuView(CZuDoc* document, QWidget* parent) : QPlainTextEdit(parent), document_(document) {
    setDocument(document->textDocument());
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Laid out now for this view's width, which resizeEvent has not seen.
    document->textDocument()->documentLayout()->setProperty(kLaidOutWidth, QVariant());
    setFont(editorFont());
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    setAcceptDrops(true);
    undoCursor_ = QTextCursor(document->textDocument());
    document->addView(this);
    setAccessibleName(document->title());
    connect(document, &CZuDoc::titleChanged, this,
            [this] { setAccessibleName(document_->title()); });

    connect(this, &QPlainTextEdit::copyAvailable, this, &CZuView::commandStateChanged);
    connect(this, &QPlainTextEdit::undoAvailable, this, &CZuView::commandStateChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CZuView::commandStateChanged);
}

CZuView::~CZuView() {
    document_->removeView(this);
}

QFont CZuView::editorFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFamilies({font.family(), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("Noto Sans CJK JP")});
    return font;
}

void CZuView::setMenuHook(MenuHook hook) {
    menuHook() = std::move(hook);
}

// --- EditBuffer --------------------------------------------------------------

// Positions are the text's own; the control counts one more at each soft
// join of a long line (CZuDoc::sourceText).
EditBuffer::Range CZuView::selection() const {
    const QTextCursor c = textCursor();
    return {document_->toSource(c.selectionStart()), document_->toSource(c.selectionEnd())};
}

void CZuView::setSelection(long start, long end) {
    const long last = document_->sourceLength();
    start = std::clamp(start, 0L, last);
    end = std::clamp(end, 0L, last);
    // A selection keeps the joins at its ends outside it; a caret stands at
    // the start of a piece rather than at the end of the one before.
    using Side = JoinMap::Side;
    QTextCursor c = textCursor();
    c.setPosition(document_->toControl(start, start <= end ? Side::After : Side::Before));
    c.setPosition(document_->toControl(end, start < end ? Side::Before : Side::After),
                  QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void CZuView::replaceSelection(std::string_view text) {
    insertAtSelection(ui::qs(text));
}

void CZuView::insertAtSelection(const QString& text) {
    QTextCursor c = textCursor();
    insertText(c, text);
    setTextCursor(c);
}

void CZuView::insertText(QTextCursor& cursor, QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool breaks = false;
    for (QChar& c : text)
        if (c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
            c == u'\n') {
            c = u'\n';
            breaks = true;
        }
    QTextDocument* document = cursor.document();
    CZuDoc* doc = CZuDoc::of(document);
    cursor.beginEditBlock();
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
    }
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
    const bool cut =
        splitLongBlocks(document, first, last, doc ? doc->joinBound() : kSoftJoinBound);
    dropEmptyPiece(document, cursor.position());
    cursor.endEditBlock();
    // The document hears of the change only at the end of the outermost
    // edit block; a command may ask for positions before that.
    if (doc) {
        if (cut)
            doc->joins().joinsMade();
        doc->joins().touched();
    }
}

QString CZuView::selectedText() const {
    const QTextCursor c = textCursor();
    return document_->sourceText(c.selectionStart(), c.selectionEnd());
}

QMimeData* CZuView::createMimeDataFromSelection() const {
    // Plain text as the file holds it: no join reaches the clipboard, and a
    // no-break space stays one (the control's own copy makes it a space).
    auto* data = new QMimeData;
    data->setText(selectedText());
    return data;
}

void CZuView::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly())
        return QPlainTextEdit::keyPressEvent(event);
    // Return makes an ordinary line break whatever Shift says: the control's
    // own Shift+Return makes a LINE SEPARATOR, which looks like a break but
    // is a character Shift_JIS cannot hold.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto others = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (enter && !(event->modifiers() & others)) {
        QTextCursor c = textCursor();
        insertText(c, QStringLiteral("\n"));
        setTextCursor(c);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (deleteAcrossJoin(event))
        return;
    if (event->matches(QKeySequence::Cut))
        return cutSelection();
    // Typed over a selection that starts a line, the control would lose
    // what ends the line in front of it (removeSelection says why).
    if (const QString typed = event->text();
        !typed.isEmpty() && (typed.front().isPrint() || typed.front() == u'\t') &&
        removalLosesALineStart(textCursor()) && !(event->modifiers() & others)) {
        insertAtSelection(typed);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        return moveAcrossJoins(event);
    if (typeIntoFullPiece(event))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void CZuView::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText() || isReadOnly())
        return QPlainTextEdit::insertFromMimeData(source);
    QTextCursor c = textCursor();
    insertText(c, source->text());
    setTextCursor(c);
    ensureCursorVisible();
}

void CZuView::beginUndoStep() {
    undoCursor_.beginEditBlock();
}

void CZuView::endUndoStep() {
    undoCursor_.endEditBlock();
}

bool CZuView::canUndo() const {
    return document()->isUndoAvailable();
}

bool CZuView::canPaste() const {
    return QPlainTextEdit::canPaste();
}

// --- Right-button menu and drops ---------------------------------------------

void CZuView::cutSelection() {
    QTextCursor c = textCursor();
    if (!c.hasSelection() || isReadOnly())
        return;
    copy();
    c.beginEditBlock();
    removeSelection(c);
    dropEmptyPiece(document(), c.position());
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

void CZuView::inputMethodEvent(QInputMethodEvent* event) {
    if (isReadOnly())
        return QPlainTextEdit::inputMethodEvent(event);
    // A composition typed over a selection removes the selection when it
    // starts, and commits its text later, maybe after many events. The
    // removal and the commit are one undo step, as a character typed over
    // the selection is; the removal is here so that the line in front keeps
    // its end.
    const bool typing = !event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
                        event->replacementLength() > 0;
    if (QTextCursor c = textCursor(); typing && c.hasSelection()) {
        c.beginEditBlock();
        removeSelection(c);
        dropEmptyPiece(document(), c.position());
        c.endEditBlock();
        setTextCursor(c);
        replacedAt_ = document()->availableUndoSteps();
    }
    // When no step came or went since, the removal's step takes the commit.
    const bool joined = !event->commitString().isEmpty() && replacedAt_ >= 0 &&
                        replacedAt_ == document()->availableUndoSteps() &&
                        !document()->isRedoAvailable();
    QTextCursor step(document());
    if (joined)
        step.joinPreviousEditBlock();
    QPlainTextEdit::inputMethodEvent(event);
    if (joined)
        step.endEditBlock();
    if (event->preeditString().isEmpty())
        replacedAt_ = -1; // committed or cancelled: the next commit is new typing
}

QVariant CZuView::inputMethodQuery(Qt::InputMethodQuery query) const {
    QVariant answer = QPlainTextEdit::inputMethodQuery(query);
    // The input method opens its candidates under the rectangle it is
    // given. The control gives the caret inside the composition, which at
    // the end of a row is the start of the next one when the text after it
    // cannot be wrapped earlier (a long word, or a long line's pieces joined
    // by a removal): the candidates would open far from the composition.
    // The composition's start is where they belong.
    if (query != Qt::ImCursorRectangle || answer.isNull())
        return answer;
    const QTextCursor caret = textCursor();
    const QTextBlock block = caret.block();
    const QTextLayout* layout = block.layout();
    if (!layout || layout->preeditAreaText().isEmpty())
        return answer;
    const int start = layout->preeditAreaPosition();
    const QTextLine line = layout->lineForTextPosition(start);
    if (!line.isValid())
        return answer;
    // In the control's coordinates as its own answer is, which differs from
    // the caret's rectangle in the view only by where the view lies.
    const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft();
    const QRectF ours(origin + QPointF(line.cursorToX(start), line.y()),
                      QSizeF(cursorWidth(), line.height()));
    const QRectF theirs = answer.toRectF();
    return ours.translated(theirs.topLeft() - QRectF(cursorRect(caret)).topLeft());
}

void CZuView::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    widenLineSelection();
}

void CZuView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int at = cursorForPosition(event->position().toPoint()).position();
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        selectWordAcrossJoins(at);
}

void CZuView::contextMenuEvent(QContextMenuEvent* event) {
    const EditState state{canUndo(), textCursor().hasSelection(), canPaste()};
    QMenu menu(this);
    for (const MenuNode& node : contextMenu()) {
        if (node.kind == MenuNode::Kind::Separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(ui::qs(node.label));
        action->setData(node.id);
        action->setEnabled(contextItemEnabled(node.id, state));
    }
    // The menu opens where the button was pressed, not at the caret.
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : viewport()->mapToGlobal(cursorRect().bottomLeft());
    QAction* chosen = menuHook() ? menuHook()(menu, at) : menu.exec(at);
    if (!chosen || !chosen->isEnabled())
        return;
    runContextCommand(chosen->data().toInt());
}

void CZuView::runContextCommand(int id) {
    const CommandInfo* info = findCommand(id);
    if (!info)
        return;
    const CommandRegistry& registry = commandRegistry();
    if (info->owner == CommandOwner::View) {
        if (const auto* entry = registry.view.find(id); entry && entry->isEnabled(*this))
            entry->run(*this);
    } else if (info->owner == CommandOwner::Document) {
        if (const auto* entry = registry.document.find(id); entry && entry->isEnabled(*document_))
            entry->run(*document_);
    }
}

bool CZuView::canInsertFromMimeData(const QMimeData* source) const {
    if (!ui::localFiles(source).isEmpty())
        return false;
    return QPlainTextEdit::canInsertFromMimeData(source);
}

void CZuView::dragEnterEvent(QDragEnterEvent* event) {
    if (!ui::localFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void CZuView::dragMoveEvent(QDragMoveEvent* event) {
    if (!ui::localFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void CZuView::dropEvent(QDropEvent* event) {
    const QStringList files = ui::localFiles(event->mimeData());
    if (!files.isEmpty()) {
        event->acceptProposedAction();
        emit filesDropped(files);
        return;
    }
    // Text dragged within the view moves: inserted where it is dropped and
    // taken from where it was, in one step, its line's start kept.
    QTextCursor from = textCursor();
    if (event->source() == this && event->dropAction() == Qt::MoveAction && !isReadOnly() &&
        event->mimeData()->hasText() && removalLosesALineStart(from)) {
        QTextCursor to = cursorForPosition(event->position().toPoint());
        if (to.position() >= from.selectionStart() && to.position() <= from.selectionEnd())
            return event->ignore();
        to.beginEditBlock();
        insertText(to, event->mimeData()->text());
        removeSelection(from);
        to.endEditBlock();
        setTextCursor(to);
        event->acceptProposedAction();
        QDragLeaveEvent done; // takes the drop caret away
        QPlainTextEdit::dragLeaveEvent(&done);
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

} // namespace zu
