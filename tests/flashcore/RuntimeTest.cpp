// The script runtime beyond single actions: closures, exceptions, with,
// classes and accessors, property flags, sorting, case rules by version,
// intervals, Key listeners, clips made and queried by scripts, clip
// buttons with dragging, and runaway scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

// A movie with a 10 px red square sprite "clip" at the origin, an exported
// sprite "tri" (a right triangle with 20 px legs) that is not placed, and
// `script` in frame 1 of two.
struct RunMovie {
    Player player;
    std::vector<std::string> traces;

    explicit RunMovie(const ActionWriter& script, int version = 6) {
        swfw::Movie m = fctest::stage100();
        m.version = static_cast<uint8_t>(version);
        swfw::ShapeBuilder s(3);
        s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
        m.add(s.defineShape(1));
        Bytes sprite = swfw::placeObject2(fctest::place(1, 1));
        sprite.insert(sprite.end(), {0x40, 0x00, 0x40, 0x00});
        m.add(swfw::defineSprite(2, sprite));
        swfw::ShapeBuilder tri(3);
        int fill = tri.addFill(swfw::FillStyle::solid({0, 0, 255, 255}));
        tri.moveTo(0, 0).fill1(fill).lineTo(400, 0).lineTo(0, 400).lineTo(0, 0);
        m.add(tri.defineShape(3));
        Bytes triSprite = swfw::placeObject2(fctest::place(1, 3));
        triSprite.insert(triSprite.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(4, triSprite));
        m.add(swfw::exportAssets({{4, "tri"}}));
        swfw::Place p = fctest::place(1, 2);
        p.name = "clip";
        m.add(swfw::placeObject2(p));
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        m.add(swfw::doAction(ActionWriter().stop().bytes()));
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
};

using Lines = std::vector<std::string>;

// obj.method(args) with the arguments already pushed (last first).
ActionWriter& callOn(ActionWriter& a, const std::string& object, const std::string& method, int argc) {
    return a.pushInt(argc).getVar(object).push(method).callMethod();
}

TEST(Runtime, ClosuresKeepTheLocalsOfTheFunctionThatMadeThem) {
    ActionWriter inner;
    inner.push("n").getVar("n").pushInt(1).add2().setVariable().getVar("n").ret();
    ActionWriter mk;
    mk.push("n").pushInt(0).defineLocal();
    mk.defineFunction("", {}, inner).ret();
    ActionWriter a;
    a.defineFunction("mk", {}, mk);
    a.push("c").pushInt(0).push("mk").callFunction().setVariable();
    a.push("d").pushInt(0).push("mk").callFunction().setVariable();
    a.pushInt(0).push("c").callFunction().pop();
    a.pushInt(0).push("c").callFunction().trace();
    a.pushInt(0).push("d").callFunction().trace();
    a.getVar("n").typeOf().trace();  // not a timeline variable
    RunMovie r(a);
    EXPECT_EQ(r.traces, (Lines{"2", "1", "undefined"}));
}

TEST(Runtime, ThrowIsCaughtAcrossCallsAndFinallyAlwaysRuns) {
    ActionWriter a;
    ActionWriter tryBody, catchBody, finallyBody;
    tryBody.push("boom").throwValue().push("not reached").trace();
    catchBody.push("caught ").getVar("e").add2().trace();
    finallyBody.push("finally").trace();
    a.tryCatch(tryBody, "e", &catchBody, &finallyBody);
    // A throw inside a called function reaches the caller's catch.
    a.defineFunction("thrower", {}, ActionWriter().push("deep").throwValue());
    ActionWriter t2, c2;
    t2.pushInt(0).push("thrower").callFunction().pop().push("no").trace();
    c2.getVar("e").trace();
    a.tryCatch(t2, "e", &c2, nullptr);
    // return inside try still runs finally.
    ActionWriter t3, f3, body;
    t3.push("r").ret();
    f3.push("f-fin").trace();
    body.tryCatch(t3, "", nullptr, &f3);
    a.defineFunction("f", {}, body);
    a.pushInt(0).push("f").callFunction().trace();
    // An uncaught throw ends the block.
    a.push("end").throwValue().push("after").trace();
    RunMovie r(a);
    EXPECT_EQ(r.traces, (Lines{"caught boom", "finally", "deep", "f-fin", "r"}));
}

TEST(Runtime, WithPutsAnObjectInScope) {
    ActionWriter a;
    a.push("o").push("x").pushInt(5).pushInt(1).initObject().setVariable();
    ActionWriter body;
    body.getVar("x").trace().push("x").pushInt(7).setVariable();
    a.getVar("o").with(body);
    a.getVar("o").push("x").getMember().trace();
    a.getVar("x").typeOf().trace();
    RunMovie r(a);
    EXPECT_EQ(r.traces, (Lines{"5", "7", "undefined"}));
}

TEST(Runtime, ClassesInheritAndCallTheirSuperclass) {
    ActionWriter a;
    // function A(v) { this.v = v }  A.prototype.who = function () { return "A" + this.v }
    a.defineFunction("A", {"v"}, ActionWriter().getVar("this").push("v").getVar("v").setMember());
    a.getVar("A").push("prototype").getMember().push("who");
    a.defineFunction("", {}, ActionWriter().push("A").getVar("this").push("v").getMember().add2().ret());
    a.setMember();
    // function B() { super(5) }  B extends A
    ActionWriter bCtor;
    bCtor.pushInt(5).pushInt(1).getVar("super").pushUndefined().callMethod().pop();
    a.defineFunction("B", {}, bCtor);
    a.getVar("B").getVar("A").extends();
    // B.prototype.who = function () { return "B" + super.who() }
    a.getVar("B").push("prototype").getMember().push("who");
    ActionWriter who;
    who.push("B").pushInt(0).getVar("super").push("who").callMethod().add2().ret();
    a.defineFunction("", {}, who).setMember();
    a.push("b").pushInt(0).push("B").newObject().setVariable();
    callOn(a, "b", "who", 0).trace();
    a.getVar("b").getVar("A").instanceOf().trace();
    a.getVar("b").getVar("B").instanceOf().trace();
    a.getVar("b")
        .push("__proto__")
        .getMember()
        .getVar("B")
        .push("prototype")
        .getMember()
        .strictEquals()
        .trace();
    // Function.call with another this.
    a.push("q").pushInt(9).pushInt(1).push("A").newObject().setVariable();
    a.getVar("q").pushInt(1).getVar("A").push("prototype").getMember().push("who").getMember();
    a.push("call").callMethod().trace();
    RunMovie r(a, 7);
    EXPECT_EQ(r.traces, (Lines{"BA5", "true", "true", "true", "A9"}));
}

TEST(Runtime, AccessorsRunInOrderAndFlagsHideProtectAndPin) {
    ActionWriter a;
    a.push("o").pushInt(0).initObject().setVariable();
    ActionWriter get, set;
    get.push("get").trace().getVar("this").push("_p").getMember().ret();
    set.push("set").getVar("v").add2().trace();
    set.getVar("this").push("_p").getVar("v").pushInt(2).op(0x0C).setMember();
    a.defineFunction("", {"v"}, set).defineFunction("", {}, get).push("p").pushInt(3);
    a.getVar("o").push("addProperty").callMethod().trace();
    a.getVar("o").push("p").pushInt(3).setMember();
    a.getVar("o").push("p").getMember().trace();
    // Flags: b hidden from for-in, a read-only, c not deletable.
    a.push("f").push("a").pushInt(1).push("b").pushInt(2).push("c").pushInt(3).pushInt(3).initObject();
    a.setVariable();
    a.pushInt(0).pushInt(1).push("b").getVar("f").pushInt(4).push("ASSetPropFlags").callFunction().pop();
    a.pushInt(0).pushInt(4).push("a").getVar("f").pushInt(4).push("ASSetPropFlags").callFunction().pop();
    a.pushInt(0).pushInt(2).push("c").getVar("f").pushInt(4).push("ASSetPropFlags").callFunction().pop();
    a.push("s").push("").setVariable();
    a.getVar("f").enumerate2();
    a.label("loop").storeRegister(0).pushNull().equals2().ifTrue("done");
    a.push("s").getVar("s").pushRegister(0).add2().setVariable().jump("loop");
    a.label("done").getVar("s").trace();
    a.getVar("f").push("a").pushInt(9).setMember();
    a.getVar("f").push("a").getMember().trace();
    a.getVar("f").push("c").op(0x3A).trace();
    a.getVar("f").push("b").op(0x3A).trace();
    RunMovie r(a);
    // for-in order is not fixed: only its content counts.
    ASSERT_EQ(r.traces.size(), 8u);
    EXPECT_EQ(r.traces[0], "true");
    EXPECT_EQ(r.traces[1], "set3");
    EXPECT_EQ(r.traces[2], "get");
    EXPECT_EQ(r.traces[3], "6");
    std::string seen = r.traces[4];
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, "ac");
    EXPECT_EQ(r.traces[5], "1");
    EXPECT_EQ(r.traces[6], "false");
    EXPECT_EQ(r.traces[7], "true");
}

