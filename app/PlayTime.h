// The play time of a movie as text, from its frame count and frame rate.
#pragma once

#include <string>

namespace kv {

// Seconds s = frames / rate rounded half to even; "00:ss" under a minute,
// else minutes (at least two digits) ":" seconds. No hour field: 3725 s → 62:05.
std::string CalculatePlayTime(int frames, int rate);

}  // namespace kv
