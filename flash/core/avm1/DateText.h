// The calendar of Date: a moment (milliseconds since 1970 UTC) split into
// fields, and its text as Date.toString gives it. Plain conversions of a
// Date outside scripts use the same text.
#pragma once

#include <string>

namespace flash {

const double kMsPerDay = 86400000.0;

struct DateFields {
    double year, month, date, hours, minutes, seconds, ms, day;  // month 0-11, day 0 Sunday
};

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
double daysFromCivil(double y, double m, double d);
DateFields splitDate(double t);
// Minutes the system's local time is ahead of UTC at a moment.
double systemZoneOffset(double utcMs);
// "Tue Dec 8 05:11:24 GMT+0800 2026": the moment `t` in the local time
// `offset` minutes ahead of UTC; "Invalid Date" for NaN.
std::string dateText(double t, double offset);

}  // namespace flash
