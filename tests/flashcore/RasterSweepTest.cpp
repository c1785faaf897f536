// The fast paths of coverage sweeping and span blending, checked against
// slow references: supersampled winding numbers for coverage, the scalar
// pixel formula for blending.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/Rasterizer.h"
#include "flash/core/raster/Stroker.h"

using namespace flash;

namespace {

using Contour = std::vector<PointF>;

struct Grid : SpanSink {
    int w, h;
    std::vector<int> cov;
    Grid(int w_, int h_) : w(w_), h(h_), cov(static_cast<size_t>(w_) * h_, 0) {}
    void span(int y, int x, int len, const uint8_t* covers) override {
        ASSERT_GT(len, 0);
        ASSERT_GE(x, 0);
        ASSERT_LE(x + len, w);
        ASSERT_GE(y, 0);
        ASSERT_LT(y, h);
        for (int i = 0; i < len; ++i) {
            EXPECT_EQ(cov[y * w + x + i], 0) << "pixel reported twice at " << x + i << "," << y;
            cov[y * w + x + i] = covers[i];
        }
    }
};

Grid rasterize(Rasterizer& r, const std::vector<Contour>& shape, int w, int h, FillRule rule, bool aa) {
    r.reset(w, h);
    for (const Contour& c : shape)
        for (size_t i = 0; i < c.size(); ++i) {
            const PointF& a = c[i];
            const PointF& b = c[(i + 1) % c.size()];
            r.addLine(a.x, a.y, b.x, b.y);
        }
    Grid g(w, h);
    r.sweep(rule, aa, g);
    return g;
}

// Coverage from the winding numbers of 16 x 16 samples per pixel.
std::vector<int> reference(const std::vector<Contour>& shape, int w, int h, FillRule rule) {
    const int S = 16;
    std::vector<int> out(static_cast<size_t>(w) * h);
    std::vector<std::pair<float, int>> xs;
    std::vector<int> count(w);
    for (int y = 0; y < h; ++y) {
        std::fill(count.begin(), count.end(), 0);
        for (int sy = 0; sy < S; ++sy) {
            float py = y + (sy + 0.5f) / S;
            xs.clear();
            for (const Contour& c : shape)
                for (size_t i = 0; i < c.size(); ++i) {
                    const PointF& a = c[i];
                    const PointF& b = c[(i + 1) % c.size()];
                    if ((a.y <= py) == (b.y <= py)) continue;
                    xs.push_back({a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y), a.y < b.y ? 1 : -1});
                }
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            size_t k = 0;
            for (int sx = 0; sx < w * S; ++sx) {
                float px = (sx + 0.5f) / S;
                while (k < xs.size() && xs[k].first <= px) wind += xs[k++].second;
                count[sx / S] += wind;
            }
        }
        for (int x = 0; x < w; ++x) {
            // The fill rule applies to the pixel's mean winding number.
            double a = std::fabs(count[x] / double(S * S));
            if (rule == FillRule::EvenOdd) {
                a = std::fmod(a, 2.0);
                if (a > 1) a = 2 - a;
            }
            out[y * w + x] = static_cast<int>(std::min(a, 1.0) * 255 + 0.5);
        }
    }
    return out;
}

// True where the reference is the same on the pixel and its eight
// neighbours: there the result must be exactly 0 or 255.
bool settled(const std::vector<int>& ref, int w, int h, int x, int y) {
    int v = ref[y * w + x];
    if (v != 0 && v != 255) return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < w && ny < h && ref[ny * w + nx] != v) return false;
        }
    return true;
}

struct Lcg {
    unsigned s;
    float next(float lo, float hi) {
        s = s * 1103515245u + 12345u;
        return lo + (hi - lo) * static_cast<float>((s >> 8) & 0xFFFF) / 65535.0f;
    }
};

Contour rect(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

Contour star(float cx, float cy, float rx, float ry, int points, float turn) {
    Contour c;
    for (int i = 0; i < points; ++i) {
        float a = turn + 2 * 3.14159265f * (i * (points / 2)) / points;  // skips round: self-overlapping
        c.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return c;
}

}  // namespace

TEST(Sweep, MatchesSupersampledCoverage) {
    struct Case {
        const char* name;
        int w, h;
        std::vector<Contour> shape;
    };
    Lcg rnd{12345};
    Contour randomPolygon, randomOffBuffer;
    for (int i = 0; i < 9; ++i) randomPolygon.push_back({rnd.next(2, 158), rnd.next(2, 78)});
    for (int i = 0; i < 12; ++i) randomOffBuffer.push_back({rnd.next(-60, 220), rnd.next(-30, 110)});
    std::vector<Contour> comb;  // slivers with wide empty gaps of every alignment between them
    for (float x = 3.6f, gap = 60; x < 990; x += gap, gap += 5.3f) comb.push_back(rect(x, 1, x + 1.2f, 9.5f));
    const Case cases[] = {
        {"slivers across wide gaps", 1000, 11, comb},
        {"wide span with partial ends", 700, 24, {rect(7.25f, 3.5f, 690.6f, 20.25f)}},
        {"interior run next to a one-pixel sliver",
         96,
         16,
         {rect(3.3f, 2, 60, 14), rect(60.4f, 2, 61.1f, 14)}},
        {"thin diagonal", 120, 60, {{{2, 2}, {118, 57}, {117.2f, 58}, {1, 3.1f}}}},
        {"overlapping stars", 200, 120, {star(100, 60, 90, 55, 7, 0.1f), star(90, 64, 50, 50, 5, 0.7f)}},
        {"nested same-direction rectangles",
         180,
         60,
         {rect(1.5f, 1.5f, 178.5f, 58.5f), rect(20.2f, 10.7f, 160.9f, 50.1f), rect(40, 20, 140, 40)}},
        {"random polygon", 160, 80, {randomPolygon}},
        {"partly off the buffer", 160, 80, {randomOffBuffer, star(150, 10, 70, 45, 9, 0.3f)}},
    };
    Rasterizer shared;  // reused across cases: nothing may stay behind from a sweep
    for (const Case& c : cases)
        for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
            SCOPED_TRACE(std::string(c.name) + (rule == FillRule::NonZero ? " non-zero" : " even-odd"));
            std::vector<int> ref = reference(c.shape, c.w, c.h, rule);
            Rasterizer fresh;
            Grid got = rasterize(shared, c.shape, c.w, c.h, rule, true);
            Grid again = rasterize(fresh, c.shape, c.w, c.h, rule, true);
            EXPECT_EQ(got.cov, again.cov);
            Grid aliased = rasterize(shared, c.shape, c.w, c.h, rule, false);
            int bad = 0;
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x) {
                    int g = got.cov[y * c.w + x], r = ref[y * c.w + x], a = aliased.cov[y * c.w + x];
                    bool ok = std::abs(g - r) <= 20 && (a == 0 || a == 255);
                    if (settled(ref, c.w, c.h, x, y)) ok = ok && g == r && a == r;
                    if (!ok && ++bad <= 5)
                        ADD_FAILURE() << "pixel " << x << "," << y << ": " << g << " (aliased " << a
                                      << "), reference " << r;
                }
        }
}

