// The keyboard focus: Tab and Shift+Tab among buttons, clips acting as
// buttons and input fields (reading order, tabIndex, tabEnabled,
// tabChildren), Enter and Space on the focused button, and the yellow
// focus rectangle (_focusrect).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ButtonWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

using Lines = std::vector<std::string>;
const int kTab = 9, kShift = 16, kEnter = 13, kSpace = 32;

Bytes rect(uint16_t id, int x0, int y0, int x1, int y1, swfw::Rgba color) {
    swfw::ShapeBuilder s(3);
    s.rect(x0 * 20, y0 * 20, x1 * 20, y1 * 20, s.addFill(swfw::FillStyle::solid(color)));
    return s.defineShape(id);
}

// Buttons a (60,10), b (10,10) and c (10,60), 20 px grey squares tracing
// their press and release; a box clip "box" holding button "inner" at
// (40,40); a clip "pad" at (80,60) with onRelease; an input field "f" at
// (30,85).
struct FocusMovie {
    Player player;
    std::vector<std::string> traces;

    FocusMovie() {
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        swfw::Movie m = fctest::stage100();
        m.version = 6;
        m.add(rect(1, 0, 0, 20, 20, {128, 128, 128, 255}));
        swfw::ButtonRecord r;
        r.states = swfw::kUp | swfw::kOver | swfw::kDown | swfw::kHit;
        r.characterId = 1;
        auto says = [](const std::string& what) {
            return ActionWriter().push(what + " ").getVar("this").add2().trace().bytes();
        };
        m.add(swfw::defineButton2(10, {r}, {{0x0004, says("press")}, {0x0008, says("release")}}));
        Bytes box = swfw::placeObject2(placed(1, 10, "inner", 0, 0));
        box.insert(box.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(11, box));
        Bytes pad = swfw::placeObject2(fctest::place(1, 1));
        pad.insert(pad.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(12, pad));
        m.add(swfw::placeObject2(placed(1, 10, "a", 60, 10)));
        m.add(swfw::placeObject2(placed(2, 10, "b", 10, 10)));
        m.add(swfw::placeObject2(placed(3, 10, "c", 10, 60)));
        m.add(swfw::placeObject2(placed(4, 11, "box", 40, 40)));
        m.add(swfw::placeObject2(placed(5, 12, "pad", 80, 60)));
        ActionWriter a;
        a.getVar("pad").push("onRelease").defineFunction("", {}, ActionWriter().push("pad released").trace());
        a.setMember();
        a.getVar("pad").push("onPress").defineFunction("", {}, ActionWriter().push("pad pressed").trace());
        a.setMember();
        a.pushInt(10).pushInt(40).pushInt(85).pushInt(30).pushInt(10).push("f").pushInt(6);
        a.getVar("_root").push("createTextField").callMethod().pop();
        a.getVar("f").push("type").push("input").setMember();
        m.add(swfw::doAction(a.bytes()));
        m.showFrame();
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
    static swfw::Place placed(uint16_t depth, int id, const char* name, int x, int y) {
        swfw::Place p = fctest::place(depth, id, swfw::Matrix::translate(x * 20, y * 20));
        p.name = name;
        return p;
    }
    void run(const ActionWriter& a) {
        std::vector<uint8_t> code = a.bytes();
        code.push_back(0);
        Engine& e = player.engine();
        e.vm().run(e.root(), ActionBlock{code.data(), code.size()}, 100000);
        e.runQueuedActions();
    }
    void key(int code) {
        player.engine().keyDown(code, code == kSpace ? ' ' : 0);
        player.engine().keyUp(code);
    }
    std::string focused() {
        DisplayObject* f = player.engine().focus();
        return f ? f->name : "-";
    }
    // Names Tab visits from no focus, `n` presses.
    std::string walk(int n, bool backwards = false) {
        player.engine().setFocus(nullptr);
        std::string seen;
        if (backwards) player.engine().keyDown(kShift, 0);
        for (int i = 0; i < n; ++i) {
            key(kTab);
            seen += (i ? " " : "") + focused();
        }
        if (backwards) player.engine().keyUp(kShift);
        return seen;
    }
};

TEST(TabFocus, TabVisitsInReadingOrderOrByTabIndexAndSkipsWhatIsSwitchedOff) {
    FocusMovie m;
    EXPECT_EQ(m.walk(7), "b a inner c pad f b");  // top to bottom, then left to right; wraps
    EXPECT_EQ(m.walk(2, true), "f pad");
    m.run(ActionWriter().pushInt(1).getVar("Selection").push("getFocus").callMethod().trace());
    EXPECT_EQ(m.traces.back(), "_level0.pad");

    m.run(ActionWriter()
              .getVar("a")
              .push("tabEnabled")
              .pushBool(false)
              .setMember()
              .getVar("box")
              .push("tabChildren")
              .pushBool(false)
              .setMember()
              .getVar("f")
              .push("tabEnabled")
              .pushBool(false)
              .setMember());
    EXPECT_EQ(m.walk(4), "b c pad b");
    m.run(ActionWriter().getVar("box").push("tabEnabled").pushBool(true).setMember());  // a clip joins
    EXPECT_EQ(m.walk(2), "b box");

    // Once any has a tabIndex, only those go, by number.
    m.run(ActionWriter()
              .getVar("pad")
              .push("tabIndex")
              .pushInt(2)
              .setMember()
              .getVar("c")
              .push("tabIndex")
              .pushInt(1)
              .setMember());
    EXPECT_EQ(m.walk(3), "c pad c");

    // Selection.setFocus moves the same focus that Tab moves on from.
    m.run(ActionWriter().push("pad").pushInt(1).getVar("Selection").push("setFocus").callMethod().pop());
    m.key(kTab);
    EXPECT_EQ(m.focused(), "c");
}

TEST(TabFocus, EnterAndSpacePressTheFocusedButtonOrClip) {
    FocusMovie m;
    m.key(kTab);  // b
    m.key(kEnter);
    m.key(kTab);  // a
    m.player.engine().keyDown(kSpace, ' ');
    m.player.engine().keyDown(kSpace, ' ');  // held: repeats press nothing
    m.player.engine().keyUp(kSpace);
    m.run(ActionWriter().push("pad").pushInt(1).getVar("Selection").push("setFocus").callMethod().pop());
    m.key(kEnter);
    EXPECT_EQ(m.traces, (Lines{"press _level0", "release _level0", "press _level0", "release _level0",
                               "pad pressed", "pad released"}));
    // A focused input field takes Space as text, and Tab leaves it.
    m.run(ActionWriter().push("f").pushInt(1).getVar("Selection").push("setFocus").callMethod().pop());
    m.key(kSpace);
    m.key(kTab);
    EXPECT_EQ(m.player.engine()
                  .textField(m.player.engine().resolveTarget(m.player.engine().root(), "f"))
                  ->text(true),
              " ");
    EXPECT_EQ(m.focused(), "b");
}

TEST(TabFocus, AYellowRectangleShowsTheKeyboardFocusUntilAClick) {
    FocusMovie m;
    auto yellowAt = [](const fctest::Image& img, int x, int y) {
        return img.red(x, y) == 255 && img.green(x, y) == 255 && img.blue(x, y) == 0;
    };
    fctest::Image shown = fctest::render(m.player, 100, 100);
    m.player.renderChanged(shown.pixels.data(), 100, 100, 100);
    m.key(kTab);  // b: 10..30
    EXPECT_FALSE(m.player.renderChanged(shown.pixels.data(), 100, 100, 100).empty());
    EXPECT_TRUE(yellowAt(shown, 8, 20));
    EXPECT_TRUE(yellowAt(shown, 20, 31));
    EXPECT_FALSE(yellowAt(shown, 20, 20));
    EXPECT_EQ(shown.pixels, fctest::render(m.player, 100, 100).pixels);
    m.key(kTab);  // a: the rectangle moves, b's is gone
    m.player.renderChanged(shown.pixels.data(), 100, 100, 100);
    EXPECT_FALSE(yellowAt(shown, 8, 20));
    EXPECT_TRUE(yellowAt(shown, 58, 20));
    EXPECT_EQ(shown.pixels, fctest::render(m.player, 100, 100).pixels);

    m.run(ActionWriter().push("_focusrect").pushBool(false).setVariable());
    m.run(ActionWriter().getVar("_focusrect").trace());
    EXPECT_EQ(m.traces.back(), "false");
    EXPECT_FALSE(yellowAt(fctest::render(m.player, 100, 100), 58, 20));
    m.run(ActionWriter().push("_focusrect").pushBool(true).setVariable());
    EXPECT_TRUE(yellowAt(fctest::render(m.player, 100, 100), 58, 20));
    m.player.mouseDown(5, 95);
    m.player.mouseUp(5, 95);
    EXPECT_FALSE(yellowAt(fctest::render(m.player, 100, 100), 58, 20));
}

}  // namespace
