// The main window's start-up, shutdown and system integration, run with the
// real windows and files in a temporary program folder.
#include "app/MainForm.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/AppState.h"
#include "app/Program.h"
#include "platform/IniFile.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/SwfWriter.h"
#include "ui/Application.h"

using namespace kv;

namespace {

// A play window that records the commands it is given.
class SpyPlayForm : public TPlayForm {
public:
    std::vector<std::string> calls;
    void playAFile(const std::string& p) override { calls.push_back("playAFile " + p); }
    void pmiPlayClick() override { calls.push_back("play"); }
    void pmiStopClick() override { calls.push_back("stop"); }
    void MoveToPosition(int f) override { calls.push_back("move " + std::to_string(f)); }
};

class MainFormTest : public ::testing::Test {
protected:
    test::AppHarness app;
    test::ProgramFolder& folder = app.folder;
    test::FakeUiServices& ui = app.ui;
    test::FakeSystemServices& sys = app.sys;
    SpyPlayForm* spy = nullptr;

    void start(const std::string& ini = "", std::vector<std::string> params = {}) {
        auto s = std::make_unique<SpyPlayForm>();
        spy = s.get();
        ASSERT_TRUE(app.start(ini, std::move(params), std::move(s)));
    }
    static void pump() { test::AppHarness::pump(); }
    void TearDown() override { app.stop(); }
    std::vector<std::string> playCalls() const {
        std::vector<std::string> out;
        for (const auto& c : spy->calls)
            if (c != "stop") out.push_back(c);
        return out;
    }
};

void setClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

}  // namespace

TEST_F(MainFormTest, FirstStartIsMaximisedWithTrayIconTaskbarButtonAndNormalPriority) {
    start();
    EXPECT_EQ(MainForm->caption(), "TesvanorFlash播放器");
    EXPECT_TRUE(IsZoomed(MainForm->handle()));
    EXPECT_TRUE(MainForm->TrayIconShown());
    EXPECT_TRUE(Application::instance().taskbarButtonShown());
    EXPECT_EQ(sys.priorities, std::vector<DWORD>{NORMAL_PRIORITY_CLASS});
    ASSERT_FALSE(sys.volumes.empty());
    EXPECT_EQ(sys.volumes.front(), 65000u * 65536u + 65000u);
    EXPECT_EQ(MainForm->bar.lblCaption.text(), "准备就绪");
    EXPECT_TRUE(PlayForm->docked());
    EXPECT_TRUE(PlayListForm->docked());
    EXPECT_TRUE(MainForm->clipboardViewer().joined());
}

