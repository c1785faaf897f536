// The three favorites windows with the real main window, files and menu; the
// play window records what it is asked to play.
#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "favorites/AddToFavForm.h"
#include "favorites/FavFilePropertyForm.h"
#include "favorites/FavoriteFile.h"
#include "favorites/TidyFavForm.h"
#include "flashfile/Projector.h"
#include "playback/PlayForm.h"
#include "tests/favorites/SpyPlayForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace kv;
using test::SpyPlayForm;

namespace {

const std::string kToday = "2004年5月3日，09:05:07，星期一";  // the fake clock

class FavoriteDialogTest : public ::testing::Test {
protected:
    test::AppHarness app;
    SpyPlayForm* spy = nullptr;
    std::string movie;

    void SetUp() override {
        auto s = std::make_unique<SpyPlayForm>();
        spy = s.get();
        swfw::Movie m;
        m.frameRate = 0;
        for (int i = 0; i < 3; ++i) m.showFrame();
        movie = app.folder.file("three frames.swf");
        ASSERT_TRUE(swfw::writeFile(movie, m.build()));
        ASSERT_TRUE(app.start("", {}, std::move(s)));
    }
    MenuItem& menu() { return MainForm->item("mmiFavorite"); }
    std::vector<std::string> menuCaptions() {
        std::vector<std::string> out;
        for (int i = 0; i < menu().count(); ++i) out.push_back(menu().item(i)->caption());
        return out;
    }
    void add(const std::string& name, const std::string& path, const std::string& comment = "") {
        TAddToFavForm f;
        ASSERT_TRUE(f.create());
        f.setMovie(ExtractTitle(path), path);
        f.edtFavName().setText(name);
        f.mmoComments().setText(comment);
        f.bbtnOkClick();
    }
    static std::string ExtractTitle(const std::string& p) { return p.substr(p.rfind('\\') + 1); }
    std::string ffvText(const std::string& name) { return app.folder.read("Favorite\\" + name + ".ffv"); }
    int rowOf(TTidyFavForm& t, const std::string& name) {
        for (int i = 0; i < t.lvFav().rowCount(); ++i)
            if (t.lvFav().cell(i, 0) == name) return i;
        return -1;
    }
    void select(TTidyFavForm& t, const std::string& name) {
        t.lvFav().setSelectedIndex(rowOf(t, name));
        t.lvFavClick();
    }
};

TEST_F(FavoriteDialogTest, AddNewWritesTheFiveLinesAndOneMenuEntry) {
    TAddToFavForm f;
    ASSERT_TRUE(f.create());
    f.setMovie("three frames", movie);
    EXPECT_EQ(f.edtFavName().text(), "three frames");
    f.mmoComments().setText("好看\r\n第二行");
    f.bbtnOkClick();
    EXPECT_EQ(ffvText("three frames"), "[Favorite]\r\nFile=" + movie + "\r\nViewTimes=1\r\nLastViewTime=" +
                                           kToday + "\r\nComments=好看\r\n");
    EXPECT_EQ(menuCaptions(),
              (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "three frames"}));
    EXPECT_EQ(f.modalResult(), IDOK);
}

TEST_F(FavoriteDialogTest, AddAgainUnderTheSameNameCountsUpWithoutSecondEntry) {
    add("sea", movie, "one");
    add("sea", app.folder.file("other.swf"), "two");
    add("SEA", movie, "three");  // one file for both spellings
    FavoriteItem item = ReadFavorite(FavoritePath + "sea.ffv");
    EXPECT_EQ(item.ViewTimes, 3);
    EXPECT_EQ(item.Comments, "three");
    EXPECT_EQ(menuCaptions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "sea"}));
}

TEST_F(FavoriteDialogTest, BlankNameClosesWithoutWriting) {
    add("   ", movie);
    EXPECT_FALSE(app.folder.exists("Favorite"));
    EXPECT_EQ(menu().count(), 2);
}

// The favorites folder cannot be made (a file stands in its place): the
// runtime's ini error is reported and the window still closes.
TEST_F(FavoriteDialogTest, RefusedWriteIsReportedAndTheWindowCloses) {
    app.folder.write("Favorite", "not a folder");
    TAddToFavForm f;
    ASSERT_TRUE(f.create());
    f.setMovie("sea", movie);
    f.bbtnOkClick();
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "Unable to write to " + FavoritePath + "sea.ffv.");
    EXPECT_EQ(f.modalResult(), IDOK);
    EXPECT_EQ(menu().count(), 2);
}

TEST_F(FavoriteDialogTest, NameFieldRefusesFileNameCharacters) {
    TAddToFavForm f;
    ASSERT_TRUE(f.create());
    unsigned key = '?';
    EXPECT_FALSE(f.edtFavName().keyPress(key));
    key = '-';
    EXPECT_TRUE(f.edtFavName().keyPress(key));
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "文件名不能包含下列任何字符之一:\r\r     \\ / : * ? \" < > |");
    EXPECT_EQ(app.ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
}

