#include "platform/x11_window.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
// One connection for the process, opened on first use; size queries run
// every few frames and must not pay for a connection each time.
Display* XConnection() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

bool HaveX11Display() { return XConnection() != nullptr; }

unsigned long RootWindowId() {
    Display* display = XConnection();
    return display != nullptr ? DefaultRootWindow(display) : 0;
}

DrawableSize ForeignWindowSize(unsigned long xid) {
    Display* display = XConnection();
    if (display == nullptr) return {};
    // The owner may destroy its window at any moment: a BadWindow must not kill us.
    auto previous = XSetErrorHandler(IgnoreXErrors);
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(xid), &attributes);
    XSetErrorHandler(previous);
    if (!ok) return {};
    return {attributes.width, attributes.height};
}

namespace {
// The top-left corner of the primary output in root coordinates; (0, 0) when
// the server has no RandR or names no primary output.
void PrimaryOrigin(Display* display, Window root, int* x, int* y) {
    *x = 0;
    *y = 0;
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return;
    const RROutput primary = XRRGetOutputPrimary(display, root);
    if (primary == None) return;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return;
    if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
        if (output->crtc != None) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
                *x = crtc->x;
                *y = crtc->y;
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
}
}  // namespace

bool WindowHoldsPrimaryOrigin(unsigned long xid) {
    Display* display = XConnection();
    if (display == nullptr) return true;  // nothing to ask: assume the only display
    auto previous = XSetErrorHandler(IgnoreXErrors);
    XWindowAttributes attributes{};
    bool holds = false;
    if (XGetWindowAttributes(display, static_cast<Window>(xid), &attributes)) {
        const Window root = attributes.root;
        int left = 0, top = 0;
        Window child = 0;
        if (XTranslateCoordinates(display, static_cast<Window>(xid), root, 0, 0, &left, &top, &child)) {
            int px = 0, py = 0;
            PrimaryOrigin(display, root, &px, &py);
            holds = px >= left && px < left + attributes.width && py >= top && py < top + attributes.height;
        }
    }
    XSetErrorHandler(previous);
    return holds;
}
