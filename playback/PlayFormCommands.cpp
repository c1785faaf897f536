// The play window's commands: next and previous, ten-frame steps, seeking,
// the position bar and counter, the play area rule, full screen, the check
// items, zoom, the commands other windows carry out, keys and dropped files.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/PlayTime.h"
#include "app/Seams.h"
#include "flashfile/FlashFileAttr.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/UiServices.h"

namespace kv {

void TPlayForm::wireMenu() {
    using Handler = void (TPlayForm::*)();
    const std::pair<const char*, Handler> handlers[] = {
        {"pmiFullScreen", &TPlayForm::pmiFullScreenClick},
        {"pmiPlay", &TPlayForm::pmiPlayClick},
        {"pmiStop", &TPlayForm::pmiStopClick},
        {"pmiBack", &TPlayForm::pmiBackClick},
        {"pmiForward", &TPlayForm::pmiForwardClick},
        {"pmiFront", &TPlayForm::pmiFrontClick},
        {"pmiNext", &TPlayForm::pmiNextClick},
        {"pmiJumpToFrame", &TPlayForm::pmiJumpToFrameClick},
        {"pmiPlayArea", &TPlayForm::pmiPlayAreaClick},
        {"pmiPlayFile", &TPlayForm::pmiPlayFileClick},
        {"pmiAutoControl", &TPlayForm::pmiAutoControlClick},
        {"pmiHighQulity", &TPlayForm::pmiHighQulityClick},
        {"pmiMiddleQulity", &TPlayForm::pmiMiddleQulityClick},
        {"pmiLowQulity", &TPlayForm::pmiLowQulityClick},
        {"pmiZoomIn", &TPlayForm::pmiZoomInClick},
        {"pmiZoomOut", &TPlayForm::pmiZoomOutClick},
        {"pmiNormalSize", &TPlayForm::pmiNormalSizeClick},
        {"pmiShieldOuterPictureOfScene", &TPlayForm::pmiShieldOuterPictureOfSceneClick},
        {"pmiKeepScale", &TPlayForm::pmiKeepScaleClick},
        {"pmiProperty", &TPlayForm::pmiPropertyClick},
        {"pmiSaveAs", &TPlayForm::pmiSaveAsClick},
        {"pmiSavePicture", &TPlayForm::pmiSavePictureClick},
        {"pmiSetWallPaper", &TPlayForm::pmiSetWallPaperClick},
        {"pmiAddToFav", &TPlayForm::pmiAddToFavClick},
        {"pmiClose", &TPlayForm::pmiCloseClick},
    };
    // Virtual commands are called through this, so a derived window's versions run.
    for (const auto& h : handlers) {
        Handler m = h.second;
        item(h.first).onClick = [this, m] { (this->*m)(); };
    }
    for (const char* name :
         {"pmiMulitPicture", "pmiMulitPicture9", "pmiMulitPicture16", "pmiMulitPicture25", "pmiMulitPicture36"}) {
        MenuItem* m = &item(name);
        m->onClick = [this, m] { pmiMulitPictureClick(*m); };
    }
}

void TPlayForm::pmiNextClick() {
    StopPlayFile();
    if (MainForm) MainForm->item("mmiCircleCurrentFile").setChecked(false);
    ++CurrentIndex;
    if (CurrentIndex > PlayListCount) {
        bool loop = MainForm && MainForm->item("mmiCirclePlay").checked();
        CurrentIndex = loop ? 1 : PlayListCount;
    }
    pmiPlayClick();
}

void TPlayForm::pmiFrontClick() {
    StopPlayFile();
    if (MainForm) MainForm->item("mmiCircleCurrentFile").setChecked(false);
    --CurrentIndex;
    if (CurrentIndex < 1) {
        bool loop = MainForm && MainForm->item("mmiCirclePlay").checked();
        CurrentIndex = loop ? PlayListCount : 1;
    }
    pmiPlayClick();
}

void TPlayForm::pmiBackClick() {
    if (PlayState == 0) return;
    Flash1.Stop();
    Flash1.GotoFrame(MovieCurrentFrame - 10);
    Flash1.Play();
}

void TPlayForm::pmiForwardClick() {
    if (PlayState == 0) return;
    Flash1.Stop();
    Flash1.GotoFrame(MovieCurrentFrame + 10);
    Flash1.Play();
}

void TPlayForm::MoveToPosition(int frame) {
    MovieCurrentFrame = frame;
    if (PlayState == 1) {
        Flash1.Stop();
        Flash1.setMovie("1.swf");
        playMovie(CurrentLocalFile, CurrentFile);
        Flash1.GotoFrame(frame);
        Flash1.Play();
    } else if (PlayState == 2) {
        Flash1.Stop();
        Flash1.GotoFrame(frame);
    }
    UpdatePlayProgress(MovieCurrentFrame, MovieTotalFrames);
}

void TPlayForm::UpdatePlayProgress(int current, int total) {
    if (total <= 0 || !MainForm) return;
    MainForm->bar.UpdatePlayProgress(current, total);
}

void TPlayForm::ShowPlayProgress() {
    if (!MainForm) return;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d / %d   ", MovieCurrentFrame, MovieTotalFrames);
    MainForm->bar.lblTime.setText(buf);
}

void TPlayForm::AdjustSizeOfPlayArea(int width, int height) {
    if (width <= 0 || height <= 0) {
        pnlFlash.setAlign(Align::Client);
        return;
    }
    pnlFlash.setAlign(Align::None);
    RECT r = pnlMain.clientRect();
    const int a = r.right, b = r.bottom;
    int w, h, left, top;
    if (static_cast<double>(height) / width >= static_cast<double>(b) / std::max(a, 1)) {
        h = b;
        w = b * width / height;
        top = 0;
        left = std::abs(a - w) / 2;
    } else {
        w = a;
        h = a * height / width;
        left = 0;
        top = std::abs(b - h) / 2;
    }
    pnlFlash.setBounds(left, top, w, h);
}

void TPlayForm::pnlMainResize() {
    if (PlayState != 0 && item("pmiShieldOuterPictureOfScene").checked())
        AdjustSizeOfPlayArea(MovieWidth, MovieHeight);
}

void TPlayForm::ShowFlashInfo() {
    if (!PlayListForm) return;
    ListView& lv = PlayListForm->lvFlashInfo;
    if (PlayState == 0) {
        lv.clear();
        return;
    }
    TFlashFileAttr a;
    try {
        GetFlashFileAttr(CurrentMovieOnDisk(), a);
    } catch (const std::exception&) {
        a = TFlashFileAttr();
    }
    auto num = [](int v, const char* unit) { return v > 0 ? std::to_string(v) + unit : std::string(); };
    lv.addRow(" 文件版本:", a.Version);
    lv.addRow(" 文件帧数:", num(a.FrameCount, " 帧"));
    lv.addRow(" 播放速率:", num(a.FrameRate, " 帧/秒"));
    lv.addRow(" 播放时间:",
              a.FrameCount > 0 && a.FrameRate > 0 ? CalculatePlayTime(a.FrameCount, a.FrameRate) : std::string());
    lv.addRow(" 影片尺寸:", a.Width > 0 && a.Height > 0
                                ? std::to_string(a.Width) + "×" + std::to_string(a.Height)
                                : std::string());
}

bool TPlayForm::fullScreen() const { return (*pmMain)["pmiFullScreen"].checked(); }

void TPlayForm::pmiFullScreenClick() {
    MenuItem& fs = item("pmiFullScreen");
    if (fs.checked()) {
        fs.setChecked(false);
        if (MainForm) {
            dock(MainForm->pnlPlayArea);
            show();
        }
    } else if (PlayState != 0) {
        fs.setChecked(true);
        undock();
        SetWindowPos(handle(), HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        SetForegroundWindow(handle());
        Flash1.setFocus();
    }
}

void TPlayForm::pnlMainDblClick() {
    if (Options.ExecuteFullScreenWhenDbClick) pmiFullScreenClick();
}

void TPlayForm::setQuality(const char* which, int value) {
    item(std::string("pmi") + which).setChecked(true);
    if (MainForm) MainForm->item(std::string("mmi") + which).setChecked(true);
    Flash1.setQuality(value);
}

void TPlayForm::pmiHighQulityClick() { setQuality("HighQulity", 1); }
void TPlayForm::pmiMiddleQulityClick() { setQuality("MiddleQulity", 3); }
void TPlayForm::pmiLowQulityClick() { setQuality("LowQulity", 0); }

void TPlayForm::pmiKeepScaleClick() {
    MenuItem& k = item("pmiKeepScale");
    k.setChecked(!k.checked());
    if (MainForm) MainForm->item("mmiKeepScale").setChecked(k.checked());
    Flash1.setScaleMode(k.checked() ? 0 : 1);
}

void TPlayForm::pmiAutoControlClick() {
    MenuItem& a = item("pmiAutoControl");
    a.setChecked(!a.checked());
    if (MainForm) MainForm->item("mmiAutoControl").setChecked(a.checked());
    if (a.checked() && PlayState == 2) pmiPlayClick();
}

void TPlayForm::pmiShieldOuterPictureOfSceneClick() {
    MenuItem& s = item("pmiShieldOuterPictureOfScene");
    s.setChecked(!s.checked());
    if (MainForm) MainForm->item("mmiShieldOuterPictureOfScene").setChecked(s.checked());
    if (PlayState == 0) return;
    if (s.checked())
        AdjustSizeOfPlayArea(MovieWidth, MovieHeight);
    else
        pnlFlash.setAlign(Align::Client);
}

void TPlayForm::pmiZoomInClick() {
    if (PlayState != 0) Flash1.Zoom(50);
}
void TPlayForm::pmiZoomOutClick() {
    if (PlayState != 0) Flash1.Zoom(200);
}
void TPlayForm::pmiNormalSizeClick() {
    if (PlayState != 0) Flash1.Zoom(0);
}

void TPlayForm::pmiJumpToFrameClick() {
    if (Seams.jumpToFrame) Seams.jumpToFrame();
}
void TPlayForm::pmiPlayAreaClick() {
    if (Seams.playArea) Seams.playArea();
}
void TPlayForm::pmiSaveAsClick() {
    if (Seams.saveAs) Seams.saveAs();
}
void TPlayForm::pmiSavePictureClick() {
    if (Seams.savePicture) Seams.savePicture();
}
void TPlayForm::pmiSetWallPaperClick() {
    if (Seams.setWallpaper) Seams.setWallpaper();
}
void TPlayForm::pmiMulitPictureClick(const MenuItem& sender) {
    if (PlayState != 0 && Seams.multiPicture) Seams.multiPicture(sender.tag);
}
void TPlayForm::pmiPropertyClick() {
    if (PlayState != 0 && Seams.showFlashFileProperty)
        Seams.showFlashFileProperty(CurrentTitle, CurrentMovieOnDisk());
}
void TPlayForm::pmiAddToFavClick() {
    if (PlayState != 0 && Seams.addFileToFavorite) Seams.addFileToFavorite(CurrentTitle, CurrentFile);
}

void TPlayForm::pmiPlayFileClick() {
    FileDialogRequest req;
    req.owner = handle();
    req.filter = "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe";
    req.initialDir = Options.LastOpenFolder;
    FileDialogResult out;
    if (!ui().openFileDialog(req, out) || out.files.empty()) return;
    playAFile(out.files.front());
    Options.LastOpenFolder = AnsiExtractFilePath(out.files.front());
}

// Closing the play window ends the program, also from full screen, where
// the window stands on its own and Alt+F4 closes it.
void TPlayForm::pmiCloseClick() {
    hide();
    Application::instance().terminate();
}

namespace {
struct KeyCommand {
    bool alt;
    WORD key;
    const char* item;
};
// The main window's table without normal size and zoom.
const KeyCommand kPlayKeys[] = {
    {false, VK_PRIOR, "mmiBack"},      {false, VK_NEXT, "mmiForward"},     {false, VK_LEFT, "mmiFront"},
    {false, VK_RIGHT, "mmiNext"},      {false, 'D', "mmiOpenDir"},         {false, 'J', "mmiJumpToPosition"},
    {false, 'O', "mmiOpenFiles"},      {false, 'P', "mmiPlay"},            {false, 'R', "mmiPlayArea"},
    {false, 'S', "mmiStop"},           {false, 'U', "mmiOpenURL"},         {true, VK_RETURN, "mmiFullScreen"},
};
}  // namespace

void TPlayForm::FormKeyDown(WORD& key, ShiftState shift) {
    // The modifiers as they are when the key arrives: a dialog's own message
    // loop may have taken the key-up that would have cleared a remembered flag.
    CtrlDown = shift.ctrl;
    AltDown = shift.alt;
    ShiftDown = shift.shift;
    if (!MainForm) return;
    for (const KeyCommand& k : kPlayKeys) {
        if (k.key == key && (k.alt ? AltDown : CtrlDown)) {
            MainForm->item(k.item).click();
            return;
        }
    }
}

void TPlayForm::FormKeyUp(WORD&, ShiftState shift) {
    CtrlDown = shift.ctrl;
    AltDown = shift.alt;
    ShiftDown = shift.shift;
}

void TPlayForm::WMDropFiles(HDROP drop) {
    char name[256] = {};
    if (DragQueryFileA(drop, 0, name, sizeof name)) {
        std::string path = name;
        std::string ext = AnsiLowerAscii(AnsiExtractFileExt(path));
        if (ext == ".swf" || ext == ".exe") playAFile(path);
    }
    DragFinish(drop);
}

bool TPlayForm::handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_CLOSE) {
        pmiCloseClick();
        result = 0;
        return true;
    }
    if (msg == WM_MOVIEDOWNLOAD) {
        downloadMessage(wp, lp);
        result = 0;
        return true;
    }
    if (msg == WM_DROPFILES) {
        WMDropFiles(reinterpret_cast<HDROP>(wp));
        result = 0;
        return true;
    }
    return false;
}

}  // namespace kv
