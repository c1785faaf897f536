// The projector stub: finding the appended movie, and real projectors made
// by SwfToExe with the built stub, run as their own processes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "flashfile/Projector.h"
#include "stub/AppendedMovie.h"
#include "stub/ProjectorForm.h"
#include "tests/platform/TempFolder.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"
#include "ui/Application.h"
#include "ui/UiServices.h"

using namespace kv;

namespace {

std::string stubPath() {
    std::string p = std::string("Z:") + KV_STUB_EXE;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

TEST(AppendedMovie, TrailerGivesPlaceAndLengthOfTheMovie) {
    struct Case {
        const char* what;
        std::vector<uint8_t> trailer;
        uint64_t fileSize;
        bool found;
        uint64_t offset;
        uint32_t length;
    } cases[] = {
        {"movie before the trailer", {0x56, 0x34, 0x12, 0xFA, 0x10, 0x00, 0x00, 0x00}, 1000, true, 976, 16},
        {"movie fills the file", {0x56, 0x34, 0x12, 0xFA, 0x10, 0x00, 0x00, 0x00}, 24, true, 0, 16},
        {"little-endian length",
         {0x56, 0x34, 0x12, 0xFA, 0x01, 0x02, 0x00, 0x00},
         100000,
         true,
         100000 - 8 - 513,
         513},
        {"longer than the file", {0x56, 0x34, 0x12, 0xFA, 0x11, 0x00, 0x00, 0x00}, 24, false, 0, 0},
        {"huge length", {0x56, 0x34, 0x12, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF}, 1ull << 33, false, 0, 0},
        {"empty movie", {0x56, 0x34, 0x12, 0xFA, 0x00, 0x00, 0x00, 0x00}, 1000, false, 0, 0},
        {"magic reversed", {0xFA, 0x12, 0x34, 0x56, 0x10, 0x00, 0x00, 0x00}, 1000, false, 0, 0},
        {"no trailer", {'M', 'Z', 0x90, 0x00, 0x03, 0x00, 0x00, 0x00}, 1000, false, 0, 0},
        {"file shorter than a trailer", {0x56, 0x34, 0x12, 0xFA, 0x00, 0x00, 0x00, 0x00}, 7, false, 0, 0},
    };
    for (const Case& c : cases) {
        uint64_t offset = 0;
        uint32_t length = 0;
        EXPECT_EQ(locateAppendedMovie(c.trailer.data(), c.fileSize, offset, length), c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(offset, c.offset) << c.what;
            EXPECT_EQ(length, c.length) << c.what;
        }
    }
}

// A 160 x 120 stage on blue with a red left half; frame 2 may say "quit".
swfw::Bytes projectorMovie(bool quit) {
    swfw::Movie m;
    m.stage = {0, 160 * 20, 0, 120 * 20};
    m.frameRate = 20;
    m.setBackground(0, 0, 255);
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, 80 * 20, 120 * 20, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
    m.add(s.defineShape(1));
    m.add(swfw::placeObject(1, 1));
    m.showFrame();
    if (quit) m.add(swfw::doAction(swfw::ActionWriter().getUrl("FSCommand:quit", "").bytes()));
    m.showFrame();
    return m.build();
}

class Process {
public:
    explicit Process(const std::string& exe) {
        std::string cmd = "\"" + exe + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started =
            CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    // The first visible top-level window of the process with that class, waiting up to 15 s.
    HWND findWindow(const char* className) const {
        Search s{pi.dwProcessId, className, nullptr};
        for (int i = 0; i < 300 && !s.found; ++i) {
            EnumWindows(&Process::match, reinterpret_cast<LPARAM>(&s));
            if (!s.found) Sleep(50);
        }
        return s.found;
    }
    // Exit code after waiting up to ms, or STILL_ACTIVE.
    DWORD exitCode(DWORD ms) const {
        WaitForSingleObject(pi.hProcess, ms);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    bool started = false;
    PROCESS_INFORMATION pi{};

private:
    struct Search {
        DWORD pid;
        const char* cls;
        HWND found;
    };
    static BOOL CALLBACK match(HWND h, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        char cls[64] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (pid == s->pid && IsWindowVisible(h) && lstrcmpA(cls, s->cls) == 0) {
            s->found = h;
            return FALSE;
        }
        return TRUE;
    }
};

std::string windowText(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

TEST(Projector, BuiltBySwfToExePlaysItsMovieInAStageSizedWindowAndClosesCleanly) {
    kvtest::TempFolder folder;
    std::string swf = folder.file("sea.swf"), exe = folder.file("sea.exe");
    ASSERT_TRUE(swfw::writeFile(swf, projectorMovie(false)));
    SwfToExe(swf, exe, stubPath());

    Process p(exe);
    ASSERT_TRUE(p.started);
    HWND w = p.findWindow("KvProjector");
    ASSERT_TRUE(w);
    EXPECT_EQ(windowText(w), "sea");
    RECT rc{};
    GetClientRect(w, &rc);
    EXPECT_EQ(rc.right, 160);
    EXPECT_EQ(rc.bottom, 120);
    // What the window shows: the red half and the blue background.
    auto pixel = [&](int x, int y) {
        return static_cast<long>(SendMessageA(w, projectorPixelMessage(), MAKEWPARAM(x, y), 0));
    };
    EXPECT_EQ(pixel(20, 60), 0xFF0000L);
    EXPECT_EQ(pixel(140, 60), 0x0000FFL);
    EXPECT_EQ(pixel(500, 60), -1L);

    // And on the screen, with the window raised above any other program's.
    RECT frame{};
    GetWindowRect(w, &frame);
    SetWindowPos(w, HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left),
                 GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top), 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
    POINT at{20, 60};
    ClientToScreen(w, &at);
    COLORREF onScreen = CLR_INVALID;
    for (int i = 0; i < 40 && onScreen != RGB(255, 0, 0); ++i) {
        Sleep(50);
        HDC screen = GetDC(nullptr);
        onScreen = GetPixel(screen, at.x, at.y);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(onScreen, RGB(255, 0, 0));

    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.exitCode(10000), 0u);
}

TEST(Projector, MovieCanEndItsProjectorWithTheQuitCommand) {
    kvtest::TempFolder folder;
    std::string swf = folder.file("bye.swf"), exe = folder.file("bye.exe");
    ASSERT_TRUE(swfw::writeFile(swf, projectorMovie(true)));
    SwfToExe(swf, exe, stubPath());
    Process p(exe);
    ASSERT_TRUE(p.started);
    EXPECT_EQ(p.exitCode(15000), 0u);
}

TEST(Projector, FullScreenCommandCoversTheMonitorAndEscReturnsToTheWindow) {
    swfw::Movie m;
    m.stage = {0, 200 * 20, 0, 100 * 20};
    m.add(swfw::doAction(swfw::ActionWriter().getUrl("FSCommand:fullscreen", "true").bytes()));
    m.showFrame();
    swfw::Bytes movie = m.build();
    ProjectorForm form;
    ASSERT_TRUE(form.open(std::vector<uint8_t>(movie.begin(), movie.end()), "full"));
    form.show();
    EXPECT_TRUE(form.fullScreen());
    RECT r{};
    GetWindowRect(form.handle(), &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(form.flash().width(), GetSystemMetrics(SM_CXSCREEN));

    PostMessageA(form.flash().handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Application::instance().processMessages();
    EXPECT_FALSE(form.fullScreen());
    GetClientRect(form.handle(), &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_TRUE(GetWindowLongA(form.handle(), GWL_STYLE) & WS_CAPTION);
}

TEST(Projector, StubWithoutMovieSaysSoInAMessageBox) {
    kvtest::TempFolder folder;
    // The bare stub, and a "projector" whose appended bytes are no movie.
    std::string bare = folder.file("bare.exe"), junk = folder.file("junk.exe");
    ASSERT_TRUE(CopyFileA(stubPath().c_str(), bare.c_str(), FALSE));
    std::string noise = folder.file("noise.swf");
    ASSERT_TRUE(swfw::writeFile(noise, swfw::Bytes(64, 0x33)));
    SwfToExe(noise, junk, stubPath());
    for (const std::string& exe : {bare, junk}) {
        SCOPED_TRACE(exe);
        Process p(exe);
        ASSERT_TRUE(p.started);
        HWND box = p.findWindow("#32770");
        ASSERT_TRUE(box);
        EXPECT_EQ(windowText(box), kAppTitle);
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(text, kNoMovieText);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(p.exitCode(10000), 1u);
    }
}

}  // namespace
