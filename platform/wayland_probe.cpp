#include "platform/wayland_probe.h"

#include <wayland-client.h>

namespace {
void OnGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    static_cast<WaylandGlobals*>(data)->Note(interface);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};
}  // namespace

bool ListWaylandGlobals(WaylandGlobals* globals) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return false;
    WaylandGlobals found;
    wl_registry* registry = wl_display_get_registry(display);
    const bool answered = registry != nullptr && wl_registry_add_listener(registry, &kListener, &found) == 0 &&
                          wl_display_roundtrip(display) >= 0;
    if (registry != nullptr) wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (answered) *globals = found;
    return answered;
}

WaylandProbe ProbeWaylandCompositor() {
    WaylandGlobals globals;
    if (!ListWaylandGlobals(&globals)) return WaylandProbe::NoCompositor;
    return globals.seat ? WaylandProbe::Usable : WaylandProbe::NoSeat;
}