TEST_F(MainFormTest, StoredOptionsReachTheMenusAndTheWindow) {
    start("[WindowState]\r\nIsMaximized=0\r\nLeft=10\r\nTop=20\r\nWidth=640\r\nHeight=480\r\nStayOnTop=1\r\n"
          "MaxVideoWindow=1\r\n[PlayOption]\r\nLowQulity=1\r\nHighQulity=0\r\nCirclePlay=1\r\nHaveVolume=0\r\n"
          "[Option]\r\nApplicationPRI=1\r\nShowTrayIcon=0\r\n");
    RECT r;
    GetWindowRect(MainForm->handle(), &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_TRUE(MainForm->item("mmiStayOnTop").checked());
    EXPECT_TRUE(GetWindowLongA(MainForm->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(MainForm->item("mmiMaxVideoWindow").checked());
    EXPECT_FALSE(MainForm->pnlPlayList.visible());
    EXPECT_TRUE(MainForm->item("mmiLowQulity").checked());
    EXPECT_FALSE(MainForm->item("mmiHighQulity").checked());
    EXPECT_TRUE((*PlayForm->pmMain)["pmiLowQulity"].checked());
    EXPECT_TRUE(MainForm->item("mmiCirclePlay").checked());
    EXPECT_EQ(sys.volumes.back(), 0u);  // muted
    EXPECT_EQ(sys.priorities, std::vector<DWORD>{IDLE_PRIORITY_CLASS});
    EXPECT_FALSE(MainForm->TrayIconShown());
}

TEST_F(MainFormTest, ShutdownSavesTheListThenWritesSettingsWithoutPlayInfo) {
    start("[Option]\r\nResumePlayWhenStart=1\r\n[PlayInfo]\r\nFileName=C:\\gone.swf\r\n");
    PlayListForm->AddItem("C:\\Movies\\sea.swf", "sea");
    PlayListForm->pnlFlashInfo.setHeight(150);
    sys.screenSaverCalls.clear();
    DestroyForms();

    IniFile list(folder.file("Korvamelden.fpl"));
    EXPECT_EQ(list.readString("PlayList", "File1", ""), "C:\\Movies\\sea.swf");
    IniFile ini(folder.file("Korvamelden.ini"));
    // The playlist window stored its pane height before the settings were written.
    EXPECT_EQ(ini.readInteger("WindowState", "HeightOfFlashInfo", 0), 150);
    EXPECT_TRUE(ini.readBool("WindowState", "IsMaximized", false));
    EXPECT_FALSE(ini.valueExists("WindowState", "Left"));
    EXPECT_FALSE(ini.sectionExists("PlayInfo"));  // stopped at exit
    EXPECT_EQ(sys.screenSaverCalls, std::vector<bool>{true});
}

TEST_F(MainFormTest, CommandLineOpensByExtensionWhateverItsCase) {
    folder.write("list.fpl", "[PlayList]\r\nFile1=C:\\a.swf\r\nTitle1=a\r\nFile2=C:\\b.swf\r\nTitle2=b\r\n");
    struct Case {
        std::string ini, param;
        std::vector<std::string> calls;
        int count;
    };
    const Case cases[] = {
        {"", "C:\\Movies\\Sea.SWF", {"playAFile C:\\Movies\\Sea.SWF"}, 0},
        {"[Option]\r\nAddToPlayListWhenDbClickInWindows=1\r\n", "C:\\Movies\\Sea.Swf", {}, 1},
        {"", folder.file("list.FPL"), {}, 2},
        {"", "C:\\notes.txt", {}, 0},
    };
    for (const Case& c : cases) {
        folder.write("Korvamelden.ini", c.ini);
        DeleteFileA(folder.file("Korvamelden.fpl").c_str());
        start("", {c.param});
        EXPECT_EQ(playCalls(), c.calls) << c.param;
        EXPECT_EQ(PlayListCount, c.count) << c.param;
        TearDown();
    }
}

TEST_F(MainFormTest, PlaylistArgumentBecomesTheCurrentListWithItsName) {
    folder.write("list.fpl", "[PlayList]\r\nFile1=C:\\a.swf\r\nTitle1=a\r\n");
    start("", {folder.file("list.fpl")});
    EXPECT_EQ(CurrentPlayListFile, folder.file("list.fpl"));
    EXPECT_EQ(MainForm->lblPlayListName.text(), "list");
    EXPECT_EQ(PlayListForm->lstPlayList.count(), 1);
}

TEST_F(MainFormTest, ResumeEndsPausedAtTheStoredFrame) {
    folder.write("movie.swf", "FWS");
    const std::string resume = "[Option]\r\nResumePlayWhenStart=1\r\n[PlayInfo]\r\nFileName=" +
                               folder.file("movie.swf") + "\r\nFrame=40\r\nPlayStatus=2\r\n";
    start(resume);
    EXPECT_EQ(playCalls(), (std::vector<std::string>{"playAFile " + folder.file("movie.swf"), "move 40", "play"}));
    TearDown();
    // The same file as the current list item plays from the list.
    folder.write("Korvamelden.fpl", "[PlayList]\r\nFile1=" + folder.file("MOVIE.swf") + "\r\nTitle1=movie\r\n");
    start(resume);
    EXPECT_EQ(playCalls(), (std::vector<std::string>{"play", "move 40", "play"}));
}

TEST_F(MainFormTest, NothingPlaysWithoutResumeFileOrListItems) {
    start("[Option]\r\nResumePlayWhenStart=1\r\nAutoPlayWhenStart=1\r\n[PlayInfo]\r\nFileName=C:\\gone.swf\r\n");
    EXPECT_TRUE(playCalls().empty());
    TearDown();
    folder.write("Korvamelden.fpl", "[PlayList]\r\nFile1=C:\\a.swf\r\nTitle1=a\r\n");
    start("[Option]\r\nAutoPlayWhenStart=1\r\n");
    EXPECT_EQ(playCalls(), std::vector<std::string>{"play"});
}

namespace {
int g_forwarded = 0;
LRESULT CALLBACK countingViewer(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DRAWCLIPBOARD) ++g_forwarded;
    return DefWindowProcA(h, m, w, l);
}
}  // namespace

TEST_F(MainFormTest, ClipboardPathOfAMoviePlaysAndEveryChangeIsPassedOn) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = countingViewer;
    wc.lpszClassName = "KvTestViewer";
    RegisterClassA(&wc);
    HWND other = CreateWindowA("KvTestViewer", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND otherNext = SetClipboardViewer(other);
    swfw::Movie movie;
    movie.setBackground(255, 255, 255);
    movie.showFrame();
    ASSERT_TRUE(swfw::writeFile(folder.file("clip.swf"), movie.build()));
    start();
    EXPECT_EQ(MainForm->clipboardViewer().next(), other);

    g_forwarded = 0;
    setClipboardText(folder.file("clip.swf"));
    pump();
    EXPECT_EQ(playCalls(), std::vector<std::string>{"playAFile " + folder.file("clip.swf")});
    setClipboardText("just some words");
    pump();
    setClipboardText(folder.file("missing.swf"));
    pump();
    EXPECT_EQ(playCalls().size(), 1u);
    EXPECT_EQ(g_forwarded, 3);

    DestroyForms();  // leaves the chain: the other viewer is first again
    ChangeClipboardChain(other, otherNext);
    DestroyWindow(other);
}

TEST_F(MainFormTest, CloseAsksWhenConfirmationIsOn) {
    start("[Option]\r\nConfirmWhenQuit=1\r\n");
    ui.answers = {IDNO};
    MainForm->close();
    EXPECT_FALSE(Application::instance().terminated());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "是否确认退出？");
    EXPECT_EQ(ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONWARNING));
    ui.answers = {IDYES};
    MainForm->close();
    EXPECT_TRUE(Application::instance().terminated());
}

