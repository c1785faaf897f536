// The rasterizer pipeline stage by stage: coverage, fill rules, blending,
// gradient tables and strokes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/Paint.h"
#include "flash/core/raster/Rasterizer.h"
#include "flash/core/raster/Stroker.h"

using namespace flash;

namespace {

// Collects coverage into a width x height array.
struct CoverageGrid : SpanSink {
    int w, h;
    std::vector<int> cov;
    CoverageGrid(int w_, int h_) : w(w_), h(h_), cov(w_ * h_, 0) {}
    void span(int y, int x, int len, const uint8_t* covers) override {
        ASSERT_GE(x, 0);
        ASSERT_LE(x + len, w);
        ASSERT_GE(y, 0);
        ASSERT_LT(y, h);
        for (int i = 0; i < len; ++i) cov[y * w + x + i] = covers[i];
    }
    double area() const {
        double s = 0;
        for (int c : cov) s += c / 255.0;
        return s;
    }
    int at(int x, int y) const { return cov[y * w + x]; }
};

void polygon(Rasterizer& r, const std::vector<PointF>& p) {
    for (size_t i = 0; i < p.size(); ++i) {
        const PointF& a = p[i];
        const PointF& b = p[(i + 1) % p.size()];
        r.addLine(a.x, a.y, b.x, b.y);
    }
}

CoverageGrid sweep(Rasterizer& r, int w, int h, FillRule rule = FillRule::EvenOdd, bool aa = true) {
    CoverageGrid g(w, h);
    r.sweep(rule, aa, g);
    return g;
}

}  // namespace

TEST(Rasterizer, CoverageOfPolygonsSumsToTheirArea) {
    const float pi = 3.14159265f;
    std::vector<PointF> circle;
    for (int i = 0; i < 64; ++i)
        circle.push_back({32 + 20 * std::cos(2 * pi * i / 64), 32 + 20 * std::sin(2 * pi * i / 64)});
    double circleArea = 0.5 * 64 * 20 * 20 * std::sin(2 * pi / 64);
    struct Case {
        const char* name;
        std::vector<PointF> points;
        double area;
    } cases[] = {
        {"pixel-aligned square", {{10, 10}, {20, 10}, {20, 20}, {10, 20}}, 100},
        {"fractional square",
         {{10.25f, 10.5f}, {20.75f, 10.5f}, {20.75f, 20.25f}, {10.25f, 20.25f}},
         10.5 * 9.75},
        {"triangle", {{5, 5}, {45, 12}, {20, 40.5f}}, 0.5 * std::fabs(40 * 35.5 - 15 * 7)},
        {"rotated square", {{30, 5}, {55, 30}, {30, 55}, {5, 30}}, 2 * 25.0 * 25.0},
        {"circle", circle, circleArea},
    };
    for (const Case& c : cases) {
        Rasterizer r;
        r.reset(64, 64);
        polygon(r, c.points);
        EXPECT_NEAR(sweep(r, 64, 64).area(), c.area, c.area * 0.002 + 0.05) << c.name;
    }
}

TEST(Rasterizer, PartialPixelsGetFractionalCoverage) {
    Rasterizer r;
    r.reset(8, 8);
    polygon(r, {{1.5f, 1}, {4, 1}, {4, 3.25f}, {1.5f, 3.25f}});
    CoverageGrid g = sweep(r, 8, 8);
    EXPECT_EQ(g.at(1, 1), 128);  // half a column
    EXPECT_EQ(g.at(2, 1), 255);
    EXPECT_EQ(g.at(2, 3), 64);  // a quarter row
    EXPECT_EQ(g.at(4, 1), 0);
}

TEST(Rasterizer, EvenOddLeavesHoleWhereNonZeroFills) {
    for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
        Rasterizer r;
        r.reset(40, 40);
        polygon(r, {{0, 0}, {40, 0}, {40, 40}, {0, 40}});
        polygon(r, {{10, 10}, {30, 10}, {30, 30}, {10, 30}});  // same direction
        CoverageGrid g = sweep(r, 40, 40, rule);
        EXPECT_EQ(g.at(5, 5), 255);
        EXPECT_EQ(g.at(20, 20), rule == FillRule::EvenOdd ? 0 : 255);
    }
}

