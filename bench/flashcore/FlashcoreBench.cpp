// Time per frame of a typical vector scene (200 shapes with gradients,
// strokes and alpha) against clearing the same buffer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "bench/flashcore/CairoPeer.h"
#include "bench/flashcore/RenderLoop.h"
#include "flash/core/Player.h"
#include "flash/core/raster/Canvas.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace {

using namespace swfw;

// 550 x 400 stage; 200 shapes of 20 to 70 px: a third solid with alpha and
// a stroke, a third linear-gradient ellipses, a third radial-gradient
// circles with a stroke; each placed rotated and scaled; 24 frames in which
// every shape moves.
Bytes scene() {
    Movie m;
    m.version = 8;
    m.frameRate = 24;
    m.setBackground(240, 240, 230);
    unsigned seed = 7;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
    };
    const int kShapes = 200;
    for (int i = 0; i < kShapes; ++i) {
        int size = (20 + rnd(50)) * 20;
        Rgba c1{static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(rnd(256)),
                static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(120 + rnd(136))};
        Rgba c2{static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(rnd(256)),
                static_cast<uint8_t>(rnd(256)), 255};
        ShapeBuilder s(3);
        LineStyle line;
        line.width = static_cast<uint16_t>(20 + rnd(60));
        line.color = {0, 0, 0, static_cast<uint8_t>(100 + rnd(156))};
        switch (i % 3) {
            case 0:
                s.rect(-size / 2, -size / 3, size / 2, size / 3, s.addFill(FillStyle::solid(c1)),
                       s.addLine(line));
                break;
            case 1:
                s.ellipse(0, 0, size / 2, size / 3,
                          s.addFill(FillStyle::linear(Matrix::scale(size / 32768.0, size / 32768.0),
                                                      {{0, c1}, {255, c2}})));
                break;
            default:
                s.ellipse(0, 0, size / 2, size / 2,
                          s.addFill(FillStyle::radial(Matrix::scale(size / 32768.0, size / 32768.0),
                                                      {{0, c2}, {128, c1}, {255, {c2.r, c2.g, c2.b, 80}}})),
                          s.addLine(line));
                break;
        }
        m.add(s.defineShape(static_cast<uint16_t>(i + 1)));
    }
    std::vector<std::pair<int, int>> pos;
    for (int i = 0; i < kShapes; ++i) pos.emplace_back(rnd(11000), rnd(8000));
    for (int f = 0; f < 24; ++f) {
        for (int i = 0; i < kShapes; ++i) {
            double a = (i * 0.37 + f * 0.05), sc = 0.8 + 0.4 * std::sin(i + f * 0.2);
            Place p;
            p.depth = static_cast<uint16_t>(i + 1);
            p.characterId = f == 0 ? i + 1 : -1;
            p.move = f > 0;
            p.hasMatrix = true;
            p.matrix = {sc * std::cos(a), sc * std::sin(a),      -sc * std::sin(a),
                        sc * std::cos(a), pos[i].first + f * 20, pos[i].second};
            m.add(placeObject2(p));
        }
        m.showFrame();
    }
    return m.build();
}

const Bytes& movie() {
    static Bytes b = scene();
    return b;
}

void BM_ClearBuffer(benchmark::State& state) {
    int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (auto _ : state) {
        std::fill(px.begin(), px.end(), 0xFFF0F0E6u);
        benchmark::DoNotOptimize(px.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RenderScene(benchmark::State& state) { renderFrames(state, movie()); }

// The same frames drawn in bands by several threads (wall time: the CPU
// time counted is the calling thread's only).
void BM_RenderSceneThreads(benchmark::State& state) {
    renderFrames(state, movie(), static_cast<int>(state.range(3)));
}

// The blender alone: one row of translucent colour at full coverage.
void BM_BlendRow(benchmark::State& state) {
    const int n = 1920;
    std::vector<uint32_t> dst(n, 0xFFF0F0E6u), colors(n, 0xC0804020u);
    std::vector<uint8_t> covers(n, 255);
    for (auto _ : state) {
        if (state.range(0)) {
            flash::blendColorSpan(dst.data(), n, colors.data(), covers.data());
        } else {
            flash::blendSolidSpan(dst.data(), n, 0xC0804020u, covers.data());
        }
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

double threadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double psnr(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    double se = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int s = 0; s < 24; s += 8) {
            const double d =
                static_cast<double>((a[i] >> s) & 0xFF) - static_cast<double>((b[i] >> s) & 0xFF);
            se += d * d;
        }
    return se == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (se / (3.0 * a.size())));
}

// Our rasterizer (one thread) and cairo drawing the same frames of the
// vector scene, each timed in CPU time of this thread; the counters give
// both times per frame, cairo's time over ours, and the lowest PSNR of the
// two pictures over the frames drawn.
void BM_CairoPeer(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    flash::Player player;
    player.load(movie().data(), movie().size());
    player.setRenderThreads(1);
    std::vector<uint32_t> ours(static_cast<size_t>(w) * h), peer(ours.size());
    double ourMs = 0, cairoMs = 0, lowest = 1e9;
    for (auto _ : state) {
        player.tick();
        const double t0 = threadCpuMs();
        player.render(ours.data(), w, h, w, player.viewMatrix(w, h), flash::Quality::High);
        const double t1 = threadCpuMs();
        cairopeer::drawFrame(player, peer.data(), w, h);
        const double t2 = threadCpuMs();
        ourMs += t1 - t0;
        cairoMs += t2 - t1;
        state.PauseTiming();
        lowest = std::min(lowest, psnr(ours, peer));
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = ourMs / n;
    state.counters["cairo_ms"] = cairoMs / n;
    state.counters["cairo_over_ours"] = cairoMs / ourMs;
    state.counters["psnr_db"] = lowest;
}

const int kHigh = static_cast<int>(flash::Quality::High);
const int kLow = static_cast<int>(flash::Quality::Low);

}  // namespace

BENCHMARK(BM_ClearBuffer)->Args({550, 400})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderScene)
    ->Args({550, 400, kHigh})
    ->Args({550, 400, kLow})
    ->Args({1920, 1080, kHigh})
    ->Args({1920, 1080, kLow})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSceneThreads)
    ->Args({1920, 1080, kHigh, 1})
    ->Args({1920, 1080, kHigh, 2})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CairoPeer)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

BENCHMARK(BM_BlendRow)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
