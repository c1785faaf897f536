// Timing of a favorites folder with 5,000 files: the scan, the menu entries
// and the organise window's list. Run by hand (not part of ctest):
//   wine build/win32/tests/favorites/favorites_bench.exe
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/AppState.h"
#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteMenu.h"
#include "favorites/TidyFavForm.h"
#include "options/FunctionUnit.h"
#include "playlist/LibraryScan.h"
#include "tests/app/ProgramFolder.h"
#include "ui/Menu.h"

using namespace kv;

namespace {

constexpr int kFiles = 5000;
constexpr int kRounds = 3;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

std::vector<double> cpuTimes;  // CPU time of the thread, besides the wall time

// Wall time of f in milliseconds; its CPU time goes to cpuTimes (the machine
// may be shared, so both are reported).
template <class F>
double timeMs(F&& f) {
    const double c0 = threadCpuMs();
    auto t0 = std::chrono::steady_clock::now();
    f();
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    cpuTimes.push_back(threadCpuMs() - c0);
    return wall;
}

class FavoriteBench : public ::testing::Test {
protected:
    static test::ProgramFolder* folder;
    static void SetUpTestSuite() {
        folder = new test::ProgramFolder;
        CreateDirectoryA(folder->file("Favorite").c_str(), nullptr);
        for (int i = 0; i < kFiles; ++i)
            folder->write("Favorite\\收藏" + std::to_string(i) + ".ffv",
                          "[Favorite]\r\nFile=C:\\m\\" + std::to_string(i) + ".swf\r\nViewTimes=3\r\n");
        FavoritePath = folder->file("Favorite\\");
    }
    static void TearDownTestSuite() { delete folder; }
};
test::ProgramFolder* FavoriteBench::folder = nullptr;

const MenuSpec kSpec[] = {
    {0, "mmiFavorite", "收藏(&A)"},
    {1, "mmiAddToFav", "添加到收藏夹..."},
    {1, "mmiTidyFav", "整理收藏夹..."},
};

TEST_F(FavoriteBench, ScanAndMenu) {
    std::vector<double> scan, menu, scanCpu, menuCpu;
    for (int r = 0; r < kRounds; ++r) {
        std::vector<std::string> files;
        scan.push_back(timeMs([&] { SearchFilesByExt(FavoritePath, true, {".ffv"}, files); }));
        scanCpu.push_back(cpuTimes.back());
        ASSERT_EQ(files.size(), static_cast<size_t>(kFiles));
        Menu m(kSpec, 3, true);
        menu.push_back(timeMs([&] {
            for (const auto& f : files)
                AppendFavoriteMenuEntry(m["mmiFavorite"], ExtractFileTitle(f), true, nullptr);
        }));
        menuCpu.push_back(cpuTimes.back());
        EXPECT_EQ(m["mmiFavorite"].count(), kFiles + 3);
    }
    std::printf(
        "5000 favorites: scan median %.1f ms (CPU %.1f ms), %d menu entries median %.1f ms (CPU %.1f ms)\n",
        median(scan), median(scanCpu), kFiles, median(menu), median(menuCpu));
}

TEST_F(FavoriteBench, TidyList) {
    std::vector<double> open, openCpu;
    for (int r = 0; r < kRounds; ++r) {
        TTidyFavForm form;
        open.push_back(timeMs([&] { ASSERT_TRUE(form.create()); }));
        openCpu.push_back(cpuTimes.back());
        EXPECT_EQ(form.lvFav().rowCount(), kFiles);
    }
    std::printf("5000 favorites: organise window with its list median %.1f ms (CPU %.1f ms)\n", median(open),
                median(openCpu));
}

}  // namespace
