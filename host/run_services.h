// What every host hands its views from the run's options, so the window,
// full-screen, daemon and headless hosts cannot drift apart in what a view
// sees of them.
#pragma once

#include <functional>

#include "host/frostvale_view.h"
#include "host/hosts.h"
#include "scene/trace.h"

// The services every view of the run reads alike: its surface and clock, the
// resource folder, the seed (the clock time in whole seconds without
// --seed), -fps, the held shot and the quality. The host adds what differs
// by host: the display numbers, the carol players, the alert, the trace and
// the calendar (one per run, so every view counts down from the same start).
// `clock` must outlive the services.
ViewServices RunServices(const RunContext& run, GLSurface* surface, Clock* clock);

// With --trace, what the main display's view calls after each drawn frame: a
// line of scene state into `trace`, opened by the first call (one file for
// the whole run). Empty without --trace, or when the file cannot be
// written, which it says on stderr.
std::function<void(const XMASMAIN&)> RunTrace(const RunContext& run, TraceWriter* trace);

// Prints why the view's engine set-up failed, as the one line the hosts give it.
void PrintSetupFailure(const FrostvaleView& view);

// True when the view on `display` will play carols (music on, not a
// preview, the main display): the host starts loading the soundfont at once,
// so the first carol does not stall a frame.
bool RunPlaysCarols(const RunContext& run, int display);