TEST(Rasterizer, AliasedFillUsesOnlyFullOrNoCoverage) {
    Rasterizer r;
    r.reset(32, 32);
    polygon(r, {{3.3f, 2.7f}, {28.1f, 6.2f}, {12.6f, 29.4f}});
    CoverageGrid g = sweep(r, 32, 32, FillRule::EvenOdd, false);
    for (int c : g.cov) EXPECT_TRUE(c == 0 || c == 255);
    EXPECT_NEAR(g.area(), 0.5 * std::fabs(24.8 * 26.7 - 9.3 * 3.5), 12.0);
}

TEST(Rasterizer, ClipsToTheTargetAndKeepsCoverLeftOfIt) {
    Rasterizer r;
    r.reset(20, 20);
    polygon(r, {{-100, 5}, {10, 5}, {10, 1000}, {-100, 1000}});
    CoverageGrid g = sweep(r, 20, 20);
    EXPECT_EQ(g.at(0, 10), 255);
    EXPECT_EQ(g.at(9, 19), 255);
    EXPECT_EQ(g.at(10, 10), 0);
    EXPECT_EQ(g.at(5, 4), 0);
    EXPECT_NEAR(g.area(), 10 * 15, 0.01);
}

TEST(Rasterizer, IgnoresNonFiniteAndHugeCoordinates) {
    Rasterizer r;
    r.reset(10, 10);
    r.addLine(NAN, 0, 5, 5);
    r.addLine(1e30f, -1e30f, -1e30f, 1e30f);
    CoverageGrid g = sweep(r, 10, 10);  // must not crash or hang
    SUCCEED();
}

TEST(Blend, MulPixelRoundsLikeExactDivision) {
    for (uint32_t c : {0u, 1u, 77u, 128u, 254u, 255u})
        for (uint32_t a : {0u, 1u, 100u, 127u, 128u, 255u}) {
            uint32_t p = (c << 24) | (c << 16) | (c << 8) | c;
            uint32_t want = (c * a * 2 + 255) / 510;
            EXPECT_EQ(mulPixel(p, a), (want << 24) | (want << 16) | (want << 8) | want) << c << " * " << a;
        }
}

TEST(Blend, SourceOverWithCoverage) {
    struct Case {
        uint32_t dst, color;
        uint8_t cover;
        uint32_t want;
    } cases[] = {
        {0xFFFFFFFF, 0xFFFF0000, 255, 0xFFFF0000},  // opaque, full coverage
        {0xFFFFFFFF, 0xFFFF0000, 128, 0xFFFF7F7F},  // half covered red over white
        {0xFFFFFFFF, 0x80800000, 255, 0xFFFF7F7F},  // half-transparent red over white
        {0xFF000000, 0x80808080, 255, 0xFF808080},  // half white over black
        {0x00000000, 0xFF00FF00, 0, 0x00000000},    // no coverage, nothing drawn
    };
    for (const Case& c : cases) {
        uint32_t d = c.dst;
        blendSolidSpan(&d, 1, c.color, &c.cover);
        EXPECT_EQ(d, c.want) << std::hex << c.color << " cover " << std::dec << int(c.cover);
        uint32_t d2 = c.dst;
        blendColorSpan(&d2, 1, &c.color, &c.cover);
        EXPECT_EQ(d2, c.want);
    }
}

