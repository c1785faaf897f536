// The View toggles and the recent-files submenu, driven by menu commands
// sent to the main window.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace kv;
using namespace kv::test;

namespace {

class PanesTest : public ::testing::Test {
protected:
    AppHarness app;
    void TearDown() override { app.stop(); }
    // The command of a menu item, as choosing it from the menu bar sends it.
    static void command(const char* name) {
        SendMessageA(MainForm->handle(), WM_COMMAND, MainForm->item(name).id(), 0);
        AppHarness::pump(2);
    }
    static bool checked(const char* name) { return MainForm->item(name).checked(); }
    static bool rightPaneShown() { return IsWindowVisible(MainForm->pnlPlayList.handle()) != 0; }
    std::string movie(const char* name) {
        swfw::Movie m;
        m.setBackground(255, 255, 255);
        m.showFrame();
        const std::string path = app.folder.file(name);
        EXPECT_TRUE(swfw::writeFile(path, m.build()));
        return path;
    }
    static std::vector<std::string> submenu() {
        std::vector<std::string> out;
        MenuItem& sub = MainForm->item("mmiLatestUsedFiles");
        for (int i = 0; i < sub.count(); ++i) out.push_back(sub.item(i)->caption());
        return out;
    }
};

}  // namespace

TEST_F(PanesTest, TogglesHideAndRestoreThePanesAtTheirSizes) {
    ASSERT_TRUE(app.start());
    TPlayListForm& pl = *PlayListForm;
    const int width = MainForm->pnlPlayList.width();
    const int infoHeight = pl.pnlFlashInfo.height();
    ASSERT_TRUE(rightPaneShown());

    command("mmiShowPlayList");  // information only: it fills the pane
    EXPECT_FALSE(checked("mmiShowPlayList"));
    EXPECT_FALSE(IsWindowVisible(pl.pnlPlayList.handle()));
    EXPECT_GT(pl.pnlFlashInfo.height(), infoHeight);

    command("mmiShowFlashInfo");  // neither: the pane and its splitter go
    EXPECT_FALSE(rightPaneShown());
    EXPECT_FALSE(IsWindowVisible(MainForm->sptPlayList.handle()));

    command("mmiShowPlayList");
    command("mmiShowFlashInfo");  // both again, at the old sizes
    EXPECT_TRUE(rightPaneShown());
    EXPECT_EQ(MainForm->pnlPlayList.width(), width);
    EXPECT_EQ(pl.pnlFlashInfo.height(), infoHeight);
    EXPECT_TRUE(checked("mmiShowPlayList"));
    EXPECT_TRUE(checked("mmiShowFlashInfo"));
}

TEST_F(PanesTest, ShowingTheListEndsMaximisedVideoAndBringsTheInformationMarkBack) {
    ASSERT_TRUE(app.start());
    command("mmiShowFlashInfo");  // information off
    command("mmiMaxVideoWindow");
    EXPECT_TRUE(checked("mmiMaxVideoWindow"));
    EXPECT_FALSE(checked("mmiShowPlayList"));
    EXPECT_FALSE(rightPaneShown());
    EXPECT_EQ(MainForm->sbMaxVideoWindow.hint, "还原视频窗口");

    command("mmiShowPlayList");
    EXPECT_FALSE(checked("mmiMaxVideoWindow"));
    EXPECT_TRUE(checked("mmiShowPlayList"));
    EXPECT_FALSE(checked("mmiShowFlashInfo"));  // as it was before maximising
    EXPECT_TRUE(rightPaneShown());

    command("mmiMaxVideoWindow");
    command("mmiMaxVideoWindow");  // back: the marks as before
    EXPECT_TRUE(checked("mmiShowPlayList"));
    EXPECT_FALSE(checked("mmiShowFlashInfo"));
    EXPECT_EQ(MainForm->sbMaxVideoWindow.hint, "最大化视频窗口");
}

TEST_F(PanesTest, StayOnTopTogglesTheTopmostStyle) {
    ASSERT_TRUE(app.start());
    command("mmiStayOnTop");
    EXPECT_TRUE(GetWindowLongA(MainForm->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    command("mmiStayOnTop");
    EXPECT_FALSE(GetWindowLongA(MainForm->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(PanesTest, RecentFilesFollowTheCountOption) {
    struct Case {
        const char* what;
        int limit;
        std::vector<std::string> before;
        size_t after;  // entries after one more movie played
        bool added;
    } cases[] = {
        {"room left", 5, {"C:\\a.swf"}, 2, true},
        {"full: the oldest goes", 3, {"C:\\a.swf", "C:\\b.swf", "C:\\c.swf"}, 3, true},
        {"more than the limit: one out, one in",
         3,
         {"C:\\1.swf", "C:\\2.swf", "C:\\3.swf", "C:\\4.swf", "C:\\5.swf", "C:\\6.swf"},
         6,
         true},
        {"limit 0: kept as it is", 0, {"C:\\a.swf", "C:\\b.swf"}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string ini =
            "[Option]\r\nListLatestFilesNum=" + std::to_string(c.limit) + "\r\n[LatestUsedFiles]\r\n";
        for (size_t i = 0; i < c.before.size(); ++i)
            ini += "File" + std::to_string(i + 1) + "=" + c.before[i] + "\r\n";
        ASSERT_TRUE(app.start(ini));
        EXPECT_EQ(submenu(), c.before);
        const std::string path = movie("new.swf");
        PlayForm->playAFile(path);
        std::vector<std::string> items = submenu();
        EXPECT_EQ(items.size(), c.after);
        EXPECT_EQ(!items.empty() && items.front() == path, c.added);
        if (c.added && c.limit < static_cast<int>(c.before.size())) {
            // Only the entry at position `limit` went.
            std::vector<std::string> expect = c.before;
            expect.erase(expect.begin() + c.limit - 1);
            expect.insert(expect.begin(), path);
            EXPECT_EQ(items, expect);
        }
        PlayForm->pmiStopClick();
        app.stop();
    }
}

TEST_F(PanesTest, PlayingTheSameFileThreeTimesListsItThreeTimes) {
    ASSERT_TRUE(app.start("[Option]\r\nListLatestFilesNum=5\r\n"));
    const std::string path = movie("same.swf");
    for (int i = 0; i < 3; ++i) PlayForm->playAFile(path);
    EXPECT_EQ(submenu(), (std::vector<std::string>{path, path, path}));
    MenuItem& first = *MainForm->item("mmiLatestUsedFiles").item(0);
    EXPECT_TRUE(first.radio());
    EXPECT_EQ(first.group(), 1);
    PlayForm->pmiStopClick();
}
