#include "flashfile/FileConvertForm.h"

#include <windowsx.h>

#include <algorithm>

#include "app/AppState.h"
#include "flashfile/FlashFileAttr.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "platform/ExclusiveFile.h"
#include "playlist/DirectoryWalker.h"
#include "ui/Application.h"
#include "ui/UiServices.h"

namespace kv {

bool FileConvertFormExists = false;
TFileConvertForm* FileConvertForm = nullptr;
std::function<void(const std::vector<std::string>&)> PlayConvertedFiles;

namespace {

using F = TFileConvertForm;

// Heights at 96 DPI: title 29 px (a 3-px line along its bottom), progress strip 17 px.
const ControlSpec<F> kFileConvertControls[] = {
    {Ctl::Panel, "pnlTitle", "", nullptr, {0, 0, 320, 19}, cfStretchX},
    {Ctl::SpeedButton,
     "sbBeginConvert",
     "开始转换",
     "pnlTitle",
     {268, 2, 48, 13},
     cfMoveX,
     nullptr,
     &F::sbBeginConvertClick},
    {Ctl::ReportList,
     "lvConvertFileList",
     "源文件:120|目标文件:120|状态:53",
     nullptr,
     {0, 19, 320, 170},
     cfStretchX | cfStretchY | cfCheckBoxes},
    {Ctl::Panel, "pnlConvertProgress", "", nullptr, {0, 189, 320, 11}, cfStretchX | cfMoveY | cfHidden},
    {Ctl::ProgressBar, "prbConvertProgress", "0..1", "pnlConvertProgress", {0, 0, 320, 11}, cfStretchX},
};

const MenuSpec kConvertMenu[] = {
    {0, "pmiExe2Swf", "EXE文件转换为SWF文件", mfRadio, 1},
    {0, "pmiSwf2Exe", "SWF文件转换为EXE文件", mfRadio, 1},
    {0, "N19", "-", 0, 1},
    {0, "pmiAddFiles", "添加文件...", 0, 1},
    {0, "pmiAddDirectory", "添加目录...", 0, 1},
    {0, "N3", "-", 0, 1},
    {0, "pmiSelectAll", "全部选定", 0, 1},
    {0, "pmiSelectNone", "全部不选", 0, 1},
    {0, "pmiReverseSelect", "反向选择", 0, 1},
    {0, "N7", "-", 0, 1},
    {0, "pmiDeleteSelectedItems", "删除选择项", 0, 1},
    {0, "pmiDeleteUnSelectedItems", "删除未选项", 0, 1},
    {0, "pmiDeleteAll", "删除全部", 0, 1},
    {0, "N11", "-", 0, 1},
    {0, "pmiMoveUp", "文件上移", 0, 1},
    {0, "pmiMoveDown", "文件下移", 0, 1},
    {0, "N14", "-", 0, 1},
    {0, "pmiChangeOutputDirectory", "更改输出目录...", 0, 1},
    {0, "N16", "-", 0, 1},
    {0, "pmiPlayConvertedFiles", "播放转换完成后的文件", 0, 1},
    {0, "pmiDeleteConvertedFiles", "转换完成后删除源文件", 0, 1},
};

struct MenuHandler {
    const char* name;
    void (F::*handler)();
};
const MenuHandler kConvertMenuHandlers[] = {
    {"pmiExe2Swf", &F::pmiExe2SwfClick},
    {"pmiSwf2Exe", &F::pmiSwf2ExeClick},
    {"pmiAddFiles", &F::pmiAddFilesClick},
    {"pmiAddDirectory", &F::pmiAddDirectoryClick},
    {"pmiSelectAll", &F::pmiSelectAllClick},
    {"pmiSelectNone", &F::pmiSelectNoneClick},
    {"pmiReverseSelect", &F::pmiReverseSelectClick},
    {"pmiDeleteSelectedItems", &F::pmiDeleteSelectedItemsClick},
    {"pmiDeleteUnSelectedItems", &F::pmiDeleteUnSelectedItemsClick},
    {"pmiDeleteAll", &F::pmiDeleteAllClick},
    {"pmiMoveUp", &F::pmiMoveUpClick},
    {"pmiMoveDown", &F::pmiMoveDownClick},
    {"pmiChangeOutputDirectory", &F::pmiChangeOutputDirectoryClick},
    {"pmiPlayConvertedFiles", &F::pmiPlayConvertedFilesClick},
    {"pmiDeleteConvertedFiles", &F::pmiDeleteConvertedFilesClick},
};

// The list commands that change rows; disabled while a run or a scan goes on.
const char* const kListCommands[] = {"pmiExe2Swf",
                                     "pmiSwf2Exe",
                                     "pmiAddFiles",
                                     "pmiAddDirectory",
                                     "pmiSelectAll",
                                     "pmiSelectNone",
                                     "pmiReverseSelect",
                                     "pmiDeleteSelectedItems",
                                     "pmiDeleteUnSelectedItems",
                                     "pmiDeleteAll",
                                     "pmiMoveUp",
                                     "pmiMoveDown",
                                     "pmiChangeOutputDirectory"};

bool folderExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFlashFile(const std::string& path) {
    TFlashFileAttr attr;
    try {
        GetFlashFileAttr(path, attr);
    } catch (const FileError&) {
        return false;
    }
    return attr.IsFlashFile;
}

}  // namespace

TFileConvertForm::TFileConvertForm() : DialogForm({"格式转换", 320, 200, fsSizeable | fsNoCaption}) {
    declare(kFileConvertControls);
}

TFileConvertForm::~TFileConvertForm() {
    if (ConvertWindow == &link_) ConvertWindow = nullptr;
    if (FileConvertForm == this) FileConvertForm = nullptr;
    FileConvertFormExists = false;
}

void TFileConvertForm::FormCreate() {
    FileConvertForm = this;
    FileConvertFormExists = true;
    DialogPanel& title = get<DialogPanel>("pnlTitle");
    title.setColor(kTitleColor);
    titleLine_ = std::make_unique<Panel>(&title);
    titleLine_->create(0, 0, title.width(), kTitleLineHeight);
    titleLine_->setColor(kTitleLineColor);
    titleLine_->setAlign(Align::Bottom);
    title.realign();
    get<SpeedButton>("sbBeginConvert").setCaptionColor(kTitleTextColor);
    popup_ = std::make_unique<Menu>(kConvertMenu, sizeof kConvertMenu / sizeof kConvertMenu[0], false);
    for (const auto& h : kConvertMenuHandlers) {
        auto m = h.handler;
        // A command chosen while a run or a scan goes on does nothing; the
        // two option marks stay usable.
        const std::string name = h.name;
        const bool option = name == "pmiPlayConvertedFiles" || name == "pmiDeleteConvertedFiles";
        (*popup_)[h.name].onClick = [this, m, option] {
            if (!busy_ || option) (this->*m)();
        };
    }
    applyOptions(Options.ConvertMode, Options.DeleteConvertedFiles, Options.PlayConvertedFiles);
    lvConvertFileList().onItemChecked = [this](int row) {
        if (row >= 0 && static_cast<std::size_t>(row) < list_.rows.size())
            list_.rows[static_cast<std::size_t>(row)].ticked = lvConvertFileList().checked(row);
    };
    link_.rows = [this] {
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& r : list_.rows) out.emplace_back(r.source, r.target);
        return out;
    };
    link_.setTarget = [this](std::size_t row, const std::string& target) {
        if (row >= list_.rows.size()) return;
        list_.rows[row].target = target;
        showRow(row);
    };
    link_.setOptions = [this](int mode, bool del, bool play) { applyOptions(mode, del, play); };
    ConvertWindow = &link_;
    FormResize();
}

