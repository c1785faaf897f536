// The timed loop of the scene benchmarks: each iteration plays one frame of
// the movie and renders it at the size and quality the arguments name
// (width, height, quality).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "flash/core/Player.h"

inline void renderFrames(benchmark::State& state, const std::vector<uint8_t>& movie) {
    int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    flash::Quality q = static_cast<flash::Quality>(state.range(2));
    flash::Player player;
    player.load(movie.data(), movie.size());
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    double layers = 0;  // effect layers drawn anew (not reused)
    for (auto _ : state) {
        player.tick();
        player.render(px.data(), w, h, w, player.viewMatrix(w, h), q);
        layers += player.layersDrawn();
        benchmark::DoNotOptimize(px.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["layers"] = layers / std::max<double>(1, static_cast<double>(state.iterations()));
}
