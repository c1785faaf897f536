#include "ui/Timer.h"

#include <map>

namespace kv {

namespace {
std::map<UINT_PTR, Timer*>& timers() {
    static std::map<UINT_PTR, Timer*> m;
    return m;
}
}  // namespace

Timer::~Timer() {
    enabled_ = false;
    restart();
}

void Timer::setInterval(UINT ms) {
    if (ms == interval_) return;
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    restart();
}

void Timer::restart() {
    if (id_) {
        KillTimer(nullptr, id_);
        timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ > 0) {
        id_ = SetTimer(nullptr, 0, interval_, &Timer::timerProc);
        if (id_) timers()[id_] = this;
    }
}

void CALLBACK Timer::timerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = timers().find(id);
    if (it != timers().end()) it->second->fire();
}

}  // namespace kv
