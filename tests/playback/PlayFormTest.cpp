// The player engine with the real Flash control and generated movies: the
// play command's states, stalls and ends, the message hook, next and previous,
// seeking, projectors, the play area rule, full screen and dropped files.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>

#include "app/MainForm.h"
#include "flashfile/Projector.h"
#include "options/FunctionUnit.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/HeaderVariants.h"
#include "tools/swfwriter/ShapeWriter.h"

using namespace kv;

namespace {

// A movie of `frames` frames at one frame a second (so the control's own
// timer stays out of the way); a stop action runs on frame `stopAt` (0-based).
swfw::Bytes movie(int frames, int stopAt = -1) {
    swfw::Movie m;
    m.frameRate = 1.0;
    m.setBackground(20, 40, 60);
    for (int f = 0; f < frames; ++f) {
        if (f == stopAt) m.add(swfw::doAction(swfw::ActionWriter().stop().bytes()));
        m.showFrame();
    }
    return m.build();
}

class PlayFormTest : public ::testing::Test {
protected:
    test::AppHarness app;
    int openFilesCalls = 0;
    unsigned now = 100000;

    void SetUp() override {
        ASSERT_TRUE(app.start("[Option]\r\nListLatestFilesNum=5\r\n"));
        Seams.openFiles = [this] { ++openFilesCalls; };
        PlayForm->clockMs = [this] { return now; };
    }
    // A poll of the timer a little more than one frame time (the movies'
    // one second) after the last.
    void timerTick() {
        now += 1100;
        PlayForm->tmMainTimer();
    }
    std::string writeMovie(const std::string& name, int frames, int stopAt = -1) {
        std::string path = app.folder.file(name);
        EXPECT_TRUE(swfw::writeFile(path, movie(frames, stopAt)));
        return path;
    }
    void setList(const std::vector<std::string>& files) { app.setList(files); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) PlayForm->Flash1.tick();
    }
    MenuItem& mainItem(const char* name) { return MainForm->item(name); }
};

}  // namespace

TEST_F(PlayFormTest, PlayCommandMovesThroughItsThreeStates) {
    // An empty list asks for files.
    PlayForm->pmiPlayClick();
    EXPECT_EQ(openFilesCalls, 1);
    EXPECT_EQ(PlayState, 0);

    // A missing file is refused silently but becomes the current entry.
    setList({app.folder.file("gone.swf")});
    PlayForm->pmiPlayClick();
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(CurrentFile, app.folder.file("gone.swf"));
    EXPECT_TRUE(app.ui.messages.empty());

    setList({writeMovie("sea.swf", 30)});
    PlayForm->pmiPlayClick();
    ASSERT_EQ(PlayState, 1);
    EXPECT_EQ(MainForm->caption(), "TesvanorFlash播放器 - sea");
    EXPECT_EQ(mainItem("mmiPlay").caption(), "暂停           Ctrl+P");
    EXPECT_EQ(PlayForm->item("pmiPlay").caption(), "暂停");
    EXPECT_EQ(MainForm->bar.imgPlay.hint, "暂停");
    EXPECT_EQ(MainForm->bar.lblCaption.text(), "sea");
    EXPECT_EQ(PlayListForm->lvFlashInfo.rowCount(), 5);
    EXPECT_EQ(PlayListForm->lvFlashInfo.cell(1, 1), "30 帧");
    EXPECT_EQ(PlayListForm->lvFlashInfo.cell(4, 1), "550×400");
    EXPECT_EQ(MovieTotalFrames, 30);
    EXPECT_TRUE(PlayForm->tmMain.enabled());
    EXPECT_EQ(PlayForm->tmMain.interval(), 250u);
    EXPECT_EQ(app.sys.screenSaverCalls.back(), false);
    EXPECT_EQ(RecentFiles.front(), CurrentFile);

    ticks(3);
    PlayForm->pmiPlayClick();
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(MainForm->caption(), "TesvanorFlash播放器 - sea[暂停]");
    EXPECT_EQ(mainItem("mmiPlay").caption(), "播放           Ctrl+P");
    EXPECT_EQ(MainForm->bar.lblCaption.text(), "sea[暂停]");
    EXPECT_EQ(PlayForm->tmMain.interval(), 1000u);
    EXPECT_EQ(MovieCurrentFrame, 3);
    EXPECT_FALSE(PlayForm->Flash1.IsPlaying());
    // The status picture blinks while paused.
    bool shown = MainForm->bar.imgPlayStatus.visible();
    timerTick();
    EXPECT_NE(MainForm->bar.imgPlayStatus.visible(), shown);

    PlayForm->pmiPlayClick();
    EXPECT_EQ(PlayState, 1);
    EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
    EXPECT_EQ(MainForm->caption(), "TesvanorFlash播放器 - sea");

    PlayForm->pmiStopClick();
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(MainForm->caption(), "TesvanorFlash播放器");
    EXPECT_EQ(MainForm->bar.lblCaption.text(), "已停止");
    EXPECT_EQ(MainForm->bar.lblTime.text(), "");
    EXPECT_EQ(PlayListForm->lvFlashInfo.rowCount(), 0);
    EXPECT_FALSE(PlayForm->tmMain.enabled());
    EXPECT_EQ(app.sys.screenSaverCalls.back(), true);
    EXPECT_FALSE(PlayForm->Flash1.loaded());
}

