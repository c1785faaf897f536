// SharedObject stores through the host, Date by local and UTC fields with a
// fixed clock and time zone, and the flash.geom classes with a clip's
// Transform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/core/avm1/Avm1.h"
#include "tests/flashcore/ScriptHost.h"

using fctest::call;
using fctest::path;
using fctest::tracePath;
using swfw::ActionWriter;

namespace {

using Lines = std::vector<std::string>;

// new flash.geom.<cls>(args pushed before, last first) into variable `name`.
ActionWriter& newGeom(ActionWriter& a, const std::string& name, const std::string& cls, int argc) {
    a.pushInt(argc);
    path(a, "flash.geom");
    return a.push(cls).op(0x53).push(name).op(0x4D).setVariable();
}

TEST(Data, SharedObjectsKeepTheirDataAcrossRuns) {
    ActionWriter a;
    a.push("game");
    call(a, "SharedObject.getLocal", 1);
    a.push("so").op(0x4D).setVariable();
    path(a, "so.data").push("score").pushInt(5).setMember();
    path(a, "so.data").push("name").push("\xE6\x9D\x8E \"x\"").setMember();
    path(a, "so.data")
        .push("list")
        .pushNull()
        .pushBool(true)
        .push("a")
        .pushNumber(1.5)
        .pushInt(4)
        .initArray();
    a.setMember();
    path(a, "so.data").push("nested").push("x").pushInt(1).pushInt(1).initObject().setMember();
    path(a, "so.data").push("self");
    path(a, "so.data").setMember();
    call(a, "so.flush", 0).trace();
    a.push("game");
    call(a, "SharedObject.getLocal", 1).getVar("so").strictEquals().trace();
    a.push("bad name");
    call(a, "SharedObject.getLocal", 1).trace();
    fctest::HostedMovie first(a);
    EXPECT_EQ(first.traces, (Lines{"true", "true", "null"}));
    ASSERT_EQ(first.host.shared.count("game"), 1u);

    // A second run reads it back; clear() empties it.
    ActionWriter b;
    b.push("game");
    call(b, "SharedObject.getLocal", 1);
    b.push("so").op(0x4D).setVariable();
    tracePath(b, "so.data.score");
    tracePath(b, "so.data.name");
    tracePath(b, "so.data.list");
    tracePath(b, "so.data.nested.x");
    path(b, "so.data.self").typeOf().trace();  // a cycle is not stored
    call(b, "so.clear", 0).pop();
    tracePath(b, "so.data.score");
    b.push("broken");
    call(b, "SharedObject.getLocal", 1).push("data").getMember().push("a").getMember().trace();
    std::map<std::string, std::string> stores = first.host.shared;
    stores["broken"] = "o3;s1:an1;s9999:x";
    fctest::HostedMovie second(b, {}, 6, stores);
    EXPECT_EQ(second.traces,
              (Lines{"5", "\xE6\x9D\x8E \"x\"", "1.5,a,true,null", "1", "undefined", "", "1"}));
    EXPECT_EQ(second.host.shared["game"], "");
}

}  // namespace

