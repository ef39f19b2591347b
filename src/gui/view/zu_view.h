#pragma once
// The editing view of one document: a plain-text editor that shows the text
// in a fixed-pitch font, receives the program's editing commands, and is the
// EditBuffer through which they insert text.

#include "core/edit/edit_buffer.h"

#include <QMarginsF>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <functional>
#include <optional>
#include <span>

class QMenu;
class QPrinter;

namespace zu {
class CZuDoc;
template <class T> struct CommandEntry;

class CZuView : public QPlainTextEdit, public EditBuffer {
    Q_OBJECT
public:
    explicit CZuView(CZuDoc* document, QWidget* parent = nullptr);
    ~CZuView() override;

    CZuDoc* GetDocument() const { return document_; }

    // The font every view shows its text in: the system's fixed-pitch font,
    // with a Japanese font behind it for the characters it lacks.
    static QFont editorFont();
    // Margins kept for printing: half an inch on every side.
    static QMarginsF printMargins() { return {12.7, 12.7, 12.7, 12.7}; }

    // Command routing: true when this view handled `id`.
    bool OnCmdMsg(int id);
    // Whether `id` is available here; nullopt when the view does not handle it.
    std::optional<bool> commandEnabled(int id) const;

    // EditBuffer
    Range selection() const override;
    void setSelection(long start, long end) override;
    std::string selectedText() const override;
    void replaceSelection(std::string_view text) override;
    void beginUndoStep() override;
    void endUndoStep() override;
    int lineCount() const override;
    long lineStart(int line) const override;
    long find(std::string_view text, long from, long to, bool matchCase) const override;
    void setSelectionColour(Rgb colour) override;
    bool canUndo() const override;
    bool canPaste() const override;
    std::string text() const override;
    void setText(std::string_view text) override;
    bool isModified() const override;
    void setModified(bool modified) override;

    // Tests answer the right-button menu through this: given the menu and the
    // point it would appear at, return the action chosen (or null).
    using MenuHook = std::function<QAction*(QMenu&, const QPoint& globalPos)>;
    static void setMenuHook(MenuHook hook);

signals:
    // Something that decides which commands are available has changed.
    void commandStateChanged();
    // Files were dropped on the view: they are to be opened, not inserted.
    void filesDropped(const QStringList& paths);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static std::span<const CommandEntry<CZuView>> messageMap();

    void OnTagCommand(int id);
    void OnViewInBrowser(int id);
    bool hasPath(int id) const;
    void OnHelp(int id);
    void OnFilePrint(int id);
    void OnFilePrintDirect(int id);
    void OnFilePrintPreview(int id);
    void OnEditUndo(int id);
    void OnEditCut(int id);
    void OnEditCopy(int id);
    void OnEditPaste(int id);
    void OnEditSelectAll(int id);
    void OnEditFind(int id);
    void OnEditRepeat(int id);
    void OnEditReplace(int id);
    void OnNotYetAvailable(int id);
    bool canUndoCommand(int id) const;
    bool hasSelection(int id) const;
    bool canPasteCommand(int id) const;

    CZuDoc* document_;
    QTextCursor undoCursor_;
};

} // namespace zu
