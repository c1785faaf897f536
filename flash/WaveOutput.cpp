#include "flash/WaveOutput.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <vector>

#include "ui/Handles.h"
#include "ui/WaveVolume.h"

namespace kv {

namespace {

struct WaveOutTraits {
    static HWAVEOUT invalid() { return nullptr; }
    static bool valid(HWAVEOUT h) { return h != nullptr; }
    static void close(HWAVEOUT h) {
        waveOutReset(h);
        waveOutClose(h);
    }
};

}  // namespace

struct WaveOutput::Device {
    UniqueHandle<HWAVEOUT, WaveOutTraits> wave;
    UniqueHandle<HANDLE, KernelHandleTraits> done;  // an event: a buffer has played
    WAVEHDR headers[kBuffers] = {};
    std::vector<int16_t> buffers[kBuffers];
};

WaveOutput::WaveOutput() = default;

WaveOutput::~WaveOutput() { stop(); }

bool WaveOutput::start(Source source) {
    if (running()) return true;
    auto d = std::make_unique<Device>();
    d->done.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!d->done) return false;
    WAVEFORMATEX fmt{};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = 2;
    fmt.nSamplesPerSec = 44100;
    fmt.wBitsPerSample = 16;
    fmt.nBlockAlign = 4;
    fmt.nAvgBytesPerSec = 44100 * 4;
    HWAVEOUT h = nullptr;
    if (waveOutOpen(&h, 0, &fmt, reinterpret_cast<DWORD_PTR>(d->done.get()), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR)
        return false;
    d->wave.reset(h);
    for (size_t i = 0; i < kBuffers; ++i) {
        d->buffers[i].assign(kFrames * 2, 0);
        WAVEHDR& w = d->headers[i];
        w.lpData = reinterpret_cast<LPSTR>(d->buffers[i].data());
        w.dwBufferLength = static_cast<DWORD>(kFrames * 4);
        waveOutPrepareHeader(h, &w, sizeof w);
        w.dwFlags |= WHDR_DONE;  // free to fill
    }
    device_ = std::move(d);
    source_ = std::move(source);
    written_ = 0;
    quit_ = false;
    thread_ = std::thread([this] { run(); });
    return true;
}

void WaveOutput::run() {
    Device& d = *device_;
    uint32_t applied = 0;
    bool known = false;
    while (!quit_) {
        uint32_t v = CurrentWaveVolume;
        if (!known || v != applied) {
            waveOutSetVolume(d.wave.get(), v);
            applied = v;
            known = true;
        }
        for (WAVEHDR& w : d.headers) {
            if (!(w.dwFlags & WHDR_DONE) || quit_) continue;
            source_(reinterpret_cast<int16_t*>(w.lpData), kFrames);
            w.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            if (waveOutWrite(d.wave.get(), &w, sizeof w) != MMSYSERR_NOERROR) {
                w.dwFlags |= WHDR_DONE;
                continue;
            }
            written_ += kFrames;
        }
        WaitForSingleObject(d.done.get(), 50);
    }
}

void WaveOutput::stop() {
    if (!running()) return;
    quit_ = true;
    SetEvent(device_->done.get());
    thread_.join();
    Device& d = *device_;
    waveOutReset(d.wave.get());  // every buffer comes back
    for (WAVEHDR& w : d.headers) waveOutUnprepareHeader(d.wave.get(), &w, sizeof w);
    device_.reset();
    source_ = nullptr;
}

uint64_t WaveOutput::latency() const {
    if (!device_) return 0;
    MMTIME t{};
    t.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device_->wave.get(), &t, sizeof t) != MMSYSERR_NOERROR || t.wType != TIME_SAMPLES)
        return kFrames * kBuffers;
    uint64_t written = written_;
    return written > t.u.sample ? written - t.u.sample : 0;
}

}  // namespace kv
