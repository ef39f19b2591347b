#pragma once
#include "core/edit/edit_buffer.h"
#include "core/edit/fragment.h"

#include <string_view>

namespace zu {

// Puts `open` in front of the selection and `close` behind it in one undo
// step, then leaves the caret, with nothing selected, in front of `open`.
// Either text may be empty; the selection may be of any length and made in
// either direction.
void WrapSelection(EditBuffer& buffer, std::string_view open, std::string_view close);

inline void WrapSelection(EditBuffer& buffer, const Fragment& fragment) {
    WrapSelection(buffer, fragment.open, fragment.close);
}

} // namespace zu
