#include "platform/x11_window.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <pthread.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/signals.h"

namespace {
// One connection for the process, opened on first use; size queries run
// every frame and must not pay for a connection each time.
Display* XConnection() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// Set by the handler, read by the host loop; the handler may run inside any
// Xlib call on the main thread, so it only records.
bool gWatched = false;
unsigned long gWatchedWindow = 0;
bool gWindowLost = false;
struct RecordedError {
    bool any = false;
    unsigned char errorCode = 0, requestCode = 0, minorCode = 0;
    unsigned long resource = 0;
} gError;

int OnXError(Display*, XErrorEvent* event) {
    if (gWatched && (gWindowLost || event->resourceid == gWatchedWindow)) {
        // Drawing, swapping or asking after a window its owner destroyed.
        gWindowLost = true;
        return 0;
    }
    if (!gError.any) {
        gError.any = true;
        gError.errorCode = event->error_code;
        gError.requestCode = event->request_code;
        gError.minorCode = event->minor_code;
        gError.resource = event->resourceid;
    }
    return 0;
}

[[noreturn]] int OnXIOError(Display*) {
    // The server is gone with everything we drew on; Xlib exits after this
    // handler in any case, so leave now, quietly and successfully, without
    // running clean-up that would only talk to the dead connection.
    _exit(0);
}
}  // namespace

bool HaveX11Display() { return XConnection() != nullptr; }

unsigned long RootWindowId() {
    Display* display = XConnection();
    return display != nullptr ? DefaultRootWindow(display) : 0;
}

namespace {
// The window's attributes, asked under a handler that keeps a BadWindow
// (the owner may destroy its window at any moment) from reaching anyone.
bool QueryWindow(unsigned long xid, XWindowAttributes* attributes) {
    Display* display = XConnection();
    if (display == nullptr || xid == 0) return false;
    auto previous = XSetErrorHandler(IgnoreXErrors);
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(xid), attributes);
    XSetErrorHandler(previous);
    return ok != 0;
}
}  // namespace

DrawableSize ForeignWindowSize(unsigned long xid) {
    // The structure events asked for in WatchForeignWindow; only the last one matters.
    Display* display = XConnection();
    while (display != nullptr && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == gWatchedWindow) gWindowLost = true;
    }
    XWindowAttributes attributes{};
    if (!QueryWindow(xid, &attributes)) return {};
    return {attributes.width, attributes.height};
}

int XScreenCount() {
    Display* display = XConnection();
    return display != nullptr ? ScreenCount(display) : 0;
}

int XDefaultScreen() {
    Display* display = XConnection();
    return display != nullptr ? DefaultScreen(display) : 0;
}

bool QueryForeignWindow(unsigned long xid, ForeignWindowInfo* info) {
    XWindowAttributes attributes{};
    if (!QueryWindow(xid, &attributes) || attributes.screen == nullptr || attributes.visual == nullptr) return false;
    info->screen = XScreenNumberOfScreen(attributes.screen);
    info->visual = XVisualIDFromVisual(attributes.visual);
    return true;
}

bool PointerPosition(int* x, int* y) {
    Display* display = XConnection();
    if (display == nullptr) return false;
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned mask = 0;
    return XQueryPointer(display, DefaultRootWindow(display), &root, &child, x, y, &windowX, &windowY, &mask) != 0;
}

std::string DisplayNameWithScreen(const std::string& name, int screen) {
    // host:display.screen; the host part may itself hold colons (IPv6).
    const std::size_t colon = name.rfind(':');
    if (colon == std::string::npos) return name;
    std::string base = name;
    const std::size_t dot = name.find('.', colon);
    if (dot != std::string::npos) base.resize(dot);
    return base + "." + std::to_string(screen);
}

std::string XDisplayNameForScreen(int screen) {
    Display* display = XConnection();
    if (display == nullptr) return {};
    return DisplayNameWithScreen(DisplayString(display), screen);
}

void InstallXErrorHandlers() {
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

void WatchForeignWindow(unsigned long xid) {
    gWatchedWindow = xid;
    gWatched = true;
    // Its destruction also arrives as an event, however our requests fall.
    Display* display = XConnection();
    if (display == nullptr) return;
    auto previous = XSetErrorHandler(IgnoreXErrors);
    XSelectInput(display, static_cast<Window>(xid), StructureNotifyMask);
    XSync(display, False);
    XSetErrorHandler(previous);
}

bool ForeignWindowLost() { return gWindowLost; }

bool WatchForeignWindowFromAThread(unsigned long xid) {
    // XCB, not Xlib: Xlib's error handlers are process-wide and the saver's own.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const auto window = static_cast<xcb_window_t>(xid);
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_change_window_attributes_checked(connection, window, XCB_CW_EVENT_MASK, &mask));
    if (error != nullptr) {
        std::free(error);
        xcb_disconnect(connection);
        return false;
    }
    // The quit signals stay with the main thread, whose sleeps they cut short.
    sigset_t quit, previous;
    sigemptyset(&quit);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&quit, signal);
    pthread_sigmask(SIG_BLOCK, &quit, &previous);
    std::thread([connection, window] {
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
            const bool destroyed = (event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
                                   reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == window;
            std::free(event);
            if (destroyed) break;
        }
        // Destroyed, or the connection broke with the server: either way the run is over.
        RequestPromptQuit();
    }).detach();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return true;
}

std::string TakeXError() {
    if (!gError.any) return {};
    char name[96] = "";
    if (XConnection() != nullptr) XGetErrorText(XConnection(), gError.errorCode, name, sizeof name);
    char line[200];
    std::snprintf(line, sizeof line, "X error %s on request %u.%u (resource 0x%lx)",
                  name[0] != 0 ? name : std::to_string(gError.errorCode).c_str(), gError.requestCode,
                  gError.minorCode, gError.resource);
    gError = RecordedError{};
    return line;
}

void SyncX(void* display) {
    if (display != nullptr) XSync(static_cast<Display*>(display), False);
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
