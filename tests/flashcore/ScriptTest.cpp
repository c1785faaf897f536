// Scripts beyond the timeline: functions and their registers, objects and
// arrays, movie-clip properties and paths, clip events, Math and String.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ButtonWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

// A movie with a sprite "clip" (a 10 px square, two frames) at depth 1 and
// `script` in frame 1; the traces of loading it.
struct ScriptRun {
    Player player;
    std::vector<std::string> traces;

    explicit ScriptRun(const ActionWriter& script, int version = 6, const Bytes& extraTags = Bytes()) {
        swfw::Movie m = fctest::stage100();
        m.version = static_cast<uint8_t>(version);
        swfw::ShapeBuilder s(3);
        s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
        m.add(s.defineShape(1));
        Bytes sprite = swfw::placeObject2(fctest::place(1, 1));
        sprite.insert(sprite.end(), {0x40, 0x00, 0x40, 0x00});
        m.add(swfw::defineSprite(2, sprite));
        swfw::Place p = fctest::place(1, 2);
        p.name = "clip";
        m.add(swfw::placeObject2(p));
        m.add(extraTags);
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
    DisplayObject* clip() { return player.engine().root()->children.at(1).get(); }
};

ActionWriter& trace(ActionWriter& a) { return a.op(0x26); }

// A script expression and the text `trace` prints for it.
struct TraceCase {
    std::string expected;
    std::function<void(ActionWriter&)> push;
};

// Appends every case's expression and a trace of it to `a`, runs the
// script and compares what was printed, case by case.
void expectTraces(ActionWriter& a, const std::vector<TraceCase>& cases) {
    for (const TraceCase& c : cases) {
        c.push(a);
        trace(a);
    }
    ScriptRun r(a);
    ASSERT_EQ(r.traces.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(r.traces[i], cases[i].expected) << "case " << i;
}

// Pushes args (last first), their count and the name, then CallFunction.
ActionWriter& callNamed(ActionWriter& a, const std::string& name, std::vector<double> args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.pushNumber(*it);
    return a.pushInt(static_cast<int32_t>(args.size())).push(name).callFunction();
}

TEST(Script, FunctionsTakeArgumentsAndReturnValues) {
    ActionWriter body;
    body.push("a").getVariable().push("b").getVariable().add2().ret();
    ActionWriter a;
    a.defineFunction("add", {"a", "b"}, body);
    trace(callNamed(a, "add", {2, 3}));
    // Too few arguments: the missing one is undefined (0 in sums before version 7).
    trace(callNamed(a, "add", {2}));
    // A function without a return statement yields undefined.
    a.defineFunction("nothing", {}, ActionWriter().pushInt(1).op(0x17));
    trace(callNamed(a, "nothing", {}).typeOf());
    ScriptRun r(a);
    EXPECT_EQ(r.traces, (std::vector<std::string>{"5", "2", "undefined"}));
}

TEST(Script, SecondFunctionFormPutsParametersAndPreloadsIntoRegisters) {
    // function f(x) with this in r1, _root in r2 and x in r3:
    // returns typeof(r1) + "," + r2._name... (root has no name) + r3 * 2.
    ActionWriter body;
    body.pushRegister(1).typeOf().push(",").add2();
    body.pushRegister(2).typeOf().add2().push(",").add2();
    body.pushRegister(3).pushInt(2).op(0x0C).add2();
    body.push(",").add2().push("arguments").getVariable().typeOf().add2().ret();
    ActionWriter a;
    a.defineFunction2("f", 4, 0x01 | 0x40 | 0x08, {{3, "x"}}, body);
    trace(callNamed(a, "f", {7}));
    ScriptRun r(a, 7);
    // Arguments are suppressed: no local of that name.
    EXPECT_EQ(r.traces, std::vector<std::string>{"movieclip,movieclip,14,undefined"});
}

TEST(Script, RecursionWorksAndRunawayRecursionStopsWithoutEndingTheScript) {
    // fact(n) = n <= 1 ? 1 : n * fact(n - 1), with n in register 1.
    ActionWriter fact;
    fact.pushRegister(1).pushInt(2).op(0x48).ifTrue("base");
    fact.pushRegister(1).pushInt(1).op(0x0B).pushInt(1).push("fact").callFunction();
    fact.pushRegister(1).op(0x0C).ret();
    fact.label("base").pushInt(1).ret();
    ActionWriter a;
    a.defineFunction2("fact", 2, 0, {{1, "n"}}, fact);
    trace(callNamed(a, "fact", {6}));
    ActionWriter forever;
    forever.pushInt(0).push("forever").callFunction().ret();
    a.defineFunction("forever", {}, forever);
    callNamed(a, "forever", {}).op(0x17);
    a.push("after");
    trace(a);
    ScriptRun r(a, 7);
    EXPECT_EQ(r.traces, (std::vector<std::string>{"720", "after"}));
}

TEST(Script, ObjectsAndArraysHoldMembers) {
    ActionWriter a;
    // o = {a: 1, b: "x"}; o.c = 5; trace(o.a + o.b + o.c)
    a.push("o").push("a").pushInt(1).push("b").push("x").pushInt(2).initObject().setVariable();
    a.push("o").getVariable().push("c").pushInt(5).setMember();
    a.push("o").getVariable().push("a").getMember().push("o").getVariable().push("b").getMember().add2();
    trace(a.push("o").getVariable().push("c").getMember().add2());
    // arr = [1, 2, 3]; arr.push(4); trace(arr.length, arr[1], arr.join("-"), arr)
    a.push("arr").pushInt(3).pushInt(2).pushInt(1).pushInt(3).initArray().setVariable();
    a.pushInt(4).pushInt(1).push("arr").getVariable().push("push").callMethod().op(0x17);
    trace(a.push("arr").getVariable().push("length").getMember());
    trace(a.push("arr").getVariable().pushInt(1).getMember());
    trace(a.push("-").pushInt(1).push("arr").getVariable().push("join").callMethod());
    trace(a.push("arr").getVariable());
    // new Array(3).length; new Object() is an object.
    trace(a.pushInt(3).pushInt(1).push("Array").newObject().push("length").getMember());
    trace(a.pushInt(0).push("Object").newObject().typeOf());
    // Setting past the end grows an array.
    a.push("arr").getVariable().pushInt(9).push("z").setMember();
    trace(a.push("arr").getVariable().push("length").getMember());
    ScriptRun r(a);
    EXPECT_EQ(r.traces,
              (std::vector<std::string>{"1x5", "4", "2", "1-2-3-4", "1,2,3,4", "3", "object", "10"}));
}

TEST(Script, TypeofAndInstanceofTellKindsApart) {
    ActionWriter a;
    a.defineFunction("F", {}, ActionWriter());
    a.push("inst").pushInt(0).push("F").newObject().setVariable();  // names fold case in version 6
    std::vector<TraceCase> cases = {
        {"object", [](ActionWriter& w) { w.pushInt(0).initObject().typeOf(); }},
        {"object", [](ActionWriter& w) { w.pushInt(0).initArray().typeOf(); }},
        {"function", [](ActionWriter& w) { w.push("F").getVariable().typeOf(); }},
        {"movieclip", [](ActionWriter& w) { w.push("clip").getVariable().typeOf(); }},
        {"null", [](ActionWriter& w) { w.pushNull().typeOf(); }},
        {"true", [](ActionWriter& w) { w.pushInt(0).initArray().push("Array").getVariable().instanceOf(); }},
        {"true", [](ActionWriter& w) { w.pushInt(0).initArray().push("Object").getVariable().instanceOf(); }},
        {"false",
         [](ActionWriter& w) { w.pushInt(0).initObject().push("Array").getVariable().instanceOf(); }},
        {"true", [](ActionWriter& w) { w.push("inst").getVariable().push("F").getVariable().instanceOf(); }},
        {"false", [](ActionWriter& w) { w.pushInt(3).push("F").getVariable().instanceOf(); }},
    };
    expectTraces(a, cases);
}

TEST(Script, ConstructorsSetUpThisAndMethodsSeeTheirObject) {
    // function P(v) { this.v = v; }  P.prototype.twice = function () { return this.v * 2; }
    ActionWriter ctor;
    ctor.push("this").getVariable().push("v").push("v").getVariable().setMember();
    ActionWriter twice;
    twice.push("this").getVariable().push("v").getMember().pushInt(2).op(0x0C).ret();
    ActionWriter a;
    a.defineFunction("P", {"v"}, ctor);
    a.push("P").getVariable().push("prototype").getMember().push("twice");
    a.defineFunction("", {}, twice).setMember();
    a.push("p").pushInt(21).pushInt(1).push("P").newObject().setVariable();
    trace(a.pushInt(0).push("p").getVariable().push("twice").callMethod());
    ScriptRun r(a);
    EXPECT_EQ(r.traces, std::vector<std::string>{"42"});
}

TEST(Script, ClipPropertiesReadAndWriteThroughMembersAndGetProperty) {
    ActionWriter a;
    a.push("clip").getVariable().push("_x").pushInt(30).setMember();
    a.push("clip").getVariable().push("_y").pushInt(40).setMember();
    a.push("clip").getVariable().push("_xscale").pushInt(200).setMember();
    a.push("clip").getVariable().push("_alpha").pushInt(50).setMember();
    a.push("clip").pushInt(10).pushInt(90).setProperty();  // _rotation
    trace(a.push("clip").pushInt(0).getProperty());        // _x
    trace(a.push("clip").getVariable().push("_y").getMember());
    trace(a.push("clip").getVariable().push("_totalframes").getMember());
    trace(a.push("clip").getVariable().push("_currentframe").getMember());
    trace(a.push("clip").getVariable().push("_rotation").getMember());
    trace(a.push("clip").getVariable().push("_XSCALE").getMember());
    ScriptRun r(a);
    ASSERT_EQ(r.traces.size(), 6u);
    EXPECT_EQ(r.traces[0], "30");
    EXPECT_EQ(r.traces[1], "40");
    EXPECT_EQ(r.traces[2], "2");
    EXPECT_EQ(r.traces[3], "1");
    EXPECT_EQ(std::stod(r.traces[4]), 90);
    EXPECT_NEAR(std::stod(r.traces[5]), 200, 1e-9);
    const Matrix& m = r.clip()->matrix;
    EXPECT_EQ(m.tx, 600);
    EXPECT_EQ(m.ty, 800);
    EXPECT_NEAR(m.b, 2, 1e-9);  // rotated 90 degrees, scaled 2 along x
    EXPECT_EQ(r.clip()->cxform.aMul, 128);
}

TEST(Script, HiddenClipIsNotDrawnAndMovedClipIsDrawnWhereItWent) {
    ActionWriter a;
    a.push("clip").getVariable().push("_x").pushInt(50).setMember();
    ScriptRun moved(a);
    fctest::Image img = fctest::render(moved.player, 100, 100);
    EXPECT_EQ(img.red(55, 5), 255);
    EXPECT_EQ(img.green(55, 5), 0);
    EXPECT_EQ(img.green(5, 5), 255);  // no longer at the origin

    ActionWriter h;
    h.push("clip").getVariable().push("_visible").pushBool(false).setMember();
    ScriptRun hidden(h);
    img = fctest::render(hidden.player, 100, 100);
    EXPECT_EQ(img.green(5, 5), 255);
}

TEST(Script, ThisRootAndParentNameTheRightTimelines) {
    // A function defined on the main timeline, called as a method of the
    // clip: `this` is the clip; _root and _parent reach the main timeline.
    ActionWriter f;
    f.push("this").getVariable().push("_name").getMember();
    f.push("/").add2().push("_root").getVariable().push("clip").getMember().push("_name").getMember().add2();
    f.push("/").add2().push("this").getVariable().push("_parent").getMember().op(0x45).add2().ret();
    ActionWriter a;
    a.push("clip").getVariable().push("who");
    a.defineFunction("", {}, f).setMember();
    trace(a.pushInt(0).push("clip").getVariable().push("who").callMethod());
    trace(a.push("_root.clip._name").getVariable());
    trace(a.push("clip").getVariable().op(0x45));
    ScriptRun r(a);
    EXPECT_EQ(r.traces, (std::vector<std::string>{"clip/clip/_level0", "clip", "_level0.clip"}));
}

TEST(Script, ClipEventsRunLoadOnceAndEnterFrameEveryFrame) {
    ActionWriter load;
    load.push("_root:loads").push("_root:loads").getVariable().pushInt(1).add2().setVariable();
    ActionWriter enter;
    enter.push("_root:frames").push("_root:frames").getVariable().pushInt(1).add2().setVariable();
    // The handler's `this` is the clip itself.
    enter.push("this").getVariable().push("_x").push("this").getVariable().push("_x").getMember().pushInt(1);
    enter.add2().setMember();
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid({0, 0, 255, 255})));
    Bytes tags = s.defineShape(20);
    Bytes spr = swfw::placeObject2(fctest::place(1, 20));
    spr.insert(spr.end(), {0x40, 0x00});
    Bytes sprite = swfw::defineSprite(21, spr);
    tags.insert(tags.end(), sprite.begin(), sprite.end());
    for (int version : {5, 6}) {
        Bytes place = swfw::placeWithEvents(21, 5, "ev", swfw::Matrix(),
                                            {{0x1, load.bytes()}, {0x2, enter.bytes()}}, version);
        Bytes all = tags;
        all.insert(all.end(), place.begin(), place.end());
        ScriptRun r(ActionWriter(), version, all);
        for (int i = 0; i < 3; ++i) r.player.tick();
        auto& vars = r.player.engine().root()->variables;
        EXPECT_EQ(toNumber(vars["loads"], 6), 1) << version;
        EXPECT_EQ(toNumber(vars["frames"], 6), 3) << version;
        EXPECT_EQ(r.player.engine().root()->children.at(5)->matrix.tx, 60) << version;
    }
}

