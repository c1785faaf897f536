// The library menus built from the playlists and favorites folders, and the
// commands reached through them.
#include <gtest/gtest.h>

#include "app/Seams.h"
#include "platform/IniFile.h"
#include "playlist/LibraryMenus.h"
#include "tests/playlist/PlayListWindowSupport.h"

using namespace kv;

namespace kvtest {
namespace {

std::vector<std::string> Captions(const MenuItem& m, int from) {
    std::vector<std::string> out;
    for (int i = from; i < m.count(); ++i) out.push_back(m.item(i)->caption());
    return out;
}

std::vector<std::string> SelectorItems() {
    std::vector<std::string> out;
    for (int i = 0; i < MainForm->cboPlayList.count(); ++i) out.push_back(MainForm->cboPlayList.caption(i));
    return out;
}

using Strings = std::vector<std::string>;

TEST_F(PlayListWindowTest, AnEmptyLibraryLeavesOnlyTheFixedEntries) {
    start();
    EXPECT_EQ(MainForm->item("mmiPlayList").count(), 14);
    EXPECT_EQ(form().pmiSendTo().count(), 1);
    EXPECT_EQ(MainForm->cboPlayList.count(), 0);
    EXPECT_EQ(MainForm->lblPlayListName.text(), "正在播放");
}

TEST_F(PlayListWindowTest, NamedListsFillBothMenusAndTheSelectorWithTheCurrentOneBold) {
    start({"a.fpl", "b.fpl"}, "[PlayListInfo]\r\nFileName=" + folder.file("PlayLists\\b.fpl") + "\r\n");
    MenuItem& menu = MainForm->item("mmiPlayList");
    ASSERT_EQ(menu.count(), 17);
    Strings names = Captions(menu, 14);
    EXPECT_EQ(names[0], "-");
    std::sort(names.begin() + 1, names.end());  // listing order is the file system's
    EXPECT_EQ(names, (Strings{"-", "a", "b"}));
    for (int i = 15; i < 17; ++i) {
        EXPECT_EQ(menu.item(i)->isDefault(), menu.item(i)->caption() == "b");
        EXPECT_TRUE(menu.item(i)->radio());
        EXPECT_EQ(menu.item(i)->group(), 1);
    }
    EXPECT_EQ(Captions(form().pmiSendTo(), 1), Captions(menu, 14));
    EXPECT_EQ(SelectorItems(), Captions(menu, 15));
    EXPECT_EQ(MainForm->cboPlayList.imageIndex(0), 0);
    EXPECT_EQ(MainForm->lblPlayListName.text(), "b");
}

TEST_F(PlayListWindowTest, SpecialNamesSubFoldersAndCapitalExtensions) {
    start({"-.fpl", "a&b.fpl", "C.FPL", "old\\cartoons.fpl"});
    MenuItem& menu = MainForm->item("mmiPlayList");
    Strings names = Captions(menu, 15);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"C", "a&b", "cartoons"}));  // the list named "-" is left out
    // "&" shows as itself, not as an accelerator.
    for (int i = 15; i < menu.count(); ++i) {
        if (menu.item(i)->caption() != "a&b") continue;
        char text[32] = {};
        GetMenuStringA(menu.submenu(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "a&&b");
    }
    // A list in a sub-folder opens by its name in the playlists folder.
    for (int i = 15; i < menu.count(); ++i)
        if (menu.item(i)->caption() == "cartoons") menu.item(i)->click();
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "cartoons.fpl");
    EXPECT_EQ(PlayListCount, 0);
}

TEST_F(PlayListWindowTest, OnlyTheDashListStillAddsTheSeparators) {
    start({"-.fpl"});
    EXPECT_EQ(Captions(MainForm->item("mmiPlayList"), 14), Strings{"-"});
    EXPECT_EQ(Captions(form().pmiSendTo(), 1), Strings{"-"});
    EXPECT_EQ(MainForm->cboPlayList.count(), 0);
}

