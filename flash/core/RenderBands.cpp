#include "flash/core/RenderBands.h"

#include <algorithm>

namespace flash {

namespace {

// Below this many rows per thread a frame is not worth splitting.
const int kMinRowsPerThread = 32;
// Bands per thread: more, smaller bands even out pictures whose detail
// sits in one part of the frame.
const int kBandsPerThread = 4;

}  // namespace

BandRenderer::~BandRenderer() { stop(); }

int BandRenderer::machineThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::max(1u, std::min(n, 4u)));
}

void BandRenderer::setThreads(int n) {
    n = std::max(1, std::min(n, 16));
    if (n == threads_) return;
    stop();
    threads_ = n;
}

void BandRenderer::start() {
    quit_ = false;
    for (int i = 1; i < threads_; ++i) {
        renderers_.push_back(std::make_unique<Renderer>());
        workers_.emplace_back([this, i] { workerLoop(i - 1); });
    }
}

void BandRenderer::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
    workers_.clear();
    renderers_.clear();
}

bool BandRenderer::drawBands(Renderer& r) {
    const Frame& f = frame_;
    for (int b = nextBand_.fetch_add(1); b < f.bands; b = nextBand_.fetch_add(1)) {
        const int top = b * f.bandHeight, bottom = std::min(f.height, top + f.bandHeight);
        if (!r.renderRows(*f.root, f.background, f.pixels, f.width, f.height, f.stride, f.view, f.quality,
                          top, bottom))
            return false;  // interrupted: the bands left are not drawn
    }
    return true;
}

void BandRenderer::workerLoop(int index) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
            if (quit_) return;
            seen = generation_;
        }
        drawBands(*renderers_[index]);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
        }
        finished_.notify_one();
    }
}

bool BandRenderer::render(Renderer& own, const DisplayObject& root, Rgba background, uint32_t* pixels,
                          int width, int height, int stride, const Matrix& view, Quality quality,
                          ImageDecoder* decoder) {
    own.setImageDecoder(decoder);
    if (threads_ <= 1 || height < 2 * kMinRowsPerThread || !Renderer::bandSafe(root)) {
        return own.render(root, background, pixels, width, height, stride, view, quality);
    }
    if (workers_.empty()) start();
    for (auto& r : renderers_) r->setImageDecoder(decoder);
    const int workers = static_cast<int>(workers_.size());
    const int threads = std::min(workers + 1, height / kMinRowsPerThread);
    Frame& f = frame_;
    f.root = &root;
    f.background = background;
    f.pixels = pixels;
    f.width = width;
    f.height = height;
    f.stride = stride;
    f.view = view;
    f.quality = quality;
    f.bands = threads * kBandsPerThread;
    f.bandHeight = (height + f.bands - 1) / f.bands;
    f.bands = (height + f.bandHeight - 1) / f.bandHeight;
    nextBand_.store(0);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = workers;
        ++generation_;
    }
    wake_.notify_all();
    const bool whole = drawBands(own);
    if (!whole) nextBand_.store(f.bands);  // the workers stop after their current band
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return busy_ == 0; });
    return whole;
}

}  // namespace flash
