#pragma once
// The generic form: the skeleton of a whole page (html, head, body and font
// elements) around the selection, filled from the user's settings.

#include "core/edit/fragment.h"

#include <string>

namespace zu {

struct GenericFormInput {
    std::string pageTitle;
    std::string bodyOptions; // empty: a bare "<body>"
    std::string fontFace;
    int fontSize = 0;
    // The charset the content-type line names. Pages saved in CP932 say
    // "x-sjis", as every page the editor wrote always has.
    std::string charset = "x-sjis";
};

Fragment genericForm(const GenericFormInput& input);

// Where the caret goes once `form` has been wrapped around a selection that
// started at `insertStart`: the end of the open text, which is the start of
// the line holding the former selection. Positions are the editor's: UTF-16
// units, with a line break as one position.
long caretAfterGenericForm(long insertStart, const Fragment& form);

} // namespace zu
