// Start-up, shutdown and main-window faults found by trying the program as a
// user would: session end, taskbar and tray, window position, half-failed
// starts, damaged settings, several copies at once, stale temporary files and
// program folders outside the ANSI code page.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "app/WindowPosition.h"
#include "platform/IniFile.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"
#include "ui/Application.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

using namespace kv;

namespace {

class StartupMendsTest : public ::testing::Test {
protected:
    test::AppHarness app;
    test::ProgramFolder& folder = app.folder;

    void start(const std::string& ini = "") { ASSERT_TRUE(app.start(ini)); }
    void TearDown() override { app.stop(); }
    IniFile settings() const { return IniFile(folder.file("Korvamelden.ini")); }
    static RECT workArea() {
        RECT r{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
        return r;
    }
};

std::string DistExe() {
    std::string exe = std::string("Z:") + KV_DIST_DIR + "/Korvamelden.exe";
    for (char& c : exe)
        if (c == '/') c = '\\';
    return exe;
}

}  // namespace

TEST_F(StartupMendsTest, SessionEndSavesTheListAndTheSettingsAsAnExitDoes) {
    start("[Option]\r\nConfirmWhenQuit=1\r\n");
    PlayListForm->AddItem("C:\\Movies\\sea.swf", "sea");
    EXPECT_EQ(SendMessageA(MainForm->handle(), WM_QUERYENDSESSION, 0, 0), TRUE);  // no question blocks it
    SendMessageA(MainForm->handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(IniFile(folder.file("Korvamelden.fpl")).readString("PlayList", "File1", ""),
              "C:\\Movies\\sea.swf");
    EXPECT_TRUE(settings().readBool("WindowState", "IsMaximized", false));
    EXPECT_TRUE(app.ui.messages.empty());
}

TEST_F(StartupMendsTest, HiddenTaskbarButtonKeepsAnOrdinaryMainWindow) {
    start("[Option]\r\nShowInTaskbar=0\r\n");
    HWND main = MainForm->handle();
    LONG ex = GetWindowLongA(main, GWL_EXSTYLE), style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    EXPECT_TRUE((style & WS_MINIMIZEBOX) && (style & WS_MAXIMIZEBOX));
    EXPECT_NE(GetWindow(main, GW_OWNER), nullptr);  // an owned window gets no button
    EXPECT_TRUE(IsWindowVisible(main));
    Application::instance().showTaskbarButton(true);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(StartupMendsTest, PlayAndPlaylistWindowsAreCreatedOwnedByTheMainWindow) {
    start();
    TPlayListForm* docked = PlayListForm;
    {
        TPlayListForm extra;  // created as at start-up, before docking
        ASSERT_TRUE(extra.create());
        EXPECT_EQ(GetWindow(extra.handle(), GW_OWNER), MainForm->handle());
        EXPECT_FALSE(GetWindowLongA(extra.handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
        PlayListForm = docked;
        extra.release();
    }
    PlayListForm = docked;
}

TEST_F(StartupMendsTest, TrayIconComesBackAfterTheShellRestarts) {
    start();
    ASSERT_TRUE(MainForm->TrayIconShown()) << "no notification area in this Wine desktop";
    NOTIFYICONDATAA nid = TrayIcon::makeRecord(MainForm->handle(), nullptr, "");
    nid.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &nid);  // what a shell restart does to every icon
    nid.uFlags = NIF_TIP;
    ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &nid));
    SendMessageA(MainForm->handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &nid));
    EXPECT_TRUE(MainForm->TrayIconShown());
}

TEST_F(StartupMendsTest, WithoutATrayIconClosingAndMinimisingNeverHideTheWindow) {
    start("[Option]\r\nCloseToTray=1\r\nMinimizedToTray=1\r\n");
    MainForm->RemoveTrayIcon();  // as when the shell refused the icon
    EXPECT_TRUE(MainForm->FormCloseQuery());
    EXPECT_TRUE(IsWindowVisible(MainForm->handle()));
    MainForm->ApplicationMinimize();
    EXPECT_TRUE(IsWindowVisible(MainForm->handle()));
}

TEST_F(StartupMendsTest, StoredPositionIsKeptInScreenCoordinatesWhateverTheWorkArea) {
    RECT saved = workArea(), moved = saved;
    moved.top += 60;  // a taskbar at the top
    moved.left += 40;
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &moved, 0));
    start("[WindowState]\r\nIsMaximized=0\r\nLeft=200\r\nTop=150\r\nWidth=640\r\nHeight=480\r\n");
    RECT r{};
    GetWindowRect(MainForm->handle(), &r);
    DestroyForms();
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    IniFile ini = settings();
    EXPECT_EQ(ini.readInteger("WindowState", "Left", 0), 200);
    EXPECT_EQ(ini.readInteger("WindowState", "Top", 0), 150);
    EXPECT_EQ(ini.readInteger("WindowState", "Width", 0), 640);
}

