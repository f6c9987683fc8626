// Preloaded into a saver to count the frames it presents, for bench/compare:
// a running count in the 8-byte file $FV_SWAP_COUNT, read while the saver
// runs (a hack killed by a signal runs no exit handlers). Counts
// eglSwapBuffers, which XScreenSaver 6's hacks call, glXSwapBuffers, and
// SDL_GL_SwapWindow, which reaches GLX through a pointer of SDL's own that
// preloading cannot wrap.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* gCount;
static int gInSdlSwap;

static void Count(void) {
    if (gCount == NULL) {
        const char* path = getenv("FV_SWAP_COUNT");
        if (path == NULL) return;
        const int fd = open(path, O_RDWR | O_CREAT, 0644);
        if (fd < 0) return;
        if (ftruncate(fd, sizeof(uint64_t)) == 0) {
            void* map = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (map != MAP_FAILED) gCount = map;
        }
        close(fd);
        if (gCount == NULL) return;
    }
    ++*gCount;
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    if (!gInSdlSwap) Count();
}

unsigned eglSwapBuffers(void* display, void* surface) {
    static unsigned (*real)(void*, void*);
    if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "eglSwapBuffers");
    const unsigned ok = real(display, surface);
    if (!gInSdlSwap) Count();
    return ok;
}

void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*);
    if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    gInSdlSwap = 1;
    real(window);
    gInSdlSwap = 0;
    Count();
}
