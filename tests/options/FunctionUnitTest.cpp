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

TEST(FunctionUnit, EnsureTrailingBackslashAddsOnlyAMissingSeparator) {
    struct Case {
        std::string path, expected;
    } cases[] = {
        {"C:\\", "C:\\"},
        {"C:\\a", "C:\\a\\"},
        {"C:\\a\\\\", "C:\\a\\\\"},
        {"C:\\\x81\x5c", "C:\\\x81\x5c\\"},  // ends in a GBK character whose trail byte is '\'
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(EnsureTrailingBackslash(c.path), c.expected) << c.path;
}

TEST(FunctionUnit, ExtractFileTitleDropsFolderAndExtension) {
    struct Case {
        std::string path, expected;
    } cases[] = {
        {"D:\\Flash\\sea.swf", "sea"},
        {"a.b.swf", "a.b"},
        {"C:\\old.files\\movie", "movie"},
        {".swf", ""},
        {"movie.SWF", "movie"},
        {"D:movie.swf", "movie"},
        {"http://server/folder/movie.swf", "//server/folder/movie"},
        {"C:\\动画\\海.swf", "海"},
        {"C:\\\x81\x5c.swf", "\x81\x5c"},  // the trail byte 0x5C is no separator
    };
    for (const Case& c : cases) EXPECT_EQ(ExtractFileTitle(c.path), c.expected) << c.path;
}

TEST(FunctionUnit, DateTimeTextPadsOnlyTheClock) {
    test::FakeSystemServices sys;
    EXPECT_EQ(CurrentDateTimeText(), "2004年5月3日，09:05:07，星期一");
    sys.now = SYSTEMTIME{2005, 1, 6, 1, 0, 0, 0, 0};  // Saturday 1 January 2005, midnight
    EXPECT_EQ(CurrentDateTimeText(), "2005年1月1日，00:00:00，星期六");
    sys.now = SYSTEMTIME{2026, 12, 0, 31, 23, 59, 58, 999};
    EXPECT_EQ(CurrentDateTimeText(), "2026年12月31日，23:59:58，星期日");

    const char* names[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(FormatDateTimeText(2004, 5, 2 + d, 1, 2, 3, d),
                  "2004年5月" + std::to_string(2 + d) + "日，01:02:03，" + names[d]);
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

// The real shell dialog, answered by a second thread that presses one of its buttons.
class ShellFolderChooser : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvFolderChooserTest";
        RegisterClassA(&wc);
        main_ = CreateWindowExA(0, wc.lpszClassName, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(main_, nullptr);
        SetForegroundWindow(main_);
        SetActiveWindow(main_);
    }
    void TearDown() override { DestroyWindow(main_); }

    struct Watch {
        std::atomic<bool> found{false};
        std::atomic<bool> ownerEnabledDuringDialog{true};
    };

    struct Search {
        DWORD thread;
        HWND dialog;
    };
    static BOOL CALLBACK FindDialog(HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (GetWindowThreadProcessId(w, nullptr) == s->thread && std::string(cls) == "#32770" &&
            IsWindowVisible(w)) {
            s->dialog = w;
            return FALSE;
        }
        return TRUE;
    }

    // Waits for the chooser dialog of `guiThread`, notes whether the main
    // window was disabled meanwhile, then presses `button`.
    static void Answer(DWORD guiThread, HWND main, int button, Watch* watch) {
        for (int i = 0; i < 300 && !watch->found; ++i) {
            Sleep(50);
            Search search{guiThread, nullptr};
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            if (search.dialog) {
                Sleep(300);  // let the dialog fill its tree
                watch->ownerEnabledDuringDialog = IsWindowEnabled(main) != FALSE;
                watch->found = true;
                PostMessageA(search.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            }
        }
        if (!watch->found) {
            std::fprintf(stderr, "the folder chooser did not appear\n");
            ExitProcess(1);
        }
    }

    HWND main_ = nullptr;
};

TEST_F(ShellFolderChooser, CancelReturnsNothingAndRestoresTheWindows) {
    Watch watch;
    std::thread answer(Answer, GetCurrentThreadId(), main_, IDCANCEL, &watch);
    std::string folder = "stale";
    bool chosen = ShellBrowseForFolder("请选择需要添加的目录", "", folder);
    answer.join();
    EXPECT_FALSE(chosen);
    EXPECT_EQ(folder, "");
    EXPECT_TRUE(watch.found);
    EXPECT_FALSE(watch.ownerEnabledDuringDialog);
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(GetActiveWindow(), main_);
}

TEST_F(ShellFolderChooser, OkOnARootFolderReturnsItsPath) {
    kvtest::TempFolder root;
    Watch watch;
    std::thread answer(Answer, GetCurrentThreadId(), main_, IDOK, &watch);
    std::string folder;
    bool chosen = ShellBrowseForFolder("请选择文件的输出目录", root.path(), folder);
    answer.join();
    EXPECT_TRUE(chosen);
    EXPECT_TRUE(lstrcmpiA(folder.c_str(), root.path().c_str()) == 0) << folder << " vs " << root.path();
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(GetActiveWindow(), main_);
}

}  // namespace
}  // namespace kv
