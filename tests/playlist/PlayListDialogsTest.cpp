// The playlist dialogs through real messages: typed names, buttons, the
// directory search with its cancel.
#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "playlist/EditPlayListForm.h"
#include "playlist/EditPlayListItemForm.h"
#include "playlist/NewPlayListForm.h"
#include "playlist/PlayListDialogs.h"
#include "playlist/RenamePlayListForm.h"
#include "playlist/SearchDirectoryForm.h"
#include "tests/playlist/PlayListWindowSupport.h"

using namespace kv;

namespace kvtest {
namespace {

using Strings = std::vector<std::string>;

// Types characters into an edit as the keyboard does (WM_CHAR bytes).
void Type(Edit& e, const std::string& text) {
    for (unsigned char ch : text) PostMessageA(e.handle(), WM_CHAR, ch, 1);
    kv::test::AppHarness::pump(2);
}

void ClickButton(DialogForm& f, const char* name) {
    SendMessageA(f.get<Button>(name).handle(), BM_CLICK, 0, 0);
}

Strings Rows(const ReportList& lv) {
    Strings out;
    for (int r = 0; r < lv.rowCount(); ++r) out.push_back(lv.cell(r, 0));
    return out;
}

const char* const kHyphenWarning = "播放列表名称中不能包含下列任何字符之一:\r\r     - \\ / : * ? \" < > |";

TEST_F(PlayListWindowTest, NewListProposesTheFirstFreeName) {
    start({"新建播放列表.fpl", "新建播放列表1.fpl"});
    EXPECT_EQ(ProposeNewPlayListName(PlayListsPath, CurrentPlayListFile), "新建播放列表2");
    DeleteFileA((PlayListsPath + "新建播放列表.fpl").c_str());
    CurrentPlayListFile = PlayListsPath + "新建播放列表.fpl";  // current, not yet on disk
    TNewPlayListForm f;
    ASSERT_TRUE(f.create());
    EXPECT_EQ(f.edtPlayListName->text(), "新建播放列表2");
    EXPECT_EQ(f.caption(), "新建播放列表");
}

TEST_F(PlayListWindowTest, NewListNameRefusesTheHyphenAsTypedButNotWhenPasted) {
    start();
    TNewPlayListForm f;
    f.showModeless();
    f.edtPlayListName->setText("");
    Type(*f.edtPlayListName, "a-b");
    EXPECT_EQ(f.edtPlayListName->text(), "ab");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kHyphenWarning);
    EXPECT_EQ(ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
    SendMessageA(f.edtPlayListName->handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("-x"));
    EXPECT_EQ(f.edtPlayListName->text(), "ab-x");
    Type(*f.edtPlayListName, "动画");
    EXPECT_EQ(f.edtPlayListName->text(), "ab-x动画");
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(PlayListWindowTest, NewListSavesTheOldOneAndBecomesTheCurrentEmptyList) {
    start({"a.fpl"});
    fill(2);
    CurrentIndex = 2;
    TNewPlayListForm f;
    f.showModeless();
    f.edtPlayListName->setText("卡通");
    ClickButton(f, "bbtnOK");
    EXPECT_EQ(f.modalResult(), IDOK);
    EXPECT_EQ(IniFile(folder.file("Korvamelden.fpl")).readString("PlayList", "Title2", ""), "t2");
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "卡通.fpl");
    EXPECT_TRUE(folder.exists("PlayLists\\卡通.fpl"));
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(CurrentIndex, 0);
    EXPECT_EQ(form().lstPlayList.count(), 0);
    MenuItem& menu = MainForm->item("mmiPlayList");
    ASSERT_EQ(menu.count(), 17);
    EXPECT_EQ(menu.item(16)->caption(), "卡通");
    EXPECT_TRUE(menu.item(16)->isDefault());
    EXPECT_FALSE(menu.item(15)->isDefault());
    EXPECT_EQ(form().pmiSendTo().item(3)->caption(), "卡通");
    EXPECT_EQ(MainForm->cboPlayList.caption(1), "卡通");
    EXPECT_EQ(MainForm->lblPlayListName.text(), "卡通");
}

TEST_F(PlayListWindowTest, NewListIntoAnEmptyLibraryAddsTheSeparatorsFirst) {
    start();
    TNewPlayListForm f;
    f.showModeless();
    ClickButton(f, "bbtnOK");  // the proposed name
    EXPECT_EQ(Strings({MainForm->item("mmiPlayList").item(14)->caption(),
                       MainForm->item("mmiPlayList").item(15)->caption()}),
              (Strings{"-", "新建播放列表"}));
    EXPECT_EQ(form().pmiSendTo().count(), 3);
}

TEST_F(PlayListWindowTest, NewListWithAnExistingNameIsRefusedAndTheFileKept) {
    start({"Cartoons.fpl"});
    TNewPlayListForm f;
    f.showModeless();
    f.edtPlayListName->setText("cartoons");
    ClickButton(f, "bbtnOK");
    EXPECT_EQ(f.modalResult(), 0);  // stays open
    EXPECT_EQ(ui.lastText(), "无法新建播放列表 cartoons ，指定的文件与现有文件重名，请指定另一文件名。");
    EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(IniFile(PlayListsPath + "Cartoons.fpl").readString("PlayList", "Title1", ""), "x");
    EXPECT_EQ(MainForm->item("mmiPlayList").count(), 16);
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
}

TEST_F(PlayListWindowTest, NewListWithABlankNameOnlySavesAndAFolderThatCannotBeMadeIsReported) {
    start();
    fill(1);
    {
        TNewPlayListForm f;
        f.showModeless();
        f.edtPlayListName->setText("   ");
        ClickButton(f, "bbtnOK");
        EXPECT_EQ(f.modalResult(), IDCANCEL);
        EXPECT_TRUE(folder.exists("Korvamelden.fpl"));
        EXPECT_EQ(PlayListCount, 1);
    }
    RemoveDirectoryA(folder.file("PlayLists").c_str());
    folder.write("PlayLists", "a file where the folder should be");
    TNewPlayListForm f;
    f.showModeless();
    f.edtPlayListName->setText("new");
    ClickButton(f, "bbtnOK");
    EXPECT_EQ(f.modalResult(), 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().flags & MB_ICONERROR, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(CurrentPlayListFile, folder.file("Korvamelden.fpl"));
    EXPECT_EQ(PlayListCount, 1);
}

TEST_F(PlayListWindowTest, EditListMovesDeletesAtTheEndsAndOkShortensTheCurrentIndex) {
    start();
    fill(4);
    CurrentIndex = 4;
    form().item("pmiEditPlayList").click();
    ASSERT_NE(EditPlayListForm, nullptr);
    TEditPlayListForm& f = *EditPlayListForm;
    ReportList& lv = *f.lvFileList;
    EXPECT_EQ(Rows(lv), (Strings{"t1", "t2", "t3", "t4"}));
    EXPECT_EQ(lv.cell(3, 1), "C:\\m\\t4.swf");
    lv.setSelectedIndex(-1);
    f.sbMoveupClick();
    f.sbMoveDownClick();
    EXPECT_EQ(Rows(lv), (Strings{"t1", "t2", "t3", "t4"}));
    lv.setSelectedIndex(0);
    SendMessageA(f.get<SpeedButton>("sbMoveup").handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(f.get<SpeedButton>("sbMoveup").handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(Rows(lv), (Strings{"t1", "t2", "t3", "t4"}));
    lv.setSelectedIndex(3);
    f.sbMoveDownClick();
    EXPECT_EQ(Rows(lv), (Strings{"t1", "t2", "t3", "t4"}));
    f.sbMoveupClick();
    EXPECT_EQ(Rows(lv), (Strings{"t1", "t2", "t4", "t3"}));
    EXPECT_EQ(lv.selectedIndex(), 2);
    EXPECT_EQ(lv.cell(2, 1), "C:\\m\\t4.swf");
    lv.setSelectedIndex(0);
    f.sbDelClick();
    EXPECT_EQ(lv.selectedIndex(), -1);
    EXPECT_EQ(Rows(lv), (Strings{"t2", "t4", "t3"}));
    ClickButton(f, "bbtnOK");
    pump();
    EXPECT_EQ(EditPlayListForm, nullptr);  // closed and freed
    EXPECT_EQ(titles(), (Strings{"t2", "t4", "t3"}));
    EXPECT_EQ(PlayListFiles[1], "C:\\m\\t4.swf");
    EXPECT_EQ(CurrentIndex, 3);
    EXPECT_EQ(form().lstPlayList.count(), 3);
}

TEST_F(PlayListWindowTest, EditListOkWithNoRowsEmptiesAndCancelKeepsTheList) {
    start();
    fill(2);
    CurrentIndex = 1;
    ShowEditPlayListDialog();
    EditPlayListForm->lvFileList->setSelectedIndex(1);
    EditPlayListForm->sbDelClick();
    ClickButton(*EditPlayListForm, "bbtnCancel");
    pump();
    EXPECT_EQ(EditPlayListForm, nullptr);
    EXPECT_EQ(PlayListCount, 2);
    ShowEditPlayListDialog();
    ui.openResults.push_back({{"D:\\new\\n.swf"}, 1});
    EditPlayListForm->bbtnOpenFilesClick();
    EXPECT_EQ(Rows(*EditPlayListForm->lvFileList), (Strings{"t1", "t2", "n"}));
    EXPECT_EQ(ui.openRequests.back().defaultExt, "swf");
    for (int i = 0; i < 3; ++i) {
        EditPlayListForm->lvFileList->setSelectedIndex(0);
        EditPlayListForm->sbDelClick();
    }
    EXPECT_EQ(PlayListCount, 2);  // nothing changes before OK
    ClickButton(*EditPlayListForm, "bbtnOK");
    pump();
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(CurrentIndex, 0);
}

TEST_F(PlayListWindowTest, EditItemReplacesTheSelectedItemAndStaysOpenWithoutOne) {
    start();
    fill(2);
    select(1);
    TEditPlayListItemForm f;
    f.showModeless();
    EXPECT_EQ(f.pnlTitle->text(), "t2");
    EXPECT_EQ(f.edtFileName->text(), "C:\\m\\t2.swf");
    ui.openResults.push_back({{"E:\\动画\\海.swf"}, 1});
    f.sbBrowseClick();
    EXPECT_EQ(ui.openRequests.back().fileName, "C:\\m\\t2.swf");
    EXPECT_EQ(f.edtTitle->text(), "海");
    f.edtTitle->setText("大海");
    ClickButton(f, "bbtnOK");
    EXPECT_EQ(f.modalResult(), IDOK);
    EXPECT_EQ(titles(), (Strings{"t1", "大海"}));
    EXPECT_EQ(PlayListFiles[1], "E:\\动画\\海.swf");

    TEditPlayListItemForm g;
    g.showModeless();
    select(-1);
    ClickButton(g, "bbtnOK");
    EXPECT_EQ(g.modalResult(), 0);
    EXPECT_EQ(titles(), (Strings{"t1", "大海"}));
}

TEST_F(PlayListWindowTest, RenameToItsOwnNameIsRefusedAndANewNameRebuildsTheMenus) {
    start({"a.fpl", "b.fpl"}, "[PlayListInfo]\r\nFileName=" + folder.file("PlayLists\\a.fpl") + "\r\n");
    fill(1);
    {
        TRenamePlayListForm f("a");
        f.showModeless();
        EXPECT_EQ(f.edtPlayListName->text(), "a");
        ClickButton(f, "btnOK");
        EXPECT_EQ(ui.lastText(), "无法重命名 a ，指定的文件与现有文件重名，请指定另一文件名。");
        EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(f.modalResult(), IDCANCEL);  // closes
    }
    {
        TRenamePlayListForm f("a");
        f.showModeless();
        f.edtPlayListName->setText("");
        Type(*f.edtPlayListName, "c-d");  // the new list's filter applies
        EXPECT_EQ(f.edtPlayListName->text(), "cd");
        EXPECT_EQ(ui.lastText(), kHyphenWarning);
        ClickButton(f, "btnOK");
        EXPECT_EQ(f.modalResult(), IDOK);
    }
    EXPECT_FALSE(folder.exists("PlayLists\\a.fpl"));
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "cd.fpl");
    EXPECT_EQ(IniFile(PlayListsPath + "cd.fpl").readString("PlayList", "Title1", ""), "t1");
    EXPECT_EQ(MainForm->lblPlayListName.text(), "cd");
    Strings names;
    for (int i = 15; i < MainForm->item("mmiPlayList").count(); ++i)
        names.push_back(MainForm->item("mmiPlayList").item(i)->caption());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"b", "cd"}));
    EXPECT_EQ(MainForm->cboPlayList.count(), 2);
}

TEST_F(PlayListWindowTest, ARenameTheSystemRefusesIsReportedAndChangesNothing) {
    start({"a.fpl"}, "[PlayListInfo]\r\nFileName=" + folder.file("PlayLists\\a.fpl") + "\r\n");
    TRenamePlayListForm f("a");
    f.showModeless();
    f.edtPlayListName->setText("x?y");  // pasted: no filter; no file can hold it
    ClickButton(f, "btnOK");
    EXPECT_EQ(ui.lastText(), "重命名失败！");
    EXPECT_EQ(ui.messages.back().flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(CurrentPlayListFile, PlayListsPath + "a.fpl");
    EXPECT_TRUE(folder.exists("PlayLists\\a.fpl"));
}

class SearchTest : public PlayListWindowTest {
protected:
    std::string tree() {
        std::string root = folder.file("movies");
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "\\sub").c_str(), nullptr);
        for (const char* f : {"a.SWF", "b.exe", "c.txt", "sub\\d.swf", "sub\\e.swf", "sub\\f.swf"})
            folder.write(std::string("movies\\") + f, "x");
        return root;
    }
};

