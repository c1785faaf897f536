// Movies loaded into levels: drawn over level 0 with their own characters,
// met by the pointer, named by paths (_level1.a, _level1:v, "_level1/a"),
// replaced and removed by loadMovieNum/unloadMovieNum.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flash/core/avm1/Avm1.h"
#include "tests/flashcore/ScriptHost.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ButtonWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

using Lines = std::vector<std::string>;

Bytes rect(uint16_t id, int x0, int y0, int x1, int y1, swfw::Rgba color) {
    swfw::ShapeBuilder s(3);
    s.rect(x0 * 20, y0 * 20, x1 * 20, y1 * 20, s.addFill(swfw::FillStyle::solid(color)));
    return s.defineShape(id);
}

// A movie for level 1. Its character ids are those of the main movie's
// but name other shapes: a green square 5..15 px, a sprite "inner" holding
// a blue 0..5 px square at 60 px, and a yellow button 40..55 px whose
// release traces the timeline it runs on.
std::string levelMovie() {
    swfw::Movie m = fctest::stage100();
    m.version = 6;
    m.add(rect(1, 5, 5, 15, 15, {0, 255, 0, 255}));
    m.add(rect(3, 0, 0, 5, 5, {0, 0, 255, 255}));
    Bytes sprite = swfw::placeObject2(fctest::place(1, 3));
    sprite.insert(sprite.end(), {0x40, 0x00});
    m.add(swfw::defineSprite(2, sprite));
    m.add(rect(4, 40, 40, 55, 55, {255, 255, 0, 255}));
    swfw::ButtonRecord r;
    r.states = swfw::kUp | swfw::kOver | swfw::kDown | swfw::kHit;
    r.characterId = 4;
    m.add(swfw::defineButton2(
        10, {r}, {{0x0008, ActionWriter().push("button on ").getVar("this").add2().trace().bytes()}}));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    swfw::Place p = fctest::place(2, 2, swfw::Matrix::translate(1200, 1200));
    p.name = "inner";
    m.add(swfw::placeObject2(p));
    m.add(swfw::placeObject2(fctest::place(3, 10)));
    ActionWriter a;
    a.push("v").push("one").setVariable();
    a.push("level root ").getVar("_root").add2().push(" ").add2().push("/inner").getVariable().add2().trace();
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    Bytes b = m.build();
    return std::string(b.begin(), b.end());
}

// Another whole movie: a black 0..50 px square on a 200 x 200 stage.
std::string replacementMovie() {
    swfw::Movie m;
    m.version = 6;
    m.stage = {0, 4000, 0, 4000};
    m.frameRate = 30;
    m.add(rect(1, 0, 0, 50, 50, {0, 0, 0, 255}));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    m.add(swfw::doAction(ActionWriter().push("replaced ").getVar("_root").add2().trace().bytes()));
    m.showFrame();
    Bytes b = m.build();
    return std::string(b.begin(), b.end());
}

void run(Engine& e, DisplayObject* on, const ActionWriter& a) {
    std::vector<uint8_t> code = a.bytes();
    code.push_back(0);
    e.vm().run(on, ActionBlock{code.data(), code.size()}, 100000);
}

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};
Pixel at(const fctest::Image& img, int x, int y) { return {img.red(x, y), img.green(x, y), img.blue(x, y)}; }
const Pixel kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kWhite{255, 255, 255};

TEST(Levels, AHigherLevelDrawsOverLevelZeroAndTakesThePointer) {
    fctest::HostedMovie h(ActionWriter().getUrl("level.swf", "_level1"), {{"level.swf", levelMovie()}});
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"level root _level1 _level1.inner"}));
    fctest::Image img = fctest::render(h.player, 100, 100);
    EXPECT_EQ(at(img, 2, 2), kRed);     // level 0's clip alone
    EXPECT_EQ(at(img, 8, 8), kGreen);   // level 1's square over it
    EXPECT_EQ(at(img, 62, 62), kBlue);  // level 1's sprite: its own shape 3
    EXPECT_EQ(at(img, 50, 50), kYellow);
    EXPECT_TRUE(h.player.mouseDown(50, 50));
    h.player.mouseUp(50, 50);
    EXPECT_EQ(h.traces.back(), "button on _level1");
    EXPECT_TRUE(h.player.wantsHandCursor());

    // A hidden level shows level 0 again and takes no pointer.
    Engine& e = h.player.engine();
    run(e, e.root(), ActionWriter().getVar("_level1").push("_visible").pushBool(false).setMember());
    img = fctest::render(h.player, 100, 100);
    EXPECT_EQ(at(img, 8, 8), kRed);
    EXPECT_EQ(at(img, 50, 50), kWhite);
    h.player.mouseMove(51, 51);
    EXPECT_FALSE(h.player.wantsHandCursor());
}