TEST_F(FavoriteDialogTest, TidyListsSubFoldersAndPlaysByName) {
    add("sea", movie);
    CreateDirectoryA((FavoritePath + "old").c_str(), nullptr);
    app.folder.write("Favorite\\old\\cartoon.ffv", "[Favorite]\r\nFile=" + movie + "\r\n");
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    EXPECT_EQ(t.lvFav().rowCount(), 2);
    EXPECT_FALSE(t.lblLastViewTimeCaption().visible());
    select(t, "sea");
    EXPECT_EQ(t.lblViewTimes().text(), "欣赏次数：1");
    EXPECT_TRUE(t.lblLastViewTimeCaption().visible());
    EXPECT_EQ(t.lblLastViewTime().text(), kToday);
    EXPECT_EQ(t.Flash1().movie(), movie);
    t.bbtnPlayClick();
    t.bbtnPlayClick();
    EXPECT_EQ(spy->files, (std::vector<std::string>{movie, movie}));
    EXPECT_EQ(ReadFavorite(FavoritePath + "sea.ffv").ViewTimes, 3);
    // The sub-folder's favorite is looked for directly in the favorites folder.
    select(t, "cartoon");
    EXPECT_EQ(t.lblViewTimes().text(), "欣赏次数：1");
    t.bbtnPlayClick();
    EXPECT_EQ(spy->files.size(), 2u);
}

TEST_F(FavoriteDialogTest, MissingMovieIsShownButNeverPlayed) {
    add("gone", app.folder.file("gone.swf"));
    const std::string before = ffvText("gone");
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "gone");
    EXPECT_EQ(t.Flash1().movie(), "1.swf");
    t.bbtnPlayClick();
    EXPECT_TRUE(spy->files.empty());
    EXPECT_EQ(ffvText("gone"), before);
}

TEST_F(FavoriteDialogTest, DeleteAsksAndRemovesRowEntryAndSeparator) {
    add("sea", movie);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "sea");
    app.ui.answers.push_back(IDCANCEL);
    t.bbtnDelClick();
    EXPECT_TRUE(app.folder.exists("Favorite\\sea.ffv"));
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "确实要删除收藏夹项目“sea”吗？");
    EXPECT_EQ(app.ui.messages[0].flags, static_cast<unsigned>(MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2));
    t.bbtnDelClick();
    EXPECT_FALSE(app.folder.exists("Favorite\\sea.ffv"));
    EXPECT_EQ(t.lvFav().rowCount(), 0);
    EXPECT_EQ(menu().count(), 2);
}

TEST_F(FavoriteDialogTest, DeleteThatFailsKeepsRowAndEntry) {
    add("sea", movie);
    CreateDirectoryA((FavoritePath + "old").c_str(), nullptr);
    app.folder.write("Favorite\\old\\cartoon.ffv", "");
    menu().add("", "cartoon", mfRadio, 1);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "cartoon");  // its file is not in the favorites folder itself
    t.bbtnDelClick();
    EXPECT_EQ(app.ui.lastText(), "无法删除收藏夹项目“cartoon”。");
    EXPECT_EQ(t.lvFav().rowCount(), 2);
    EXPECT_EQ(menu().count(), 5);
}

TEST_F(FavoriteDialogTest, NoRowSelectedDoesNothing) {
    add("sea", movie);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    t.bbtnPlayClick();
    t.bbtnDelClick();
    t.bbtnPropertyClick();
    EXPECT_TRUE(spy->files.empty());
    EXPECT_TRUE(app.ui.messages.empty());
}

TEST_F(FavoriteDialogTest, PropertyWindowOfThreeFramesAtZeroFps) {
    add("three", movie, "备注");
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "three");
    TFavFilePropertyForm p(t);
    ASSERT_TRUE(p.create());
    TFlashFileAttr attr;
    GetFlashFileAttr(movie, attr);
    p.setFavorite("three", ReadFavorite(FavoritePath + "three.ffv"), attr);
    char caption[256];
    GetWindowTextA(p.handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "three frames 属性");
    EXPECT_EQ(p.edtFavTitle().text(), "three");
    EXPECT_EQ(p.edtViewTimes().text(), "1");
    EXPECT_EQ(p.mmoComments().text(), "备注");
    EXPECT_EQ(p.lvFileInfo().cell(0, 1), "Flash动画");
    EXPECT_EQ(p.lvFlashInfo().cell(1, 1), "3 帧");
    EXPECT_EQ(p.lvFlashInfo().cell(2, 1), "");
    EXPECT_EQ(p.lvFlashInfo().cell(3, 1), "");
    Label& link = p.label("lblChangeFilePosition");
    EXPECT_EQ(link.textColor(), RGB(0, 0, 0));
    link.onMouseEnter();
    EXPECT_EQ(link.textColor(), RGB(0, 0, 255));
    link.onMouseLeave();
    EXPECT_EQ(link.textColor(), RGB(0, 0, 0));
    EXPECT_EQ(p.label("lblGeneral").textColor(), RGB(0, 0, 0));
    EXPECT_EQ(p.label("lblFlashInfo").textColor(), static_cast<COLORREF>(7107702));
    p.lblFlashInfoClick();
    EXPECT_EQ(p.activePage(), 1);
    EXPECT_EQ(p.label("lblGeneral").textColor(), static_cast<COLORREF>(7107702));
    EXPECT_EQ(p.label("lblFlashInfo").textColor(), RGB(0, 0, 0));
}

