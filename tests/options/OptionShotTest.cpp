// Screenshots of the seven pages of the options dialog (only when
// KV_SCREENSHOT_DIR names a folder).
#include <gtest/gtest.h>

#include "options/OptionForm.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/Screenshot.h"

using namespace kv;

TEST(OptionScreenshots, EveryPage) {
    const std::string dir = test::screenshotDir();
    if (dir.empty()) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
    test::AppHarness app;
    ASSERT_TRUE(
        app.start("[Option]\r\nListLatestFilesNum=4\r\nShowTrayIcon=1\r\nMinimizedToTray=1\r\n"
                  "[FileConvert]\r\nConvertMode=1\r\n"));
    TOptionForm f;
    f.showModeless();
    SetForegroundWindow(f.handle());
    for (int page = 0; page < TOptionForm::kPageCount; ++page) {
        f.lstOption().setSelectedIndex(page);
        f.lstOptionClick();
        test::pump(200);
        EXPECT_TRUE(
            test::saveWindowShot(f.handle(), dir + "\\options-page-" + std::to_string(page) + ".bmp"));
    }
}
