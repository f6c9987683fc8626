// The countdown text against an independent computation: the true time left
// to Christmas midnight by calendar arithmetic, split into units and joined.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "text/calendar.h"
#include "text/countdown.h"

namespace {
using namespace std::chrono;

const char* const kGreeting = "The wait is over! Merry Christmas!";

// What the line must say at y-mo-d h:mi:s local time, worked out from the
// seconds left rather than by borrowing field by field.
std::string Expected(int y, unsigned mo, unsigned d, int h, int mi, int s) {
    const sys_seconds now = sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s};
    const sys_seconds christmas = sys_days{year{y} / December / 25};
    if (now > christmas) return kGreeting;
    long long left = (christmas - now).count();
    const long long units[4] = {left / 86400, left / 3600 % 24, left / 60 % 60, left % 60};
    const char* names[4] = {"Day", "Hour", "Minute", "Second"};
    std::vector<std::string> parts;
    for (int i = 0; i < 4; ++i) {
        if (units[i] > 0) parts.push_back(std::to_string(units[i]) + " " + names[i] + (units[i] == 1 ? "" : "s"));
    }
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ",") + part;
    return text.empty() ? text : text + ".";
}

std::tm LocalTime(int y, unsigned mo, unsigned d, int h, int mi, int s) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", y, mo, d, h, mi, s);
    std::tm now{};
    EXPECT_TRUE(ParseCalendarTime(text, &now)) << text;
    return now;
}

// Year (from 1900), month (from 0), day, day of the year, hour, minute, second.
std::vector<int> Fields(const std::tm& t) {
    return {t.tm_year, t.tm_mon, t.tm_mday, t.tm_yday, t.tm_hour, t.tm_min, t.tm_sec};
}

std::string Actual(int y, unsigned mo, unsigned d, int h, int mi, int s) {
    char out[kCountDownCapacity];
    CountDownAt(LocalTime(y, mo, d, h, mi, s), out, sizeof out, 11, 25, 0, 0, 0);
    return out;
}
}  // namespace

// Fixed strings, so that a fault shared by the reader and the arithmetic
// below still shows: units, plurals, commas and the two ends of the count.
TEST(CountDown, EdgeCases) {
    EXPECT_EQ(Actual(2026, 12, 25, 0, 0, 1), kGreeting);
    EXPECT_EQ(Actual(2027, 1, 1, 0, 0, 0), "358 Days.");
    EXPECT_EQ(Actual(2026, 12, 23, 22, 58, 59), "1 Day,1 Hour,1 Minute,1 Second.");
    EXPECT_EQ(Actual(2026, 12, 23, 23, 59, 55), "1 Day,5 Seconds.");
    EXPECT_EQ(Actual(2026, 12, 25, 0, 0, 0), "");
    EXPECT_EQ(Actual(2027, 1, 1, 0, 0, 1), "357 Days,23 Hours,59 Minutes,59 Seconds.");  // the longest text
}

TEST(CountDown, AgreesWithCalendarArithmeticAllYearRound) {
    // Leap and common years, a century year that is not leap and one that is;
    // times of day through the last hour and the last minute of each day.
    for (int y : {2023, 2024, 2026, 2027, 2028, 2000, 2100}) {
        const sys_days first{year{y} / January / 1};
        const sys_days last{year{y} / December / 31};
        for (sys_days day = first; day <= last; day += days{1}) {
            const year_month_day ymd{day};
            const unsigned mo = static_cast<unsigned>(ymd.month());
            const unsigned d = static_cast<unsigned>(ymd.day());
            for (int seconds : {0, 1, 59, 3599, 3600, 43210, 64800, 82861, 85139, 86340, 86399}) {
                const int h = seconds / 3600, mi = seconds / 60 % 60, s = seconds % 60;
                ASSERT_EQ(Actual(y, mo, d, h, mi, s), Expected(y, mo, d, h, mi, s))
                    << y << "-" << mo << "-" << d << " " << h << ":" << mi << ":" << s;
            }
        }
    }
}

