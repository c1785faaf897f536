// The Flash control window: loading by path, the timeline members, the frame
// timer, FSCommand, the view members and painting into a bitmap.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "flash/FrameClock.h"
#include "flash/ShockwaveFlash.h"
#include "tests/flash/FlashTestMovies.h"
#include "tests/platform/TempFolder.h"
#include "ui/Form.h"
#include "ui/Handles.h"

using namespace kv;
using flashtest::Color;
using flashtest::isColor;

namespace {

class FlashControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.createForm("KvFlashTestHost", "host", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(flash.create(0, 0, 100, 100));
    }

    std::string write(const std::string& name, const swfw::Bytes& movie) {
        std::string path = folder.file(name);
        swfw::writeFile(path, movie);
        return path;
    }
    void load(const swfw::Bytes& movie) {
        flash.setMovie(write("m.swf", movie));
        ASSERT_TRUE(flash.loaded());
    }
    Color pixel(int x, int y) {
        UniqueBitmap b(flash.paintToBitmap());
        return flashtest::pixelOf(b.get(), x, y);
    }
    // Dispatches messages for `ms` milliseconds.
    static void pump(DWORD ms) {
        DWORD end = GetTickCount() + ms;
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            Sleep(2);
        }
    }

    kvtest::TempFolder folder;
    Form host;
    TShockwaveFlash flash{&host};
};

TEST_F(FlashControlTest, NamesThatAreNoReadableMovieLeaveTheControlEmpty) {
    std::string garbage = write("garbage.swf", swfw::Bytes(300, 0x41));
    std::string empty = write("empty.swf", swfw::Bytes());
    const char* const missing = "Z:\\no\\such\\folder\\movie.swf";
    for (const std::string& name :
         {std::string("1.swf"), std::string(missing), garbage, empty, std::string()}) {
        SCOPED_TRACE(name);
        load(flashtest::steppingSquare(5));
        flash.setMovie(name);
        EXPECT_FALSE(flash.loaded());
        EXPECT_EQ(flash.movie(), name);
        EXPECT_EQ(flash.TotalFrames(), 0);
        EXPECT_EQ(flash.CurrentFrame(), 0);
        EXPECT_FALSE(flash.IsPlaying());
        flash.Play();
        flash.tick();
        flash.GotoFrame(3);
        EXPECT_FALSE(flash.IsPlaying());
    }
}

TEST_F(FlashControlTest, LoadedMovieRestsOnItsFirstFrameUntilPlay) {
    std::string path = write("rest.swf", flashtest::steppingSquare(10));
    flash.setMovie(path);
    EXPECT_EQ(flash.movie(), path);
    EXPECT_EQ(flash.TotalFrames(), 10);
    for (int i = 0; i < 4; ++i) flash.tick();
    EXPECT_EQ(flash.CurrentFrame(), 0);
    EXPECT_FALSE(flash.IsPlaying());
    flash.Play();
    EXPECT_TRUE(flash.IsPlaying());
    for (int i = 0; i < 3; ++i) flash.tick();
    EXPECT_EQ(flash.CurrentFrame(), 3);
    flash.Stop();
    flash.tick();
    EXPECT_EQ(flash.CurrentFrame(), 3);
    EXPECT_FALSE(flash.IsPlaying());
    flash.Play();
    flash.StopPlay();
    EXPECT_FALSE(flash.IsPlaying());
    // Loading again starts over, resting.
    flash.Play();
    flash.setMovie(path);
    EXPECT_EQ(flash.CurrentFrame(), 0);
    EXPECT_FALSE(flash.IsPlaying());
}

TEST_F(FlashControlTest, GotoFrameShowsThatFrame) {
    load(flashtest::steppingSquare(8));
    for (int frame : {5, 2, 7, 0}) {
        flash.GotoFrame(frame);
        EXPECT_EQ(flash.CurrentFrame(), frame);
        // The square of frame f covers x = 10f .. 10f + 10 at y = 45 .. 55.
        EXPECT_TRUE(isColor(pixel(frame * 10 + 5, 50), 255, 0, 0)) << frame;
        EXPECT_TRUE(isColor(pixel(((frame + 4) % 8) * 10 + 5, 50), 0, 0, 255)) << frame;
    }
    flash.GotoFrame(500);  // clamped to the last frame
    EXPECT_EQ(flash.CurrentFrame(), 7);
}

