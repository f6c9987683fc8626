// Takes the place of Xlib's XGetGeometry for the whole process, the GL driver
// included. Linked into the saver alone (an object library, so the linker
// keeps it though nothing calls it by name): the tools and the tests have no
// daemon's window to lose and keep Xlib's own.
//
// Mesa's software GLX sizes a window's back buffer from this query without
// looking at its status (swrastGetDrawableInfo in src/glx/drisw_glx.c, as in
// Mesa 22.3, Debian 12's): once the daemon has destroyed the window, it reads
// whatever its stack held as width and height (seen: 9 x 0, 1285849608 x
// 21868), llvmpipe sizes the buffer from them in arithmetic that wraps, and
// its rasteriser threads write far outside it: heap corruption or a segfault
// in the frame that follows the destroy. A failed query answers zero
// everywhere instead, which the driver takes as an empty window.
//
// Mesa 22.3 does not check that status. This file can go once the Mesa that
// Debian ships does: tests/x11_hosts_test.sh then passes its destroyed-window
// runs without it (drop its LD_DEBUG check along with this file).
#include <X11/Xlib.h>
#include <dlfcn.h>

extern "C" Status XGetGeometry(Display* display, Drawable drawable, Window* root, int* x, int* y,
                               unsigned* width, unsigned* height, unsigned* border, unsigned* depth) {
    using Query = Status (*)(Display*, Drawable, Window*, int*, int*, unsigned*, unsigned*, unsigned*, unsigned*);
    static const auto xlib = reinterpret_cast<Query>(dlsym(RTLD_NEXT, "XGetGeometry"));
    const Status ok = xlib != nullptr ? xlib(display, drawable, root, x, y, width, height, border, depth) : 0;
    if (ok == 0) {
        *root = 0;
        *x = *y = 0;
        *width = *height = *border = *depth = 0;
    }
    return ok;
}
