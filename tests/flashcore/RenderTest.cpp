// Pictures: fills, fill sides, gradients, strokes, colour transforms,
// masks, morphs, sprites, view modes and qualities, checked at known
// pixels and against references computed independently.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/flashcore/TestSupport.h"

using namespace flash;
using swfw::Bytes;
using Fill = swfw::FillStyle;
using swfw::ShapeBuilder;

namespace {

const uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

// One frame with the given definition and placement tags on a 100 px stage.
Bytes frame(std::initializer_list<Bytes> tags) {
    swfw::Movie m = fctest::stage100();
    for (const Bytes& t : tags) m.add(t);
    m.showFrame();
    return m.build();
}

fctest::Image draw(const Bytes& movie, int w = 100, int h = 100, Quality q = Quality::High) {
    Player p;
    EXPECT_TRUE(fctest::load(p, movie));
    return fctest::render(p, w, h, q);
}

Bytes rectShape(uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1, swfw::Rgba c, int version = 3) {
    ShapeBuilder s(version);
    s.rect(x0, y0, x1, y1, s.addFill(Fill::solid(c)));
    return s.defineShape(id);
}

Bytes at(uint16_t depth, uint16_t id, swfw::Matrix m = swfw::Matrix()) {
    return swfw::placeObject2(fctest::place(depth, id, m));
}

}  // namespace

TEST(Render, SolidFillCoversItsPixelsWithAntialiasedEdges) {
    fctest::Image img = draw(frame({rectShape(1, 210, 200, 600, 610, {255, 0, 0, 255}), at(1, 1)}));
    EXPECT_EQ(img.at(20, 20), kRed);
    EXPECT_EQ(img.at(5, 5), kWhite);
    EXPECT_EQ(img.at(10, 20), 0xFFFF7F7Fu);  // x from 10.5: half covered
    EXPECT_EQ(img.at(20, 30), 0xFFFF7F7Fu);  // y up to 30.5
    EXPECT_EQ(img.at(30, 20), kWhite);
}

TEST(Render, EitherFillSideGivesTheSameArea) {
    ShapeBuilder right(3), left(3);
    int f = right.addFill(Fill::solid({0, 0, 255, 255}));
    right.moveTo(100, 100).fill1(f).lineTo(1500, 300).lineTo(900, 1700).lineTo(100, 100);
    int g = left.addFill(Fill::solid({0, 0, 255, 255}));
    left.moveTo(100, 100).fill0(g).lineTo(900, 1700).lineTo(1500, 300).lineTo(100, 100);
    fctest::Image a = draw(frame({right.defineShape(1), at(1, 1)}));
    fctest::Image b = draw(frame({left.defineShape(1), at(1, 1)}));
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(a.at(50, 40), kBlue);
}

TEST(Render, FillsSharingAnEdgeLeaveNoSeam) {
    ShapeBuilder s(3);
    int red = s.addFill(Fill::solid({255, 0, 0, 255}));
    int blue = s.addFill(Fill::solid({0, 0, 255, 255}));
    // A square split along its diagonal: red on one side, blue on the other.
    s.moveTo(0, 0).fill0(0).fill1(red).lineTo(2000, 0).lineTo(2000, 2000);
    s.fill0(red).fill1(blue).lineTo(0, 0);
    s.moveTo(2000, 2000).fill0(0).fill1(blue).lineTo(0, 2000).lineTo(0, 0);
    fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            ASSERT_LE(img.green(x, y), 2) << x << "," << y;  // no white shows through
            ASSERT_NEAR(img.red(x, y) + img.blue(x, y), 255, 2) << x << "," << y;
        }
    EXPECT_EQ(img.at(80, 20), kRed);
    EXPECT_EQ(img.at(20, 80), kBlue);
}