TEST(CountDown, SmallBuffersAreNeverOverrun) {
    const std::tm now = LocalTime(2027, 1, 1, 0, 0, 1);
    for (std::size_t capacity = 0; capacity <= 48; ++capacity) {
        char out[64];
        std::memset(out, '#', sizeof out);
        CountDownAt(now, out, capacity, 11, 25, 0, 0, 0);
        for (std::size_t i = capacity; i < sizeof out; ++i) ASSERT_EQ(out[i], '#') << capacity;
    }
    // Any room at all holds the terminator of what fits.
    for (std::size_t capacity = 1; capacity <= 48; ++capacity) {
        char out[64];
        CountDownAt(now, out, capacity, 11, 25, 0, 0, 0);
        ASSERT_NE(std::memchr(out, 0, capacity), nullptr) << capacity;
    }
    char out[kCountDownCapacity];
    CountDownAt(now, out, sizeof out, 11, 25, 0, 0, 0);
    EXPECT_EQ(std::strlen(out), 40u);
}

TEST(CountDown, MonthOutsideTheYearGivesEmptyText) {
    const std::tm now = LocalTime(2026, 6, 1, 12, 0, 0);
    for (int month : {-1, 12, 1000, -2147483647}) {
        char out[kCountDownCapacity] = "junk";
        CountDownAt(now, out, sizeof out, month, 25, 0, 0, 0);
        EXPECT_STREQ(out, "") << month;
    }
}

TEST(Calendar, AdvanceCrossesDaysMonthsAndYears) {
    const std::tm leapDay = AdvanceCalendarTime(LocalTime(2028, 2, 28, 23, 59, 59), 1.0);
    EXPECT_EQ(Fields(leapDay), (std::vector<int>{128, 1, 29, 59, 0, 0, 0}));
    const std::tm newYear = AdvanceCalendarTime(LocalTime(2026, 12, 31, 23, 59, 30), 45.9);
    EXPECT_EQ(Fields(newYear), (std::vector<int>{127, 0, 1, 0, 0, 0, 15}));
    // Negative or absurd run times neither go back nor overflow.
    const std::tm start = LocalTime(2026, 12, 24, 18, 0, 0);
    EXPECT_EQ(AdvanceCalendarTime(start, -5.0).tm_hour, 18);
    EXPECT_GT(AdvanceCalendarTime(start, 1e300).tm_year, start.tm_year);
}

TEST(Calendar, ParseAcceptsOnlyRealLocalTimes) {
    std::tm out{};
    ASSERT_TRUE(ParseCalendarTime("2024-02-29 23:59:59", &out));
    EXPECT_EQ(Fields(out), (std::vector<int>{124, 1, 29, 59, 23, 59, 59}));
    ASSERT_TRUE(ParseCalendarTime("2026-12-31 00:00:00", &out));
    EXPECT_EQ(out.tm_yday, 364);

    const char* bad[] = {"", "2026-12-24", "2026-12-24 18:00:00 ", "2026-12-24T18:00:00", "2026-13-01 00:00:00",
                         "2026-00-10 00:00:00", "2026-02-29 00:00:00", "2100-02-29 00:00:00", "2026-04-31 00:00:00",
                         "2026-12-24 24:00:00", "2026-12-24 18:60:00", "2026-12-24 18:00:60", "0000-01-01 00:00:00",
                         "+026-12-24 18:00:00", "2026-12-2x 18:00:00", "2026-12-24 18:00:0"};
    for (const char* text : bad) {
        std::tm untouched{};
        untouched.tm_year = 77;
        EXPECT_FALSE(ParseCalendarTime(text, &untouched)) << text;
        EXPECT_EQ(untouched.tm_year, 77) << text;
    }
    EXPECT_FALSE(ParseCalendarTime(nullptr, &out));
}