// arr = [elements...]; arr.sort(<pushed args>); trace(arr) or the result.
struct SortCase {
    std::vector<std::string> elements;  // numbers unless quoted with '
    std::vector<double> args;
    bool traceResult;
    std::string expected;
};

TEST(Runtime, SortHonoursItsFlagsAndComparators) {
    std::vector<SortCase> cases = {
        {{"3", "1", "10", "2"}, {}, false, "1,10,2,3"},
        {{"3", "1", "10", "2"}, {16}, false, "1,2,3,10"},
        {{"3", "1", "10", "2"}, {18}, false, "10,3,2,1"},
        {{"'b", "'a", "'C"}, {}, false, "C,a,b"},
        {{"'b", "'a", "'C"}, {1}, false, "a,b,C"},
        {{"1", "1"}, {4}, true, "0"},
        {{"3", "1", "2"}, {8}, true, "1,2,0"},
    };
    ActionWriter a;
    for (const SortCase& c : cases) {
        a.push("arr");
        for (auto it = c.elements.rbegin(); it != c.elements.rend(); ++it) {
            if ((*it)[0] == '\'') {
                a.push(it->substr(1));
            } else {
                a.pushInt(std::stoi(*it));
            }
        }
        a.pushInt(static_cast<int32_t>(c.elements.size())).initArray().setVariable();
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) a.pushNumber(*it);
        callOn(a, "arr", "sort", static_cast<int>(c.args.size()));
        if (c.traceResult) {
            a.trace();
        } else {
            a.pop().getVar("arr").trace();
        }
    }
    // A comparator, sortOn and splice.
    a.push("arr").pushInt(2).pushInt(10).pushInt(1).pushInt(3).pushInt(4).initArray().setVariable();
    a.defineFunction("", {"x", "y"}, ActionWriter().getVar("y").getVar("x").op(0x0B).ret());
    callOn(a, "arr", "sort", 1).pop().getVar("arr").trace();
    a.push("recs").push("n").pushInt(2).push("s").push("x").pushInt(2).initObject();
    a.push("n").pushInt(1).push("s").push("y").pushInt(2).initObject().pushInt(2).initArray().setVariable();
    a.push("n");
    callOn(a, "recs", "sortOn", 1).pop();
    a.getVar("recs").pushInt(0).getMember().push("s").getMember().trace();
    a.push("arr").pushInt(5).pushInt(4).pushInt(3).pushInt(2).pushInt(1).pushInt(5).initArray().setVariable();
    a.push("a").pushInt(2).pushInt(1);
    callOn(a, "arr", "splice", 3).trace();
    a.getVar("arr").trace();
    RunMovie r(a);
    Lines expected;
    for (const SortCase& c : cases) expected.push_back(c.expected);
    for (const char* s : {"10,3,2,1", "y", "2,3", "1,a,4,5"}) expected.push_back(s);
    EXPECT_EQ(r.traces, expected);
}