TEST(Render, RadialGradientMatchesAnAnalyticReference) {
    ShapeBuilder s(3);
    Fill g = Fill::radial(swfw::Matrix::scale(800.0 / 16384, 800.0 / 16384, 1000, 1000),
                          {{0, {255, 255, 0, 255}}, {128, {0, 128, 255, 255}}, {255, {40, 0, 40, 255}}});
    s.ellipse(1000, 1000, 800, 800, s.addFill(g));
    fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
    // Reference: colour from the stops at the pixel centre's distance, times
    // the circle's coverage from 8 x 8 samples, over white.
    fctest::Image ref = img;
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            double dx = x + 0.5 - 50, dy = y + 0.5 - 50;
            double r = std::min(1.0, std::sqrt(dx * dx + dy * dy) / 40) * 255;
            double c[3];
            if (r < 128) {
                double t = r / 128;
                c[0] = lerp(255, 0, t), c[1] = lerp(255, 128, t), c[2] = lerp(0, 255, t);
            } else {
                double t = (r - 128) / 127;
                c[0] = lerp(0, 40, t), c[1] = lerp(128, 0, t), c[2] = lerp(255, 40, t);
            }
            int inside = 0;
            for (int sy = 0; sy < 8; ++sy)
                for (int sx = 0; sx < 8; ++sx) {
                    double px = x + (sx + 0.5) / 8 - 50, py = y + (sy + 0.5) / 8 - 50;
                    inside += px * px + py * py <= 1600;
                }
            double cov = inside / 64.0;
            uint32_t out = 0xFF000000;
            for (int i = 0; i < 3; ++i) {
                uint32_t v = static_cast<uint32_t>(std::lround(c[i] * cov + 255 * (1 - cov)));
                out |= v << (16 - 8 * i);
            }
            ref.pixels[y * 100 + x] = out;
        }
    EXPECT_GT(fctest::psnr(img, ref), 32.0);
}

TEST(Render, LinearGradientSpreadModes) {
    // A gradient 20 px wide in the middle of a 100 px wide rectangle.
    struct Case {
        int spread;
        int x;
        int blue;
    } cases[] = {{0, 5, 0}, {0, 95, 255}, {0, 50, 134}, {2, 65, 70}, {1, 65, 185}, {2, 35, 198}, {1, 35, 57}};
    for (const Case& c : cases) {
        ShapeBuilder s(4);
        Fill g = Fill::linear(swfw::Matrix::scale(400.0 / 32768, 1, 1000, 0),
                              {{0, {0, 0, 0, 255}}, {255, {0, 0, 255, 255}}});
        g.spread = c.spread;
        s.rect(0, 0, 2000, 2000, s.addFill(g));
        fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
        EXPECT_NEAR(img.blue(c.x, 50), c.blue, 3) << "spread " << c.spread << " at " << c.x;
    }
}

TEST(Render, StrokesFollowScaleButNeverVanish) {
    struct Case {
        uint16_t width;  // twips
        double zoom;     // view scale of the 100 px stage
        double pixels;   // expected coverage of one column, in pixels
    } cases[] = {{100, 1, 5}, {100, 2, 10}, {0, 1, 1}, {0, 4, 1}, {4, 1, 1}, {100, 0.1, 1}};
    for (const Case& c : cases) {
        ShapeBuilder s(3);
        swfw::LineStyle l;
        l.width = c.width;
        l.color = {0, 0, 0, 255};
        s.moveTo(0, 1000).line(s.addLine(l)).lineTo(2000, 1000);
        Player p;
        ASSERT_TRUE(fctest::load(p, frame({s.defineShape(1), at(1, 1)})));
        int size = static_cast<int>(100 * c.zoom);
        fctest::Image img = fctest::render(p, size, size);
        double sum = 0;
        for (int y = 0; y < size; ++y) sum += (255 - img.red(size / 2, y)) / 255.0;
        EXPECT_NEAR(sum, c.pixels, 0.05 + c.pixels * 0.02) << c.width << " twips at " << c.zoom;
    }
}

TEST(Render, JoinsAndCapsOfShape4Strokes) {
    auto strokeAt = [](int cap, int join, int px, int py) {
        ShapeBuilder s(4);
        swfw::LineStyle l;
        l.width = 200;  // 10 px
        l.color = {0, 0, 0, 255};
        l.startCap = l.endCap = cap;
        l.join = join;
        l.miterLimit = 10;
        s.moveTo(400, 1600).line(s.addLine(l)).lineTo(1000, 400).lineTo(1600, 1600);
        fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
        return img.red(px, py);
    };
    EXPECT_EQ(strokeAt(1, 2, 50, 12), 0);    // miter tip above the apex
    EXPECT_EQ(strokeAt(1, 1, 50, 12), 255);  // bevel cuts it off
    EXPECT_EQ(strokeAt(1, 0, 50, 16), 0);    // round reaches half the width
    EXPECT_EQ(strokeAt(1, 0, 50, 12), 255);
    EXPECT_EQ(strokeAt(2, 0, 19, 82), 0);    // square cap extends the end
    EXPECT_EQ(strokeAt(1, 0, 19, 82), 255);  // no cap ends at the point
}

