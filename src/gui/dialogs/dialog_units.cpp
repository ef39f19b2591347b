#include "gui/dialogs/dialog_units.h"

#include "gui/widgets/ui.h"

#include <QFontMetrics>

#include <cmath>

namespace zu {

QFont dialogFont() {
    QFont font;
    font.setFamilies({ui::qs(kDialogFontFace), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(kDialogFontPoints);
    return font;
}

// The average width is taken over the 52 letters, rounded, as the units
// have always been measured.
DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = std::max(1, static_cast<int>(std::lround(metrics.horizontalAdvance(letters) / 52)));
    baseY_ = std::max(1, static_cast<int>(std::lround(metrics.height())));
}

int DialogUnits::x(int units) const {
    return (units * baseX_ + 2) / 4;
}

int DialogUnits::y(int units) const {
    return (units * baseY_ + 4) / 8;
}

QRect DialogUnits::rect(const DialogRect& r) const {
    // Both edges are converted, not the width, so that neighbours meet as
    // they do in units.
    const int left = x(r.x);
    const int top = y(r.y);
    return {left, top, x(r.x + r.width) - left, y(r.y + r.height) - top};
}

} // namespace zu
