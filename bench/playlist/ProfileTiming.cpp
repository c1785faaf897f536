// Times reading a large ".fpl" file through the Windows profile functions
// (GetPrivateProfileStringA, key by key, as a list read through them must)
// beside the program's own ReadPlayList/SavePlayList, in the same process.
// Run by hand under Wine:  wine fpl_profile_timing.exe [items] [seconds]
// The profile read stops after `seconds` (default 60) and reports how far it got.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/playlist/FplSample.h"
#include "playlist/PlayListFile.h"
#include "playlist/PlayListState.h"

namespace {

class NullView : public kv::PlayListView {
public:
    void stopPlayback() override {}
    void clearItems() override {}
    void addItem(const std::string&) override {}
    int selectedIndex() const override { return -1; }
};

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int items = argc > 1 ? std::atoi(argv[1]) : 100000;
    double limit = argc > 2 ? std::atof(argv[2]) : 60.0;
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    std::string ours = std::string(tempDir) + "kv_timing_ours.fpl";
    std::string theirs = std::string(tempDir) + "kv_timing_profile.fpl";
    std::string text = kvbench::LargeFplText(items);
    for (const std::string& path : {ours, theirs}) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::printf("%d items, %zu bytes\n", items, text.size());

    NullView view;
    double t0 = Now();
    kv::ReadPlayList(view, ours);
    double t1 = Now();
    kv::SavePlayList(ours);
    double t2 = Now();
    std::printf("ReadPlayList (kv::IniFile):  %8.1f ms, %d items\n", (t1 - t0) * 1000, kv::PlayListCount);
    std::printf("SavePlayList (kv::IniFile):  %8.1f ms\n", (t2 - t1) * 1000);
    std::printf("together:                    %8.1f ms\n", (t2 - t0) * 1000);

    // The same read through the profile functions.
    t0 = Now();
    std::vector<char> keys(16u << 20);
    DWORD n = GetPrivateProfileStringA("PlayList", nullptr, "", keys.data(), static_cast<DWORD>(keys.size()),
                                       theirs.c_str());
    int keyCount = 0;
    for (DWORD i = 0; i < n; ++i) keyCount += keys[i] == '\0';
    int count = keyCount / 2;
    double tKeys = Now();
    char buf[2048];
    int done = 0;
    for (int i = 1; i <= count; ++i) {
        GetPrivateProfileStringA("PlayList", ("File" + std::to_string(i)).c_str(), "", buf, sizeof buf,
                                 theirs.c_str());
        GetPrivateProfileStringA("PlayList", ("Title" + std::to_string(i)).c_str(), "", buf, sizeof buf,
                                 theirs.c_str());
        done = i;
        if ((i & 255) == 0 && Now() - t0 > limit) break;
    }
    t1 = Now();
    std::printf("profile functions: key list %8.1f ms; %d of %d items in %8.1f ms%s\n", (tKeys - t0) * 1000,
                done, count, (t1 - t0) * 1000, done < count ? " (stopped at the time limit)" : "");
    DeleteFileA(ours.c_str());
    DeleteFileA(theirs.c_str());
    return 0;
}
