// The keyboard, the pointer's visibility and trace output through the Flash
// control window: posted key messages (translated as a message loop does)
// reach Key listeners with their codes and characters, Mouse.hide hides
// the cursor over the control, and trace lines are kept for the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/ShockwaveFlash.h"
#include "tests/platform/TempFolder.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"
#include "ui/Form.h"

using namespace kv;
using swfw::ActionWriter;

namespace {

// A listener sends fscommand("down", code + "," + ascii) and
// fscommand("up", code); H hides the pointer, S shows it again.
swfw::Bytes keyMovie() {
    auto key = [](ActionWriter& a, const char* method) -> ActionWriter& {
        return a.pushInt(0).getVar("Key").push(method).callMethod();
    };
    ActionWriter down;
    down.push("FSCommand:down");
    key(down, "getCode").push(",").add2();
    key(down, "getAscii").add2().getUrl2();
    key(down, "getCode").pushInt(72).equals2().ifTrue("hide");
    key(down, "getCode").pushInt(83).equals2().ifTrue("show");
    down.jump("end");
    down.label("hide").pushInt(0).getVar("Mouse").push("hide").callMethod().pop().jump("end");
    down.label("show").pushInt(0).getVar("Mouse").push("show").callMethod().pop();
    down.label("end");
    ActionWriter up;
    up.push("FSCommand:up");
    key(up, "getCode").getUrl2();
    ActionWriter a;
    a.push("o").pushInt(0).push("Object").newObject().setVariable();
    a.getVar("o").push("onKeyDown").defineFunction("", {}, down).setMember();
    a.getVar("o").push("onKeyUp").defineFunction("", {}, up).setMember();
    a.getVar("o").pushInt(1).getVar("Key").push("addListener").callMethod().pop();
    a.push("ready").trace();
    swfw::Movie m;
    m.version = 6;
    m.stage = {0, 2000, 0, 2000};
    m.setBackground(255, 255, 255);
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    return m.build();
}

class FlashKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.createForm("KvFlashKeyHost", "host", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(flash.create(0, 0, 100, 100));
        std::string path = folder.file("keys.swf");
        ASSERT_TRUE(swfw::writeFile(path, keyMovie()));
        flash.setMovie(path);
        ASSERT_TRUE(flash.loaded());
        flash.OnFSCommand = [this](const std::string& c, const std::string& a) {
            commands.push_back(c + ":" + a);
        };
    }
    // Posts a key's message and runs the queue as a message loop does.
    void key(UINT vk, bool down) {
        LPARAM lp = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
        if (!down) lp |= 0xC0000000;
        PostMessageA(flash.handle(), down ? WM_KEYDOWN : WM_KEYUP, vk, lp);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    void press(UINT vk) {
        key(vk, true);
        key(vk, false);
    }

    kvtest::TempFolder folder;
    Form host;
    TShockwaveFlash flash{&host};
    std::vector<std::string> commands;
};

TEST_F(FlashKeyTest, KeysReachTheListenersWithTheirCodesAndCharacters) {
    press('A');
    press(VK_LEFT);
    press(VK_SPACE);
    press('7');
    EXPECT_EQ(commands, (std::vector<std::string>{"down:65,97", "up:65", "down:37,0", "up:37", "down:32,32",
                                                  "up:32", "down:55,55", "up:55"}));
}

TEST_F(FlashKeyTest, TheMovieHidesAndShowsThePointerOverTheControl) {
    auto setCursor = [this] {
        return SendMessageA(flash.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(flash.handle()),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    EXPECT_FALSE(flash.pointerHidden());
    press('H');
    EXPECT_TRUE(flash.pointerHidden());
    EXPECT_EQ(setCursor(), TRUE);
    EXPECT_EQ(GetCursor(), nullptr);
    press('S');
    EXPECT_FALSE(flash.pointerHidden());
    setCursor();
    EXPECT_NE(GetCursor(), nullptr);
}

TEST_F(FlashKeyTest, TraceLinesAreKeptForTheHostAndStartAfreshWithEachMovie) {
    EXPECT_EQ(flash.traceLog(), (std::vector<std::string>{"ready"}));
    std::string path = folder.file("again.swf");
    ASSERT_TRUE(swfw::writeFile(path, keyMovie()));
    flash.setMovie(path);
    EXPECT_EQ(flash.traceLog(), (std::vector<std::string>{"ready"}));
    flash.setMovie("1.swf");
    EXPECT_TRUE(flash.traceLog().empty());
    // Without a movie keys go nowhere.
    press('A');
    EXPECT_TRUE(commands.empty());
}

}  // namespace

namespace {

TEST(FlashResizeTest, ResizingTheControlTellsMoviesThatDoNotScale) {
    ActionWriter a;
    a.getVar("Stage").push("scaleMode").push("noScale").setMember();
    a.push("l").pushInt(0).push("Object").newObject().setVariable();
    ActionWriter onResize;
    onResize.push("FSCommand:resized").getVar("Stage").push("width").getMember().push("x").add2();
    onResize.getVar("Stage").push("height").getMember().add2().getUrl2();
    a.getVar("l").push("onResize").defineFunction("", {}, onResize).setMember();
    a.getVar("l").pushInt(1).getVar("Stage").push("addListener").callMethod().pop();
    swfw::Movie m;
    m.stage = {0, 2000, 0, 2000};
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    kvtest::TempFolder folder;
    Form host;
    ASSERT_TRUE(host.createForm("KvFlashResizeHost", "host", 0, 0, 400, 400, WS_POPUP | WS_VISIBLE));
    TShockwaveFlash flash{&host};
    ASSERT_TRUE(flash.create(0, 0, 100, 100));
    std::string path = folder.file("resize.swf");
    ASSERT_TRUE(swfw::writeFile(path, m.build()));
    flash.setMovie(path);
    std::vector<std::string> commands;
    flash.OnFSCommand = [&](const std::string& c, const std::string& args) {
        commands.push_back(c + ":" + args);
    };
    MoveWindow(flash.handle(), 0, 0, 250, 150, TRUE);
    EXPECT_EQ(commands, (std::vector<std::string>{"resized:250x150"}));
}

}  // namespace
