#pragma once
// Toolbar and application icons. The desktop theme's icon is used where one
// fits the command; the others are drawn here as vector shapes, so that they
// stay sharp at any toolbar size and screen scale. The application icon is
// the SVG that is installed for the desktop too (res/icons/zu.svg).

#include <QIcon>

namespace zu {

QIcon commandIcon(int id);
QIcon appIcon();

} // namespace zu