TEST_F(FlashControlTest, MovieThatStopsItselfIsNotPlayingAndPlayGoesOn) {
    load(flashtest::steppingSquare(10, 12, /*stopAt=*/4));
    flash.Play();
    for (int i = 0; i < 8; ++i) flash.tick();
    EXPECT_EQ(flash.CurrentFrame(), 3);
    EXPECT_FALSE(flash.IsPlaying());
    flash.Play();
    flash.tick();
    EXPECT_EQ(flash.CurrentFrame(), 4);
    EXPECT_TRUE(flash.IsPlaying());
}

TEST_F(FlashControlTest, MovieWithoutStopLoopsForEver) {
    load(flashtest::steppingSquare(5));
    flash.Play();
    std::vector<int> seen;
    for (int i = 0; i < 12; ++i) {
        flash.tick();
        seen.push_back(flash.CurrentFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2}));
    EXPECT_TRUE(flash.IsPlaying());
}

TEST_F(FlashControlTest, FSCommandArrivesWithCommandAndArguments) {
    std::vector<std::pair<std::string, std::string>> got;
    flash.OnFSCommand = [&](const std::string& c, const std::string& a) { got.emplace_back(c, a); };
    load(flashtest::steppingSquare(6, 12, -1, /*fsAt=*/3));
    flash.Play();
    flash.tick();
    EXPECT_TRUE(got.empty());
    flash.tick();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], std::make_pair(std::string("step"), std::string("2")));
    flash.GotoFrame(0);
    flash.GotoFrame(2);  // a seek runs the frame's script too
    EXPECT_EQ(got.size(), 2u);
}

TEST_F(FlashControlTest, FSCommandHandlerMayUnloadOrReloadTheMovie) {
    std::string self = write("self.swf", flashtest::steppingSquare(4, 12, -1, 2));
    int calls = 0;
    flash.OnFSCommand = [&](const std::string&, const std::string&) {
        ++calls;
        flash.setMovie(calls == 1 ? self : "1.swf");  // reload, then empty, from inside the event
    };
    flash.setMovie(self);
    flash.Play();
    flash.tick();  // frame 2 raises the command: reload
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(flash.loaded());
    EXPECT_EQ(flash.CurrentFrame(), 0);
    flash.Play();
    flash.tick();  // again: now empty
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(flash.loaded());
    flash.tick();

    // Commands the old movie raised after the one that replaced it are dropped.
    swfw::Movie two;
    two.add(swfw::doAction(
        swfw::ActionWriter().getUrl("FSCommand:first", "").getUrl("FSCommand:second", "").bytes()));
    two.showFrame();
    std::vector<std::string> got;
    flash.OnFSCommand = [&](const std::string& c, const std::string&) {
        got.push_back(c);
        if (c == "first") flash.setMovie("1.swf");
    };
    flash.setMovie(write("two.swf", two.build()));
    EXPECT_EQ(got, std::vector<std::string>{"first"});
}

TEST_F(FlashControlTest, ZoomAndScaleModeChangeThePicture) {
    // A 100 x 100 stage on blue, red square 40..60 px, in a 100 x 100 control.
    load(flashtest::stillPicture(100, 100, {0, 0, 255, 255}, 40, 40, 60, 60));
    struct Step {
        int zoom;
        int x;
        bool red;
    };
    const Step steps[] = {
        {-1, 35, false},  {50, 35, true},    // twice as large: the square spans 30..70
        {200, 35, false}, {200, 43, false},  // back, then half: 45..55
        {0, 43, true},                       // the whole stage again
    };
    for (const Step& s : steps) {
        if (s.zoom >= 0) flash.Zoom(s.zoom);
        Color c = pixel(s.x, 50);
        EXPECT_EQ(isColor(c, 255, 0, 0), s.red) << "zoom " << s.zoom << " x " << s.x;
    }

    // A wide stage covered in red: show all leaves bands of background
    // above and below it, no border fills the control.
    load(flashtest::stillPicture(200, 100, {0, 0, 255, 255}, 0, 0, 200, 100));
    EXPECT_EQ(flash.scaleMode(), 0);
    EXPECT_TRUE(isColor(pixel(50, 5), 0, 0, 255));
    EXPECT_TRUE(isColor(pixel(50, 50), 255, 0, 0));
    flash.setScaleMode(1);
    EXPECT_EQ(flash.scaleMode(), 1);
    EXPECT_TRUE(isColor(pixel(50, 5), 255, 0, 0));
    flash.setScaleMode(7);  // not a mode of this control: ignored
    EXPECT_EQ(flash.scaleMode(), 1);
    flash.setScaleMode(0);
    EXPECT_TRUE(isColor(pixel(50, 5), 0, 0, 255));
}