TEST(Runtime, NamesFoldCaseBeforeVersionSevenAndUndefinedPrintsByVersion) {
    ActionWriter a;
    a.push("Foo").pushInt(1).setVariable();
    a.getVar("foo").typeOf().trace();
    a.push("[").getVar("nothing").add2().push("]").add2().trace();
    RunMovie v6(a, 6), v7(a, 7);
    EXPECT_EQ(v6.traces, (Lines{"number", "[]"}));
    EXPECT_EQ(v7.traces, (Lines{"undefined", "[undefined]"}));
}

TEST(Runtime, IntervalsFireByTheMovieClockInDueOrder) {
    // 12 frames per second: a tick is 83 ms. a every 100 ms, b every 50 ms,
    // c once after 120 ms, d cleared before it fires.
    ActionWriter a;
    a.pushInt(100).defineFunction("", {}, ActionWriter().push("a").trace()).pushInt(2);
    a.push("setInterval").callFunction().pop();
    a.push("o").pushInt(0).initObject().setVariable();
    a.getVar("o").push("m").defineFunction("", {}, ActionWriter().push("b").trace()).setMember();
    a.pushInt(50).push("m").getVar("o").pushInt(3).push("setInterval").callFunction().pop();
    a.pushInt(120).defineFunction("", {}, ActionWriter().push("c").trace()).pushInt(2);
    a.push("setTimeout").callFunction().pop();
    a.push("d").pushInt(10).defineFunction("", {}, ActionWriter().push("d").trace()).pushInt(2);
    a.push("setInterval").callFunction().setVariable();
    a.getVar("d").pushInt(1).push("clearInterval").callFunction().pop();
    RunMovie r(a);
    r.player.tick();
    EXPECT_EQ(r.traces, (Lines{"b"}));
    r.player.tick();
    EXPECT_EQ(r.traces, (Lines{"b", "a", "b", "c", "b"}));
}

