// Times the batch conversion's file work the way the window runs it: 200
// movies of 1 MB, or one movie of the largest accepted size, in each mode.
// Builds natively and for Windows (run under Wine with a Z:\ path);
// convert_compare.sh runs it in turns with cp of the same files.
//   convert_timing --make <folder>         makes <folder>/in: the movies, their projectors, a stub
//   convert_timing <folder> <job>          one timed run; prints the seconds and the bytes written
// Jobs: batch-exe, batch-swf (200 files to projectors / to movies), big-exe, big-swf;
// batch-copy copies the 200 movies with the system's own file copy (CopyFileA
// on Windows, std::filesystem elsewhere): what the platform's file layer
// achieves per file, for comparison.
// The output folder <folder>/out is emptied before the timing starts.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "bench/flashfile/FillerMovie.h"
#include "flashfile/ConvertList.h"
#include "flashfile/Projector.h"
#include "tools/swfwriter/HeaderVariants.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBatchFiles = 200;
constexpr size_t kBatchMovie = 1 << 20;
constexpr size_t kStub = 300000;

std::string name(const fs::path& p) { return p.string(); }

int make(const fs::path& dir) {
    fs::path in = dir / "in";
    fs::create_directories(in / "batch");
    if (!swfw::writeFile(name(in / "stub.exe"), swfw::fakeStub(kStub))) return 1;
    for (int i = 0; i < kBatchFiles; ++i) {
        fs::path m = in / "batch" / ("m" + std::to_string(i) + ".swf");
        if (!kvbench::writeFillerMovie(name(m), kBatchMovie)) return 1;
        kv::SwfToExe(name(m), name(fs::path(m).replace_extension(".exe")), name(in / "stub.exe"));
    }
    if (!kvbench::writeFillerMovie(name(in / "big.swf"), kv::kMaxConvertedMovie)) return 1;
    kv::SwfToExe(name(in / "big.swf"), name(in / "big.exe"), name(in / "stub.exe"));
    return 0;
}

// The system's own copy of the 200 movies; prints like run().
int systemCopy(const fs::path& in, const fs::path& out) {
    uint64_t written = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kBatchFiles; ++i) {
        const std::string m = "m" + std::to_string(i) + ".swf";
#ifdef _WIN32
        if (!CopyFileA(name(in / "batch" / m).c_str(), name(out / m).c_str(), FALSE)) return 1;
#else
        fs::copy_file(in / "batch" / m, out / m, fs::copy_options::overwrite_existing);
#endif
        written += kBatchMovie;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.6f %llu\n", seconds, static_cast<unsigned long long>(written));
    return 0;
}

int run(const fs::path& dir, const std::string& job) {
    const fs::path in = dir / "in", out = dir / "out";
    fs::remove_all(out);
    fs::create_directories(out);
    if (job == "batch-copy") return systemCopy(in, out);
    const bool toExe = job == "batch-exe" || job == "big-exe";
    const int mode = toExe ? kv::kSwfToExe : kv::kExeToSwf;
    kv::ConvertList list;
    if (job == "batch-exe" || job == "batch-swf") {
        for (int i = 0; i < kBatchFiles; ++i) {
            kv::ConvertRow r;
            r.source = name(in / "batch" / ("m" + std::to_string(i) + kv::ConvertSourceExt(mode)));
            r.target = name(out / ("m" + std::to_string(i) + kv::ConvertTargetExt(mode)));
            list.rows.push_back(r);
        }
    } else if (job == "big-exe" || job == "big-swf") {
        kv::ConvertRow r;
        r.source = name(in / (std::string("big") + kv::ConvertSourceExt(mode)));
        r.target = name(out / (std::string("big") + kv::ConvertTargetExt(mode)));
        list.rows.push_back(r);
    } else {
        std::fprintf(stderr, "unknown job %s\n", job.c_str());
        return 2;
    }
    const std::string stub = name(in / "stub.exe");
    uint64_t written = 0;
    kv::ConvertRunHooks hooks;
    hooks.convert = [&](const kv::ConvertRow& row, kv::CopyWatch& w) {
        bool ok = kv::ConvertRowFile(row, mode, stub, w);
        written += w.written;
        return ok;
    };
    hooks.progress = [](double) {};  // the window repaints here
    auto t0 = std::chrono::steady_clock::now();
    bool ok = kv::RunConversion(list, hooks);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok) {
        std::fprintf(stderr, "conversion failed\n");
        return 1;
    }
    std::printf("%.6f %llu\n", seconds, static_cast<unsigned long long>(written));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--make") return make(argv[2]);
        if (argc == 3) return run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: convert_timing --make <folder> | convert_timing <folder> <job>\n");
    return 2;
}
