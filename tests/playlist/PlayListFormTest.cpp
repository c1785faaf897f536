// The playlist window through real messages: drawing, keys, drops, the popup
// menu and the list commands with their questions.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/IniFile.h"
#include "playlist/LibraryMenus.h"
#include "tests/playlist/PlayListWindowSupport.h"

using namespace kv;

namespace kvtest {
namespace {

// One item drawn by the list's owner-draw message into a white-on-blue bitmap.
struct DrawnItem {
    static constexpr int W = 200, H = 24;
    std::vector<COLORREF> px;
    COLORREF at(int x, int y) const { return px[static_cast<size_t>(y * W + x)]; }
    // Columns holding any pixel other than the background colour.
    std::vector<bool> inkColumns(COLORREF background) const {
        std::vector<bool> cols(W, false);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (at(x, y) != background) cols[static_cast<size_t>(x)] = true;
        return cols;
    }
    bool has(COLORREF c) const {
        for (COLORREF p : px)
            if (p == c) return true;
        return false;
    }
};

DrawnItem DrawItem(TPlayListForm& f, int index, bool selected) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), DrawnItem::W, -DrawnItem::H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = selected ? ODS_SELECTED : 0;
    dis.hwndItem = f.lstPlayList.handle();
    dis.hDC = dc;
    dis.rcItem = {0, 0, DrawnItem::W, DrawnItem::H};
    SendMessageA(f.pnlPlayList.handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    DrawnItem out;
    const auto* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < DrawnItem::W * DrawnItem::H; ++i)
        out.px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return out;
}

int FirstInk(const std::vector<bool>& cols, int from) {
    for (int x = from; x < static_cast<int>(cols.size()); ++x)
        if (cols[static_cast<size_t>(x)]) return x;
    return -1;
}

const COLORREF kListBlue = RGB(14, 66, 121);
const COLORREF kCurrentGreen = RGB(137, 225, 22);

TEST_F(PlayListWindowTest, ItemsDrawTheirNumberAndTitleInColumnsWithTheCurrentItemInGreen) {
    start();
    Options.ShowIndex = true;
    Options.FontSize = 9;
    Options.Alignment = 2;
    fill(120);
    CurrentIndex = 7;
    DrawnItem current = DrawItem(form(), 6, false);
    EXPECT_EQ(current.at(0, 0), kListBlue);
    EXPECT_TRUE(current.has(kCurrentGreen));
    std::vector<bool> ink = current.inkColumns(kListBlue);
    // "7" at left + (3 - 1) * 9 div 2 + 2 = 11, the title at 14 + 20 = 34.
    int number = FirstInk(ink, 0);
    EXPECT_GE(number, 11);
    EXPECT_LE(number, 13);
    int gap = number;
    while (gap < DrawnItem::W && ink[static_cast<size_t>(gap)]) ++gap;
    int title = FirstInk(ink, gap);
    EXPECT_GE(title, 34);
    EXPECT_LE(title, 36);

    DrawnItem other = DrawItem(form(), 5, false);
    EXPECT_FALSE(other.has(kCurrentGreen));
    EXPECT_TRUE(other.has(RGB(255, 255, 255)));
    DrawnItem selected = DrawItem(form(), 5, true);
    EXPECT_EQ(selected.at(0, 0), GetSysColor(COLOR_HIGHLIGHT));
    DrawnItem selectedCurrent = DrawItem(form(), 6, true);
    EXPECT_TRUE(selectedCurrent.has(kCurrentGreen));

    Options.ShowIndex = false;
    DrawnItem plain = DrawItem(form(), 6, false);
    int start = FirstInk(plain.inkColumns(kListBlue), 0);
    EXPECT_GE(start, 2);
    EXPECT_LE(start, 4);
}

TEST_F(PlayListWindowTest, DeleteKeySelectsTheFirstAfterTheLastAndTheNextOtherwise) {
    start();
    fill(5);
    select(4);
    press(VK_DELETE);
    EXPECT_EQ(titles(), (std::vector<std::string>{"t1", "t2", "t3", "t4"}));
    EXPECT_EQ(PlayListCount, 4);
    EXPECT_EQ(form().lstPlayList.count(), 4);
    EXPECT_EQ(selection(), 0);
    select(2);
    press(VK_DELETE);
    EXPECT_EQ(titles(), (std::vector<std::string>{"t1", "t2", "t4"}));
    EXPECT_EQ(selection(), 2);

    fill(1);
    CurrentIndex = 1;
    select(0);
    press(VK_DELETE);
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(CurrentIndex, 0);
    press(VK_DELETE);  // nothing left, nothing selected
    EXPECT_EQ(PlayListCount, 0);
}

TEST_F(PlayListWindowTest, DeletingThePlayingFileStopsPlayback) {
    start();
    fill(3);
    CurrentFile = "C:\\M\\T2.SWF";
    spy->calls.clear();
    select(0);
    press(VK_DELETE);
    EXPECT_TRUE(spy->calls.empty());
    select(0);  // now t2
    press(VK_DELETE);
    EXPECT_EQ(spy->calls, std::vector<std::string>{"stop"});
}

