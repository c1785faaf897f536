#include "app/OpenURLForm.h"

#include "app/AppState.h"
#include "app/OpenURLHistory.h"
#include "app/Settings.h"
#include "favorites/ProgramIconPicture.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListState.h"
#include "ui/RuntimeErrors.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
using F = TOpenURLForm;

const ControlSpec<F> kOpenURLControls[] = {
    {Ctl::Label, "Label1", "请输入您要播放的在 Internet 上，电脑上或网络上的 ", nullptr, {36, 9, 200, 10}},
    {Ctl::Label, "Label2", "Flash 文件的 URL 或路径。", nullptr, {36, 21, 200, 10}},
    {Ctl::Label, "Label3", "打开：", nullptr, {7, 43, 26, 10}},
    {Ctl::ComboEdit, "cboFileName", "", nullptr, {34, 41, 200, 12}},
    {Ctl::Button, "bbtnOK", "确定", nullptr, {72, 64, 50, 14}, 0, nullptr, &F::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {128, 64, 50, 14}, cfCancel},
    {Ctl::Button, "bbtnBrowse", "浏览...", nullptr, {184, 64, 50, 14}, 0, nullptr, &F::bbtnBrowseClick},
};

const char* const kOpenURLFilter = "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe";
}  // namespace

TOpenURLForm::TOpenURLForm() : DialogForm({"打开URL", 242, 86}) { declare(kOpenURLControls); }

TOpenURLForm::~TOpenURLForm() = default;

void TOpenURLForm::FormCreate() {
    const int size = GetSystemMetrics(SM_CXICON);
    imgIcon_ = std::make_unique<MyImage>(this);
    imgIcon_->create(units().x(7), units().y(7), size, size);
    icon_ = ProgramIconPicture(size, GetSysColor(COLOR_BTNFACE));
    imgIcon_->setPicture(icon_.get());

    cboFileName().setDropDownRows(10);
    history_ = ReadOpenURLHistory(IniFile(ProgramPath + kSettingsFileName));
    for (const std::string& h : history_) cboFileName().add(h);
}

void TOpenURLForm::bbtnBrowseClick() {
    FileDialogRequest req;
    req.owner = handle();
    req.filter = kOpenURLFilter;
    req.defaultExt = "swf";
    req.initialDir = Options.LastOpenFolder;
    FileDialogResult out;
    if (ui().openFileDialog(req, out) && !out.files.empty()) cboFileName().setText(out.files.front());
}

void TOpenURLForm::bbtnOKClick() {
    const std::string t = cboFileName().text();
    if (PlayListForm) {
        PlayListForm->AddItem(t, ExtractFileTitle(t));
        CurrentIndex = PlayListCount;
    }
    Options.LastOpenFolder = AnsiExtractFilePath(t);
    AddOpenURLHistory(history_, t);
    setModalResult(IDOK);
}

void ShowOpenURLForm() {
    TOpenURLForm f;
    f.ShowModal();
    try {
        IniFile ini(ProgramPath + kSettingsFileName);
        WriteOpenURLHistory(ini, f.history());
        if (!ini.updateFile()) throw IniWriteError(ini.path());
    } catch (const std::exception& e) {
        ShowErrorReport(e);
    }
}

}  // namespace kv
