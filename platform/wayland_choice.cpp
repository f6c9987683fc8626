#include "platform/wayland_choice.h"

#include <algorithm>
#include <cmath>

void WaylandGlobals::Note(const std::string& interface) {
    if (interface == "wl_compositor") compositor = true;
    else if (interface == "wl_output") output = true;
    else if (interface == "wl_seat") seat = true;
    else if (interface == "xdg_wm_base") xdgWmBase = true;
    else if (interface == "zwlr_layer_shell_v1") layerShell = true;
    else if (interface == "wp_viewporter") viewporter = true;
    else if (interface == "wp_fractional_scale_manager_v1") fractionalScale = true;
}

WaylandSaverSurface ChooseSaverSurface(const WaylandGlobals& globals, bool forceToplevel) {
    if (forceToplevel || !globals.layerShell || !globals.compositor) return WaylandSaverSurface::Toplevel;
    if (globals.seat) return WaylandSaverSurface::LayerOverlay;
    if (!globals.xdgWmBase) return WaylandSaverSurface::LockBackground;
    return WaylandSaverSurface::Toplevel;
}

BufferSize BufferSizeFor(int width, int height, int integerScale, std::uint32_t scale120) {
    if (width <= 0 || height <= 0) return {};
    if (scale120 > 0) {
        // Rounded as the compositor maps the viewport back: half a pixel either way.
        const double scale = scale120 / 120.0;
        return {std::max(1, static_cast<int>(std::lround(width * scale))),
                std::max(1, static_cast<int>(std::lround(height * scale)))};
    }
    const int scale = std::max(1, integerScale);
    return {width * scale, height * scale};
}
