// The multi-picture view's grid of a long movie: 36 cells of a 3,000-frame
// movie on a 1280 x 1024 screen, each an exact seek and a render at the
// cell's size, as the view makes them with its own control.
#include <benchmark/benchmark.h>

#include <vector>

#include "flash/core/Player.h"
#include "playback/MultiPictureGrid.h"
#include "tools/swfwriter/MovingMovie.h"

namespace {

void BM_MultiPictureGrid(benchmark::State& state) {
    static const swfw::Bytes movie = swfw::movingMovie(3000);
    int pictures = static_cast<int>(state.range(0));
    for (auto _ : state) {
        flash::Player player;
        player.load(movie.data(), movie.size(), false);
        std::vector<kv::PictureCell> cells = kv::MultiPictureGrid(pictures, 1280, 1024, player.totalFrames());
        std::vector<std::vector<uint32_t>> grid;
        for (const kv::PictureCell& c : cells) {
            player.gotoFrame(c.frame);
            if (player.currentFrame() != c.frame) state.SkipWithError("seek missed its frame");
            grid.emplace_back(static_cast<size_t>(c.width) * c.height);
            player.render(grid.back().data(), c.width, c.height, c.width);
        }
        benchmark::DoNotOptimize(grid.data());
    }
}

}  // namespace

BENCHMARK(BM_MultiPictureGrid)->Arg(36)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
