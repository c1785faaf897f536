// The transport bar and the main window's keys, run on the real main window
// in a temporary program folder with a play window that records commands.
#include <gtest/gtest.h>

#include <memory>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "app/Seams.h"
#include "app/Skin.h"
#include "app/TransportBar.h"
#include "playback/PlayForm.h"
#include "tests/app/ProgramFolder.h"
#include "tests/support/FakeSystemServices.h"
#include "tests/support/FakeUiServices.h"
#include "ui/Application.h"

using namespace kv;

namespace {

class CommandSpy : public TPlayForm {
public:
    std::vector<std::string> calls;
    void pmiPlayClick() override { calls.push_back("play"); }
    void pmiStopClick() override { calls.push_back("stop"); }
    void pmiFrontClick() override { calls.push_back("front"); }
    void pmiNextClick() override { calls.push_back("next"); }
    void pmiBackClick() override { calls.push_back("back"); }
    void pmiForwardClick() override { calls.push_back("forward"); }
    void MoveToPosition(int f) override { calls.push_back("move " + std::to_string(f)); }
};

MouseEvent at(int x, MouseButton b = MouseButton::Left) { return MouseEvent{b, x, 1, 0}; }
HBITMAP pic(const char* name) { return Skin::instance().picture(name); }

class TransportBarTest : public ::testing::Test {
protected:
    test::ProgramFolder folder;
    test::FakeUiServices ui;
    test::FakeSystemServices sys;
    CommandSpy* spy = nullptr;
    TransportBar* bar = nullptr;

    void start(const std::string& ini = "") {
        ProgramPathOverride = folder.path();
        folder.write("Korvamelden.ini", ini);
        auto s = std::make_unique<CommandSpy>();
        spy = s.get();
        ASSERT_TRUE(CreateForms(std::move(s)));
        for (int i = 0; i < 5; ++i) Application::instance().processMessages();
        spy->calls.clear();
        bar = &MainForm->bar;
        bar->pnlTrack.setWidth(320);  // a thumb range of 300 pixels
    }
    // A movie at frame 50 of 200, playing.
    void playing(int state = 1) {
        PlayState = state;
        CurrentTitle = "sea";
        CurrentFile = "C:\\sea.swf";
        MovieCurrentFrame = 50;
        MovieTotalFrames = 200;
        bar->UpdatePlayProgress(50, 200);
        MainForm->ShowCaptionInlblCaption();
    }
    void TearDown() override {
        DestroyForms();
        ProgramPathOverride.clear();
        PlayState = MovieCurrentFrame = MovieTotalFrames = 0;
        CurrentTitle.clear();
        CurrentFile.clear();
        Seams.showFlashFileProperty = nullptr;
        TrackDragging = CtrlDown = AltDown = ShiftDown = false;
        Application::instance().resetTerminated();
    }
    std::string caption() const { return bar->lblCaption.text(); }
};

}  // namespace

TEST_F(TransportBarTest, StorePicturesHaveTheirSizes) {
    const struct {
        const char* name;
        int w, h;
    } sizes[] = {
        {"imgPlayEnter", 28, 28},       {"imgPlayDown", 28, 29},        {"imgPause", 28, 29},
        {"imgPauseEnter", 28, 29},      {"imgPauseDown", 28, 29},       {"imgStopEnter", 20, 22},
        {"imgStopDown", 20, 22},        {"imgFrontEnter", 20, 20},      {"imgFrontDown", 20, 21},
        {"imgNextEnter", 20, 21},       {"imgNextDown", 20, 21},        {"imgBackEnter", 24, 10},
        {"imgBackDown", 24, 10},        {"imgForwardEnter", 24, 10},    {"imgForwardDown", 24, 10},
        {"imgNoneVolume", 20, 21},      {"imgTrackBarBase", 20, 10},    {"imgTrackBarEnter", 20, 10},
        {"imgTrackBarDown", 20, 10},    {"imgVolumeBarBase", 12, 13},   {"imgVolumeBarEnter", 12, 13},
        {"imgVolumeBarDown", 12, 13},   {"imgPlayStatus_Play", 32, 15}, {"imgPlayStatus_Pause", 32, 15},
        {"imgPlayStatus_Stop", 32, 15}, {"imgTaskButtonEnter", 64, 40}, {"imgTaskButtonDown", 64, 40},
        {"imgDropDownEnter", 18, 19},   {"imgbtnCloseBase", 16, 16},    {"imgbtnCloseEnter", 16, 16},
        {"imgbtnOKBase", 16, 16},       {"imgbtnOKEnter", 16, 16}};
    for (const auto& s : sizes) {
        BITMAP bm{};
        ASSERT_TRUE(GetObject(pic(s.name), sizeof bm, &bm)) << s.name;
        EXPECT_EQ(bm.bmWidth * 100 + bm.bmHeight, s.w * 100 + s.h) << s.name;
    }
    EXPECT_EQ(pic("imgNone"), nullptr);
}

