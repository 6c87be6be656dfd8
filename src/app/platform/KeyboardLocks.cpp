#include "app/platform/KeyboardLocks.h"

#include <QGuiApplication>

// After the Qt headers: the X11 headers define macros (Bool, None, ...) that Qt's use too.
#include <X11/XKBlib.h>

namespace kv {

namespace {

// The state of the keyboard indicator of that name; empty when the keyboard has none.
std::optional<bool> namedIndicator(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0) return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return std::nullopt;
    return on != False;
}

}  // namespace

KeyboardLocks readKeyboardLocks() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr) return {};
    return {namedIndicator(display, "Caps Lock"), namedIndicator(display, "Num Lock"),
            namedIndicator(display, "Scroll Lock")};
}

}  // namespace kv
