// Drawing only the rows that changed since the last frame gives the same
// picture as drawing everything, over many generated frames; a frame that
// changes nothing draws nothing.
#include <gtest/gtest.h>

#include "flash/core/Player.h"
#include "tests/flashcore/RandomMovie.h"
#include "tests/flashcore/TestSupport.h"

using namespace fctest;

namespace {

int rowsIn(const std::vector<flash::RowSpan>& rows) {
    int n = 0;
    for (const flash::RowSpan& r : rows) n += r.bottom - r.top;
    return n;
}

TEST(DirtyRowsTest, ChangedRowsEqualAWholeRender) {
    const int w = 400, h = 300;
    int frames = 0, partial = 0;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        const swfw::Bytes movie = RandomMovie(seed, seed % 2 ? 0.3 : 1.0).build(12, 30);
        flash::Player whole, changed;
        ASSERT_TRUE(load(whole, movie));
        ASSERT_TRUE(load(changed, movie));
        std::vector<uint32_t> kept(static_cast<size_t>(w) * h, 0);
        for (int f = 0; f < 30; ++f) {
            const Image expected = render(whole, w, h);
            const std::vector<flash::RowSpan> rows = changed.renderChanged(kept.data(), w, h, w);
            if (f > 0 && rowsIn(rows) < h) ++partial;
            for (int y = 0; y < h; ++y) {
                int x = 0;
                while (x < w && kept[static_cast<size_t>(y) * w + x] == expected.at(x, y)) ++x;
                if (x < w) {
                    ADD_FAILURE() << "seed " << seed << " frame " << f << ": differs at (" << x << ", " << y
                                  << ")";
                    break;
                }
            }
            whole.tick();
            changed.tick();
            ++frames;
        }
    }
    EXPECT_EQ(frames, 240);
    EXPECT_GT(partial, 90);  // many frames really were drawn in part
}

// A small shape moving over a still background: only its rows are drawn;
// a stopped movie draws nothing; a new size, quality or buffer draws all.
TEST(DirtyRowsTest, OnlyWhatChangedIsDrawn) {
    swfw::Movie m = stage100();
    swfw::ShapeBuilder big, dot;
    big.rect(0, 0, 2000, 2000, big.addFill(swfw::FillStyle::solid({200, 30, 30, 255})));
    dot.ellipse(0, 0, 100, 100, dot.addFill(swfw::FillStyle::solid({0, 0, 255, 255})));
    m.add(big.defineShape(1));
    m.add(dot.defineShape(2));
    m.add(swfw::placeObject2(place(1, 1)));
    m.add(swfw::placeObject2(place(2, 2, swfw::Matrix::translate(400, 400))));
    m.showFrame();
    swfw::Place moved = place(2, -1, swfw::Matrix::translate(400, 1200));
    moved.move = true;
    m.add(swfw::placeObject2(moved));
    m.add(swfw::doAction(swfw::ActionWriter().stop().bytes()));
    m.showFrame();
    flash::Player p;
    ASSERT_TRUE(load(p, m.build()));
    std::vector<uint32_t> buf(100 * 100, 0);
    EXPECT_EQ(rowsIn(p.renderChanged(buf.data(), 100, 100, 100)), 100);
    EXPECT_EQ(rowsIn(p.renderChanged(buf.data(), 100, 100, 100)), 0);
    p.tick();
    // The dot leaves rows 15..25 and comes to rows 55..65 (5 px radius).
    EXPECT_FALSE(p.changedRows(100, 100).empty());
    const std::vector<flash::RowSpan> rows = p.renderChanged(buf.data(), 100, 100, 100);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_LE(rows[0].top, 15);
    EXPECT_GE(rows[0].bottom, 25);
    EXPECT_LE(rows[1].top, 55);
    EXPECT_GE(rows[1].bottom, 65);
    EXPECT_LT(rowsIn(rows), 40);
    for (int i = 0; i < 5; ++i) {
        p.tick();  // stopped: the picture stays
        EXPECT_TRUE(p.changedRows(100, 100).empty());
        EXPECT_EQ(rowsIn(p.renderChanged(buf.data(), 100, 100, 100)), 0);
    }
    p.setQuality(flash::Quality::Low);
    EXPECT_EQ(rowsIn(p.renderChanged(buf.data(), 100, 100, 100)), 100);
    std::vector<uint32_t> other(100 * 100, 0);
    EXPECT_EQ(rowsIn(p.renderChanged(other.data(), 100, 100, 100)), 100);
    p.forgetPicture();
    EXPECT_EQ(rowsIn(p.renderChanged(other.data(), 100, 100, 100)), 100);
    EXPECT_EQ(rowsIn(p.renderChanged(other.data(), 100, 100, 100)), 0);
}

}  // namespace
