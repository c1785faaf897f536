// Clips as scripts draw into them and use them: the drawing methods
// (fills, lines, curves, gradients, clear) under the clip's children,
// setMask, enabled and useHandCursor, onUnload, and keys for the focused clip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/ScriptNotation.h"
#include "tests/flashcore/TestSupport.h"

using namespace flash;
using fctest::Lines;
using fctest::Script;
using swfw::ActionWriter;

namespace {

struct ClipMovie {
    Player player;
    Lines traces;

    // `s` runs in frame 1, `later` in frame 2 (reached by runLater()).
    explicit ClipMovie(const Script& s, Script later = Script()) {
        swfw::Movie m = fctest::stage100();
        m.version = 6;
        Script first = s;
        first.a.stop();
        m.add(swfw::doAction(first.a.bytes()));
        m.showFrame();
        later.a.stop();
        m.add(swfw::doAction(later.a.bytes()));
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
    void runLater() { player.gotoFrame(1); }
    fctest::Image picture() { return fctest::render(player, 100, 100); }
    void click(double x, double y) {
        player.engine().mouseMove(x * 20, y * 20);
        player.engine().mouseDown();
        player.engine().mouseUp();
    }
};

// clip.beginFill(rgb); a rectangle; clip.endFill()
Script& rect(Script& s, const std::string& clip, int rgb, int x0, int y0, int x1, int y1) {
    s.call(clip, "beginFill", {std::to_string(rgb), "100"});
    s.call(clip, "moveTo", {std::to_string(x0), std::to_string(y0)});
    for (auto p : {std::make_pair(x1, y0), std::make_pair(x1, y1), std::make_pair(x0, y1)})
        s.call(clip, "lineTo", {std::to_string(p.first), std::to_string(p.second)});
    return s.call(clip, "endFill");
}

// A handler `clip.name = function () { trace(text) }`.
Script& traceHandler(Script& s, const std::string& clip, const std::string& name, const std::string& text) {
    s.a.getVar(clip).push(name).defineFunction("", {}, ActionWriter().push(text).trace()).setMember();
    return s;
}

struct Rgb {
    int r, g, b;
};
Rgb at(const fctest::Image& img, int x, int y) { return {img.red(x, y), img.green(x, y), img.blue(x, y)}; }
bool is(const Rgb& c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; }

TEST(DrawingApi, FillsLinesAndCurvesDrawUnderTheChildren) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'d", "1"});
    rect(s, "d", 0xFF0000, 10, 10, 50, 50);
    s.call("d", "lineStyle", {"4", "255", "100"})
        .call("d", "moveTo", {"60", "10"})
        .call("d", "lineTo", {"90", "10"});
    s.call("d", "createEmptyMovieClip", {"'k", "1"});
    s.a.push("k").getVar("d").push("k").getMember().setVariable();
    rect(s, "k", 0x00FF00, 20, 20, 30, 30);
    s.call("_root", "createEmptyMovieClip", {"'e", "2"});
    s.call("e", "beginFill", {"255"}).call("e", "moveTo", {"10", "60"});
    s.call("e", "curveTo", {"30", "100", "50", "60"}).call("e", "endFill");
    s.trace("d", "_width").trace("d", "_height");
    s.traceCall("d", "hitTest", {"40", "40", "true"}).traceCall("d", "hitTest", {"55", "40", "true"});
    s.traceCall("e", "hitTest", {"30", "70", "true"}).traceCall("e", "hitTest", {"30", "85", "true"});
    ClipMovie m(s);
    EXPECT_EQ(m.traces, (Lines{"82", "42", "true", "false", "true", "false"}));
    fctest::Image img = m.picture();
    EXPECT_TRUE(is(at(img, 40, 40), 255, 0, 0));
    EXPECT_TRUE(is(at(img, 25, 25), 0, 255, 0));  // the child above the drawing
    EXPECT_TRUE(is(at(img, 75, 10), 0, 0, 255));  // the line
    EXPECT_TRUE(is(at(img, 75, 14), 255, 255, 255));
    EXPECT_TRUE(is(at(img, 55, 30), 255, 255, 255));
    EXPECT_TRUE(is(at(img, 30, 70), 0, 0, 255));  // inside the curve's bowl
    EXPECT_TRUE(is(at(img, 30, 85), 255, 255, 255));
}

TEST(DrawingApi, ClearEmptiesAndAnOpenFillClosesItself) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'d", "1"});
    rect(s, "d", 0xFF0000, 10, 10, 50, 50);
    s.call("d", "clear").trace("d", "_width");
    // A triangle left open: endFill closes it with a straight edge.
    s.call("d", "beginFill", {"65280"}).call("d", "moveTo", {"10", "10"});
    s.call("d", "lineTo", {"90", "10"}).call("d", "lineTo", {"90", "90"}).call("d", "endFill");
    ClipMovie m(s);
    EXPECT_EQ(m.traces, (Lines{"0"}));
    fctest::Image img = m.picture();
    EXPECT_TRUE(is(at(img, 30, 20), 0, 255, 0));
    EXPECT_TRUE(is(at(img, 20, 30), 255, 255, 255));  // below the closing diagonal
}