TEST(Levels, PathsNameLevelsAndTheirClips) {
    fctest::HostedMovie h(ActionWriter().getUrl("level.swf", "_level1"), {{"level.swf", levelMovie()}});
    h.player.tick();
    h.traces.clear();
    Engine& e = h.player.engine();
    ActionWriter a;
    a.getVar("_level1.inner").trace();  // dotted variable
    a.getVar("_level1:v").trace();      // slash syntax
    a.getVar("_level1/inner:_x").trace();
    a.getVar("_level1.inner").push("_level").getMember().trace();  // a clip's level
    a.getVar("_level1.inner").push("_root").getMember().trace();
    a.getVar("_level1.inner").push("_target").getMember().trace();
    a.getVar("_level2").typeOf().trace();  // an empty level
    a.setTarget("_level1/inner").getVar("_target").trace().getVar("/:v").trace().setTarget("");
    a.push("_level1.inner._x").pushInt(70).setVariable();  // moved by path
    a.push("_LEVEL1:w").pushInt(3).setVariable();          // any case before v7
    a.getVar("_root").trace();
    run(e, e.root(), a);
    EXPECT_EQ(h.traces, (Lines{"_level1.inner", "one", "60", "_level1", "_level1", "_level1/inner",
                               "undefined", "_level1/inner", "one", "_level0"}));
    EXPECT_EQ(toString(e.vm().readVariable(e.level(1), "w"), 6), "3");
    EXPECT_EQ(e.resolveTarget(e.root(), "_level1/inner"), e.resolveTarget(e.level(1), "/inner"));
    EXPECT_EQ(e.targetPath(e.level(1)), "_level1");

    // A level's root moves with it: its clips draw and hit where it is.
    run(e, e.root(), ActionWriter().getVar("_level1").push("_x").pushInt(20).setMember());
    fctest::Image img = fctest::render(h.player, 100, 100);
    EXPECT_EQ(at(img, 92, 62), kBlue);   // inner at 70 + 20
    EXPECT_EQ(at(img, 28, 8), kGreen);   // the square at 25..35
    EXPECT_EQ(at(img, 50, 50), kWhite);  // the button went to 60..75
    EXPECT_EQ(at(img, 65, 50), kYellow);
    ASSERT_NE(e.buttonAt(65 * 20, 50 * 20), nullptr);
    EXPECT_EQ(e.buttonAt(45 * 20, 50 * 20), nullptr);
    EXPECT_TRUE(e.hitTest(e.resolveTarget(e.root(), "_level1.inner"), 92 * 20, 62 * 20, true));
}

TEST(Levels, RectanglesOfAChangedLevelAreDrawnAgainLikeAWholeFrame) {
    fctest::HostedMovie h(ActionWriter().getUrl("level.swf", "_level1"), {{"level.swf", levelMovie()}});
    fctest::Image shown = fctest::render(h.player, 100, 100);
    h.player.renderChanged(shown.pixels.data(), 100, 100, 100);
    h.player.tick();  // level 1 arrives
    std::vector<DirtyRect> rows = h.player.renderChanged(shown.pixels.data(), 100, 100, 100);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(shown.pixels, fctest::render(h.player, 100, 100).pixels);
    Engine& e = h.player.engine();
    run(e, e.root(), ActionWriter().push("_level1.inner._y").pushInt(10).setVariable());
    rows = h.player.renderChanged(shown.pixels.data(), 100, 100, 100);
    ASSERT_FALSE(rows.empty());
    int top = 100, bottom = 0;
    for (const DirtyRect& r : rows) {
        top = std::min(top, r.top);
        bottom = std::max(bottom, r.bottom);
    }
    EXPECT_LE(top, 10);
    EXPECT_LT(bottom, 90);  // not the whole frame
    EXPECT_EQ(shown.pixels, fctest::render(h.player, 100, 100).pixels);
    EXPECT_TRUE(h.player.renderChanged(shown.pixels.data(), 100, 100, 100).empty());
}