TEST_F(TransportBarTest, ThumbAndPlayedPartFollowTheFrame) {
    start();
    const struct {
        int current, total, trackWidth, left;
    } cases[] = {{50, 200, 320, 75},   {50, 200, 300, 70},   {2, 3, 300, 186}, {0, 200, 320, 0},
                 {200, 200, 320, 300}, {260, 200, 320, 300}, {7, 0, 320, 300}};  // no frames: stays
    for (const auto& c : cases) {
        bar->pnlTrack.setWidth(c.trackWidth);
        bar->UpdatePlayProgress(c.current, c.total);
        EXPECT_EQ(bar->imgTrackBar.left(), c.left) << c.current << "/" << c.total;
        EXPECT_EQ(bar->imgPlayProgress.width(), c.left) << c.current << "/" << c.total;
    }
}

TEST_F(TransportBarTest, DraggingTheThumbNamesTheFrameStopsAtEitherEndAndSeeks) {
    start();
    playing();
    MyImage& thumb = bar->imgTrackBar;
    thumb.mouseDown(at(5));
    EXPECT_TRUE(TrackDragging);
    EXPECT_EQ(thumb.picture(), pic("imgTrackBarDown"));
    EXPECT_EQ(caption(), "定位到： 50 帧 / 200 帧 (25%)");
    thumb.mouseMove(at(5 + 75));
    EXPECT_EQ(bar->imgPlayProgress.width(), 150);
    EXPECT_EQ(caption(), "定位到： 100 帧 / 200 帧 (50%)");
    thumb.mouseMove(at(5 + 1000));
    EXPECT_EQ(thumb.left(), 300);
    EXPECT_EQ(caption(), "定位到： 200 帧 / 200 帧 (100%)");
    thumb.mouseLeave();  // the captured pointer strays off the thumb
    thumb.mouseEnter();
    EXPECT_EQ(thumb.picture(), pic("imgTrackBarDown"));
    EXPECT_EQ(caption(), "定位到： 200 帧 / 200 帧 (100%)");
    thumb.mouseUp(at(5));
    EXPECT_FALSE(TrackDragging);
    EXPECT_EQ(thumb.picture(), pic("imgTrackBarBase"));
    EXPECT_EQ(caption(), "sea");
    thumb.mouseDown(at(5));
    thumb.mouseMove(at(5 - 1000));
    EXPECT_EQ(thumb.left(), 0);
    thumb.mouseUp(at(5));
    EXPECT_EQ(spy->calls, (std::vector<std::string>{"move 200", "move 0"}));
}

TEST_F(TransportBarTest, StoppedThumbDoesNotMoveAndSeeksToTheStart) {
    start();
    bar->imgTrackBar.mouseDown(at(5));
    bar->imgTrackBar.mouseMove(at(100));
    EXPECT_EQ(bar->imgTrackBar.left(), 0);
    EXPECT_EQ(caption(), "准备就绪");  // no frames: no seek caption
    bar->imgTrackBar.mouseUp(at(100));
    EXPECT_EQ(spy->calls, std::vector<std::string>{"move 0"});
}

