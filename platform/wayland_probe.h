// What a Wayland compositor offers, asked over a connection of our own before
// SDL makes its own: SDL 2.26 dereferences a missing seat during its video
// start-up and dies, so a compositor without one must be found out first.
#pragma once

#include "platform/wayland_choice.h"

enum class WaylandProbe {
    NoCompositor,  // nothing answers at $WAYLAND_DISPLAY
    NoSeat,        // a compositor, but no wl_seat: no keyboard or pointer at all
    Usable,
};

// Connects to $WAYLAND_DISPLAY (SDL's default when unset), lists its globals
// once and disconnects. Takes one round trip; never touches SDL.
WaylandProbe ProbeWaylandCompositor();
// The same listing, whole; false when no compositor answers.
bool ListWaylandGlobals(WaylandGlobals* globals);