TEST(DrawingApi, GradientFillsRunAcrossTheirBox) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'g", "1"});
    s.a.push("box").push("matrixType").push("box").push("x").pushInt(0).push("y").pushInt(0);
    s.a.push("w")
        .pushInt(100)
        .push("h")
        .pushInt(100)
        .push("r")
        .pushInt(0)
        .pushInt(6)
        .initObject()
        .setVariable();
    s.a.push("colors").pushInt(255).pushNumber(0xFF0000).pushInt(2).initArray().setVariable();
    s.a.push("alphas").pushInt(100).pushInt(100).pushInt(2).initArray().setVariable();
    s.a.push("ratios").pushInt(255).pushInt(0).pushInt(2).initArray().setVariable();
    s.call("g", "beginGradientFill", {"'linear", "colors", "alphas", "ratios", "box"});
    s.call("g", "moveTo", {"0", "0"}).call("g", "lineTo", {"100", "0"}).call("g", "lineTo", {"100", "100"});
    s.call("g", "lineTo", {"0", "100"}).call("g", "endFill");
    ClipMovie m(s);
    fctest::Image img = m.picture();
    EXPECT_GT(img.red(2, 50), 240);
    EXPECT_LT(img.blue(2, 50), 15);
    EXPECT_GT(img.blue(97, 50), 240);
    EXPECT_NEAR(img.red(50, 50), 128, 12);
}

TEST(ClipMasks, SetMaskShowsTheClipOnlyThroughTheMask) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'sq", "1"});
    rect(s, "sq", 0xFF0000, 0, 0, 100, 100);
    s.call("_root", "createEmptyMovieClip", {"'mk", "2"});
    rect(s, "mk", 0x00FF00, 20, 20, 40, 40);
    s.call("sq", "setMask", {"mk"});
    Script off;
    off.call("sq", "setMask", {"null"});
    ClipMovie m(s, off);
    fctest::Image masked = m.picture();
    EXPECT_TRUE(is(at(masked, 30, 30), 255, 0, 0));  // through the mask; the mask itself hidden
    EXPECT_TRUE(is(at(masked, 60, 60), 255, 255, 255));
    // Moving the mask moves the window.
    DisplayObject* mk = m.player.engine().root()->children.at(Engine::kDepthOffset + 2).get();
    mk->matrix.tx = 40 * 20;
    fctest::Image moved = m.picture();
    EXPECT_TRUE(is(at(moved, 30, 30), 255, 255, 255));
    EXPECT_TRUE(is(at(moved, 70, 30), 255, 0, 0));
    EXPECT_TRUE(is(at(moved, 70, 70), 255, 255, 255));
    // setMask(null) ends it: the square shows whole and the former mask draws again.
    m.runLater();
    fctest::Image whole = m.picture();
    EXPECT_TRUE(is(at(whole, 10, 10), 255, 0, 0));
    EXPECT_TRUE(is(at(whole, 70, 30), 0, 255, 0));
    EXPECT_TRUE(is(at(whole, 70, 70), 255, 0, 0));
}

