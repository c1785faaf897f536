#include "playlist/PlayListForm.h"

#include <shlobj.h>

#include <algorithm>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/PlayForm.h"
#include "playlist/ItemLayout.h"
#include "playlist/LibraryMenus.h"
#include "ui/Application.h"

namespace kv {

TPlayListForm* PlayListForm = nullptr;
std::function<void()> ShowOpenURLDialog;

namespace {

const MenuSpec kFlashInfoMenu[] = {{0, "pmiShowFlashInfo", "显示Flash信息", mfChecked}};

const MenuSpec kPlayListMenu[] = {
    {0, "pmiOpenFiles", "打开..."},
    {0, "pmiOpenURL", "打开URL..."},
    {0, "pmiOpenDirectory", "添加目录..."},
    {0, "pmiSeparatorLine1", "-"},
    {0, "N1", "播放列表"},
    {1, "pmiNewPlayList", "新建播放列表..."},
    {1, "pmiLoadPlayList", "载入播放列表..."},
    {1, "pmiSavePlayList", "保存播放列表..."},
    {1, "pmiEditPlayList", "编辑播放列表..."},
    {1, "pmiClearPlayList", "清空播放列表"},
    {1, "pmiRenamePlayList", "重命名播放列表... "},
    {1, "pmiDeletePlayList", "删除播放列表"},
    {0, "pmiSeparatorLine2", "-"},
    {0, "pmiFileMoveUp", "文件上移"},
    {0, "pmiFileMoveDown", "文件下移"},
    {0, "pmiSeparatorLine3", "-"},
    {0, "pmiFileProperty", "Flash文件信息..."},
    {0, "pmiEditPlayListItem", "编辑播放列表项目..."},
    {0, "pmiSeparatorLine4", "-"},
    {0, "pmiSendTo", "发送到"},
    {1, "pmiSendToFavorite", "收藏夹"},
    {0, "pmiSaveAs", "文件另存为..."},
    {0, "pmiSeparatorLine5", "-"},
    {0, "pmiDeleteFromPlayList", "从播放列表中删除"},
    {0, "pmiDeleteFromComputer", "从计算机中删除"},
};

// The entries from pmiSeparatorLine2 on need a selected item.
const char* const kSelectionItems[] = {
    "pmiSeparatorLine2", "pmiFileMoveUp",       "pmiFileMoveDown",       "pmiSeparatorLine3",
    "pmiFileProperty",   "pmiEditPlayListItem", "pmiSeparatorLine4",     "pmiSendTo",
    "pmiSaveAs",         "pmiSeparatorLine5",   "pmiDeleteFromPlayList", "pmiDeleteFromComputer",
};

constexpr COLORREF kCurrentItemColor = RGB(137, 225, 22);

}  // namespace

TPlayListForm::TPlayListForm() { PlayListForm = this; }

TPlayListForm::~TPlayListForm() {
    if (PlayListForm == this) PlayListForm = nullptr;
}

bool TPlayListForm::create() {
    if (!createForm("TPlayListForm", "TPlayListForm", 0, 0, 210, 400, WS_POPUP | WS_CLIPCHILDREN,
                    WS_EX_ACCEPTFILES))
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
    pnlPlayList.setColor(kSkinText);
    lstPlayList.create(0, 0, 100, 100);
    lstPlayList.setAlign(Align::Client);
    lstPlayList.setColor(kSkinText);
    lstPlayList.setItemHeight(18);
    lstPlayList.onDblClick = [this] { lstPlayListDblClick(); };
    lstPlayList.onKeyDown = [this](WORD& key) { lstPlayListKeyDown(key); };
    lstPlayList.onDrawItem = [this](const DRAWITEMSTRUCT& dis) {
        if (dis.itemID == static_cast<UINT>(-1)) return;
        lstPlayListDrawItem(static_cast<int>(dis.itemID), dis.rcItem, (dis.itemState & ODS_SELECTED) != 0,
                            dis.hDC);
    };
    lstPlayList.onContextMenu = [this](int x, int y) { popupListMenu(x, y); };
    createMenus();
    pnlFlashInfo.onMouseUp = [this](const MouseEvent& e) {
        if (e.button != MouseButton::Right) return;
        POINT p{e.x, e.y};
        ClientToScreen(pnlFlashInfo.handle(), &p);
        pmFlashInfo->popup(handle(), p.x, p.y);
    };
    realign();
    InstallLibraryMenus();
    wireMainMenu();
    ReadPlayList(CurrentPlayListFile);
    return true;
}

void TPlayListForm::createMenus() {
    pmFlashInfo = std::make_unique<Menu>(kFlashInfoMenu, 1, false);
    (*pmFlashInfo)["pmiShowFlashInfo"].onClick = [this] { pmiShowFlashInfoClick(); };
    pmPlayList = std::make_unique<Menu>(kPlayListMenu, sizeof kPlayListMenu / sizeof kPlayListMenu[0], false);
    const std::pair<const char*, void (TPlayListForm::*)()> handlers[] = {
        {"pmiOpenFiles", &TPlayListForm::pmiOpenFilesClick},
        {"pmiOpenURL", &TPlayListForm::pmiOpenURLClick},
        {"pmiOpenDirectory", &TPlayListForm::pmiOpenDirectoryClick},
        {"pmiNewPlayList", &TPlayListForm::pmiNewPlayListClick},
        {"pmiLoadPlayList", &TPlayListForm::pmiLoadPlayListClick},
        {"pmiSavePlayList", &TPlayListForm::pmiSavePlayListClick},
        {"pmiEditPlayList", &TPlayListForm::pmiEditPlayListClick},
        {"pmiClearPlayList", &TPlayListForm::pmiClearPlayListClick},
        {"pmiRenamePlayList", &TPlayListForm::pmiRenamePlayListClick},
        {"pmiDeletePlayList", &TPlayListForm::pmiDeletePlayListClick},
        {"pmiFileMoveUp", &TPlayListForm::pmiFileMoveUpClick},
        {"pmiFileMoveDown", &TPlayListForm::pmiFileMoveDownClick},
        {"pmiFileProperty", &TPlayListForm::pmiFilePropertyClick},
        {"pmiEditPlayListItem", &TPlayListForm::pmiEditPlayListItemClick},
        {"pmiSendToFavorite", &TPlayListForm::pmiSendToFavoriteClick},
        {"pmiSaveAs", &TPlayListForm::pmiSaveAsClick},
        {"pmiDeleteFromPlayList", &TPlayListForm::pmiDeleteFromPlayListClick},
        {"pmiDeleteFromComputer", &TPlayListForm::pmiDeleteFromComputerClick},
    };
    for (const auto& h : handlers) item(h.first).onClick = [this, m = h.second] { (this->*m)(); };
}

// The list commands of the main menu end in this window's handlers.
void TPlayListForm::wireMainMenu() {
    if (!MainForm || !MainForm->MainMenu1) return;
    const std::pair<const char*, void (TPlayListForm::*)()> handlers[] = {
        {"mmiOpenURL", &TPlayListForm::pmiOpenURLClick},
        {"mmiOpenDir", &TPlayListForm::pmiOpenDirectoryClick},
        {"mmiNewPlayList", &TPlayListForm::pmiNewPlayListClick},
        {"mmiLoadPlayList", &TPlayListForm::pmiLoadPlayListClick},
        {"mmiEditPlayList", &TPlayListForm::pmiEditPlayListClick},
        {"mmiSavePlayList", &TPlayListForm::pmiSavePlayListClick},
        {"mmiClearPlayList", &TPlayListForm::pmiClearPlayListClick},
        {"mmiRenamePlayList", &TPlayListForm::pmiRenamePlayListClick},
        {"mmiDeletePlayList", &TPlayListForm::pmiDeletePlayListClick},
        {"mmiFileMoveUp", &TPlayListForm::pmiFileMoveUpClick},
        {"mmiFileMoveDown", &TPlayListForm::pmiFileMoveDownClick},
        {"mmiEditEditPlayLIistItem", &TPlayListForm::pmiEditPlayListItemClick},
        {"mmiDeleteFromPlayList", &TPlayListForm::pmiDeleteFromPlayListClick},
        {"pmiDeleteFromComputer", &TPlayListForm::pmiDeleteFromComputerClick},
    };
    for (const auto& h : handlers) {
        if (MenuItem* m = MainForm->MainMenu1->find(h.first)) {
            m->onClick = [m = h.second] {
                if (PlayListForm) (PlayListForm->*m)();
            };
        }
    }
}

// --- the list box and the current list ---

void TPlayListForm::stopPlayback() {
    if (PlayForm) PlayForm->pmiStopClick();
}

void TPlayListForm::clearItems() {
    pendingItems_ = 0;
    lstPlayList.clear();
}

void TPlayListForm::addItem(const std::string&) {
    // The titles are drawn from PlayListTitles; the box only counts.
    if (updating_ > 0)
        ++pendingItems_;
    else
        lstPlayList.add();
}

void TPlayListForm::beginUpdate() {
    if (updating_++ == 0) pendingItems_ = 0;
}

void TPlayListForm::endUpdate() {
    if (updating_ == 0 || --updating_ > 0) return;
    if (pendingItems_ > 0) lstPlayList.setCount(lstPlayList.count() + pendingItems_);
    pendingItems_ = 0;
}

int TPlayListForm::selectedIndex() const { return lstPlayList.selectedIndex(); }

int TPlayListForm::SelectedItem() const {
    int p = lstPlayList.selectedIndex();
    return p >= 0 && p < PlayListCount && p < static_cast<int>(PlayListFiles.size()) &&
                   p < static_cast<int>(PlayListTitles.size())
               ? p
               : -1;
}

void TPlayListForm::ReadPlayList(const std::string& fileName) { kv::ReadPlayList(*this, fileName); }

void TPlayListForm::SavePlayList(const std::string& fileName) { kv::SavePlayList(fileName); }

void TPlayListForm::AddItem(const std::string& path, const std::string& title) {
    AppendPlayListItem(*this, title, path);
}

void TPlayListForm::RefreshItems() { lstPlayList.setCount(static_cast<int>(PlayListTitles.size())); }

void TPlayListForm::applyListFont() {
    LOGFONTA lf{};
    HDC dc = GetDC(nullptr);
    lf.lfHeight = -MulDiv(Options.FontSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = Options.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = Options.Italic ? TRUE : FALSE;
    lf.lfUnderline = Options.Underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, Options.FontName.c_str(), LF_FACESIZE);
    UniqueFont font(CreateFontIndirectA(&lf));
    // The height a standard list box gives this font, plus the extra pixels.
    TEXTMETRICA tm{};
    {
        SelectGuard sel(dc, font.get());
        GetTextMetricsA(dc, &tm);
    }
    ReleaseDC(nullptr, dc);
    lstPlayList.setFont(std::move(font));
    lstPlayList.setItemHeight(std::max(static_cast<int>(tm.tmHeight) + Options.OppositeItemHeight, 1));
}

void TPlayListForm::lstPlayListDrawItem(int index, const RECT& rect, bool selected, HDC dc) {
    COLORREF textColor = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(255, 255, 255);
    COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : lstPlayList.color();
    const bool current = index == CurrentIndex - 1;
    if (current) textColor = kCurrentItemColor;
    if (selected) textColor = current ? kCurrentItemColor : RGB(255, 255, 255);
    UniqueBrush brush(CreateSolidBrush(back));
    FillRect(dc, &rect, brush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SelectGuard sel(
        dc, lstPlayList.font() ? lstPlayList.font() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    const std::string& title =
        index >= 0 && index < static_cast<int>(PlayListTitles.size()) ? PlayListTitles[index] : std::string();
    ItemLayout l = ComputeItemLayout(index, lstPlayList.count(), Options.FontSize, Options.Alignment,
                                     Options.ShowIndex, Options.OppositeItemHeight);
    if (Options.ShowIndex) {
        std::string number = std::to_string(index + 1);
        TextOutA(dc, rect.left + l.numberX, rect.top + l.textY, number.c_str(),
                 static_cast<int>(number.size()));
    }
    TextOutA(dc, rect.left + l.titleX, rect.top + l.textY, title.c_str(), static_cast<int>(title.size()));
}

void TPlayListForm::lstPlayListDblClick() {
    int p = lstPlayList.selectedIndex();
    if (p < 0 || !PlayForm) return;
    PlayForm->pmiStopClick();
    CurrentIndex = p + 1;
    PlayForm->pmiPlayClick();
}

void TPlayListForm::lstPlayListKeyDown(WORD& key) {
    ShiftState s = ShiftState::current();
    if (s.shift) ShiftDown = true;
    if (s.alt) AltDown = true;
    if (s.ctrl) CtrlDown = true;
    if (key == VK_DELETE) {
        if (ShiftDown)
            pmiDeleteFromComputerClick();
        else
            pmiDeleteFromPlayListClick();
        key = 0;
    } else if (key == VK_UP && AltDown) {
        pmiFileMoveUpClick();
        key = 0;
    } else if (key == VK_DOWN && AltDown) {
        pmiFileMoveDownClick();
        key = 0;
    }
}

void TPlayListForm::FormKeyDown(WORD&, ShiftState shift) {
    if (shift.ctrl) CtrlDown = true;
    if (shift.alt) AltDown = true;
    if (shift.shift) ShiftDown = true;
}

void TPlayListForm::FormKeyUp(WORD&, ShiftState shift) {
    CtrlDown = shift.ctrl;
    AltDown = shift.alt;
    ShiftDown = shift.shift;
}

bool TPlayListForm::handleFormMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_DROPFILES) return false;
    WMDropFiles(reinterpret_cast<HDROP>(wp));
    result = 0;
    return true;
}

namespace {

// The dropped paths, read from the drop block in one pass (asking for them
// one by one rescans the block each time), at most 255 characters each.
std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const auto* df = static_cast<const DROPFILES*>(GlobalLock(drop));
    if (!df) return paths;
    const SIZE_T size = GlobalSize(drop);
    const char* base = reinterpret_cast<const char*>(df);
    if (df->fWide) {
        const auto* w = reinterpret_cast<const wchar_t*>(base + df->pFiles);
        const auto* end = reinterpret_cast<const wchar_t*>(base + size);
        while (w < end && *w) {
            const wchar_t* e = w;
            while (e < end && *e) ++e;
            int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(e - w), nullptr, 0, nullptr, nullptr);
            std::string a(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(e - w), a.data(), n, nullptr, nullptr);
            paths.push_back(AnsiTruncate(a, 255));
            w = e + 1;
        }
    } else {
        const char* a = base + df->pFiles;
        const char* end = base + size;
        while (a < end && *a) {
            const char* e = a;
            while (e < end && *e) ++e;
            paths.push_back(AnsiTruncate(std::string(a, e), 255));
            a = e + 1;
        }
    }
    GlobalUnlock(drop);
    return paths;
}

}  // namespace

