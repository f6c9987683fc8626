// The hosts that draw on an X display through SDL2: a window, one full-screen
// view per display, and the XScreenSaver daemon's window.
#include <SDL2/SDL.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "assets/alert.h"
#include "host/frostvale_view.h"
#include "host/hosts.h"
#include "host/pointer_watch.h"
#include "host/run_calendar.h"
#include "host/run_services.h"
#include "host/wayland_host.h"
#include "platform/fluid_player.h"
#include "platform/frame_pacer.h"
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

// SDL draws on one X screen per process. With several screens, the
// full-screen saver runs itself once more for each other screen; each of
// those ends with the user's input on its screen, and ends the whole run.
// Set in those copies: the screen they draw on.
constexpr const char* kScreenVariable = "FROSTVALE_SCREEN";
// Display numbers of another screen's views start here, so no view there
// counts as the main display (no carols; black with MainMonitorOnly).
constexpr int kDisplaysPerScreen = 100;
// How long a saver run may take to end by itself after SIGTERM: the daemon's
// user is waiting to see the desktop, and a tenth of a second is what feels
// immediate.
constexpr double kQuitGraceSeconds = 0.05;

class ScreenCopies {
public:
    ScreenCopies() = default;
    ScreenCopies(const ScreenCopies&) = delete;
    ScreenCopies& operator=(const ScreenCopies&) = delete;
    ~ScreenCopies() { EndAll(); }