namespace {

// Tue Dec 8 2026 05:11:24.250 UTC; the zone is UTC+8 (China).
const double kNow = 1796706684250.0;

// Runs a script in a version 6 movie at kNow in UTC+8; what it traced.
Lines runAtFixedTime(const ActionWriter& a) {
    fctest::HostedMovie h(ActionWriter(), {}, 6);
    h.player.engine().wallClock = [] { return kNow; };
    h.player.engine().localOffset = [](double) { return 480.0; };
    h.traces.clear();
    swfw::Bytes code = a.bytes();
    code.push_back(0);
    h.player.engine().vm().run(h.player.engine().root(), flash::ActionBlock{code.data(), code.size()},
                               100000);
    return h.traces;
}

TEST(Data, DatesReadAndSetLocalAndUtcFields) {
    ActionWriter a;
    auto dateOf = [&](const std::string& name, std::vector<double> args) {
        a.push(name);
        for (auto it = args.rbegin(); it != args.rend(); ++it) a.pushNumber(*it);
        a.pushInt(static_cast<int>(args.size())).push("Date").newObject().setVariable();
    };
    auto show = [&](const std::string& name, const std::vector<std::string>& methods) {
        a.push("");
        for (const std::string& m : methods) {
            call(a, name + "." + m, 0).add2().push(" ").add2();
        }
        a.trace();
    };
    dateOf("now", {});
    show("now", {"getTime", "getTimezoneOffset"});
    a.getVar("now").trace();
    dateOf("d", {2026, 11, 8, 13, 5, 9, 7});  // local time
    show("d", {"getFullYear", "getMonth", "getDate", "getDay", "getHours", "getUTCHours", "getMilliseconds"});
    a.pushInt(7).pushInt(9).pushInt(5).pushInt(5).pushInt(8).pushInt(11).pushInt(2026);
    call(a, "Date.UTC", 7);
    call(a, "d.getTime", 0).op(0x0E).trace();  // equals
    // Months and days roll over; day 0 is the last of the month before.
    a.pushInt(13);
    call(a, "d.setMonth", 1).pop();
    show("d", {"getFullYear", "getMonth", "getDate"});
    a.pushInt(0);
    call(a, "d.setDate", 1).pop();
    show("d", {"getMonth", "getDate"});
    a.pushInt(25);
    call(a, "d.setUTCHours", 1).pop();
    show("d", {"getUTCDate", "getUTCHours", "getHours"});
    dateOf("y2k", {99, 0});
    show("y2k", {"getFullYear", "getYear"});
    dateOf("epoch", {-1});
    show("epoch", {"getUTCFullYear", "getUTCMonth", "getUTCDate", "getUTCDay", "getUTCMilliseconds"});
    dateOf("leap", {2024, 1, 29});
    show("leap", {"getMonth", "getDate"});
    dateOf("notLeap", {2023, 1, 29});
    show("notLeap", {"getMonth", "getDate"});
    dateOf("bad", {NAN});
    a.getVar("bad").trace();
    call(a, "bad.getHours", 0).trace();
    a.pushInt(29).pushInt(1).pushInt(2000);
    call(a, "Date.UTC", 3).trace();
    a.push("at ").getVar("d").add2().trace();
    EXPECT_EQ(runAtFixedTime(a),
              (Lines{"1796706684250 -480 ", "Tue Dec 8 13:11:24 GMT+0800 2026", "2026 11 8 2 13 5 7 ", "true",
                     "2027 1 8 ", "0 31 ", "1 1 9 ", "1999 99 ", "1969 11 31 3 999 ", "1 29 ", "2 1 ",
                     "Invalid Date", "NaN", "951782400000", "at Mon Feb 1 09:05:09 GMT+0800 2027"}));
}

// Converted without a script's help (inside an array, a bound field), a
// Date reads as its text; XML prints attributes in the order given, and
// childNodes follows later edits.
TEST(Data, DatesReadAsTextAndXmlKeepsItsOrder) {
    ActionWriter a;
    a.pushInt(0).pushInt(1).push("Date").newObject().push("d").op(0x4D).setVariable();
    a.getVar("d").pushInt(1).initArray().trace();
    a.push("|").getVar("d").pushInt(2).pushInt(2).initArray().push("list").op(0x4D).setVariable();
    call(a, "list.join", 1).trace();
    a.push("<a z=\"1\" b=\"2\" m=\"3\"/>");
    fctest::construct(a, "x", "XML", 1);
    path(a, "x.firstChild.attributes").push("c").push("4").setMember();
    call(a, "x.toString", 0).trace();
    a.push("b");
    call(a, "x.createElement", 1);
    call(a, "x.appendChild", 1).pop();
    fctest::tracePath(a, "x.childNodes.length");
    call(a, "x.firstChild.removeNode", 0).pop();
    fctest::tracePath(a, "x.childNodes.length");
    a.pushInt(0)
        .getVar("x")
        .push("childNodes")
        .getMember()
        .push("0")
        .getMember()
        .push("nodeName")
        .getMember()
        .trace();
    EXPECT_EQ(runAtFixedTime(a),
              (Lines{"Thu Jan 1 08:00:00 GMT+0800 1970", "2|Thu Jan 1 08:00:00 GMT+0800 1970",
                     "<a z=\"1\" b=\"2\" m=\"3\" c=\"4\" />", "2", "1", "b"}));
}

}  // namespace

