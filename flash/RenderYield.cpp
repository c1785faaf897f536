#include "flash/RenderYield.h"

namespace kv {

double RenderYield::nowMs() {
    static const double msPerCount = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1000.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * msPerCount;
}

void RenderYield::start() {
    start_ = nowMs();
    lastAsked_ = start_;
}

bool RenderYield::due() {
    double now = nowMs();
    if (now - start_ < graceMs_) return false;
    // The queue is asked at most once a millisecond: the question costs more
    // than drawing a few small shapes.
    if (now - lastAsked_ < 1 && lastAsked_ > start_) return false;
    lastAsked_ = now;
    // The high word: what is in the queue now, seen or not.
    return HIWORD(GetQueueStatus(kWaitingKinds)) != 0;
}

}  // namespace kv
