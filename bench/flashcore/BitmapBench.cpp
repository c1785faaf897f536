// Time per frame of a bitmap-heavy scene, next to the vector scene: a
// smoothed full-stage photo-like background and 60 moving, rotated shapes
// filled with bitmaps (smoothed and not, repeating and clipped, opaque and
// with alpha) over 24 frames.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/flashcore/RenderLoop.h"
#include "flash/core/Player.h"
#include "tools/swfwriter/BitmapWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace {

using namespace swfw;

Picture photo(int w, int h, bool alpha, int seed) {
    Picture p{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double v = std::sin(x * 0.05 + seed) * std::cos(y * 0.07 - seed) * 0.5 + 0.5;
            uint32_t a = alpha ? static_cast<uint32_t>(255 * (0.3 + 0.7 * v)) : 255;
            uint32_t r = static_cast<uint32_t>(255 * v), g = static_cast<uint32_t>((x ^ y) & 0xFF),
                     b = static_cast<uint32_t>(255 * (1 - v));
            p.argb.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    return p;
}

Bytes scene() {
    Movie m;
    m.version = 8;
    m.frameRate = 24;
    LosslessOptions withAlpha;
    withAlpha.withAlpha = true;
    m.add(defineBitsLossless(1, photo(512, 384, false, 1), LosslessFormat::Rgb32));
    m.add(defineBitsLossless(2, photo(128, 128, true, 2), LosslessFormat::Rgb32, withAlpha));
    m.add(defineBitsLossless(3, photo(64, 64, false, 3), LosslessFormat::Palette));
    // Background: the 512 x 384 bitmap stretched over the 550 x 400 stage.
    ShapeBuilder bg(3);
    FillStyle f;
    f.type = 0x41;
    f.bitmapId = 1;
    f.matrix = Matrix::scale(20 * 550.0 / 512, 20 * 400.0 / 384);
    bg.rect(0, 0, 11000, 8000, bg.addFill(f));
    m.add(bg.defineShape(10));
    const uint8_t types[] = {0x40, 0x41, 0x42, 0x43};
    const int kShapes = 60;
    for (int i = 0; i < kShapes; ++i) {
        ShapeBuilder s(3);
        FillStyle b;
        b.type = types[i % 4];
        b.bitmapId = static_cast<uint16_t>(2 + i % 2);
        b.matrix = Matrix::scale(20 * 0.9, 20 * 0.9, -1200, -900);
        s.rect(-1200, -900, 1200, 900, s.addFill(b));
        m.add(s.defineShape(static_cast<uint16_t>(20 + i)));
    }
    Place p;
    p.depth = 1;
    p.characterId = 10;
    m.add(placeObject2(p));
    for (int f = 0; f < 24; ++f) {
        for (int i = 0; i < kShapes; ++i) {
            double a = i * 0.41 + f * 0.06, sc = 0.7 + 0.3 * std::sin(i + f * 0.2);
            Place q;
            q.depth = static_cast<uint16_t>(2 + i);
            q.characterId = f == 0 ? 20 + i : -1;
            q.move = f > 0;
            q.hasMatrix = true;
            q.matrix = {sc * std::cos(a),
                        sc * std::sin(a),
                        -sc * std::sin(a),
                        sc * std::cos(a),
                        (i * 1723) % 11000 + f * 15,
                        (i * 977) % 8000};
            m.add(placeObject2(q));
        }
        m.showFrame();
    }
    return m.build();
}

void BM_RenderBitmapScene(benchmark::State& state) {
    static const Bytes movie = scene();
    renderFrames(state, movie, static_cast<int>(state.range(3)));
}

}  // namespace

BENCHMARK(BM_RenderBitmapScene)
    ->Args({550, 400, static_cast<int>(flash::Quality::High), 1})
    ->Args({1920, 1080, static_cast<int>(flash::Quality::High), 1})
    ->Args({1920, 1080, static_cast<int>(flash::Quality::Low), 1})
    ->Args({1920, 1080, static_cast<int>(flash::Quality::High), 2})
    ->Unit(benchmark::kMillisecond);
