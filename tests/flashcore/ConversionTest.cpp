// Strings counted by characters (UTF-8 from version 6, double-byte locale
// text before), conversions that call a script's toString/valueOf, and
// for-in over inherited members.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/ScriptHost.h"

using fctest::call;
using swfw::ActionWriter;

namespace {

using Lines = std::vector<std::string>;

struct StringCase {
    const char* method;
    std::vector<int> args;
    const char* expected;
};

// Every String method on one subject, each result traced.
Lines runStringCases(const std::string& subject, const std::vector<StringCase>& cases, int version) {
    ActionWriter a;
    a.push("s").push(subject).setVariable();
    for (const StringCase& c : cases) {
        for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) a.pushInt(*it);
        call(a, std::string("s.") + c.method, static_cast<int>(c.args.size())).trace();
    }
    fctest::HostedMovie h(a, {}, version);
    return h.traces;
}

TEST(Conversion, StringMethodsCountUtf8CharactersFromVersionSix) {
    // "a中b文c": 5 characters, 9 bytes.
    const std::string s =
        "a\xE4\xB8\xAD"
        "b\xE6\x96\x87"
        "c";
    std::vector<StringCase> cases = {
        {"charAt", {1}, "\xE4\xB8\xAD"},
        {"charCodeAt", {3}, "25991"},
        {"substr",
         {1, 3},
         "\xE4\xB8\xAD"
         "b\xE6\x96\x87"},
        {"substring", {4, 2}, "b\xE6\x96\x87"},
        {"slice",
         {-2},
         "\xE6\x96\x87"
         "c"},
        {"charAt", {5}, ""},
    };
    Lines expected;
    for (const StringCase& c : cases) expected.push_back(c.expected);
    EXPECT_EQ(runStringCases(s, cases, 6), expected);

    ActionWriter a;
    a.push("s").push(s).setVariable();
    a.push("c");
    call(a, "s.indexOf", 1).trace();
    a.pushInt(1).push("\xE6\x96\x87");
    call(a, "s.indexOf", 2).trace();
    a.push("");
    call(a, "s.split", 1).push("length").getMember().trace();
    a.getVar("s").push("length").getMember().trace();
    fctest::HostedMovie h(a);
    EXPECT_EQ(h.traces, (Lines{"4", "3", "5", "5"}));
}

TEST(Conversion, VersionFiveCountsDoubleByteLocaleCharacters) {
    // "a中b" in GBK: 3 characters; the trail byte 0x5C is no backslash start.
    const std::string s =
        "a\xD6\xD0"
        "b\x95\x5C";
    std::vector<StringCase> cases = {
        {"charAt", {1}, "\xD6\xD0"},
        {"substr", {2}, "b\x95\x5C"},
        {"charCodeAt", {1}, "54992"},
        {"slice", {3, 4}, "\x95\x5C"},
    };
    Lines expected;
    for (const StringCase& c : cases) expected.push_back(c.expected);
    EXPECT_EQ(runStringCases(s, cases, 5), expected);
    ActionWriter a;
    a.push("s").push(s).setVariable();
    a.getVar("s").push("length").getMember().trace();
    a.push("\\");
    call(a, "s.indexOf", 1).trace();  // only inside a character: not found
    fctest::HostedMovie h(a, {}, 5);
    EXPECT_EQ(h.traces, (Lines{"4", "-1"}));
}

TEST(Conversion, ObjectsConvertThroughTheirOwnToStringAndValueOf) {
    ActionWriter a;
    // function P(v) { this.v = v }  P.prototype.toString = function () { return "P(" + this.v + ")" }
    a.defineFunction("P", {"v"}, ActionWriter().getVar("this").push("v").getVar("v").setMember());
    a.getVar("P").push("prototype").getMember().push("toString");
    a.defineFunction(
        "", {}, ActionWriter().push("P(").getVar("this").push("v").getMember().add2().push(")").add2().ret());
    a.setMember();
    a.push("inst").pushInt(3).pushInt(1).push("P").newObject().setVariable();
    a.getVar("inst").trace();                     // trace calls toString
    a.push("<").getVar("inst").add2().trace();    // + with a string
    a.push("x").getVar("inst").op(0x21).trace();  // string add
    a.getVar("inst").pushInt(1).push("String").callFunction().trace();
    // valueOf wins in arithmetic.
    a.getVar("P").push("prototype").getMember().push("valueOf");
    a.defineFunction("", {}, ActionWriter().getVar("this").push("v").getMember().ret()).setMember();
    a.getVar("inst").pushInt(10).add2().trace();
    // A plain object and an array keep their built-in text.
    a.pushInt(0).initObject().trace();
    a.pushInt(2).pushInt(1).pushInt(2).initArray().trace();
    fctest::HostedMovie h(a);
    EXPECT_EQ(h.traces, (Lines{"P(3)", "<P(3)", "xP(3)", "P(3)", "13", "[object Object]", "1,2"}));
}

TEST(Conversion, ForInListsInheritedMembersOnceAndSkipsHiddenOnes) {
    ActionWriter a;
    a.defineFunction("A", {}, ActionWriter());
    a.getVar("A").push("prototype").getMember().push("shared").pushInt(1).setMember();
    a.getVar("A").push("prototype").getMember().push("fromA").pushInt(1).setMember();
    a.getVar("A").push("prototype").getMember().push("hiddenA").pushInt(1).setMember();
    a.pushInt(0).pushInt(1).push("hiddenA").getVar("A").push("prototype").getMember().pushInt(4);
    a.push("ASSetPropFlags").callFunction().pop();
    a.push("o").pushInt(0).push("A").newObject().setVariable();
    a.getVar("o").push("own").pushInt(1).setMember();
    a.getVar("o").push("shared").pushInt(2).setMember();
    a.push("s").push("").setVariable();
    a.getVar("o").enumerate2();
    a.label("loop").storeRegister(0).pushNull().equals2().ifTrue("done");
    a.push("s").getVar("s").pushRegister(0).add2().push(",").add2().setVariable().jump("loop");
    a.label("done").getVar("s").trace();
    fctest::HostedMovie h(a, {}, 7);
    ASSERT_EQ(h.traces.size(), 1u);
    // Own members first (in any order), then the inherited one.
    std::string s = h.traces[0];
    EXPECT_TRUE(s == "own,shared,fromA," || s == "shared,own,fromA,") << s;
}

}  // namespace
