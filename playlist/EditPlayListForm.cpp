#include "playlist/EditPlayListForm.h"

#include <algorithm>

#include "app/AppState.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playlist/PlayListDialogs.h"
#include "playlist/PlayListFileDialogs.h"
#include "playlist/PlayListForm.h"
#include "ui/UiServices.h"

namespace kv {

TEditPlayListForm* EditPlayListForm = nullptr;

namespace {

const ControlSpec<TEditPlayListForm> kControls[] = {
    {Ctl::ReportList,
     "lvFileList",
     "动画名:80|文件名:160",
     nullptr,
     {7, 7, 250, 150},
     cfEditLabels | cfStretchX | cfStretchY},
    {Ctl::SpeedButton,
     "sbMoveup",
     "↑",
     nullptr,
     {262, 7, 18, 16},
     cfMoveX,
     "文件上移",
     &TEditPlayListForm::sbMoveupClick},
    {Ctl::SpeedButton,
     "sbMoveDown",
     "↓",
     nullptr,
     {262, 26, 18, 16},
     cfMoveX,
     "文件下移",
     &TEditPlayListForm::sbMoveDownClick},
    {Ctl::SpeedButton,
     "sbDel",
     "×",
     nullptr,
     {262, 45, 18, 16},
     cfMoveX,
     "删除",
     &TEditPlayListForm::sbDelClick},
    {Ctl::Button,
     "bbtnOpenFiles",
     "添加文件...",
     nullptr,
     {7, 163, 56, 14},
     cfMoveY,
     nullptr,
     &TEditPlayListForm::bbtnOpenFilesClick},
    {Ctl::Button,
     "bbtnOpenDir",
     "添加目录...",
     nullptr,
     {67, 163, 56, 14},
     cfMoveY,
     nullptr,
     &TEditPlayListForm::bbtnOpenDirClick},
    {Ctl::Button,
     "bbtnEdit",
     "编辑",
     nullptr,
     {127, 163, 40, 14},
     cfMoveY,
     nullptr,
     &TEditPlayListForm::bbtnEditClick},
    {Ctl::Button,
     "bbtnOK",
     "确定",
     nullptr,
     {186, 163, 45, 14},
     cfMoveX | cfMoveY,
     nullptr,
     &TEditPlayListForm::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {235, 163, 45, 14}, cfCancel | cfMoveX | cfMoveY},
};

}  // namespace

TEditPlayListForm::TEditPlayListForm() : DialogForm({"编辑播放列表", 287, 184, fsSizeable}) {
    declare(kControls);
    EditPlayListForm = this;
}

TEditPlayListForm::~TEditPlayListForm() {
    if (EditPlayListForm == this) EditPlayListForm = nullptr;
}

void TEditPlayListForm::FormCreate() {
    lvFileList = &get<ReportList>("lvFileList");
    const size_t n = std::min(PlayListFiles.size(), PlayListTitles.size());
    SendMessageA(lvFileList->handle(), WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < n && static_cast<int>(i) < PlayListCount; ++i)
        AddRow(PlayListTitles[i], PlayListFiles[i]);
    SendMessageA(lvFileList->handle(), WM_SETREDRAW, TRUE, 0);
}

void TEditPlayListForm::AddRow(const std::string& title, const std::string& path) {
    lvFileList->addRow({title, path});
}

void TEditPlayListForm::swapRows(int a, int b) {
    for (int c = 0; c < 2; ++c) {
        std::string t = lvFileList->cell(a, c);
        lvFileList->setCell(a, c, lvFileList->cell(b, c));
        lvFileList->setCell(b, c, t);
    }
}

void TEditPlayListForm::sbMoveupClick() {
    int p = lvFileList->selectedIndex();
    if (p <= 0) return;
    swapRows(p, p - 1);
    lvFileList->setSelectedIndex(p - 1);
    lvFileList->ensureVisible(p - 1);
}

void TEditPlayListForm::sbMoveDownClick() {
    int p = lvFileList->selectedIndex();
    if (p < 0 || p >= lvFileList->rowCount() - 1) return;
    swapRows(p, p + 1);
    lvFileList->setSelectedIndex(p + 1);
    lvFileList->ensureVisible(p + 1);
}

void TEditPlayListForm::sbDelClick() {
    int p = lvFileList->selectedIndex();
    if (p < 0) return;
    lvFileList->deleteRow(p);
    lvFileList->setSelectedIndex(p - 1);
}

void TEditPlayListForm::bbtnEditClick() {
    int p = lvFileList->selectedIndex();
    if (p < 0) return;
    SetFocus(lvFileList->handle());
    lvFileList->editRow(p);
}

void TEditPlayListForm::bbtnOpenFilesClick() {
    for (const std::string& f : ChooseMovies(handle(), "swf")) AddRow(ExtractFileTitle(f), f);
}

void TEditPlayListForm::bbtnOpenDirClick() {
    std::string folder;
    if (!BrowseForFolder("请选择需要添加的目录", "", folder)) return;
    SearchDirectory(folder, SearchTarget::EditPlayListRows);
}

void TEditPlayListForm::bbtnOKClick() {
    const int rows = lvFileList->rowCount();
    PlayListFiles.clear();
    PlayListTitles.clear();
    PlayListFiles.reserve(static_cast<size_t>(rows));
    PlayListTitles.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        PlayListTitles.push_back(lvFileList->cell(r, 0));
        PlayListFiles.push_back(lvFileList->cell(r, 1));
    }
    PlayListCount = rows;
    if (CurrentIndex > PlayListCount) CurrentIndex = PlayListCount;
    if (PlayListForm) PlayListForm->RefreshItems();
    close();
}

}  // namespace kv
