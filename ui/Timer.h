// A timer that calls its handler on the GUI thread at a fixed interval.
#pragma once

#include <windows.h>

#include <functional>

namespace kv {

class Timer {
public:
    Timer() = default;
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setInterval(UINT ms);
    UINT interval() const { return interval_; }
    void setEnabled(bool e);
    bool enabled() const { return enabled_; }
    std::function<void()> onTimer;
    // Runs the handler now, as a tick would (tests use it).
    void fire() {
        if (onTimer) onTimer();
    }

private:
    void restart();
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT interval_ = 1000;
    bool enabled_ = false;
    UINT_PTR id_ = 0;
};

}  // namespace kv
