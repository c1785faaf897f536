// The play window: creation, loading and starting movies, the play command's
// three states, stopping, the polling timer and the message hook.
#include "playback/PlayForm.h"

#include <algorithm>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Seams.h"
#include "app/Skin.h"
#include "flash/core/Player.h"
#include "flashfile/FileErrors.h"
#include "flashfile/FlashFileAttr.h"
#include "flashfile/Projector.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/JumpToPositionForm.h"
#include "playback/MovieAddress.h"
#include "playback/PictureCommands.h"
#include "playback/PlayAreaForm.h"
#include "playback/PlayFormMenu.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

TPlayForm* PlayForm = nullptr;

namespace {
const char* const kPlayCaption = "播放           Ctrl+P";
const char* const kPauseCaption = "暂停           Ctrl+P";

bool fileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads a movie's header; a file that cannot be read counts as no movie.
TFlashFileAttr readAttr(const std::string& path) {
    TFlashFileAttr attr;
    try {
        GetFlashFileAttr(path, attr);
    } catch (const std::exception&) {
        attr = TFlashFileAttr();
    }
    return attr;
}
}  // namespace

bool MovieAtEnd(int current, int total) {
    if (total <= 0) return true;  // nothing to play
    if (current >= total - 1) return true;
    return static_cast<long long>(current) * 100 > static_cast<long long>(total) * 95;
}

TPlayForm::TPlayForm() : clockMs([] { return static_cast<unsigned>(GetTickCount()); }) { PlayForm = this; }

TPlayForm::~TPlayForm() {
    if (hookId_) Application::instance().removeMessageHook(hookId_);
    endDownload();
    releaseDownloadedFile();
    if (PlayForm == this) PlayForm = nullptr;
}

bool TPlayForm::create() {
    // Owned by the main window until it is docked: no taskbar button of its own.
    if (!createForm("TPlayForm", "TPlayForm", 0, 0, 400, 300, WS_POPUP | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES,
                    ApplicationOwner()))
        return false;
    setColor(kSkinText);
    pnlMain.setColor(kSkinText);
    pnlMain.create();
    pnlMain.setAlign(Align::Client);
    pnlMain.onDblClick = [this] { pnlMainDblClick(); };
    pnlMain.onResize = [this] { pnlMainResize(); };
    pnlFlash.setColor(kSkinText);
    pnlFlash.create(-10, -10, 5, 5);
    pnlFlash.onResize = [this] {
        pnlFlash.setFocus();
        if (IsWindowVisible(Flash1.handle())) Flash1.setFocus();
    };
    Flash1.create(0, 0, 5, 5);
    Flash1.setAlign(Align::Client);
    Flash1.OnFSCommand = [](const std::string& command, const std::string& args) {
        if (Seams.fsCommand) Seams.fsCommand(command, args);
    };
    Seams.fsCommand = [this](const std::string& command, const std::string& args) {
        Flash1FSCommand(command, args);
    };
    Flash1.OnGetURL = [this](const std::string& url, const std::string& window, const std::string& post) {
        Flash1GetURL(url, window, post);
    };
    Seams.jumpToFrame = ShowJumpToPositionForm;
    Seams.playArea = ShowPlayAreaForm;
    InstallPictureCommands();
    tmMain.setInterval(250);
    tmMain.onTimer = [this] { tmMainTimer(); };
    tmDownload.setInterval(250);
    tmDownload.onTimer = [this] { tmDownloadTimer(); };
    SweepStaleDownloadFiles();
    pmMain = std::make_unique<Menu>(kPlayFormMenuSpec, kPlayFormMenuCount, false);
    wireMenu();
    installHook();
    return true;
}

void TPlayForm::installHook() {
    if (!hookId_)
        hookId_ = Application::instance().addMessageHook([this](MSG& m) { return ApplicationEventsMessage(m); });
}

void TPlayForm::removeHook() {
    if (hookId_) Application::instance().removeMessageHook(hookId_);
    hookId_ = 0;
}

void TPlayForm::FormDestroy() {
    tmMain.setEnabled(false);
    endDownload();
    releaseDownloadedFile();
    Seams.fsCommand = nullptr;
    if (hookId_) Application::instance().removeMessageHook(hookId_);
    hookId_ = 0;
}

void TPlayForm::parkFlashHost(int size) {
    pnlFlash.setAlign(Align::None);
    pnlFlash.setBounds(-10, -10, size, size);
}

bool TPlayForm::PlayFile(const std::string& path) { return playMovie(path, path); }

