// The countdown line: the time left until a moment of the current calendar
// year, in local time, as days, hours, minutes and seconds, or a greeting once
// that moment has passed this year.
#pragma once

#include <cstddef>
#include <ctime>

#include "assets/context.h"

// Room every countdown text fits in, with its terminating NUL (the longest
// text has 40 characters).
constexpr std::size_t kCountDownCapacity = 64;

// The text for the moment `now` (reads tm_year, tm_yday, tm_hour, tm_min,
// tm_sec), counting down to `month` (0 = January, 0..11), `day` (from 1) at
// hour:minute:second. Writes at most `capacity` bytes into `out`, always
// NUL-terminated when capacity > 0. Parts that are zero are left out, so the
// exact moment itself gives the empty text; a month outside 0..11 does too.
//   "3 Days,4 Hours,1 Minute,12 Seconds."   "6 Hours."   "1 Day,5 Seconds."
//   "The wait is over! Merry Christmas!"
void CountDownAt(const std::tm& now, char* out, std::size_t capacity, int month, int day, int hour,
                 int minute, int second);

// The same for the current local time, read from `calendar` (null: the
// system's; text/calendar.h).
void CountDown(const CalendarClock* calendar, char* out, std::size_t capacity, int month, int day, int hour,
               int minute, int second);
