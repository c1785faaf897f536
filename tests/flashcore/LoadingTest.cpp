// Loading from scripts through the host: LoadVars, XML (parsing, the tree
// and its edits, loading), movies into clips and levels, variables into
// clips. Loads complete on the tick after the script that started them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/core/avm1/Avm1.h"
#include "flash/core/avm1/XmlParser.h"
#include "tests/flashcore/ScriptHost.h"
#include "tests/flashcore/TestSupport.h"

using namespace flash;
using fctest::call;
using fctest::path;
using fctest::tracePath;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

using Lines = std::vector<std::string>;

using Hosted = fctest::HostedMovie;

// A movie to load: a 20 px blue square and a frame script that traces and
// sets a variable.
std::string childMovie() {
    swfw::Movie m;
    m.version = 6;
    m.stage = {0, 800, 0, 800};
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, 400, 400, s.addFill(swfw::FillStyle::solid({0, 0, 255, 255})));
    m.add(s.defineShape(1));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    ActionWriter a;
    a.push("child frame ").getVar("this").add2().trace();
    a.push("childVar").pushInt(5).setVariable();
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    Bytes b = m.build();
    return std::string(b.begin(), b.end());
}

// lv.onLoad = function (ok) { trace("loaded " + ok + ...fields) }
ActionWriter onLoadTracing(const std::vector<std::string>& fields) {
    ActionWriter f;
    f.push("loaded ").getVar("ok").add2();
    for (const std::string& k : fields) f.push(" ").add2().getVar("this").push(k).getMember().add2();
    f.trace();
    return f;
}

TEST(Loading, LoadVarsDecodesTheFileOnALaterTickAndReportsFailure) {
    ActionWriter a;
    fctest::construct(a, "lv", "LoadVars", 0);
    a.getVar("lv").push("onLoad").defineFunction("", {"ok"}, onLoadTracing({"name", "city"})).setMember();
    a.push("vars.txt");
    call(a, "lv.load", 1).trace();
    fctest::construct(a, "bad", "LoadVars", 0);
    a.getVar("bad").push("onLoad").defineFunction("", {"ok"}, onLoadTracing({})).setMember();
    a.push("missing.txt");
    call(a, "bad.load", 1).pop();
    a.push("after load");
    a.trace();
    Hosted h(a, {{"vars.txt", "name=Li+Lei&city=%E5%8C%97%E4%BA%AC&\r\n"}});
    EXPECT_EQ(h.traces, (Lines{"true", "after load"}));
    h.player.tick();
    EXPECT_EQ(h.traces,
              (Lines{"true", "after load", "loaded true Li Lei \xE5\x8C\x97\xE4\xBA\xAC", "loaded false"}));
    EXPECT_EQ(h.host.fetched, (Lines{"vars.txt", "missing.txt"}));
}

TEST(Loading, LoadVarsEncodesDecodesAndCountsBytes) {
    ActionWriter a;
    fctest::construct(a, "lv", "LoadVars", 0);
    a.push("a=1&b=x%26y&c");
    call(a, "lv.decode", 1).pop();
    tracePath(a, "lv.b");
    a.getVar("lv").push("c").getMember().typeOf().trace();
    call(a, "lv.toString", 0).trace();
    call(a, "lv.getBytesTotal", 0).typeOf().trace();
    fctest::construct(a, "reply", "LoadVars", 0);
    a.getVar("reply")
        .push("onLoad")
        .defineFunction(
            "", {"ok"},
            [] {
                ActionWriter f;
                f.push("reply ").getVar("this").push("answer").getMember().add2().push(" ").add2();
                f.pushInt(0).getVar("this").push("getBytesTotal").callMethod().add2().trace();
                return f;
            }())
        .setMember();
    a.push("POST").getVar("reply").push("echo.txt");
    call(a, "lv.sendAndLoad", 3).pop();
    Hosted h(a, {{"echo.txt", "answer=42"}});
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"x&y", "string", "a=1&b=x%26y&c=", "undefined", "reply 42 9"}));
    EXPECT_EQ(h.host.fetched, (Lines{"echo.txt POST a=1&b=x%26y&c="}));
}

