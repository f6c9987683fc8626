// The calendar the countdown reads during one run of the saver.
#pragma once

#include "host/options.h"
#include "platform/gl_surface.h"

// With --now, the countdown reads that local time advanced by the run's own
// clock (simulated in headless runs) from the moment this object is made;
// without it, the system's local time. The clock must outlive this object,
// which puts the system calendar back when it goes.
class RunCalendar {
public:
    RunCalendar(const Options& options, Clock* clock);
    ~RunCalendar();
    RunCalendar(const RunCalendar&) = delete;
    RunCalendar& operator=(const RunCalendar&) = delete;
};
