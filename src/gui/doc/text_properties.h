#pragma once
// Properties the document puts on the text to remember what the file's bytes
// were. They are invisible and never saved as such. The number after them
// is taken too: the paragraphs that continue a long line carry it, and only
// the code that keeps where those stand reads it.

#include <QTextFormat>

namespace zu {

//  - A character format property on a character the file wrote in its
//    non-default byte form: the two bytes it used.
//  - A block format property on a line that follows a break the file wrote
//    other than in its most frequent style: that break's LineBreak. A block
//    format, because the editing control keeps it with the line through
//    edits, Undo and Redo; a break the user makes starts a line without it
//    (the view sees to that) and is written in the most frequent style.
inline constexpr int kVariantCodeProperty = QTextFormat::UserProperty + 1;
inline constexpr int kBreakBeforeProperty = QTextFormat::UserProperty + 2;

} // namespace zu