TEST(Loading, ParserReportsWhereTextIsMalformed) {
    struct Case {
        const char* text;
        int status;
        size_t topLevel;  // nodes under the document
    };
    const Case cases[] = {
        {"<a><b/>t</a>", 0, 1},   {"<a>", -10, 1},        {"</a>", -9, 0},           {"<a></b>", -10, 1},
        {"<a x=1/>", -6, 0},      {"<a x=\"1/>", -8, 0},  {"<!-- open", -5, 0},      {"<a><![CDATA[x", -2, 1},
        {"<?xml version", -3, 0}, {"<!DOCTYPE x", -4, 0}, {"text &amp; more", 0, 1}, {"< a/>", -6, 0},
    };
    for (const Case& c : cases) {
        XmlDocument d = parseXml(c.text, false);
        EXPECT_EQ(d.status, c.status) << c.text;
        EXPECT_EQ(d.root.children.size(), c.topLevel) << c.text;
    }
    // Nesting and node counts are bounded.
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "<a>";
    EXPECT_EQ(parseXml(deep, false).status, -7);
    EXPECT_EQ(parseXml("<a/><b/><c/>", false, 2).status, -7);
    EXPECT_EQ(xmlUnescape("&lt;&#65;&#x4E2D;&bogus;&"), "<A\xE4\xB8\xAD&bogus;&");
    EXPECT_EQ(xmlEscape("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;");
}

TEST(Loading, XmlTreeNavigatesEditsAndPrints) {
    ActionWriter a;
    a.push(
        "<?xml version=\"1.0\"?>\n<menu title='Main &amp; more'>\n <item id=\"1\">One</item>\n "
        "<item id=\"2\"/>\n</menu>");
    fctest::construct(a, "x", "XML", 1);
    tracePath(a, "x.childNodes.length");  // the white space is a text node
    a.getVar("x").push("ignoreWhite").pushBool(true).setMember();
    a.push("<menu title='Main &amp; more'>\n <item id=\"1\">One</item>\n <item id=\"2\"/>\n</menu>");
    call(a, "x.parseXML", 1).pop();
    tracePath(a, "x.firstChild.nodeName");
    tracePath(a, "x.firstChild.attributes.title");
    tracePath(a, "x.firstChild.childNodes.length");
    tracePath(a, "x.firstChild.firstChild.firstChild.nodeValue");
    tracePath(a, "x.firstChild.firstChild.firstChild.nodeType");
    tracePath(a, "x.firstChild.firstChild.nextSibling.attributes.id");
    tracePath(a, "x.firstChild.lastChild.previousSibling.attributes.id");
    tracePath(a, "x.firstChild.firstChild.previousSibling");
    tracePath(a, "x.firstChild.parentNode.nodeName");
    tracePath(a, "x.status");
    // Edits: a new element before the first item, a text node in it, the
    // last item removed, a deep copy appended.
    a.push("sep");
    call(a, "x.createElement", 1);
    a.push("n").op(0x4D).setVariable();
    a.push("--");
    call(a, "x.createTextNode", 1);
    call(a, "n.appendChild", 1).pop();
    path(a, "x.firstChild.firstChild").getVar("n");
    call(a, "x.firstChild.insertBefore", 2).pop();
    call(a, "x.firstChild.lastChild.removeNode", 0).pop();
    a.pushBool(true);
    call(a, "n.cloneNode", 1);
    call(a, "x.firstChild.appendChild", 1).pop();
    path(a, "x.firstChild.firstChild.attributes").push("k").push("v").setMember();
    call(a, "x.toString", 0).trace();
    // A node cannot take its own parent as a child.
    path(a, "x.firstChild");
    call(a, "n.appendChild", 1).pop();
    tracePath(a, "n.childNodes.length");
    Hosted h(a);
    EXPECT_EQ(h.traces,
              (Lines{"2", "menu", "Main & more", "2", "One", "3", "2", "1", "null", "null", "0",
                     "<menu title=\"Main &amp; more\"><sep k=\"v\">--</sep><item id=\"1\">One</item>"
                     "<sep>--</sep></menu>",
                     "1"}));
}

TEST(Loading, XmlLoadsAFileAndParsesItBeforeOnLoad) {
    ActionWriter a;
    fctest::construct(a, "x", "XML", 0);
    a.getVar("x").push("ignoreWhite").pushBool(true).setMember();
    ActionWriter onLoad;
    onLoad.push("xml ").getVar("ok").add2().push(" ").add2();
    onLoad.getVar("this").push("firstChild").getMember().push("firstChild").getMember();
    onLoad.push("nodeName").getMember().add2().push(" ").add2();
    onLoad.getVar("this").push("loaded").getMember().add2().trace();
    a.getVar("x").push("onLoad").defineFunction("", {"ok"}, onLoad).setMember();
    a.push("menu.xml");
    call(a, "x.load", 1).pop();
    tracePath(a, "x.loaded");
    Hosted h(a, {{"menu.xml", "\xEF\xBB\xBF<menu>\r\n  <item/>\r\n</menu>"}});
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"false", "xml true item true"}));
}