TEST_F(PlayListWindowTest, AltArrowsMoveTheSelectedItemAndTheCurrentPositionStays) {
    start();
    fill(3);
    CurrentIndex = 2;
    select(1);
    press(VK_DOWN, false, true);
    EXPECT_EQ(titles(), (std::vector<std::string>{"t1", "t3", "t2"}));
    EXPECT_EQ(PlayListFiles[2], "C:\\m\\t2.swf");
    EXPECT_EQ(selection(), 2);
    EXPECT_EQ(CurrentIndex, 2);  // the green mark stays on position 2, now t3
    EXPECT_TRUE(DrawItem(form(), 1, false).has(kCurrentGreen));
    press(VK_DOWN, false, true);  // already last
    EXPECT_EQ(titles(), (std::vector<std::string>{"t1", "t3", "t2"}));
    select(0);
    press(VK_UP, false, true);  // already first
    EXPECT_EQ(titles(), (std::vector<std::string>{"t1", "t3", "t2"}));
    select(1);
    press(VK_UP, false, true);
    EXPECT_EQ(titles(), (std::vector<std::string>{"t3", "t1", "t2"}));
    EXPECT_EQ(selection(), 0);
}

TEST_F(PlayListWindowTest, DoubleClickStopsThenPlaysTheClickedItem) {
    start();
    fill(3);
    select(2);
    spy->calls.clear();
    PostMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(spy->calls, (std::vector<std::string>{"stop", "play 3"}));
}

TEST_F(PlayListWindowTest, DroppedMoviesAreAddedAndFoldersAndOtherFilesSkipped) {
    start();
    CreateDirectoryA(folder.file("dir.swf").c_str(), nullptr);
    spy->calls.clear();
    drop(
        {"C:\\a\\one.swf", "C:\\a\\two.SWF", "C:\\a\\three.exe", "C:\\a\\notes.txt", folder.file("dir.swf")});
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(PlayListCount, 3);
    EXPECT_EQ(form().lstPlayList.count(), 3);
    EXPECT_TRUE(spy->calls.empty());  // nothing starts playing
    // Names in UTF-16 arrive in the system code page; 淺 ends in the byte '\'.
    drop({"C:\\动画\\淺.swf", "C:\\x\\" + std::string(300, 'n') + ".swf"}, true);
    EXPECT_EQ(PlayListFiles[3], "C:\\动画\\淺.swf");
    EXPECT_EQ(PlayListTitles[3], "淺");
    EXPECT_EQ(PlayListCount, 4);  // a name cut at 255 characters has lost its extension
    PlayListFiles.resize(3);
    PlayListTitles.resize(3);
    PlayListCount = 3;
    form().RefreshItems();

    std::vector<std::string> many;
    for (int i = 0; i < 10000; ++i) many.push_back("C:\\many\\m" + std::to_string(i) + ".swf");
    DWORD t0 = GetTickCount();
    drop(many);
    DWORD took = GetTickCount() - t0;
    EXPECT_EQ(PlayListCount, 10003);
    EXPECT_EQ(form().lstPlayList.count(), 10003);
    EXPECT_EQ(PlayListTitles.back(), "m9999");
    EXPECT_LT(took, 5000u);  // generous: a busy machine; typically well under a second
    std::printf("dropping 10000 files took %lu ms\n", static_cast<unsigned long>(took));
}

TEST_F(PlayListWindowTest, PopupShowsTheItemCommandsOnlyWithASelection) {
    start();
    fill(2);
    select(-1);
    form().pmPlayListPopup();
    EXPECT_EQ(GetMenuItemCount(form().pmPlayList->handle()), 5);
    EXPECT_FALSE(form().item("pmiDeleteFromComputer").visible());
    select(1);
    form().pmPlayListPopup();
    EXPECT_EQ(GetMenuItemCount(form().pmPlayList->handle()), 17);
    char text[64] = {};
    GetMenuStringA(form().pmPlayList->handle(), 16, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "从计算机中删除");
    // The send-to submenu survives being hidden and shown.
    HMENU sendTo = GetSubMenu(form().pmPlayList->handle(), 12);
    ASSERT_NE(sendTo, nullptr);
    GetMenuStringA(sendTo, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "收藏夹");
}

TEST_F(PlayListWindowTest, DeleteFromComputerAsksFirstAndShiftDeleteReachesIt) {
    start();
    folder.write("gone.swf", "FWS");
    fill(2);
    PlayListFiles[1] = folder.file("gone.swf");
    select(1);
    ui.answers = {IDCANCEL};
    press(VK_DELETE, true);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "将从您的计算机中删除文件“" + folder.file("gone.swf") + "”，是否确认删除？");
    EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(folder.exists("gone.swf"));
    EXPECT_EQ(PlayListCount, 2);
    press(VK_DELETE, true);  // answered OK
    EXPECT_FALSE(folder.exists("gone.swf"));
    EXPECT_EQ(PlayListCount, 1);
    select(0);  // C:\m\t1.swf does not exist: removed without a question
    press(VK_DELETE, true);
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(PlayListWindowTest, ClearAsksAndEmptiesTheListOnOk) {
    start();
    fill(3);
    CurrentIndex = 2;
    ui.answers = {IDCANCEL};
    form().item("pmiClearPlayList").click();
    EXPECT_EQ(PlayListCount, 3);
    EXPECT_EQ(ui.lastText(), "即将清空当前播放列表，此操作不可恢复，是否继续？");
    EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OKCANCEL | MB_ICONQUESTION));
    spy->calls.clear();
    form().item("pmiClearPlayList").click();
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(CurrentIndex, 0);
    EXPECT_EQ(form().lstPlayList.count(), 0);
    EXPECT_EQ(spy->calls, std::vector<std::string>{"stop"});
}

