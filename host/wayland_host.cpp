// The full-screen saver as a Wayland client of its own: a layer surface per
// output (see platform/wayland_layers.h), a view on each, carols from the
// first output's. Paced by the frame callbacks under the views' own rate.
#include "host/wayland_host.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/frostvale_view.h"
#include "host/pointer_watch.h"
#include "host/run_calendar.h"
#include "host/run_services.h"
#include "platform/fluid_player.h"
#include "platform/frame_pacer.h"
#include "platform/sdl_window.h"
#include "platform/signals.h"
#include "platform/wayland_layers.h"
#include "platform/wayland_probe.h"
#include "scene/trace.h"

namespace {
// As on X11: the user waiting to see the desktop, or the lock, counts.
constexpr double kQuitGraceSeconds = 0.05;

struct LayerView {
    WaylandLayerSurface* surface = nullptr;  // the shell's; outlives the view
    std::unique_ptr<FrostvaleView> view;
    DrawableSize lastSize;
    bool started = false;
};

struct LayerRun {
    RunContext run;  // the run's, the carols off in a lock background unless asked for
    MonotonicClock clock;
    FluidPlayerFactory players;
    CalendarClock calendar;
    TraceWriter trace{};
};

ViewServices ServicesFor(LayerRun& shared, WaylandLayerSurface* surface) {
    ViewServices services = RunServices(shared.run, surface, &shared.clock);
    // The first output seen is the main display: it alone plays the carols.
    services.displayNumber = surface->OutputOrder();
    services.players = &shared.players;
    // No alert box over a full-screen saver: the view writes "TITLE: message" on stderr.
    services.alert = nullptr;
    services.calendar = shared.calendar;
    if (services.displayNumber == services.mainDisplayNumber) services.frameDrawn = RunTrace(shared.run, &shared.trace);
    return services;
}

// A lock program that dies must take its background with it.
void EndWithParent() {
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) RequestPromptQuit();  // it died before we asked
}

