#pragma once
// Printing a document's text in the view's font with half-inch margins.

#include <QString>

class QFont;
class QPrinter;
class QString;

namespace zu {
class CZuView;

// The printer every print command uses; its set-up lasts for the run.
QPrinter& sharedPrinter();

// Prints `text` (lines ending in U+2029 or '\n') on `printer`; false when
// the printer could not be started.
bool printDocument(const QString& text, const QFont& font, QPrinter& printer);

void printWithDialog(CZuView& view); // the print dialog, then print
void printDirect(CZuView& view);     // the current printer, no dialog
void printPreview(CZuView& view);    // the preview window
void printSetup();                   // the printer's page set-up

// The preview's page count (1 or 2) kept between runs.
int previewPages();
void setPreviewPages(int pages);

} // namespace zu
