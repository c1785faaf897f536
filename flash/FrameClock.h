// Turns coarse timer events into frames at an exact average rate: the time
// since the last event accumulates and each whole frame period of it is one
// frame. After a long stall (a modal loop, a busy machine) only a few frames
// are caught up, the rest is dropped, so the movie never races.
#pragma once

namespace kv {

class FrameClock {
public:
    void setRate(double framesPerSecond) { period_ = framesPerSecond > 0 ? 1.0 / framesPerSecond : 1.0 / 12; }
    double period() const { return period_; }
    // Starts counting at `now` (seconds) with nothing due.
    void restart(double now) {
        last_ = now;
        owed_ = 0;
    }
    // Frames due at `now`; at most maxBurst.
    int advance(double now) {
        double dt = now - last_;
        last_ = now;
        if (dt < 0) dt = 0;  // a clock that went back owes nothing
        owed_ += dt;
        int frames = 0;
        while (owed_ >= period_ && frames < maxBurst) {
            owed_ -= period_;
            ++frames;
        }
        if (owed_ >= period_) owed_ = 0;
        return frames;
    }
    int maxBurst = 4;

private:
    double period_ = 1.0 / 12;
    double last_ = 0;
    double owed_ = 0;
};

}  // namespace kv
