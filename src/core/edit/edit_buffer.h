#pragma once
// The editing control as the program's commands see it: text with a
// selection and a colour per character. The view implements it on the real
// control; tests implement it in memory.
//
// Positions count characters from 0 as the control does (UTF-16 units), and
// a line break is one position. Texts are UTF-8; a text given may break its
// lines with "\r\n" or "\n", a text taken breaks them with "\n".

#include <cstdint>
#include <string>
#include <string_view>

namespace zu {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class EditBuffer {
public:
    struct Range {
        long start = 0;
        long end = 0; // start <= end; equal when nothing is selected
        friend bool operator==(const Range&, const Range&) = default;
    };

    virtual ~EditBuffer() = default;

    // The selection in ascending order, whichever way it was made.
    virtual Range selection() const = 0;
    // Selects start..end; start == end puts the caret there.
    virtual void setSelection(long start, long end) = 0;
    virtual std::string selectedText() const = 0;
    // Replaces the selection by `text` as one undoable step (or as part of the
    // step that an enclosing UndoStep makes); the caret ends after the text.
    virtual void replaceSelection(std::string_view text) = 0;

    // Makes every change between begin and end one undo step. Steps nest.
    virtual void beginUndoStep() = 0;
    virtual void endUndoStep() = 0;

    // Display lines: with word wrap one source line may take several.
    virtual int lineCount() const = 0;          // at least 1
    virtual long lineStart(int line) const = 0; // -1 past the last line
    // First match of `text` starting at or after `from` and ending by `to`
    // (to = -1: the end of the text); -1 when there is none.
    virtual long find(std::string_view text, long from, long to, bool matchCase) const = 0;
    // The selected characters show `colour`; nothing else about them changes.
    virtual void setSelectionColour(Rgb colour) = 0;

    virtual bool canUndo() const = 0;
    virtual bool canPaste() const = 0;

    virtual std::string text() const = 0;
    // Replaces the whole text; this cannot be undone.
    virtual void setText(std::string_view text) = 0;

    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
};

// Makes the changes of one scope a single undo step.
class UndoStep {
public:
    explicit UndoStep(EditBuffer& buffer) : buffer_(buffer) { buffer_.beginUndoStep(); }
    ~UndoStep() { buffer_.endUndoStep(); }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    EditBuffer& buffer_;
};

} // namespace zu
