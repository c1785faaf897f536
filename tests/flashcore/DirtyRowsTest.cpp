// Drawing only the rectangles that changed since the last frame gives the
// same picture as drawing everything, over many generated frames (with
// effects too); a frame that changes nothing draws nothing.
#include <gtest/gtest.h>

#include "flash/core/Player.h"
#include "tests/flashcore/RandomMovie.h"
#include "tests/flashcore/ScriptNotation.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/VideoWriter.h"

using namespace fctest;

namespace {

// Pixels the rectangles hold.
int64_t areaOf(const std::vector<flash::DirtyRect>& rects) {
    int64_t n = 0;
    for (const flash::DirtyRect& r : rects) n += r.area();
    return n;
}

// Plays `movie` in two players, one drawing every frame whole, the other
// only what changed into a kept buffer; every frame must be the same. Counts
// the frames drawn in part.
int comparePlaying(const swfw::Bytes& movie, int w, int h, int frames, const char* name) {
    flash::Player whole, changed;
    if (!load(whole, movie) || !load(changed, movie)) {
        ADD_FAILURE() << name << ": does not load";
        return 0;
    }
    std::vector<uint32_t> kept(static_cast<size_t>(w) * h, 0);
    int partial = 0;
    for (int f = 0; f < frames; ++f) {
        const Image expected = render(whole, w, h);
        const std::vector<flash::DirtyRect> rects = changed.renderChanged(kept.data(), w, h, w);
        if (f > 0 && areaOf(rects) < int64_t(w) * h) ++partial;
        for (size_t i = 0; i < kept.size(); ++i)
            if (kept[i] != expected.pixels[i]) {
                ADD_FAILURE() << name << " frame " << f << ": differs at (" << i % w << ", " << i / w << ")";
                break;
            }
        whole.tick();
        changed.tick();
    }
    return partial;
}

TEST(DirtyRowsTest, ChangedRectanglesEqualAWholeRender) {
    int partial = 0;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        const std::string name = "seed " + std::to_string(seed);
        partial +=
            comparePlaying(RandomMovie(seed, seed % 2 ? 0.3 : 1.0).build(12, 30), 400, 300, 30, name.c_str());
    }
    EXPECT_GT(partial, 90);  // many frames really were drawn in part
}

// Filters, blend modes and a scale-9 grid: their items reach as far as the
// filters spread, and what lies below a blend is drawn again with it.
TEST(DirtyRowsTest, ChangedRectanglesWithEffectsEqualAWholeRender) {
    int partial = 0;
    for (uint32_t seed = 11; seed <= 16; ++seed) {
        const std::string name = "effects seed " + std::to_string(seed);
        partial +=
            comparePlaying(RandomMovie(seed, 0.3).withEffects().build(12, 24), 331, 257, 24, name.c_str());
    }
    EXPECT_GT(partial, 40);
}

// What scripts change and a video's new frames are drawn again too: lines
// drawn into a clip frame by frame, a mask set by setMask that moves, a
// text field whose text grows, a screen video stepping through its frames.
TEST(DirtyRowsTest, ScriptChangesAndVideoFramesAreDrawn) {
    swfw::Movie m = stage100();
    m.version = 8;
    swfw::ShapeBuilder back;
    back.rect(0, 0, 2000, 2000,
              back.addFill(swfw::FillStyle::linear(swfw::Matrix::scale(0.06, 0.06),
                                                   {{0, {250, 250, 200, 255}}, {255, {90, 120, 200, 255}}})));
    m.add(back.defineShape(1));
    m.add(swfw::placeObject2(place(1, 1)));
    const int vw = 32, vh = 16, frames = 8;
    m.add(swfw::defineVideoStream(2, frames, vw, vh, 3));
    std::vector<uint32_t> previous;
    for (int k = 0; k < frames; ++k) {
        std::vector<uint32_t> px(size_t(vw) * vh);
        for (int i = 0; i < vw * vh; ++i) px[i] = (i % vw < 4 * k) ? 0x3050A0u * (k + 1) : 0x808080u + i;
        m.add(swfw::videoFrame(2, static_cast<uint16_t>(k),
                               swfw::screenVideoFrame(px, vw, vh, 16, k % 4 ? &previous : nullptr)));
        previous = px;
        swfw::Place v = place(2, k == 0 ? 2 : -1, swfw::Matrix::translate(1300, 1500));
        v.move = k > 0;
        v.ratio = k;
        m.add(swfw::placeObject2(v));
        Script s;
        if (k == 0) {
            s.call("_root", "createEmptyMovieClip", {"'d", "10"});
            s.call("d", "lineStyle", {"3", "16711680", "100"});
            s.call("d", "moveTo", {"5", "5"});
            s.call("_root", "createEmptyMovieClip", {"'mk", "11"});
            s.call("mk", "beginFill", {"0", "100"});
            s.call("mk", "moveTo", {"0", "0"});
            s.call("mk", "lineTo", {"25", "0"})
                .call("mk", "lineTo", {"25", "25"})
                .call("mk", "lineTo", {"0", "25"});
            s.call("mk", "endFill");
            s.call("d", "setMask", {"mk"});
            s.field("t", 12, 55, 5, 10, 12);
            s.set("t", "background", "true").set("t", "border", "true").set("t", "autoSize", "'left");
        }
        s.call("d", "lineTo", {std::to_string(5 + k * 3), std::to_string(5 + (k % 2) * 15)});
        s.set("mk", "_x", std::to_string(k * 2));
        s.set("t", "text", "'" + std::string(static_cast<size_t>(k + 1), 'W'));
        m.add(swfw::doAction(s.a.bytes()));
        m.showFrame();
    }
    const int partial = comparePlaying(m.build(), 100, 100, 2 * frames, "scripts and video");
    EXPECT_GE(partial, 2 * frames - 3);
}