TEST(Levels, LoadingIntoLevelZeroReplacesEverythingAndUnloadingRemovesALevel) {
    ActionWriter a;
    a.getUrl("level.swf", "_level1");
    a.getUrl("level.swf", "_level3");
    fctest::HostedMovie h(a, {{"level.swf", levelMovie()}, {"big.swf", replacementMovie()}});
    h.player.tick();
    Engine& e = h.player.engine();
    ASSERT_NE(e.level(3), nullptr);
    run(e, e.root(), ActionWriter().getUrl("", "_level3"));  // unloadMovieNum(3)
    EXPECT_EQ(e.level(3), nullptr);
    EXPECT_EQ(e.stage().children.size(), 2u);
    ASSERT_NE(e.level(1), nullptr);

    h.traces.clear();
    run(e, e.level(1), ActionWriter().getUrl("big.swf", "_level0"));
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"replaced _level0"}));
    EXPECT_EQ(e.level(1), nullptr);         // every level went
    EXPECT_EQ(h.player.stageWidth(), 100);  // the first movie's stage and rate stay
    EXPECT_EQ(h.player.frameRate(), 12);
    fctest::Image img = fctest::render(h.player, 100, 100);
    EXPECT_EQ(at(img, 30, 30), (Pixel{0, 0, 0}));
    EXPECT_EQ(at(img, 60, 60), kWhite);
    EXPECT_EQ(e.resolveTarget(e.root(), "clip"), nullptr);  // the old movie's clips are gone
}

}  // namespace

