// Menus built from tables: marks, radio groups, default items, run-time items.
#include <gtest/gtest.h>

#include "ui/Menu.h"

using namespace kv;

namespace {
const MenuSpec kSpec[] = {
    {0, "mmiView", "查看(&V)"},
    {1, "mmiHigh", "高", mfRadio | mfChecked, 2},
    {1, "mmiMiddle", "中", mfRadio, 2},
    {1, "mmiLow", "低", mfRadio, 2},
    {1, "N1", "-"},
    {1, "mmiSub", "子菜单"},
    {2, "mmiDeep", "深处", mfChecked},
    {1, "mmiHidden", "看不见", mfHidden},
    {1, "mmiLast", "最后"},
};

UINT stateOf(HMENU m, UINT id) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STATE;
    GetMenuItemInfoA(m, id, FALSE, &mi);
    return mi.fState;
}
}  // namespace

TEST(Menu, BuildsNestedItemsWithTheirMarksAndSkipsHiddenOnes) {
    Menu menu(kSpec, sizeof kSpec / sizeof kSpec[0], true);
    MenuItem& view = menu["mmiView"];
    EXPECT_EQ(view.count(), 7);  // hidden items exist as objects
    EXPECT_EQ(GetMenuItemCount(view.submenu()), 6);
    EXPECT_TRUE(menu["mmiDeep"].checked());
    EXPECT_TRUE(stateOf(menu.handle(), menu["mmiDeep"].id()) & MFS_CHECKED);
    EXPECT_EQ(menu["mmiDeep"].parent(), &menu["mmiSub"]);
    EXPECT_THROW(menu["nothing"], std::out_of_range);
}

TEST(Menu, CheckingARadioItemClearsItsGroup) {
    Menu menu(kSpec, sizeof kSpec / sizeof kSpec[0], true);
    menu["mmiLow"].setChecked(true);
    EXPECT_FALSE(menu["mmiHigh"].checked());
    EXPECT_FALSE(stateOf(menu.handle(), menu["mmiHigh"].id()) & MFS_CHECKED);
    EXPECT_TRUE(stateOf(menu.handle(), menu["mmiLow"].id()) & MFS_CHECKED);
    EXPECT_FALSE(menu["mmiMiddle"].checked());
}

TEST(Menu, OnlyOneDefaultItemPerSubmenu) {
    Menu menu(kSpec, sizeof kSpec / sizeof kSpec[0], true);
    MenuItem& view = menu["mmiView"];
    MenuItem* a = view.add("a", "甲");
    MenuItem* b = view.add("b", "乙");
    a->setDefault(true);
    b->setDefault(true);
    EXPECT_FALSE(a->isDefault());
    EXPECT_TRUE(b->isDefault());
    EXPECT_EQ(GetMenuDefaultItem(view.submenu(), FALSE, 0), b->id());
}

TEST(Menu, RunTimeItemsInsertRemoveAndDispatchClicks) {
    Menu menu(kSpec, sizeof kSpec / sizeof kSpec[0], true);
    MenuItem& sub = menu["mmiSub"];
    int clicks = 0;
    MenuItem* first = sub.insert(0, "", "C:\\a.swf");
    first->onClick = [&] { ++clicks; };
    EXPECT_EQ(sub.item(0), first);
    EXPECT_TRUE(Menu::dispatchCommand(first->id()));
    EXPECT_EQ(clicks, 1);
    UINT id = first->id();
    sub.clear();
    EXPECT_EQ(sub.count(), 0);
    EXPECT_EQ(GetMenuItemCount(sub.submenu()), 0);
    EXPECT_FALSE(Menu::dispatchCommand(id));  // a removed item no longer answers
    // An item inserted after a hidden one lands at the right place in the menu.
    MenuItem* end = menu["mmiView"].add("", "末尾");
    char buf[64];
    GetMenuStringA(menu["mmiView"].submenu(), 6, buf, sizeof buf, MF_BYPOSITION);
    EXPECT_STREQ(buf, "末尾");
    (void)end;
}