bool TPlayForm::playMovie(const std::string& local, const std::string& itemName) {
    if (!fileExists(local)) return false;
    TFlashFileAttr attr = readAttr(local);
    if (!attr.IsFlashFile) return false;
    std::string load = local;
    if (AnsiLowerAscii(AnsiExtractFileExt(local)) == ".exe") {
        load = ProgramPath + "Korvamelden.swf";
        try {
            DeleteFileA(load.c_str());
            if (!ExeToSwf(local, load)) return false;
        } catch (const std::exception&) {
            return false;
        }
    }
    if (MainForm && MainForm->activePage() == 0) {
        setFocus();
        Flash1.setFocus();
    }
    Flash1.setMovie(load);
    // A file that passes the header test but holds no playable movie is
    // skipped like any other file that cannot be played.
    if (!Flash1.loaded()) return false;
    Flash1.Play();
    CurrentLocalFile = local;
    pnlMain.setColor(RGB(0, 0, 0));
    pnlFlash.setColor(RGB(0, 0, 0));
    MovieWidth = attr.Width;
    MovieHeight = attr.Height;
    tmMain.setInterval(250);
    tmMain.setEnabled(true);
    MovieTotalFrames = Flash1.TotalFrames();
    frameSeenAt_ = clockMs();
    recordRecentFile(itemName);
    if (item("pmiShieldOuterPictureOfScene").checked()) {
        AdjustSizeOfPlayArea(MovieWidth, MovieHeight);
    } else {
        pnlFlash.setAlign(Align::Client);
    }
    if (item("pmiHighQulity").checked())
        Flash1.setQuality(1);
    else if (item("pmiMiddleQulity").checked())
        Flash1.setQuality(3);
    else if (item("pmiLowQulity").checked())
        Flash1.setQuality(0);
    Flash1.setScaleMode(item("pmiKeepScale").checked() ? 0 : 1);
    if (Options.CancelScreenSaveWhenPlay) sys().setScreenSaverActive(false);
    return true;
}

void TPlayForm::recordRecentFile(const std::string& path) {
    const int limit = Options.ListLatestFilesNum;
    if (limit <= 0) return;
    RecentFiles.insert(RecentFiles.begin(), path);
    if (static_cast<int>(RecentFiles.size()) > limit) RecentFiles.erase(RecentFiles.begin() + limit);
    if (MainForm) MainForm->AddLatestUsedFilesToMenu();
}

void TPlayForm::playAFile(const std::string& path) {
    StopPlayFile();
    PlayListFiles.clear();
    PlayListTitles.clear();
    if (PlayListForm) PlayListForm->lstPlayList.clear();
    CurrentPlayListFile = ProgramPath + "Korvamelden.fpl";
    PlayListFiles.push_back(path);
    PlayListTitles.push_back(ExtractFileTitle(path));
    if (PlayListForm) PlayListForm->lstPlayList.add();
    CurrentIndex = 1;
    PlayListCount = 1;
    pmiPlayClick();
    if (MainForm) {
        MainForm->lblPlayListName.setText("正在播放");
        MenuItem& lists = MainForm->item("mmiPlayList");
        for (int i = 15; i < lists.count(); ++i) lists.item(i)->setDefault(false);
    }
}

void TPlayForm::showPlaying() {
    item("pmiPlay").setCaption("暂停");
    if (MainForm) {
        MainForm->item("mmiPlay").setCaption(kPauseCaption);
        MainForm->bar.showPlayState(1);
        MainForm->setCaption(std::string(kAppTitle) + " - " + CurrentTitle);
    }
}

void TPlayForm::startedPlaying() {
    showPlaying();
    PlayState = 1;
    if (MainForm) MainForm->ShowCaptionInlblCaption();
    ShowFlashInfo();
}

void TPlayForm::pmiPlayClick() {
    if (MainForm) MainForm->bar.imgPlayStatus.setVisible(true);
    switch (PlayState) {
        case 0: {
            const int count = std::min<int>(PlayListCount, static_cast<int>(
                                                               std::min(PlayListFiles.size(), PlayListTitles.size())));
            if (count < 1) {
                if (Seams.openFiles) Seams.openFiles();
                return;
            }
            if (CurrentIndex < 1 || CurrentIndex > count) CurrentIndex = 1;
            CurrentFile = PlayListFiles[static_cast<size_t>(CurrentIndex - 1)];
            CurrentTitle = PlayListTitles[static_cast<size_t>(CurrentIndex - 1)];
            if (PlayListForm) PlayListForm->lstPlayList.invalidate();
            if (IsDownloadAddress(CurrentFile)) {
                beginDownload();  // plays once the copy is in
            } else {
                const std::string local = LocalPathOfItem(CurrentFile);
                if (fileExists(local) && playMovie(local, CurrentFile)) startedPlaying();
            }
            break;
        }
        case 1:
            tmMain.setInterval(1000);
            MovieCurrentFrame = Flash1.CurrentFrame();
            Flash1.StopPlay();
            Flash1.GotoFrame(MovieCurrentFrame);
            item("pmiPlay").setCaption("播放");
            if (MainForm) {
                MainForm->item("mmiPlay").setCaption(kPlayCaption);
                MainForm->bar.showPlayState(2);
                MainForm->setCaption(MainForm->caption() + "[暂停]");
            }
            PlayState = 2;
            if (MainForm) MainForm->ShowCaptionInlblCaption();
            break;
        default:
            tmMain.setInterval(250);
            Flash1.Play();
            showPlaying();
            PlayState = 1;
            if (MainForm) MainForm->ShowCaptionInlblCaption();
            break;
    }
}