    // Starts this program with the same arguments on X screen `screen`.
    void Start(int screen) {
        std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
        const std::string all((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
        std::vector<std::string> args;
        for (std::size_t at = 0; at < all.size();) {
            const std::size_t end = all.find('\0', at);
            args.push_back(all.substr(at, end - at));
            at = end == std::string::npos ? all.size() : end + 1;
        }
        const std::string display = XDisplayNameForScreen(screen);
        if (args.empty() || display.empty()) return;
        const std::string screenText = std::to_string(screen);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid == 0) {
            // The copy must not outlive us, however we end.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(0);
            setenv("DISPLAY", display.c_str(), 1);
            setenv(kScreenVariable, screenText.c_str(), 1);
            execv("/proc/self/exe", argv.data());
            _exit(127);
        }
        if (pid > 0) copies_.push_back({pid, screen});
    }

    // True once a copy has ended by the user's wish (status 0); a copy that
    // failed leaves its screen black and the rest running, and says so: a
    // black screen with nothing on the terminal would leave no trail.
    bool UserQuit() {
        for (Copy& copy : copies_) {
            int status = 0;
            if (copy.pid <= 0 || waitpid(copy.pid, &status, WNOHANG) != copy.pid) continue;
            copy.pid = -1;
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
            if (WIFSIGNALED(status)) {
                std::fprintf(stderr, "frostvale: screen %d: the copy drawing it ended on signal %d\n", copy.screen,
                             WTERMSIG(status));
            } else {
                std::fprintf(stderr, "frostvale: screen %d: the copy drawing it ended with status %d\n", copy.screen,
                             WEXITSTATUS(status));
            }
        }
        return false;
    }

    void EndAll() {
        for (const Copy& copy : copies_) {
            if (copy.pid > 0) kill(copy.pid, SIGTERM);
        }
        for (Copy& copy : copies_) {
            pid_t& pid = copy.pid;
            if (pid <= 0) continue;
            // They clean up within a second; a copy that hangs is not waited for long.
            int status = 0;
            for (int i = 0; i < 60 && waitpid(pid, &status, WNOHANG) == 0; ++i) usleep(50000);
            if (waitpid(pid, &status, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
            }
            pid = -1;
        }
        copies_.clear();
    }

private:
    struct Copy {
        pid_t pid;
        int screen;
    };
    std::vector<Copy> copies_;
};

// What the views of one run share; it outlives them.
struct RunShared {
    Clock* clock = nullptr;
    MidiPlayerFactory* players = nullptr;  // the views dispose of their players
    CalendarClock calendar;
    // Image alerts: a message box in a window of our own; empty (one line on
    // stderr) over a whole screen or in a daemon's window, where the daemon
    // holds the keyboard and pointer and a box could not be dismissed.
    AlertHandler alert = {};
    // --trace follows the main display's view; one file for the whole run.
    TraceWriter trace{};
};

ViewServices ServicesFor(const RunContext& run, GLSurface* surface, RunShared* shared, int display) {
    ViewServices services = RunServices(run, surface, shared->clock);
    services.displayNumber = display;
    services.players = shared->players;
    services.alert = shared->alert;
    services.calendar = shared->calendar;
    if (display == services.mainDisplayNumber) services.frameDrawn = RunTrace(run, &shared->trace);
    return services;
}

void AddView(std::vector<ScreenView>& views, const RunContext& run, RunShared* shared,
             std::unique_ptr<SdlWindowSurface> surface, int display) {
    ScreenView sv;
    sv.surface = std::move(surface);
    sv.view = std::make_unique<FrostvaleView>(ServicesFor(run, sv.surface.get(), shared, display),
                                              run.options.preview, run.settings);
    sv.lastSize = sv.surface->Size();
    sv.view->SetFrameSize(sv.lastSize.width, sv.lastSize.height);
    views.push_back(std::move(sv));
}

struct LoopEnd {
    bool quit = false;
    int status = 0;
};

// Asks one view for its frame; the end of the run if its foreign window is gone.
LoopEnd Frame(ScreenView& sv, bool* reported) {
    // Every backend reports its drawable size; a change, however it came, re-runs the GL set-up.
    const DrawableSize size = sv.surface->Size();
    // The daemon destroys its window when it is done with us.
    if (sv.surface->IsForeign() && (size.width == 0 || ForeignWindowLost())) return {true, 0};
    if (size.width != sv.lastSize.width || size.height != sv.lastSize.height) {
        sv.lastSize = size;
        sv.view->SetFrameSize(size.width, size.height);
    }
    sv.view->AnimateOneFrame();
    if (!*reported && sv.view->SetupFailed()) {
        *reported = true;
        PrintSetupFailure(*sv.view);
    }
    return {};
}

// An X error is the window's owner destroying it under a request of ours,
// or something we cannot draw through: the run ends, cleanly in the first case.
LoopEnd CheckXErrors(const std::vector<ScreenView>& views) {
    const bool foreign = !views.empty() && views.front().surface->IsForeign();
    if (foreign && ForeignWindowLost()) return {true, 0};
    const std::string error = TakeXError();
    if (error.empty()) return {};
    if (foreign && views.front().surface->Size().width == 0) return {true, 0};
    std::fprintf(stderr, "frostvale: %s\n", error.c_str());
    return {true, 1};
}

// Runs until a quit: events, then each view's frame as it falls due, then
// sleep to the next view's due time.
int Loop(std::vector<ScreenView>& views, MonotonicClock& clock, QuitOn quitOn, ScreenCopies* copies) {
    FramePacer pacer(&clock, SleepUntilMonotonic);
    for (ScreenView& sv : views) sv.view->StartAnimation();
    PointerWatch pointer;
    // Wayland tells a client where the pointer is only over its own surfaces,
    // in that surface's coordinates: one watch per window, from where it entered.
    const bool wayland = SdlVideoIsWayland();
    std::map<Uint32, PointerWatch> pointerInWindow;
    int pointerX = 0, pointerY = 0;
    // Where the pointer is once SDL has placed our windows (which may move it).
    SyncSdlVideo();
    if (quitOn == QuitOn::AnyInput && !wayland && PointerPosition(&pointerX, &pointerY)) {
        pointer.Moved(pointerX, pointerY);
    }
    bool reported = false;
    LoopEnd end;
    while (!end.quit && !QuitRequested()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
                case SDL_QUIT:
                    // The daemon's window is ended by the daemon (SIGTERM), not by window-manager requests.
                    if (quitOn != QuitOn::SignalsOnly) end.quit = true;
                    break;
                case SDL_KEYDOWN:
                    if (quitOn == QuitOn::AnyInput) end.quit = true;
                    if (quitOn == QuitOn::KeysEscQ) {
                        const SDL_Keycode key = event.key.keysym.sym;
                        if (key == SDLK_ESCAPE || key == SDLK_q) end.quit = true;
                        if (key == SDLK_f && !views.empty()) views.front().surface->ToggleFullscreen();
                    }
                    break;
                case SDL_MOUSEMOTION: {
                    if (quitOn != QuitOn::AnyInput) break;
                    if (wayland) {
                        PointerWatch& watch = pointerInWindow[event.motion.windowID];
                        if (watch.Moved(event.motion.x, event.motion.y)) end.quit = true;
                        break;
                    }
                    // SDL measures its first motion from where it assumed the pointer was
                    // (the window's middle): ask the server where it really is.
                    int x = 0, y = 0;
                    if (PointerPosition(&x, &y) && pointer.Moved(x, y)) end.quit = true;
                    break;
                }
                case SDL_MOUSEBUTTONDOWN:
                    if (quitOn == QuitOn::AnyInput) end.quit = true;
                    break;
                default: break;
            }
        }
        if (copies != nullptr && copies->UserQuit()) end.quit = true;
        double next = std::numeric_limits<double>::infinity();
        for (ScreenView& sv : views) {
            if (end.quit || QuitRequested()) break;
            if (!sv.view->IsAnimating()) continue;
            if (pacer.Due(sv.view->NextFrameDue())) end = Frame(sv, &reported);
            if (sv.view->IsAnimating())
                next = std::min(next, pacer.Deadline(sv.view->NextFrameDue()));
        }
        if (!end.quit) end = CheckXErrors(views);
        if (end.quit) break;
        // Views that stopped (black displays) still leave input to watch.
        if (next == std::numeric_limits<double>::infinity()) next = clock.Now() + FrostvaleView::kFrameInterval;
        pacer.SleepUntil(next, QuitRequested);
    }
    for (ScreenView& sv : views) sv.view->StopAnimation();
    views.clear();  // views first: each cleans up in its own context
    if (copies != nullptr) copies->EndAll();
    return end.status;
}

