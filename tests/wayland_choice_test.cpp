// Which surface the full-screen saver takes on a Wayland compositor, decided
// from registries as real compositors list them; the listing itself read from
// a fake compositor that offers only the globals a case names.
#include <gtest/gtest.h>
#include <wayland-server.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/options.h"
#include "host/wayland_host.h"
#include "platform/wayland_choice.h"
#include "platform/wayland_probe.h"
#include "tests/scratch.h"

// Written by wayland-scanner at build time, beside the core ones the server library holds.
extern "C" const wl_interface xdg_wm_base_interface;
extern "C" const wl_interface zwlr_layer_shell_v1_interface;

namespace {
using Surface = WaylandSaverSurface;

WaylandGlobals Listing(const std::vector<std::string>& interfaces) {
    WaylandGlobals globals;
    for (const std::string& interface : interfaces) globals.Note(interface);
    return globals;
}

const std::vector<std::string> kDesktopBase = {"wl_compositor", "wl_subcompositor", "wl_shm", "wl_output",
                                               "wl_data_device_manager", "wp_viewporter"};

std::vector<std::string> With(std::vector<std::string> base, const std::vector<std::string>& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

TEST(WaylandChoice, EachCompositorGetsItsSurface) {
    struct Case {
        const char* compositor;
        std::vector<std::string> globals;
        Surface expected;
    };
    const std::vector<Case> cases = {
        {"sway, Hyprland, river, labwc, KDE", With(kDesktopBase, {"wl_seat", "xdg_wm_base", "zwlr_layer_shell_v1"}),
         Surface::LayerOverlay},
        {"a compositor with fractional scale",
         With(kDesktopBase, {"wl_seat", "xdg_wm_base", "zwlr_layer_shell_v1", "wp_fractional_scale_manager_v1"}),
         Surface::LayerOverlay},
        {"GNOME's mutter", With(kDesktopBase, {"wl_seat", "xdg_wm_base", "gtk_shell1"}), Surface::Toplevel},
        {"weston", With(kDesktopBase, {"wl_seat", "xdg_wm_base", "weston_desktop_shell"}), Surface::Toplevel},
        {"weston headless (no seat)", With(kDesktopBase, {"xdg_wm_base"}), Surface::Toplevel},
        {"a lock program's nested compositor", With(kDesktopBase, {"zwlr_layer_shell_v1"}), Surface::LockBackground},
        {"layer shell on a seatless desktop", With(kDesktopBase, {"xdg_wm_base", "zwlr_layer_shell_v1"}),
         Surface::Toplevel},
        {"layer shell without wl_compositor", {"wl_seat", "wl_output", "zwlr_layer_shell_v1"}, Surface::Toplevel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compositor);
        EXPECT_EQ(ChooseSaverSurface(Listing(c.globals), false), c.expected);
    }
}

TEST(WaylandChoice, ForcedToplevelWinsOverLayerShell) {
    const WaylandGlobals sway = Listing(With(kDesktopBase, {"wl_seat", "xdg_wm_base", "zwlr_layer_shell_v1"}));
    EXPECT_EQ(ChooseSaverSurface(sway, true), Surface::Toplevel);
}

TEST(WaylandChoice, BufferIsTheOutputsPixels) {
    struct Case {
        int width, height, scale;
        unsigned scale120;
        BufferSize expected;
    };
    const std::vector<Case> cases = {
        {1280, 720, 1, 0, {1280, 720}},
        {960, 540, 2, 0, {1920, 1080}},   // scale 2: twice each side
        {1280, 720, 0, 0, {1280, 720}},   // a scale the output never sent counts as 1
        {1280, 720, 2, 180, {1920, 1080}},  // 1.5 by fractional scale, over the integer one
        {1707, 960, 2, 180, {2561, 1440}},  // rounded to the nearest pixel
        {1920, 1080, 1, 120, {1920, 1080}},
        {0, 720, 2, 0, {0, 0}},           // not configured yet: no buffer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " scale " + std::to_string(c.scale) +
                     " fractional " + std::to_string(c.scale120));
        const BufferSize size = BufferSizeFor(c.width, c.height, c.scale, c.scale120);
        EXPECT_EQ(size.width, c.expected.width);
        EXPECT_EQ(size.height, c.expected.height);
    }
}

TEST(WaylandChoice, LockBackgroundPlaysOnlyWhenToldTo) {
    struct Case {
        std::vector<const char*> words;
        bool expected;
    };
    const std::vector<Case> cases = {
        {{"frostvale", "--fullscreen"}, false},
        {{"frostvale", "--fullscreen", "--music"}, true},
        {{"frostvale", "--fullscreen", "--no-music"}, false},
        {{"frostvale", "--fullscreen", "--music", "--no-music"}, false},
        {{"frostvale", "--fullscreen", "--no-music", "-music"}, true},
    };
    for (const Case& c : cases) {
        const ParseResult parsed = ParseOptions(static_cast<int>(c.words.size()), c.words.data(), nullptr);
        SCOPED_TRACE(c.words.back());
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(LockBackgroundPlaysCarols(parsed.options), c.expected);
    }
}

// A compositor of our own that offers the globals named and nothing behind
// them, on a socket in a fresh runtime folder; $WAYLAND_DISPLAY and
// $XDG_RUNTIME_DIR point there while it lives.
class FakeCompositor {
public:
    explicit FakeCompositor(const std::vector<const wl_interface*>& globals) {
        display_ = wl_display_create();
        for (const wl_interface* interface : globals) {
            wl_global_create(display_, interface, interface->version, nullptr, Bind);
        }
        Keep("XDG_RUNTIME_DIR", dir_.path().c_str());
        Keep("WAYLAND_DISPLAY", "fake-0");
        wl_display_add_socket(display_, "fake-0");
        thread_ = std::thread([this] {
            wl_event_loop* loop = wl_display_get_event_loop(display_);
            while (!stop_) {
                wl_event_loop_dispatch(loop, 20);
                wl_display_flush_clients(display_);
            }
        });
    }
    ~FakeCompositor() {
        stop_ = true;
        thread_.join();
        // wl_display_destroy leaves clients it has not yet seen hang up.
        wl_display_destroy_clients(display_);
        wl_display_destroy(display_);
        for (const auto& [name, value] : saved_) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

private:
    static void Bind(wl_client* client, void*, uint32_t version, uint32_t id) {
        wl_resource_create(client, nullptr, static_cast<int>(version), id);
    }
    void Keep(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        setenv(name, value, 1);
    }

    TempDir dir_;
    wl_display* display_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(WaylandChoice, TheProbeReadsTheRegistry) {
    struct Case {
        const char* compositor;
        std::vector<const wl_interface*> globals;
        Surface expected;
    };
    const std::vector<Case> cases = {
        {"layer shell and a seat",
         {&wl_compositor_interface, &wl_output_interface, &wl_seat_interface, &xdg_wm_base_interface,
          &zwlr_layer_shell_v1_interface},
         Surface::LayerOverlay},
        {"layer shell alone", {&wl_compositor_interface, &wl_output_interface, &zwlr_layer_shell_v1_interface},
         Surface::LockBackground},
        {"no layer shell", {&wl_compositor_interface, &wl_output_interface, &wl_seat_interface, &xdg_wm_base_interface},
         Surface::Toplevel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compositor);
        FakeCompositor fake(c.globals);
        WaylandGlobals globals;
        ASSERT_TRUE(ListWaylandGlobals(&globals));
        EXPECT_EQ(ChooseSaverSurface(globals, false), c.expected);
    }
}

TEST(WaylandChoice, NoCompositorListsNothing) {
    FakeCompositor none({});  // sets the runtime folder; the display named below is not there
    setenv("WAYLAND_DISPLAY", "nobody-here", 1);
    WaylandGlobals globals;
    EXPECT_FALSE(ListWaylandGlobals(&globals));
}

TEST(WaylandChoice, FallbacksNeverTouchTheCompositor) {
    // Each of these leaves the run to SDL's toplevel path before any connection.
    FakeCompositor sway({&wl_compositor_interface, &wl_output_interface, &wl_seat_interface, &xdg_wm_base_interface,
                         &zwlr_layer_shell_v1_interface});
    const char* userDriver = std::getenv("SDL_VIDEODRIVER");
    const std::optional<std::string> saved = userDriver ? std::optional<std::string>(userDriver) : std::nullopt;
    RunContext run;
    int status = -1;
    run.options.toplevel = true;
    EXPECT_FALSE(RunWaylandLayerSaver(run, &status));
    run.options.toplevel = false;
    setenv("SDL_VIDEODRIVER", "x11", 1);  // Xwayland, as the user asked
    EXPECT_FALSE(RunWaylandLayerSaver(run, &status));
    if (saved) setenv("SDL_VIDEODRIVER", saved->c_str(), 1);
    else unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(status, -1);
}
}  // namespace
