// Frames drawn in bands by several threads equal the frame drawn by one
// thread, pixel for pixel, over many generated frames.
#include <gtest/gtest.h>

#include <set>

#include "flash/core/Player.h"
#include "tests/flashcore/RandomMovie.h"
#include "tests/flashcore/TestSupport.h"

using namespace fctest;

namespace {

struct Size {
    int width, height;
    flash::Quality quality;
};

// Index of the first pixel that differs, -1 when none does.
long firstDifference(const Image& a, const Image& b) {
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (a.pixels[i] != b.pixels[i]) return static_cast<long>(i);
    return -1;
}

TEST(BandTest, ThreadCountDoesNotChangeAPixel) {
    const Size sizes[] = {{400, 300, flash::Quality::High},
                          {331, 517, flash::Quality::High},
                          {640, 97, flash::Quality::Low},
                          {257, 1000, flash::Quality::Medium}};
    const int threadCounts[] = {2, 3, 5};
    int frames = 0;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const swfw::Bytes movie = RandomMovie(seed).build(14, 12);
        flash::Player one;
        std::vector<std::unique_ptr<flash::Player>> many;
        ASSERT_TRUE(load(one, movie));
        one.setRenderThreads(1);
        for (int n : threadCounts) {
            many.push_back(std::make_unique<flash::Player>());
            ASSERT_TRUE(load(*many.back(), movie));
            many.back()->setRenderThreads(n);
        }
        for (int f = 0; f < 12; ++f) {
            const Size& s = sizes[(seed + f) % 4];
            const Image expected = render(one, s.width, s.height, s.quality);
            std::set<uint32_t> colors(expected.pixels.begin(), expected.pixels.end());
            EXPECT_GT(colors.size(), 50u) << "seed " << seed << " frame " << f;  // a picture worth comparing
            for (size_t k = 0; k < many.size(); ++k) {
                const Image got = render(*many[k], s.width, s.height, s.quality);
                const long at = firstDifference(expected, got);
                EXPECT_EQ(at, -1) << "seed " << seed << " frame " << f << " threads " << threadCounts[k]
                                  << " at (" << at % s.width << ", " << at / s.width << ")";
                many[k]->tick();
            }
            one.tick();
            ++frames;
        }
    }
    EXPECT_EQ(frames, 72);
}

// The generated frames really are split: with more threads than a frame has
// room for bands, and with a thread count changed between frames, the
// picture still equals the one-thread picture.
TEST(BandTest, ThreadCountMayChangeBetweenFrames) {
    const swfw::Bytes movie = RandomMovie(99).build(10, 6);
    flash::Player one, other;
    ASSERT_TRUE(load(one, movie));
    ASSERT_TRUE(load(other, movie));
    one.setRenderThreads(1);
    const int counts[] = {16, 1, 2, 4, 3, 2};
    for (int n : counts) {
        other.setRenderThreads(n);
        EXPECT_EQ(other.renderThreads(), n);
        const Image a = render(one, 300, 140), b = render(other, 300, 140);
        EXPECT_EQ(firstDifference(a, b), -1) << n << " threads";
        one.tick();
        other.tick();
    }
}

}  // namespace
