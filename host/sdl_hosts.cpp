// The hosts that draw on an X display through SDL2: a window, one full-screen
// view per display, and the XScreenSaver daemon's window.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "host/frostvale_view.h"
#include "host/hosts.h"
#include "host/run_calendar.h"
#include "math/failure.h"
#include "platform/fluid_player.h"
#include "platform/signals.h"
#include "platform/sdl_window.h"
#include "platform/x11_window.h"
#include "scene/trace.h"

namespace {
enum class QuitOn { KeysEscQ, AnyInput, SignalsOnly };

struct ScreenView {
    std::unique_ptr<SdlWindowSurface> surface;
    std::unique_ptr<FrostvaleView> view;
    DrawableSize lastSize;
};

// Mouse motion right after the windows appear is the pointer being found,
// not the user: a full-screen saver ignores it for a moment and small jitters always.
constexpr double kMotionGraceSeconds = 1.0;
constexpr int kMotionThresholdPixels = 8;

// --trace follows the main display's view; one file for the whole run.
TraceWriter& RunTrace() {
    static TraceWriter trace;
    return trace;
}

ViewServices ServicesFor(const RunContext& run, GLSurface* surface, Clock* clock, MidiPlayerFactory* players,
                         int display) {
    ViewServices services;
    services.surface = surface;
    services.clock = clock;
    services.displayNumber = display;
    services.mainDisplayNumber = 0;
    services.resourcePath = run.resourcePath;
    const std::optional<std::uint32_t> seed = run.options.seed;
    services.seed = [seed] { return seed ? *seed : static_cast<unsigned>(std::time(nullptr)); };
    services.showFps = run.options.showFps;
    services.players = players;
    services.heldShot = run.options.shot;
    if (!run.options.trace.empty() && display == services.mainDisplayNumber) {
        if (!RunTrace().IsOpen() && !RunTrace().Open(run.options.trace)) {
            std::fprintf(stderr, "frostvale: cannot write \"%s\"\n", run.options.trace.c_str());
        }
        if (RunTrace().IsOpen()) services.frameDrawn = [](const XMASMAIN& scene) { RunTrace().Write(scene); };
    }
    return services;
}

void AddView(std::vector<ScreenView>& views, const RunContext& run, Clock* clock, MidiPlayerFactory* players,
             std::unique_ptr<SdlWindowSurface> surface, int display) {
    ScreenView sv;
    sv.surface = std::move(surface);
    sv.view = std::make_unique<FrostvaleView>(ServicesFor(run, sv.surface.get(), clock, players, display),
                                              run.options.preview, run.settings);
    sv.lastSize = sv.surface->Size();
    sv.view->SetFrameSize(sv.lastSize.width, sv.lastSize.height);
    views.push_back(std::move(sv));
}

void SleepSeconds(double seconds) {
    if (seconds <= 0.0) return;
    timespec ts{static_cast<time_t>(seconds), static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    nanosleep(&ts, nullptr);
}

// Runs until a quit: events, one frame per view, then sleep to the next 1/60 s tick.
int Loop(std::vector<ScreenView>& views, MonotonicClock& clock, QuitOn quitOn) {
    for (ScreenView& sv : views) sv.view->StartAnimation();
    const double started = clock.Now();
    double nextTick = started;
    int motionX = 0, motionY = 0;
    bool reported = false;
    bool quit = false;
    while (!quit && !QuitRequested()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
                case SDL_QUIT:
                    // The daemon's window is ended by the daemon (SIGTERM), not by window-manager requests.
                    if (quitOn != QuitOn::SignalsOnly) quit = true;
                    break;
                case SDL_KEYDOWN:
                    if (quitOn == QuitOn::AnyInput) quit = true;
                    if (quitOn == QuitOn::KeysEscQ) {
                        const SDL_Keycode key = event.key.keysym.sym;
                        if (key == SDLK_ESCAPE || key == SDLK_q) quit = true;
                        if (key == SDLK_f && !views.empty()) views.front().surface->ToggleFullscreen();
                    }
                    break;
                case SDL_MOUSEMOTION:
                    if (quitOn == QuitOn::AnyInput && clock.Now() - started > kMotionGraceSeconds) {
                        motionX += event.motion.xrel;
                        motionY += event.motion.yrel;
                        if (std::abs(motionX) + std::abs(motionY) > kMotionThresholdPixels) quit = true;
                    }
                    break;
                case SDL_MOUSEBUTTONDOWN:
                    if (quitOn == QuitOn::AnyInput) quit = true;
                    break;
                default: break;
            }
        }
        for (ScreenView& sv : views) {
            // Every backend reports its drawable size; a change, however it came, re-runs the GL set-up.
            const DrawableSize size = sv.surface->Size();
            // The daemon destroys its window when it is done with us.
            if (sv.surface->IsForeign() && size.width == 0) {
                quit = true;
                break;
            }
            if (size.width != sv.lastSize.width || size.height != sv.lastSize.height) {
                sv.lastSize = size;
                sv.view->SetFrameSize(size.width, size.height);
            }
            sv.view->AnimateOneFrame();
            if (!reported && sv.view->SetupFailed()) {
                reported = true;
                const std::string why = TakeSetupFailure();
                std::fprintf(stderr, "frostvale: %s\n", why.empty() ? "set-up failed" : why.c_str());
            }
        }
        nextTick += FrostvaleView::kFrameInterval;
        const double now = clock.Now();
        if (nextTick < now) nextTick = now;  // fell behind: do not try to catch up
        SleepSeconds(nextTick - now);
    }
    for (ScreenView& sv : views) sv.view->StopAnimation();
    views.clear();  // views first: each cleans up in its own context
    return 0;
}

