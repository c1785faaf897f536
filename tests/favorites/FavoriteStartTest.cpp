// A ".ffv" given to the program at start plays its movie and counts a view.
#include <gtest/gtest.h>

#include "app/Seams.h"
#include "favorites/FavoriteFile.h"
#include "playback/PlayForm.h"
#include "tests/favorites/SpyPlayForm.h"
#include "tests/support/AppHarness.h"

using namespace kv;
using test::SpyPlayForm;

namespace {

TEST(FavoriteStart, FfvOnTheCommandLinePlaysAndCounts) {
    test::AppHarness app;
    const std::string movie = app.folder.file("sea.swf");
    app.folder.write("sea.swf", "FWS");
    CreateDirectoryA(app.folder.file("Other").c_str(), nullptr);
    const std::string ffv = app.folder.file("Other\\x.FFV");  // outside the favorites folder
    app.folder.write("Other\\x.FFV", "[Favorite]\r\nFile=" + movie + "\r\nViewTimes=1\r\n");
    auto spy = std::make_unique<SpyPlayForm>();
    SpyPlayForm* s = spy.get();
    ASSERT_TRUE(app.start("", {ffv}, std::move(spy)));
    EXPECT_EQ(s->files, std::vector<std::string>{movie});
    FavoriteItem f = ReadFavorite(ffv);
    EXPECT_EQ(f.ViewTimes, 2);
    EXPECT_FALSE(f.LastViewTime.empty());
}

TEST(FavoriteStart, FfvWhoseMovieIsMissingChangesNothing) {
    test::AppHarness app;
    const std::string text = "[Favorite]\r\nFile=" + app.folder.file("gone.swf") + "\r\nViewTimes=7\r\n";
    app.folder.write("x.ffv", text);
    auto spy = std::make_unique<SpyPlayForm>();
    SpyPlayForm* s = spy.get();
    ASSERT_TRUE(app.start("", {app.folder.file("x.ffv")}, std::move(spy)));
    EXPECT_TRUE(s->files.empty());
    EXPECT_EQ(app.folder.read("x.ffv"), text);
}

}  // namespace