TEST(Gradient, TableInterpolatesBetweenStopsAndPadsBeyond) {
    Gradient g;
    g.stops = {{64, {255, 0, 0, 255}}, {192, {0, 0, 255, 255}}};
    uint32_t t[256];
    Paint::buildTable(g, ColorTransform(), t);
    EXPECT_EQ(t[0], 0xFFFF0000u);
    EXPECT_EQ(t[64], 0xFFFF0000u);
    EXPECT_EQ(t[128], 0xFF800080u);
    EXPECT_EQ(t[192], 0xFF0000FFu);
    EXPECT_EQ(t[255], 0xFF0000FFu);

    // Linear-light interpolation is brighter in the middle of black to white.
    Gradient bw;
    bw.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    Paint::buildTable(bw, ColorTransform(), t);
    int normal = t[128] & 0xFF;
    bw.linearRgb = true;
    Paint::buildTable(bw, ColorTransform(), t);
    EXPECT_NEAR(normal, 128, 1);
    EXPECT_GT(static_cast<int>(t[128] & 0xFF), 180);

    // The colour transform applies to the stops before the table is built.
    ColorTransform half;
    half.aMul = 128;
    Paint::buildTable(g, half, t);
    EXPECT_EQ(t[0] >> 24, 127u);  // 255 * 128 / 256
}

TEST(Gradient, SpreadModesOfALinearGradient) {
    // Gradient square scaled to 64 px wide starting at x = 0 (device = gradient / 256).
    FillStyle f;
    f.kind = FillKind::Linear;
    f.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    f.matrix = {64.0 / 32768, 0, 0, 64.0 / 32768, 32, 0};
    struct Case {
        SpreadMode mode;
        int x;
        int want;  // blue channel
    } cases[] = {
        {SpreadMode::Pad, 0, 2},        {SpreadMode::Pad, 32, 130},    {SpreadMode::Pad, 63, 254},
        {SpreadMode::Pad, 100, 255},    {SpreadMode::Repeat, 96, 130}, {SpreadMode::Repeat, 64, 2},
        {SpreadMode::Reflect, 96, 125}, {SpreadMode::Reflect, 127, 1}, {SpreadMode::Pad, -20, 0},
    };
    for (const Case& c : cases) {
        f.gradient.spread = c.mode;
        Paint p;
        p.setFill(f, Matrix(), ColorTransform());
        uint32_t out;
        p.generate(c.x, 0, 1, &out);
        EXPECT_NEAR(static_cast<int>(out & 0xFF), c.want, 2) << static_cast<int>(c.mode) << " at " << c.x;
    }
}

TEST(Gradient, RadialAndFocalDistances) {
    FillStyle f;
    f.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    f.matrix = {100.0 / 16384, 0, 0, 100.0 / 16384, 0, 0};  // radius 100 px around the origin
    f.kind = FillKind::Radial;
    Paint p;
    p.setFill(f, Matrix::translate(0.5, 0.5), ColorTransform());  // pixel centres on whole numbers
    uint32_t out[3];
    p.generate(0, 0, 1, out);
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 0, 1);
    p.generate(50, 0, 1, out);
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 128, 2);
    p.generate(0, 80, 1, out);
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 204, 2);

    // Focal point at x = 50: t is 0 there and 1 on the circle on either side.
    f.kind = FillKind::Focal;
    f.gradient.focal = 0.5;
    p.setFill(f, Matrix::translate(0.5, 0.5), ColorTransform());
    p.generate(50, 0, 1, out);
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 0, 1);
    p.generate(75, 0, 1, out);  // half way from the focus to the circle on the right
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 128, 2);
    p.generate(-25, 0, 1, out);  // 75 of the 150 pixels to the circle on the left
    EXPECT_NEAR(static_cast<int>(out[0] & 0xFF), 128, 2);
}

TEST(Gradient, LongSpansMatchPixelByPixelInEveryMode) {
    // Spans are computed several pixels at a time: each pixel must still get
    // the colour of its own position, also left of the gradient square and
    // over several repeats.
    FillStyle f;
    f.gradient.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
    f.matrix = {40.0 / 32768, 15.0 / 32768, -15.0 / 32768, 40.0 / 32768, 10, 5};
    for (FillKind kind : {FillKind::Linear, FillKind::Radial, FillKind::Focal}) {
        for (SpreadMode mode : {SpreadMode::Pad, SpreadMode::Repeat, SpreadMode::Reflect}) {
            f.kind = kind;
            f.gradient.spread = mode;
            f.gradient.focal = -0.6;
            Paint p;
            p.setFill(f, Matrix(), ColorTransform());
            const int len = 203;
            std::vector<uint32_t> span(len);
            p.generate(-120, 7, len, span.data());
            for (int i = 0; i < len; ++i) {
                uint32_t one;
                p.generate(-120 + i, 7, 1, &one);
                ASSERT_NEAR(static_cast<int>(span[i] & 0xFF), static_cast<int>(one & 0xFF), 1)
                    << static_cast<int>(kind) << "/" << static_cast<int>(mode) << " at " << i;
            }
        }
    }
}

