#include "playlist/RenamePlayListForm.h"

#include "app/AppState.h"
#include "app/MainForm.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playlist/LibraryMenus.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListReport.h"
#include "ui/NameFilter.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

const ControlSpec<TRenamePlayListForm> kControls[] = {
    {Ctl::Label, "Label1", "请输入播放列表的名称：", nullptr, {7, 7, 160, 10}},
    {Ctl::Edit, "edtPlayListName", "", nullptr, {7, 20, 170, 12}},
    {Ctl::Button,
     "btnOK",
     "确定",
     nullptr,
     {72, 40, 50, 14},
     cfDefault,
     nullptr,
     &TRenamePlayListForm::btnOKClick},
    {Ctl::Button, "btnCancel", "取消", nullptr, {127, 40, 50, 14}, cfCancel},
};

}  // namespace

TRenamePlayListForm::TRenamePlayListForm(const std::string& currentName)
    : DialogForm({"重命名播放列表", 184, 61}), currentName_(currentName) {
    declare(kControls);
}

void TRenamePlayListForm::FormCreate() {
    edtPlayListName = &get<Edit>("edtPlayListName");
    // The same characters as a new list's name are refused.
    useNameFilter(*edtPlayListName, kPlayListNameFilter);
    edtPlayListName->setText(currentName_);
    edtPlayListName->selectAll();
    setActiveControl(edtPlayListName);
}

void TRenamePlayListForm::btnOKClick() {
    const std::string typed = edtPlayListName->text();
    // A blank name would make a file with no name: nothing changes.
    if (typed.find_first_not_of(" \t") == std::string::npos) {
        setModalResult(IDCANCEL);
        return;
    }
    const std::string oldPath = CurrentPlayListFile;
    const std::string folder = AnsiExtractFilePath(oldPath);
    const std::string newPath = folder + typed + ".fpl";
    if (GetFileAttributesA(newPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ui().messageBox(
            handle(),
            "无法重命名 " + ExtractFileTitle(oldPath) + " ，指定的文件与现有文件重名，请指定另一文件名。",
            kAppTitle, MB_OK | MB_ICONERROR);
        setModalResult(IDCANCEL);
        return;
    }
    if (!MoveFileA(oldPath.c_str(), newPath.c_str())) {
        ui().messageBox(handle(), "重命名失败！", kAppTitle, MB_OK | MB_ICONWARNING);
        setModalResult(IDCANCEL);
        return;
    }
    CurrentPlayListFile = newPath;
    if (MainForm) MainForm->lblPlayListName.setText(ExtractFileTitle(newPath));
    RunUserListCommand([&] { SavePlayList(newPath); });
    if (AnsiSameTextAscii(folder, PlayListsPath)) RebuildPlayListMenus();
    setModalResult(IDOK);
}

}  // namespace kv
