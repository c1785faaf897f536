// Screenshots of the three favorites windows (only when KV_SCREENSHOT_DIR
// names a folder).
#include <gtest/gtest.h>

#include "app/AppState.h"
#include "favorites/AddToFavForm.h"
#include "favorites/FavFilePropertyForm.h"
#include "favorites/FavoriteFile.h"
#include "favorites/TidyFavForm.h"
#include "options/FunctionUnit.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/Screenshot.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace kv;

TEST(FavoriteScreenshots, ThreeWindows) {
    const std::string dir = test::screenshotDir();
    if (dir.empty()) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
    test::AppHarness app;
    ASSERT_TRUE(app.start());
    swfw::Movie m;
    m.setBackground(0x30, 0x70, 0xC0);
    for (int i = 0; i < 24; ++i) m.showFrame();
    const std::string movie = app.folder.file("海边日落.swf");
    ASSERT_TRUE(swfw::writeFile(movie, m.build()));
    AddOrUpdateFavorite(FavoritePath, "海边日落", movie, "很好看的动画", CurrentDateTimeText());
    AddOrUpdateFavorite(FavoritePath, "小熊跳舞", movie, "", CurrentDateTimeText());

    {
        TAddToFavForm f;
        ASSERT_TRUE(f.create());
        f.setMovie("海边日落", movie);
        f.mmoComments().setText("周末再看一遍");
        f.showModeless();
        SetForegroundWindow(f.handle());
        test::pump(200);
        EXPECT_TRUE(test::saveWindowShot(f.handle(), dir + "\\favorites-add.bmp"));
    }
    TTidyFavForm t;
    t.showModeless();
    SetForegroundWindow(t.handle());
    t.lvFav().setSelectedIndex(1);
    t.lvFavClick();
    test::pump(300);
    EXPECT_TRUE(test::saveWindowShot(t.handle(), dir + "\\favorites-tidy.bmp"));

    TFavFilePropertyForm p(t);
    ASSERT_TRUE(p.create());
    TFlashFileAttr attr;
    GetFlashFileAttr(movie, attr);
    p.setFavorite(t.selectedName(), ReadFavorite(FavoritePath + t.selectedName() + ".ffv"), attr);
    SetCursorPos(0, 0);  // the link at rest, not under the pointer
    p.showModeless();
    SetForegroundWindow(p.handle());
    test::pump(200);
    EXPECT_TRUE(test::saveWindowShot(p.handle(), dir + "\\favorites-property-general.bmp"));
    p.lblFlashInfoClick();
    test::pump(200);
    EXPECT_TRUE(test::saveWindowShot(p.handle(), dir + "\\favorites-property-target.bmp"));
}