void TFileConvertForm::FormDestroy() {
    if (ConvertWindow == &link_) ConvertWindow = nullptr;
    FileConvertFormExists = false;
}

void TFileConvertForm::FormResize() {
    if (!find("lvConvertFileList")) return;
    ReportList& lv = lvConvertFileList();
    if (!lv.handle()) return;
    RECT r = lv.clientRect();
    int w = std::max(0, static_cast<int>(r.right) - 130) / 2;
    ListView_SetColumnWidth(lv.handle(), 0, w);
    ListView_SetColumnWidth(lv.handle(), 1, w);
}

bool TFileConvertForm::handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_CONTEXTMENU && popup_ && reinterpret_cast<HWND>(wp) == lvConvertFileList().handle()) {
        int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        if (x == -1 && y == -1) {
            POINT p{0, 0};
            ClientToScreen(lvConvertFileList().handle(), &p);
            x = p.x;
            y = p.y;
        }
        popup_->popup(handle(), x, y);
        result = 0;
        return true;
    }
    return DialogForm::handleFormMessage(msg, wp, lp, result);
}

void TFileConvertForm::applyOptions(int mode, bool deleteConverted, bool playConverted) {
    mode = mode == kSwfToExe ? kSwfToExe : kExeToSwf;
    if (mode != Options.ConvertMode) {
        list_.rows.clear();
        showRows();
    }
    Options.ConvertMode = mode;
    Options.DeleteConvertedFiles = deleteConverted;
    Options.PlayConvertedFiles = playConverted;
    (*popup_)[mode == kSwfToExe ? "pmiSwf2Exe" : "pmiExe2Swf"].setChecked(true);
    (*popup_)[mode == kSwfToExe ? "pmiExe2Swf" : "pmiSwf2Exe"].setChecked(false);
    (*popup_)["pmiDeleteConvertedFiles"].setChecked(deleteConverted);
    (*popup_)["pmiPlayConvertedFiles"].setChecked(playConverted);
}