TEST_F(FlashControlTest, LowQualityDrawsHardEdgesHighQualitySmoothsThem) {
    // The square's left edge lies half way across pixel column 40.
    swfw::Movie m;
    m.stage = {0, 2000, 0, 2000};
    m.setBackground(0, 0, 255);
    m.add(flashtest::rectShape(1, 810, 800, 1200, 1200, {255, 0, 0, 255}));
    m.add(swfw::placeObject2(flashtest::placeAt(1, 1, 0, 0)));
    m.showFrame();
    load(m.build());
    auto blended = [](const Color& c) { return c.r > 60 && c.r < 200 && c.b > 60 && c.b < 200; };
    EXPECT_EQ(flash.quality(), 1);
    EXPECT_TRUE(blended(pixel(40, 50)));
    flash.setQuality(0);
    EXPECT_EQ(flash.quality(), 0);
    EXPECT_FALSE(blended(pixel(40, 50)));
    flash.setQuality(3);
    EXPECT_EQ(flash.quality(), 3);
    Color mid = pixel(40, 50);
    EXPECT_GT(mid.r + mid.b, 200);  // still the edge of the square on blue
    flash.setQuality(1);
    EXPECT_TRUE(blended(pixel(40, 50)));
}

TEST_F(FlashControlTest, PaintToBitmapHasTheControlSizeAndTheMovieBackground) {
    flash.setBounds(0, 0, 120, 80);
    load(flashtest::stillPicture(100, 100, {0, 128, 0, 255}, 40, 40, 60, 60));
    UniqueBitmap b(flash.paintToBitmap());
    ASSERT_TRUE(b);
    BITMAP bm{};
    GetObject(b.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 120);
    EXPECT_EQ(bm.bmHeight, 80);
    // Left of the 80 x 80 stage picture: the movie's background, not black.
    EXPECT_TRUE(isColor(flashtest::pixelOf(b.get(), 3, 40), 0, 128, 0));
    EXPECT_TRUE(isColor(flashtest::pixelOf(b.get(), 60, 40), 255, 0, 0));
    // The bitmap is the caller's own: painting again does not change it.
    flash.Zoom(200);
    UniqueBitmap after(flash.paintToBitmap());
    EXPECT_TRUE(isColor(flashtest::pixelOf(b.get(), 60, 40), 255, 0, 0));
    EXPECT_TRUE(isColor(flashtest::pixelOf(after.get(), 52, 40), 0, 128, 0));
    // Printing the window gives the same picture.
    WindowDc screen(flash.handle());
    UniqueMemDc mem(CreateCompatibleDC(screen.get()));
    UniqueBitmap printed(CreateCompatibleBitmap(screen.get(), 120, 80));
    {
        SelectGuard sel(mem.get(), printed.get());
        ASSERT_TRUE(PrintWindow(flash.handle(), mem.get(), PW_CLIENTONLY));
        EXPECT_EQ(GetPixel(mem.get(), 52, 40), RGB(0, 128, 0));
        EXPECT_EQ(GetPixel(mem.get(), 60, 30), RGB(0, 128, 0));
        EXPECT_EQ(GetPixel(mem.get(), 60, 40), RGB(255, 0, 0));
    }
    // An empty control still gives a bitmap of its size.
    flash.setMovie("1.swf");
    UniqueBitmap none(flash.paintToBitmap());
    GetObject(none.get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 120);
}

