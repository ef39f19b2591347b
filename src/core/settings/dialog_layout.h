#pragma once
// Where the controls of zu's dialogs sit, in dialog units (a quarter of the
// dialog font's average character width across, an eighth of its height
// down), so that the window layer lays them out as the program always has
// and tests can check the numbers without a window.

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

// Every dialog and property page uses this face at 9 points.
inline constexpr std::string_view kDialogFontFace = "ＭＳ Ｐゴシック";
inline constexpr int kDialogFontPoints = 9;

} // namespace zu