TEST(Sweep, ExactValuesAroundAFullyCoveredRun) {
    Rasterizer r;
    // Left edge a quarter into pixel 7, right edge half into pixel 300,
    // top a half into row 1: the run between crosses many whole blocks.
    Grid g = rasterize(r, {rect(7.25f, 1.5f, 300.5f, 4)}, 320, 6, FillRule::NonZero, true);
    struct Expect {
        int x, y, cov;
    } expect[] = {{6, 2, 0},     {7, 2, 191},   {8, 2, 255}, {15, 2, 255}, {16, 2, 255},
                  {299, 2, 255}, {300, 2, 128}, {301, 2, 0}, {7, 1, 96},   {150, 1, 128},
                  {150, 0, 0},   {150, 4, 0},   {300, 1, 64}};
    for (const Expect& e : expect) EXPECT_EQ(g.cov[e.y * 320 + e.x], e.cov) << e.x << "," << e.y;
}

TEST(Sweep, OverlappingRunsFollowTheFillRule) {
    // Winding numbers 1, 2 and 3 side by side, and -1 + 1 = 0 where an
    // opposite rectangle cancels one.
    Contour reversed = rect(100, 0, 130, 10);
    std::reverse(reversed.begin(), reversed.end());
    std::vector<Contour> shape = {rect(0, 0, 140, 10), rect(40, 0, 140, 10), rect(80, 0, 140, 10), reversed};
    struct Expect {
        int x, nonZero, evenOdd;
    } expect[] = {{20, 255, 255}, {60, 255, 0}, {90, 255, 255}, {110, 255, 0}, {135, 255, 255}};
    for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
        Rasterizer r;
        Grid g = rasterize(r, shape, 150, 10, rule, true);
        for (const Expect& e : expect)
            EXPECT_EQ(g.cov[5 * 150 + e.x], rule == FillRule::NonZero ? e.nonZero : e.evenOdd) << e.x;
        EXPECT_EQ(g.cov[5 * 150 + 145], 0);
    }
}

TEST(Blend, SpansMatchThePixelFormula) {
    // Runs of full coverage long and short, partial and zero coverage, at
    // every offset and length, over an uneven background.
    Lcg rnd{99};
    std::vector<uint8_t> covers(300);
    for (size_t i = 0; i < covers.size(); ++i) {
        int run = static_cast<int>(i / 23) % 4;
        covers[i] =
            run == 0 ? 255 : (run == 1 ? 0 : (run == 2 ? static_cast<uint8_t>(rnd.next(0, 255)) : 255));
    }
    covers[40] = 254;
    covers[100] = 1;
    std::vector<uint32_t> colors(300), background(300);
    for (size_t i = 0; i < colors.size(); ++i) {
        uint32_t a = static_cast<uint32_t>(rnd.next(0, 255));
        colors[i] = mulPixel(0xFF000000u | static_cast<uint32_t>(rnd.next(0, 16777215)), a) | (a << 24);
        background[i] = 0xFF000000u | static_cast<uint32_t>(rnd.next(0, 16777215));
    }
    auto expected = [](uint32_t color, uint32_t cover, uint32_t dst) {
        uint32_t s = mulPixel(color, cover);
        return s + mulPixel(dst, 255 - (s >> 24));
    };
    for (uint32_t solid : {0xFF336699u, 0x80402010u, 0x00000000u}) {
        for (int start : {0, 1, 3, 17}) {
            std::vector<uint32_t> dst = background;
            int len = 300 - start - 5;
            blendSolidSpan(dst.data() + start, len, solid, covers.data() + start);
            for (int i = 0; i < 300; ++i) {
                uint32_t want =
                    i >= start && i < start + len ? expected(solid, covers[i], background[i]) : background[i];
                ASSERT_EQ(dst[i], want) << std::hex << solid << std::dec << " at " << i << " from " << start;
            }
        }
    }
    for (int start : {0, 2, 5}) {
        std::vector<uint32_t> dst = background;
        int len = 300 - start - 3;
        blendColorSpan(dst.data() + start, len, colors.data() + start, covers.data() + start);
        for (int i = 0; i < 300; ++i) {
            uint32_t want =
                i >= start && i < start + len ? expected(colors[i], covers[i], background[i]) : background[i];
            ASSERT_EQ(dst[i], want) << "at " << i << " from " << start;
        }
    }
}
