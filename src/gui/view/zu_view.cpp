#include "gui/view/zu_view.h"

#include "core/app/commands.h"
#include "core/app/menus.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/document_edit.h"
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
    setDocument(document->text().textDocument());
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Laid out now for this view's width, which resizeEvent has not seen.
    document->text().textDocument()->documentLayout()->setProperty(kLaidOutWidth, QVariant());
    setFont(editorFont());
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    setAcceptDrops(true);
    undoCursor_ = QTextCursor(document->text().textDocument());
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
// join of a long line (TextModel::sourceText).
EditBuffer::Range CZuView::selection() const {
    const QTextCursor c = textCursor();
    return {document_->text().toSource(c.selectionStart()),
            document_->text().toSource(c.selectionEnd())};
}

void CZuView::setSelection(long start, long end) {
    const long last = document_->text().sourceLength();
    start = std::clamp(start, 0L, last);
    end = std::clamp(end, 0L, last);
    QTextCursor c = textCursor();
    document_->text().select(c, start, end);
    setTextCursor(c);
}

void CZuView::replaceSelection(std::string_view text) {
    insertAtSelection(ui::qs(text));
}

void CZuView::insertAtSelection(const QString& text) {
    const QTextCursor c = textCursor();
    // Undo takes the caret back to where it was.
    QTextCursor caret;
    {
        DocumentEdit edit(*document_, document_->text().toSource(c.position()));
        edit.replace({document_->text().toSource(c.selectionStart()),
                      document_->text().toSource(c.selectionEnd())},
                     text);
        caret = edit.end();
    }
    setTextCursor(caret);
}

QString CZuView::selectedText() const {
    const QTextCursor c = textCursor();
    return document_->text().sourceText(c.selectionStart(), c.selectionEnd());
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
        insertAtSelection(QStringLiteral("\n"));
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (deleteAcrossJoin(event))
        return;
    if (event->matches(QKeySequence::Cut))
        return cutSelection();
    // Typed over a selection, through the document's edit: the control
    // would lose what ends the line in front of a selection that starts a
    // line.
    if (const QString typed = event->text();
        !typed.isEmpty() && (typed.front().isPrint() || typed.front() == u'\t') &&
        textCursor().hasSelection() && !(event->modifiers() & others)) {
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
    insertAtSelection(source->text());
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
    insertAtSelection(QString());
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
    if (typing && textCursor().hasSelection()) {
        insertAtSelection(QString());
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
    commandRegistry().run(id, {.view = this, .document = document_});
}

bool CZuView::canInsertFromMimeData(const QMimeData* source) const {
    if (!ui::localFiles(source).empty())
        return false;
    return QPlainTextEdit::canInsertFromMimeData(source);
}

void CZuView::dragEnterEvent(QDragEnterEvent* event) {
    if (!ui::localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void CZuView::dragMoveEvent(QDragMoveEvent* event) {
    if (!ui::localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void CZuView::dropEvent(QDropEvent* event) {
    const std::vector<FilePath> files = ui::localFiles(event->mimeData());
    if (!files.empty()) {
        event->acceptProposedAction();
        emit filesDropped(files);
        return;
    }
    // Text dragged within the view moves: inserted where it is dropped and
    // taken from where it was, in one step, through the document's edit.
    const QTextCursor from = textCursor();
    if (event->source() == this && event->dropAction() == Qt::MoveAction && !isReadOnly() &&
        event->mimeData()->hasText() && from.hasSelection()) {
        const QTextCursor to = cursorForPosition(event->position().toPoint());
        if (to.position() >= from.selectionStart() && to.position() <= from.selectionEnd())
            return event->ignore();
        const long start = document_->text().toSource(from.selectionStart());
        const long end = document_->text().toSource(from.selectionEnd());
        long at = document_->text().toSource(to.position());
        QTextCursor caret;
        {
            DocumentEdit edit(*document_, at);
            edit.replace({start, end}, QString());
            if (at > end)
                at -= end - start;
            edit.replace({at, at}, event->mimeData()->text());
            caret = edit.end();
        }
        setTextCursor(caret);
        event->acceptProposedAction();
        QDragLeaveEvent done; // takes the drop caret away
        QPlainTextEdit::dragLeaveEvent(&done);
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

} // namespace zu
