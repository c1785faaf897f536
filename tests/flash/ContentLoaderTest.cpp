// The control's content host with a real engine: files beside the movie,
// file: addresses and GBK names, downloads by GET and POST from a server on
// this machine, failures, pages for a browser window and SharedObject
// stores on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flash/ContentLoader.h"
#include "flash/ShockwaveFlash.h"
#include "tests/flashcore/ScriptHost.h"
#include "tests/platform/TempFolder.h"
#include "tests/playback/LocalHttpServer.h"
#include "ui/Form.h"

using fctest::call;
using fctest::path;
using swfw::ActionWriter;

namespace {

using Lines = std::vector<std::string>;

// An engine whose loads go through a ContentLoader.
struct Rig {
    flash::Player player;
    kv::ContentLoader loader{player.engine()};
    std::vector<std::string> traces;

    Rig(const std::string& moviePath, const std::string& sharedFolder, const ActionWriter& script,
        int version = 7) {
        player.engine().host = &loader;
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        loader.setMoviePath(moviePath);
        loader.setSharedFolder(sharedFolder);
        swfw::Movie m = fctest::stage100();
        m.version = static_cast<uint8_t>(version);
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        m.add(swfw::doAction(ActionWriter().stop().bytes()));
        m.showFrame();
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
    // Ticks, handing finished downloads over, until `count` lines were
    // traced or 15 seconds passed.
    void waitFor(size_t count) {
        for (DWORD start = GetTickCount(); traces.size() < count && GetTickCount() - start < 15000;
             Sleep(5)) {
            loader.deliver();
            player.tick();
        }
    }
};

// tag = new LoadVars(); tag.onData = function (src) { trace("tag:" + src) };
// then the load the caller writes.
void answerTracing(ActionWriter& a, const std::string& tag) {
    fctest::construct(a, tag, "LoadVars", 0);
    ActionWriter f;
    f.push(tag + ":").getVar("src").add2().trace();
    path(a, tag).push("onData").defineFunction("", {"src"}, f).setMember();
}

void load(ActionWriter& a, const std::string& tag, const std::string& url) {
    answerTracing(a, tag);
    a.push(url);
    call(a, tag + ".load", 1).pop();
}

// A port of this machine that nobody listens on.
int closedPort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    return ntohs(a.sin_port);
}

TEST(ContentLoader, ReadsFilesBesideTheMovieAndDownloadsByGetAndPost) {
    kvtest::TempFolder folder;
    // A folder whose GBK name has a trail byte that reads as '\'.
    std::string dir = folder.file(
        "\xD5\x5C"
        "dir");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    kvtest::WriteFileBytes(dir + "\\vars.txt", "a=1");
    kvtest::WriteFileBytes(dir + "\\\xCA\xFD\xBE\xDD.txt", "name=gbk");  // 数据.txt
    std::string fileUrl = "file:///" + dir + "\\vars.txt";
    for (char& c : fileUrl)
        if (c == '\\') c = '/';

    kv::test::LocalHttpServer server;
    std::string posted, query;
    server.route("/form.php", [&](kv::test::LocalHttpServer& srv, SOCKET s) {
        posted = srv.body(s);
        std::string answer = "echo=" + posted;
        srv.sendText(s, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(answer.size()) +
                            "\r\nConnection: close\r\n\r\n" + answer);
    });
    server.route("/get.php?n=1%2B1&q=%E6%9D%8E", [&](kv::test::LocalHttpServer& srv, SOCKET s) {
        query = srv.head(s);
        srv.sendText(s, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\ngot=");
    });
    server.route("/gone",
                 [](kv::test::LocalHttpServer& srv, SOCKET s) { srv.sendHead(s, "404 Not Found", 0); });
    ASSERT_TRUE(server.start());

    ActionWriter a;
    load(a, "rel", "vars.txt");
    load(a, "file", fileUrl);
    load(a, "gbk", "\xE6\x95\xB0\xE6\x8D\xAE.txt");  // the movie's UTF-8 text
    load(a, "missing", "nothing.txt");
    load(a, "notFound", server.url("/gone"));
    load(a, "down", "http://127.0.0.1:" + std::to_string(closedPort()) + "/x");
    // POST and GET of a LoadVars' members, answers loaded into another.
    fctest::construct(a, "form", "LoadVars", 0);
    path(a, "form").push("q").push("\xE6\x9D\x8E").setMember();
    path(a, "form").push("n").push("1+1").setMember();
    answerTracing(a, "post");
    a.getVar("post").push(server.url("/form.php"));
    call(a, "form.sendAndLoad", 2).pop();
    answerTracing(a, "get");
    a.push("GET").getVar("get").push(server.url("/get.php"));
    call(a, "form.sendAndLoad", 3).pop();
    Rig rig(dir + "\\movie.swf", "", a);
    rig.waitFor(8);
    std::sort(rig.traces.begin(), rig.traces.end());
    EXPECT_EQ(rig.traces,
              (Lines{"down:undefined", "file:a=1", "gbk:name=gbk", "get:got=", "missing:undefined",
                     "notFound:undefined", "post:echo=n=1%2B1&q=%E6%9D%8E", "rel:a=1"}));
    EXPECT_EQ(posted, "n=1%2B1&q=%E6%9D%8E");
    EXPECT_EQ(query.rfind("GET /get.php?n=1%2B1&q=%E6%9D%8E ", 0), 0u) << query;
}

TEST(ContentLoader, SharedObjectStoresAreWrittenReadAndSurviveDamage) {
    kvtest::TempFolder folder;
    std::string shared = folder.file("SharedObjects\\");
    std::string movie = folder.file("game.swf");
    ActionWriter write;
    write.push("best");
    call(write, "SharedObject.getLocal", 1);
    write.push("so").op(0x4D).setVariable();
    path(write, "so.data").push("score").pushInt(42).setMember();
    call(write, "so.flush", 0).trace();
    Rig first(movie, shared, write);
    EXPECT_EQ(first.traces, (Lines{"true"}));
    std::string store = shared + "game.swf#best.sol.txt";
    ASSERT_TRUE(kvtest::FileExists(store));
    EXPECT_FALSE(kvtest::FileExists(store + ".new"));

    ActionWriter read;
    read.push("best");
    call(read, "SharedObject.getLocal", 1).push("data").getMember().push("score").getMember().trace();
    Rig second(movie, shared, read);
    EXPECT_EQ(second.traces, (Lines{"42"}));

    // A damaged store reads as empty data; the next flush writes it anew.
    kvtest::WriteFileBytes(store, std::string("\x01\xFFo9;s", 6));
    Rig third(movie, shared, read);
    EXPECT_EQ(third.traces, (Lines{"undefined"}));
    Rig fourth(movie, shared, write);
    Rig fifth(movie, shared, read);
    EXPECT_EQ(fifth.traces, (Lines{"42"}));
}

TEST(ContentLoader, PagesForABrowserWindowReachTheControlsHandler) {
    kvtest::TempFolder folder;
    kv::Form host;
    ASSERT_TRUE(host.createForm("KvLoaderTestHost", "host", 0, 0, 200, 200, WS_POPUP));
    kv::TShockwaveFlash flash{&host};
    ASSERT_TRUE(flash.create(0, 0, 100, 100));
    Lines got;
    flash.OnGetURL = [&](const std::string& url, const std::string& window, const std::string& post) {
        got.push_back(url + " " + window + (post.empty() ? "" : " POST " + post));
    };
    ActionWriter a;
    a.push("v").push("1 2").setVariable();
    a.push("http://example.invalid/p").push("_blank").getUrl2(0x02);  // getURL(.., "POST")
    a.push("help.html").push("_self").getUrl2(0);
    a.push("mailto:a@b.c").push("").getUrl2(0x01);
    for (int i = 0; i < 10; ++i) a.push("http://example.invalid/again").push("_blank").getUrl2(0);
    swfw::Movie m = fctest::stage100();
    m.version = 7;
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    std::string path = folder.file("m.swf");
    swfw::writeFile(path, m.build());
    flash.setMovie(path);
    // A script opening pages in a loop opens only a few of them.
    EXPECT_EQ(got, (Lines{"http://example.invalid/p _blank POST v=1%202", folder.file("help.html") + " _self",
                          "mailto:a@b.c?v=1%202 ", "http://example.invalid/again _blank"}));
}

}  // namespace
