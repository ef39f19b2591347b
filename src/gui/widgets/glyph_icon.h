#pragma once
// An icon that is one character of a font, drawn black on transparent at
// whatever size and screen scale it is asked for, so that it stays sharp
// where a stored bitmap would be scaled.

#include <QIcon>
#include <QString>

namespace zu::ui {

QIcon glyphIcon(const QString& glyph);

} // namespace zu::ui
