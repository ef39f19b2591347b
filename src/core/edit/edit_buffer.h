#pragma once
// core/edit: the editing buffer as commands see it, the Fragment every
// inserting command builds and WrapSelection, the one way they insert.
//
// The editing control as the program's commands see it: text with a
// selection. The view implements it on the real control; tests implement it
// in memory. It holds only what some command uses.
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
    // Replaces the selection by `text` as one undoable step (or as part of the
    // step that an enclosing UndoStep makes); the caret ends after the text.
    virtual void replaceSelection(std::string_view text) = 0;

    // Makes every change between begin and end one undo step. Steps nest.
    virtual void beginUndoStep() = 0;
    virtual void endUndoStep() = 0;

    // What the right-button menu greys its Undo and Paste items by.
    virtual bool canUndo() const = 0;
    virtual bool canPaste() const = 0;
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