TEST_F(TransportBarTest, TrackClickCentresTheThumbAndStaysInsideTheMovie) {
    start();
    playing();
    const struct {
        MyImage* control;
        int x, left;
        const char* seek;
    } cases[] = {{&bar->imgTrackScroll, 160, 150, "move 100"},
                 {&bar->imgPlayProgress, 3, 0, "move 0"},
                 {&bar->imgTrackScroll, 318, 300, "move 200"}};
    for (const auto& c : cases) {
        spy->calls.clear();
        c.control->mouseDown(at(c.x));
        EXPECT_TRUE(TrackDragging);
        EXPECT_EQ(bar->imgTrackBar.left(), c.left) << c.x;
        c.control->mouseUp(at(c.x));
        EXPECT_FALSE(TrackDragging);
        EXPECT_EQ(spy->calls, std::vector<std::string>{c.seek}) << c.x;
    }
    // Playing stopped between press and release: the player gets the thumb back.
    bar->imgTrackScroll.mouseDown(at(100));
    PlayState = 0;
    bar->imgTrackScroll.mouseUp(at(100));
    EXPECT_FALSE(TrackDragging);
    PlayState = 1;
    spy->calls.clear();
    bar->imgTrackScroll.mouseDown(at(200, MouseButton::Right));
    bar->imgTrackScroll.mouseUp(at(200, MouseButton::Right));
    EXPECT_EQ(bar->imgTrackBar.left(), 90);  // where the press before left it
    EXPECT_TRUE(spy->calls.empty());
}

TEST_F(TransportBarTest, VolumeThumbSetsStepPercentAndWaveVolume) {
    start("[PlayOption]\r\nVolumeNum=0\r\n");
    const struct {
        int drag, step, left;
        const char* text;
    } cases[] = {{0, 0, 172, "音量：0%"},
                 {30, 6, 202, "音量：50%"},
                 {60, 13, 232, "音量：100%"},
                 {200, 13, 232, "音量：100%"},
                 {-200, 0, 172, "音量：0%"}};
    for (const auto& c : cases) {
        bar->placeVolumeThumb(0);
        bar->imgVolumeBar.mouseDown(at(6));
        EXPECT_EQ(caption(), "音量：0%");
        bar->imgVolumeBar.mouseMove(at(6 + c.drag));
        EXPECT_EQ(Options.VolumeNum, c.step) << c.drag;
        EXPECT_EQ(caption(), c.text);
        EXPECT_EQ(bar->imgVolumeBar.left(), c.left);
        EXPECT_EQ(bar->imgVolumeTrack.width(), c.left - 172);
        EXPECT_EQ(sys.volumes.back(), c.step * 5000u * 65537u);
        bar->imgVolumeBar.mouseLeave();  // still dragging: the caption stays
        EXPECT_EQ(caption(), c.text);
        bar->imgVolumeBar.mouseUp(at(6));
        EXPECT_EQ(caption(), "准备就绪");
    }
}

TEST_F(TransportBarTest, MuteTogglesOnPressAndThumbPressUnmutesAtTheStoredStep) {
    start("[PlayOption]\r\nVolumeNum=8\r\n");
    MyImage& mute = bar->imgVolume;
    mute.mouseDown(at(1, MouseButton::Right));
    EXPECT_EQ(mute.tag, 1);
    mute.mouseDown(at(1));
    mute.mouseUp(at(1));
    EXPECT_EQ(mute.tag, 0);
    EXPECT_EQ(mute.picture(), pic("imgNoneVolume"));
    EXPECT_EQ(mute.hint, "声音");
    EXPECT_EQ(sys.volumes.back(), 0u);
    bar->imgVolumeBar.mouseDown(at(6));
    EXPECT_EQ(mute.tag, 1);
    EXPECT_EQ(mute.picture(), nullptr);
    EXPECT_EQ(mute.hint, "静音");
    EXPECT_EQ(sys.volumes.back(), 40000u * 65537u);
    EXPECT_EQ(Options.VolumeNum, 8);
    EXPECT_EQ(caption(), "音量：60%");  // 172 + 8 × 60 div 13 = 208
}