TEST_F(FlashControlTest, FrameTimerRunsAtTheMovieRateOnlyWhilePlaying) {
    load(flashtest::steppingSquare(200, 25));
    pump(300);
    EXPECT_EQ(flash.CurrentFrame(), 0);  // automatic start is off
    flash.Play();
    DWORD start = GetTickCount();
    pump(1200);
    double seconds = (GetTickCount() - start) / 1000.0;
    int frames = flash.CurrentFrame();
    EXPECT_GE(frames, static_cast<int>(25 * seconds * 0.6));
    EXPECT_LE(frames, static_cast<int>(25 * seconds * 1.2) + 1);
    flash.Stop();
    int stopped = flash.CurrentFrame();
    pump(200);
    EXPECT_EQ(flash.CurrentFrame(), stopped);
    // The window shows what the control paints.
    UpdateWindow(flash.handle());
    EXPECT_TRUE(IsWindow(flash.handle()));
}

// A frame paints again only the rectangles whose picture changed (the
// moving square's old and new places), with the right pixels; a picture
// that stays the same asks for no painting at all.
TEST_F(FlashControlTest, OnlyChangedRectanglesArePaintedAgain) {
    load(flashtest::steppingSquare(10, 1, 4));  // one frame a second: the timer stays out of the way
    flash.Play();
    EXPECT_TRUE(isColor(pixel(5, 50), 255, 0, 0));
    for (int f = 1; f < 4; ++f) {
        ValidateRect(flash.handle(), nullptr);
        flash.tick();
        RECT r{};
        ASSERT_TRUE(GetUpdateRect(flash.handle(), &r, FALSE)) << "frame " << f;
        EXPECT_GE(r.top, 35);
        EXPECT_LE(r.bottom, 65);
        EXPECT_GE(r.left, f * 10 - 10 - 5);  // it moved from x = f * 10 - 10 to f * 10, 10 px wide
        EXPECT_LE(r.right, f * 10 + 10 + 5);
        EXPECT_TRUE(isColor(pixel(f * 10 + 5, 50), 255, 0, 0));
        EXPECT_TRUE(isColor(pixel(f * 10 - 5, 50), 0, 0, 255));
    }
    EXPECT_FALSE(flash.IsPlaying());  // stopped on its fourth frame
    for (int i = 0; i < 3; ++i) {
        ValidateRect(flash.handle(), nullptr);
        flash.tick();
        EXPECT_FALSE(GetUpdateRect(flash.handle(), nullptr, FALSE));
    }
    EXPECT_TRUE(isColor(pixel(35, 50), 255, 0, 0));
}

TEST_F(FlashControlTest, MovieFileStaysFreeForOthersToWriteAndDelete) {
    std::string path = write("shared.swf", flashtest::steppingSquare(3));
    // Another program holds it open for writing while it is loaded.
    UniqueFile writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    flash.setMovie(path);
    EXPECT_TRUE(flash.loaded());
    writer.reset();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(flash.loaded());  // the movie lives on in memory
}

// The frame clock keeps the average rate whatever the timer's grain.
TEST(FrameClock, AverageRateHoldsForCoarseAndFineTimerEvents) {
    struct Case {
        double rate, eventEvery;
    } cases[] = {{12, 0.0156}, {12, 0.050}, {24, 0.016}, {30, 0.010}, {25, 0.0333}, {8, 0.1}};
    for (const Case& c : cases) {
        FrameClock clock;
        clock.setRate(c.rate);
        clock.restart(100.0);
        int frames = 0;
        for (double t = 100.0; t <= 110.0; t += c.eventEvery) frames += clock.advance(t);
        EXPECT_NEAR(frames, c.rate * 10, 1) << c.rate << " fps, event every " << c.eventEvery;
    }
}

TEST(FrameClock, LongStallCatchesUpOnlyAFewFramesAndClockGoingBackOwesNothing) {
    FrameClock clock;
    clock.setRate(12);
    clock.restart(0);
    EXPECT_EQ(clock.advance(10.0), clock.maxBurst);
    EXPECT_EQ(clock.advance(10.05), 0);
    EXPECT_EQ(clock.advance(5.0), 0);
    EXPECT_EQ(clock.advance(5.0 + 1.0 / 12 + 1e-6), 1);
    clock.setRate(0);  // a rate of 0 plays at 12
    EXPECT_NEAR(clock.period(), 1.0 / 12, 1e-9);
}

}  // namespace