TEST_F(PlayFormTest, StalledMovieIsSetGoingAndAnEndMovesOn) {
    PlayForm->item("pmiAutoControl").click();
    ASSERT_TRUE(mainItem("mmiAutoControl").checked());
    std::string stalls = writeMovie("stalls.swf", 200, 40);
    std::string ends = writeMovie("ends.swf", 200, 191);
    setList({stalls, ends});
    PlayForm->pmiPlayClick();
    ticks(45);
    ASSERT_EQ(PlayForm->Flash1.CurrentFrame(), 40);
    ASSERT_FALSE(PlayForm->Flash1.IsPlaying());
    timerTick();  // sees frame 40
    timerTick();  // still 40: a stall, set going again
    EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
    ticks(1);
    EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 41);
    EXPECT_EQ(CurrentIndex, 1);

    // The second movie halts at 191 of 200: that counts as its end.
    PlayForm->pmiNextClick();
    ASSERT_EQ(CurrentFile, ends);
    ticks(195);
    timerTick();
    timerTick();
    // Without list looping the last entry plays again.
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(CurrentIndex, 2);
    EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 0);
}

TEST_F(PlayFormTest, EndRuleLoopsTheFileOrDrawsAtRandom) {
    PlayForm->item("pmiAutoControl").click();
    std::string a = writeMovie("a.swf", 20, 19), b = writeMovie("b.swf", 20, 19),
                c = writeMovie("c.swf", 20, 19);
    setList({a, b, c});
    mainItem("mmiCircleCurrentFile").setChecked(true);
    PlayForm->pmiPlayClick();
    ticks(25);
    timerTick();
    timerTick();
    EXPECT_EQ(CurrentFile, a);
    EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 0);
    EXPECT_EQ(PlayState, 1);

    mainItem("mmiCircleCurrentFile").setChecked(false);
    mainItem("mmiRandomPlay").setChecked(true);
    app.sys.randoms = {1};  // drawn 1 of 0..2, then the next-file command adds one
    ticks(25);
    timerTick();
    timerTick();
    EXPECT_EQ(CurrentFile, b);
    EXPECT_EQ(CurrentIndex, 2);
}

TEST_F(PlayFormTest, MovieThatStopsItselfPausesThroughTheHook) {
    setList({writeMovie("halt.swf", 20, 5)});
    PlayForm->pmiPlayClick();
    ticks(8);
    ASSERT_FALSE(PlayForm->Flash1.IsPlaying());
    PostMessageA(MainForm->handle(), WM_NULL, 0, 0);
    app.pump(1);
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(CurrentIndex, 1);  // nothing advanced

    // A ten-frame step from the pause plays again, and the hook resumes.
    PlayForm->pmiForwardClick();
    EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
    PostMessageA(MainForm->handle(), WM_NULL, 0, 0);
    app.pump(1);
    EXPECT_EQ(PlayState, 1);
}

