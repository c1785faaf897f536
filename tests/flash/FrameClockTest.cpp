// The control's frame clock driven by a simulated timer: a minute of play
// at common rates, with the timer's interval rounded to the system's grain
// and every event late by a random few milliseconds, ends within one frame
// of the expected count, and frames come one per event, evenly spaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "flash/FrameClock.h"

using kv::FrameClock;

namespace {

struct Played {
    int frames = 0;
    int mostPerEvent = 0;
    double shortestGap = 1e9, longestGap = 0;  // between frames, in periods
};

// Plays `seconds` at `rate` with timer events every `interval` seconds
// (rounded up to `grain`), each up to `lateness` seconds late.
Played play(double rate, double seconds, double interval, double grain, double lateness, uint32_t seed) {
    FrameClock clock;
    clock.setRate(rate);
    const double start = 1000.0;
    clock.restart(start);
    if (grain > 0) interval = std::ceil(interval / grain - 1e-9) * grain;
    Played run;
    double lastFrame = -1;
    for (double due = start + interval; due <= start + seconds; due += interval) {
        seed = seed * 1103515245u + 12345u;
        const double now = std::min(start + seconds, due + lateness * ((seed >> 8) % 1000) / 1000.0);
        const int n = clock.advance(now);
        run.frames += n;
        run.mostPerEvent = std::max(run.mostPerEvent, n);
        if (n > 0) {
            if (lastFrame >= 0) {
                const double gap = (now - lastFrame) * rate;
                run.shortestGap = std::min(run.shortestGap, gap);
                run.longestGap = std::max(run.longestGap, gap);
            }
            lastFrame = now;
        }
    }
    clock.advance(start + seconds);
    return run;
}

TEST(FrameClockPacing, AMinuteAtCommonRatesEndsWithinOneFrame) {
    const double rates[] = {12, 24, 30, 60};
    for (double rate : rates) {
        // The control asks for two events a frame, at least 10 ms apart;
        // the system's timer grain is 15.625 ms at worst, 1 ms at best.
        const double interval = std::max(0.010, std::min(0.5 / rate, 0.1));
        for (double grain : {0.0, 0.001, 0.015625}) {
            for (uint32_t seed = 1; seed <= 3; ++seed) {
                const Played r = play(rate, 60.0, interval, grain, 0.004, seed);
                SCOPED_TRACE(testing::Message() << rate << " fps, grain " << grain << ", seed " << seed);
                EXPECT_NEAR(r.frames, rate * 60, 1);
                // No bunching: one frame per event, and frames spaced by
                // one period give or take the event spacing.
                EXPECT_EQ(r.mostPerEvent, 1);
                const double step =
                    std::ceil(interval / std::max(grain, 1e-9) - 1e-9) * std::max(grain, 1e-9);
                const double slack = (std::max(interval, step) + 0.004) * rate;
                EXPECT_GE(r.shortestGap, 1 - slack);
                EXPECT_LE(r.longestGap, 1 + slack);
            }
        }
    }
}

// Events coarser than a frame must deliver several frames at once, yet the
// count stays exact; a stall drops frames instead of racing to catch up.
TEST(FrameClockPacing, CoarseEventsAndStallsKeepTheCount) {
    const Played coarse = play(60, 60.0, 0.05, 0, 0.0, 1);
    EXPECT_NEAR(coarse.frames, 3600, 1);
    EXPECT_LE(coarse.mostPerEvent, 4);

    FrameClock clock;
    clock.setRate(30);
    clock.restart(0);
    int frames = 0;
    for (int ms = 10; ms <= 10000; ms += 10) frames += clock.advance(ms / 1000.0);
    EXPECT_NEAR(frames, 300, 1);
    const int before = frames;
    frames += clock.advance(15.0);  // five seconds without events
    EXPECT_EQ(frames - before, clock.maxBurst);
    for (int ms = 15010; ms <= 20000; ms += 10) frames += clock.advance(ms / 1000.0);
    EXPECT_NEAR(frames - before, clock.maxBurst + 150, 1);
}

}  // namespace
