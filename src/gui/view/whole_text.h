#pragma once
// The two commands that work on the whole text of a document rather than on
// the selection: every tag shown in the view's tag colour, and every tag
// taken out. Both ask nothing; the commands confirm first.

#include "core/tags/tag_removal.h"

namespace zu {
class CZuDoc;
class CZuView;

// Paints every tag of the text (see tagSpans) in the view's tag colour, on
// top of the colours earlier runs left. The colour is display only: it is
// not saved, the document is not marked modified, the undo history stays as
// it was and the selection does not move.
void colourTags(CZuView& view);

// Takes every tag out of the text when removeTags finds them all matched,
// and marks the document modified; on any other outcome the document is
// left alone. The change cannot be undone (DocumentEdit::takeOut).
TagRemoval::Outcome removeAllTags(CZuDoc& document);

} // namespace zu