void TPlayForm::StopPlayFile() {
    if (downloading()) {
        endDownload();
        HasStopped = true;
        if (MainForm) MainForm->ShowCaptionInlblCaption();
    }
    if (PlayState == 0) return;
    Flash1.Stop();
    Flash1.setMovie("1.swf");
    CurrentLocalFile.clear();
    releaseDownloadedFile();
    pnlMain.setColor(kSkinText);
    pnlFlash.setColor(kSkinText);
    parkFlashHost(5);
    const int was = PlayState;
    if (MainForm) {
        MainForm->bar.imgTrackBar.setLeft(0);
        MainForm->bar.imgPlayProgress.setWidth(0);
        MainForm->bar.lblTime.setText("");
        MainForm->setCaption(kAppTitle);
        MainForm->bar.showPlayState(0);
        if (was == 1) MainForm->item("mmiPlay").setCaption(kPlayCaption);
    }
    if (was == 1) item("pmiPlay").setCaption("播放");
    PlayState = 0;
    HasStopped = true;
    if (MainForm) MainForm->ShowCaptionInlblCaption();
    ShowFlashInfo();
    sys().setScreenSaverActive(true);
    tmMain.setEnabled(false);
}

void TPlayForm::pmiStopClick() {
    if (item("pmiFullScreen").checked() && Options.QuitFullScreenWhenStop) pmiFullScreenClick();
    StopPlayFile();
}

void TPlayForm::tmMainTimer() {
    if (PlayState == 1) {
        MovieCurrentFrame = Flash1.CurrentFrame();
        if (!TrackDragging) UpdatePlayProgress(MovieCurrentFrame, MovieTotalFrames);
        ShowPlayProgress();
        if (PlayAreaActive && MovieCurrentFrame >= AreaEndFrame) {
            pmiPlayClick();
            PlayAreaActive = false;
        }
        if (ABCircleActive && MovieCurrentFrame >= AreaEndFrame) MoveToPosition(AreaBeginFrame);
    }
    if (PlayState == 1 && item("pmiAutoControl").checked()) {
        // A frame stands still only once it has shown for longer than its own
        // frame time: a slow movie is not restarted between two of its frames.
        const unsigned now = clockMs();
        if (MovieCurrentFrame != LastTimerFrame) {
            LastTimerFrame = MovieCurrentFrame;
            frameSeenAt_ = now;
        } else if (now - frameSeenAt_ > frameTimeMs()) {
            if (MovieAtEnd(MovieCurrentFrame, MovieTotalFrames)) {
                applyEndRule();
            } else {
                Flash1.Stop();
                ++MovieCurrentFrame;
                Flash1.Play();
            }
            return;
        }
    }
    if (PlayState == 2 && MainForm) {
        MyImage& status = MainForm->bar.imgPlayStatus;
        status.setVisible(!status.visible());
    }
}

unsigned TPlayForm::frameTimeMs() {
    const double rate = Flash1.loaded() ? Flash1.player().frameRate() : 0;
    return rate > 0 ? static_cast<unsigned>(1000.0 / rate) : 1000u / 12;
}

void TPlayForm::applyEndRule() {
    if (MainForm && MainForm->item("mmiCircleCurrentFile").checked()) {
        pmiStopClick();
        pmiPlayClick();
    } else if (MainForm && MainForm->item("mmiRandomPlay").checked()) {
        CurrentIndex = sys().random(std::max(PlayListCount, 1));
        pmiNextClick();
    } else {
        pmiNextClick();
    }
}

bool TPlayForm::ApplicationEventsMessage(MSG& msg) {
    try {
        if (Flash1.handle() && msg.hwnd == Flash1.handle()) {
            if (msg.message == WM_RBUTTONDOWN) {
                POINT p;
                GetCursorPos(&p);
                pmMain->popup(handle(), p.x, p.y);
                return true;
            }
            if (msg.message == WM_LBUTTONDBLCLK && Options.ExecuteFullScreenWhenDbClick) pmiFullScreenClick();
        }
        if (PlayState == 2 && Flash1.IsPlaying()) {
            pmiPlayClick();
        } else if (PlayState == 1 && !Flash1.IsPlaying() && !item("pmiAutoControl").checked()) {
            pmiPlayClick();
        }
    } catch (...) {
        // Nothing that goes wrong here may stop the message loop.
    }
    return false;
}

}  // namespace kv
