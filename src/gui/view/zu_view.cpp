#include "gui/view/zu_view.h"

#include "gui/app/command_map.h"
#include "core/app/commands.h"
#include "core/app/menus.h"
#include "gui/widgets/ui.h"
#include "gui/doc/zu_doc.h"
#include "core/settings/settings.h"
#include "core/tags/tag_commands.h"
#include "core/text/utf.h"
#include "gui/view/find_replace.h"
#include "gui/view/help_window.h"
#include "gui/view/view_print.h"
#include "core/edit/wrap_selection.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

namespace zu {
namespace {

// Inside the control a line break is a paragraph separator; the program's
// texts use '\n' (and the inserted fragments "\r\n").
QString toControl(std::string_view utf8) {
    QString s = ui::qs(utf8);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string fromControl(QString s) {
    s.replace(QChar::ParagraphSeparator, u'\n');
    return s.toStdString();
}

CZuView::MenuHook& menuHook() {
    static CZuView::MenuHook hook;
    return hook;
}

} // namespace

std::span<const CommandEntry<CZuView>> CZuView::messageMap() {
    using V = CZuView;
    static const CommandEntry<V> map[] = {
        {cmd::Comment, cmd::Comment, &V::OnTagCommand},
        {32784, 32787, &V::OnTagCommand},
        {32790, 32841, &V::OnTagCommand},
        {cmd::ViewInBrowser, cmd::ViewInBrowser, &V::OnViewInBrowser, &V::hasPath},
        {cmd::Help, cmd::Help, &V::OnHelp},
        {cmd::FilePrint, cmd::FilePrint, &V::OnFilePrint},
        {cmd::FilePrintDirect, cmd::FilePrintDirect, &V::OnFilePrintDirect},
        {cmd::FilePrintPreview, cmd::FilePrintPreview, &V::OnFilePrintPreview},
        {cmd::EditUndo, cmd::EditUndo, &V::OnEditUndo, &V::canUndoCommand},
        {cmd::EditCut, cmd::EditCut, &V::OnEditCut, &V::hasSelection},
        {cmd::EditCopy, cmd::EditCopy, &V::OnEditCopy, &V::hasSelection},
        {cmd::EditPaste, cmd::EditPaste, &V::OnEditPaste, &V::canPasteCommand},
        {cmd::EditSelectAll, cmd::EditSelectAll, &V::OnEditSelectAll},
        {cmd::EditFind, cmd::EditFind, &V::OnEditFind},
        {cmd::EditRepeat, cmd::EditRepeat, &V::OnEditRepeat},
        {cmd::EditReplace, cmd::EditReplace, &V::OnEditReplace},
        // Commands whose dialogs and assistants are still to come.
        {cmd::TagColor, cmd::TagColor, &V::OnNotYetAvailable},
        {cmd::GenericForm, cmd::GenericForm, &V::OnNotYetAvailable},
        {cmd::Index, cmd::TagRemove, &V::OnNotYetAvailable},
        {cmd::Date, cmd::DateTime, &V::OnNotYetAvailable},
        {cmd::Options, cmd::Calendar, &V::OnNotYetAvailable},
        {cmd::TableTemplate, cmd::TableTemplate, &V::OnNotYetAvailable},
        {cmd::FileTable, cmd::FileTable, &V::OnNotYetAvailable},
        {cmd::Symbols, cmd::Symbols, &V::OnNotYetAvailable},
    };
    return map;
}

CZuView::CZuView(CZuDoc* document, QWidget* parent) : QPlainTextEdit(parent), document_(document) {
    setDocument(document->textDocument());
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
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

bool CZuView::OnCmdMsg(int id) {
    return dispatchCommand(*this, messageMap(), id);
}

std::optional<bool> CZuView::commandEnabled(int id) const {
    return commandState(*this, messageMap(), id);
}

// --- EditBuffer --------------------------------------------------------------

EditBuffer::Range CZuView::selection() const {
    const QTextCursor c = textCursor();
    return {c.selectionStart(), c.selectionEnd()};
}

void CZuView::setSelection(long start, long end) {
    QTextCursor c = textCursor();
    const int last = document()->characterCount() - 1;
    c.setPosition(std::clamp(static_cast<int>(start), 0, last));
    c.setPosition(std::clamp(static_cast<int>(end), 0, last), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

std::string CZuView::selectedText() const {
    return fromControl(textCursor().selectedText());
}

void CZuView::replaceSelection(std::string_view text) {
    QTextCursor c = textCursor();
    c.insertText(toControl(text));
    setTextCursor(c);
}

void CZuView::beginUndoStep() {
    undoCursor_.beginEditBlock();
}

void CZuView::endUndoStep() {
    undoCursor_.endEditBlock();
}

int CZuView::lineCount() const {
    int lines = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        lines += std::max(1, b.layout() ? b.layout()->lineCount() : 1);
    return std::max(lines, 1);
}

long CZuView::lineStart(int line) const {
    if (line < 0)
        return -1;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int count = std::max(1, b.layout() ? b.layout()->lineCount() : 1);
        if (line < count) {
            const int offset = (b.layout() && b.layout()->lineCount() > line)
                                   ? b.layout()->lineAt(line).textStart()
                                   : 0;
            return b.position() + offset;
        }
        line -= count;
    }
    return -1;
}

long CZuView::find(std::string_view text, long from, long to, bool matchCase) const {
    QTextDocument::FindFlags flags;
    if (matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found =
        document()->find(toControl(text), static_cast<int>(std::max(from, 0L)), flags);
    if (found.isNull())
        return -1;
    if (to >= 0 && found.selectionEnd() > to)
        return -1;
    return found.selectionStart();
}

void CZuView::setSelectionColour(Rgb colour) {
    QTextCharFormat format;
    format.setForeground(QColor(colour.red, colour.green, colour.blue));
    textCursor().mergeCharFormat(format);
}

bool CZuView::canUndo() const {
    return document()->isUndoAvailable();
}

bool CZuView::canPaste() const {
    return QPlainTextEdit::canPaste();
}

std::string CZuView::text() const {
    return fromControl(document()->toRawText());
}

void CZuView::setText(std::string_view text) {
    const bool undo = document()->isUndoRedoEnabled();
    setPlainText(toControl(text));
    document()->setUndoRedoEnabled(undo);
    setModified(true);
}

bool CZuView::isModified() const {
    return document()->isModified();
}

void CZuView::setModified(bool modified) {
    document()->setModified(modified);
}

// --- Commands ---------------------------------------------------------------

void CZuView::OnTagCommand(int id) {
    if (const TagCommand* command = findTagCommand(id))
        WrapSelection(*this, tagFragment(*command, settings()));
}

void CZuView::OnViewInBrowser(int) {
    // The browser shows the file as last saved; unsaved edits are not in it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(document_->pathName()));
}

bool CZuView::hasPath(int) const {
    return !document_->pathName().isEmpty();
}

void CZuView::OnHelp(int) {
    showHelp(this);
}

void CZuView::OnFilePrint(int) {
    printWithDialog(*this);
}

void CZuView::OnFilePrintDirect(int) {
    printDirect(*this);
}

void CZuView::OnFilePrintPreview(int) {
    printPreview(*this);
}

void CZuView::OnEditUndo(int) {
    undo();
}

void CZuView::OnEditCut(int) {
    cut();
}

void CZuView::OnEditCopy(int) {
    copy();
}

void CZuView::OnEditPaste(int) {
    paste();
}

void CZuView::OnEditSelectAll(int) {
    selectAll();
}

void CZuView::OnEditFind(int) {
    FindReplace::instance().showFind(this);
}

void CZuView::OnEditRepeat(int) {
    FindReplace::instance().findNext(this);
}

void CZuView::OnEditReplace(int) {
    FindReplace::instance().showReplace(this);
}

void CZuView::OnNotYetAvailable(int) {
    ui::message(this, QStringLiteral("この機能はまだ使用できません。"), ui::Buttons::Ok,
                ui::Icon::Information);
}

bool CZuView::canUndoCommand(int) const {
    return canUndo();
}

bool CZuView::hasSelection(int) const {
    return textCursor().hasSelection();
}

bool CZuView::canPasteCommand(int) const {
    return canPaste();
}

// --- Right-button menu and drops ---------------------------------------------

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
    const int id = chosen->data().toInt();
    // Commands from this menu go to the view, then its document only.
    if (!OnCmdMsg(id))
        document_->OnCmdMsg(id);
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
    QPlainTextEdit::dropEvent(event);
}

} // namespace zu
