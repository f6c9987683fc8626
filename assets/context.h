// What one view's engine reads from and reports to. The view owns one and
// hands it down; nothing in the engine keeps such state for the process.
#pragma once

#include <ctime>
#include <functional>

#include "math/failure.h"

// Shows an image alert: a title ("ERROR" or "Invalid Image"), a message and
// one "OK" button, returning once the user has dismissed it.
using AlertHandler = std::function<void(const char* title, const char* message)>;
// The local calendar time the countdown shows.
using CalendarClock = std::function<std::tm()>;

struct EngineContext {
    // The first set-up failure; the host prints its Line().
    SetupError error;
    // Empty: one line `TITLE: message` on stderr.
    AlertHandler alert;
    // Empty: the system's local time.
    CalendarClock calendar;
    // The process's CPU seconds for the -fps load; empty reads as no load.
    std::function<double()> cpuSeconds;
    // Times the scene's pictures are halved on upload. A scene drawn at a
    // third of the window minifies its pictures' full size nearly everywhere,
    // so a quarter of the texels looks the same there and costs a quarter
    // of the driver's copy. The overlay's pictures, drawn at full size, never are.
    int scenePictureHalvings = 0;
};
