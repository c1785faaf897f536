// Cost of a frame at 1920 x 1080 when one small object moves over a still
// scene: drawing only the rectangles that changed against drawing the
// whole frame, and a movie whose picture does not change at all.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "flash/core/Player.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/FilterWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace {

using namespace swfw;

// 550 x 400 stage: 150 still shapes (solid with strokes, linear and radial
// gradients), and on top a 24 px gradient ball (with a glow when `glow`)
// crossing the stage, one step a frame, for 48 frames.
Bytes stillSceneWithBall(bool glow) {
    Movie m;
    m.version = 8;
    m.frameRate = 24;
    m.setBackground(235, 240, 245);
    // Sizes, colours and places from a fixed sequence.
    uint32_t state = 2463534242u;
    auto next = [&state](int n) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state % static_cast<uint32_t>(n));
    };
    auto color = [&](int alpha) {
        const int rgb = next(1 << 24);
        return Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                    static_cast<uint8_t>(rgb), static_cast<uint8_t>(alpha)};
    };
    const int kStill = 150;
    for (int i = 0; i < kStill; ++i) {
        const int size = (30 + next(80)) * 20;
        const Matrix g = Matrix::scale(size / 32768.0, size / 32768.0);
        ShapeBuilder s(3);
        LineStyle line;
        line.width = static_cast<uint16_t>(20 + next(40));
        line.color = color(200);
        if (i % 3 == 0) {
            s.rect(-size / 2, -size / 3, size / 2, size / 3, s.addFill(FillStyle::solid(color(160))),
                   s.addLine(line));
        } else if (i % 3 == 1) {
            s.ellipse(0, 0, size / 2, size / 3,
                      s.addFill(FillStyle::linear(g, {{0, color(255)}, {255, color(120)}})));
        } else {
            s.ellipse(0, 0, size / 2, size / 2,
                      s.addFill(FillStyle::radial(g, {{0, color(255)}, {255, color(90)}})), s.addLine(line));
        }
        m.add(s.defineShape(static_cast<uint16_t>(i + 1)));
        Place p;
        p.depth = static_cast<uint16_t>(i + 1);
        p.characterId = i + 1;
        p.hasMatrix = true;
        const double a = i * 0.41;
        p.matrix = {std::cos(a), std::sin(a), -std::sin(a), std::cos(a), next(11000), next(8000)};
        m.add(placeObject2(p));
    }
    ShapeBuilder ball(3);
    ball.ellipse(0, 0, 240, 240,
                 ball.addFill(FillStyle::radial(Matrix::scale(480 / 32768.0, 480 / 32768.0),
                                                {{0, {255, 255, 255, 255}}, {255, {200, 40, 40, 255}}})));
    const uint16_t ballId = kStill + 1;
    m.add(ball.defineShape(ballId));
    for (int f = 0; f < 48; ++f) {
        Place p;
        p.depth = kStill + 1;
        p.characterId = f == 0 ? ballId : -1;
        p.move = f > 0;
        p.hasMatrix = true;
        p.matrix = Matrix::translate(1000 + f * 180, 4000 + 1500 * std::sin(f * 0.3));
        if (glow && f == 0) {
            FilterParams glow;
            glow.id = 2;
            glow.blurX = glow.blurY = 8;
            glow.color = {255, 220, 0, 255};
            glow.strength = 2;
            p.filters = filterList({glow});
            m.add(placeObject3(p));
        } else {
            m.add(placeObject2(p));
        }
        m.showFrame();
    }
    return m.build();
}

// Arguments: what moves (0 the ball, 1 the glowing ball, 2 nothing: the
// movie stands still) and how frames are drawn (0 whole, 1 what changed).
void BM_SmallObjectMoving(benchmark::State& state) {
    const int w = 1920, h = 1080;
    const int what = static_cast<int>(state.range(0));
    const bool changedOnly = state.range(1) != 0;
    const Bytes movie = stillSceneWithBall(what == 1);
    flash::Player player;
    player.load(movie.data(), movie.size());
    player.setRenderThreads(1);
    if (what == 2) player.stop();
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    player.renderChanged(px.data(), w, h, w);
    double drawn = 0;
    for (auto _ : state) {
        player.tick();
        if (changedOnly) {
            for (const flash::DirtyRect& r : player.renderChanged(px.data(), w, h, w))
                drawn += static_cast<double>(r.area());
        } else {
            player.render(px.data(), w, h, w);
            drawn += static_cast<double>(w) * h;
        }
        benchmark::DoNotOptimize(px.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["drawn_px"] = benchmark::Counter(drawn, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_SmallObjectMoving)
    ->ArgNames({"moving", "changed_only"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);