TEST_F(PlayListWindowTest, TheDefaultListCannotBeRenamedButCanBeDeleted) {
    start();
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
    MainForm->item("mmiRenamePlayList").click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "当前播放列表为默认播放列表，不允许对其重命名。");
    EXPECT_EQ(ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));

    fill(2);
    form().SavePlayList(CurrentPlayListFile);
    form().item("pmiDeletePlayList").click();
    EXPECT_EQ(ui.lastText(), "是否确定要删除当前播放列表？");
    EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_FALSE(folder.exists("Korvamelden.fpl"));
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(MainForm->lblPlayListName.text(), "正在播放");
}

TEST_F(PlayListWindowTest, DeletingANamedListRebuildsTheMenusAndAReadOnlyOneIsReported) {
    start({"a.fpl", "b.fpl"});
    MenuItem& menu = MainForm->item("mmiPlayList");
    menu.item(16)->click();  // b
    ASSERT_EQ(CurrentPlayListFile, PlayListsPath + "b.fpl");
    SetFileAttributesA((PlayListsPath + "b.fpl").c_str(), FILE_ATTRIBUTE_READONLY);
    form().item("pmiDeletePlayList").click();
    EXPECT_EQ(ui.lastText(), "Unable to delete " + PlayListsPath + "b.fpl.");
    EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "b.fpl");
    EXPECT_EQ(PlayListCount, 1);
    SetFileAttributesA((PlayListsPath + "b.fpl").c_str(), FILE_ATTRIBUTE_NORMAL);
    form().item("pmiDeletePlayList").click();
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
    ASSERT_EQ(menu.count(), 16);
    EXPECT_EQ(menu.item(15)->caption(), "a");
    EXPECT_EQ(MainForm->cboPlayList.count(), 1);
    EXPECT_EQ(MainForm->lblPlayListName.text(), "正在播放");
}

TEST_F(PlayListWindowTest, FileDialogsUseTheirFiltersExtensionsAndRememberedFolders) {
    start();
    Options.LastOpenFolder = "C:\\open\\";
    Options.LastSaveFolder = "C:\\save\\";
    ui.openResults.push_back({{"D:\\movies\\a.swf", "D:\\movies\\b.exe"}, 1});
    form().item("pmiOpenFiles").click();
    ASSERT_EQ(ui.openRequests.size(), 1u);
    EXPECT_EQ(ui.openRequests[0].filter, "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe");
    EXPECT_TRUE(ui.openRequests[0].multiSelect);
    EXPECT_EQ(ui.openRequests[0].initialDir, "C:\\open\\");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Options.LastOpenFolder, "D:\\movies\\");

    folder.write("other.fpl", "[PlayList]\r\nFile1=C:\\z.swf\r\nTitle1=z\r\n");
    ui.openResults.push_back({{folder.file("other.fpl")}, 1});
    form().item("pmiLoadPlayList").click();
    EXPECT_EQ(ui.openRequests[1].filter, "TesvanorFlash播放器播放列表|*.fpl");
    EXPECT_EQ(ui.openRequests[1].defaultExt, "fpl");
    EXPECT_EQ(ui.openRequests[1].initialDir, "D:\\movies\\");
    EXPECT_EQ(CurrentPlayListFile, folder.file("other.fpl"));
    EXPECT_EQ(MainForm->lblPlayListName.text(), "other");
    EXPECT_EQ(Options.LastOpenFolder, folder.path());

    ui.saveResults.push_back({{folder.file("copy.fpl")}, 1});
    form().item("pmiSavePlayList").click();
    EXPECT_EQ(ui.saveRequests[0].defaultExt, "fpl");
    EXPECT_EQ(ui.saveRequests[0].initialDir, "C:\\save\\");
    EXPECT_EQ(IniFile(folder.file("copy.fpl")).readString("PlayList", "Title1", ""), "z");
    EXPECT_EQ(CurrentPlayListFile, folder.file("other.fpl"));  // a copy
    EXPECT_EQ(Options.LastSaveFolder, folder.path());

    select(0);
    form().item("pmiSaveAs").click();  // cancelled
    EXPECT_EQ(ui.saveRequests[1].filter, "flash动画|*.swf|可执行flash动画|*.exe");
    EXPECT_EQ(ui.saveRequests[1].defaultExt, "exe");
    EXPECT_FALSE(ui.saveRequests[1].overwritePrompt);
}

}  // namespace
}  // namespace kvtest
