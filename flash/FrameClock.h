// Turns coarse timer events into frames at an exact average rate: the time
// since the last event accumulates and each whole frame period of it is one
// frame. After a long stall (a modal loop, a busy machine) only a few frames
// are caught up, the rest is dropped, so the movie never races.
#pragma once

#include <algorithm>

namespace kv {

class FrameClock {
public:
    void setRate(double framesPerSecond) { period_ = framesPerSecond > 0 ? 1.0 / framesPerSecond : 1.0 / 12; }
    double period() const { return period_; }
    // Starts counting at `now` (seconds) with nothing due.
    void restart(double now) {
        last_ = now;
        owed_ = 0;
        spacing_ = 0;
    }
    // Frames due at `now`; at most maxBurst. While events come more often
    // than frames, one frame per event: a late event leaves the frame it
    // also owes to the next one instead of showing two at once.
    int advance(double now) {
        double dt = now - last_;
        last_ = now;
        if (dt < 0) dt = 0;  // a clock that went back owes nothing
        owed_ += dt;
        spacing_ += (std::min(dt, 1.0) - spacing_) / 4;  // the events' usual spacing
        // Fine events show one frame each unless three are owed.
        const int most = spacing_ < period_ ? (owed_ >= 3 * period_ ? 2 : 1) : maxBurst;
        int frames = 0;
        while (owed_ >= period_ && frames < most) {
            owed_ -= period_;
            ++frames;
        }
        // More than a burst behind: the rest is dropped.
        if (owed_ >= maxBurst * period_) owed_ = 0;
        return frames;
    }
    int maxBurst = 4;

private:
    double period_ = 1.0 / 12;
    double last_ = 0;
    double owed_ = 0;
    double spacing_ = 0;
};

}  // namespace kv
