// The picture commands with the real play window: the grid arithmetic of the
// multi-picture view, the saved picture (BMP and PNG) against the engine's
// own render, the wallpaper dialog, clicking and leaving the view, and Save
// As of a projector both ways.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "app/MainForm.h"
#include "flash/WicImageDecoder.h"
#include "flash/core/Player.h"
#include "flashfile/Projector.h"
#include "platform/Registry.h"
#include "playback/MultiPictureGrid.h"
#include "playback/MultiPicturePlayForm.h"
#include "playback/PictureCommands.h"
#include "playback/WallpaperForm.h"
#include "tests/support/AppHarness.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/Screenshot.h"
#include "tools/swfwriter/MovingMovie.h"

using namespace kv;
using namespace kv::test;

namespace {

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class SeekSpy : public TPlayForm {
public:
    std::vector<int> seeks;
    void MoveToPosition(int frame) override { seeks.push_back(frame); }
};

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A picture of a window for the screenshot folder, when one is named.
void shot(HWND h, const char* name) {
    std::string dir = screenshotDir();
    if (!dir.empty()) saveWindowShot(h, dir + "\\" + name);
}


// A step run once the multi-picture view shows all its cells.
void whenViewFull(size_t cells, std::function<void(TMultiPicturePlayForm&)> step) {
    whenShown([cells, step] {
        auto* view =
            dynamic_cast<TMultiPicturePlayForm*>(controlOf(FindWindowA(nullptr, "TMultiPicturePlayForm")));
        if (view && view->pictures.size() == cells)
            step(*view);
        else
            whenViewFull(cells, step);
    });
}

// The picture the engine itself draws of a frame at a size, with the play
// window's view and quality, as 0x00RRGGBB.
std::vector<uint32_t> engineRender(const std::vector<uint8_t>& movie, int frame, int w, int h) {
    flash::Player ref;
    ref.load(movie.data(), movie.size());
    ref.gotoFrame(frame);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    flash::Player& shown = PlayForm->Flash1.player();
    ref.render(px.data(), w, h, w, shown.viewMatrix(w, h), shown.quality());
    for (auto& p : px) p &= 0xFFFFFF;
    return px;
}

// The pixels of a 24-bit bottom-up BMP as 0x00RRGGBB, top row first.
std::vector<uint32_t> bmpPixels(const std::vector<uint8_t>& f, int& w, int& h) {
    auto u32 = [&](size_t o) { return f[o] | f[o + 1] << 8 | f[o + 2] << 16 | uint32_t(f[o + 3]) << 24; };
    std::vector<uint32_t> px;
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M' || (f[28] | f[29] << 8) != 24) return px;
    w = static_cast<int>(u32(18));
    h = static_cast<int>(u32(22));
    size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3), off = u32(10);
    if (f.size() < off + stride * h) return {};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &f[off + stride * (h - 1 - y) + x * 3];
            px.push_back(p[2] << 16 | p[1] << 8 | p[0]);
        }
    return px;
}

// A save dialog during which the movie goes on playing.
class PlayingWhileAsked : public FakeUiServices {
public:
    bool saveFileDialog(const FileDialogRequest& req, FileDialogResult& out) override {
        for (int i = 0; i < 5; ++i) PlayForm->Flash1.tick();
        return FakeUiServices::saveFileDialog(req, out);
    }
};

class PicturesTest : public ::testing::Test {
protected:
    AppHarness app;
    SeekSpy* spy = nullptr;
    std::vector<uint8_t> movie;
    std::string moviePath;

    void SetUp() override {
        auto s = std::make_unique<SeekSpy>();
        spy = s.get();
        ASSERT_TRUE(app.start("", {}, std::move(s)));
    }
    void TearDown() override { cancelShownStep(); }
    void playing(int frames) {
        movie = swfw::movingMovie(frames);
        moviePath = app.folder.file("moving.swf");
        ASSERT_TRUE(swfw::writeFile(moviePath, movie));
        PlayForm->playAFile(moviePath);
        ASSERT_EQ(PlayState, 1);
    }
    static FileDialogResult chosen(const std::string& path, int filter = 1) {
        FileDialogResult r;
        r.files = {path};
        r.filterIndex = filter;
        return r;
    }
};

}  // namespace