bool StartVideo() {
    std::string error;
    if (StartSdlVideo(&error)) {
        UseSdlAlerts();
        return true;
    }
    std::fprintf(stderr, "frostvale: no display (%s); try --headless\n", error.c_str());
    return false;
}
}  // namespace

int RunWindow(const RunContext& run) {
    if (!StartVideo()) return 1;
    MonotonicClock clock;
    const RunCalendar calendar(run.options, &clock);
    FluidPlayerFactory players;  // outlives the views, which dispose of their players
    if (run.settings.settings.PLAYMUSIC && !run.options.preview) players.Preload();
    std::string error;
    auto surface = SdlWindowSurface::CreateWindow("Frostvale", 1280, 720, 0, false, &error);
    if (!surface) {
        std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        StopSdlVideo();
        return 1;
    }
    std::vector<ScreenView> views;
    const int display = std::max(0, surface->DisplayIndex());
    AddView(views, run, &clock, &players, std::move(surface), display);
    const int status = Loop(views, clock, QuitOn::KeysEscQ);
    StopSdlVideo();
    return status;
}

int RunFullscreen(const RunContext& run) {
    if (!StartVideo()) return 1;
    SDL_ShowCursor(SDL_DISABLE);
    MonotonicClock clock;
    const RunCalendar calendar(run.options, &clock);
    FluidPlayerFactory players;  // outlives the views, which dispose of their players
    if (run.settings.settings.PLAYMUSIC && !run.options.preview) players.Preload();
    std::vector<ScreenView> views;
    const int displays = std::max(1, SdlDisplayCount());
    for (int display = 0; display < displays; ++display) {
        std::string error;
        auto surface = SdlWindowSurface::CreateWindow("Frostvale", 1280, 720, display, true, &error);
        if (!surface) {
            std::fprintf(stderr, "frostvale: display %d: %s\n", display, error.c_str());
            continue;
        }
        AddView(views, run, &clock, &players, std::move(surface), display);
    }
    if (views.empty()) {
        StopSdlVideo();
        return 1;
    }
    const int status = Loop(views, clock, QuitOn::AnyInput);
    StopSdlVideo();
    return status;
}

int RunXScreenSaver(const RunContext& run) {
    if (!StartVideo()) return 1;
    unsigned long xid = run.options.windowId.value_or(0);
    if (xid == 0) xid = RootWindowId();
    MonotonicClock clock;
    const RunCalendar calendar(run.options, &clock);
    FluidPlayerFactory players;  // outlives the views, which dispose of their players
    std::string error;
    auto surface = xid != 0 ? SdlWindowSurface::AdoptForeignWindow(xid, &error) : nullptr;
    if (!surface) {
        std::fprintf(stderr, "frostvale: %s\n", xid != 0 ? error.c_str() : "no root window");
        StopSdlVideo();
        return 1;
    }
    std::vector<ScreenView> views;
    // The daemon starts one process per monitor: the one on the primary monitor
    // is the main display, which plays the carols.
    const int display = WindowHoldsPrimaryOrigin(xid) ? 0 : 1;
    if (display == 0 && run.settings.settings.PLAYMUSIC && !run.options.preview) players.Preload();
    AddView(views, run, &clock, &players, std::move(surface), display);
    const int status = Loop(views, clock, QuitOn::SignalsOnly);
    StopSdlVideo();
    return status;
}