TEST(Script, MathAndStringBasics) {
    auto math = [](const char* fn, std::vector<double> args) {
        return [=](ActionWriter& w) {
            for (auto it = args.rbegin(); it != args.rend(); ++it) w.pushNumber(*it);
            w.pushInt(static_cast<int32_t>(args.size())).push("Math").getVariable().push(fn).callMethod();
        };
    };
    auto str = [](const char* s, const char* fn, std::vector<double> args) {
        return [=](ActionWriter& w) {
            for (auto it = args.rbegin(); it != args.rend(); ++it) w.pushNumber(*it);
            w.pushInt(static_cast<int32_t>(args.size())).push(s).push(fn).callMethod();
        };
    };
    std::vector<TraceCase> cases = {
        {"2", math("floor", {2.7})},
        {"-2", math("ceil", {-2.7})},
        {"3", math("round", {2.5})},
        {"9", math("max", {3, 9})},
        {"3", math("sqrt", {9})},
        {"8", math("pow", {2, 3})},
        {"5", math("abs", {-5})},
        {"3.14159265358979", [](ActionWriter& w) { w.push("Math").getVariable().push("PI").getMember(); }},
        {"HELLO", str("Hello", "toUpperCase", {})},
        {"ell", str("Hello", "substr", {1, 3})},
        {"el", str("Hello", "substring", {3, 1})},
        {"o", str("Hello", "charAt", {4})},
        {"72", str("Hello", "charCodeAt", {0})},
        {"5", [](ActionWriter& w) { w.push("Hello").push("length").getMember(); }},
        {"2", [](ActionWriter& w) { w.push("l").pushInt(1).push("Hello").push("indexOf").callMethod(); }},
        {"3",
         [](ActionWriter& w) {
             w.push(",").pushInt(1).push("a,b,c").push("split").callMethod().push("length").getMember();
         }},
        {"42", [](ActionWriter& w) { w.push("42px").pushInt(1).push("parseInt").callFunction(); }},
    };
    ActionWriter a;
    expectTraces(a, cases);
}

TEST(Script, ObjectCyclesAndObjectFloodsStayWithinLimits) {
    // o.self = o, and a loop making objects until the budget ends.
    ActionWriter a;
    a.push("o").pushInt(0).initObject().setVariable();
    a.push("o").getVariable().push("self").push("o").getVariable().setMember();
    a.label("top").push("x").pushInt(0).initObject().setVariable().jump("top");
    ScriptRun r(a);
    EXPECT_TRUE(r.player.engine().lastScriptHitBudget);
    r.player.engine().maxScriptObjects = 10;
    r.player.gotoFrame(1);
    r.player.gotoFrame(0);  // runs the script again, now short of objects
    EXPECT_TRUE(r.player.engine().lastScriptHitBudget);
}

}  // namespace