TEST(Runtime, KeyListenersHearKeysAndKeyTellsWhichAreDown) {
    ActionWriter handler;
    handler.push("down ").pushInt(0).getVar("Key").push("getCode").callMethod().add2();
    handler.push(" ").add2().pushInt(37).pushInt(1).getVar("Key").push("isDown").callMethod().add2().trace();
    ActionWriter a;
    a.push("o").pushInt(0).initObject().setVariable();
    a.getVar("o").push("onKeyDown").defineFunction("", {}, handler).setMember();
    a.getVar("o");
    callOn(a, "Key", "addListener", 1).pop();
    a.getVar("Key").push("LEFT").getMember().trace();
    RunMovie r(a);
    r.player.engine().keyDown(37, 0);
    r.player.engine().keyUp(37);
    EXPECT_FALSE(r.player.engine().keyIsDown(37));
    EXPECT_EQ(r.traces, (Lines{"37", "down 37 true"}));
}

TEST(Runtime, ClipsMadeByScriptsTakeTheirClassDepthAndGeometry) {
    ActionWriter a;
    // function Tri() {}  Tri.prototype.__proto__ = MovieClip.prototype
    // Tri.prototype.hello = function () { return "tri " + this._name }
    a.defineFunction("Tri", {}, ActionWriter());
    a.getVar("Tri").push("prototype").getMember().push("__proto__");
    a.getVar("MovieClip").push("prototype").getMember().setMember();
    a.getVar("Tri").push("prototype").getMember().push("hello");
    a.defineFunction("", {},
                     ActionWriter().push("tri ").getVar("this").push("_name").getMember().add2().ret());
    a.setMember();
    a.getVar("Tri").push("tri").pushInt(2).getVar("Object").push("registerClass").callMethod().pop();
    // t = attachMovie("tri", "t1", 5, {_x: 50, _y: 50})
    a.push("t").push("_x").pushInt(50).push("_y").pushInt(50).pushInt(2).initObject();
    a.pushInt(5)
        .push("t1")
        .push("tri")
        .pushInt(4)
        .getVar("_root")
        .push("attachMovie")
        .callMethod()
        .setVariable();
    callOn(a, "t", "hello", 0).trace();
    a.getVar("t").getVar("Tri").instanceOf().trace();
    callOn(a, "t", "getDepth", 0).trace();
    callOn(a, "_root", "getNextHighestDepth", 0).trace();
    a.pushBool(true).pushInt(52).pushInt(52);
    callOn(a, "t", "hitTest", 3).trace();
    a.pushBool(true).pushInt(68).pushInt(68);
    callOn(a, "t", "hitTest", 3).trace();
    a.pushBool(false).pushInt(68).pushInt(68);
    callOn(a, "t", "hitTest", 3).trace();
    a.getVar("_root");
    callOn(a, "t", "getBounds", 1).push("xMax").getMember().trace();
    a.getVar("t").push("_width").getMember().trace();
    a.push("pt").push("x").pushInt(1).push("y").pushInt(2).pushInt(2).initObject().setVariable();
    a.getVar("pt");
    callOn(a, "t", "localToGlobal", 1).pop();
    a.getVar("pt").push("x").getMember().push(",").add2().getVar("pt").push("y").getMember().add2().trace();
    // duplicate, remove, swap.
    a.pushInt(7).push("t2");
    callOn(a, "t", "duplicateMovieClip", 2).pop();
    a.getVar("_root").push("t2").getMember().push("hello").getMember().typeOf().trace();
    a.pushInt(0).getVar("_root").push("t2").getMember().push("removeMovieClip").callMethod().pop();
    a.getVar("_root").push("t2").getMember().typeOf().trace();
    a.pushInt(10);
    callOn(a, "t", "swapDepths", 1).pop();
    callOn(a, "t", "getDepth", 0).trace();
    // onEnterFrame runs each tick until deleted.
    ActionWriter ef;
    ef.push("ef ").getVar("this").push("_name").getMember().add2().trace();
    ef.getVar("this").push("onEnterFrame").op(0x3A).pop();
    a.getVar("t").push("onEnterFrame").defineFunction("", {}, ef).setMember();
    RunMovie r(a);
    r.player.tick();
    r.player.tick();
    EXPECT_EQ(r.traces, (Lines{"tri t1", "true", "5", "6", "true", "false", "true", "70", "20", "51,52",
                               "function", "undefined", "10", "ef t1"}));
    fctest::Image img = fctest::render(r.player, 100, 100);
    EXPECT_EQ(img.blue(52, 52), 255);   // the triangle at 50,50
    EXPECT_EQ(img.green(68, 68), 255);  // outside its hypotenuse: background
}

