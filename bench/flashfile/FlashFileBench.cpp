// Header reading against the cheapest possible look at a file, and projector
// conversion against cp, on files made here in a temporary folder.
//   flashfile_bench --benchmark_filter=Header   10,000 movies
//   flashfile_bench --benchmark_filter=Convert  a 200 MB movie; 200 movies of 1 MB
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/flashfile/FillerMovie.h"
#include "flashfile/ConvertList.h"
#include "flashfile/FlashFileAttr.h"
#include "flashfile/Projector.h"
#include "tools/swfwriter/HeaderVariants.h"

namespace fs = std::filesystem;

namespace {

const fs::path& benchFolder() {
    static const fs::path dir = [] {
        fs::path p = fs::temp_directory_path() / ("kvff_bench_" + std::to_string(getpid()));
        fs::create_directories(p);
        std::atexit([] { fs::remove_all(benchFolder()); });
        return p;
    }();
    return dir;
}

constexpr int kFileCount = 10000;

// kFileCount files of one kind: "fws", "cws" (2 KB movies) or "exe" (projectors of them).
const std::vector<std::string>& headerFiles(const std::string& kind) {
    static std::vector<std::string> lists[3];
    std::vector<std::string>& list = lists[kind == "fws" ? 0 : kind == "cws" ? 1 : 2];
    if (!list.empty()) return list;
    fs::create_directories(benchFolder() / kind);
    for (int i = 0; i < kFileCount; ++i) {
        swfw::HeaderSpec s;
        s.signature = kind == "cws" ? 'C' : 'F';
        s.frameCount = i;
        s.padding = 2000;
        swfw::Bytes movie = swfw::headerMovie(s);
        bool exe = kind == "exe";
        std::string path =
            (benchFolder() / kind / ("m" + std::to_string(i) + (exe ? ".exe" : ".swf"))).string();
        swfw::writeFile(path, exe ? swfw::projector(swfw::fakeStub(30000), movie) : movie);
        list.push_back(path);
    }
    return list;
}

void BM_HeaderBareOpenRead64(benchmark::State& state) {
    const auto& files = headerFiles("fws");
    char buf[64];
    for (auto _ : state) {
        for (const std::string& f : files) {
            int fd = open(f.c_str(), O_RDONLY);
            benchmark::DoNotOptimize(read(fd, buf, sizeof buf));
            close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

void headerRead(benchmark::State& state, const char* kind) {
    const auto& files = headerFiles(kind);
    for (auto _ : state) {
        for (const std::string& f : files) {
            kv::TFlashFileAttr attr;
            kv::GetFlashFileAttr(f, attr);
            benchmark::DoNotOptimize(attr.FrameCount);
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

void BM_HeaderGetFlashFileAttrPlain(benchmark::State& state) { headerRead(state, "fws"); }
void BM_HeaderGetFlashFileAttrCompressed(benchmark::State& state) { headerRead(state, "cws"); }
void BM_HeaderGetFlashFileAttrProjector(benchmark::State& state) { headerRead(state, "exe"); }

constexpr size_t kBigMovie = 200u * 1024 * 1024;

struct BigFiles {
    std::string movie, stub, projector, out;
};

const BigFiles& bigFiles() {
    static const BigFiles files = [] {
        BigFiles b;
        b.movie = (benchFolder() / "big.swf").string();
        b.stub = (benchFolder() / "SAKorvamelden.exe").string();
        b.projector = (benchFolder() / "big.exe").string();
        b.out = (benchFolder() / "out.bin").string();
        swfw::writeFile(b.stub, swfw::fakeStub(300000));
        kvbench::writeFillerMovie(b.movie, kBigMovie);
        kv::SwfToExe(b.movie, b.projector, b.stub);
        return b;
    }();
    return files;
}

void BM_ConvertSwfToExe200MB(benchmark::State& state) {
    const BigFiles& b = bigFiles();
    for (auto _ : state) kv::SwfToExe(b.movie, b.out, b.stub);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kBigMovie + 300000 + 8));
}

void BM_ConvertExeToSwf200MB(benchmark::State& state) {
    const BigFiles& b = bigFiles();
    for (auto _ : state) kv::ExeToSwf(b.projector, b.out);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kBigMovie));
}

void BM_ConvertCpCommand200MB(benchmark::State& state) {
    const BigFiles& b = bigFiles();
    const std::string cmd = "cp '" + b.movie + "' '" + b.out + "'";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kBigMovie));
}

// Flushes and removes the target outside the timing, so every copy starts
// alike: no target, no dirty pages of an earlier round waiting to be written.
void settle(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        fdatasync(fd);
        close(fd);
    }
    unlink(path.c_str());
}

