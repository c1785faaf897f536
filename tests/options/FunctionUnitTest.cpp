#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "options/FunctionUnit.h"
#include "tests/platform/TempFolder.h"
#include "tests/support/FakeSystemServices.h"
#include "tests/support/FakeUiServices.h"

namespace kv {
namespace {

TEST(FunctionUnit, PathRoutinesWorkOnWholeCharacters) {
    const std::pair<std::string, std::string> backslash[] = {{"C:\\", "C:\\"},
                                                             {"C:\\a", "C:\\a\\"},
                                                             {"C:\\a\\\\", "C:\\a\\\\"},
                                                             {"C:\\\x81\x5c", "C:\\\x81\x5c\\"},
                                                             {"", ""}};
    for (const auto& c : backslash) EXPECT_EQ(EnsureTrailingBackslash(c.first), c.second) << c.first;
    const std::pair<std::string, std::string> titles[] = {
        {"D:\\Flash\\sea.swf", "sea"},
        {"a.b.swf", "a.b"},
        {"C:\\old.files\\movie", "movie"},
        {".swf", ""},
        {"movie.SWF", "movie"},
        {"http://server/folder/movie.swf", "//server/folder/movie"},
        {"C:\\动画\\海.swf", "海"},
        {"C:\\\x81\x5c.swf", "\x81\x5c"},  // a trail byte 0x5C is no separator
    };
    for (const auto& c : titles) EXPECT_EQ(ExtractFileTitle(c.first), c.second) << c.first;
}

TEST(FunctionUnit, DateTimeTextPadsOnlyTheClock) {
    test::FakeSystemServices sys;  // Monday 3 May 2004, 09:05:07
    EXPECT_EQ(CurrentDateTimeText(), "2004年5月3日，09:05:07，星期一");
    sys.now = SYSTEMTIME{2005, 1, 6, 1, 0, 0, 0, 0};
    EXPECT_EQ(CurrentDateTimeText(), "2005年1月1日，00:00:00，星期六");
    const char* names[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(FormatDateTimeText(2026, 12, 31, 23, 59, 58, d),
                  std::string("2026年12月31日，23:59:58，") + names[d]);
}

TEST(FunctionUnit, BrowseForFolderAsksTheUiAndClearsOnCancel) {
    test::FakeUiServices ui;
    std::string folder = "stale";
    EXPECT_FALSE(BrowseForFolder("请选择需要添加的目录", "", folder));
    EXPECT_EQ(folder, "");
    ui.browseResults.push_back("C:\\Movies");
    EXPECT_TRUE(BrowseForFolder("请选择文件的输出目录", "", folder));
    EXPECT_EQ(folder, "C:\\Movies");
    EXPECT_EQ(ui.browseTitles, (std::vector<std::string>{"请选择需要添加的目录", "请选择文件的输出目录"}));
}

// The real shell dialog under Wine, answered by a thread that presses one of its buttons.
struct DialogAnswer {
    DWORD guiThread;
    HWND main;
    int button;
    std::atomic<bool> mainEnabledMeanwhile{true};
    HWND dialog = nullptr;

    static BOOL CALLBACK Find(HWND w, LPARAM p) {
        auto* self = reinterpret_cast<DialogAnswer*>(p);
        char cls[16] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (GetWindowThreadProcessId(w, nullptr) != self->guiThread || std::string(cls) != "#32770" ||
            !IsWindowVisible(w))
            return TRUE;
        self->dialog = w;
        return FALSE;
    }
    void run() {
        for (int i = 0; i < 300 && !dialog; ++i) {
            Sleep(50);
            EnumWindows(Find, reinterpret_cast<LPARAM>(this));
        }
        if (!dialog) {
            std::fprintf(stderr, "the folder chooser did not appear\n");
            ExitProcess(1);  // the GUI thread is stuck in the dialog
        }
        Sleep(300);  // let the dialog fill its tree
        mainEnabledMeanwhile = IsWindowEnabled(main) != FALSE;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
};

TEST(ShellFolderChooser, IsModalAndReturnsTheChosenFolderOrNothing) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "KvFolderChooserTest";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, wc.lpszClassName, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main, nullptr);
    SetActiveWindow(main);
    kvtest::TempFolder root;

    for (int button : {IDCANCEL, IDOK}) {
        DialogAnswer answer{GetCurrentThreadId(), main, button};
        std::thread helper(&DialogAnswer::run, &answer);
        std::string folder = "stale";
        bool chosen = ShellBrowseForFolder("请选择文件的输出目录", button == IDOK ? root.path() : "", folder);
        helper.join();
        EXPECT_FALSE(answer.mainEnabledMeanwhile) << button;
        EXPECT_TRUE(IsWindowEnabled(main)) << button;
        EXPECT_EQ(GetActiveWindow(), main) << button;
        EXPECT_EQ(chosen, button == IDOK);
        // OK on a root folder chooses that folder.
        EXPECT_EQ(folder, button == IDOK ? root.path() : "") << button;
    }
    DestroyWindow(main);
}

}  // namespace
}  // namespace kv
