#include "host/run_calendar.h"

#include "text/calendar.h"

CalendarClock RunCalendar(const Options& options, Clock* clock) {
    std::tm start{};
    if (!options.now || clock == nullptr || !ParseCalendarTime(options.now->c_str(), &start)) return {};
    const double started = clock->Now();
    return StartedCalendar(start, [clock, started] { return clock->Now() - started; });
}