TEST_F(PlayFormTest, NextAndPreviousAtBothEnds) {
    std::string a = writeMovie("a.swf", 5), b = writeMovie("b.swf", 5), c = writeMovie("c.swf", 5);
    setList({a, b, c});
    struct Case {
        bool loop;
        int from;
        bool next;
        int to;
    };
    const Case cases[] = {{false, 3, true, 3}, {true, 3, true, 1},  {false, 1, false, 1},
                          {true, 1, false, 3}, {false, 2, true, 3}, {true, 2, false, 1}};
    for (const Case& k : cases) {
        mainItem("mmiCirclePlay").setChecked(k.loop);
        mainItem("mmiCircleCurrentFile").setChecked(true);
        CurrentIndex = k.from;
        if (k.next)
            PlayForm->pmiNextClick();
        else
            PlayForm->pmiFrontClick();
        EXPECT_EQ(CurrentIndex, k.to) << k.loop << " " << k.from << " " << k.next;
        EXPECT_EQ(PlayState, 1);
        EXPECT_FALSE(mainItem("mmiCircleCurrentFile").checked());
    }
    // With an empty list next asks for files.
    PlayForm->pmiStopClick();
    setList({});
    PlayForm->pmiNextClick();
    EXPECT_EQ(openFilesCalls, 1);
}

TEST_F(PlayFormTest, SeekingWhilePlayingReloadsAndRecordsTheFileAgain) {
    std::string path = writeMovie("long.swf", 100);
    setList({path});
    PlayForm->pmiPlayClick();
    ASSERT_EQ(RecentFiles.size(), 1u);
    PlayForm->MoveToPosition(20);
    EXPECT_EQ(RecentFiles, (std::vector<std::string>{path, path}));
    EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 20);
    EXPECT_TRUE(PlayForm->Flash1.IsPlaying());
    EXPECT_EQ(MovieCurrentFrame, 20);
    // While paused the movie moves without a reload.
    PlayForm->pmiPlayClick();
    PlayForm->MoveToPosition(60);
    EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 60);
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(RecentFiles.size(), 2u);
    // The counter shows the frame and the total.
    MovieCurrentFrame = 50;
    MovieTotalFrames = 200;
    PlayForm->ShowPlayProgress();
    EXPECT_EQ(MainForm->bar.lblTime.text(), "50 / 200   ");
}

TEST_F(PlayFormTest, ProjectorPlaysThroughItsUnpackedCopy) {
    std::string swf = writeMovie("inner.swf", 12);
    std::string stub = app.folder.file("stub.exe");
    ASSERT_TRUE(swfw::writeFile(stub, swfw::fakeStub(3000)));
    std::string exe = app.folder.file("game.exe");
    SwfToExe(swf, exe, stub);
    PlayForm->playAFile(exe);
    ASSERT_EQ(PlayState, 1);
    EXPECT_EQ(PlayForm->Flash1.movie(), app.folder.file("Korvamelden.swf"));
    EXPECT_TRUE(app.folder.exists("Korvamelden.swf"));
    EXPECT_EQ(MovieTotalFrames, 12);
    EXPECT_EQ(RecentFiles.front(), exe);
    EXPECT_EQ(PlayListTitles, std::vector<std::string>{"game"});
    EXPECT_EQ(MainForm->lblPlayListName.text(), "正在播放");
    // A program without a movie is refused.
    PlayForm->playAFile(stub);
    EXPECT_EQ(PlayState, 0);
}

TEST_F(PlayFormTest, PlayAreaRuleCentresTheStage) {
    setList({writeMovie("m.swf", 3)});
    PlayForm->pmiPlayClick();
    PlayForm->pnlMain.setAlign(Align::None);
    PlayForm->pnlMain.setBounds(0, 0, 400, 300);
    PlayForm->AdjustSizeOfPlayArea(550, 400);
    EXPECT_EQ(PlayForm->pnlFlash.left(), 0);
    EXPECT_EQ(PlayForm->pnlFlash.top(), 5);
    EXPECT_EQ(PlayForm->pnlFlash.width(), 400);
    EXPECT_EQ(PlayForm->pnlFlash.height(), 290);
    PlayForm->AdjustSizeOfPlayArea(300, 400);
    EXPECT_EQ(PlayForm->pnlFlash.left(), 87);
    EXPECT_EQ(PlayForm->pnlFlash.top(), 0);
    EXPECT_EQ(PlayForm->pnlFlash.width(), 225);
    EXPECT_EQ(PlayForm->pnlFlash.height(), 300);
    PlayForm->AdjustSizeOfPlayArea(0, 400);
    EXPECT_EQ(PlayForm->pnlFlash.align(), Align::Client);
}