// A small shape moving over a still background: only its old and new
// places are drawn; a stopped movie draws nothing; a new quality or buffer
// draws all.
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
    swfw::Place moved = place(2, -1, swfw::Matrix::translate(1200, 1400));
    moved.move = true;
    m.add(swfw::placeObject2(moved));
    m.add(swfw::doAction(swfw::ActionWriter().stop().bytes()));
    m.showFrame();
    flash::Player p;
    ASSERT_TRUE(load(p, m.build()));
    std::vector<uint32_t> buf(100 * 100, 0);
    EXPECT_EQ(areaOf(p.renderChanged(buf.data(), 100, 100, 100)), 10000);
    EXPECT_EQ(areaOf(p.renderChanged(buf.data(), 100, 100, 100)), 0);
    p.tick();
    // The dot leaves (15..25, 15..25) and comes to (55..65, 65..75).
    EXPECT_FALSE(p.changedRects(100, 100).empty());
    std::vector<flash::DirtyRect> rects = p.renderChanged(buf.data(), 100, 100, 100);
    ASSERT_EQ(rects.size(), 2u);
    if (rects[0].top > rects[1].top) std::swap(rects[0], rects[1]);
    // Each holds the dot's 10 x 10 pixels and reaches at most 5 beyond them.
    const int dots[2][2] = {{15, 15}, {55, 65}};
    for (int k = 0; k < 2; ++k) {
        const flash::DirtyRect& r = rects[k];
        const int x = dots[k][0], y = dots[k][1];
        EXPECT_TRUE(r.left <= x && r.left >= x - 5 && r.right >= x + 10 && r.right <= x + 15) << k;
        EXPECT_TRUE(r.top <= y && r.top >= y - 5 && r.bottom >= y + 10 && r.bottom <= y + 15) << k;
    }
    EXPECT_LE(areaOf(rects), 2 * 16 * 16);  // the dot, a pixel for thin lines and two of margin
    for (int i = 0; i < 5; ++i) {
        p.tick();  // stopped: the picture stays
        EXPECT_TRUE(p.changedRects(100, 100).empty());
        EXPECT_EQ(areaOf(p.renderChanged(buf.data(), 100, 100, 100)), 0);
    }
    p.setQuality(flash::Quality::Low);
    EXPECT_EQ(areaOf(p.renderChanged(buf.data(), 100, 100, 100)), 10000);
    std::vector<uint32_t> other(100 * 100, 0);
    EXPECT_EQ(areaOf(p.renderChanged(other.data(), 100, 100, 100)), 10000);
    p.forgetPicture();
    EXPECT_EQ(areaOf(p.renderChanged(other.data(), 100, 100, 100)), 10000);
    EXPECT_EQ(areaOf(p.renderChanged(other.data(), 100, 100, 100)), 0);
}

// Rectangles close together are drawn as one, far apart ones stay apart,
// and many are merged down to a few that still hold them all.
TEST(DirtyRowsTest, RectanglesAreMergedIntoAFew) {
    using flash::DirtyRect;
    std::vector<DirtyRect> rects{{0, 0, 10, 10}, {5, 5, 20, 20}, {500, 500, 510, 510}};
    flash::FrameItems::mergeRects(rects, 8);
    ASSERT_EQ(rects.size(), 2u);
    std::vector<DirtyRect> many;
    for (int i = 0; i < 40; ++i)
        many.push_back({i * 97 % 1800, i * 61 % 1000, i * 97 % 1800 + 20, i * 61 % 1000 + 30});
    std::vector<DirtyRect> merged = many;
    flash::FrameItems::mergeRects(merged, 8);
    EXPECT_LE(merged.size(), 8u);
    for (const DirtyRect& r : many) {
        bool held = false;
        for (const DirtyRect& m : merged)
            held = held || (m.left <= r.left && m.top <= r.top && m.right >= r.right && m.bottom >= r.bottom);
        EXPECT_TRUE(held) << r.left << "," << r.top;
    }
    for (size_t i = 0; i < merged.size(); ++i)
        for (size_t j = i + 1; j < merged.size(); ++j)
            EXPECT_FALSE(merged[i].left < merged[j].right && merged[j].left < merged[i].right &&
                         merged[i].top < merged[j].bottom && merged[j].top < merged[i].bottom);
}

}  // namespace
