#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "flash/core/raster/BitmapSpan.h"

using namespace flash;

namespace {

// A small opaque picture whose channels differ from texel to texel.
std::vector<uint32_t> picture(int w, int h) {
    std::vector<uint32_t> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.push_back(0xFF000000u | static_cast<uint32_t>(x * 37 % 256) << 16 |
                        static_cast<uint32_t>(y * 53 % 256) << 8 | static_cast<uint32_t>((x * y * 11) % 256));
    return p;
}

int wrapOrClamp(int64_t i, int size, bool repeat) {
    if (repeat) return static_cast<int>(((i % size) + size) % size);
    return static_cast<int>(i < 0 ? 0 : (i >= size ? size - 1 : i));
}

// The colour at one coordinate, the plain way.
uint32_t reference(const BitmapSpan& s, int64_t u, int64_t v) {
    const int64_t iu = u >> 16, iv = v >> 16;
    const int x0 = wrapOrClamp(iu, s.width, s.repeat), y0 = wrapOrClamp(iv, s.height, s.repeat);
    if (!s.smooth) return s.pixels[static_cast<size_t>(y0) * s.width + x0];
    const int x1 = iu < 0 && !s.repeat ? 0 : wrapOrClamp(x0 + 1, s.width, s.repeat);
    const int y1 = iv < 0 && !s.repeat ? 0 : wrapOrClamp(y0 + 1, s.height, s.repeat);
    const double tu = ((u >> 8) & 0xFF) / 256.0, tv = ((v >> 8) & 0xFF) / 256.0;
    auto at = [&](int x, int y) { return s.pixels[static_cast<size_t>(y) * s.width + x]; };
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto ch = [&](uint32_t p) { return static_cast<double>((p >> shift) & 0xFF); };
        double c = (ch(at(x0, y0)) * (1 - tu) + ch(at(x1, y0)) * tu) * (1 - tv) +
                   (ch(at(x0, y1)) * (1 - tu) + ch(at(x1, y1)) * tu) * tv;
        out |= static_cast<uint32_t>(std::lround(c)) << shift;
    }
    return out;
}

int worstChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(
            worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

}  // namespace

TEST(BitmapSpan, EveryModeMatchesPlainSamplingNearAndFarFromTheBitmap) {
    // Far-off spans and huge steps take a slower path than the usual ones;
    // both must give each pixel the texels of its own coordinate.
    const int w = 13, h = 7;
    const std::vector<uint32_t> pixels = picture(w, h);
    const int64_t t = 65536;  // one texel
    struct Walk {
        const char* name;
        int64_t u, v, du, dv;
    } walks[] = {
        {"across, unrotated", -3 * t + 1234, 2 * t + 40000, t / 3, 0},
        {"rotated, backwards", 20 * t, -5 * t, -t / 2 - 77, t / 5},
        {"far left", -(int64_t(1) << 40), 3 * t, t * 7, t / 9},
        {"huge steps", 5 * t, 5 * t, (int64_t(1) << 36) + 4567, -(int64_t(1) << 35)},
    };
    for (bool repeat : {true, false})
        for (bool smooth : {true, false})
            for (const Walk& walk : walks) {
                BitmapSpan s{pixels.data(), w, h, repeat, smooth, walk.u, walk.v, walk.du, walk.dv};
                const int len = 61;
                std::vector<uint32_t> out(len);
                sampleBitmapSpan(s, len, out.data());
                for (int i = 0; i < len; ++i) {
                    uint32_t want = reference(s, walk.u + walk.du * i, walk.v + walk.dv * i);
                    ASSERT_LE(worstChannelDifference(out[i], want), smooth ? 2 : 0)
                        << walk.name << (repeat ? " repeating" : " clamped") << (smooth ? " smoothed" : "")
                        << " at " << i;
                }
            }
}

TEST(BitmapSpan, SmoothingKeepsPremultipliedColoursWithinTheirAlpha) {
    // Half-transparent red next to transparent black: every blend stays a
    // valid premultiplied colour.
    const std::vector<uint32_t> pixels = {0x80800000u, 0x00000000u, 0x00000000u, 0x80800000u};
    BitmapSpan s{pixels.data(), 2, 2, true, true, 1000, 30000, 65536 / 7, 65536 / 11};
    std::vector<uint32_t> out(40);
    sampleBitmapSpan(s, 40, out.data());
    for (uint32_t p : out) EXPECT_LE((p >> 16) & 0xFF, p >> 24) << std::hex << p;
}

TEST(BitmapSpan, LongSpansEqualPixelByPixelSampling) {
    // Long spans go through wider code (groups of pixels, a blended row for
    // unrotated ones); each pixel must come out exactly as alone.
    const int64_t t = 65536;
    struct Walk {
        int w, h;
        int64_t u, v, du, dv;
    } walks[] = {
        {37, 9, -5 * t + 999, 3 * t + 12345, t * 2 / 7, 0},        // magnified, unrotated, odd width
        {64, 64, 70 * t, 40 * t + 777, -t * 3 / 2 - 5, 0},         // minified, backwards, from outside
        {40, 30, -2 * t, -t / 3, t / 3 + 17, t / 5 + 3},           // rotated, crossing the edges
        {16, 16, 5 * t + 4321, 7 * t + 8765, t * 9 / 10, -t / 4},  // rotated inside, repeating often
        {3000, 2, 10 * t, t / 2, t / 4, 0},                        // wider than the row buffer
    };
    for (const Walk& walk : walks) {
        const std::vector<uint32_t> pixels = picture(walk.w, walk.h);
        for (bool repeat : {true, false})
            for (bool smooth : {true, false}) {
                BitmapSpan s{pixels.data(), walk.w, walk.h, repeat, smooth, walk.u, walk.v, walk.du, walk.dv};
                const int len = 203;
                std::vector<uint32_t> out(len);
                sampleBitmapSpan(s, len, out.data());
                for (int i = 0; i < len; ++i) {
                    BitmapSpan one = s;
                    one.u += walk.du * i;
                    one.v += walk.dv * i;
                    uint32_t alone = 0;
                    sampleBitmapSpan(one, 1, &alone);
                    ASSERT_EQ(out[i], alone)
                        << walk.w << "x" << walk.h << (repeat ? " repeating" : " clamped")
                        << (smooth ? " smoothed" : "") << " at " << i;
                }
            }
    }
}