TEST(Runtime, ClipButtonsTakePressAndReleaseAndDraggingSetsTheDropTarget) {
    ActionWriter a;
    a.push("target").pushInt(5).push("t1").push("tri").pushInt(3).getVar("_root").push("attachMovie");
    a.callMethod().setVariable();
    a.getVar("target").push("_x").pushInt(50).setMember();
    a.getVar("target").push("_y").pushInt(50).setMember();
    ActionWriter press, release;
    press.pushInt(0).getVar("this").push("startDrag").callMethod().pop().push("press").trace();
    release.pushInt(0).getVar("this").push("stopDrag").callMethod().pop();
    release.push("drop ").getVar("this").push("_droptarget").getMember().add2().push(" ").add2();
    release.getVar("this").push("_x").getMember().add2().trace();
    a.getVar("clip").push("onPress").defineFunction("", {}, press).setMember();
    a.getVar("clip").push("onRelease").defineFunction("", {}, release).setMember();
    a.getVar("clip")
        .push("onRollOver")
        .defineFunction("", {}, ActionWriter().push("over").trace())
        .setMember();
    RunMovie r(a);
    Engine& e = r.player.engine();
    e.mouseMove(5 * 20, 5 * 20);
    e.mouseDown();
    e.mouseMove(55 * 20, 52 * 20);
    e.mouseUp();
    EXPECT_EQ(r.traces, (Lines{"over", "press", "drop /t1 50"}));
}

TEST(Runtime, RunawayScriptsEndAndTheMovieGoesOn) {
    ActionWriter spin;
    spin.label("top").jump("top");
    ActionWriter a;
    a.pushInt(10).defineFunction("", {}, spin).pushInt(2).push("setInterval").callFunction().pop();
    // Unbounded recursion through a getter ends too.
    ActionWriter get;
    get.getVar("this").push("p").getMember().ret();
    a.push("o").pushInt(0).initObject().setVariable();
    a.pushNull()
        .defineFunction("", {}, get)
        .push("p")
        .pushInt(3)
        .getVar("o")
        .push("addProperty")
        .callMethod()
        .pop();
    a.getVar("o").push("p").getMember().typeOf().trace();
    a.push("alive").trace();
    RunMovie r(a);
    r.player.tick();
    r.player.tick();
    EXPECT_EQ(r.traces, (Lines{"undefined", "alive"}));
}

TEST(Runtime, StringsAndGlobalsConvert) {
    ActionWriter a;
    a.pushInt(0x4E2D).pushInt(72).pushInt(2).getVar("String").push("fromCharCode").callMethod().trace();
    a.push("a b&c").pushInt(1).push("escape").callFunction().trace();
    a.push("%41%20b").pushInt(1).push("unescape").callFunction().trace();
    a.pushInt(16)
        .pushInt(1)
        .pushInt(255)
        .pushInt(1)
        .push("Number")
        .newObject()
        .push("toString")
        .callMethod()
        .trace();
    a.pushInt(0).getVar("System").push("capabilities").getMember().push("os").getMember().trace();
    a.getVar("Stage").push("width").getMember().trace();
    RunMovie r(a);
    EXPECT_EQ(r.traces, (Lines{"H\xE4\xB8\xAD", "a%20b%26c", "A b", "ff", "Windows XP", "100"}));
    // The host's debug log holds the same lines.
    EXPECT_EQ(r.player.engine().traceLog(), r.traces);
}

}  // namespace
