// Renders a frame in horizontal bands on a small pool of worker threads:
// each thread has a renderer of its own and takes the next band until none
// is left. Every band is drawn exactly as a render of the whole frame draws
// those rows, so the thread count never changes a pixel.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "flash/core/Renderer.h"

namespace flash {

class BandRenderer {
public:
    BandRenderer() = default;
    BandRenderer(const BandRenderer&) = delete;
    BandRenderer& operator=(const BandRenderer&) = delete;
    ~BandRenderer();

    // Threads drawing a frame, the calling one included (1: no workers).
    void setThreads(int n);
    int threads() const { return threads_; }
    // A sensible count for this machine: its cores, at most four.
    static int machineThreads();

    // Draws the frame with `own` on the calling thread and the workers'
    // renderers on theirs. Frames that cannot be split (Renderer::bandSafe)
    // and small ones are drawn by `own` alone. False when own's interrupt
    // check stopped the drawing (the workers have none).
    bool render(Renderer& own, const DisplayObject& root, Rgba background, uint32_t* pixels, int width,
                int height, int stride, const Matrix& view, Quality quality, ImageDecoder* decoder);

private:
    struct Frame {
        const DisplayObject* root = nullptr;
        Rgba background;
        uint32_t* pixels = nullptr;
        int width = 0, height = 0, stride = 0;
        Matrix view;
        Quality quality = Quality::High;
        int bands = 0, bandHeight = 0;
    };
    void start();
    void stop();
    void workerLoop(int index);
    bool drawBands(Renderer& r);

    int threads_ = 1;
    std::vector<std::unique_ptr<Renderer>> renderers_;  // one per worker
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    uint64_t generation_ = 0;
    int busy_ = 0;
    bool quit_ = false;
    Frame frame_;
    std::atomic<int> nextBand_{0};
};

}  // namespace flash
