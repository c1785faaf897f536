#include "playlist/NewPlayListForm.h"

#include "app/AppState.h"
#include "app/MainForm.h"
#include "platform/AnsiText.h"
#include "platform/IniFile.h"
#include "playlist/LibraryMenus.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListReport.h"
#include "ui/NameFilter.h"
#include "ui/RuntimeErrors.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

const ControlSpec<TNewPlayListForm> kControls[] = {
    {Ctl::Label, "Label1", "请输入要新建的播放列表的名称：", nullptr, {7, 7, 160, 10}},
    {Ctl::Edit, "edtPlayListName", "", nullptr, {7, 20, 170, 12}},
    {Ctl::Button,
     "bbtnOK",
     "确定",
     nullptr,
     {72, 40, 50, 14},
     cfDefault,
     nullptr,
     &TNewPlayListForm::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {127, 40, 50, 14}, cfCancel},
};

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

}  // namespace

std::string ProposeNewPlayListName(const std::string& playListsPath, const std::string& currentPlayListFile) {
    std::string name = "新建播放列表";
    for (int counter = 1;; ++counter) {
        std::string path = playListsPath + name + ".fpl";
        if (!FileExists(path) && path != currentPlayListFile) return name;
        name = "新建播放列表" + std::to_string(counter);
    }
}

TNewPlayListForm::TNewPlayListForm() : DialogForm({"新建播放列表", 184, 61}) { declare(kControls); }

void TNewPlayListForm::FormCreate() {
    edtPlayListName = &get<Edit>("edtPlayListName");
    useNameFilter(*edtPlayListName, kPlayListNameFilter);
    edtPlayListName->setText(ProposeNewPlayListName(PlayListsPath, CurrentPlayListFile));
    edtPlayListName->selectAll();
    setActiveControl(edtPlayListName);
}

void TNewPlayListForm::bbtnOKClick() {
    // The current list is kept first; when that fails nothing else happens.
    if (!RunUserListCommand([] { SavePlayList(CurrentPlayListFile); })) return;
    // Blanks around the name would not survive as a file name.
    const std::string name = Trim(edtPlayListName->text());
    if (name.empty()) {
        setModalResult(IDCANCEL);
        return;
    }
    const std::string path = PlayListsPath + name + ".fpl";
    // An existing list is never overwritten (the file system ignores case).
    if (FileExists(path) || AnsiSameTextAscii(path, CurrentPlayListFile)) {
        ui().messageBox(handle(),
                        "无法新建播放列表 " + name + " ，指定的文件与现有文件重名，请指定另一文件名。",
                        kAppTitle, MB_OK | MB_ICONERROR);
        return;
    }
    if (!FileExists(PlayListsPath) && !RunCommand([] { MakeDirectory(PlayListsPath); })) return;
    CurrentPlayListFile = path;
    AddPlayListToLibraryViews(name);
    if (MainForm) MainForm->lblPlayListName.setText(name);
    if (PlayListForm) ClearPlayList(*PlayListForm);
    RunUserListCommand([] { SavePlayList(CurrentPlayListFile); });
    setModalResult(IDOK);
}

}  // namespace kv
