// The main window's life with the system: the running-copy message, the tray
// icon and taskbar button, the clipboard watch, the close query and the
// settings written at exit.
#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "app/WindowPosition.h"
#include "flashfile/FlashFileAttr.h"
#include "platform/IniFile.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListFile.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
bool fileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return !path.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Broadcast by the shell when it (re)starts: every tray icon must be added again.
UINT TaskbarCreatedMessage() {
    static const UINT msg = RegisterWindowMessageA("TaskbarCreated");
    return msg;
}
}  // namespace

bool TMainForm::handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != 0 && msg == TaskbarCreatedMessage()) {
        WMTaskbarCreated();
        return true;
    }
    switch (msg) {
        case WM_QUERYENDSESSION:
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wp) SaveAtSessionEnd();
            result = 0;
            return true;
        case WM_ACTIVATEINSTANCE:
            WMActivateInstance();
            return true;
        case WM_TRAYICON:
            WMTrayIcon(lp);
            return true;
        case WM_DRAWCLIPBOARD:
            WMDrawClipboard(wp, lp);
            return true;
        case WM_CHECKCLIPBOARD:
            PlayClipboardPath();
            return true;
        case WM_CHANGECBCHAIN:
            clipboard_.chainChanged(reinterpret_cast<HWND>(wp), reinterpret_cast<HWND>(lp));
            return true;
        case WM_SIZE:
            if (wp == SIZE_MINIMIZED) {
                ApplicationMinimize();
            } else if (IsMinimized) {
                ApplicationRestore();
            }
            return false;
        case WM_DESTROY:
            clipboard_.leave();
            return false;
        default:
            (void)result;
            return false;
    }
}

void TMainForm::WMActivateInstance() {
    Application& app = Application::instance();
    if (app.isMinimized() || !IsWindowVisible(handle()))
        app.restore();
    else
        app.bringToFront();
}

void TMainForm::AddTrayIcon() {
    HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(handle(), GCLP_HICON));
    tray_.add(handle(), icon, kTrayTip);
}

void TMainForm::RemoveTrayIcon() { tray_.remove(); }

// The shell lost every icon: add ours again. A window hidden in the tray
// comes back if that fails, so it never becomes unreachable.
void TMainForm::WMTaskbarCreated() {
    if (!Options.ShowTrayIcon) return;
    AddTrayIcon();
    if (!TrayIconShown() && !IsWindowVisible(handle())) {
        Application::instance().restore();
        Application::instance().bringToFront();
    }
}

bool TMainForm::HidesInTray() const { return Options.ShowTrayIcon && TrayIconShown(); }

void TMainForm::WMTrayIcon(LPARAM lp) {
    Application& app = Application::instance();
    if (lp == WM_LBUTTONDOWN) {
        if (IsMinimized) {
            app.restore();
            app.bringToFront();
        } else {
            app.minimize();
        }
    } else if (lp == WM_RBUTTONDOWN) {
        POINT pt;
        GetCursorPos(&pt);
        pmTrayMenu->popup(handle(), pt.x, pt.y);
    }
}

void TMainForm::ApplicationMinimize() {
    IsMinimized = true;
    if (Options.MinimizedToTray && HidesInTray()) ShowWindow(handle(), SW_HIDE);
}

void TMainForm::ApplicationRestore() {
    IsMinimized = false;
    Application::instance().showTaskbarButton(Options.ShowInTaskbar);
}

// A copied path of a movie or projector is played at once; every notification
// after start-up goes on to the next viewer. The clipboard is read once the
// notification is over: the program that changed it may still hold it open.
void TMainForm::WMDrawClipboard(WPARAM wp, LPARAM lp) {
    if (!FormShown) return;
    PostMessageA(handle(), WM_CHECKCLIPBOARD, 0, 0);
    clipboard_.forward(WM_DRAWCLIPBOARD, wp, lp);
}

