// Small complete programs as movies, played to their end by scripted
// input and checked by what they trace and what they show: a keyboard game
// loop (setInterval, attachMovie, Key, hitTest), a drag-and-drop puzzle
// (clip buttons, startDrag, _droptarget) and a menu built from a loaded
// XML file (XML.load, attachMovie, clip buttons, Color).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/ScriptHost.h"
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

// function build(menu): one button per <item>, labelled and coloured by
// its attributes; each picks its colour when clicked.
ActionWriter menuBuilder() {
    ActionWriter pickCall;
    pickCall.getVar("this").pushInt(1).push("pick").callFunction().pop();
    ActionWriter b;
    b.push("i").pushInt(0).defineLocal();
    b.push("n").getVar("menu").push("firstChild").getMember().defineLocal();
    b.label("top").getVar("n").pushNull().equals2().ifTrue("end");
    // b = _root.attachMovie("button", "b" + i, i + 1, {_x: 5 + i * 30, _y: 5})
    b.push("b");
    b.push("_x")
        .pushInt(5)
        .getVar("i")
        .pushInt(30)
        .op(0x0C)
        .add2()
        .push("_y")
        .pushInt(5)
        .pushInt(2)
        .initObject();
    b.getVar("i").pushInt(1).add2().push("b").getVar("i").add2().push("button").pushInt(4);
    b.getVar("_root").push("attachMovie").callMethod().defineLocal();
    b.getVar("b")
        .push("label")
        .getVar("n")
        .push("attributes")
        .getMember()
        .push("label")
        .getMember()
        .setMember();
    b.getVar("b").push("color").getVar("n").push("attributes").getMember().push("color").getMember();
    b.pushInt(1).push("Number").callFunction().setMember();
    b.getVar("b").push("onRelease").defineFunction("", {}, pickCall).setMember();
    b.push("n").getVar("n").push("nextSibling").getMember().setVariable();
    b.push("i").getVar("i").op(0x50).setVariable().jump("top");
    b.label("end").push("menu ").getVar("i").add2().trace();
    return b;
}

// function pick(b): the swatch takes the button's colour; two picks end it.
ActionWriter menuPick() {
    ActionWriter p;
    p.push("picked ").getVar("b").push("label").getMember().add2().trace();
    p.push("c").getVar("swatch").pushInt(1).push("Color").newObject().defineLocal();
    p.getVar("b").push("color").getMember().pushInt(1).getVar("c").push("setRGB").callMethod().pop();
    p.push("count").getVar("count").op(0x50).setVariable();
    p.getVar("count").pushInt(2).equals2().op(0x12).ifTrue("skip");
    p.push("done").trace();
    p.label("skip");
    return p;
}

TEST(Programs, XmlMenuBuildsItsButtonsAndPicksColours) {
    swfw::Movie m = fctest::stage100();
    m.version = 6;
    addSquareSymbol(m, 1, 2, 20, {128, 128, 128, 255}, "button");
    addSquareSymbol(m, 3, 4, 40, {220, 220, 220, 255}, "swatchSymbol");
    swfw::Place sw = fctest::place(1, 4, swfw::Matrix::translate(0, 1000));
    sw.name = "swatch";
    m.add(swfw::placeObject2(sw));
    ActionWriter a;
    a.push("count").pushInt(0).setVariable();
    a.defineFunction("build", {"menu"}, menuBuilder());
    a.defineFunction("pick", {"b"}, menuPick());
    a.push("x").pushInt(0).push("XML").newObject().setVariable();
    a.getVar("x").push("ignoreWhite").pushBool(true).setMember();
    ActionWriter onLoad;
    onLoad.getVar("this").push("firstChild").getMember().pushInt(1).push("build").callFunction().pop();
    a.getVar("x").push("onLoad").defineFunction("", {"ok"}, onLoad).setMember();
    a.push("menu.xml").pushInt(1).getVar("x").push("load").callMethod().pop();
    a.push("loading").trace();
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();

    fctest::MemoryHost host;
    host.files["menu.xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<menu>\n"
        "  <item label=\"Red\" color=\"0xFF0000\"/>\n"
        "  <item label=\"Green\" color=\"0x00FF00\"/>\n"
        "  <item label=\"Blue\" color=\"0x0000FF\"/>\n</menu>\n";
    Player player;
    Lines traces;
    host.engine = &player.engine();
    player.engine().host = &host;
    player.engine().onTrace = [&](const std::string& t) { traces.push_back(t); };
    ASSERT_TRUE(fctest::load(player, m.build()));
    EXPECT_EQ(traces, (Lines{"loading"}));
    player.tick();  // the file arrives: the menu is built
    EXPECT_EQ(traces, (Lines{"loading", "menu 3"}));
    fctest::Image menu = fctest::render(player, 100, 100);
    for (int x : {15, 45, 75}) EXPECT_EQ(menu.red(x, 15), 128) << x;
    EXPECT_EQ(menu.red(20, 70), 220);

    Engine& e = player.engine();
    auto click = [&](int x, int y) {
        e.mouseMove(x * 20, y * 20);
        e.mouseDown();
        e.mouseUp();
        player.tick();
    };
    click(75, 15);  // Blue
    fctest::Image blue = fctest::render(player, 100, 100);
    EXPECT_EQ(blue.blue(20, 70), 255);
    EXPECT_EQ(blue.red(20, 70), 0);
    click(50, 60);  // nothing there
    click(15, 15);  // Red
    EXPECT_EQ(traces, (Lines{"loading", "menu 3", "picked Blue", "picked Red", "done"}));
    fctest::Image end = fctest::render(player, 100, 100);
    EXPECT_EQ(end.red(20, 70), 255);
    EXPECT_EQ(end.green(20, 70), 0);
    EXPECT_EQ(end.red(45, 15), 128);    // the buttons stay
    EXPECT_EQ(end.green(95, 95), 255);  // background
    EXPECT_EQ(host.fetched, (Lines{"menu.xml"}));
}

}  // namespace
