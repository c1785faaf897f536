// Reading and saving a 100,000-item playlist through the current-list operations.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/playlist/FplSample.h"
#include "playlist/PlayListFile.h"
#include "playlist/PlayListState.h"

namespace {

constexpr int kItems = 100000;

class NullView : public kv::PlayListView {
public:
    void stopPlayback() override {}
    void clearItems() override { count = 0; }
    void addItem(const std::string&) override { ++count; }
    int selectedIndex() const override { return -1; }
    int count = 0;
};

std::string SampleFile(const char* name) {
    std::string path = std::string("/tmp/kvbench_") + name + ".fpl";
    std::string text = kvbench::LargeFplText(kItems);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

void BM_ReadPlayList(benchmark::State& state) {
    std::string path = SampleFile("read");
    NullView view;
    for (auto _ : state) {
        kv::ReadPlayList(view, path);
        benchmark::DoNotOptimize(kv::PlayListCount);
    }
    if (kv::PlayListCount != kItems) state.SkipWithError("wrong item count");
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadPlayList)->Unit(benchmark::kMillisecond);

void BM_SavePlayList(benchmark::State& state) {
    std::string path = SampleFile("save");
    NullView view;
    kv::ReadPlayList(view, path);
    for (auto _ : state) kv::SavePlayList(path);
    std::remove(path.c_str());
}
BENCHMARK(BM_SavePlayList)->Unit(benchmark::kMillisecond);

// The goal: both together well under 0.3 s.
void BM_ReadThenSavePlayList(benchmark::State& state) {
    std::string path = SampleFile("both");
    NullView view;
    for (auto _ : state) {
        kv::ReadPlayList(view, path);
        kv::SavePlayList(path);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadThenSavePlayList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
