// Recording system services for tests: nothing on the machine changes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/SystemServices.h"

namespace kv::test {

class FakeSystemServices : public SystemServices {
public:
    FakeSystemServices() { previous_ = setSystemServices(this); }
    ~FakeSystemServices() override { setSystemServices(previous_ == this ? nullptr : previous_); }

    std::vector<bool> screenSaverCalls;
    std::vector<std::string> wallpapers;
    std::vector<DWORD> priorities;
    struct Exec {
        std::string verb, file, params, dir;
        int show;
    };
    std::vector<Exec> executed;
    std::vector<std::string> mciCommands;
    std::vector<DWORD> volumes;
    SYSTEMTIME now{2004, 5, 1, 3, 9, 5, 7, 0};  // Monday 3 May 2004, 09:05:07
    std::deque<int> randoms;                   // scripted random results (taken modulo range)
    std::string system = "C:\\windows\\system32";

    void setScreenSaverActive(bool active) override { screenSaverCalls.push_back(active); }
    bool setWallpaper(const std::string& path, unsigned) override {
        wallpapers.push_back(path);
        return true;
    }
    bool setPriorityClass(DWORD c) override {
        priorities.push_back(c);
        return true;
    }
    bool shellExecute(HWND, const std::string& verb, const std::string& file, const std::string& params,
                      const std::string& dir, int show) override {
        executed.push_back({verb, file, params, dir, show});
        return true;
    }
    bool mciExecute(const std::string& command) override {
        mciCommands.push_back(command);
        return true;
    }
    void setWaveVolume(DWORD v) override { volumes.push_back(v); }
    std::string systemFolder() override { return system; }
    SYSTEMTIME localTime() override { return now; }
    int random(int range) override {
        if (range <= 0) return 0;
        if (randoms.empty()) return 0;
        int r = randoms.front();
        randoms.pop_front();
        return ((r % range) + range) % range;
    }

private:
    SystemServices* previous_ = nullptr;
};

}  // namespace kv::test
