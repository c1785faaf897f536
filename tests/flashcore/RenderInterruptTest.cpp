// A frame whose drawing is given up part-way (the host's message queue needs
// the thread) must leave nothing behind: the next whole frame is the same
// picture as one drawn without interruption, wherever the drawing stopped
// (inside a mask, inside a filtered layer that is kept between frames).
#include <gtest/gtest.h>

#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/FilterWriter.h"

namespace {

using swfw::Bytes;

Bytes square(uint16_t id, int side, swfw::Rgba c) {
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, side, side, s.addFill(swfw::FillStyle::solid(c)));
    return s.defineShape(id);
}

// Squares at depths 1-40 under a mask, a blurred sprite of 40 squares (whose
// layer the renderer keeps between frames), then 60 squares on top.
Bytes busyMovie() {
    swfw::Movie m = fctest::stage100();
    m.version = 8;
    m.add(square(1, 300, {200, 30, 30, 255}));
    m.add(square(2, 200, {30, 30, 200, 160}));
    m.add(square(3, 1400, {0, 0, 0, 255}));
    swfw::Place mask = fctest::place(1, 3, swfw::Matrix::translate(200, 200));
    mask.clipDepth = 40;
    m.add(swfw::placeObject2(mask));
    for (uint16_t d = 2; d <= 40; ++d)
        m.add(
            swfw::placeObject2(fctest::place(d, 1 + d % 2, swfw::Matrix::translate(d * 40, d * 37 % 1800))));
    Bytes inner;
    for (uint16_t d = 1; d <= 40; ++d) {
        Bytes t =
            swfw::placeObject2(fctest::place(d, 1 + d % 2, swfw::Matrix::translate(d * 25, d * 29 % 900)));
        inner.insert(inner.end(), t.begin(), t.end());
    }
    Bytes show = swfw::tag(1, {});
    inner.insert(inner.end(), show.begin(), show.end());
    m.add(swfw::defineSprite(10, inner, 1));
    swfw::Place blurred = fctest::place(50, 10, swfw::Matrix::translate(500, 500));
    swfw::FilterParams blur;
    blur.id = 1;
    blurred.filters = swfw::filterList({blur});
    m.add(swfw::placeObject3(blurred));
    for (uint16_t d = 51; d <= 110; ++d)
        m.add(swfw::placeObject2(
            fctest::place(d, 1 + d % 2, swfw::Matrix::translate(d * 13 % 1800, d * 31 % 1800))));
    m.showFrame();
    return m.build();
}

}  // namespace

TEST(RenderInterrupt, FrameGivenUpAnywhereLeavesTheNextFrameWhole) {
    const Bytes movie = busyMovie();
    flash::Player reference;
    ASSERT_TRUE(fctest::load(reference, movie));
    const fctest::Image whole = fctest::render(reference, 100, 100);

    // How often a whole frame asks: the stopping points to try.
    flash::Player counted;
    ASSERT_TRUE(fctest::load(counted, movie));
    int asked = 0;
    counted.setRenderInterrupt([&] { return ++asked, false; });
    std::vector<uint32_t> px(100 * 100);
    EXPECT_TRUE(counted.render(px.data(), 100, 100, 100));
    EXPECT_EQ(px, whole.pixels);
    ASSERT_GE(asked, 15);  // 150 instances, asked every few
    ASSERT_LE(asked, 40);

    for (int stopAt = 1; stopAt <= asked; ++stopAt) {
        SCOPED_TRACE(stopAt);
        flash::Player p;
        ASSERT_TRUE(fctest::load(p, movie));
        // The layer is kept from a whole frame first, as when playing.
        fctest::render(p, 100, 100);
        int n = 0;
        p.setRenderInterrupt([&] { return ++n >= stopAt; });
        // The kept layer is not drawn again, so fewer instances ask.
        const bool done = p.render(px.data(), 100, 100, 100);
        EXPECT_EQ(done, n < stopAt);
        EXPECT_LE(n, stopAt);  // not asked again once given up
        p.setRenderInterrupt(nullptr);
        EXPECT_TRUE(fctest::render(p, 100, 100).pixels == whole.pixels);
        // A frame drawn right after the interrupted one, without a whole frame before it.
        flash::Player fresh;
        ASSERT_TRUE(fctest::load(fresh, movie));
        n = 0;
        fresh.setRenderInterrupt([&] { return ++n >= stopAt; });
        EXPECT_FALSE(fresh.render(px.data(), 100, 100, 100));
        EXPECT_EQ(n, stopAt);
        fresh.setRenderInterrupt(nullptr);
        EXPECT_TRUE(fctest::render(fresh, 100, 100).pixels == whole.pixels);
    }
}
