// TMainForm: the main window. It owns the settings and the process-wide
// state, hosts the docked play and playlist windows, the menu bar, the tray
// icon and the clipboard watch, and writes the settings back at exit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/TransportBar.h"
#include "platform/ClipboardViewer.h"
#include "platform/TrayIcon.h"
#include "playlist/PlayListSelector.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/MyImage.h"

namespace kv {

constexpr UINT WM_ACTIVATEINSTANCE = WM_USER + 0x1000;  // 0x1400, sent by a second copy
constexpr UINT WM_CHECKCLIPBOARD = WM_APP + 1;          // reads the clipboard after a change
extern const char* const kMainWindowClass;              // "Korvamelden_qlo"
extern const char* const kTrayTip;                      // "TesvanorFlash播放器 1.6"

class TMainForm : public Form {
public:
    TMainForm();
    ~TMainForm() override;
    // Creates the window and its controls and runs FormCreate.
    bool create();

    // Components.
    std::unique_ptr<Menu> MainMenu1;
    std::unique_ptr<Menu> pmTrayMenu;
    Panel Panel2{this};       // top strip with the task buttons and the list selector
    Panel pnlBottom{this};    // the transport bar
    Panel pnlMain{this};      // client area holding the pages
    Panel tsPlay{&pnlMain};   // play page
    Panel tsFileConvert{&pnlMain};
    Panel Panel6{&tsPlay};    // strip above the play area
    Panel Panel9{&tsPlay};
    Panel pnlPlayList{&tsPlay};
    Panel sptPlayList{&tsPlay};
    Panel pnlPlayArea{&tsPlay};
    MyImage sbFullScreen{&Panel6};
    MyImage sbMaxVideoWindow{&Panel6};
    MyImage imgTaskPlay{&Panel2};
    Label Label2{&imgTaskPlay};
    MyImage imgTaskFileTypeConvert{&Panel2};
    Label Label1{&imgTaskFileTypeConvert};
    Panel Panel12{&Panel2};
    Label lblPlayListName{&Panel12};
    MyImage imgPlayListDropDown{&Panel12};
    PlayListSelector cboPlayList{&Panel12};
    TransportBar bar{&pnlBottom};

    MenuItem& item(const std::string& name) { return (*MainMenu1)[name]; }

    // Start-up and shutdown.
    void FormCreate();
    void ProgramInitializtion();
    void FormShow() override;
    bool FormCloseQuery() override;
    void FormDestroy() override;
    // The first parameter of the command line, or resume and automatic play.
    void HandleStartRequest(const std::vector<std::string>& params);

    // Tray icon and taskbar.
    void AddTrayIcon();
    void RemoveTrayIcon();
    bool TrayIconShown() const { return tray_.shown(); }
    void WMTrayIcon(LPARAM lp);
    void WMActivateInstance();
    void ApplicationMinimize();
    void ApplicationRestore();
    // Clipboard watch.
    void WMDrawClipboard(WPARAM wp, LPARAM lp);
    void PlayClipboardPath();
    const ClipboardViewer& clipboardViewer() const { return clipboard_; }

    // Panes, pages and view items.
    void ShowPlayListOrFlashInfo();
    void mmiShowPlayListClick();
    void mmiMaxVideoWindowClick();
    void mmiStayOnTopClick();
    void pgcMainChange();
    int activePage() const { return activePage_; }
    void setActivePage(int index);
    void pnlPlayAreaResize();
    void pnlPlayListResize();

    // Menu commands of the main window itself.
    void mmiQuitClick();
    void mmiApplicationCloseClick();
    void mmiOpenCDROMClick();
    void mmiCloseCDROMClick();
    void mmiHelpTopicClick();
    void AddLatestUsedFilesToMenu();
    void PlayLatestUsedFileByClickMenuItem(const MenuItem& sender);

    // Caption label and state pictures, written by the player too.
    void ShowCaptionInlblCaption();

    bool IsMinimized = false;
    bool FormShown = false;
    std::string ResumeFile;
    int ResumeFrame = 0;
    int ResumeStatus = 1;
    // Set when the tray menu's exit closes the window: no close query.
    bool ClosingFromTray = false;

protected:
    bool handleFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void FormResize() override;
    void FormKeyDown(WORD& key, ShiftState shift) override;
    void FormKeyUp(WORD& key, ShiftState shift) override;

private:
    void createControls();
    void wireMenu();
    void applyOptionsToMenus();
    void copyChecksToDockedWindows();
    void applyPlayListFont();

    TrayIcon tray_;
    ClipboardViewer clipboard_;
    int activePage_ = 0;
};

extern TMainForm* MainForm;

}  // namespace kv
