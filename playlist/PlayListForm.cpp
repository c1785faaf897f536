#include "playlist/PlayListForm.h"

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListReport.h"
#include "ui/Application.h"
#include "ui/UiServices.h"

namespace kv {

TPlayListForm* PlayListForm = nullptr;

namespace {
const MenuSpec kFlashInfoMenu[] = {{0, "pmiShowFlashInfo", "显示Flash信息", mfChecked}};
}

TPlayListForm::TPlayListForm() { PlayListForm = this; }

TPlayListForm::~TPlayListForm() {
    if (PlayListForm == this) PlayListForm = nullptr;
}

bool TPlayListForm::create() {
    // Owned by the main window until it is docked: no taskbar button of its own.
    if (!createForm("TPlayListForm", "TPlayListForm", 0, 0, 210, 400, WS_POPUP | WS_CLIPCHILDREN, 0,
                    ApplicationOwner()))
        return false;
    setColor(kSkinText);
    pnlFlashInfo.create(0, 0, 210, Options.HeightOfFlashInfo);
    pnlFlashInfo.setAlign(Align::Top);
    pnlFlashInfo.setColor(kSkinText);
    // Our list view has no image column, so it needs no negative offset to
    // hide one: it starts at the panel's left edge.
    lvFlashInfo.create(0, 5, 240, 90, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_NOSCROLL);
    lvFlashInfo.addColumn(85);
    lvFlashInfo.addColumn(143);
    lvFlashInfo.setColors(RGB(255, 255, 255), kSkinText);
    pnlFlashInfo.onResize = [this] {
        int w = pnlFlashInfo.width();
        lvFlashInfo.setBounds(0, 5, w + 12, std::max(pnlFlashInfo.height() - 5, 0));
        lvFlashInfo.setColumnWidth(0, 85);
        lvFlashInfo.setColumnWidth(1, w - 67);
    };
    sptFlashInfo.create(&pnlFlashInfo, 2);
    sptFlashInfo.setAlign(Align::Top);
    sptFlashInfo.setColor(kSkinSplitter);
    pnlPlayList.create();
    pnlPlayList.setAlign(Align::Client);
    lstPlayList.create(0, 0, 100, 100);
    lstPlayList.setAlign(Align::Client);
    lstPlayList.onDblClick = [this] {
        int i = lstPlayList.selectedIndex();
        if (i >= 0 && PlayForm) {
            CurrentIndex = i + 1;
            PlayForm->pmiStopClick();
            PlayForm->pmiPlayClick();
        }
    };
    pmFlashInfo = std::make_unique<Menu>(kFlashInfoMenu, 1, false);
    (*pmFlashInfo)["pmiShowFlashInfo"].onClick = [this] { pmiShowFlashInfoClick(); };
    pnlFlashInfo.onMouseUp = [this](const MouseEvent& e) {
        if (e.button != MouseButton::Right) return;
        POINT p{e.x, e.y};
        ClientToScreen(pnlFlashInfo.handle(), &p);
        pmFlashInfo->popup(handle(), p.x, p.y);
    };
    realign();
    ReadPlayList(CurrentPlayListFile);
    return true;
}

void TPlayListForm::stopPlayback() {
    if (PlayForm) PlayForm->pmiStopClick();
}

void TPlayListForm::clearItems() { lstPlayList.clear(); }

void TPlayListForm::addItem(const std::string& title) { lstPlayList.add(title); }

int TPlayListForm::selectedIndex() const { return lstPlayList.selectedIndex(); }

void TPlayListForm::ReadPlayList(const std::string& fileName) { kv::ReadPlayList(*this, fileName); }

void TPlayListForm::SavePlayList(const std::string& fileName) { kv::SavePlayList(fileName); }

void TPlayListForm::AddItem(const std::string& path, const std::string& title) {
    AppendPlayListItem(*this, title, path);
}

void TPlayListForm::RefreshItems() {
    lstPlayList.clear();
    for (const std::string& t : PlayListTitles) lstPlayList.add(t);
}

void TPlayListForm::LoadPlayListFile(const std::string& path) {
    ReadPlayList(path);
    CurrentPlayListFile = path;
    if (MainForm) {
        bool isDefault = AnsiLowerAscii(path) == AnsiLowerAscii(ProgramPath + "Korvamelden.fpl");
        MainForm->lblPlayListName.setText(isDefault ? "正在播放" : ExtractFileTitle(path));
    }
}

void TPlayListForm::pmiOpenFilesClick() {
    FileDialogRequest req;
    req.owner = handle();
    req.filter = "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe";
    req.initialDir = Options.LastOpenFolder;
    req.multiSelect = true;
    FileDialogResult out;
    if (!ui().openFileDialog(req, out) || out.files.empty()) return;
    for (const std::string& f : out.files) AddItem(f, ExtractFileTitle(f));
    Options.LastOpenFolder = AnsiExtractFilePath(out.files.front());
}

void TPlayListForm::setShowFlashInfoMark(bool checked) {
    (*pmFlashInfo)["pmiShowFlashInfo"].setChecked(checked);
}

void TPlayListForm::pmiShowFlashInfoClick() {
    MenuItem& mark = (*pmFlashInfo)["pmiShowFlashInfo"];
    if (!MainForm) return;
    if (Options.MaxVideoWindow) {
        mark.setChecked(true);
        MainForm->item("mmiShowFlashInfo").setChecked(true);
        MainForm->item("mmiShowPlayList").setChecked(Options.ShowPlayList);
    } else {
        mark.setChecked(!mark.checked());
        MainForm->item("mmiShowFlashInfo").setChecked(mark.checked());
    }
    MainForm->item("mmiMaxVideoWindow").setChecked(false);
    Options.MaxVideoWindow = false;
    Options.ShowFlashInfo = mark.checked();
    MainForm->ShowPlayListOrFlashInfo();
}

void TPlayListForm::applyListFont() {
    LOGFONTA lf{};
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(Options.FontSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    lf.lfWeight = Options.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = Options.Italic ? TRUE : FALSE;
    lf.lfUnderline = Options.Underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, Options.FontName.c_str(), LF_FACESIZE);
    lstPlayList.setFont(UniqueFont(CreateFontIndirectA(&lf)));
    int natural = static_cast<int>(SendMessageA(lstPlayList.handle(), LB_GETITEMHEIGHT, 0, 0));
    lstPlayList.setItemHeight(std::max(natural + Options.OppositeItemHeight, 1));
}

// Saves the current list (a failure is swallowed) and keeps the information
// pane's height unless it fills the whole area.
void TPlayListForm::FormDestroy() {
    SavePlayListAtExit(CurrentPlayListFile);
    if (pnlFlashInfo.align() != Align::Client) Options.HeightOfFlashInfo = pnlFlashInfo.height();
}

}  // namespace kv
