#pragma once
// Where the controls of the tag dialogs sit, in dialog units, so that the
// window layer lays them out as the program always has and tests can check
// the numbers without a window.

#include <string_view>

namespace zu {

struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const DialogRect&, const DialogRect&) = default;
};

struct DialogButton {
    int id = 0; // 1 is OK and 2 is Cancel, as the dialog results are numbered
    std::string_view text;
    DialogRect rect;
};

// A static text; its size is whatever the text needs.
struct DialogLabel {
    std::string_view text;
    int x = 0, y = 0;
};

// Both dialogs use this face at 9 points.
inline constexpr std::string_view kTagDialogFont = "ＭＳ Ｐゴシック";
inline constexpr int kTagDialogFontPoints = 9;

} // namespace zu
