#include "app/PlayTime.h"

#include <cmath>
#include <cstdio>

namespace kv {

std::string CalculatePlayTime(int frames, int rate) {
    if (rate == 0) return "00:00";
    // nearbyint rounds half to even in the default rounding mode.
    long long s = static_cast<long long>(std::nearbyint(static_cast<double>(frames) / rate));
    char buf[32];
    if (s < 60)
        std::snprintf(buf, sizeof buf, "00:%02lld", s);
    else
        std::snprintf(buf, sizeof buf, "%02lld:%02lld", s / 60, s % 60);
    return buf;
}

}  // namespace kv
