// Times the playlist window with a 100,000-item list under Wine: the start
// that reads it, reading it again, scrolling to its end, and deleting 1,000
// selected items with the Delete key, near the end and at the top.
// Run by hand:  wine playlist_window_timing.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/playlist/FplSample.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"

namespace {

constexpr int kItems = 100000;

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

struct Times {
    std::vector<double> start, read, scroll, deleteEnd, deleteTop;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void DeleteSelected(HWND list, int position, int times) {
    for (int i = 0; i < times; ++i) {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    Times t;
    for (int r = 0; r < runs; ++r) {
        kv::test::AppHarness app;
        app.folder.write("Korvamelden.fpl", kvbench::LargeFplText(kItems));
        double t0 = Now();
        app.start();
        t.start.push_back(Now() - t0);
        kv::TPlayListForm& f = *kv::PlayListForm;
        HWND list = f.lstPlayList.handle();
        if (f.lstPlayList.count() != kItems) {
            std::printf("wrong count %d\n", f.lstPlayList.count());
            return 1;
        }
        t0 = Now();
        f.ReadPlayList(kv::CurrentPlayListFile);
        UpdateWindow(list);
        t.read.push_back(Now() - t0);
        t0 = Now();
        SendMessageA(list, LB_SETTOPINDEX, kItems - 1, 0);
        UpdateWindow(list);
        t.scroll.push_back(Now() - t0);
        t0 = Now();
        DeleteSelected(list, kItems - 2000, 1000);
        UpdateWindow(list);
        t.deleteEnd.push_back(Now() - t0);
        t0 = Now();
        DeleteSelected(list, 0, 1000);
        UpdateWindow(list);
        t.deleteTop.push_back(Now() - t0);
        if (kv::PlayListCount != kItems - 2000 || f.lstPlayList.count() != kItems - 2000) {
            std::printf("wrong count after deleting: %d\n", kv::PlayListCount);
            return 1;
        }
        app.stop();
    }
    std::printf("%d items, medians of %d runs:\n", kItems, runs);
    std::printf("  start (windows made, list read)   %8.1f ms\n", Median(t.start));
    std::printf("  read the list again               %8.1f ms\n", Median(t.read));
    std::printf("  scroll to the end                 %8.1f ms\n", Median(t.scroll));
    std::printf("  delete 1,000 selected near end    %8.1f ms\n", Median(t.deleteEnd));
    std::printf("  delete 1,000 selected at the top  %8.1f ms\n", Median(t.deleteTop));
    return 0;
}
