#pragma once
// The menu bars and the view's right-button menu as data, in order.

#include <span>
#include <string>
#include <string_view>

namespace zu {

struct MenuNode {
    enum class Kind { Command, Popup, Separator, RecentFiles, WindowList };
    Kind kind;
    int id;                 // Command: the command number; otherwise 0
    std::string_view label; // Command and Popup: the label with its "&" mnemonic and "\t" text
    std::span<const MenuNode> children; // Popup only
};

// Menu 128, shown while no document window is active.
std::span<const MenuNode> mainMenu();
// Menu 129, shown while a document window is active.
std::span<const MenuNode> documentMenu();
// The editing view's right-button menu.
std::span<const MenuNode> contextMenu();

// What the right-button menu greys its items by.
struct EditState {
    bool canUndo = false;
    bool hasSelection = false;
    bool canPaste = false;
};
// Undo needs an undo step, Cut and Copy a selection, Paste something on the
// clipboard; every other item of the right-button menu is always available.
bool contextItemEnabled(int id, const EditState& state);

// `text` as a menu shows it literally: every "&" doubled, so that none is
// taken for a mnemonic (file names and captions hold them).
std::string literalMenuText(std::string_view text);

// The placeholder shown, greyed, where the recent-file entries go while the
// list is empty.
inline constexpr std::string_view kRecentFilePlaceholder = "最近使ったﾌｧｲﾙ";

} // namespace zu
