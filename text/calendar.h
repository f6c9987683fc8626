// The local calendar as the countdown reads it, through the view's clock
// (assets/context.h) so that tests, the inspector and `--now` can choose the moment.
//
// Times are broken down as std::tm: tm_year (years since 1900), tm_mon (0 =
// January), tm_mday (1..31), tm_yday (0 = 1 January), tm_hour, tm_min, tm_sec.
// The countdown reads tm_year, tm_yday, tm_hour, tm_min and tm_sec.
#pragma once

#include <ctime>
#include <functional>

#include "assets/context.h"

// The operating system's calendar time in the local time zone (time + localtime_r).
std::tm SystemLocalTime();

// What `clock` says; the system's local time when it is null or empty.
std::tm CalendarNow(const CalendarClock* clock);

// Gregorian: every fourth year, except centuries not divisible by 400.
bool IsLeapYear(int year);

// Parses exactly "YYYY-MM-DD HH:MM:SS" (year 0001..9999, a real date, hour
// 0..23, minute and second 0..59) into a fully filled std::tm (tm_isdst -1).
// Returns false, leaving *out alone, for anything else.
bool ParseCalendarTime(const char* text, std::tm* out);

// `start` moved on by `seconds` (>= 0, whole seconds counted) of wall-clock
// time, with no daylight-saving jumps: the local calendar a run started at
// `start` shows after that long. Needs tm_year, tm_mon, tm_mday and the time.
std::tm AdvanceCalendarTime(const std::tm& start, double seconds);

// A clock that reads `start` plus the seconds the run's own clock reports
// (simulated in headless runs), so the countdown ticks with the run.
CalendarClock StartedCalendar(const std::tm& start, std::function<double()> runSeconds);
