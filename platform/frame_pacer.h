// When to ask a view for its next frame. A view does no work for a frame that
// comes sooner than one interval after its last, so the host must not wake a
// hair early (the frame is lost and the next comes a whole interval later) nor
// sleep an interval after its own work (the rate sinks by the work's length).
// The pacer aims each view's next call just past one interval after the frame
// the view last accepted, and sleeps to that absolute time, however often the
// sleep is cut short.
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

    FramePacer(Clock* clock, WaitUntil wait, double interval);

    // The time to ask a view whose last accepted frame was at `lastFrame`.
    double Deadline(double lastFrame) const { return Deadline(lastFrame, interval_); }
    bool Due(double lastFrame) const { return Due(lastFrame, interval_); }
    // The same for a view that keeps an interval of its own.
    double Deadline(double lastFrame, double interval) const { return lastFrame + interval + kMargin; }
    bool Due(double lastFrame, double interval) const { return clock_->Now() >= Deadline(lastFrame, interval); }
    // Sleeps until `deadline` has passed; false (at once) when `stop` says so.
    bool SleepUntil(double deadline, const std::function<bool()>& stop);

private:
    Clock* clock_;
    WaitUntil wait_;
    double interval_;
};

// A sleep to an absolute CLOCK_MONOTONIC time (MonotonicClock's seconds); a
// signal cuts it short.
void SleepUntilMonotonic(double deadline);
