// The wave volume the program last set (low word left, high word right,
// 0xFFFF full). waveOutSetVolume on device 0 does not reach streams that are
// already open everywhere (not under Wine), so the Flash control's sound
// output applies this value to its own stream as well.
#pragma once

#include <atomic>
#include <cstdint>

namespace kv {

inline std::atomic<uint32_t> CurrentWaveVolume{0xFFFFFFFFu};

}  // namespace kv