TEST_F(FavoriteDialogTest, ProjectorFavoriteShowsItsType) {
    const std::string exe = app.folder.file("proj.exe");
    app.folder.write("stub.exe", std::string(64, 'M'));
    SwfToExe(movie, exe, app.folder.file("stub.exe"));
    add("proj", exe);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "proj");
    TFavFilePropertyForm p(t);
    ASSERT_TRUE(p.create());
    TFlashFileAttr attr;
    GetFlashFileAttr(exe, attr);
    ASSERT_TRUE(attr.IsFlashFile);
    p.setFavorite("proj", ReadFavorite(FavoritePath + "proj.ffv"), attr);
    EXPECT_EQ(p.lvFileInfo().cell(0, 1), "可执行的Flash动画");
}

TEST_F(FavoriteDialogTest, PropertiesOfAMissingMovieShowTheMessageOnly) {
    add("gone", app.folder.file("gone.swf"));
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    select(t, "gone");
    t.bbtnPropertyClick();
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "无法读取指定文件属性，该文件可能不是Flash文件。");
    EXPECT_EQ(app.ui.messages[0].flags, static_cast<unsigned>(MB_OK));
}

class PropertyEditTest : public FavoriteDialogTest {
protected:
    void edit(TTidyFavForm& t, const std::string& name, const std::string& newName, const std::string& path,
              const std::string& comment) {
        select(t, name);
        TFavFilePropertyForm p(t);
        ASSERT_TRUE(p.create());
        TFlashFileAttr attr;
        p.setFavorite(name, ReadFavorite(FavoritePath + name + ".ffv"), attr);
        p.edtFavTitle().setText(newName);
        p.edtFavFileName().setText(path);
        p.mmoComments().setText(comment);
        p.lblOKClick();
        EXPECT_EQ(p.modalResult(), IDOK);
    }
};

TEST_F(PropertyEditTest, RenameMovesRowAndMenuEntry) {
    add("old", movie);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    edit(t, "old", "新", "D:\\moved.swf", "note");
    EXPECT_EQ(t.lvFav().cell(0, 0), "新");
    EXPECT_EQ(menu().item(3)->caption(), "新");
    FavoriteItem item = ReadFavorite(FavoritePath + "新.ffv");
    EXPECT_EQ(item.File, "D:\\moved.swf");
    EXPECT_EQ(item.Comments, "note");
    EXPECT_EQ(item.ViewTimes, 1);
}

TEST_F(PropertyEditTest, CaseOnlyChangeKeepsTheFileName) {
    add("abc", movie);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    edit(t, "abc", "ABC", movie, "x");
    EXPECT_EQ(t.lvFav().cell(0, 0), "abc");
    EXPECT_EQ(menu().item(3)->caption(), "abc");
    EXPECT_EQ(ReadFavorite(FavoritePath + "abc.ffv").Comments, "x");
    EXPECT_TRUE(app.ui.messages.empty());
}

// A rename the file system refuses is reported; row and menu keep the old
// name and the new values are saved under it.
TEST_F(PropertyEditTest, RefusedRenameWarnsAndKeepsTheOldName) {
    add("old", movie);
    add("taken", movie);
    TTidyFavForm t;
    ASSERT_TRUE(t.create());
    for (const char* bad : {"taken", "a?b"}) {
        app.ui.messages.clear();
        edit(t, "old", bad, "D:\\moved.swf", "kept");
        ASSERT_EQ(app.ui.messages.size(), 1u) << bad;
        EXPECT_EQ(app.ui.messages[0].text, std::string("无法将收藏夹项目“old”重命名为“") + bad + "”。");
        EXPECT_EQ(app.ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(t.lvFav().cell(rowOf(t, "old"), 0), "old");
        EXPECT_EQ(menuCaptions(),
                  (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "old", "taken"}));
        FavoriteItem item = ReadFavorite(FavoritePath + "old.ffv");
        EXPECT_EQ(item.File, "D:\\moved.swf");
        EXPECT_EQ(item.Comments, "kept");
    }
    EXPECT_EQ(ReadFavorite(FavoritePath + "taken.ffv").File, movie);
}

}  // namespace
