#pragma once
// The 95 Latin-1 characters offered by the special-symbols dialog, codes 161
// to 255: what each button inserts, which ids and icon it has, and where it
// sits in the dialog.

#include "core/settings/dialog_layout.h"

#include <span>
#include <string_view>

namespace zu {

struct Symbol {
    int code;                 // Latin-1, which is also the Unicode code point
    int controlId;            // the button's control and command id
    int iconId;               // the icon resource that showed the glyph
    std::string_view name;    // entity name, "Agrave"
    std::string_view named;   // "&Agrave;"
    std::string_view numeric; // "&#192;"

    // The character the button shows.
    constexpr char32_t character() const { return static_cast<char32_t>(code); }
};

// In code order, 161 first.
std::span<const Symbol> symbols();
const Symbol* findSymbol(int code);          // nullptr outside 161..255
const Symbol* findSymbolById(int controlId); // nullptr when no button has the id

// What pressing the button inserts: the named entity when `entityMnemonic`
// is non-zero, else the numeric reference.
std::string_view symbolReference(const Symbol& symbol, int entityMnemonic);

// The dialog: a 12 x 8 grid of buttons filled column by column in code
// order, and Cancel below it, which has the focus when the dialog opens.
inline constexpr std::string_view kSymbolDialogCaption = "特殊記号";
inline constexpr int kSymbolDialogWidth = 290;
inline constexpr int kSymbolDialogHeight = 235;
inline constexpr int kSymbolColumns = 12;
inline constexpr int kSymbolRows = 8;
inline constexpr int kSymbolButtonWidth = 21;
inline constexpr int kSymbolButtonHeight = 24;
inline constexpr DialogButton kSymbolCancel{2, "ｷｬﾝｾﾙ", {129, 214, 50, 14}};

struct SymbolCell {
    int column; // 0..11, left to right
    int row;    // 0..7, top to bottom
    DialogRect rect;
};

SymbolCell symbolCell(const Symbol& symbol);

} // namespace zu