void TMainForm::PlayClipboardPath() {
    std::string text = ClipboardViewer::text(handle());
    if (!text.empty() && fileExists(text)) {
        TFlashFileAttr attr;
        try {
            GetFlashFileAttr(text, attr);
        } catch (const std::exception&) {
            attr = TFlashFileAttr();  // unreadable: not a movie
        }
        if (attr.IsFlashFile && PlayForm) {
            PlayForm->playAFile(text);
            Application& app = Application::instance();
            if (app.isMinimized())
                app.restore();
            else
                app.bringToFront();
        }
    }
}

bool TMainForm::FormCloseQuery() {
    if (ClosingFromTray) return true;
    if (Options.CloseToTray && HidesInTray()) {
        Application::instance().minimize();
        ShowWindow(handle(), SW_HIDE);
        return false;
    }
    if (Options.ConfirmWhenQuit) {
        return ui().messageBox(handle(), "是否确认退出？", kAppTitle, MB_YESNO | MB_ICONWARNING) == IDYES;
    }
    return true;
}

void TMainForm::mmiQuitClick() { close(); }

void TMainForm::mmiApplicationCloseClick() {
    ClosingFromTray = true;
    hide();
    Application::instance().terminate();
}

// Windows is ending the session and will not destroy the windows: the list
// and the settings are saved as at a normal exit, in the same order.
void TMainForm::SaveAtSessionEnd() {
    if (PlayListForm) SavePlayListAtExit(CurrentPlayListFile);
    WriteSettingsFile();
}

// Writes every setting from the state in memory, then re-enables the screen
// saver, removes the tray icon and frees the lists.
void TMainForm::FormDestroy() {
    WriteSettingsFile();
    sys().setScreenSaverActive(true);
    RemoveTrayIcon();
    clipboard_.leave();
    PlayListFiles.clear();
    PlayListTitles.clear();
    PlayListCount = 0;
}

void TMainForm::WriteSettingsFile() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (handle() && GetWindowPlacement(handle(), &wp)) {
        Options.IsMaximized = wp.showCmd == SW_SHOWMAXIMIZED ||
                              (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED));
        // In screen coordinates, as they are applied at the next start.
        RECT r = NormalRectOnScreen(handle());
        Options.Left = r.left;
        Options.Top = r.top;
        Options.Width = r.right - r.left;
        Options.Height = r.bottom - r.top;
    }
    // Before the first show the two marks still stand inverted (the first
    // show's clicks set them): the values read are kept then.
    if (FormShown) {
        Options.StayOnTop = item("mmiStayOnTop").checked();
        Options.MaxVideoWindow = item("mmiMaxVideoWindow").checked();
    }
    Options.ActiveIndex = activePage_;
    Options.WidthOfFlashInfo = pnlPlayList.width();
    Options.CurrentPlayListFile = CurrentPlayListFile;
    Options.CurrentIndex = CurrentIndex;
    Options.KeepScale = item("mmiKeepScale").checked();
    Options.HighQulity = item("mmiHighQulity").checked();
    Options.MiddleQulity = item("mmiMiddleQulity").checked();
    Options.LowQulity = item("mmiLowQulity").checked();
    Options.AutoControl = item("mmiAutoControl").checked();
    Options.CirclePlay = item("mmiCirclePlay").checked();
    Options.RandomPlay = item("mmiRandomPlay").checked();
    Options.HaveVolume = bar.imgVolume.tag;
    Options.ShieldOuterPictureOfScene = item("mmiShieldOuterPictureOfScene").checked();

    ResumeInfo resume;
    resume.write = (PlayState == 1 || PlayState == 2) && Options.ResumePlayWhenStart;
    resume.file = CurrentFile;
    resume.frame = MovieCurrentFrame;
    resume.status = PlayState;

    IniFile ini(ProgramPath + kSettingsFileName);
    WriteSettings(ini, Options, resume);
    ini.updateFile();  // a folder that cannot be written loses this run's settings
}

}  // namespace kv