namespace {

TEST(Data, GeometryClassesComputeAndTransformsMoveClips) {
    ActionWriter a;
    a.pushInt(4).pushInt(3);
    newGeom(a, "p", "Point", 2);
    tracePath(a, "p.length");
    a.pushInt(1).pushInt(1);
    newGeom(a, "q", "Point", 2);
    a.getVar("q");
    call(a, "p.add", 1).trace();
    a.pushInt(10);
    call(a, "p.normalize", 1).pop();
    a.getVar("p").trace();
    a.pushInt(10).pushInt(10).pushInt(0).pushInt(0);
    newGeom(a, "r", "Rectangle", 4);
    a.pushInt(10).pushInt(10).pushInt(5).pushInt(5);
    newGeom(a, "s", "Rectangle", 4);
    a.getVar("s");
    call(a, "r.intersection", 1).trace();
    a.getVar("s");
    call(a, "r.union", 1).trace();
    a.pushInt(10).pushInt(10);
    call(a, "r.contains", 2).trace();  // the right edge is outside
    a.getVar("r").push("left").pushInt(4).setMember();
    tracePath(a, "r.width");
    // Matrix: scale then translate; a point goes through both.
    newGeom(a, "m", "Matrix", 0);
    a.pushInt(3).pushInt(2);
    call(a, "m.scale", 2).pop();
    a.pushInt(5).pushInt(10);
    call(a, "m.translate", 2).pop();
    a.getVar("m").trace();
    a.pushInt(1).pushInt(1);
    newGeom(a, "one", "Point", 2);
    a.getVar("one");
    call(a, "m.transformPoint", 1).trace();
    call(a, "m.invert", 0).pop();
    a.getVar("one");
    call(a, "m.transformPoint", 1).push("x").getMember().trace();
    // A clip's transform: move it by a matrix and colour it through a ColorTransform.
    newGeom(a, "mm", "Matrix", 0);
    a.pushInt(40).pushInt(50);
    call(a, "mm.translate", 2).pop();
    a.push("t").getVar("clip").push("transform").getMember().setVariable();
    a.getVar("t").push("matrix").getVar("mm").setMember();
    tracePath(a, "clip._x");
    newGeom(a, "ct", "ColorTransform", 0);
    a.getVar("ct").push("rgb").pushInt(0x00FF00).setMember();
    a.getVar("t").push("colorTransform").getVar("ct").setMember();
    tracePath(a, "clip.transform.colorTransform.greenOffset");
    tracePath(a, "clip.transform.concatenatedMatrix.tx");
    path(a, "flash.geom.Point").typeOf().trace();
    a.getVar("Point").typeOf().trace();  // only in the package
    fctest::HostedMovie h(a, {}, 8);
    EXPECT_EQ(h.traces, (Lines{"5", "(x=4, y=5)", "(x=6, y=8)", "(x=5, y=5, w=5, h=5)",
                               "(x=0, y=0, w=15, h=15)", "false", "6", "(a=2, b=0, c=0, d=3, tx=10, ty=5)",
                               "(x=12, y=8)", "-4.5", "50", "255", "50", "function", "undefined"}));
    fctest::Image img = fctest::render(h.player, 100, 100);
    EXPECT_EQ(img.green(55, 45), 255);  // the moved, now green square
    EXPECT_EQ(img.red(55, 45), 0);
    EXPECT_EQ(img.red(5, 5), 255);  // nothing left at the origin (white)
    EXPECT_EQ(img.green(5, 5), 255);
}

}  // namespace
