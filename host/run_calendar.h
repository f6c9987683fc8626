// The calendar the countdown reads during one run of the saver.
#pragma once

#include "assets/context.h"
#include "host/options.h"
#include "platform/gl_surface.h"

// With --now, that local time advanced by the run's own clock (simulated in
// headless runs) from the moment this is called; without it, an empty clock:
// the system's local time. The clock must outlive what this returns.
CalendarClock RunCalendar(const Options& options, Clock* clock);
