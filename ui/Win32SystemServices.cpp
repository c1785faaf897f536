// The real system services: screen saver, wallpaper, priority, shell, MCI,
// wave volume, clock and the random generator.
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <random>

#include "ui/SystemServices.h"
#include "ui/WaveVolume.h"

// winmm exports mciExecute but the MinGW headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI mciExecute(LPCSTR command);

namespace kv {

namespace {

unsigned ClockSeed() {
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    FILETIME f{};
    GetSystemTimeAsFileTime(&f);
    return static_cast<unsigned>(t.LowPart ^ f.dwLowDateTime ^ GetCurrentProcessId());
}

class Win32SystemServices : public SystemServices {
public:
    void setScreenSaverActive(bool active) override {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, 0);
    }
    bool setWallpaper(const std::string& path, unsigned flags) override {
        return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), flags) !=
               FALSE;
    }
    bool setPriorityClass(DWORD priorityClass) override {
        return SetPriorityClass(GetCurrentProcess(), priorityClass) != FALSE;
    }
    bool shellExecute(HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                      const std::string& dir, int show) override {
        auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(
            owner, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
            params.empty() ? nullptr : params.c_str(), dir.empty() ? nullptr : dir.c_str(), show));
        return r > 32;
    }
    bool mciExecute(const std::string& command) override { return ::mciExecute(command.c_str()) != FALSE; }
    void setWaveVolume(DWORD volume) override {
        waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0), volume);
        CurrentWaveVolume = volume;
    }
    std::string systemFolder() override {
        char buf[MAX_PATH] = {};
        UINT n = GetSystemDirectoryA(buf, MAX_PATH);
        return std::string(buf, n < MAX_PATH ? n : 0);
    }
    SYSTEMTIME localTime() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return t;
    }
    int random(int range) override {
        if (range <= 0) return 0;
        std::uniform_int_distribution<int> d(0, range - 1);
        return d(engine_);
    }

private:
    // Seeded from the clock: every run draws another order.
    std::mt19937 engine_{ClockSeed()};
};

Win32SystemServices& realSys() {
    static Win32SystemServices s;
    return s;
}
SystemServices* g_sys = nullptr;

}  // namespace

SystemServices& sys() { return g_sys ? *g_sys : realSys(); }

SystemServices* setSystemServices(SystemServices* services) {
    SystemServices* old = g_sys ? g_sys : &realSys();
    g_sys = services;
    return old;
}

}  // namespace kv