TEST(Render, ColorTransformAndAlpha) {
    struct Case {
        swfw::CxForm cx;
        uint32_t want;  // over white
    } cases[] = {
        {{1, 1, 1, 1, 0, 0, 0, 0}, 0xFF804020},    {{0.5, 1, 1, 1, 0, 100, 0, 0}, 0xFF40A420},
        {{1, 1, 1, 0.5, 0, 0, 0, 0}, 0xFFBF9F8F},  {{1, 1, 1, 1, 0, 0, 0, -255}, 0xFFFFFFFF},
        {{-1, 1, 1, 1, 255, 0, 0, 0}, 0xFF7F4020},
    };
    for (const Case& c : cases) {
        swfw::Place p = fctest::place(1, 1);
        p.hasCxForm = true;
        p.cxform = c.cx;
        fctest::Image img =
            draw(frame({rectShape(1, 0, 0, 2000, 2000, {128, 64, 32, 255}), swfw::placeObject2(p)}));
        EXPECT_NEAR(img.red(50, 50), (c.want >> 16) & 0xFF, 1) << std::hex << c.want;
        EXPECT_NEAR(img.green(50, 50), (c.want >> 8) & 0xFF, 1) << std::hex << c.want;
        EXPECT_NEAR(img.blue(50, 50), c.want & 0xFF, 1) << std::hex << c.want;
    }
    // Translucent fill colours blend too.
    fctest::Image img = draw(frame({rectShape(1, 0, 0, 2000, 2000, {0, 0, 255, 128}), at(1, 1)}));
    EXPECT_EQ(img.at(50, 50), 0xFF7F7FFFu);
}

TEST(Render, MasksClipTheLayersAboveThemUpToTheirClipDepth) {
    swfw::Place mask = fctest::place(1, 1);
    mask.clipDepth = 3;
    swfw::Place inner = fctest::place(5, 4);
    inner.clipDepth = 6;
    fctest::Image img = draw(frame({
        rectShape(1, 0, 0, 1000, 2000, {0, 0, 0, 255}),       // mask: left half
        rectShape(2, 0, 0, 2000, 1000, {255, 0, 0, 255}),     // top band, masked
        rectShape(3, 0, 1600, 2000, 2000, {0, 0, 255, 255}),  // bottom band, not masked
        rectShape(4, 0, 0, 2000, 400, {0, 0, 0, 255}),        // second mask: top 20 px
        rectShape(5, 0, 0, 2000, 2000, {0, 255, 0, 255}),     // full, masked by the second only
        swfw::placeObject2(mask),
        at(2, 2),
        at(4, 3),
        swfw::placeObject2(inner),
        at(6, 5),
    }));
    EXPECT_EQ(img.at(25, 30), kRed);    // inside the first mask
    EXPECT_EQ(img.at(75, 30), kWhite);  // clipped away (the mask itself is not drawn)
    EXPECT_EQ(img.at(75, 90), kBlue);   // depth 4 is past the clip depth
    EXPECT_EQ(img.at(75, 10), kGreen);  // second mask
    EXPECT_EQ(img.at(25, 10), kGreen);
    EXPECT_EQ(img.at(49, 30), kRed);  // the mask's last column
    EXPECT_EQ(img.at(50, 30), kWhite);
}

