#pragma once
// The two commands that work on the whole text of a document rather than on
// the selection: every tag shown in the view's tag colour, and every tag
// taken out. Both ask nothing; the commands confirm first.

#include "core/tags/tag_removal.h"

#include <functional>

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

// The same for the command: a text of removalBackgroundLength() characters
// or more is searched on a thread of its own while the window answers, the
// document's windows showing a bar and a ｷｬﾝｾﾙ button over the text (its
// work(), after barDelayMilliseconds()); cancelling leaves the document
// untouched. The new text then goes in on the window's thread as above.
// `done` hears the outcome, unless cancelled; a shorter text is worked on at
// once, and `done` hears before this returns.
void removeAllTags(CZuDoc& document, std::function<void(TagRemoval::Outcome)> done);
long& removalBackgroundLength();
int& barDelayMilliseconds();

} // namespace zu