// Starts the video and sets the depth buffer the run's windows get: none at
// light quality on a software rasteriser, so that the one full-window pass of
// a frame can take llvmpipe's fastest path.
bool StartVideo(Quality quality, bool x11Only = false) {
    std::string error;
    if (!StartSdlVideo(&error, x11Only)) {
        std::fprintf(stderr, "frostvale: no display (%s); try --headless\n", error.c_str());
        return false;
    }
    RequestSdlDepthBuffer(quality == Quality::Full || WindowWantsDepthBuffer(quality, SdlRendererName()));
    return true;
}
}  // namespace

int RunWindow(const RunContext& run) {
    if (!StartVideo(run.options.quality)) return 1;
    MonotonicClock clock;
    FluidPlayerFactory players;
    RunShared shared{.clock = &clock,
                     .players = &players,
                     .calendar = RunCalendar(run.options, &clock),
                     .alert = ShowSdlAlert};
    if (RunPlaysCarols(run, 0)) players.Preload();
    std::string error;
    auto surface = SdlWindowSurface::CreateWindow("Frostvale", 1280, 720, 0, false, &error);
    if (!surface) {
        std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        StopSdlVideo();
        return 1;
    }
    surface->SyncToRefresh();
    std::vector<ScreenView> views;
    const int display = std::max(0, surface->DisplayIndex());
    AddView(views, run, &shared, std::move(surface), display);
    const int status = Loop(views, clock, QuitOn::KeysEscQ, nullptr);
    StopSdlVideo();
    return status;
}

