#include <gtest/gtest.h>
#include <windows.h>

#include "playlist/PlayListReport.h"
#include "tests/platform/TempFolder.h"
#include "tests/playlist/PlayListTestSupport.h"
#include "tests/support/FakeUiServices.h"

namespace kv {
namespace {

TEST(PlayListReport, FailedSaveOnAUserCommandIsShownAndOthersAreSilent) {
    test::FakeUiServices ui;
    kvtest::TempFolder folder;
    std::string fpl = folder.file("list.fpl");
    kvtest::WriteFileBytes(fpl, "[PlayList]\r\nFile1=old\r\nTitle1=old\r\n");
    kvtest::MakeReadOnly(fpl);
    kvtest::SetCurrentList({"new"}, {"new"});

    EXPECT_TRUE(RunUserListCommand([&] { SavePlayList(folder.file("ok.fpl")); }));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(RunUserListCommand([&] { SavePlayList(fpl); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to write to " + fpl + ".");
    EXPECT_EQ(ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(kvtest::ReadFileBytes(fpl), "[PlayList]\r\nFile1=old\r\nTitle1=old\r\n");
}

}  // namespace
}  // namespace kv