TEST_F(MainFormTest, CloseGoesToTheTrayWhenAskedTo) {
    start("[Option]\r\nCloseToTray=1\r\nConfirmWhenQuit=1\r\n");
    MainForm->close();
    pump();
    EXPECT_FALSE(Application::instance().terminated());
    EXPECT_FALSE(IsWindowVisible(MainForm->handle()));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainFormTest, TrayExitClosesWithoutAsking) {
    start("[Option]\r\nCloseToTray=1\r\nConfirmWhenQuit=1\r\n");
    (*MainForm->pmTrayMenu)["mmiApplicationClose"].click();
    EXPECT_TRUE(Application::instance().terminated());
    EXPECT_TRUE(ui.messages.empty());
    // The two hidden tray items are not in the menu.
    EXPECT_EQ(GetMenuItemCount(MainForm->pmTrayMenu->handle()), 9);
}

TEST_F(MainFormTest, TrayClickMinimisesAndRestores) {
    start("[Option]\r\nMinimizedToTray=1\r\n");
    MainForm->WMTrayIcon(WM_LBUTTONDOWN);
    pump();
    EXPECT_TRUE(MainForm->IsMinimized);
    EXPECT_FALSE(IsWindowVisible(MainForm->handle()));  // minimised to the tray
    MainForm->WMTrayIcon(WM_LBUTTONDOWN);
    pump();
    EXPECT_FALSE(MainForm->IsMinimized);
    EXPECT_TRUE(IsWindowVisible(MainForm->handle()));
}

TEST_F(MainFormTest, SecondCopyOnlyRaisesTheFirst) {
    start();
    ShowWindow(MainForm->handle(), SW_MINIMIZE);
    pump();
    ASSERT_TRUE(IsIconic(MainForm->handle()));

    std::string exe = std::string("Z:") + KV_DIST_DIR + "/Korvamelden.exe";
    for (char& c : exe)
        if (c == '/') c = '\\';
    std::string cmd = "\"" + exe + "\" \"" + folder.file("other.swf") + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    DWORD wait = WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(wait, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    pump();
    EXPECT_FALSE(IsIconic(MainForm->handle()));  // the first copy came back
    EXPECT_TRUE(playCalls().empty());           // the argument was not passed on
}
