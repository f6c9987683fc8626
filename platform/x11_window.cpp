#include "platform/x11_window.h"

#include <X11/Xlib.h>

namespace {
// One connection for the process, opened on first use; size queries run
// every few frames and must not pay for a connection each time.
Display* Connection() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

bool HaveX11Display() { return Connection() != nullptr; }

unsigned long RootWindowId() {
    Display* display = Connection();
    return display != nullptr ? DefaultRootWindow(display) : 0;
}

DrawableSize ForeignWindowSize(unsigned long xid) {
    Display* display = Connection();
    if (display == nullptr) return {};
    // The owner may destroy its window at any moment: a BadWindow must not kill us.
    auto previous = XSetErrorHandler(IgnoreXErrors);
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(xid), &attributes);
    XSetErrorHandler(previous);
    if (!ok) return {};
    return {attributes.width, attributes.height};
}
