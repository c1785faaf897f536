// The main window: creation, the settings read at start and the first show.
#include "app/MainForm.h"

#include "app/AppState.h"
#include "app/MenuTables.h"
#include "app/Seams.h"
#include "app/Skin.h"
#include "flashfile/FlashFileAttr.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "platform/IniFile.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

TMainForm* MainForm = nullptr;
MainFormSeams Seams;
const char* const kMainWindowClass = "Korvamelden_qlo";
const char* const kTrayTip = "TesvanorFlash播放器 1.6";

namespace {
const DWORD kPriorityClasses[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                  REALTIME_PRIORITY_CLASS};

bool fileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

TMainForm::TMainForm() { MainForm = this; }

TMainForm::~TMainForm() {
    if (MainForm == this) MainForm = nullptr;
}

bool TMainForm::create() {
    HICON icon = LoadIcon(GetModuleHandleA(nullptr), MAKEINTRESOURCE(1));
    if (!icon) icon = LoadIcon(nullptr, IDI_APPLICATION);
    if (!createForm(kMainWindowClass, kAppTitle, CW_USEDEFAULT, CW_USEDEFAULT, 700, 540,
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW | WS_EX_ACCEPTFILES, nullptr, icon))
        return false;
    minWidth = 540;
    minHeight = 430;
    createControls();
    MainMenu1 = std::make_unique<Menu>(kMainMenuSpec, kMainMenuCount, true);
    pmTrayMenu = std::make_unique<Menu>(kTrayMenuSpec, kTrayMenuCount, false);
    setMenu(MainMenu1.get());
    wireMenu();
    Application::instance().mainForm = this;
    FormCreate();
    return true;
}

void TMainForm::createControls() {
    Skin& skin = Skin::instance();
    setColor(kSkinText);
    Panel2.create(0, 0, 700, 40);
    Panel2.setAlign(Align::Top);
    Panel2.setBackgroundPicture(skin.topStrip(1600), false);
    imgTaskPlay.create(4, 0, 64, 40);
    imgTaskFileTypeConvert.create(72, 0, 64, 40);
    for (Label* l : {&Label2, &Label1}) {
        l->create(0, 24, 64, 14, l == &Label2 ? "正在播放" : "格式转换");
        l->setTransparent(true);
        l->setTextAlign(TextAlign::Center);
        l->setTextColor(RGB(255, 255, 255));
        l->setFont("宋体", -12);
    }
    Panel12.create(0, 0, 230, 40);
    Panel12.setAlign(Align::Right);
    Panel12.setTransparent(true);
    lblPlayListName.create(8, 12, 190, 16, "正在播放");
    lblPlayListName.setTransparent(true);
    lblPlayListName.setTextColor(RGB(255, 255, 255));
    lblPlayListName.setFont("宋体", -12);
    imgPlayListDropDown.create(204, 10, 18, 19);
    // The selector's own box stays hidden (no height): only its list shows.
    cboPlayList.create(8, 10, 214, 0);

    pnlBottom.create(0, 0, 700, 59);
    pnlBottom.setAlign(Align::Bottom);
    bar.create();

    pnlMain.create();
    pnlMain.setAlign(Align::Client);
    tsPlay.create();
    tsPlay.setAlign(Align::Client);
    tsFileConvert.setVisible(false);
    tsFileConvert.create();
    tsFileConvert.setAlign(Align::Client);
    tsFileConvert.setColor(RGB(255, 255, 255));
    Panel6.create(0, 0, 100, 29);
    Panel6.setAlign(Align::Top);
    Panel6.setColor(kSkinStrip);
    sbFullScreen.create(0, 4, 22, 22);
    sbFullScreen.hint = "全屏显示";
    sbMaxVideoWindow.create(0, 4, 22, 22);
    sbMaxVideoWindow.hint = "最大化视频窗口";
    for (MyImage* sb : {&sbFullScreen, &sbMaxVideoWindow}) {
        const std::string name = sb == &sbFullScreen ? "sbFullScreen" : "sbMaxVideoWindow";
        sb->setPicture(skin.picture(name));
        sb->onMouseEnter = [sb, name] { sb->setPicture(Skin::instance().picture(name + "Enter")); };
        sb->onMouseLeave = [sb, name] { sb->setPicture(Skin::instance().picture(name)); };
    }
    sbFullScreen.onClick = [this] { item("mmiFullScreen").click(); };
    sbMaxVideoWindow.onClick = [this] { item("mmiMaxVideoWindow").click(); };
    Panel6.onResize = [this] {
        sbMaxVideoWindow.setLeft(Panel6.width() - 26);
        sbFullScreen.setLeft(Panel6.width() - 50);
    };
    Panel9.create(0, 0, 100, 3);
    Panel9.setAlign(Align::Top);
    Panel9.setColor(kSkinStripLine);
    pnlPlayList.create(0, 0, 210, 100);
    pnlPlayList.setAlign(Align::Right);
    sptPlayList.create(0, 0, 2, 100);
    sptPlayList.setAlign(Align::Right);
    sptPlayList.setColor(kSkinSplitter);
    sptPlayList.setCursor(LoadCursor(nullptr, IDC_SIZEWE));
    pnlPlayArea.create();
    pnlPlayArea.setAlign(Align::Client);
    pnlPlayArea.setColor(RGB(0, 0, 0));
    pnlPlayArea.onResize = [this] { pnlPlayAreaResize(); };
    pnlPlayList.onResize = [this] { pnlPlayListResize(); };
    realign();
    bar.attach(*this);
}

// Start-up, in order: folders, settings, priority, caption, page, lists, bar.
void TMainForm::FormCreate() {
    ProgramPath = ExecutableFolder();
    PlayListsPath = ProgramPath + "PlayLists\\";
    FavoritePath = ProgramPath + "Favorite\\";
    ProgramInitializtion();
    sys().setPriorityClass(kPriorityClasses[Options.ApplicationPRI - 1]);
    PlayState = 0;
    setCaption(kAppTitle);
    if (activePage_ == 0) imgTaskPlay.setPicture(Skin::instance().picture("imgTaskButtonDown"));
    PlayListFiles.clear();
    PlayListTitles.clear();
    PlayListCount = 0;
    bar.UpdatePlayProgress(0, 0);
    bar.showPlayState(0);
    ShowCaptionInlblCaption();
}

void TMainForm::ProgramInitializtion() {
    IniFile ini(ProgramPath + kSettingsFileName);
    ScreenSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Options = ReadSettings(ini, ProgramPath, screen);

    // 1. Window placement.
    showCommand = Options.IsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (!Options.IsMaximized)
        SetWindowPos(handle(), nullptr, Options.Left, Options.Top, Options.Width, Options.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // 3. The current list.
    CurrentPlayListFile = Options.CurrentPlayListFile;
    CurrentIndex = Options.CurrentIndex;
    // 4-5, 7. Panes and play options as check marks; the stay-on-top and
    // maximised-video marks start inverted, the clicks at first show toggle them.
    applyOptionsToMenus();
    pnlPlayList.setWidth(Options.WidthOfFlashInfo);
    // 6. Volume.
    bar.placeVolumeThumb(Options.VolumeNum);
    DWORD v = static_cast<DWORD>(Options.VolumeNum * 5000);
    sys().setWaveVolume(v * 65536 + v);
    bar.imgVolume.tag = Options.HaveVolume;
    if (Options.HaveVolume == 0) {
        bar.imgVolume.setPicture(Skin::instance().picture("imgNoneVolume"));
        bar.imgVolume.hint = "声音";
        sys().setWaveVolume(0);
    }
    // 8. Resume values.
    if (Options.ResumePlayWhenStart) {
        ResumeFile = Options.ResumeFile;
        ResumeFrame = Options.ResumeFrame;
        ResumeStatus = Options.ResumeStatus;
    }
    // 9. Recent files.
    AddLatestUsedFilesToMenu();
    // 11. File associations.
    if (Options.CheckFileLinkWhenStart && Seams.registerFileTypes) Seams.registerFileTypes();
    // 15. Page.
    setActivePage(Options.ActiveIndex);
}

void TMainForm::applyOptionsToMenus() {
    item("mmiShowFlashInfo").setChecked(Options.ShowFlashInfo);
    item("mmiShowPlayList").setChecked(Options.ShowPlayList);
    item("mmiMaxVideoWindow").setChecked(!Options.MaxVideoWindow);
    item("mmiKeepScale").setChecked(Options.KeepScale);
    item("mmiLowQulity").setChecked(Options.LowQulity);
    item("mmiMiddleQulity").setChecked(Options.MiddleQulity);
    item("mmiHighQulity").setChecked(Options.HighQulity);
    item("mmiAutoControl").setChecked(Options.AutoControl);
    item("mmiCirclePlay").setChecked(Options.CirclePlay);
    item("mmiRandomPlay").setChecked(Options.RandomPlay);
    item("mmiShieldOuterPictureOfScene").setChecked(Options.ShieldOuterPictureOfScene);
    item("mmiStayOnTop").setChecked(!Options.StayOnTop);
}

void TMainForm::copyChecksToDockedWindows() {
    if (PlayListForm && PlayListForm->pmFlashInfo)
        (*PlayListForm->pmFlashInfo)["pmiShowFlashInfo"].setChecked(item("mmiShowFlashInfo").checked());
    if (PlayForm && PlayForm->pmMain) {
        for (const char* name : {"KeepScale", "AutoControl", "HighQulity", "MiddleQulity", "LowQulity",
                                 "ShieldOuterPictureOfScene"}) {
            if (MenuItem* p = PlayForm->pmMain->find(std::string("pmi") + name))
                p->setChecked(item(std::string("mmi") + name).checked());
        }
    }
}

void TMainForm::applyPlayListFont() {
    if (PlayListForm) PlayListForm->applyListFont();
}

// First show: dock the windows, build the library menus, apply the layout,
// join the tray and the clipboard chain, then open what was asked for.
void TMainForm::FormShow() {
    if (FormShown) return;
    if (PlayForm) {
        PlayForm->dock(pnlPlayArea);
        PlayForm->parkFlashHost(1);
        PlayForm->show();
    }
    if (PlayListForm) {
        PlayListForm->dock(pnlPlayList);
        PlayListForm->show();
    }
    pgcMainChange();
    if (Seams.buildPlayListMenus) Seams.buildPlayListMenus();
    if (Seams.buildFavoriteMenu) Seams.buildFavoriteMenu();
    copyChecksToDockedWindows();
    applyPlayListFont();
    ShowPlayListOrFlashInfo();
    item("mmiStayOnTop").click();
    item("mmiMaxVideoWindow").click();
    if (Options.ShowTrayIcon) AddTrayIcon();
    Application::instance().showTaskbarButton(Options.ShowInTaskbar);
    clipboard_.join(handle());
    HandleStartRequest(CommandLineParams);
    FormShown = true;
}

void TMainForm::HandleStartRequest(const std::vector<std::string>& params) {
    if (!params.empty()) {
        const std::string& path = params.front();
        std::string ext = AnsiLowerAscii(AnsiExtractFileExt(path));
        if (ext == ".swf") {
            if (Options.AddToPlayListWhenDbClickInWindows) {
                if (PlayListForm) PlayListForm->AddItem(path, ExtractFileTitle(path));
            } else if (PlayForm) {
                PlayForm->playAFile(path);
            }
        } else if (ext == ".fpl") {
            if (PlayListForm) PlayListForm->LoadPlayListFile(path);
        } else if (ext == ".ffv") {
            if (Seams.playFavoriteItem) Seams.playFavoriteItem(path);
        }
        return;
    }
    bool resumed = false;
    if (Options.ResumePlayWhenStart && fileExists(ResumeFile) && PlayForm) {
        resumed = true;
        const bool haveEntry = CurrentIndex >= 1 && CurrentIndex <= static_cast<int>(PlayListFiles.size());
        // An index that names no entry cannot match: the resume file then plays on its own.
        if (haveEntry && AnsiLowerAscii(ResumeFile) ==
                             AnsiLowerAscii(PlayListFiles[static_cast<size_t>(CurrentIndex - 1)])) {
            PlayForm->pmiPlayClick();
        } else {
            PlayForm->playAFile(ResumeFile);
        }
        PlayForm->MoveToPosition(ResumeFrame);
        if (ResumeStatus == 2) PlayForm->pmiPlayClick();
    }
    if (!resumed && Options.AutoPlayWhenStart && PlayListCount > 0 && PlayForm) PlayForm->pmiPlayClick();
    Application::instance().bringToFront();
}

}  // namespace kv
