// Scale-9 grids against a reference worked out here: the clip's content is
// nine rectangles, one per grid region, so under the grid every region is
// again an axis-aligned rectangle whose device edges follow from the rules
// (corners keep the parent's scale, the rest of the box goes to the centre)
// and whose pixel coverage is an exact area overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "tests/flashcore/TestSupport.h"

using namespace flash;

namespace {

// The clip's content: region lines in clip twips along x and y.
const std::array<int32_t, 4> kXs{-600, -300, 300, 600};
const std::array<int32_t, 4> kYs{-500, -300, 100, 500};

swfw::Rgba regionColor(int i, int j) {
    return {static_cast<uint8_t>(40 + 90 * i), static_cast<uint8_t>(30 + 100 * j),
            static_cast<uint8_t>((i + j) % 2 ? 220 : 40), 255};
}

swfw::Bytes innerGrid() { return swfw::defineScalingGrid(2, swfw::Rect{kXs[1], kXs[2], kYs[1], kYs[2]}); }

// A 200 x 200 pixel stage; clip 2 holds the nine rectangles (shape 1) and is
// placed with `m`; `gridTag` (if any) follows its definition.
swfw::Bytes gridMovie(const swfw::Matrix& m, const swfw::Bytes& gridTag) {
    swfw::Movie movie;
    movie.version = 8;
    movie.stage = {0, 4000, 0, 4000};
    movie.setBackground(255, 255, 255);
    swfw::ShapeBuilder s(3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            s.rect(kXs[i], kYs[j], kXs[i + 1], kYs[j + 1],
                   s.addFill(swfw::FillStyle::solid(regionColor(i, j))));
    movie.add(s.defineShape(1));
    movie.add(swfw::defineSprite(2, [] {
        swfw::Bytes t = swfw::placeObject2(fctest::place(1, 1));
        swfw::Bytes show = swfw::tag(1, {});
        t.insert(t.end(), show.begin(), show.end());
        return t;
    }()));
    movie.add(gridTag);
    movie.add(swfw::placeObject2(fctest::place(1, 2, m)));
    movie.showFrame();
    return movie.build();
}

// Device positions of the four region lines along one axis: the box keeps
// its plainly scaled extent, the end regions keep `natural` pixels per twip
// (all shrunk alike when they would not fit) and the middle takes the rest.
std::array<double, 4> lines(const std::array<int32_t, 4>& v, double scale, double natural, double offset) {
    const double extent = std::fabs(scale) * (v[3] - v[0]);
    const double ends = (v[1] - v[0]) + (v[3] - v[2]);
    const double k = std::min(std::fabs(natural), extent / ends);
    const double dir = scale < 0 ? -1 : 1, start = offset + scale * v[0];
    return {start, start + dir * (v[1] - v[0]) * k, start + dir * (extent - (v[3] - v[2]) * k),
            start + dir * extent};
}

double overlap(double a0, double a1, double p) {
    if (a0 > a1) std::swap(a0, a1);
    return std::max(0.0, std::min(a1, p + 1) - std::max(a0, p));
}

fctest::Image reference(int size, const std::array<double, 4>& xs, const std::array<double, 4>& ys) {
    fctest::Image img;
    img.width = img.height = size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double c[3] = {0, 0, 0}, covered = 0;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i) {
                    double k = overlap(xs[i], xs[i + 1], x) * overlap(ys[j], ys[j + 1], y);
                    swfw::Rgba rc = regionColor(i, j);
                    c[0] += k * rc.r;
                    c[1] += k * rc.g;
                    c[2] += k * rc.b;
                    covered += k;
                }
            auto ch = [&](double v) {
                return static_cast<uint32_t>(std::clamp(v + (1 - covered) * 255, 0.0, 255.0) + 0.5);
            };
            img.pixels.push_back(0xFF000000u | ch(c[0]) << 16 | ch(c[1]) << 8 | ch(c[2]));
        }
    return img;
}

}  // namespace

TEST(ScalingGrid, RegionsScaleByTheirRulesUnderScaleMirrorAndViewZoom) {
    struct Case {
        const char* what;
        double sx, sy;
        int32_t tx, ty;
        int size;  // rendered pixels for the 200 pixel stage
    } cases[] = {
        {"stretched", 2.5, 1.5, 2000, 2000, 200},
        {"squeezed one way", 0.6, 3.0, 1000, 2000, 200},
        {"smaller than its corners", 0.4, 0.3, 1000, 1000, 200},
        {"mirrored", -2.0, 1.5, 2400, 1800, 200},
        {"under a view zoom", 2.0, 1.25, 1800, 2000, 400},
        {"under a view shrink", 3.0, 2.0, 2000, 2000, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Player p;
        ASSERT_TRUE(fctest::load(p, gridMovie(swfw::Matrix::scale(c.sx, c.sy, c.tx, c.ty), innerGrid())));
        fctest::Image got = fctest::render(p, c.size, c.size);
        const double view = c.size / 4000.0;  // pixels per twip
        fctest::Image want = reference(c.size, lines(kXs, c.sx * view, view, c.tx * view),
                                       lines(kYs, c.sy * view, view, c.ty * view));
        EXPECT_GE(fctest::psnr(got, want), 40.0);
        // The grid really took effect: plain scaling looks different.
        if (std::fabs(c.sx) != 1) {
            Player plain;
            ASSERT_TRUE(fctest::load(plain, gridMovie(swfw::Matrix::scale(c.sx, c.sy, c.tx, c.ty), {})));
            EXPECT_LT(fctest::psnr(fctest::render(plain, c.size, c.size), want), 33.0);
        }
    }
}

TEST(ScalingGrid, RotatedOrSkewedClipsScalePlainly) {
    const double r = 30 * 3.14159265358979 / 180;
    const swfw::Matrix turned{
        2 * std::cos(r), 2 * std::sin(r), -1.5 * std::sin(r), 1.5 * std::cos(r), 2000, 2000};
    const swfw::Matrix skewed{2, 0, 0.5, 1.5, 2000, 2000};
    for (const swfw::Matrix& m : {turned, skewed}) {
        Player withGrid, plain;
        ASSERT_TRUE(fctest::load(withGrid, gridMovie(m, innerGrid())));
        ASSERT_TRUE(fctest::load(plain, gridMovie(m, {})));
        EXPECT_EQ(fctest::render(withGrid, 200, 200).pixels, fctest::render(plain, 200, 200).pixels);
    }
}

TEST(ScalingGrid, BadGridTagsAreIgnored) {
    // A grid for a missing character, for a shape, an empty grid and a cut tag.
    const swfw::Matrix m = swfw::Matrix::scale(2, 2, 2000, 2000);
    Player plain;
    ASSERT_TRUE(fctest::load(plain, gridMovie(m, {})));
    const fctest::Image want = fctest::render(plain, 200, 200);
    for (const swfw::Bytes& extra :
         {swfw::defineScalingGrid(9, swfw::Rect{0, 10, 0, 10}),
          swfw::defineScalingGrid(1, swfw::Rect{0, 10, 0, 10}),
          swfw::defineScalingGrid(2, swfw::Rect{100, 100, -5, 5}), swfw::tag(78, {2, 0, 0xFF})}) {
        Player p;
        ASSERT_TRUE(fctest::load(p, gridMovie(m, extra)));
        EXPECT_EQ(fctest::render(p, 200, 200).pixels, want.pixels);
    }
}
