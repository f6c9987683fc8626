// Preloaded into the saver to count the frames it presents: wraps
// SDL_GL_SwapWindow and, at exit, writes to $FV_SWAP_LOG the frame rate over
// the run after its first two seconds and how the gaps between frames fall.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { kMaxSwaps = 1 << 16 };
static double gSwaps[kMaxSwaps];
static int gCount;

static double Now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*);
    if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    if (gCount < kMaxSwaps) gSwaps[gCount++] = Now();
}

__attribute__((destructor)) static void Report(void) {
    const char* path = getenv("FV_SWAP_LOG");
    if (path == NULL || gCount < 3) return;
    int first = 0;
    while (first < gCount && gSwaps[first] - gSwaps[0] < 2.0) ++first;
    if (gCount - first < 2) return;
    int one = 0, two = 0, more = 0;
    for (int i = first + 1; i < gCount; ++i) {
        const double gap = (gSwaps[i] - gSwaps[i - 1]) * 60.0;
        if (gap < 1.5) ++one; else if (gap < 2.5) ++two; else ++more;
    }
    FILE* out = fopen(path, "w");
    if (out == NULL) return;
    fprintf(out, "fps %.1f frames %d gaps<1.5/60 %d gaps~2/60 %d longer %d\n",
            (gCount - 1 - first) / (gSwaps[gCount - 1] - gSwaps[first]), gCount - first, one, two, more);
    fclose(out);
}
