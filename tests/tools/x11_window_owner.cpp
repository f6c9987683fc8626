// A stand-in for the screen-saver daemon: creates and maps a plain X window
// on the default screen of $DISPLAY, prints its id, and then, for each line
// "size W H", "sample", "watched" or "destroy" read from stdin, resizes the
// window, prints its size, the mean colour of its pixels and how many are not
// black, prints 1 if another client
// listens to its events (0 if not), or destroys it (printing "ok") as the
// daemon does when the saver is to end. Ends at end of input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::stoi(argv[1]) : 320;
    const int height = argc > 2 ? std::stoi(argv[2]) : 200;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_window_owner: no X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                              WhitePixel(display, screen), WhitePixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    std::string line;
    bool destroyed = false;
    while (!destroyed && std::getline(std::cin, line)) {
        if (line.rfind("size ", 0) == 0) {
            int w = 0, h = 0;
            if (std::sscanf(line.c_str(), "size %d %d", &w, &h) == 2) XResizeWindow(display, window, w, h);
            XSync(display, False);
            std::printf("ok\n");
        } else if (line == "watched") {
            // Whether another client (the saver, once it has adopted the window) listens to it.
            XWindowAttributes attributes;
            XGetWindowAttributes(display, window, &attributes);
            std::printf("%d\n", (attributes.all_event_masks & ~attributes.your_event_mask) != 0 ? 1 : 0);
        } else if (line == "destroy") {
            XDestroyWindow(display, window);
            XSync(display, False);
            destroyed = true;
            std::printf("ok\n");
        } else if (line == "sample") {
            XWindowAttributes attributes;
            XGetWindowAttributes(display, window, &attributes);
            XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
            double r = 0, g = 0, b = 0;
            long lit = 0;
            const double n = static_cast<double>(attributes.width) * attributes.height;
            for (int y = 0; image != nullptr && y < attributes.height; ++y) {
                for (int x = 0; x < attributes.width; ++x) {
                    const unsigned long p = XGetPixel(image, x, y);
                    r += (p >> 16) & 0xff;
                    g += (p >> 8) & 0xff;
                    b += p & 0xff;
                    if (((p >> 16) & 0xff) > 8 || ((p >> 8) & 0xff) > 8 || (p & 0xff) > 8) ++lit;
                }
            }
            if (image != nullptr) XDestroyImage(image);
            std::printf("%d %d %.1f %.1f %.1f %ld\n", attributes.width, attributes.height, r / n, g / n, b / n, lit);
        }
        std::fflush(stdout);
    }
    if (!destroyed) XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
