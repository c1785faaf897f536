// Small complete programs as movies, played to their end by scripted
// input and checked by what they trace and what they show: a keyboard game
// loop (setInterval, attachMovie, Key, hitTest) and a drag-and-drop puzzle
// (clip buttons, startDrag, _droptarget).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

using Lines = std::vector<std::string>;

// An exported one-frame sprite `spriteId` holding a square of `size` px.
void addSquareSymbol(swfw::Movie& m, uint16_t shapeId, uint16_t spriteId, int size, swfw::Rgba color,
                     const std::string& name) {
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, size * 20, size * 20, s.addFill(swfw::FillStyle::solid(color)));
    m.add(s.defineShape(shapeId));
    Bytes tags = swfw::placeObject2(fctest::place(1, shapeId));
    tags.insert(tags.end(), {0x40, 0x00});
    m.add(swfw::defineSprite(spriteId, tags));
    m.add(swfw::exportAssets({{spriteId, name}}));
}

struct Program {
    Player player;
    Lines traces;

    Program(swfw::Movie& m, const ActionWriter& script) {
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
};

// x = x + 1 on a variable.
ActionWriter& increment(ActionWriter& a, const std::string& name) {
    return a.push(name).getVar(name).op(0x50).setVariable();
}

TEST(Programs, KeyboardGameCollectsEveryCoinAndWins) {
    swfw::Movie m = fctest::stage100();
    m.version = 7;
    addSquareSymbol(m, 1, 2, 10, {255, 0, 0, 255}, "hero");
    addSquareSymbol(m, 3, 4, 6, {255, 255, 0, 255}, "coin");

    // function step(): moves the hero while Right is held, collects the
    // coins it touches and stops the loop when all are taken.
    ActionWriter step;
    step.pushInt(39).pushInt(1).getVar("Key").push("isDown").callMethod().op(0x12).ifTrue("noMove");
    step.getVar("hero").push("_x").getVar("hero").push("_x").getMember().pushInt(5).add2().setMember();
    step.label("noMove").push("i").pushInt(0).setVariable();
    step.label("loop").getVar("i").pushInt(3).op(0x48).op(0x12).ifTrue("loopEnd");
    step.push("c").getVar("_root").push("coin").getVar("i").add2().getMember().setVariable();
    step.getVar("c").typeOf().push("movieclip").strictEquals().op(0x12).ifTrue("next");
    step.getVar("c").pushInt(1).getVar("hero").push("hitTest").callMethod().op(0x12).ifTrue("next");
    step.pushInt(0).getVar("c").push("removeMovieClip").callMethod().pop();
    increment(step, "score");
    step.push("coin ").getVar("i").add2().trace();
    step.label("next");
    increment(step, "i").jump("loop");
    step.label("loopEnd").getVar("score").pushInt(3).equals2().op(0x12).ifTrue("notYet");
    step.getVar("id").pushInt(1).push("clearInterval").callFunction().pop();
    step.push("win").trace();
    step.label("notYet");

    ActionWriter a;
    a.push("hero").pushInt(1).push("hero").push("hero").pushInt(3).getVar("_root").push("attachMovie");
    a.callMethod().setVariable();
    a.getVar("hero").push("_y").pushInt(40).setMember();
    a.push("score").pushInt(0).setVariable();
    for (int i = 0; i < 3; ++i) {
        std::string name = "coin" + std::to_string(i);
        a.pushInt(10 + i).push(name).push("coin").pushInt(3).getVar("_root").push("attachMovie").callMethod();
        a.storeRegister(0).pop();
        a.pushRegister(0).push("_x").pushInt(30 + 25 * i).setMember();
        a.pushRegister(0).push("_y").pushInt(42).setMember();
    }
    a.defineFunction("step", {}, step);
    a.push("id").pushInt(40).getVar("step").pushInt(2).push("setInterval").callFunction().setVariable();
    a.stop();
    Program p(m, a);

    fctest::Image start = fctest::render(p.player, 100, 100);
    EXPECT_EQ(start.green(32, 44), 255);  // a coin is yellow
    EXPECT_EQ(start.red(5, 45), 255);
    p.player.engine().keyDown(39, 0);
    for (int t = 0; t < 20 && (p.traces.empty() || p.traces.back() != "win"); ++t) p.player.tick();
    p.player.engine().keyUp(39);
    EXPECT_EQ(p.traces, (Lines{"coin 0", "coin 1", "coin 2", "win"}));
    // The loop stopped: more ticks move nothing.
    double x = p.player.engine().root()->children.begin()->second->matrix.tx;
    p.player.engine().keyDown(39, 0);
    p.player.tick();
    EXPECT_EQ(p.player.engine().root()->children.begin()->second->matrix.tx, x);
    fctest::Image end = fctest::render(p.player, 100, 100);
    for (int px = 0; px < 100; ++px) EXPECT_FALSE(end.green(px, 44) == 255 && end.blue(px, 44) == 0) << px;
    int heroX = static_cast<int>(x / 20);
    EXPECT_EQ(end.red(heroX + 5, 45), 255);
    EXPECT_EQ(end.green(heroX + 5, 45), 0);
}

TEST(Programs, DragAndDropPuzzleIsSolvedPieceByPiece) {
    swfw::Movie m = fctest::stage100();
    m.version = 6;
    addSquareSymbol(m, 1, 2, 10, {0, 0, 255, 255}, "piece");
    addSquareSymbol(m, 3, 4, 14, {128, 128, 128, 255}, "slot");

    ActionWriter press;
    press.pushInt(0).getVar("this").push("startDrag").callMethod().pop();
    // Dropped on its own slot: snaps into it; elsewhere: goes home.
    ActionWriter release;
    release.pushInt(0).getVar("this").push("stopDrag").callMethod().pop();
    release.getVar("this")
        .push("_droptarget")
        .getMember()
        .push("/slot")
        .getVar("this")
        .push("id")
        .getMember();
    release.add2().equals2().op(0x12).ifTrue("miss");
    release.push("s").getVar("_root").push("slot").getVar("this").push("id").getMember().add2().getMember();
    release.setVariable();
    release.getVar("this").push("_x").getVar("s").push("_x").getMember().pushInt(2).add2().setMember();
    release.getVar("this").push("_y").getVar("s").push("_y").getMember().pushInt(2).add2().setMember();
    increment(release, "_root.placed");
    release.push("placed ").getVar("this").push("id").getMember().add2().trace();
    release.getVar("_root.placed").pushInt(3).equals2().op(0x12).ifTrue("out");
    release.push("solved").trace().jump("out");
    release.label("miss");
    release.getVar("this").push("_x").getVar("this").push("homeX").getMember().setMember();
    release.getVar("this").push("_y").pushInt(10).setMember();
    release.push("back ").getVar("this").push("id").getMember().add2().trace();
    release.label("out");

    ActionWriter a;
    a.push("placed").pushInt(0).setVariable();
    a.defineFunction("onPiecePress", {}, press);
    a.defineFunction("onPieceRelease", {}, release);
    for (int i = 0; i < 3; ++i) {
        std::string n = std::to_string(i);
        a.pushInt(1 + i)
            .push("slot" + n)
            .push("slot")
            .pushInt(3)
            .getVar("_root")
            .push("attachMovie")
            .callMethod();
        a.storeRegister(0).pop();
        a.pushRegister(0).push("_x").pushInt(10 + 30 * i).setMember();
        a.pushRegister(0).push("_y").pushInt(70).setMember();
        // Pieces lie in the reverse order of their slots.
        int home = 12 + 30 * (2 - i);
        a.push("id").pushInt(i).push("homeX").pushInt(home).push("_x").pushInt(home).push("_y").pushInt(10);
        a.pushInt(4).initObject();
        a.pushInt(10 + i).push("piece" + n).push("piece").pushInt(4).getVar("_root").push("attachMovie");
        a.callMethod().storeRegister(0).pop();
        a.pushRegister(0).push("onPress").getVar("onPiecePress").setMember();
        a.pushRegister(0).push("onRelease").getVar("onPieceRelease").setMember();
    }
    a.stop();
    Program p(m, a);
    Engine& e = p.player.engine();
    auto drag = [&](int fromX, int fromY, int toX, int toY) {
        e.mouseMove(fromX * 20, fromY * 20);
        e.mouseDown();
        e.mouseMove((fromX + toX) * 10, (fromY + toY) * 10);
        e.mouseMove(toX * 20, toY * 20);
        e.mouseUp();
    };
    // piece0 lies at 72..82; its slot at 10..24. A wrong drop first.
    drag(77, 15, 47, 77);
    drag(77, 15, 17, 77);
    drag(47, 15, 47, 77);
    drag(17, 15, 77, 77);
    EXPECT_EQ(p.traces, (Lines{"back 0", "placed 0", "placed 1", "placed 2", "solved"}));
    fctest::Image img = fctest::render(p.player, 100, 100);
    for (int i = 0; i < 3; ++i) {
        int cx = 10 + 30 * i + 7;
        EXPECT_EQ(img.blue(cx, 77), 255) << i;  // a piece fills the slot's middle
        EXPECT_EQ(img.red(cx, 77), 0) << i;
        EXPECT_EQ(img.red(10 + 30 * i + 1, 71), 128) << i;  // the slot's rim shows
        EXPECT_EQ(img.green(cx, 15), 255) << i;             // nothing left at the top
    }
}

}  // namespace
