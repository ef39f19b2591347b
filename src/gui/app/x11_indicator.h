#pragma once
// Kept apart from Qt: the X11 headers define macros (KeyRelease, None, ...)
// that collide with Qt's names.

struct _XDisplay;

namespace zu {

// Whether the keyboard indicator `name` ("Caps Lock") is lit.
bool x11IndicatorOn(_XDisplay* display, const char* name);

} // namespace zu