namespace {

// A three-frame movie with a preloader: frame 1 traces what has arrived,
// frame 2 goes back to frame 1 while bytes are missing, frame 3 stops.
Bytes preloaderMovie(char signature) {
    swfw::Movie m = fctest::stage100();
    m.signature = signature;
    m.version = 6;
    m.add(rect(1, 0, 0, 10, 10, {0, 0, 255, 255}));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    ActionWriter f1;
    f1.push("f1 ").getVar("_framesloaded").add2().push("/").add2().getVar("_totalframes").add2();
    f1.push(" ").add2().pushInt(0).getVar("_root").push("getBytesLoaded").callMethod().add2();
    f1.push("/").add2().pushInt(0).getVar("_root").push("getBytesTotal").callMethod().add2().trace();
    m.add(swfw::doAction(f1.bytes()));
    m.showFrame();
    ActionWriter f2;
    f2.pushInt(0).getVar("_root").push("getBytesLoaded").callMethod();
    f2.pushInt(0).getVar("_root").push("getBytesTotal").callMethod();
    f2.op(0x48).op(0x12).ifTrue("on");  // Less2, Not
    f2.pushInt(1).gotoFrame2(true).label("on");
    m.add(swfw::doAction(f2.bytes()));
    m.showFrame();
    // Frame 3 brings a large shape: most of the file.
    swfw::ShapeBuilder big(3);
    int fill = big.addFill(swfw::FillStyle::solid({255, 0, 255, 255}));
    big.rect(0, 1000, 2000, 1200, fill);
    for (int i = 0; i < 400; ++i)
        big.rect(40 * (i % 50), 1300 + 40 * (i / 50), 40 * (i % 50) + 30, 1330 + 40 * (i / 50), fill);
    m.add(big.defineShape(2));
    m.add(swfw::placeObject2(fctest::place(2, 2)));
    m.add(swfw::doAction(ActionWriter().push("f3 ").getVar("_framesloaded").add2().trace().stop().bytes()));
    m.showFrame();
    return m.build();
}

// File offsets just after each ShowFrame of an uncompressed movie.
std::vector<size_t> frameEnds(const Bytes& file) {
    size_t bits = file[8] >> 3;
    size_t pos = 8 + (5 + 4 * bits + 7) / 8 + 4;
    std::vector<size_t> ends;
    while (pos + 2 <= file.size()) {
        size_t head = file[pos] | (file[pos + 1] << 8), len = head & 0x3F;
        pos += 2;
        if (len == 0x3F) {
            len = file[pos] | (file[pos + 1] << 8) | (file[pos + 2] << 16) | (size_t(file[pos + 3]) << 24);
            pos += 4;
        }
        pos += len;
        if ((head >> 6) == 1) ends.push_back(pos);
    }
    return ends;
}

TEST(Levels, AMovieArrivingInPartsPlaysItsFramesAsTheyComeAndItsPreloaderWaits) {
    const Bytes file = preloaderMovie('F');
    const std::vector<size_t> ends = frameEnds(file);
    ASSERT_EQ(ends.size(), 3u);
    fctest::HostedMovie h{ActionWriter()};
    h.host.held["part.swf"] = 0;
    Engine& e = h.player.engine();
    run(e, e.root(), ActionWriter().getUrl("part.swf", "_level1"));
    const int id = h.host.held["part.swf"];
    ASSERT_GT(id, 0);
    const std::string total = std::to_string(file.size());

    e.loadProgress(id, file.data(), ends[0] - 3, file.size());  // frame 1 not quite whole
    h.player.tick();
    EXPECT_EQ(e.level(1), nullptr);
    e.loadProgress(id, file.data() + ends[0] - 3, ends[1] - ends[0] + 3, file.size());
    h.player.tick();
    ASSERT_NE(e.level(1), nullptr);
    EXPECT_EQ(at(fctest::render(h.player, 100, 100), 5, 5), kBlue);
    for (int i = 0; i < 4; ++i) h.player.tick();  // the preloader holds frames 1 and 2
    const std::string f1 = "f1 2/3 " + std::to_string(ends[1]) + "/" + total;
    EXPECT_EQ(h.traces, Lines(h.traces.size(), f1));
    EXPECT_GE(h.traces.size(), 5u);
    EXPECT_EQ(e.level(1)->currentFrame, 0);

    e.loadProgress(id, file.data() + ends[1], file.size() - ends[1], file.size());
    e.finishLoad(id, true, {});
    h.traces.clear();
    for (int i = 0; i < 4; ++i) h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"f3 3"}));  // frame 2 saw every byte there and let it through
    EXPECT_EQ(at(fctest::render(h.player, 100, 100), 10, 55), (Pixel{255, 0, 255}));
}

TEST(Levels, ACompressedMovieArrivingInPartsIsTheSameMovieWhenWhole) {
    const Bytes file = preloaderMovie('C');
    fctest::HostedMovie h{ActionWriter()};
    h.host.held["part.swf"] = 0;
    Engine& e = h.player.engine();
    run(e, e.root(), ActionWriter().push("part.swf").push("clip").getUrl2(0x40));  // into a clip
    const int id = h.host.held["part.swf"];
    for (size_t at = 0; at < file.size(); at += 97) {
        e.loadProgress(id, file.data() + at, std::min<size_t>(97, file.size() - at), 0);
        h.player.tick();
    }
    e.finishLoad(id, true, {});
    for (int i = 0; i < 4; ++i) h.player.tick();
    ASSERT_FALSE(h.traces.empty());
    EXPECT_EQ(h.traces.back(), "f3 3");
    EXPECT_EQ(at(fctest::render(h.player, 100, 100), 10, 55), (Pixel{255, 0, 255}));

    // Bytes that are no movie: nothing shows, the clip keeps its square.
    fctest::HostedMovie g{ActionWriter()};
    g.host.held["junk.swf"] = 0;
    Engine& ge = g.player.engine();
    run(ge, ge.root(), ActionWriter().getUrl("junk.swf", "_level2"));
    const std::string junk(500, 'x');
    ge.loadProgress(g.host.held["junk.swf"], reinterpret_cast<const uint8_t*>(junk.data()), junk.size(), 0);
    g.player.tick();
    ge.finishLoad(g.host.held["junk.swf"], true, {});
    g.player.tick();
    EXPECT_EQ(ge.level(2), nullptr);
}

}  // namespace
