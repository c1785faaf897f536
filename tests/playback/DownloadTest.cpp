// Playing by address against a real HTTP server on 127.0.0.1: a good movie
// downloads and plays from its local copy, every kind of failure is skipped
// silently, Stop and the stall time end a download without the window
// waiting, a 200 MB movie comes through while the window keeps running, and
// no local copy is left behind.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/MainForm.h"
#include "platform/AnsiText.h"
#include "playback/MovieAddress.h"
#include "playback/MovieDownload.h"
#include "playback/MovieOrigin.h"
#include "playback/PlayForm.h"
#include "tests/playback/LocalHttpServer.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/Screenshot.h"
#include "tools/swfwriter/CommandMovie.h"

using namespace kv;
using kv::test::LocalHttpServer;

namespace {

std::string tempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

// The local copies this process has in the temporary folder.
std::vector<std::string> localCopies() {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    const std::string mask = tempFolder() + "KorvameldenDL_" + std::to_string(GetCurrentProcessId()) + "_*";
    HANDLE h = FindFirstFileA(mask.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do out.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

bool fileThere(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The head of an uncompressed movie of `total` bytes: one frame, a stage of
// 550 x 400, a white background, and a tag the player does not know that
// fills the file up to its ShowFrame and End tags.
std::string bigMovieHead(uint32_t total, uint32_t& filler) {
    swfw::BitWriter w;
    w.u8('F'), w.u8('W'), w.u8('S'), w.u8(6), w.u32(total);
    w.ub(15, 5), w.sb(0, 15), w.sb(11000, 15), w.sb(0, 15), w.sb(8000, 15);
    w.align();
    w.fixed8(12), w.u16(1);
    w.u16((9 << 6) | 3), w.u8(255), w.u8(255), w.u8(255);
    const uint32_t before = static_cast<uint32_t>(w.size()) + 6, after = 4;
    filler = total - before - after;
    w.u16((1000 << 6) | 0x3F), w.u32(filler);
    const swfw::Bytes& b = w.data();
    return std::string(b.begin(), b.end());
}

class DownloadTest : public ::testing::Test {
protected:
    test::AppHarness app;
    LocalHttpServer server;
    std::string movie;  // the bytes of a small good movie

    void SetUp() override {
        swfw::CommandMovieSpec spec;
        spec.frames = 20;
        const swfw::Bytes b = swfw::commandMovie(spec);
        movie.assign(b.begin(), b.end());
        routes();
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(app.start());
        PlayForm->downloadLimits.stallMs = 1000;
        Options.ListLatestFilesNum = 5;
        RecentFiles.clear();
        ClearDownloadedMovies();
    }
    void TearDown() override {
        app.stop();
        server.stop();
        EXPECT_TRUE(localCopies().empty()) << localCopies().front();
    }

    void routes() {
        using S = LocalHttpServer;
        server.route("/good.swf", [this](S&, SOCKET c) {
            S::sendHead(c, "200 OK", static_cast<long long>(movie.size()));
            S::sendText(c, movie);
        });
        server.route("/nolength.swf", [this](S&, SOCKET c) {
            S::sendHead(c, "200 OK", -1);
            S::sendText(c, movie);
        });
        server.route("/truncated.swf", [this](S&, SOCKET c) {
            S::sendHead(c, "200 OK", static_cast<long long>(movie.size()));
            S::sendText(c, movie.substr(0, movie.size() / 2));
        });
        server.route("/text.swf", [](S&, SOCKET c) {
            S::sendHead(c, "200 OK", 11);
            S::sendText(c, "hello world");
        });
        server.route("/error.swf", [](S&, SOCKET c) { S::sendHead(c, "500 Internal Server Error", 0); });
        server.route("/stated-huge.swf", [](S& s, SOCKET c) {
            S::sendHead(c, "200 OK", 300ll << 20);  // beyond the 256 MB limit
            s.waitForStop(INFINITE);
        });
        server.route("/endless.swf", [](S& s, SOCKET c) {
            S::sendHead(c, "200 OK", -1);
            const std::string chunk(64 * 1024, 'x');
            while (!s.waitForStop(0) && S::sendText(c, chunk)) {
            }
        });
        server.route("/stall.swf", [](S& s, SOCKET) { s.waitForStop(INFINITE); });
        server.route("/stall-body.swf", [](S& s, SOCKET c) {
            S::sendHead(c, "200 OK", 3 << 20);
            S::sendText(c, std::string(1200 * 1024, '\0'));
            s.waitForStop(INFINITE);
        });
        server.route("/big.swf", [](S& s, SOCKET c) {
            const uint32_t total = 200u << 20;
            uint32_t filler = 0;
            const std::string head = bigMovieHead(total, filler);
            if (!S::sendHead(c, "200 OK", total) || !S::sendText(c, head)) return;
            const std::string chunk(256 * 1024, '\0');
            for (uint32_t left = filler; left > 0 && !s.waitForStop(0);) {
                const uint32_t n = std::min<uint32_t>(left, static_cast<uint32_t>(chunk.size()));
                if (!S::sendAll(c, chunk.data(), n)) return;
                left -= n;
            }
            S::sendAll(c, "\x40\x00\x00\x00", 4);  // ShowFrame, End
        });
    }

    // Runs the message loop until done() or the time is up; returns the
    // longest time one round of the loop took before the last (the window's
    // worst freeze while waiting; the last round may start a movie, which
    // takes the time loading a file of that size takes).
    DWORD runUntil(const std::function<bool()>& done, DWORD limitMs) {
        DWORD worst = 0;
        const DWORD start = GetTickCount();
        while (!done() && GetTickCount() - start < limitMs) {
            const DWORD before = GetTickCount();
            Application::instance().processMessages();
            if (!done()) worst = std::max<DWORD>(worst, GetTickCount() - before);
            Sleep(5);
        }
        return worst;
    }
    void play(const std::string& path) {
        PlayForm->pmiStopClick();
        app.setList({server.url(path)});
        PlayForm->pmiPlayClick();
    }
    // The transport bar's Stop button, pressed and released with the mouse.
    static void clickStop() {
        HWND stop = MainForm->bar.imgStop.handle();
        SendMessageA(stop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(stop, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    std::string caption() const { return MainForm->bar.lblCaption.text(); }
};

}  // namespace

TEST_F(DownloadTest, GoodMovieDownloadsPlaysFromItsCopyAndTheCopyGoesWithStop) {
    const std::string address = server.url("/good.swf");
    play("/good.swf");
    EXPECT_TRUE(PlayForm->downloading());
    EXPECT_EQ(PlayState, 0);
    runUntil([] { return PlayState == 1; }, 5000);
    ASSERT_EQ(PlayState, 1);
    EXPECT_FALSE(PlayForm->downloading());
    EXPECT_EQ(CurrentFile, address);
    const std::string copy = CurrentLocalFile;
    EXPECT_EQ(copy.rfind(tempFolder() + "KorvameldenDL_", 0), 0u) << copy;
    EXPECT_EQ(AnsiExtractFileExt(copy), ".swf");
    EXPECT_TRUE(fileThere(copy));
    EXPECT_TRUE(IsDownloadedMovie(copy));
    EXPECT_TRUE(PlayForm->Flash1.loaded());
    EXPECT_EQ(PlayForm->Flash1.TotalFrames(), 20);
    EXPECT_EQ(caption(), CurrentTitle);
    ASSERT_FALSE(RecentFiles.empty());
    EXPECT_EQ(RecentFiles.front(), address);  // the address, not the copy
    EXPECT_TRUE(app.ui.messages.empty());

    clickStop();
    EXPECT_EQ(PlayState, 0);
    EXPECT_FALSE(fileThere(copy));
    EXPECT_TRUE(CurrentLocalFile.empty());
}

TEST_F(DownloadTest, BodyWithoutStatedLengthPlays) {
    play("/nolength.swf");
    runUntil([] { return PlayState == 1; }, 5000);
    EXPECT_EQ(PlayState, 1);
}

TEST_F(DownloadTest, FailuresAreSkippedSilently) {
    // A port that was free a moment ago: nothing listens there any more.
    LocalHttpServer closed;
    ASSERT_TRUE(closed.start());
    const std::string refused = closed.url("/good.swf");
    closed.stop();
    struct Case {
        const char* what;
        std::string address;
    };
    const Case cases[] = {
        {"404", server.url("/missing.swf")},
        {"500", server.url("/error.swf")},
        {"truncated body", server.url("/truncated.swf")},
        {"not a movie", server.url("/text.swf")},
        {"stated length beyond the limit", server.url("/stated-huge.swf")},
        {"connection refused", refused},
    };
    for (const Case& c : cases) {
        app.setList({c.address});
        PlayForm->pmiPlayClick();
        runUntil([] { return !PlayForm->downloading(); }, 5000);
        EXPECT_FALSE(PlayForm->downloading()) << c.what;
        EXPECT_EQ(PlayState, 0) << c.what;
        EXPECT_EQ(caption(), "准备就绪") << c.what;
        EXPECT_EQ(MainForm->bar.lblTime.text(), "") << c.what;
        EXPECT_EQ(MainForm->bar.imgPlayProgress.width(), 0) << c.what;
        EXPECT_TRUE(localCopies().empty()) << c.what;
    }
    EXPECT_TRUE(app.ui.messages.empty());
    EXPECT_TRUE(RecentFiles.empty());
}

TEST_F(DownloadTest, BodyRunningPastTheSizeLimitIsRefused) {
    PlayForm->downloadLimits.maxBytes = 1 << 20;
    play("/endless.swf");
    const DWORD worst = runUntil([] { return !PlayForm->downloading(); }, 5000);
    EXPECT_FALSE(PlayForm->downloading());
    EXPECT_EQ(PlayState, 0);
    EXPECT_LT(worst, 500u);
}

TEST_F(DownloadTest, StopEndsAStalledDownloadAtOnce) {
    struct Case {
        const char* path;
        const char *before, *after, *time;  // the caption around the title; the counter
        bool bar;
    };
    const Case cases[] = {
        {"/stall.swf", "正在连接 ", "...", "", false},
        {"/stall-body.swf", "正在下载 ", "  39% (1.17 MB / 3.00 MB)", "下载 39%   ", true},
    };
    for (const Case& c : cases) {
        const char* path = c.path;
        PlayForm->downloadLimits.stallMs = 60000;
        const int earlier = server.requests();
        play(path);
        const std::string expected = c.before + CurrentTitle + c.after;
        runUntil([&] { return caption() == expected && server.requests() > earlier; }, 3000);
        ASSERT_TRUE(PlayForm->downloading()) << path;
        EXPECT_EQ(caption(), expected);
        EXPECT_EQ(MainForm->bar.lblTime.text(), c.time);
        EXPECT_EQ(MainForm->bar.imgPlayProgress.width() > 0, c.bar) << path;
        // Play again while the item downloads: the download goes on.
        const int requests = server.requests();
        PlayForm->pmiPlayClick();
        runUntil([] { return false; }, 200);
        EXPECT_EQ(server.requests(), requests) << path;
        EXPECT_EQ(caption(), expected);
        if (c.bar && !test::screenshotDir().empty()) {
            ShowWindow(MainForm->handle(), SW_SHOWNORMAL);
            SetWindowPos(MainForm->handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            runUntil([] { return false; }, 500);
            test::saveWindowShot(MainForm->handle(), test::screenshotDir() + "\\download_progress.bmp");
        }
        const DWORD before = GetTickCount();
        clickStop();
        EXPECT_LT(GetTickCount() - before, 500u) << path;
        EXPECT_FALSE(PlayForm->downloading());
        EXPECT_EQ(caption(), "已停止");
        EXPECT_TRUE(localCopies().empty()) << path;
        // The abandoned worker's late messages change nothing.
        runUntil([] { return false; }, 100);
        EXPECT_EQ(caption(), "已停止");
    }
}

TEST_F(DownloadTest, StalledServerIsGivenUpAfterTheStallTime) {
    for (const char* path : {"/stall.swf", "/stall-body.swf"}) {
        const DWORD start = GetTickCount();
        play(path);
        const DWORD worst = runUntil([] { return !PlayForm->downloading(); }, 5000);
        const DWORD took = GetTickCount() - start;
        EXPECT_FALSE(PlayForm->downloading()) << path;
        EXPECT_GE(took, 1000u) << path;
        EXPECT_LT(took, 3000u) << path;
        EXPECT_LT(worst, 500u) << path;
        EXPECT_EQ(PlayState, 0);
        EXPECT_EQ(caption(), "准备就绪");
        EXPECT_TRUE(localCopies().empty()) << path;
    }
    EXPECT_TRUE(app.ui.messages.empty());
}

TEST_F(DownloadTest, NextDuringADownloadMovesOnToTheNextItem) {
    app.setList({server.url("/stall.swf"), server.url("/good.swf")});
    PlayForm->pmiPlayClick();
    ASSERT_TRUE(PlayForm->downloading());
    PlayForm->pmiNextClick();
    runUntil([] { return PlayState == 1; }, 5000);
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(CurrentIndex, 2);
    EXPECT_EQ(localCopies().size(), 1u);
}

TEST_F(DownloadTest, TwoHundredMegabytesComeThroughWhileTheWindowRuns) {
    PlayForm->downloadLimits.stallMs = 10000;
    play("/big.swf");
    std::string seen;
    std::set<std::string> times;  // the progress texts the window went through
    int barWidth = 0;
    const DWORD worst = runUntil(
        [&] {
            if (PlayForm->downloading() && MainForm->bar.lblTime.text().find("下载 ") == 0) {
                seen = caption();
                times.insert(MainForm->bar.lblTime.text());
                barWidth = std::max(barWidth, MainForm->bar.imgPlayProgress.width());
            }
            return !PlayForm->downloading();
        },
        60000);
    ASSERT_FALSE(PlayForm->downloading());
    // The window ran while the copy came in: it showed the download advance,
    // and no round of its loop took long (writing 200 MB on a loaded
    // machine delays a round now and then).
    EXPECT_GE(times.size(), 2u);
    EXPECT_LT(worst, 1500u);
    EXPECT_EQ(seen.find("正在下载 "), 0u) << seen;
    EXPECT_NE(seen.find(" MB / 200.00 MB)"), std::string::npos) << seen;
    EXPECT_GT(barWidth, 0);
    EXPECT_EQ(PlayState, 1);
    const std::string copy = CurrentLocalFile;
    EXPECT_TRUE(fileThere(copy));
    PlayForm->pmiStopClick();
    EXPECT_FALSE(fileThere(copy));
}

TEST_F(DownloadTest, ClosingTheProgramRemovesTheCopies) {
    play("/good.swf");
    runUntil([] { return PlayState == 1; }, 5000);
    ASSERT_EQ(PlayState, 1);
    const std::string played = CurrentLocalFile;
    play("/stall.swf");
    ASSERT_TRUE(PlayForm->downloading());
    EXPECT_FALSE(fileThere(played));
    EXPECT_EQ(localCopies().size(), 1u);
    const DWORD before = GetTickCount();
    app.stop();
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_TRUE(localCopies().empty());
}

TEST_F(DownloadTest, FileAddressPlaysTheFileItNames) {
    std::string path = app.folder.file("local film.swf");
    app.folder.write("local film.swf", movie);
    std::string address = "file:///";
    for (char ch : path)
        address += ch == '\\' ? std::string("/") : ch == ' ' ? std::string("%20") : std::string(1, ch);
    app.setList({address});
    PlayForm->pmiPlayClick();
    EXPECT_FALSE(PlayForm->downloading());
    ASSERT_EQ(PlayState, 1);
    EXPECT_EQ(CurrentLocalFile, path);
    ASSERT_FALSE(RecentFiles.empty());
    EXPECT_EQ(RecentFiles.front(), address);
    PlayForm->pmiStopClick();
    EXPECT_TRUE(fileThere(path));  // the user's own file stays
}

TEST(StaleDownloadsTest, CopiesOfEndedRunsAreSweptOwnAreKept) {
    const std::string stale = tempFolder() + "KorvameldenDL_4000000_1.swf";
    const std::string own = CreateDownloadFile(".swf");
    ASSERT_FALSE(own.empty());
    HANDLE h = CreateFileA(stale.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    SweepStaleDownloadFiles();
    EXPECT_FALSE(fileThere(stale));
    EXPECT_TRUE(fileThere(own));
    RemoveDownloadFile(own);
    EXPECT_FALSE(fileThere(own));
}

TEST(MovieAddressTest, KindsPathsAndProgressTexts) {
    struct Case {
        const char* item;
        bool download;
        const char* local;
        const char* ext;
    };
    const Case cases[] = {
        {"http://h/a.swf", true, "http://h/a.swf", ".swf"},
        {"HTTPS://h/dir/Game.EXE?x=1", true, "HTTPS://h/dir/Game.EXE?x=1", ".exe"},
        {"http://h/a.exe/", true, "http://h/a.exe/", ".swf"},
        {"http://h/run?file=a.exe", true, "http://h/run?file=a.exe", ".swf"},
        {"ftp://h/a.swf", false, "ftp://h/a.swf", ".swf"},
        {"httpx://h/a.swf", false, "httpx://h/a.swf", ".swf"},
        {"C:\\films\\a.swf", false, "C:\\films\\a.swf", ".swf"},
        {"file:///C:/a%20b/x.swf", false, "C:\\a b\\x.swf", ".swf"},
        {"FILE://server/share/x.swf", false, "\\\\server\\share\\x.swf", ".swf"},
        {"file:///C:/中文/片.swf", false, "C:\\中文\\片.swf", ".swf"},
        {"file:///", false, "", ".swf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDownloadAddress(c.item), c.download) << c.item;
        EXPECT_EQ(LocalPathOfItem(c.item), c.local) << c.item;
        EXPECT_EQ(DownloadExtension(c.item), c.ext) << c.item;
    }
    struct Progress {
        unsigned long long received, total;
        int percent;
        const char* caption;
    };
    const Progress texts[] = {
        {0, 0, -1, "正在连接 t..."},
        {0, 2048, 0, "正在下载 t  0% (0 K / 2 K)"},
        {1228800, 0, -1, "正在下载 t  (1.17 MB)"},
        {1228800, 2726297, 45, "正在下载 t  45% (1.17 MB / 2.60 MB)"},
        {209715200, 209715200, 100, "正在下载 t  100% (200.00 MB / 200.00 MB)"},
        {5000000000ull, 6000000000ull, 83, "正在下载 t  83% (4768.37 MB / 5722.05 MB)"},
    };
    for (const Progress& p : texts) {
        EXPECT_EQ(DownloadPercent(p.received, p.total), p.percent) << p.caption;
        EXPECT_EQ(DownloadCaption("t", p.received, p.total), p.caption);
    }
}