void TFileConvertForm::setBusy(bool busy) {
    busy_ = busy;
    for (const char* name : kListCommands) (*popup_)[name].setEnabled(!busy);
    get<SpeedButton>("sbBeginConvert").setEnabled(!busy);
    lvConvertFileList().setEnabled(!busy);
}

void TFileConvertForm::showRow(std::size_t row) {
    ReportList& lv = lvConvertFileList();
    const ConvertRow& r = list_.rows[row];
    int i = static_cast<int>(row);
    lv.setCell(i, 0, r.source);
    lv.setCell(i, 1, r.target);
    lv.setCell(i, 2, ConvertStateText(r.state));
    if (lv.checked(i) != r.ticked) lv.setChecked(i, r.ticked);
}

void TFileConvertForm::showRows() {
    ReportList& lv = lvConvertFileList();
    auto keep = lv.onItemChecked;
    lv.onItemChecked = nullptr;
    while (lv.rowCount() > static_cast<int>(list_.rows.size())) lv.deleteRow(lv.rowCount() - 1);
    while (lv.rowCount() < static_cast<int>(list_.rows.size())) lv.addRow({"", "", ""});
    for (std::size_t i = 0; i < list_.rows.size(); ++i) showRow(i);
    lv.onItemChecked = keep;
}

void TFileConvertForm::readTicks() {
    for (std::size_t i = 0; i < list_.rows.size(); ++i)
        list_.rows[i].ticked = lvConvertFileList().checked(static_cast<int>(i));
}

bool TFileConvertForm::closing() const { return Application::instance().terminated() || !handle(); }

std::string TFileConvertForm::outputFolder() const {
    return folderExists(Options.SavePath) ? EnsureTrailingBackslash(Options.SavePath) : std::string();
}