TEST_F(TransportBarTest, ButtonsSwapPicturesIgnoreTheRightButtonAndRunTheirCommands) {
    start();
    const struct {
        MyImage* button;
        const char *enter, *down, *command;
    } cases[] = {{&bar->imgStop, "imgStopEnter", "imgStopDown", "stop"},
                 {&bar->imgFront, "imgFrontEnter", "imgFrontDown", "front"},
                 {&bar->imgNext, "imgNextEnter", "imgNextDown", "next"},
                 {&bar->imgBack, "imgBackEnter", "imgBackDown", "back"},
                 {&bar->imgForward, "imgForwardEnter", "imgForwardDown", "forward"},
                 {&bar->imgPlay, "imgPlayEnter", "imgPlayDown", "play"}};
    for (const auto& c : cases) {
        spy->calls.clear();
        c.button->mouseEnter();
        EXPECT_EQ(c.button->picture(), pic(c.enter)) << c.command;
        c.button->mouseDown(at(2, MouseButton::Right));
        c.button->mouseUp(at(2, MouseButton::Right));
        EXPECT_EQ(c.button->picture(), pic(c.enter)) << c.command;
        c.button->mouseDown(at(2, MouseButton::Middle));
        EXPECT_EQ(c.button->picture(), pic(c.down)) << c.command;
        c.button->mouseUp(at(2, MouseButton::Middle));
        EXPECT_EQ(c.button->picture(), nullptr) << c.command;
        EXPECT_TRUE(spy->calls.empty()) << c.command;
        c.button->mouseDown(at(2));
        c.button->mouseUp(at(2));
        c.button->mouseLeave();
        EXPECT_EQ(c.button->picture(), nullptr) << c.command;
        EXPECT_EQ(spy->calls, std::vector<std::string>{c.command});
    }
    // While playing the play button is the pause button.
    playing();
    MyImage& play = bar->imgPlay;
    play.mouseEnter();
    EXPECT_EQ(play.picture(), pic("imgPauseEnter"));
    play.mouseDown(at(2));
    EXPECT_EQ(play.picture(), pic("imgPauseDown"));
    play.mouseUp(at(-5));  // released outside: no command
    EXPECT_EQ(play.picture(), pic("imgPause"));
    play.mouseLeave();
    EXPECT_EQ(play.picture(), pic("imgPause"));
}

TEST_F(TransportBarTest, DoubleClickOnAButtonRunsItsCommandOnce) {
    start();
    const struct {
        MyImage* button;
        const char* command;
    } cases[] = {{&bar->imgNext, "next"},
                 {&bar->imgFront, "front"},
                 {&bar->imgStop, "stop"},
                 {&bar->imgForward, "forward"}};
    const LPARAM p = MAKELPARAM(3, 3);
    for (const auto& c : cases) {
        spy->calls.clear();
        HWND h = c.button->handle();
        for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            SendMessageA(h, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, p);
        EXPECT_EQ(spy->calls, std::vector<std::string>{c.command});
        // The next plain click counts again.
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, p);
        SendMessageA(h, WM_LBUTTONUP, 0, p);
        EXPECT_EQ(spy->calls.size(), 2u) << c.command;
    }
}

TEST_F(TransportBarTest, LostCaptureEndsADrag) {
    start();
    playing();
    const LPARAM p = MAKELPARAM(3, 3);
    for (MyImage* c : {static_cast<MyImage*>(&bar->imgTrackBar), static_cast<MyImage*>(&bar->imgPlayProgress),
                       static_cast<MyImage*>(&bar->imgVolumeBar)}) {
        SendMessageA(c->handle(), WM_LBUTTONDOWN, MK_LBUTTON, p);
        ASSERT_TRUE(bar->ThumbDragging || TrackDragging || bar->VolumeDragging);
        ASSERT_EQ(GetCapture(), c->handle());
        SetCapture(MainForm->handle());  // another window takes the mouse
        EXPECT_FALSE(bar->ThumbDragging);
        EXPECT_FALSE(TrackDragging);
        EXPECT_FALSE(bar->VolumeDragging);
        ReleaseCapture();
    }
    EXPECT_EQ(bar->imgTrackBar.picture(), pic("imgTrackBarBase"));
    EXPECT_EQ(bar->imgVolumeBar.picture(), pic("imgVolumeBarBase"));
    EXPECT_EQ(caption(), "sea");
    // The timer moves the thumb again (the empty control reports frame 0).
    playing();
    ASSERT_EQ(bar->imgTrackBar.left(), 75);
    PlayForm->tmMainTimer();
    EXPECT_EQ(bar->imgTrackBar.left(), 0);
}