TEST(Render, NestedMasksIntersect) {
    // A sprite holding a mask (right half) and a green square, placed under
    // a mask of the top half: green only in the top right quarter.
    Bytes inside;
    swfw::Place m2 = fctest::place(1, 2);
    m2.clipDepth = 2;
    for (const Bytes& t : {swfw::placeObject2(m2), at(2, 3)}) inside.insert(inside.end(), t.begin(), t.end());
    inside.insert(inside.end(), {0x40, 0x00});
    swfw::Place m1 = fctest::place(1, 1);
    m1.clipDepth = 2;
    fctest::Image img = draw(frame({rectShape(1, 0, 0, 2000, 1000, {0, 0, 0, 255}),
                                    rectShape(2, 1000, 0, 2000, 2000, {0, 0, 0, 255}),
                                    rectShape(3, 0, 0, 2000, 2000, {0, 255, 0, 255}),
                                    swfw::defineSprite(4, inside), swfw::placeObject2(m1), at(2, 4)}));
    EXPECT_EQ(img.at(75, 25), kGreen);
    EXPECT_EQ(img.at(25, 25), kWhite);
    EXPECT_EQ(img.at(75, 75), kWhite);
    EXPECT_EQ(img.at(25, 75), kWhite);
}

TEST(Render, MorphShowsTheShapeAtItsRatio) {
    ShapeBuilder a(3), b(3);
    a.rect(0, 0, 400, 400, 1);
    b.rect(1600, 1600, 2000, 2000, 1);
    swfw::MorphFill f;
    f.startColor = {255, 0, 0, 255};
    f.endColor = {0, 0, 255, 255};
    struct Case {
        int ratio;
        int x, y;
        uint32_t want;
    } cases[] = {{0, 10, 10, kRed}, {65535, 90, 90, kBlue}, {0, 90, 90, kWhite}, {32768, 50, 50, 0xFF7F0080}};
    for (const Case& c : cases) {
        swfw::Place p = fctest::place(1, 1);
        p.ratio = c.ratio;
        fctest::Image img = draw(frame({swfw::defineMorphShape(1, {f}, {}, a, b), swfw::placeObject2(p)}));
        EXPECT_NEAR(img.red(c.x, c.y), (c.want >> 16) & 0xFF, 1) << c.ratio;
        EXPECT_NEAR(img.blue(c.x, c.y), c.want & 0xFF, 1) << c.ratio;
    }
}

TEST(Render, SpriteTransformsComposeWithTheirChildren) {
    Bytes inside = at(1, 1, swfw::Matrix::translate(200, 0));
    inside.insert(inside.end(), {0x40, 0x00});
    fctest::Image img =
        draw(frame({rectShape(1, 0, 0, 200, 200, {255, 0, 0, 255}), swfw::defineSprite(2, inside),
                    at(1, 2, swfw::Matrix::scale(2, 2, 400, 400))}));
    // Child square 10 px at x 10 in the sprite, doubled and moved by 20: 40..60.
    EXPECT_EQ(img.at(45, 25), kRed);
    EXPECT_EQ(img.at(59, 39), kRed);
    EXPECT_EQ(img.at(35, 25), kWhite);
    EXPECT_EQ(img.at(61, 25), kWhite);
}

TEST(Render, LaterLayersOfAShapePaintOverEarlierOnes) {
    ShapeBuilder s(3);
    s.rect(0, 0, 2000, 2000, s.addFill(Fill::solid({255, 0, 0, 255})));
    s.newStyles({Fill::solid({0, 0, 255, 255})}, {});
    s.rect(500, 500, 1500, 1500, 1);
    fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
    EXPECT_EQ(img.at(5, 5), kRed);
    EXPECT_EQ(img.at(50, 50), kBlue);
}

TEST(Render, FillRuleOfSelfOverlappingContours) {
    for (bool nonZero : {false, true}) {
        ShapeBuilder s(4);
        int f = s.addFill(Fill::solid({255, 0, 0, 255}));
        // Two overlapping squares in one contour of the same fill, same direction.
        s.moveTo(0, 0).fill1(f).lineTo(1400, 0).lineTo(1400, 1400).lineTo(0, 1400).lineTo(0, 0);
        s.moveTo(600, 600).lineTo(2000, 600).lineTo(2000, 2000).lineTo(600, 2000).lineTo(600, 600);
        Bytes t = s.defineShape(1);
        // UsesFillWindingRule sits in the flags byte after the two rectangles.
        if (nonZero) {
            flash::ByteReader r = fctest::tagBody(t);
            r.u16();
            r.rect();
            r.rect();
            size_t head = (t[0] & 0x3F) == 0x3F ? 6 : 2;
            t[head + r.pos()] |= 0x04;
        }
        fctest::Image img = draw(frame({t, at(1, 1)}));
        EXPECT_EQ(img.at(50, 50), nonZero ? kRed : kWhite) << nonZero;
        EXPECT_EQ(img.at(10, 10), kRed);
    }
}

