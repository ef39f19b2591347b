#include "gui/app/x11_indicator.h"

#include <X11/XKBlib.h>

namespace zu {

bool x11IndicatorOn(_XDisplay* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on != False;
}

} // namespace zu
