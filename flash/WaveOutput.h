// Sound output through waveOut: a ring of four 23 ms buffers (93 ms ahead
// of what is heard), filled from a source on a thread of its own. The
// thread keeps the sound going while the GUI thread renders a heavy frame
// or runs a modal loop; the source takes its own lock. The stream plays at
// the program's wave volume (ui/WaveVolume.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace kv {

class WaveOutput {
public:
    // Fills `frames` stereo frames (44.1 kHz, interleaved) to play next.
    using Source = std::function<void(int16_t* out, size_t frames)>;

    static constexpr size_t kBuffers = 4;
    static constexpr size_t kFrames = 1024;

    WaveOutput();
    ~WaveOutput();
    // Opens the default device and starts playing what the source gives;
    // false when no device can be opened (the movie then plays silent).
    bool start(Source source);
    // Stops at once: what is queued is dropped and the device is closed.
    void stop();
    bool running() const { return thread_.joinable(); }
    // Frames handed to the device and not yet heard.
    uint64_t latency() const;

private:
    void run();

    struct Device;
    std::unique_ptr<Device> device_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> written_{0};
    Source source_;
};

}  // namespace kv