TEST_F(PlayListWindowTest, LoadingFromTheMenuSavesTheCurrentListFirstAndMarksOnlyTheClickedEntry) {
    start({"a.fpl", "b.fpl"});
    fill(2);
    MenuItem& menu = MainForm->item("mmiPlayList");
    MenuItem* a = menu.item(15)->caption() == "a" ? menu.item(15) : menu.item(16);
    MenuItem* b = a == menu.item(15) ? menu.item(16) : menu.item(15);
    a->click();
    EXPECT_EQ(IniFile(folder.file("Korvamelden.fpl")).readString("PlayList", "Title2", ""), "t2");
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "a.fpl");
    EXPECT_EQ(titles(), Strings{"x"});
    EXPECT_EQ(MainForm->lblPlayListName.text(), "a");
    EXPECT_TRUE(a->isDefault());
    b->click();
    EXPECT_FALSE(a->isDefault());
    EXPECT_TRUE(b->isDefault());
    EXPECT_EQ(MainForm->lblPlayListName.text(), "b");
}

TEST_F(PlayListWindowTest, AFailedSaveKeepsTheCurrentListWhenAnotherIsChosen) {
    start({"a.fpl"});
    fill(2);
    folder.write("Korvamelden.fpl", "");
    SetFileAttributesA(folder.file("Korvamelden.fpl").c_str(), FILE_ATTRIBUTE_READONLY);
    MainForm->item("mmiPlayList").item(15)->click();
    EXPECT_EQ(ui.lastText(), "Unable to write to " + folder.file("Korvamelden.fpl") + ".");
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
    EXPECT_EQ(PlayListCount, 2);
    SetFileAttributesA(folder.file("Korvamelden.fpl").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PlayListWindowTest, TheSelectorSwitchesListsAndIsIgnoredWhileMenusAreRebuilt) {
    start({"a.fpl"});
    PlayListSelector& cbo = MainForm->cboPlayList;
    cbo.setItemIndex(0);
    PlayListMenusRebuilding = true;
    cboPlayListChange();
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
    PlayListMenusRebuilding = false;
    MainForm->bar.onPlayListDropDown();
    EXPECT_TRUE(cbo.comboEnabled());
    SendMessageA(cbo.combo(), CB_SHOWDROPDOWN, FALSE, 0);
    cboPlayListChange();
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "a.fpl");
    EXPECT_EQ(MainForm->lblPlayListName.text(), "a");
    EXPECT_FALSE(cbo.comboEnabled());
    EXPECT_TRUE(MainForm->item("mmiPlayList").item(15)->isDefault());
}

TEST_F(PlayListWindowTest, SendToAppendsTheSelectedItemToANamedListButNeverToItsOwn) {
    start({"a.fpl", "b.fpl"});
    MenuItem& menu = MainForm->item("mmiPlayList");
    for (int i = 15; i < menu.count(); ++i)
        if (menu.item(i)->caption() == "b") menu.item(i)->click();
    fill(2);
    select(1);
    MenuItem& sendTo = form().pmiSendTo();
    for (int i = 2; i < sendTo.count(); ++i) {
        sendTo.item(i)->click();
        sendTo.item(i)->click();
    }
    IniFile a(PlayListsPath + "a.fpl");
    EXPECT_EQ(a.readSection("PlayList").size(), 6u);  // x, then t2 twice
    EXPECT_EQ(a.readString("PlayList", "Title3", ""), "t2");
    EXPECT_EQ(IniFile(PlayListsPath + "b.fpl").readSection("PlayList").size(), 2u);

    std::vector<std::string> favorites;
    Seams.addFileToFavorite = [&](const std::string& t, const std::string& p) {
        favorites.push_back(t + "|" + p);
    };
    form().item("pmiSendToFavorite").click();
    EXPECT_EQ(favorites, Strings{"t2|C:\\m\\t2.swf"});
}

TEST_F(PlayListWindowTest, FavoritesMenuListsEveryFavoriteOfTheFolderTree) {
    CreateDirectoryA(folder.file("Favorite").c_str(), nullptr);
    CreateDirectoryA(folder.file("Favorite\\sub").c_str(), nullptr);
    folder.write("Favorite\\sea.ffv", "");
    folder.write("Favorite\\sub\\sky.FFV", "");
    start();
    MenuItem& fav = MainForm->item("mmiFavorite");
    ASSERT_EQ(fav.count(), 5);
    EXPECT_EQ(fav.item(2)->caption(), "-");
    Strings names = Captions(fav, 3);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"sea", "sky"}));
    EXPECT_TRUE(fav.item(3)->onClick);
    EXPECT_TRUE(fav.item(4)->radio());
}

}  // namespace
}  // namespace kvtest
