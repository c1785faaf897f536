// System effects the program causes outside its own windows and files, behind
// one interface so tests can record them instead of changing the machine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kv {

class SystemServices {
public:
    virtual ~SystemServices() = default;
    // SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0)
    virtual void setScreenSaverActive(bool active) = 0;
    // SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, flags)
    virtual bool setWallpaper(const std::string& path, unsigned flags) = 0;
    virtual bool setPriorityClass(DWORD priorityClass) = 0;
    // ShellExecuteA(owner, verb, file, params, dir, show); true when it started.
    virtual bool shellExecute(HWND owner, const std::string& verb, const std::string& file,
                              const std::string& params, const std::string& dir, int show) = 0;
    // mciExecute(command)
    virtual bool mciExecute(const std::string& command) = 0;
    // waveOutSetVolume(0, volume)
    virtual void setWaveVolume(DWORD volume) = 0;
    // The Windows system folder (GetSystemDirectoryA), without a trailing backslash.
    virtual std::string systemFolder() = 0;
    virtual SYSTEMTIME localTime() = 0;
    // A uniform random integer in [0, range), range > 0.
    virtual int random(int range) = 0;
};

SystemServices& sys();
SystemServices* setSystemServices(SystemServices* services);

}  // namespace kv