TEST(Loading, MoviesLoadIntoClipsAndLevelsAndUnload) {
    ActionWriter a;
    a.push("child.swf").push("clip").getUrl2(0x40);    // loadMovie("child.swf", "clip")
    a.getUrl("child.swf", "_level2");                  // loadMovieNum("child.swf", 2)
    a.push("vars.txt").push("clip").getUrl2(0xC0);     // loadVariables after the movie
    a.push("nothing.swf").push("clip").getUrl2(0x40);  // fails: the clip keeps what it has
    Hosted h(a, {{"child.swf", childMovie()}, {"vars.txt", "v=7"}});
    EXPECT_TRUE(h.traces.empty());
    fctest::Image before = fctest::render(h.player, 100, 100);
    EXPECT_EQ(before.red(5, 5), 255);
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"child frame _level0.clip", "child frame _level2"}));
    fctest::Image after = fctest::render(h.player, 100, 100);
    EXPECT_EQ(after.blue(15, 15), 255);  // the loaded movie's 20 px square in the clip
    EXPECT_EQ(after.red(15, 15), 0);
    Engine& e = h.player.engine();
    DisplayObject* clip = e.resolveTarget(e.root(), "clip");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(toString(e.vm().readVariable(clip, "childVar"), 6), "5");
    EXPECT_EQ(toString(e.vm().readVariable(clip, "v"), 6), "7");
    ASSERT_NE(e.level(2), nullptr);
    EXPECT_EQ(toString(e.vm().readVariable(e.level(2), "childVar"), 6), "5");

    // getBytesTotal is the loaded file's; unloadMovie empties the clip and
    // an empty target unloads a level.
    ActionWriter b;
    b.pushInt(0).getVar("clip").push("getBytesTotal").callMethod().trace();
    b.pushInt(0).getVar("clip").push("unloadMovie").callMethod().pop();
    b.getUrl("", "_level2");
    b.pushInt(0).getVar("clip").push("getBytesLoaded").callMethod().typeOf().trace();
    std::vector<uint8_t> code = b.bytes();
    code.push_back(0);
    e.vm().run(e.root(), ActionBlock{code.data(), code.size()}, 10000);
    EXPECT_EQ(h.traces.back(), "number");
    EXPECT_EQ(h.traces[h.traces.size() - 2], std::to_string(childMovie().size()));
    EXPECT_EQ(e.level(2), nullptr);
    fctest::Image emptied = fctest::render(h.player, 100, 100);
    EXPECT_EQ(emptied.blue(15, 15), 255);
    EXPECT_EQ(emptied.red(15, 15), 255);  // white: nothing left in the clip
    EXPECT_EQ(emptied.green(15, 15), 255);
}

TEST(Loading, WithoutAHostLoadsFailQuietly) {
    ActionWriter a;
    fctest::construct(a, "lv", "LoadVars", 0);
    a.getVar("lv").push("onLoad").defineFunction("", {"ok"}, onLoadTracing({})).setMember();
    a.push("vars.txt");
    call(a, "lv.load", 1).pop();
    a.push("child.swf").push("clip").getUrl2(0x40);
    Hosted h(a);
    h.player.engine().host = nullptr;
    h.player.tick();
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"loaded false"}));
}

}  // namespace