TEST_F(StartupMendsTest, FirstRestoreAfterAMaximisedStartIsCentredAt700By540) {
    start();
    ASSERT_TRUE(IsZoomed(MainForm->handle()));
    ShowWindow(MainForm->handle(), SW_RESTORE);
    RECT r{};
    GetWindowRect(MainForm->handle(), &r);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 540);
    EXPECT_EQ(r.left, (sw - 700) / 2);
    EXPECT_EQ(r.top, (sh - 540) / 2);
}

TEST_F(StartupMendsTest, OffScreenPositionsEndOnTheNearestWorkArea) {
    const RECT work = workArea();
    struct Case {
        const char* left;
        const char* top;
    } cases[] = {{"3000", "100"},
                 {"-2000", "100"},
                 {"2147483647", "2147483647"},
                 {"-2147483648", "-2147483648"},
                 {"100", "5000"}};
    for (const Case& c : cases) {
        start(std::string("[WindowState]\r\nIsMaximized=0\r\nLeft=") + c.left + "\r\nTop=" + c.top +
              "\r\nWidth=640\r\nHeight=480\r\n");
        RECT r{};
        GetWindowRect(MainForm->handle(), &r);
        app.stop();
        EXPECT_GE(r.left, work.left) << c.left;
        EXPECT_GE(r.top, work.top) << c.top;
        EXPECT_LE(r.right, work.right) << c.left;
        EXPECT_LE(r.bottom, work.bottom) << c.top;
        EXPECT_EQ(r.right - r.left, 640) << c.left;
        IniFile ini = settings();  // and written back where it now stands
        EXPECT_EQ(ini.readInteger("WindowState", "Left", -1), r.left) << c.left;
    }
}

TEST(WindowPosition, FitMovesTheShortestWayAndCutsOversizedRectangles) {
    const RECT work{0, 30, 1280, 1000};
    struct Case {
        int left, top, width, height;
        RECT fitted;
    } cases[] = {
        {100, 100, 640, 480, {100, 100, 740, 580}},
        {3000, 100, 640, 480, {640, 100, 1280, 580}},
        {-2000, 0, 640, 480, {0, 30, 640, 510}},
        {2147483647, -2147483647 - 1, 640, 480, {640, 30, 1280, 510}},
        {10, 10, 5000, -4, {0, 30, 1280, 1000}},
    };
    for (const Case& c : cases) {
        RECT r = FitRectToWorkArea(c.left, c.top, c.width, c.height, work);
        EXPECT_TRUE(EqualRect(&r, &c.fitted)) << c.left << "," << c.top << " -> " << r.left << "," << r.top
                                              << "," << r.right << "," << r.bottom;
    }
}

TEST_F(StartupMendsTest, HalfFailedStartKeepsStayOnTopAndMaximisedVideoAsStored) {
    ProgramPathOverride = folder.path();
    folder.write("Korvamelden.ini", "[WindowState]\r\nStayOnTop=1\r\nMaxVideoWindow=1\r\n");
    {
        TMainForm main;  // created, but the start-up ends before the first show
        ASSERT_TRUE(main.create());
        main.release();
    }
    IniFile ini = settings();
    EXPECT_TRUE(ini.readBool("WindowState", "StayOnTop", false));
    EXPECT_TRUE(ini.readBool("WindowState", "MaxVideoWindow", false));
}

TEST(StartupMends, MultiSelectionFolderEndingInATrailByte5CKeepsItsSeparator) {
    // 0x95 0x5C is one GBK character whose second byte looks like '\'.
    const char buffer[] = "C:\\\x95\x5c\0a.swf\0b.swf\0";
    EXPECT_EQ(SplitOpenFileNames(buffer, true),
              (std::vector<std::string>{"C:\\\x95\x5c\\a.swf", "C:\\\x95\x5c\\b.swf"}));
    const char root[] = "C:\\\0a.swf\0";
    EXPECT_EQ(SplitOpenFileNames(root, true), std::vector<std::string>{"C:\\a.swf"});
    const char single[] = "C:\\x\\a.swf\0";
    EXPECT_EQ(SplitOpenFileNames(single, true), std::vector<std::string>{"C:\\x\\a.swf"});
}

TEST(StartupMends, RandomOrderOfTheRealServicesIsNotTheSameEveryRun) {
    SystemServices* previous = setSystemServices(nullptr);
    std::mt19937 fixed{1u};
    std::uniform_int_distribution<int> d(0, (1 << 30) - 1);
    int same = 0;
    for (int i = 0; i < 8; ++i) same += sys().random(1 << 30) == d(fixed);
    setSystemServices(previous);
    EXPECT_LT(same, 8);
}