TEST(Gradient, TablesFollowTheColourTransformOfEachFill) {
    // One paint draws the same gradient under two transforms in turn; the
    // tables it keeps between fills must not mix them up.
    FillStyle f;
    f.kind = FillKind::Linear;
    f.gradient.stops = {{0, {200, 0, 0, 255}}, {255, {200, 0, 0, 255}}};
    ColorTransform blue;
    blue.rMul = 0;
    blue.bAdd = 90;
    Paint p;
    uint32_t out;
    for (int round = 0; round < 3; ++round) {
        p.setFill(f, Matrix(), ColorTransform());
        p.generate(0, 0, 1, &out);
        EXPECT_EQ(out, 0xFFC80000u);
        p.setFill(f, Matrix(), blue);
        p.generate(0, 0, 1, &out);
        EXPECT_EQ(out, 0xFF00005Au);
    }
    // A changed stop colour is a different table.
    f.gradient.stops[0].color.g = 200;
    f.gradient.stops[1].color.g = 200;
    p.setFill(f, Matrix(), ColorTransform());
    p.generate(0, 0, 1, &out);
    EXPECT_EQ(out, 0xFFC8C800u);
}

TEST(Stroker, SegmentAreaFollowsWidthAndCaps) {
    struct Case {
        CapStyle cap;
        float width;
        double area;
    } cases[] = {
        {CapStyle::None, 4, 40 * 4},
        {CapStyle::Square, 4, 44 * 4},
        {CapStyle::Round, 4, 40 * 4 + 3.14159 * 4},
        {CapStyle::None, 1, 40},
    };
    for (const Case& c : cases) {
        StrokeStyle s;
        s.halfWidth = c.width / 2;
        s.startCap = s.endCap = c.cap;
        Rasterizer r;
        r.reset(64, 64);
        Stroker st;
        st.stroke({{10, 20}, {30, 20}, {50, 20}}, false, s, r);
        EXPECT_NEAR(sweep(r, 64, 64, FillRule::NonZero).area(), c.area, c.area * 0.02)
            << int(c.cap) << " " << c.width;
    }
}

TEST(Stroker, MiterJoinsReachFurtherThanBevelsUntilTheLimit) {
    auto area = [](JoinStyle j, float limit) {
        StrokeStyle s;
        s.halfWidth = 4;
        s.join = j;
        s.miterLimit = limit;
        s.startCap = s.endCap = CapStyle::None;
        Rasterizer r;
        r.reset(64, 64);
        Stroker st;
        st.stroke({{10, 50}, {30, 10}, {50, 50}}, false, s, r);
        return sweep(r, 64, 64, FillRule::NonZero).area();
    };
    double bevel = area(JoinStyle::Bevel, 3), miter = area(JoinStyle::Miter, 10),
           round = area(JoinStyle::Round, 3);
    EXPECT_GT(miter, round);
    EXPECT_GT(round, bevel);
    EXPECT_NEAR(area(JoinStyle::Miter, 1.5f), bevel, 0.5);  // over the limit: bevelled
}

TEST(Stroker, ClosedPathsOverlapWithoutDoubleCoverage) {
    StrokeStyle s;
    s.halfWidth = 3;
    Rasterizer r;
    r.reset(64, 64);
    Stroker st;
    st.stroke({{10, 10}, {50, 10}, {50, 50}, {10, 50}, {10, 10}}, true, s, r);
    CoverageGrid g = sweep(r, 64, 64, FillRule::NonZero);
    EXPECT_EQ(g.at(10, 10), 255);  // corner where join, segments overlap
    EXPECT_EQ(g.at(30, 30), 0);    // inside stays empty
    // Outer square 46 minus inner 34, with round outer corners.
    EXPECT_NEAR(g.area(), 46.0 * 46 - 34.0 * 34 - 4 * (9 - 3.14159 * 9 / 4), 3);
}

