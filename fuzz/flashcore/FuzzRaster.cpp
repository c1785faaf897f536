// Arbitrary segments through the rasterizer and the blender: target size,
// fill rule and quality from the first bytes, then segment end points
// reaching well outside the target. Every span must lie inside the target.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/Paint.h"
#include "flash/core/raster/Rasterizer.h"

namespace {

struct CheckingSink : flash::SpanSink {
    int w = 0, h = 0;
    void span(int y, int x, int len, const uint8_t* covers) override {
        if (y < 0 || y >= h || x < 0 || len <= 0 || x + len > w) std::abort();
        volatile uint8_t sum = 0;
        for (int i = 0; i < len; ++i) sum = static_cast<uint8_t>(sum + covers[i]);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int w = 1 + (data[0] | (data[1] & 3) << 8);  // up to 1024: rows of many cell blocks
    const int h = 1 + (data[2] & 63);
    const flash::FillRule rule = data[3] & 1 ? flash::FillRule::NonZero : flash::FillRule::EvenOdd;
    const bool antialias = (data[3] & 2) == 0;
    flash::Rasterizer ras;
    ras.reset(w, h);
    float px = 0, py = 0;
    for (size_t i = 4; i + 4 <= size; i += 4) {
        // x in sixteenths of a pixel (up to 2048 pixels either side of the
        // centre), y in 64ths (up to 512).
        float x = static_cast<float>(static_cast<int16_t>(data[i] | data[i + 1] << 8)) / 16.0f + w / 2.0f;
        float y = static_cast<float>(static_cast<int16_t>(data[i + 2] | data[i + 3] << 8)) / 64.0f + h / 2.0f;
        if (i > 4) ras.addLine(px, py, x, y);
        px = x;
        py = y;
    }
    CheckingSink sink;
    sink.w = w;
    sink.h = h;
    ras.sweep(rule, antialias, sink);
    // Again through the canvas, with a translucent and an opaque colour.
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0xFF102030u);
    flash::Canvas canvas;
    canvas.attach(pixels.data(), w, h, w);
    flash::Paint paint;
    paint.setSolid({200, 100, 50, static_cast<uint8_t>(data[3] & 4 ? 255 : 128)});
    canvas.fill(ras, rule, antialias, paint);
    return 0;
}
