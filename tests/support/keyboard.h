#pragma once
// Choosing a menu command from the keyboard, as a user would: Alt and the
// menu's letter, then each item's letter; where two items of one menu share
// a letter, the letter is pressed until it reaches the right one and Return
// chooses; items without a letter are reached with the arrow keys.

#include <QWidget>

namespace zu::test {

// Drives the menus of the document window's menu bar to command `id`.
// Returns false (with a test failure) when the path cannot be walked.
bool chooseFromMenu(QWidget* focus, int id);

} // namespace zu::test