TEST_F(TransportBarTest, HoverTextsShowOnlyWithToolTipsOn) {
    for (bool tips : {true, false}) {
        start(tips ? "" : "[Option]\r\nShowToolsTip=0\r\n");
        playing();
        const std::pair<Control*, const char*> cases[] = {
            {&bar->imgPlay, "暂停播放当前文件"}, {&bar->imgStop, "停止播放当前文件"},
            {&bar->imgFront, "播放前一文件"},    {&bar->imgNext, "播放后一文件"},
            {&bar->imgBack, "后退10帧"},         {&bar->imgForward, "前进10帧"},
            {&bar->imgVolume, "静音"},           {&bar->imgTrackBar, "定位"},
            {&bar->imgVolumeBar, "音量调节"}};
        for (const auto& c : cases) {
            c.first->mouseEnter();
            EXPECT_EQ(caption(), tips ? c.second : "sea");
            c.first->mouseLeave();
            EXPECT_EQ(caption(), "sea");
        }
        // A late leave of the previous button keeps the next one's text.
        bar->imgStop.mouseEnter();
        bar->imgFront.mouseEnter();
        bar->imgStop.mouseLeave();
        EXPECT_EQ(caption(), tips ? "播放前一文件" : "sea");
        bar->imgFront.mouseLeave();
        EXPECT_EQ(caption(), "sea");
        PlayState = 0;
        bar->imgVolume.tag = 0;
        bar->imgPlay.mouseEnter();
        EXPECT_EQ(caption(), tips ? "播放当前文件" : "sea");
        bar->imgVolume.mouseEnter();
        EXPECT_EQ(caption(), tips ? "声音" : "sea");
        TearDown();
    }
}

TEST_F(TransportBarTest, StatePicturesAndCaptionsFollowThePlayState) {
    start();
    EXPECT_EQ(caption(), "准备就绪");
    const struct {
        int state;
        HBITMAP play;
        const char *hint, *status, *text, *labelHint;
    } cases[] = {{1, pic("imgPause"), "暂停", "imgPlayStatus_Play", "sea", "单击以查看文件属性"},
                 {2, nullptr, "播放", "imgPlayStatus_Pause", "sea[暂停]", "单击以查看文件属性"},
                 {0, nullptr, "播放", "imgPlayStatus_Stop", "准备就绪", ""}};
    CurrentTitle = "sea";
    for (const auto& c : cases) {
        PlayState = c.state;
        bar->showPlayState(c.state);
        MainForm->ShowCaptionInlblCaption();
        EXPECT_EQ(bar->imgPlay.picture(), c.play) << c.state;
        EXPECT_EQ(bar->imgPlay.hint, c.hint);
        EXPECT_EQ(bar->imgPlayStatus.picture(), pic(c.status));
        EXPECT_EQ(caption(), c.text);
        EXPECT_EQ(bar->lblCaption.hint, c.labelHint);
    }
}

TEST_F(TransportBarTest, CaptionLabelOffersThePropertiesOnlyWhileAMovieIsLoaded) {
    start();
    std::vector<std::string> shown;
    Seams.showFlashFileProperty = [&](const std::string& title, const std::string& path) {
        shown.push_back(title + "|" + path);
    };
    bar->lblCaption.mouseEnter();
    EXPECT_FALSE(bar->lblCaption.underline());
    EXPECT_EQ(bar->lblCaption.cursor(), nullptr);
    playing(2);
    bar->lblCaption.mouseEnter();
    EXPECT_TRUE(bar->lblCaption.underline());
    EXPECT_EQ(bar->lblCaption.cursor(), LoadCursor(nullptr, IDC_HAND));
    bar->lblCaption.mouseDown(at(3));
    bar->lblCaption.mouseUp(at(3));
    EXPECT_EQ(shown, std::vector<std::string>{"sea|C:\\sea.swf"});
    bar->lblCaption.mouseLeave();
    EXPECT_FALSE(bar->lblCaption.underline());
    EXPECT_EQ(bar->lblCaption.cursor(), nullptr);
}

