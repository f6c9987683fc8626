#include "platform/frame_pacer.h"

#include <cmath>
#include <ctime>
#include <utility>

FramePacer::FramePacer(Clock* clock, WaitUntil wait) : clock_(clock), wait_(std::move(wait)) {}

bool FramePacer::SleepUntil(double deadline, const std::function<bool()>& stop) {
    while (clock_->Now() < deadline) {
        if (stop && stop()) return false;
        wait_(deadline);
    }
    return !(stop && stop());
}

void SleepUntilMonotonic(double deadline) {
    // Rounded up, so that the wake-up is never before the deadline.
    double whole = 0.0;
    const double fraction = std::modf(deadline, &whole);
    timespec ts{static_cast<time_t>(whole), static_cast<long>(std::ceil(fraction * 1e9))};
    if (ts.tv_nsec >= 1000000000L) {
        ts.tv_sec += 1;
        ts.tv_nsec -= 1000000000L;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}