TEST(StartupMends, PaneSizesAndAlignmentAreClampedWhenRead) {
    test::ProgramFolder f;
    struct Case {
        const char* text;
        int Settings::*field;
        int expected;
    } cases[] = {
        {"[WindowState]\r\nWidthOfFlashInfo=-50\r\n", &Settings::WidthOfFlashInfo, kMinPaneSize},
        {"[WindowState]\r\nWidthOfFlashInfo=99999\r\n", &Settings::WidthOfFlashInfo, kMaxPaneSize},
        {"[WindowState]\r\nWidthOfFlashInfo=300\r\n", &Settings::WidthOfFlashInfo, 300},
        {"[WindowState]\r\nHeightOfFlashInfo=-1\r\n", &Settings::HeightOfFlashInfo, kMinPaneSize},
        {"[PlayListOption]\r\nAlignment=7\r\n", &Settings::Alignment, 0},
        {"[PlayListOption]\r\nAlignment=-1\r\n", &Settings::Alignment, 0},
        {"[PlayListOption]\r\nAlignment=2\r\n", &Settings::Alignment, 2},
    };
    for (const Case& c : cases) {
        f.write("Korvamelden.ini", c.text);
        IniFile ini(f.file("Korvamelden.ini"));
        EXPECT_EQ(ReadSettings(ini, f.path(), {}).*(c.field), c.expected) << c.text;
    }
}

TEST_F(StartupMendsTest, StaleTemporarySaveFilesAreRemovedAtStart) {
    const char* stale[] = {"kvi1.tmp", "kviA2F.tmp", "KVIFFFF.TMP"};
    const char* kept[] = {"kvi.tmp", "kviXYZ.tmp", "kvi12345.tmp", "other.tmp", "kvi1.tmp.bak"};
    for (const char* n : stale) folder.write(n, "x");
    for (const char* n : kept) folder.write(n, "x");
    CreateDirectoryA(folder.file("PlayLists").c_str(), nullptr);
    folder.write("PlayLists\\kvi7.tmp", "x");
    start();
    for (const char* n : stale) EXPECT_FALSE(folder.exists(n)) << n;
    for (const char* n : kept) EXPECT_TRUE(folder.exists(n)) << n;
    EXPECT_FALSE(folder.exists("PlayLists\\kvi7.tmp"));
}

TEST_F(StartupMendsTest, HundredThousandRecentEntriesStartAsFastAsTen) {
    auto timedStart = [&](int entries) {
        std::string ini = "[LatestUsedFiles]\r\n";
        for (int i = 1; i <= entries; ++i)
            ini += "File" + std::to_string(i) + "=C:\\m" + std::to_string(i) + ".swf\r\n";
        auto t0 = std::chrono::steady_clock::now();
        start(ini);
        auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
        EXPECT_EQ(RecentFiles.size(), static_cast<size_t>(std::min(entries, kRecentFilesOptionMax)));
        app.stop();
        return ms.count();
    };
    long long few = timedStart(10), many = timedStart(100000);
    EXPECT_LT(many, few * 2 + 1000) << few << " ms for 10, " << many << " ms for 100000";
    EXPECT_EQ(settings().readSection("LatestUsedFiles").size(), static_cast<size_t>(kRecentFilesOptionMax));
}

TEST(StartupMends, FolderOutsideTheAnsiCodePageIsReachedByItsShortName) {
    test::ProgramFolder f;
    wchar_t base[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, f.path().c_str(), -1, base, MAX_PATH);
    const std::wstring dir = std::wstring(base) + L"kv_\x0915\x0916";  // Devanagari: not in GBK
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    std::string folder = AnsiFolderOf(dir + L"\\Korvamelden.exe");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.find('?'), std::string::npos) << folder;
    IniFile ini(folder + "Korvamelden.ini");
    ini.writeInteger("Option", "ApplicationPRI", 3);
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(GetFileAttributesW((dir + L"\\Korvamelden.ini").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(IniFile(folder + "Korvamelden.ini").readInteger("Option", "ApplicationPRI", 0), 3);
    DeleteFileW((dir + L"\\Korvamelden.ini").c_str());
    RemoveDirectoryW(dir.c_str());
}

TEST(StartupMends, ThreeCopiesStartedTogetherLeaveOneRunning) {
    test::ProgramFolder f;
    const std::string exe = f.file("Korvamelden.exe");
    ASSERT_TRUE(CopyFileA(DistExe().c_str(), exe.c_str(), FALSE));
    std::string cmd = "\"" + exe + "\"";
    PROCESS_INFORMATION pis[3]{};
    for (PROCESS_INFORMATION& pi : pis) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                   nullptr, &si, &pi));
    }
    for (PROCESS_INFORMATION& pi : pis) ResumeThread(pi.hThread);  // as close together as can be
    HANDLE procs[3] = {pis[0].hProcess, pis[1].hProcess, pis[2].hProcess};
    // Two copies hand over and end; the third keeps running.
    int ended = 0;
    for (int waited = 0; waited < 20000 && ended < 2; waited += 100) {
        Sleep(100);
        ended = 0;
        for (HANDLE h : procs) ended += WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    }
    Sleep(1500);
    ended = 0;
    for (HANDLE h : procs) ended += WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    EXPECT_EQ(ended, 2);
    // Close the one left the normal way and wait for it.
    for (int i = 0; i < 50; ++i) {
        HWND w = FindWindowA("Korvamelden_qlo", nullptr);
        if (!w) break;
        PostMessageA(w, WM_CLOSE, 0, 0);
        Sleep(100);
    }
    EXPECT_EQ(WaitForMultipleObjects(3, procs, TRUE, 20000), WAIT_OBJECT_0);
    for (PROCESS_INFORMATION& pi : pis) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}