int RunFullscreen(const RunContext& run) {
    // The first copy covers the screen $DISPLAY names and starts one for each other screen.
    const char* copyScreen = std::getenv(kScreenVariable);
    // Where the compositor offers layer shell, the saver is an overlay of its own making.
    if (int status = 0; copyScreen == nullptr && RunWaylandLayerSaver(run, &status)) return status;
    const int displayBase = copyScreen != nullptr ? kDisplaysPerScreen * (1 + std::atoi(copyScreen)) : 0;
    ScreenCopies copies;
    if (!StartVideo(run.options.quality)) return 1;
    // A Wayland compositor lists every output to one client; X screens each need a process.
    if (copyScreen == nullptr && !SdlVideoIsWayland()) {
        const int own = XDefaultScreen();
        for (int screen = 0; screen < XScreenCount(); ++screen) {
            if (screen != own) copies.Start(screen);
        }
    }
    SDL_ShowCursor(SDL_DISABLE);
    MonotonicClock clock;
    FluidPlayerFactory players;
    RunShared shared{.clock = &clock, .players = &players, .calendar = RunCalendar(run.options, &clock)};
    // Only the first copy holds the main display; the others never play.
    if (RunPlaysCarols(run, displayBase)) players.Preload();
    std::vector<ScreenView> views;
    const int displays = std::max(1, SdlDisplayCount());
    for (int display = 0; display < displays; ++display) {
        std::string error;
        auto surface = SdlWindowSurface::CreateWindow("Frostvale", 1280, 720, display, true, &error);
        if (!surface) {
            std::fprintf(stderr, "frostvale: display %d: %s\n", display, error.c_str());
            continue;
        }
        AddView(views, run, &shared, std::move(surface), displayBase + display);
    }
    // Several views on one thread: a swap that waited for the refresh would hold up the others.
    if (views.size() == 1) views.front().surface->SyncToRefresh();
    if (views.empty()) {
        StopSdlVideo();
        return 1;
    }
    EndPromptlyAfterQuit(kQuitGraceSeconds);
    const int status = Loop(views, clock, QuitOn::AnyInput, &copies);
    StopSdlVideo();
    return status;
}

int RunXScreenSaver(const RunContext& run) {
    if (!HaveX11Display()) {
        std::fprintf(stderr, "frostvale: no X display to find the window on; try --headless\n");
        return 1;
    }
    unsigned long xid = run.options.windowId.value_or(0);
    if (xid == 0) xid = RootWindowId();
    // Asked before SDL sees the id: SDL would die in Xlib's handler on a bad one.
    ForeignWindowInfo window;
    if (!QueryForeignWindow(xid, &window)) {
        std::fprintf(stderr, "frostvale: there is no X window 0x%lx\n", xid);
        return 1;
    }
    WatchForeignWindow(xid);
    // SDL makes its GL context on the screen $DISPLAY names: the window's own.
    if (window.screen != XDefaultScreen()) setenv("DISPLAY", XDisplayNameForScreen(window.screen).c_str(), 1);
    if (!StartVideo(run.options.quality, true)) return 1;
    MonotonicClock clock;
    FluidPlayerFactory players;
    RunShared shared{.clock = &clock, .players = &players, .calendar = RunCalendar(run.options, &clock)};
    std::string error;
    auto surface = SdlWindowSurface::AdoptForeignWindow(xid, window.visual, &error);
    if (!surface) {
        // Destroyed between the check and now: the daemon is done with us.
        const bool gone = ForeignWindowLost() || ForeignWindowSize(xid).width == 0;
        if (!gone) std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        surface.reset();
        StopSdlVideo();
        return gone ? 0 : 1;
    }
    surface->SyncToRefresh();
    std::vector<ScreenView> views;
    // The daemon starts one process per monitor: the one on the primary monitor
    // is the main display, which plays the carols.
    const int display = WindowHoldsPrimaryOrigin(xid) ? 0 : 1;
    if (RunPlaysCarols(run, display)) players.Preload();
    AddView(views, run, &shared, std::move(surface), display);
    EndPromptlyAfterQuit(kQuitGraceSeconds);
    // The daemon may destroy its window before (or instead of) signalling us.
    WatchForeignWindowFromAThread(xid);
    const int status = Loop(views, clock, QuitOn::SignalsOnly, nullptr);
    StopSdlVideo();
    return status;
}