int RunLayers(const RunContext& run, WaylandLayerShell::Mode mode) {
    EndWithParent();
    std::string error;
    // A light surface on a software rasteriser has no depth buffer, as a light
    // window has under SDL: the stretch over it then takes llvmpipe's fast path.
    const Quality quality = run.options.quality;
    const auto wantsDepth = [quality](const std::string& renderer) { return WindowWantsDepthBuffer(quality, renderer); };
    std::unique_ptr<WaylandLayerShell> shell = WaylandLayerShell::Connect(mode, wantsDepth, &error);
    if (!shell) {
        std::fprintf(stderr, "frostvale: %s\n", error.c_str());
        return 1;
    }
    LayerRun shared;
    shared.run = run;
    const bool background = mode == WaylandLayerShell::Mode::Background;
    if (background && !LockBackgroundPlaysCarols(run.options)) shared.run.settings.settings.PLAYMUSIC = false;
    shared.calendar = RunCalendar(run.options, &shared.clock);
    if (RunPlaysCarols(shared.run, 0)) shared.players.Preload();
    EndPromptlyAfterQuit(kQuitGraceSeconds);

    FramePacer pacer(&shared.clock, SleepUntilMonotonic);
    std::vector<LayerView> views;
    std::vector<WaylandLayerSurface*> waiting;  // made, not yet configured
    std::map<const WaylandLayerSurface*, PointerWatch> pointers;
    bool ended = false, reported = false, hadView = false;
    const auto onInput = [&](const WaylandInput& input) {
        switch (input.kind) {
            case WaylandInput::Kind::Key:
            case WaylandInput::Kind::Button: ended = true; break;
            // Positions are per surface, from where the pointer came in.
            case WaylandInput::Kind::PointerEnter:
                pointers[input.surface] = PointerWatch();
                pointers[input.surface].Moved(static_cast<int>(input.x), static_cast<int>(input.y));
                break;
            case WaylandInput::Kind::PointerMotion:
                if (pointers[input.surface].Moved(static_cast<int>(input.x), static_cast<int>(input.y))) ended = true;
                break;
        }
    };
    while (!ended && !QuitRequested()) {
        for (WaylandLayerSurface* lost : shell->TakeLostSurfaces()) {
            // The view cleans up in its own context, which goes with the surface.
            std::erase_if(views, [lost](const LayerView& v) { return v.surface == lost; });
            std::erase(waiting, lost);
            pointers.erase(lost);
            shell->Destroy(lost);
        }
        // Every surface closed by the compositor (a lock ending, the last output gone): done.
        if (hadView && shell->SurfaceCount() == 0) break;
        for (WaylandLayerSurface* made : shell->TakeNewSurfaces()) waiting.push_back(made);
        for (auto it = waiting.begin(); it != waiting.end();) {
            WaylandLayerSurface* surface = *it;
            if (surface->Size().width <= 0) {
                ++it;
                continue;
            }
            LayerView lv;
            lv.surface = surface;
            lv.view = std::make_unique<FrostvaleView>(ServicesFor(shared, surface), run.options.preview,
                                                      shared.run.settings);
            lv.lastSize = surface->Size();
            lv.view->SetFrameSize(lv.lastSize.width, lv.lastSize.height);
            views.push_back(std::move(lv));
            hadView = true;
            it = waiting.erase(it);
        }
        double next = std::numeric_limits<double>::infinity();
        for (LayerView& lv : views) {
            if (ended || QuitRequested()) break;
            // Not shown since the last swap (an output off, a surface hidden): left alone.
            if (!lv.surface->ReadyToDraw()) continue;
            const DrawableSize size = lv.surface->Size();
            if (size.width != lv.lastSize.width || size.height != lv.lastSize.height) {
                lv.lastSize = size;
                lv.view->SetFrameSize(size.width, size.height);
            }
            if (!lv.started) {
                lv.started = true;
                lv.view->StartAnimation();
                continue;
            }
            if (!lv.view->IsAnimating()) continue;
            if (pacer.Due(lv.view->NextFrameDue())) {
                lv.view->AnimateOneFrame();
                if (!reported && lv.view->SetupFailed()) {
                    reported = true;
                    PrintSetupFailure(*lv.view);
                }
            }
            if (lv.surface->ReadyToDraw()) next = std::min(next, pacer.Deadline(lv.view->NextFrameDue()));
        }
        if (ended || QuitRequested()) break;
        // The connection lost (the compositor gone, or it ended us): nothing left to draw on.
        if (!shell->Dispatch(next, onInput)) break;
    }
    for (LayerView& lv : views) lv.view->StopAnimation();
    views.clear();
    shell.reset();
    return 0;
}
}  // namespace

bool LockBackgroundPlaysCarols(const Options& options) {
    bool asked = false;
    for (const SettingOverride& o : options.overrides) {
        if (o.row != nullptr && o.row->option != nullptr && std::string(o.row->option) == "music") asked = o.value != 0;
    }
    return asked;
}

bool RunWaylandLayerSaver(const RunContext& run, int* status) {
    if (run.options.toplevel) return false;
    // The session as SDL would see it: SDL_VIDEODRIVER=x11 still means Xwayland.
    const std::string drivers = VideoDriversFor(std::getenv("SDL_VIDEODRIVER"), std::getenv("WAYLAND_DISPLAY"), false);
    if (WithoutVideoDriver(drivers, "wayland") == drivers) return false;
    WaylandGlobals globals;
    if (!ListWaylandGlobals(&globals)) return false;
    switch (ChooseSaverSurface(globals, run.options.toplevel)) {
        case WaylandSaverSurface::Toplevel: return false;
        case WaylandSaverSurface::LayerOverlay: *status = RunLayers(run, WaylandLayerShell::Mode::Overlay); break;
        case WaylandSaverSurface::LockBackground: *status = RunLayers(run, WaylandLayerShell::Mode::Background); break;
    }
    return true;
}
