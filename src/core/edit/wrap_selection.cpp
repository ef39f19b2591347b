#include "core/edit/wrap_selection.h"

namespace zu {

void WrapSelection(EditBuffer& buffer, std::string_view open, std::string_view close) {
    const EditBuffer::Range selection = buffer.selection();
    {
        // The selected text itself is left in place rather than cut out and
        // typed in again: the result is the same text, but the characters
        // keep what the control knows about them (the byte form a file used,
        // colours), and a selection of any size costs nothing to wrap.
        UndoStep step(buffer);
        buffer.setSelection(selection.end, selection.end);
        buffer.replaceSelection(close);
        buffer.setSelection(selection.start, selection.start);
        buffer.replaceSelection(open);
    }
    buffer.setSelection(selection.start, selection.start);
}

} // namespace zu
