// Moves the pointer of $DISPLAY's screen to X Y, as a user's hand would: the
// windows under it get the motion. (XTest's fake motion, which xdotool uses,
// leaves Xvfb's pointer where it is.) Without arguments, prints where it is.
// Usage: x11_pointer [X Y]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 1) {
        std::fprintf(stderr, "usage: x11_pointer [X Y]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_pointer: no X display\n");
        return 1;
    }
    if (argc == 1) {
        Window root = 0, child = 0;
        int x = 0, y = 0, windowX = 0, windowY = 0;
        unsigned mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &mask);
        std::printf("%d %d\n", x, y);
        XCloseDisplay(display);
        return 0;
    }
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, std::atoi(argv[1]), std::atoi(argv[2]));
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
