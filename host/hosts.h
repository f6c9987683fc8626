// The four ways the saver runs. Each builds its drawables and views, drives
// them through the whole view lifecycle and returns the exit status.
#pragma once

#include <string>

#include "host/options.h"
#include "host/settings.h"

struct RunContext {
    Options options;
    ViewSettings settings;
    std::string resourcePath;
};

int RunWindow(const RunContext& run);       // one 1280x720 window; Esc/q quit, F full screen
int RunFullscreen(const RunContext& run);   // one view per display; key or motion quits
int RunXScreenSaver(const RunContext& run); // a window another program owns
int RunHeadless(const RunContext& run);     // EGL offscreen, simulated clock