bool TFileConvertForm::confirm(const char* question) {
    return ui().messageBox(handle(), question, kAppTitle, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void TFileConvertForm::setMode(int mode) {
    applyOptions(mode, Options.DeleteConvertedFiles, Options.PlayConvertedFiles);
}

void TFileConvertForm::pmiExe2SwfClick() {
    list_.rows.clear();
    showRows();
    setMode(kExeToSwf);
}

void TFileConvertForm::pmiSwf2ExeClick() {
    list_.rows.clear();
    showRows();
    setMode(kSwfToExe);
}

void TFileConvertForm::AddSourceFile(const std::string& path) {
    if (!isFlashFile(path)) return;
    list_.add(path, outputFolder(), Options.ConvertMode);
    ReportList& lv = lvConvertFileList();
    lv.addRow({"", "", ""});
    showRow(list_.rows.size() - 1);
}

void TFileConvertForm::pmiAddFilesClick() {
    FileDialogRequest req;
    req.filter = Options.ConvertMode == kSwfToExe ? "swf文件|*.swf" : "exe文件|*.exe";
    req.owner = handle();
    req.multiSelect = true;
    FileDialogResult res;
    if (!ui().openFileDialog(req, res)) return;
    readTicks();
    for (const auto& f : res.files) AddSourceFile(f);
}

void TFileConvertForm::AddDirectory(const std::string& folder) {
    struct Scan : WalkVisitor {
        TFileConvertForm& form;
        std::string ext;
        explicit Scan(TFileConvertForm& f) : form(f), ext(ConvertSourceExt(Options.ConvertMode)) {}
        bool proceed() override {
            Application::instance().processMessages();
            return !form.closing();
        }
        bool file(const std::string& path, std::size_t nameOffset) override {
            if (HasExtension(path, nameOffset, {ext})) form.AddSourceFile(path);
            return true;
        }
    } scan(*this);
    readTicks();
    setBusy(true);
    WalkFolder(folder, scan);
    setBusy(false);
}

void TFileConvertForm::pmiAddDirectoryClick() {
    std::string folder;
    if (!BrowseForFolder("请选择需要添加的目录", "", folder)) return;
    AddDirectory(folder);
}

void TFileConvertForm::pmiSelectAllClick() {
    list_.tickAll(true);
    showRows();
}

void TFileConvertForm::pmiSelectNoneClick() {
    list_.tickAll(false);
    showRows();
}

void TFileConvertForm::pmiReverseSelectClick() {
    readTicks();
    list_.invertTicks();
    showRows();
}

void TFileConvertForm::pmiDeleteSelectedItemsClick() {
    if (list_.rows.empty() || !confirm("是否删除所有选择的项目")) return;
    readTicks();
    list_.removeTicked(true);
    showRows();
}

void TFileConvertForm::pmiDeleteUnSelectedItemsClick() {
    if (list_.rows.empty() || !confirm("是否删除所有未选择的项目")) return;
    readTicks();
    list_.removeTicked(false);
    showRows();
}

void TFileConvertForm::pmiDeleteAllClick() {
    if (list_.rows.empty() || !confirm("是否删除全部项目")) return;
    list_.rows.clear();
    showRows();
}

void TFileConvertForm::pmiMoveUpClick() {
    int p = lvConvertFileList().selectedIndex();
    if (p < 0 || !list_.moveUp(static_cast<std::size_t>(p))) return;
    showRows();
    lvConvertFileList().setSelectedIndex(p - 1);
}

void TFileConvertForm::pmiMoveDownClick() {
    int p = lvConvertFileList().selectedIndex();
    if (p < 0 || !list_.moveDown(static_cast<std::size_t>(p))) return;
    showRows();
    lvConvertFileList().setSelectedIndex(p + 1);
}

void TFileConvertForm::pmiChangeOutputDirectoryClick() {
    std::string folder;
    if (!BrowseForFolder("请选择文件的输出目录", "", folder)) return;
    Options.SavePath = EnsureTrailingBackslash(folder);
    list_.retarget(Options.SavePath);
    showRows();
}

void TFileConvertForm::pmiPlayConvertedFilesClick() {
    MenuItem& m = (*popup_)["pmiPlayConvertedFiles"];
    m.setChecked(!m.checked());
    Options.PlayConvertedFiles = m.checked();
}

void TFileConvertForm::pmiDeleteConvertedFilesClick() {
    MenuItem& m = (*popup_)["pmiDeleteConvertedFiles"];
    m.setChecked(!m.checked());
    Options.DeleteConvertedFiles = m.checked();
}

void TFileConvertForm::sbBeginConvertClick() {
    if (busy_ || list_.rows.empty()) return;
    readTicks();
    const std::size_t ticked = list_.tickedCount();
    pnlConvertProgress().setVisible(true);
    prbConvertProgress().setRange(0, static_cast<int>(ticked) * kStepsPerRow);
    prbConvertProgress().setPosition(0);
    if (ticked == 0) return;
    const int mode = Options.ConvertMode;
    const std::string stub = ProgramPath + "SAKorvamelden.exe";
    if (mode == kSwfToExe && !ExclusiveFile::exists(stub)) {
        ui().messageBox(handle(), "文件”" + ProgramPath + "SAKorvamelden.exe“丢失，请重新安装本软件",
                        kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ConvertRunHooks hooks;
    hooks.convert = [&](const ConvertRow& row, CopyWatch& watch) {
        return ConvertRowFile(row, mode, stub, watch);
    };
    hooks.rowChanged = [this](std::size_t row) {
        showRow(row);
        lvConvertFileList().ensureVisible(static_cast<int>(row));
        Application::instance().processMessages();
    };
    int shown = -1;
    hooks.progress = [&](double position) {
        int p = static_cast<int>(position * kStepsPerRow);
        if (p == shown) return;
        shown = p;
        prbConvertProgress().setPosition(p);
        Application::instance().processMessages();
    };
    // Closing the program ends the run (the message loop runs within it) and
    // skips the play and delete steps.
    hooks.stopped = [this] { return closing(); };
    setBusy(true);
    bool ok = RunConversion(list_, hooks);
    setBusy(false);
    if (!ok || closing()) return;
    pnlConvertProgress().setVisible(false);
    if (Options.PlayConvertedFiles && PlayConvertedFiles) PlayConvertedFiles(ConvertedTargets(list_));
    if (Options.DeleteConvertedFiles) {
        DeleteConvertedSources(list_);
        showRows();
    }
}

}  // namespace kv
