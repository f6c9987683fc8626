// Per-frame cost of the overlay's pieces: the countdown text, one line of the
// font, and a whole overlay frame drawn offscreen.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <string>

#include "platform/egl_offscreen.h"
#include "text/calendar.h"
#include "text/countdown.h"
#include "text/overlay.h"
#include "text/text.h"

namespace {
std::tm ChristmasEve() {
    std::tm now{};
    ParseCalendarTime("2026-12-21 19:58:48", &now);
    return now;
}

void BM_CountDownAt(benchmark::State& state) {
    const std::tm now = ChristmasEve();
    char out[kCountDownCapacity];
    for (auto _ : state) {
        CountDownAt(now, out, sizeof out, 11, 25, 0, 0, 0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_CountDownAt);

void BM_CountDownSystemClock(benchmark::State& state) {
    char out[kCountDownCapacity];
    for (auto _ : state) {
        CountDown(nullptr, out, sizeof out, 11, 25, 0, 0, 0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_CountDownSystemClock);

GLuint MakeFontTexture() {
    std::string pixels(256 * 128 * 4, '\xff');
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 128, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return name;
}

// A whole overlay frame at 1280 x 720 with the veil on (the heaviest case),
// finished with glFinish so the rasteriser's work is counted.
void BM_OverlayFrame(benchmark::State& state) {
    std::string error;
    auto context = OffscreenContext::Create(1280, 720, &error);
    if (!context) {
        state.SkipWithError(error.c_str());
        return;
    }
    GlyphTable glyphs;
    SetupText(&glyphs);
    OVERLAYSTATE overlay;
    overlay.veilTimer = -5.0f;
    overlay.veilAlpha = 0.5f;
    overlay.introTopAlpha = 1.0f;
    OverlayFrame frame;
    frame.glyphs = &glyphs;
    frame.width = 1280;
    frame.height = 720;
    frame.frameTime = 0.0;  // the state stays put: every iteration draws the same frame
    frame.totalTime = 7.5;
    const GLuint font = MakeFontTexture();
    for (GLuint& picture : frame.pictures) picture = font;
    glViewport(0, 0, 1280, 720);
    glEnable(GL_TEXTURE_2D);
    for (auto _ : state) {
        DoOverlayFrame(&overlay, frame);
        glFinish();
    }
    glDeleteTextures(1, &font);
}
BENCHMARK(BM_OverlayFrame)->Unit(benchmark::kMicrosecond);
}  // namespace
