#include "playlist/EditPlayListItemForm.h"

#include "app/AppState.h"
#include "options/FunctionUnit.h"
#include "playlist/PlayListFileDialogs.h"
#include "playlist/PlayListForm.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

const ControlSpec<TEditPlayListItemForm> kControls[] = {
    {Ctl::GroupBox, "GroupBox1", "原信息", nullptr, {7, 5, 240, 46}},
    {Ctl::Label, "Label1", "标题：", "GroupBox1", {6, 13, 26, 10}},
    {Ctl::Panel, "pnlTitle", "", "GroupBox1", {34, 11, 198, 12}, cfLowered},
    {Ctl::Label, "Label2", "文件：", "GroupBox1", {6, 29, 26, 10}},
    {Ctl::Panel, "pnlFileName", "", "GroupBox1", {34, 27, 198, 12}, cfLowered},
    {Ctl::GroupBox, "GroupBox2", "新信息", nullptr, {7, 55, 240, 46}},
    {Ctl::Label, "Label3", "标题：", "GroupBox2", {6, 13, 26, 10}},
    {Ctl::Edit, "edtTitle", "", "GroupBox2", {34, 11, 198, 12}},
    {Ctl::Label, "Label4", "文件：", "GroupBox2", {6, 29, 26, 10}},
    {Ctl::Edit, "edtFileName", "", "GroupBox2", {34, 27, 178, 12}},
    {Ctl::SpeedButton,
     "sbBrowse",
     "...",
     "GroupBox2",
     {215, 27, 17, 12},
     0,
     nullptr,
     &TEditPlayListItemForm::sbBrowseClick},
    {Ctl::Button,
     "bbtnOK",
     "确定",
     nullptr,
     {142, 107, 50, 14},
     cfDefault,
     nullptr,
     &TEditPlayListItemForm::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {197, 107, 50, 14}, cfCancel},
};

}  // namespace

TEditPlayListItemForm::TEditPlayListItemForm() : DialogForm({"编辑播放列表项目", 254, 128}) {
    declare(kControls);
}

void TEditPlayListItemForm::FormCreate() {
    pnlTitle = &get<DialogPanel>("pnlTitle");
    pnlFileName = &get<DialogPanel>("pnlFileName");
    edtTitle = &get<Edit>("edtTitle");
    edtFileName = &get<Edit>("edtFileName");
    int p = PlayListForm ? PlayListForm->SelectedItem() : -1;
    if (p < 0) return;
    pnlTitle->setText(PlayListTitles[p]);
    edtTitle->setText(PlayListTitles[p]);
    pnlFileName->setText(PlayListFiles[p]);
    edtFileName->setText(PlayListFiles[p]);
}

void TEditPlayListItemForm::sbBrowseClick() {
    FileDialogRequest req;
    req.owner = handle();
    req.filter = kMovieFilter;
    req.fileName = edtFileName->text();
    FileDialogResult out;
    if (!ui().openFileDialog(req, out) || out.files.empty()) return;
    edtFileName->setText(out.files.front());
    edtTitle->setText(ExtractFileTitle(out.files.front()));
}

void TEditPlayListItemForm::bbtnOKClick() {
    int p = PlayListForm ? PlayListForm->SelectedItem() : -1;
    if (p < 0) return;
    PlayListTitles[p] = edtTitle->text();
    PlayListFiles[p] = edtFileName->text();
    PlayListForm->lstPlayList.invalidateItem(p);
    setModalResult(IDOK);
}

}  // namespace kv
