// Buttons through the Flash control window: pointer messages reach the
// engine, the button changes its look, a click runs fscommand and the
// control hands it to OnFSCommand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/ShockwaveFlash.h"
#include "tests/flash/FlashTestMovies.h"
#include "tests/platform/TempFolder.h"
#include "tools/swfwriter/ButtonWriter.h"
#include "ui/Form.h"
#include "ui/Handles.h"

using namespace kv;

namespace {

// A 100 x 100 px stage on white; a button 20..80 px: red up, green over,
// blue down. Release runs fscommand("clicked", "ok").
swfw::Bytes buttonMovie() {
    swfw::Movie m;
    m.stage = {0, 2000, 0, 2000};
    m.setBackground(255, 255, 255);
    m.add(flashtest::rectShape(1, 400, 400, 1600, 1600, {255, 0, 0, 255}));
    m.add(flashtest::rectShape(2, 400, 400, 1600, 1600, {0, 255, 0, 255}));
    m.add(flashtest::rectShape(3, 400, 400, 1600, 1600, {0, 0, 255, 255}));
    auto rec = [](uint8_t states, uint16_t id) {
        swfw::ButtonRecord r;
        r.states = states;
        r.characterId = id;
        return r;
    };
    m.add(swfw::defineButton2(10, {rec(swfw::kUp | swfw::kHit, 1), rec(swfw::kOver, 2), rec(swfw::kDown, 3)},
                              {{0x0008, swfw::ActionWriter().getUrl("FSCommand:clicked", "ok").bytes()}}));
    m.add(swfw::placeObject2(flashtest::placeAt(1, 10, 0, 0)));
    m.showFrame();
    return m.build();
}

class FlashButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.createForm("KvFlashButtonHost", "host", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(flash.create(0, 0, 100, 100));
        std::string path = folder.file("button.swf");
        ASSERT_TRUE(swfw::writeFile(path, buttonMovie()));
        flash.setMovie(path);
        ASSERT_TRUE(flash.loaded());
        flash.OnFSCommand = [this](const std::string& c, const std::string& a) {
            commands.push_back(c + ":" + a);
        };
    }
    void send(UINT msg, int x, int y, WPARAM keys = 0) {
        SendMessageA(flash.handle(), msg, keys, MAKELPARAM(x, y));
    }
    flashtest::Color pixel(int x, int y) {
        UniqueBitmap b(flash.paintToBitmap());
        return flashtest::pixelOf(b.get(), x, y);
    }

    kvtest::TempFolder folder;
    Form host;
    TShockwaveFlash flash{&host};
    std::vector<std::string> commands;
};

TEST_F(FlashButtonTest, ClickOnTheButtonReachesOnFSCommand) {
    send(WM_MOUSEMOVE, 50, 50);
    send(WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
    EXPECT_TRUE(commands.empty());
    send(WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(commands, std::vector<std::string>{"clicked:ok"});
}

TEST_F(FlashButtonTest, ButtonShowsItsStatesAndTheHandAsThePointerMoves) {
    struct Step {
        UINT msg;
        int x, y;
        WPARAM keys;
        int r, g, b;
        bool hand;
    } steps[] = {
        {WM_MOUSEMOVE, 5, 5, 0, 255, 0, 0, false},
        {WM_MOUSEMOVE, 50, 50, 0, 0, 255, 0, true},
        {WM_LBUTTONDOWN, 50, 50, MK_LBUTTON, 0, 0, 255, true},
        {WM_MOUSEMOVE, 95, 95, MK_LBUTTON, 255, 0, 0, false},
        {WM_LBUTTONUP, 95, 95, 0, 255, 0, 0, false},
    };
    for (const Step& s : steps) {
        send(s.msg, s.x, s.y, s.keys);
        EXPECT_TRUE(flashtest::isColor(pixel(50, 50), s.r, s.g, s.b)) << "message " << s.msg << " at " << s.x;
        EXPECT_EQ(flash.wantsHandCursor(), s.hand) << "message " << s.msg << " at " << s.x;
    }
    // Pressed on the button and released outside: no click.
    EXPECT_TRUE(commands.empty());
}

TEST_F(FlashButtonTest, PointerFollowsTheViewWhenTheControlIsLarger) {
    // In a 200 x 200 control the stage doubles: the button spans 40..160 px.
    flash.setBounds(0, 0, 200, 200);
    send(WM_MOUSEMOVE, 60, 60);
    EXPECT_TRUE(flash.wantsHandCursor());
    send(WM_MOUSEMOVE, 30, 30);
    EXPECT_FALSE(flash.wantsHandCursor());
    send(WM_MOUSEMOVE, 150, 150);
    send(WM_LBUTTONDOWN, 150, 150, MK_LBUTTON);
    send(WM_LBUTTONUP, 150, 150);
    EXPECT_EQ(commands, std::vector<std::string>{"clicked:ok"});
}

}  // namespace
