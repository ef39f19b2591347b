#pragma once
// Saving and closing a document as the user asks for it: the save dialog,
// the question about characters the file cannot hold, the message when a
// write fails, and "save changes?" before a modified document closes.

#include "core/text/file_path.h"

namespace zu {
class CZuDoc;
template <class Target> class HandlerTable;

// Save: to the document's own file when it still exists and may be written,
// otherwise through the save dialog. False when nothing was saved.
bool saveDocument(CZuDoc& doc);
// Save As: always through the save dialog.
bool saveDocumentAs(CZuDoc& doc);
// Saves to `path`, asking about characters the file cannot hold and telling
// the user why a write failed. False when nothing was saved.
bool saveDocumentTo(CZuDoc& doc, const FilePath& path);
// Asks "save changes?" for a modified document; false when the user cancels
// or the save fails, so the document must stay open.
bool maybeSave(CZuDoc& doc);

// Close, Save and Save As.
void registerDocumentCommands(HandlerTable<CZuDoc>& table);

} // namespace zu
