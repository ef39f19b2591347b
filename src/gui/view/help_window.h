#pragma once
// The help page: an HTML file shipped with the program, shown in a window
// of its own.

#include <QString>

class QWidget;

namespace zu {

// Where the help page is looked for: beside the program first, then in the
// installed data folder.
QString helpFilePath();

// Shows the help window; says which file is missing when there is none.
void showHelp(QWidget* owner);

} // namespace zu