// A ring drawn as a closed polyline of many short segments, by every join:
// gentle turns meet at the offset lines' crossing on both sides, and the
// band keeps the width of the stroke all round.
TEST(Stroker, GentleTurnsKeepTheBandWidthByEveryJoin) {
    const float kPi = 3.14159265f, r = 40, h = 4;
    std::vector<PointF> ring;
    for (int i = 0; i <= 96; ++i)
        ring.push_back({50 + r * std::cos(2 * kPi * i / 96), 50 + r * std::sin(2 * kPi * i / 96)});
    for (JoinStyle j : {JoinStyle::Round, JoinStyle::Miter, JoinStyle::Bevel}) {
        StrokeStyle s;
        s.halfWidth = h;
        s.join = j;
        s.tolerance = 0.1f;
        Rasterizer ras;
        ras.reset(100, 100);
        Stroker st;
        st.stroke(ring, true, s, ras);
        CoverageGrid g = sweep(ras, 100, 100, FillRule::NonZero);
        const double ringArea = kPi * ((r + h) * (r + h) - (r - h) * (r - h));
        EXPECT_NEAR(g.area(), ringArea, ringArea * 0.01) << int(j);
        EXPECT_EQ(g.at(50, 50 + 40), 255) << int(j);  // on the centre line
        EXPECT_EQ(g.at(50, 50 + 34), 0) << int(j);    // inside the inner edge
        EXPECT_EQ(g.at(50, 50 + 45), 0) << int(j);    // outside the outer edge
    }
}

// Sharp turns between segments shorter than the stroke is wide: the inner
// side passes through the vertex, so the band stays solid around it.
TEST(Stroker, SharpTurnsOfShortSegmentsStaySolidInside) {
    std::vector<PointF> zigzag;
    for (int i = 0; i < 8; ++i) zigzag.push_back({10.0f + 6 * i, i % 2 ? 40.0f : 30.0f});
    StrokeStyle s;
    s.halfWidth = 6;
    s.join = JoinStyle::Round;
    s.startCap = s.endCap = CapStyle::None;
    Rasterizer ras;
    ras.reset(80, 80);
    Stroker st;
    st.stroke(zigzag, false, s, ras);
    CoverageGrid g = sweep(ras, 80, 80, FillRule::NonZero);
    for (int i = 1; i < 7; ++i) {
        const int x = 10 + 6 * i, y = i % 2 ? 40 : 30;
        for (int dy = -4; dy <= 4; ++dy) EXPECT_EQ(g.at(x, y + dy), 255) << "vertex " << i << " dy " << dy;
    }
}

// A small closed polygon stroked wider than its inner radius: every turn
// goes the same way and its segments are short, so the inner side must not
// cut across the middle, which the stroke covers whole.
TEST(Stroker, ANarrowLoopUnderAWideStrokeIsCoveredWhole) {
    const float kPi = 3.14159265f;
    for (int sides : {5, 6, 8, 12}) {
        std::vector<PointF> loop;
        for (int i = 0; i <= sides; ++i)
            loop.push_back({20 + 5 * std::cos(2 * kPi * i / sides), 20 + 5 * std::sin(2 * kPi * i / sides)});
        for (JoinStyle j : {JoinStyle::Round, JoinStyle::Miter, JoinStyle::Bevel}) {
            StrokeStyle s;
            s.halfWidth = 6;
            s.join = j;
            Rasterizer ras;
            ras.reset(40, 40);
            Stroker st;
            st.stroke(loop, true, s, ras);
            CoverageGrid g = sweep(ras, 40, 40, FillRule::NonZero);
            for (int y = 16; y < 24; ++y)
                for (int x = 16; x < 24; ++x)
                    EXPECT_EQ(g.at(x, y), 255)
                        << sides << " sides, join " << int(j) << " at " << x << "," << y;
        }
    }
}