TEST_F(SearchTest, FilesOfTheFolderComeBeforeItsSubFoldersAndTheWindowClosesItself) {
    start();
    SearchDirectory(tree(), SearchTarget::CurrentList);
    for (int i = 0; i < 100 && PlayListCount < 5; ++i) pump();
    pump();
    ASSERT_EQ(PlayListCount, 5);
    Strings all = titles();
    Strings first(all.begin(), all.begin() + 2);
    std::sort(first.begin(), first.end());
    EXPECT_EQ(first, (Strings{"a", "b"}));
    for (int i = 2; i < 5; ++i) EXPECT_NE(PlayListFiles[i].find("\\sub\\"), std::string::npos);
    EXPECT_EQ(form().lstPlayList.count(), 5);
}

TEST_F(SearchTest, CancelInsideASubFolderStopsAtOnceAndKeepsTheFinds) {
    start();
    std::string root = tree();
    TSearchDirectoryForm f(root, true, SearchTarget::CurrentList);
    ASSERT_TRUE(f.create());
    f.onFileFound = [&](int found) {
        if (PlayListFiles.back().find("\\sub\\") != std::string::npos) ClickButton(f, "btnCancel");
        (void)found;
    };
    EXPECT_FALSE(f.AddDirectoryToComponent(root, true, SearchTarget::CurrentList));
    EXPECT_EQ(PlayListCount, 3);  // a, b and the first of the sub-folder
    EXPECT_EQ(f.FileNum(), 3);
    EXPECT_EQ(f.lblFileNum->text(), "3");
    EXPECT_EQ(f.lblCurrentFile->text(), PlayListFiles.back());
    EXPECT_FALSE(f.cancelRequested());  // cleared for the next search
    f.onFileFound = nullptr;
    EXPECT_TRUE(f.AddDirectoryToComponent(root + "\\sub", false, SearchTarget::CurrentList));
    EXPECT_EQ(PlayListCount, 6);
}

TEST_F(SearchTest, FindsGoToTheOpenEditListWindowForTarget2) {
    start();
    fill(1);
    ShowEditPlayListDialog();
    ui.browseResults.push_back(tree());
    EditPlayListForm->bbtnOpenDirClick();
    EXPECT_EQ(ui.browseTitles.back(), "请选择需要添加的目录");
    for (int i = 0; i < 100 && EditPlayListForm->lvFileList->rowCount() < 6; ++i) pump();
    EXPECT_EQ(EditPlayListForm->lvFileList->rowCount(), 6);
    EXPECT_EQ(PlayListCount, 1);  // the current list waits for OK
    ClickButton(*EditPlayListForm, "bbtnCancel");
    pump();
}

}  // namespace
}  // namespace kvtest
