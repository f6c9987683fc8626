// Which kind of surface the full-screen saver takes on a Wayland compositor,
// and how big its buffers are, decided from what the compositor lists in its
// registry. No Wayland calls here, so tests feed it made-up registries.
#pragma once

#include <cstdint>
#include <string>

// The globals that matter to the saver, as one registry listing found them.
struct WaylandGlobals {
    bool compositor = false;       // wl_compositor
    bool output = false;           // at least one wl_output
    bool seat = false;             // wl_seat: some keyboard or pointer may exist
    bool xdgWmBase = false;        // xdg_wm_base: ordinary windows
    bool layerShell = false;       // zwlr_layer_shell_v1
    bool viewporter = false;       // wp_viewporter
    bool fractionalScale = false;  // wp_fractional_scale_manager_v1

    // Notes one global by its interface name; unknown names change nothing.
    void Note(const std::string& interface);
};

enum class WaylandSaverSurface {
    LayerOverlay,    // a layer-shell surface per output, above everything, ended by input
    LockBackground,  // a lock program's nested compositor: no input, ended only from outside
    Toplevel,        // SDL's full-screen windows (and its refusal where there is no seat)
};

// Layer shell wherever it is offered, unless `forceToplevel`. Without a seat
// it is a lock background only where ordinary windows are not offered either
// (a lock program's nested compositor); a seatless desktop compositor gets
// the toplevel path, which refuses in one line, as nothing could end the run.
WaylandSaverSurface ChooseSaverSurface(const WaylandGlobals& globals, bool forceToplevel);

struct BufferSize {
    int width = 0;
    int height = 0;
};

// The buffer, in pixels, for a surface of `width` x `height` in the
// compositor's logical units. `scale120` is the fractional scale in 120ths
// (wp_fractional_scale_v1), or 0 where there is none or no viewport to map it
// with: then the output's integer scale (at least 1) applies.
BufferSize BufferSizeFor(int width, int height, int integerScale, std::uint32_t scale120);
