#include "flash/core/avm1/DateText.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace flash {

double daysFromCivil(double y, double m, double d) {
    y -= m <= 2;
    double era = std::floor(y / 400);
    double yoe = y - era * 400;
    double doy = std::floor((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5) + d - 1;
    double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

DateFields splitDate(double t) {
    DateFields f;
    double days = std::floor(t / kMsPerDay);
    double within = t - days * kMsPerDay;
    double z = days + 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe =
        std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    f.date = doy - std::floor((153 * mp + 2) / 5) + 1;
    double m = mp < 10 ? mp + 3 : mp - 9;
    f.year = yoe + era * 400 + (m <= 2);
    f.month = m - 1;
    f.hours = std::floor(within / 3600000);
    f.minutes = std::floor(std::fmod(within, 3600000) / 60000);
    f.seconds = std::floor(std::fmod(within, 60000) / 1000);
    f.ms = std::fmod(within, 1000);
    f.day = std::fmod(std::fmod(days + 4, 7) + 7, 7);
    return f;
}

double systemZoneOffset(double utcMs) {
    if (!std::isfinite(utcMs)) return 0;
    std::time_t t = static_cast<std::time_t>(std::floor(utcMs / 1000));
    std::tm* l = std::localtime(&t);
    if (!l) return 0;
    double local = daysFromCivil(l->tm_year + 1900, l->tm_mon + 1, l->tm_mday) * 86400.0 +
                   l->tm_hour * 3600.0 + l->tm_min * 60.0 + l->tm_sec;
    return std::round((local - static_cast<double>(t)) / 60);
}

std::string dateText(double t, double offset) {
    if (!std::isfinite(t)) return "Invalid Date";
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    DateFields f = splitDate(t + offset * 60000);
    long off = static_cast<long>(std::fabs(offset));
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02ld%02ld %.0f",
                  kDays[static_cast<int>(f.day)], kMonths[static_cast<int>(f.month)],
                  static_cast<int>(f.date), static_cast<int>(f.hours), static_cast<int>(f.minutes),
                  static_cast<int>(f.seconds), offset < 0 ? '-' : '+', off / 60, off % 60, f.year);
    return buf;
}

}  // namespace flash
