#include "text/countdown.h"

#include <cstdio>
#include <cstring>

#include "text/calendar.h"

namespace {
constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kDaysInYear = 365;

// Appends "<value> <unit>" with "," (or "." for the last unit) and the plural
// "s" before it; never writes past `capacity`.
void AppendPart(char* out, std::size_t capacity, int value, const char* unit, char end) {
    const std::size_t used = std::strlen(out);
    if (used + 1 >= capacity) return;
    std::snprintf(out + used, capacity - used, "%d %s%s%c", value, unit, value == 1 ? "" : "s", end);
}
}  // namespace

void CountDownAt(const std::tm& now, char* out, std::size_t capacity, int month, int day, int hour,
                 int minute, int second) {
    if (out == nullptr || capacity == 0) return;
    out[0] = '\0';
    if (month < 0 || month > 11) return;

    const bool leap = IsLeapYear(now.tm_year + 1900);
    int targetDay = day - 1;
    for (int m = 0; m < month; ++m) targetDay += kMonthLengths[m] + (m == 1 && leap ? 1 : 0);

    int days = targetDay - now.tm_yday;
    bool passed = false;
    if (days < 0) {
        days += kDaysInYear;
        passed = true;
    }
    int seconds = second - now.tm_sec;
    int minutes = minute - now.tm_min;
    int hours = hour - now.tm_hour;
    if (seconds < 0) {
        seconds += 60;
        minutes -= 1;
    }
    if (minutes < 0) {
        minutes += 60;
        hours -= 1;
    }
    if (hours < 0) {
        hours += 24;
        days -= 1;
    }
    if (days < 0) {
        days += kDaysInYear;
        passed = true;
    }
    if (passed) {
        std::snprintf(out, capacity, "%s", "The wait is over! Merry Christmas!");
        return;
    }

    if (days > 0) AppendPart(out, capacity, days, "Day", ',');
    if (hours > 0) AppendPart(out, capacity, hours, "Hour", ',');
    if (minutes > 0) AppendPart(out, capacity, minutes, "Minute", ',');
    if (seconds > 0) AppendPart(out, capacity, seconds, "Second", '.');
    // The line ends in a full stop whichever part came last.
    const std::size_t length = std::strlen(out);
    if (length > 0) out[length - 1] = '.';
}

void CountDown(const CalendarClock* calendar, char* out, std::size_t capacity, int month, int day, int hour,
               int minute, int second) {
    CountDownAt(CalendarNow(calendar), out, capacity, month, day, hour, minute, second);
}
