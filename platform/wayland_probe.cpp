#include "platform/wayland_probe.h"

#include <wayland-client.h>

#include <cstring>

namespace {
void OnGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, "wl_seat") == 0) *static_cast<bool*>(data) = true;
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};
}  // namespace

WaylandProbe ProbeWaylandCompositor() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return WaylandProbe::NoCompositor;
    bool seat = false;
    wl_registry* registry = wl_display_get_registry(display);
    const bool answered = registry != nullptr && wl_registry_add_listener(registry, &kListener, &seat) == 0 &&
                          wl_display_roundtrip(display) >= 0;
    if (registry != nullptr) wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered) return WaylandProbe::NoCompositor;
    return seat ? WaylandProbe::Usable : WaylandProbe::NoSeat;
}
