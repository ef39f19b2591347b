#pragma once
// gui/view: the editing view on QPlainTextEdit, its own commands
// (view_commands.h), find and replace, printing and the help window.
//
// The editing view of one document: a plain-text editor that shows the text
// in a fixed-pitch font, receives the program's editing commands, and is the
// EditBuffer through which they insert text.

#include "core/edit/edit_buffer.h"
#include "core/text/file_path.h"
#include "core/text/line_column.h"

#include <QMarginsF>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <functional>
#include <vector>

class QMenu;
class QPrinter;

namespace zu {
class CZuDoc;

// The width the text of a view's document was last laid out for, kept on
// its layout (see resizeEvent).
inline constexpr char kLaidOutWidth[] = "zuLaidOutWidth";

class CZuView : public QPlainTextEdit, public EditBuffer {
    Q_OBJECT
public:
    explicit CZuView(CZuDoc* document, QWidget* parent = nullptr);
    ~CZuView() override;

    CZuDoc* doc() const { return document_; }

    // The font every view shows its text in: the system's fixed-pitch font,
    // with a Japanese font behind it for the characters it lacks.
    static QFont editorFont();
    // Margins kept for printing: half an inch on every side.
    static QMarginsF printMargins() { return {12.7, 12.7, 12.7, 12.7}; }

    // The colour tag colouring paints in. Each run sets it from the options
    // before it asks to go on (when the option names one of its three
    // colours); a view starts with blue, the options' own default.
    Rgb tagColour() const { return tagColour_; }
    void setTagColour(Rgb colour) { tagColour_ = colour; }

    // Runs a command chosen in this view's right-button menu: such commands
    // go to this view, or to its document, never to the active window.
    void runContextCommand(int id);

    // EditBuffer
    Range selection() const override;
    void setSelection(long start, long end) override;
    void replaceSelection(std::string_view text) override;
    void beginUndoStep() override;
    void endUndoStep() override;
    bool canUndo() const override;
    bool canPaste() const override;

    // The selected text as the file holds it (no soft joins), lines ending
    // in '\n': what Copy and the find dialog take.
    QString selectedText() const;
    // replaceSelection for a text the Qt layer holds already, as one undo
    // step. Every kind of line break in it becomes an ordinary break,
    // written in the document's most frequent style.
    void insertAtSelection(const QString& text);
    // Cut: copies the selection and removes it, the line's start kept.
    void cutSelection();

    // Where the input method opens its candidates: the composition's start.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // The line-number gutter at the left of the text (view_lines.cpp): one
    // number a line of the file, however many pieces or rows it is shown in.
    void setLineNumbersShown(bool shown);
    bool lineNumbersShown() const { return gutter_ != nullptr; }
    // The numbers the gutter shows between `top` and `bottom` (viewport
    // coordinates): where each row with a number starts, and the number.
    struct NumberedRow {
        int top;
        long number;
        friend bool operator==(const NumberedRow&, const NumberedRow&) = default;
    };
    std::vector<NumberedRow> numberedRows(int top, int bottom) const;
    // The caret's line and column, as the status bar names them.
    LineColumn caretPlace() const;
    // Puts the caret at the start of column `column` of line `line` (both
    // from 1, within the file) and brings it into view.
    void goToPlace(long line, long column);

    // Tests answer the right-button menu through this: given the menu and the
    // point it would appear at, return the action chosen (or null).
    using MenuHook = std::function<QAction*(QMenu&, const QPoint& globalPos)>;
    static void setMenuHook(MenuHook hook);

signals:
    // Something that decides which commands are available has changed.
    void commandStateChanged();
    // Files were dropped on the view: they are to be opened, not inserted.
    void filesDropped(const std::vector<FilePath>& paths);
    // A remark for the status bar about what a command just did; empty takes
    // the last one back.
    void statusNote(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineNumberGutter;
    // The gutter's numbers for the rows now on screen (view_lines.cpp).
    void paintLineNumbers(QPaintEvent* event);
    int gutterWidth() const;
    void placeGutter();

    // The keys at the soft joins of long lines (view_joins.cpp): the user
    // never meets a join. Backspace and Delete there, and Ctrl with either
    // anywhere in a line in pieces, take the text on the far side of the
    // join; Backspace after a character of two UTF-16 units takes it whole,
    // in any line. True when the key was handled so.
    bool deleteAcrossJoin(QKeyEvent* event);
    // Left and Right never stop twice at one place of the text; with Ctrl
    // they go from word to word as in the line shown whole.
    void moveAcrossJoins(QKeyEvent* event);
    // Where a word move from control position `from` ends when the caret is
    // in a line in pieces; -1 where the control's own move is right.
    int wordMoveTarget(int from, bool forward) const;
    // Typing that makes a piece longer than two pieces cuts it again, in
    // the undo step of the character typed; true when the key was typed so.
    bool typeIntoFullPiece(QKeyEvent* event);
    // A click that selected a whole piece (three clicks) selects its whole
    // line; two clicks at control position `at` select the whole word there
    // across joins.
    void widenLineSelection();
    void selectWordAcrossJoins(int at);

    CZuDoc* document_;
    QTextCursor undoCursor_;
    // The undo steps there were right after a composition removed the
    // selection it was typed over; -1 when none did.
    int replacedAt_ = -1;
    Rgb tagColour_{0, 0, 255};
    QWidget* gutter_ = nullptr;
};

} // namespace zu