TEST(ClipButtons, DisabledClipsTakeNoPointerAndUseHandCursorChoosesTheCursor) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'b", "1"});
    rect(s, "b", 0xFF0000, 0, 0, 50, 50);
    traceHandler(s, "b", "onRelease", "released");
    Script later;
    later.set("b", "useHandCursor", "false");
    ClipMovie m(s, later);
    Engine& e = m.player.engine();
    m.click(25, 25);
    EXPECT_EQ(m.traces, (Lines{"released"}));
    EXPECT_EQ(e.cursor(), Engine::Cursor::Hand);
    m.runLater();
    e.mouseMove(25 * 20, 26 * 20);
    EXPECT_EQ(e.cursor(), Engine::Cursor::Arrow);
    DisplayObject* b = e.root()->children.at(Engine::kDepthOffset + 1).get();
    b->variables[e.nameKey("enabled")] = Value::fromBool(false);  // as b.enabled = false sets it
    e.mouseMove(60 * 20, 60 * 20);
    m.click(25, 25);
    EXPECT_EQ(m.traces, (Lines{"released"}));  // disabled: no second release
    b->variables[e.nameKey("enabled")] = Value::fromBool(true);
    e.mouseMove(60 * 20, 60 * 20);
    m.click(25, 25);
    EXPECT_EQ(m.traces, (Lines{"released", "released"}));
}

TEST(ClipEvents, OnUnloadRunsWhenAClipLeavesAndFocusedClipsHearKeys) {
    Script s;
    s.call("_root", "createEmptyMovieClip", {"'c", "1"});
    s.call("c", "createEmptyMovieClip", {"'inner", "1"});
    traceHandler(s, "c", "onUnload", "unloaded c");
    s.a.getVar("c").push("inner").getMember().push("onUnload");
    s.a.defineFunction("", {}, ActionWriter().push("unloaded inner").trace()).setMember();
    s.call("c", "removeMovieClip").a.push("after remove").trace();
    s.call("_root", "createEmptyMovieClip", {"'k", "2"});
    traceHandler(s, "k", "onKeyDown", "k down");
    traceHandler(s, "k", "onKeyUp", "k up");
    s.call("Selection", "setFocus", {"k"}).traceCall("Selection", "getFocus");
    ClipMovie m(s);
    m.player.engine().keyDown(65, 'a');
    m.player.engine().keyUp(65);
    EXPECT_EQ(m.traces,
              (Lines{"after remove", "_level0.k", "unloaded c", "unloaded inner", "k down", "k up"}));
}

}  // namespace

namespace {

TEST(StageResize, MoviesThatDoNotScaleHearTheViewSize) {
    Script s;
    s.set("Stage", "scaleMode", "'noScale");
    s.make("l", "Object");
    ActionWriter onResize;
    onResize.getVar("Stage").push("width").getMember().push("x").add2();
    onResize.getVar("Stage").push("height").getMember().add2().trace();
    s.a.getVar("l").push("onResize").defineFunction("", {}, onResize).setMember();
    s.call("Stage", "addListener", {"l"});
    Script later;
    later.set("Stage", "scaleMode", "'showAll").trace("Stage", "width");
    ClipMovie m(s, later);
    EXPECT_TRUE(m.player.setViewSize(300, 200));
    EXPECT_FALSE(m.player.setViewSize(300, 200));  // the same size again: nothing
    // One pixel per stage pixel, the stage centred in the view.
    Matrix v = m.player.viewMatrix(300, 200);
    EXPECT_DOUBLE_EQ(v.mapX(1000, 1000), 150);
    EXPECT_DOUBLE_EQ(v.mapX(1020, 1000), 151);
    m.runLater();
    EXPECT_FALSE(m.player.setViewSize(400, 400));  // scaled again: no news
    EXPECT_EQ(m.traces, (Lines{"300x200", "100"}));
}

}  // namespace
