// The eight-lane blends and coverage sweep give exactly the pixels of the
// four-lane ones: span by span over random data, and frame by frame over
// generated movies.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "flash/core/Player.h"
#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/WideSpans.h"
#include "tests/flashcore/RandomMovie.h"
#include "tests/flashcore/TestSupport.h"

using namespace flash;

namespace {

// Covers as shapes make them: runs of none, runs of full and edges between.
std::vector<uint8_t> randomCovers(std::mt19937& rng, int len) {
    std::vector<uint8_t> c(static_cast<size_t>(len) + 8, 0);
    for (int i = 0; i < len;) {
        const int run = 1 + static_cast<int>(rng() % 40);
        const int kind = static_cast<int>(rng() % 3);
        for (int k = 0; k < run && i < len; ++k, ++i)
            c[i] = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8_t>(rng());
    }
    return c;
}

uint32_t randomPremultiplied(std::mt19937& rng) {
    const uint32_t a = rng() % 4 == 0 ? 255 : rng() % 256;
    uint32_t p = a << 24;
    for (int s = 0; s < 24; s += 8) p |= (rng() % (a + 1)) << s;
    return p;
}

class WideSpans : public ::testing::Test {
protected:
    void SetUp() override {
        if (!wideSpans()) GTEST_SKIP() << "the processor has no AVX2";
    }
    void TearDown() override { allowWideSpans(true); }
};

TEST_F(WideSpans, SolidSpansEqualTheNarrowOnes) {
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        const int len = static_cast<int>(rng() % 90);
        const std::vector<uint8_t> covers = randomCovers(rng, len);
        std::vector<uint32_t> narrow(static_cast<size_t>(len) + 8);
        for (uint32_t& p : narrow) p = randomPremultiplied(rng);
        std::vector<uint32_t> wide = narrow;
        const uint32_t color = round % 5 == 0 ? 0xFF204080u : randomPremultiplied(rng);
        blendSolidSpan(narrow.data(), len, color, covers.data());
        blendSolidSpanWide(wide.data(), len, color, covers.data());
        ASSERT_EQ(narrow, wide) << "round " << round << " length " << len;  // also nothing past len
    }
}

#if defined(__SSE2__)
TEST_F(WideSpans, GradientSpansEqualTheNarrowOnesInEveryShapeAndSpread) {
    std::mt19937 rng(9);
    uint32_t table[256];
    for (uint32_t& t : table) t = randomPremultiplied(rng);
    const GradientShape shapes[] = {GradientShape::Linear, GradientShape::Radial, GradientShape::Focal};
    const SpreadMode modes[] = {SpreadMode::Pad, SpreadMode::Reflect, SpreadMode::Repeat};
    std::uniform_real_distribution<float> pos(-3.0f, 3.0f), step(-0.2f, 0.2f);
    for (GradientShape shape : shapes)
        for (SpreadMode mode : modes)
            for (int round = 0; round < 300; ++round) {
                const float scale = shape == GradientShape::Linear ? 256.0f : 1.0f;
                const GradientWalk g{pos(rng) * scale, pos(rng),        step(rng) * scale,
                                     step(rng),        pos(rng) / 3.2f, table};
                const int len = static_cast<int>(rng() % 70);
                const std::vector<uint8_t> covers = randomCovers(rng, len);
                std::vector<uint32_t> narrow(static_cast<size_t>(len) + 8);
                for (uint32_t& p : narrow) p = randomPremultiplied(rng);
                std::vector<uint32_t> wide = narrow, colors(static_cast<size_t>(len) + 4);
                walkGradient(g, shape, mode, len, [&](int i, __m128i c) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(colors.data() + i), c);
                });
                blendColorSpan(narrow.data(), len, colors.data(), covers.data());
                blendGradientSpanWide(wide.data(), len, g, shape, mode, covers.data());
                ASSERT_EQ(narrow, wide)
                    << "shape " << int(shape) << " spread " << int(mode) << " round " << round;
            }
}
#endif

TEST_F(WideSpans, FramesEqualTheNarrowOnes) {
    for (uint32_t seed = 3; seed <= 5; ++seed) {
        const swfw::Bytes movie = fctest::RandomMovie(seed).build(14, 6);
        flash::Player player;
        ASSERT_TRUE(fctest::load(player, movie));
        player.setRenderThreads(1);
        for (int f = 0; f < 6; ++f) {
            // Aliased and smooth edges, by both fill rules.
            const flash::Quality q = f % 3 == 0 ? flash::Quality::Low : flash::Quality::High;
            allowWideSpans(false);
            const fctest::Image narrow = fctest::render(player, 413, 297, q);
            allowWideSpans(true);
            const fctest::Image wide = fctest::render(player, 413, 297, q);
            EXPECT_TRUE(narrow.pixels == wide.pixels) << "seed " << seed << " frame " << f;
            player.tick();
        }
    }
}

}  // namespace
