#pragma once
// Dialog units to pixels. The core places every control in dialog units: a
// quarter of the dialog font's average character width across and an eighth
// of its height down, so that a dialog grows with its font.

#include "core/settings/dialog_layout.h"

#include <QFont>
#include <QRect>

namespace zu {

// "ＭＳ Ｐゴシック" at 9 points, with a Japanese face behind it where that
// is not installed.
QFont dialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(const DialogRect& r) const;
    QSize size(int width, int height) const { return {x(width), y(height)}; }

private:
    int baseX_; // average character width in pixels
    int baseY_; // character height in pixels
};

} // namespace zu
