// The favorites menu kept in step with adds, deletes and renames.
#include <gtest/gtest.h>

#include "favorites/FavoriteMenu.h"
#include "ui/Menu.h"

using namespace kv;

namespace {

const MenuSpec kSpec[] = {
    {0, "mmiFavorite", "收藏(&A)"},
    {1, "mmiAddToFav", "添加到收藏夹..."},
    {1, "mmiTidyFav", "整理收藏夹..."},
};

class FavoriteMenuTest : public ::testing::Test {
protected:
    Menu menu{kSpec, 3, false};
    MenuItem& fav = menu["mmiFavorite"];
    std::vector<std::string> clicked;

    void add(const std::string& name, bool isNew) {
        AppendFavoriteMenuEntry(fav, name, isNew,
                                [this](const MenuItem& m) { clicked.push_back(m.caption()); });
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < fav.count(); ++i) out.push_back(fav.item(i)->caption());
        return out;
    }
};

TEST_F(FavoriteMenuTest, SeparatorOnlyBeforeTheFirstFavorite) {
    add("a", true);
    add("b", true);
    add("a", false);  // the same name again: no second entry
    EXPECT_EQ(captions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "a", "b"}));
    EXPECT_TRUE(fav.item(3)->radio());
    EXPECT_EQ(fav.item(3)->group(), 1);
    fav.item(4)->click();
    EXPECT_EQ(clicked, std::vector<std::string>{"b"});
}

TEST_F(FavoriteMenuTest, UpdatingWhenOnlyFixedCommandsExistAddsTheSeparator) {
    add("a", false);  // a file that existed but had no entry
    EXPECT_EQ(captions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-"}));
}

TEST_F(FavoriteMenuTest, DeletingTheLastFavoriteRemovesTheSeparator) {
    add("a", true);
    RemoveFavoriteMenuEntries(fav, "a");
    EXPECT_EQ(captions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹..."}));
}

TEST_F(FavoriteMenuTest, DeleteRemovesOnlyTheExactCaption) {
    add("abc", true);
    add("ABC", true);  // listed from a sub-folder, say
    RemoveFavoriteMenuEntries(fav, "abc");
    EXPECT_EQ(captions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "ABC"}));
    RemoveFavoriteMenuEntries(fav, "zzz");
    EXPECT_EQ(fav.count(), 4);
}

TEST_F(FavoriteMenuTest, DuplicateEntriesAllGoWithTheSeparator) {
    add("a", true);
    add("a", true);
    RemoveFavoriteMenuEntries(fav, "a");
    EXPECT_EQ(fav.count(), 2);
}

TEST_F(FavoriteMenuTest, RenameChangesTheFirstMatchingEntry) {
    add("a", true);
    add("b", true);
    add("a", true);
    RenameFavoriteMenuEntry(fav, "a", "c");
    EXPECT_EQ(captions(), (std::vector<std::string>{"添加到收藏夹...", "整理收藏夹...", "-", "c", "b", "a"}));
}

}  // namespace