TEST_F(TransportBarTest, TaskButtonsSwitchPagesAndTheActiveOneIgnoresTheMouse) {
    start();
    MyImage &playTask = MainForm->imgTaskPlay, &convertTask = MainForm->imgTaskFileTypeConvert;
    playTask.mouseEnter();
    playTask.mouseLeave();
    EXPECT_EQ(playTask.picture(), pic("imgTaskPlayDown"));
    convertTask.mouseEnter();
    EXPECT_EQ(convertTask.picture(), pic("imgTaskFileTypeConvertEnter"));
    convertTask.mouseLeave();
    EXPECT_EQ(convertTask.picture(), nullptr);
    MainForm->Label1.mouseDown(at(3));  // the caption under the icon acts as the button
    EXPECT_EQ(convertTask.picture(), pic("imgTaskFileTypeConvertDown"));
    MainForm->Label1.mouseUp(at(3));
    EXPECT_EQ(MainForm->activePage(), 1);
    EXPECT_EQ(playTask.picture(), nullptr);
    EXPECT_EQ(pic("imgTaskButtonDown"), pic("imgTaskFileTypeConvertDown"));  // the active page's picture
    playTask.mouseDown(at(3));
    playTask.mouseUp(at(3));
    EXPECT_EQ(MainForm->activePage(), 0);
    EXPECT_EQ(playTask.picture(), pic("imgTaskPlayDown"));
    EXPECT_EQ(convertTask.picture(), nullptr);

    int dropped = 0;
    bar->onPlayListDropDown = [&] { ++dropped; };
    MyImage& drop = MainForm->imgPlayListDropDown;
    drop.mouseEnter();
    EXPECT_EQ(drop.picture(), pic("imgDropDownEnter"));
    drop.mouseDown(at(3));
    drop.mouseUp(at(3));
    drop.mouseLeave();
    EXPECT_EQ(drop.picture(), nullptr);
    EXPECT_EQ(dropped, 1);
}

TEST_F(TransportBarTest, KeyTableReachesTheMenuCommands) {
    start();
    const struct {
        WORD key;
        bool ctrl, alt;
        const char* item;
    } keys[] = {{VK_PRIOR, true, false, "mmiBack"},
                {VK_NEXT, true, false, "mmiForward"},
                {VK_LEFT, true, false, "mmiFront"},
                {VK_RIGHT, true, false, "mmiNext"},
                {'1', true, false, "mmiNormalSize"},
                {'D', true, false, "mmiOpenDir"},
                {'J', true, false, "mmiJumpToPosition"},
                {'O', true, false, "mmiOpenFiles"},
                {'P', true, false, "mmiPlay"},
                {'R', true, false, "mmiPlayArea"},
                {'S', true, false, "mmiStop"},
                {'U', true, false, "mmiOpenURL"},
                {0xBB, true, false, "mmiZoomIn"},
                {0xBD, true, false, "mmiZoomOut"},
                {VK_RETURN, false, true, "mmiFullScreen"},
                {'P', false, false, nullptr},
                {VK_RETURN, true, false, nullptr},
                {'P', false, true, nullptr}};
    std::vector<std::string> clicked;
    for (const auto& k : keys)
        if (k.item) MainForm->item(k.item).onClick = [&clicked, name = k.item] { clicked.push_back(name); };
    Form& form = *MainForm;
    for (const auto& k : keys) {
        clicked.clear();
        WORD key = k.key;
        form.FormKeyDown(key, ShiftState{false, k.ctrl, k.alt});
        EXPECT_EQ(clicked, k.item ? std::vector<std::string>{k.item} : std::vector<std::string>{}) << key;
        WORD none = 0;
        form.FormKeyUp(none, ShiftState{});
        EXPECT_FALSE(CtrlDown || AltDown || ShiftDown);
    }
    // Each key-down takes the modifiers as they are then: when a dialog's own
    // loop took the key-up, the flags of the earlier key-down do not linger.
    WORD ctrl = VK_CONTROL, p = 'P';
    form.FormKeyDown(ctrl, ShiftState{true, true, false});
    EXPECT_TRUE(CtrlDown && ShiftDown);
    form.FormKeyDown(p, ShiftState{});
    EXPECT_TRUE(clicked.empty());
    EXPECT_FALSE(CtrlDown || ShiftDown);
}

TEST_F(TransportBarTest, WindowKeepsItsMinimumSize) {
    start();
    MINMAXINFO mm{};
    SendMessageA(MainForm->handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(mm.ptMinTrackSize.x, 540);
    EXPECT_EQ(mm.ptMinTrackSize.y, 430);
}