void TPlayListForm::WMDropFiles(HDROP drop) {
    std::vector<std::string> paths = DroppedPaths(drop);
    DragFinish(drop);
    AddDroppedFiles(paths);
}

void TPlayListForm::AddDroppedFiles(const std::vector<std::string>& paths) {
    // Large drops show their progress: the list grows in steps, with the wait
    // cursor, and the window keeps answering between the steps.
    constexpr size_t kStep = 500;
    const bool large = paths.size() > kStep;
    HCURSOR old = large ? SetCursor(LoadCursor(nullptr, IDC_WAIT)) : nullptr;
    beginUpdate();
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& p = paths[i];
        std::string ext = AnsiLowerAscii(AnsiExtractFileExt(p));
        if (ext != ".swf" && ext != ".exe") continue;
        DWORD a = GetFileAttributesA(p.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) continue;
        AddItem(p, ExtractFileTitle(p));
        if (large && (i + 1) % kStep == 0) {
            endUpdate();
            lstPlayList.setSelectedIndex(-1);
            SendMessageA(lstPlayList.handle(), LB_SETTOPINDEX, static_cast<WPARAM>(lstPlayList.count() - 1),
                         0);
            UpdateWindow(lstPlayList.handle());
            Application::instance().processMessages();
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            beginUpdate();
        }
    }
    endUpdate();
    if (large) SetCursor(old);
}

// --- popup menu ---

void TPlayListForm::pmPlayListPopup() {
    const bool selected = SelectedItem() >= 0;
    for (const char* name : kSelectionItems) item(name).setVisible(selected);
}

void TPlayListForm::popupListMenu(int x, int y) {
    if (x == -1 && y == -1) {
        POINT p;
        GetCursorPos(&p);
        x = p.x;
        y = p.y;
    }
    pmPlayListPopup();
    pmPlayList->popup(handle(), x, y);
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

// Saves the current list (a failure is swallowed) and keeps the information
// pane's height unless it fills the whole area.
void TPlayListForm::FormDestroy() {
    SavePlayListAtExit(CurrentPlayListFile);
    if (pnlFlashInfo.align() != Align::Client) Options.HeightOfFlashInfo = pnlFlashInfo.height();
}

}  // namespace kv
