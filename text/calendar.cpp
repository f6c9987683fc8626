#include "text/calendar.h"

#include <chrono>
#include <cmath>
#include <utility>

namespace {
// Fills every calendar field of a std::tm from a day number and a time of day.
std::tm BreakDown(std::chrono::sys_days day, long long secondOfDay) {
    using namespace std::chrono;
    const year_month_day ymd{day};
    const sys_days firstOfYear{ymd.year() / January / 1};
    std::tm out{};
    out.tm_year = static_cast<int>(ymd.year()) - 1900;
    out.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    out.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
    out.tm_yday = static_cast<int>((day - firstOfYear).count());
    out.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    out.tm_hour = static_cast<int>(secondOfDay / 3600);
    out.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    out.tm_sec = static_cast<int>(secondOfDay % 60);
    out.tm_isdst = -1;
    return out;
}

bool Digits(const char* text, int count, int* value) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = v;
    return true;
}
}  // namespace

std::tm SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::tm CalendarNow(const CalendarClock* clock) { return clock != nullptr && *clock ? (*clock)() : SystemLocalTime(); }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool ParseCalendarTime(const char* text, std::tm* out) {
    if (text == nullptr) return false;
    // Layout: YYYY-MM-DD HH:MM:SS, 19 characters and nothing after.
    for (int i = 0; i < 19; ++i) {
        if (text[i] == '\0') return false;
    }
    if (text[19] != '\0' || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':') {
        return false;
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!Digits(text, 4, &y) || !Digits(text + 5, 2, &mo) || !Digits(text + 8, 2, &d) ||
        !Digits(text + 11, 2, &h) || !Digits(text + 14, 2, &mi) || !Digits(text + 17, 2, &s)) {
        return false;
    }
    using namespace std::chrono;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (y < 1 || !ymd.ok() || h > 23 || mi > 59 || s > 59) return false;
    *out = BreakDown(sys_days{ymd}, h * 3600LL + mi * 60LL + s);
    return true;
}

std::tm AdvanceCalendarTime(const std::tm& start, double seconds) {
    using namespace std::chrono;
    const year_month_day ymd{year{start.tm_year + 1900}, month{static_cast<unsigned>(start.tm_mon + 1)},
                             day{static_cast<unsigned>(start.tm_mday)}};
    if (!ymd.ok()) return start;
    // About 3000 years: far beyond any run, and safely inside the calendar's range.
    constexpr double kLongest = 1e11;
    const long long whole = seconds > 0.0 ? static_cast<long long>(std::floor(std::fmin(seconds, kLongest))) : 0;
    const long long total = start.tm_hour * 3600LL + start.tm_min * 60LL + start.tm_sec + whole;
    return BreakDown(sys_days{ymd} + days{total / 86400}, total % 86400);
}

CalendarClock StartedCalendar(const std::tm& start, std::function<double()> runSeconds) {
    return [start, runSeconds = std::move(runSeconds)]() {
        return AdvanceCalendarTime(start, runSeconds ? runSeconds() : 0.0);
    };
}