// Stage sizes from malformed headers: products of panel and stage sides
// exceed 32 bits, yet the play area stays inside the panel and keeps the
// stage's aspect as far as whole pixels allow.
TEST_F(PlayFormTest, PlayAreaRuleSurvivesHugeStages) {
    setList({writeMovie("m.swf", 3)});
    PlayForm->pmiPlayClick();
    PlayForm->pnlMain.setAlign(Align::None);
    PlayForm->pnlMain.setBounds(0, 0, 400, 300);
    struct Case {
        int width, height;
        int left, top, w, h;
    } cases[] = {
        {53687091, 2, 0, 150, 400, 0},           // 100 million pixels, flat
        {2, 53687091, 200, 0, 0, 300},           // and tall
        {20000000, 15000000, 0, 0, 400, 300},    // same aspect as the panel
        {30000000, 15000000, 0, 50, 400, 200},   // 2:1
        {15000000, 30000000, 125, 0, 150, 300},  // 1:2
        {2147483647, 2147483647, 50, 0, 300, 300},
        {2147483647, 1, 0, 150, 400, 0},
    };
    for (const Case& c : cases) {
        PlayForm->AdjustSizeOfPlayArea(c.width, c.height);
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        EXPECT_EQ(PlayForm->pnlFlash.left(), c.left);
        EXPECT_EQ(PlayForm->pnlFlash.top(), c.top);
        EXPECT_EQ(PlayForm->pnlFlash.width(), c.w);
        EXPECT_EQ(PlayForm->pnlFlash.height(), c.h);
    }
}

// A header declaring a 100-million-pixel stage reaches the rule when the
// movie starts playing with the outer picture shielded.
TEST_F(PlayFormTest, HugeStageFromTheHeaderFitsThePanel) {
    swfw::HeaderSpec spec;
    spec.stage = {0, 53687091 * 20, 0, 2 * 20};
    spec.frameCount = 3;
    std::string path = app.folder.file("huge.swf");
    ASSERT_TRUE(swfw::writeFile(path, swfw::headerMovie(spec)));
    PlayForm->item("pmiShieldOuterPictureOfScene").setChecked(true);
    setList({path});
    PlayForm->pnlMain.setAlign(Align::None);
    PlayForm->pnlMain.setBounds(0, 0, 400, 300);
    PlayForm->pmiPlayClick();
    ASSERT_NE(PlayState, 0);
    EXPECT_EQ(MovieWidth, 53687091);
    EXPECT_EQ(PlayForm->pnlFlash.left(), 0);
    EXPECT_EQ(PlayForm->pnlFlash.width(), 400);
    EXPECT_GE(PlayForm->pnlFlash.top(), 0);
    EXPECT_LE(PlayForm->pnlFlash.top() + PlayForm->pnlFlash.height(), 300);
}

TEST_F(PlayFormTest, FullScreenOnlyWhileAMovieIsLoaded) {
    PlayForm->pmiFullScreenClick();
    EXPECT_FALSE(PlayForm->fullScreen());
    setList({writeMovie("m.swf", 3)});
    PlayForm->pmiPlayClick();
    PlayForm->pmiFullScreenClick();
    EXPECT_TRUE(PlayForm->fullScreen());
    // A top-level window, still owned by the main window (no taskbar button of its own).
    EXPECT_EQ(GetAncestor(PlayForm->handle(), GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindow(PlayForm->handle(), GW_OWNER), MainForm->handle());
    // Stopping leaves full screen (the option is on by default).
    PlayForm->pmiStopClick();
    EXPECT_FALSE(PlayForm->fullScreen());
    EXPECT_EQ(GetParent(PlayForm->handle()), MainForm->pnlPlayArea.handle());
}

namespace {
HDROP makeDrop(const std::vector<std::string>& files) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const auto& f : files) {
        std::memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    GlobalUnlock(h);
    return static_cast<HDROP>(h);
}
}  // namespace

TEST_F(PlayFormTest, DroppedFilesPlayOnlyTheFirstMovie) {
    std::string a = writeMovie("a.swf", 3), b = writeMovie("b.swf", 3);
    app.folder.write("notes.txt", "x");
    PlayForm->WMDropFiles(makeDrop({app.folder.file("notes.txt"), a}));
    EXPECT_EQ(PlayState, 0);
    PlayForm->WMDropFiles(makeDrop({b, a}));
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(PlayListFiles, std::vector<std::string>{b});
}