// cp and both conversions in turns, so that load from elsewhere falls on all
// three alike; counters give each one's throughput relative to cp's.
void BM_ConvertInTurnsWithCp(benchmark::State& state) {
    const BigFiles& b = bigFiles();
    const std::string cmd = "cp '" + b.movie + "' '" + b.out + "'";
    using Clock = std::chrono::steady_clock;
    double cpSec = 0, toExeSec = 0, toSwfSec = 0;
    auto timed = [&](double& total, auto&& work) {
        settle(b.out);
        auto t0 = Clock::now();
        work();
        total += std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (auto _ : state) {
        timed(cpSec, [&] {
            if (std::system(cmd.c_str()) != 0) state.SkipWithError("cp failed");
        });
        timed(toExeSec, [&] { kv::SwfToExe(b.movie, b.out, b.stub); });
        timed(toSwfSec, [&] { kv::ExeToSwf(b.projector, b.out); });
    }
    settle(b.out);
    // Throughput per byte of movie; SwfToExe also writes the 300 KB stub.
    state.counters["cp_MBps"] = kBigMovie / 1e6 * state.iterations() / cpSec;
    state.counters["SwfToExe_vs_cp"] = cpSec / toExeSec * (kBigMovie + 300008.0) / kBigMovie;
    state.counters["ExeToSwf_vs_cp"] = cpSec / toSwfSec;
}

// 200 movies of 1 MB and their projectors, for the batch run.
struct BatchFiles {
    std::string stub;
    std::vector<std::string> movies, projectors;
    fs::path outDir;
};

const BatchFiles& batchFiles() {
    static BatchFiles b = [] {
        BatchFiles f;
        fs::path dir = benchFolder() / "batch";
        fs::create_directories(dir / "in");
        f.outDir = dir / "out";
        f.stub = (dir / "stub.exe").string();
        swfw::writeFile(f.stub, swfw::fakeStub(300000));
        swfw::HeaderSpec s;
        s.padding = (1 << 20) - 100;
        swfw::Bytes movie = swfw::headerMovie(s);
        swfw::Bytes projector = swfw::projector(swfw::fakeStub(300000), movie);
        for (int i = 0; i < 200; ++i) {
            std::string n = (dir / "in" / ("m" + std::to_string(i))).string();
            swfw::writeFile(n + ".swf", movie);
            swfw::writeFile(n + ".exe", projector);
            f.movies.push_back(n + ".swf");
            f.projectors.push_back(n + ".exe");
        }
        return f;
    }();
    return b;
}

// The window's run over 200 ticked rows in each mode against one cp of the
// same 200 files, in turns; throughput per byte written relative to cp's.
void BM_ConvertBatch200InTurnsWithCp(benchmark::State& state) {
    const BatchFiles& b = batchFiles();
    using Clock = std::chrono::steady_clock;
    double cpSec = 0, toExeSec = 0, toSwfSec = 0;
    auto fresh = [&] {
        fs::remove_all(b.outDir);
        fs::create_directories(b.outDir);
        sync();
    };
    auto run = [&](const std::vector<std::string>& sources, int mode) {
        kv::ConvertList list;
        for (const auto& s : sources) {
            kv::ConvertRow r;
            r.source = s;
            r.target = (b.outDir / fs::path(kv::ConvertTargetFor(s, "", mode)).filename()).string();
            list.rows.push_back(r);
        }
        kv::ConvertRunHooks h;
        h.convert = [&](const kv::ConvertRow& row, kv::CopyWatch& w) {
            return kv::ConvertRowFile(row, mode, b.stub, w);
        };
        h.progress = [](double) {};
        if (!kv::RunConversion(list, h)) state.SkipWithError("conversion failed");
    };
    std::string cmd = "cp";
    for (const auto& m : b.movies) cmd += " '" + m + "'";
    cmd += " '" + b.outDir.string() + "/'";
    auto timed = [&](double& total, auto&& work) {
        fresh();
        auto t0 = Clock::now();
        work();
        total += std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (auto _ : state) {
        timed(cpSec, [&] {
            if (std::system(cmd.c_str()) != 0) state.SkipWithError("cp failed");
        });
        timed(toExeSec, [&] { run(b.movies, kv::kSwfToExe); });
        timed(toSwfSec, [&] { run(b.projectors, kv::kExeToSwf); });
    }
    fresh();
    const double movieBytes = 1 << 20;
    state.counters["cp_MBps"] = 200 * movieBytes / 1e6 * state.iterations() / cpSec;
    state.counters["SwfToExe_vs_cp"] = cpSec / toExeSec * (movieBytes + 300008.0) / movieBytes;
    state.counters["ExeToSwf_vs_cp"] = cpSec / toSwfSec;
}

}  // namespace

// The machine is shared: with --benchmark_repetitions=N the "min" row is the
// least disturbed run and the fairest figure to compare.
double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

#define KV_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", minimum)
KV_BENCH(BM_HeaderBareOpenRead64);
KV_BENCH(BM_HeaderGetFlashFileAttrPlain);
KV_BENCH(BM_HeaderGetFlashFileAttrCompressed);
KV_BENCH(BM_HeaderGetFlashFileAttrProjector);
KV_BENCH(BM_ConvertCpCommand200MB)->Iterations(3)->UseRealTime();
KV_BENCH(BM_ConvertSwfToExe200MB)->Iterations(3)->UseRealTime();
KV_BENCH(BM_ConvertExeToSwf200MB)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ConvertInTurnsWithCp)->Unit(benchmark::kMillisecond)->Iterations(7)->UseRealTime();
BENCHMARK(BM_ConvertBatch200InTurnsWithCp)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

BENCHMARK_MAIN();
