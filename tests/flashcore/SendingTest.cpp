// Sending variables: the GET/POST forms of getURL, loadVariables and
// loadMovie (the timeline's own variables, form-encoded), LoadVars.send and
// XML.send to a browser window through the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/ScriptHost.h"

using fctest::call;
using fctest::path;
using swfw::ActionWriter;

namespace {

using Lines = std::vector<std::string>;

TEST(Sending, UrlActionsCarryTheTimelineVariablesByGetOrPost) {
    // The text of the movie's own version: UTF-8 from 6, GBK before.
    struct Case {
        int version;
        const char* name;
        const char* encoded;
    };
    for (const Case& v : {Case{6, "\xE6\x9D\x8E \xE9\x9B\xB7", "%E6%9D%8E%20%E9%9B%B7"},
                          Case{5, "\xC0\xEE \xC0\xD7", "%C0%EE%20%C0%D7"}}) {
        ActionWriter a;
        a.push("name").push(v.name).setVariable();
        a.push("sum").push("1+1=2&").setVariable();
        a.push("f").defineFunction("", {}, ActionWriter()).setVariable();  // functions stay home
        path(a, "clip").push("own").pushInt(7).setMember();
        a.push("page.php").push("_blank").getUrl2(0x01);         // getURL(.., "GET")
        a.push("page.php?x=1#top").push("_self").getUrl2(0x01);  // query kept, fragment last
        a.push("form.php").push("_top").getUrl2(0x02);           // getURL(.., "POST")
        a.push("vars.txt").push("clip").getUrl2(0xC1);           // loadVariables GET
        a.push("vars.txt").push("_level0").getUrl2(0x82);        // loadVariablesNum POST
        a.push("child.swf").push("_level3").getUrl2(0x02);       // loadMovieNum POST
        a.push("plain.txt").push("clip").getUrl2(0xC0);          // no method: nothing sent
        a.push("get");
        a.push("w").push("clip.php");
        call(a, "clip.getURL", 3).pop();  // a clip sends its own
        a.push("POST").push("clip.txt");
        call(a, "clip.loadVariables", 2).pop();
        fctest::HostedMovie h(a, {}, v.version);
        const std::string form = std::string("name=") + v.encoded + "&sum=1%2B1%3D2%26";
        EXPECT_EQ(h.host.opened, (Lines{"page.php?" + form + " _blank", "page.php?x=1&" + form + "#top _self",
                                        "form.php _top POST " + form, "clip.php?own=7 w"}))
            << v.version;
        EXPECT_EQ(h.host.fetched, (Lines{"vars.txt?" + form, "vars.txt POST " + form,
                                         "child.swf POST " + form, "plain.txt", "clip.txt POST own=7"}))
            << v.version;
    }
}

TEST(Sending, LoadVarsAndXmlSendToAWindowOrLoadTheAnswer) {
    ActionWriter a;
    fctest::construct(a, "lv", "LoadVars", 0);
    path(a, "lv").push("q").push("a b+c").setMember();
    a.push("_blank").push("form.php");
    call(a, "lv.send", 2).trace();
    a.push("GET").push("_self").push("form.php");
    call(a, "lv.send", 3).trace();
    call(a, "lv.send", 0).trace();  // no address: nothing sent
    a.push("<a k=\"1 2\"/>");
    fctest::construct(a, "x", "XML", 1);
    a.push("_top").push("doc.php");
    call(a, "x.send", 2).trace();
    a.push("GET").push("w").push("doc.php");
    call(a, "x.send", 3).trace();
    // The answer to a posted document is parsed into the target.
    fctest::construct(a, "reply", "XML", 0);
    ActionWriter onLoad;
    onLoad.push("reply ").getVar("ok").add2().push(" ").add2();
    onLoad.getVar("this").push("firstChild").getMember().push("nodeName").getMember().add2().trace();
    path(a, "reply").push("onLoad").defineFunction("", {"ok"}, onLoad).setMember();
    a.getVar("reply").push("echo.xml");
    call(a, "x.sendAndLoad", 2).trace();
    fctest::HostedMovie h(a, {{"echo.xml", "<ok/>"}});
    h.player.tick();
    EXPECT_EQ(h.traces, (Lines{"true", "true", "false", "true", "true", "true", "reply true ok"}));
    EXPECT_EQ(h.host.opened,
              (Lines{"form.php _blank POST q=a%20b%2Bc", "form.php?q=a%20b%2Bc _self",
                     "doc.php _top POST <a k=\"1 2\" />", "doc.php?%3Ca%20k%3D%221%202%22%20/%3E w"}));
    EXPECT_EQ(h.host.fetched, (Lines{"echo.xml POST <a k=\"1 2\" />"}));
}

}  // namespace
