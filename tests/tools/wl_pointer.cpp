// wl_pointer STEP...: a pointer for the Wayland tests, made through a wlroots
// compositor's virtual-pointer protocol (headless sway has no real one).
// Steps, in order, a short pause before each so that clients can take the
// new pointer first: "move DX DY" (relative, in pixels), "click" (left
// button down and up). Exits 1 if the compositor offers no virtual pointer.
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {
zwlr_virtual_pointer_manager_v1* gManager = nullptr;
wl_seat* gSeat = nullptr;

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        gManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && gSeat == nullptr) {
        gSeat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};

uint32_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wl_pointer: no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, nullptr);
    wl_display_roundtrip(display);
    if (gManager == nullptr) {
        std::fprintf(stderr, "wl_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(gManager, gSeat);
    wl_display_roundtrip(display);
    for (int i = 1; i < argc; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        const std::string step = argv[i];
        if (step == "move" && i + 2 < argc) {
            const double dx = std::atof(argv[i + 1]), dy = std::atof(argv[i + 2]);
            i += 2;
            zwlr_virtual_pointer_v1_motion(pointer, NowMs(), wl_fixed_from_double(dx), wl_fixed_from_double(dy));
        } else if (step == "click") {
            constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), kLeftButton, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), kLeftButton, WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            std::fprintf(stderr, "wl_pointer: unknown step \"%s\"\n", argv[i]);
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
    }
    // The last event delivered before the pointer goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
