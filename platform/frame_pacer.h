// When to ask a view for its next frame. A view does no work for a frame that
// comes before it is due, so the host must not wake a hair early (the frame is
// lost and the next comes a whole interval later) nor sleep an interval after
// its own work (the rate sinks by the work's length). The pacer aims each
// view's next call just past the time the view says its frame is due, and
// sleeps to that absolute time, however often the sleep is cut short.
#pragma once

#include <functional>

#include "platform/gl_surface.h"

class FramePacer {
public:
    // Sleeps until about `deadline` seconds on the pacer's clock; may return
    // early (a signal) or late (a busy machine).
    using WaitUntil = std::function<void(double deadline)>;

    // How far past the interval the call is aimed: absorbs the rounding of the
    // deadline to the sleep's nanoseconds, costs a few hundredths of a frame.
    static constexpr double kMargin = 100e-6;

    FramePacer(Clock* clock, WaitUntil wait);

    // The time to ask a view whose next frame is due at `due`.
    double Deadline(double due) const { return due + kMargin; }
    bool Due(double due) const { return clock_->Now() >= Deadline(due); }
    // Sleeps until `deadline` has passed; false (at once) when `stop` says so.
    bool SleepUntil(double deadline, const std::function<bool()>& stop);

private:
    Clock* clock_;
    WaitUntil wait_;
};

// A sleep to an absolute CLOCK_MONOTONIC time (MonotonicClock's seconds); a
// signal cuts it short.
void SleepUntilMonotonic(double deadline);