TEST(Render, StrokeWithAGradientFill) {
    ShapeBuilder s(4);
    swfw::LineStyle l;
    l.width = 400;
    l.hasFill = true;
    l.fill = Fill::linear(swfw::Matrix::scale(2000.0 / 32768, 1, 1000, 0),
                          {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}});
    s.moveTo(0, 1000).line(s.addLine(l)).lineTo(2000, 1000);
    fctest::Image img = draw(frame({s.defineShape(1), at(1, 1)}));
    EXPECT_GT(img.red(5, 50), 230);
    EXPECT_GT(img.blue(95, 50), 230);
    EXPECT_EQ(img.at(50, 20), kWhite);
}

TEST(Render, ScaleModesAndZoom) {
    // Four quadrants: red, green / blue, black.
    Bytes movie =
        frame({rectShape(1, 0, 0, 1000, 1000, {255, 0, 0, 255}),
               rectShape(2, 1000, 0, 2000, 1000, {0, 255, 0, 255}),
               rectShape(3, 0, 1000, 1000, 2000, {0, 0, 255, 255}),
               rectShape(4, 1000, 1000, 2000, 2000, {0, 0, 0, 255}), at(1, 1), at(2, 2), at(3, 3), at(4, 4)});
    Player p;
    ASSERT_TRUE(fctest::load(p, movie));
    // Show all: 200 x 100 shows the stage in the middle, background beside it.
    fctest::Image all = fctest::render(p, 200, 100);
    EXPECT_EQ(all.at(10, 50), kWhite);
    EXPECT_EQ(all.at(60, 10), kRed);
    EXPECT_EQ(all.at(140, 90), 0xFF000000u);
    // No border: filled, top and bottom cropped (stage is 200 x 200, rows 50..150 seen).
    p.setScaleMode(ScaleMode::NoBorder);
    fctest::Image nb = fctest::render(p, 200, 100);
    EXPECT_EQ(nb.at(10, 10), kRed);
    EXPECT_EQ(nb.at(190, 90), 0xFF000000u);
    EXPECT_EQ(nb.at(10, 49), kRed);
    EXPECT_EQ(nb.at(10, 51), kBlue);
    // Zoom in two times around the centre, then out, then back to the whole stage.
    p.setScaleMode(ScaleMode::ShowAll);
    fctest::Image normal = fctest::render(p, 100, 100);
    p.zoom(50);
    fctest::Image in = fctest::render(p, 100, 100);
    EXPECT_EQ(in.at(5, 5), kRed);  // was at 27, 27
    EXPECT_EQ(in.at(45, 45), kRed);
    EXPECT_EQ(in.at(55, 45), kGreen);
    EXPECT_DOUBLE_EQ(p.zoomFactor(), 2);
    p.zoom(200);
    p.zoom(200);
    fctest::Image out = fctest::render(p, 100, 100);
    EXPECT_EQ(out.at(10, 10), kWhite);  // the stage is 50 px in the middle
    EXPECT_EQ(out.at(30, 30), kRed);
    p.zoom(0);
    EXPECT_EQ(fctest::render(p, 100, 100).pixels, normal.pixels);
}

TEST(Render, QualityLevels) {
    ShapeBuilder s(3);
    int f = s.addFill(Fill::solid({0, 0, 0, 255}));
    s.moveTo(100, 100).fill1(f).lineTo(1900, 500).lineTo(700, 1900).lineTo(100, 100);
    Bytes movie = frame({s.defineShape(1), at(1, 1)});
    for (Quality q : {Quality::Low, Quality::Medium, Quality::High}) {
        fctest::Image img = draw(movie, 100, 100, q);
        int partial = 0;
        for (uint32_t px : img.pixels) partial += px != kWhite && px != 0xFF000000u;
        if (q == Quality::Low) {
            EXPECT_EQ(partial, 0);
        } else {
            EXPECT_GT(partial, 100) << static_cast<int>(q);
        }
    }
    EXPECT_EQ(qualityFromControl(0), Quality::Low);
    EXPECT_EQ(qualityFromControl(1), Quality::High);
    EXPECT_EQ(qualityFromControl(3), Quality::Medium);
}
