// Faults of the player engine found by using it: slow movies under stall
// skipping (with the real frame and poll timers), the end test at its
// boundary and on the last frame, stale modifier flags, and closing the play
// window from full screen.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "options/FunctionUnit.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/CommandMovie.h"

using namespace kv;

namespace {

class PlayerMendsTest : public ::testing::Test {
protected:
    test::AppHarness app;

    void SetUp() override { ASSERT_TRUE(app.start()); }
    std::string writeMovie(const std::string& name, int frames, double rate, int stopAt = -1) {
        swfw::CommandMovieSpec spec;
        spec.frames = frames;
        spec.rate = rate;
        spec.stopAt = stopAt;
        std::string path = app.folder.file(name);
        EXPECT_TRUE(swfw::writeFile(path, swfw::commandMovie(spec)));
        return path;
    }
    void setList(const std::vector<std::string>& files) { app.setList(files); }
    // Runs the message loop for a while, timers included.
    void runFor(DWORD ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) app.pump(1);
    }
};

}  // namespace

TEST_F(PlayerMendsTest, SlowMovieAdvancesWithStallSkippingOn) {
    // Two frames a second, and the movie stops itself on frame 2: the poll
    // timer (every 250 ms) must neither hold it on a frame nor leave it stalled.
    PlayForm->item("pmiAutoControl").click();
    setList({writeMovie("slow.swf", 40, 2, 2)});
    PlayForm->pmiPlayClick();
    ASSERT_EQ(PlayState, 1);
    runFor(4000);
    EXPECT_GE(PlayForm->Flash1.CurrentFrame(), 5);
    EXPECT_EQ(PlayState, 1);
}

TEST(MovieAtEndTest, ExactBoundaryAndLastFrame) {
    struct Case {
        int current, total;
        bool ended;
    };
    const Case cases[] = {
        {57, 60, false},  // exactly 95 %: not beyond it
        {58, 60, true},
        {190, 200, false},
        {191, 200, true},
        {18, 20, false},
        {19, 20, true},  // 0-based: frame 19 is the last of 20
        {0, 1, true},
        {0, 0, true},
        {5, -1, true},
        {2040109465, 2147483647, true},  // products beyond 32 bits
        {2040109464, 2147483647, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MovieAtEnd(c.current, c.total), c.ended) << c.current << "/" << c.total;
}

TEST_F(PlayerMendsTest, MovieStoppedOnItsLastFrameOrBeyondTheBoundaryMovesOn) {
    unsigned now = 100000;
    PlayForm->clockMs = [&now] { return now; };
    PlayForm->item("pmiAutoControl").click();
    struct Case {
        int frames, stopAt;
        bool ended;
    };
    const Case cases[] = {{20, 19, true}, {60, 57, false}, {60, 58, true}, {10, 9, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.stopAt) + " of " + std::to_string(c.frames));
        const std::string a = writeMovie("a.swf", c.frames, 1, c.stopAt);
        const std::string b = writeMovie("b.swf", 5, 1);
        if (PlayState) PlayForm->pmiStopClick();
        setList({a, b});
        PlayForm->pmiPlayClick();
        for (int i = 0; i < c.stopAt + 3; ++i) PlayForm->Flash1.tick();
        ASSERT_EQ(PlayForm->Flash1.CurrentFrame(), c.stopAt);
        now += 1100;
        PlayForm->tmMainTimer();
        now += 1100;
        PlayForm->tmMainTimer();
        EXPECT_EQ(CurrentIndex, c.ended ? 2 : 1);
        EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
    }
}

TEST_F(PlayerMendsTest, FrameThatStandsShorterThanItsFrameTimeIsNoStall) {
    unsigned now = 100000;
    PlayForm->clockMs = [&now] { return now; };
    PlayForm->item("pmiAutoControl").click();
    setList({writeMovie("two.swf", 40, 2, 6)});  // 500 ms a frame
    PlayForm->pmiPlayClick();
    for (int i = 0; i < 8; ++i) PlayForm->Flash1.tick();
    ASSERT_FALSE(PlayForm->Flash1.IsPlaying());
    now += 250;
    PlayForm->tmMainTimer();  // first sight of frame 6
    now += 250;
    PlayForm->tmMainTimer();  // 250 ms: within its frame time
    EXPECT_FALSE(PlayForm->Flash1.IsPlaying());
    now += 300;
    PlayForm->tmMainTimer();  // 550 ms: stalled, set going
    EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
}

TEST_F(PlayerMendsTest, PlainKeyAfterAStaleCtrlFlagRunsNoShortcut) {
    setList({writeMovie("m.swf", 30, 1)});
    PlayForm->pmiPlayClick();
    ASSERT_EQ(PlayState, 1);
    // A dialog's own loop took the Ctrl key-up: the flag stayed set.
    CtrlDown = true;
    for (HWND target : {PlayForm->Flash1.handle(), MainForm->handle()}) {
        PostMessageA(target, WM_KEYDOWN, 'S', 0);
        app.pump(2);
        EXPECT_EQ(PlayState, 1);
        EXPECT_FALSE(CtrlDown);
        CtrlDown = true;
    }
    // With Ctrl really held, Ctrl+S stops.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(PlayForm->Flash1.handle(), WM_KEYDOWN, 'S', 0);
    app.pump(2);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(PlayState, 0);
    CtrlDown = false;
}

TEST_F(PlayerMendsTest, ClosingThePlayWindowInFullScreenEndsTheProgram) {
    setList({writeMovie("m.swf", 30, 1)});
    PlayForm->pmiPlayClick();
    PlayForm->pmiFullScreenClick();
    ASSERT_TRUE(PlayForm->fullScreen());
    SendMessageA(PlayForm->handle(), WM_CLOSE, 0, 0);  // what Alt+F4 sends
    EXPECT_TRUE(Application::instance().terminated());
    EXPECT_FALSE(IsWindowVisible(PlayForm->handle()));
}
