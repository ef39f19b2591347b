#pragma once
// Properties the document puts on the text to remember what the file's bytes
// were, and where its long lines are shown in pieces. They are invisible and
// never saved as such.

#include <QTextFormat>

namespace zu {

//  - A character format property on a character the file wrote in its
//    non-default byte form: the two bytes it used.
//  - A block format property on a line that follows a break the file wrote
//    other than in its most frequent style: that break's LineBreak. A block
//    format, because the editing control keeps it with the line through
//    edits, Undo and Redo; a break the user makes starts a line without it
//    (the view sees to that) and is written in the most frequent style.
//  - A block format property on a line that is no line of the text but the
//    next piece of a long one (soft_joins.h in the core says why): the
//    paragraph end in front of it is a soft join, not a break. A block
//    format for the same reason: it goes and comes back with that paragraph
//    end through edits, Undo and Redo.
inline constexpr int kVariantCodeProperty = QTextFormat::UserProperty + 1;
inline constexpr int kBreakBeforeProperty = QTextFormat::UserProperty + 2;
inline constexpr int kJoinProperty = QTextFormat::UserProperty + 3;

} // namespace zu