TEST(MultiPictureGridTest, CellsAndFrames) {
    struct Case {
        int pictures, sw, sh, total;
        std::vector<int> frames;
        PictureCell first, last;
    } cases[] = {
        {9,
         1280,
         1024,
         100,
         {0, 11, 22, 33, 44, 55, 66, 77, 88},
         {10, 10, 413, 318, 0},
         {856, 666, 413, 318, 88}},
        {9, 1280, 1024, 5, std::vector<int>(9, 0), {10, 10, 413, 318, 0}, {856, 666, 413, 318, 0}},
        {4, 1024, 768, 100, {0, 25, 50, 75}, {10, 10, 497, 354, 0}, {517, 374, 497, 354, 75}},
        {36, 1280, 1024, 3000, {}, {10, 10, 201, 154, 0}, {1065, 830, 201, 154, 2905}},
        {16, 1280, 1024, 0, std::vector<int>(16, 0), {10, 10, 307, 236, 0}, {961, 748, 307, 236, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pictures);
        std::vector<PictureCell> cells = MultiPictureGrid(c.pictures, c.sw, c.sh, c.total);
        ASSERT_EQ(cells.size(), static_cast<size_t>(c.pictures));
        if (!c.frames.empty()) {
            for (size_t i = 0; i < cells.size(); ++i) EXPECT_EQ(cells[i].frame, c.frames[i]) << i;
        }
        auto same = [](const PictureCell& a, const PictureCell& b) {
            return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
                   a.frame == b.frame;
        };
        EXPECT_TRUE(same(cells.front(), c.first)) << cells.front().left << "," << cells.front().top;
        EXPECT_TRUE(same(cells.back(), c.last))
            << cells.back().left << "," << cells.back().top << " " << cells.back().width << "x"
            << cells.back().height << " f" << cells.back().frame;
    }
    // The 4-cell grid on 1024 x 768: two columns at 10 and 517, two rows at 10 and 374.
    std::vector<PictureCell> four = MultiPictureGrid(4, 1024, 768, 100);
    EXPECT_EQ(four[1].left, 517);
    EXPECT_EQ(four[2].top, 374);
    EXPECT_EQ(four[2].left, 10);
}

TEST_F(PicturesTest, SavedPictureIsTheFrameOfTheCommandInBmpAndPng) {
    playing(100);
    for (int filter : {1, 2}) {
        SCOPED_TRACE(filter);
        PlayingWhileAsked asked;
        std::string target = app.folder.file(filter == 1 ? "shot.bmp" : "shot.png");
        asked.saveResults.push_back(chosen(target, filter));
        PlayForm->Flash1.GotoFrame(30);
        SaveCurrentPicture();
        ASSERT_EQ(asked.saveRequests.size(), 1u);
        EXPECT_EQ(asked.saveRequests[0].defaultExt, "bmp");
        EXPECT_EQ(asked.saveRequests[0].filter, "位图文件(*.bmp)|*.bmp|PNG 图片(*.png)|*.png");
        EXPECT_EQ(PlayForm->Flash1.CurrentFrame(), 35);  // the movie went on meanwhile
        std::vector<uint8_t> file = readAll(target);
        int w = 0, h = 0;
        std::vector<uint32_t> got;
        if (filter == 1) {
            got = bmpPixels(file, w, h);
        } else {
            ASSERT_GE(file.size(), 8u);
            EXPECT_EQ(file[1], 'P');
            flash::DecodedImage img;
            ASSERT_TRUE(WicImageDecoder().decode(file.data(), file.size(), img));
            w = img.width;
            h = img.height;
            for (uint32_t p : img.pixels) got.push_back(p & 0xFFFFFF);
        }
        RECT r;
        GetClientRect(PlayForm->Flash1.handle(), &r);
        ASSERT_EQ(w, r.right);
        ASSERT_EQ(h, r.bottom);
        ASSERT_GT(w * h, 100);
        EXPECT_TRUE(got == engineRender(movie, 30, w, h));
        EXPECT_FALSE(got == engineRender(movie, 35, w, h));
    }
    // Cancelled: nothing is written; stopped: no dialog at all.
    app.ui.saveResults.clear();
    SaveCurrentPicture();
    EXPECT_EQ(app.ui.saveRequests.size(), 1u);
    PlayForm->StopPlayFile();
    SaveCurrentPicture();
    EXPECT_EQ(app.ui.saveRequests.size(), 1u);
}

TEST_F(PicturesTest, WallpaperTwiceReplacesTheFileAndNamesItInTheRegistry) {
    RegistrySnapshot keep(HKEY_CURRENT_USER, {"Control Panel\\Desktop"});
    playing(100);
    std::string file = app.folder.file("Wallpaper.bmp");
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    for (int frame : {20, 60}) {
        SCOPED_TRACE(frame);
        MovieCurrentFrame = frame;
        TWallpaperForm* shown = nullptr;
        whenShown([&] {
            shown = dynamic_cast<TWallpaperForm*>(controlOf(FindWindowA(nullptr, "设为桌面背景")));
            if (!shown) return;
            if (frame == 20) {
                RECT c;
                GetClientRect(shown->handle(), &c);
                EXPECT_EQ(c.right, 257);
                EXPECT_EQ(c.bottom, 232);
                BITMAP b{};
                GetObjectA(shown->preview.get(), sizeof b, &b);
                EXPECT_EQ(b.bmWidth, 240);
                EXPECT_EQ(b.bmHeight, 180);
                EXPECT_FALSE(shown->Flash1.loaded());  // unloaded after the pictures
                shot(shown->handle(), "wallpaper-dialog.bmp");
            }
            shown->get<Button>("bbtnOk").click();
        });
        ShowWallpaperForm();
        ASSERT_NE(shown, nullptr);
        int w = 0, h = 0;
        std::vector<uint32_t> got = bmpPixels(readAll(file), w, h);
        ASSERT_EQ(w, sw);
        ASSERT_EQ(h, sh);
        EXPECT_TRUE(got == engineRender(movie, frame, w, h));
        RegKey key = RegKey::open(HKEY_CURRENT_USER, "Control Panel\\Desktop");
        std::string value, style;
        ASSERT_TRUE(key.readString("Wallpaper", value));
        ASSERT_TRUE(key.readString("WallpaperStyle", style));
        EXPECT_EQ(value, file);
        EXPECT_EQ(style, "2");
    }
    EXPECT_EQ(app.sys.wallpapers, (std::vector<std::string>{file, file}));
    EXPECT_FALSE(exists(file + ".tmp"));
}

TEST_F(PicturesTest, WallpaperThatCannotBeWrittenShowsTheErrorAndStaysOpen) {
    RegistrySnapshot keep(HKEY_CURRENT_USER, {"Control Panel\\Desktop"});
    playing(10);
    // A folder in the way of the file.
    ASSERT_TRUE(CreateDirectoryA(app.folder.file("Wallpaper.bmp").c_str(), nullptr));
    bool stillOpen = false;
    whenShown([&] {
        auto* shown = dynamic_cast<TWallpaperForm*>(controlOf(FindWindowA(nullptr, "设为桌面背景")));
        if (!shown) return;
        shown->get<Button>("bbtnOk").click();
        stillOpen = IsWindowVisible(shown->handle()) && shown->modalResult() == 0;
        shown->get<Button>("bbtnCancel").click();
    });
    ShowWallpaperForm();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_TRUE(app.sys.wallpapers.empty());
}

TEST_F(PicturesTest, NineCellsClickFrame44MovesThePlayer) {
    playing(100);
    PlayForm->pmiPlayClick();  // paused
    ASSERT_EQ(PlayState, 2);
    std::vector<int> frames;
    bool matches = false;
    whenViewFull(9, [&](TMultiPicturePlayForm& v) {
        auto* view = &v;
        for (auto& p : view->pictures) frames.push_back(p.frame);
        // A cell shows the engine's picture of its frame at the cell's size.
        BITMAP b{};
        GetObjectA(view->pictures[4].bitmap.get(), sizeof b, &b);
        std::vector<uint32_t> px(static_cast<size_t>(b.bmWidth) * b.bmHeight);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, b.bmWidth, -b.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, view->pictures[4].bitmap.get(), 0, b.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        for (auto& p : px) p &= 0xFFFFFF;
        matches = px == engineRender(movie, 44, b.bmWidth, b.bmHeight);
        RECT r;
        GetWindowRect(view->pictures[4].image->handle(), &r);
        POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SetCursorPos(at.x, at.y);
        view->pictures[4].image->onClick();
    });
    Seams.multiPicture(9);
    EXPECT_EQ(frames, (std::vector<int>{0, 11, 22, 33, 44, 55, 66, 77, 88}));
    EXPECT_TRUE(matches);
    EXPECT_EQ(spy->seeks, (std::vector<int>{44}));
    EXPECT_EQ(PlayState, 2);  // paused as before
    EXPECT_EQ(FindWindowA(nullptr, "TMultiPicturePlayForm"), nullptr);
}

TEST_F(PicturesTest, AnyKeyLeavesTheSixteenCellView) {
    playing(5);
    std::vector<int> frames;
    whenViewFull(16, [&](TMultiPicturePlayForm& view) {
        for (auto& p : view.pictures) frames.push_back(p.frame);
        shot(view.handle(), "multi-picture-16.bmp");
        PostMessageA(view.Flash1.handle(), WM_KEYDOWN, 'A', 0);
    });
    ShowMultiPicturePlayForm(16);
    EXPECT_EQ(frames, std::vector<int>(16, 0));  // 5 frames: step 0
    EXPECT_TRUE(spy->seeks.empty());
    EXPECT_EQ(FindWindowA(nullptr, "TMultiPicturePlayForm"), nullptr);
}

TEST_F(PicturesTest, SaveAsOfAPlayingProjectorBothWays) {
    std::vector<uint8_t> swf = swfw::movingMovie(20);
    ASSERT_TRUE(swfw::writeFile(app.folder.file("m.swf"), swf));
    app.folder.write("SAKorvamelden.exe", std::string("MZ stub of the projector"));
    std::string exe = app.folder.file("m.exe");
    SwfToExe(app.folder.file("m.swf"), exe, app.folder.file("SAKorvamelden.exe"));
    PlayForm->playAFile(exe);
    ASSERT_EQ(PlayState, 1);
    app.ui.saveResults.push_back(chosen(app.folder.file("out.SWF")));
    app.ui.saveResults.push_back(chosen(app.folder.file("out.exe")));
    app.ui.saveResults.push_back(chosen(app.folder.file("out.txt")));
    for (int i = 0; i < 3; ++i) Seams.saveAs();
    ASSERT_EQ(app.ui.saveRequests.size(), 3u);
    EXPECT_EQ(app.ui.saveRequests[0].defaultExt, "exe");
    EXPECT_EQ(app.ui.saveRequests[0].filter, "flash动画|*.swf|可执行flash动画|*.exe");
    EXPECT_EQ(readAll(app.folder.file("out.SWF")), swf);
    EXPECT_EQ(readAll(app.folder.file("out.exe")), readAll(exe));
    EXPECT_FALSE(exists(app.folder.file("out.txt")));
    EXPECT_TRUE(app.ui.messages.empty());
}
