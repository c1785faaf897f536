// The program's options and window state as stored in "Korvamelden.ini":
// one field per key, with its default, read with its range rules and written
// back in a fixed order.
#pragma once

#include <string>
#include <vector>

namespace kv {

class IniFile;

struct Settings {
    // [WindowState]
    bool IsMaximized = true;
    int Left = 0, Top = 0, Width = 700, Height = 540;
    bool StayOnTop = false;
    int ActiveIndex = 0;
    bool ShowFlashInfo = true;
    bool ShowPlayList = true;
    bool MaxVideoWindow = false;
    int WidthOfFlashInfo = 210;
    int HeightOfFlashInfo = 100;
    // [Path]
    std::string LastOpenFolder, LastSaveFolder;
    // [PlayListInfo]
    std::string CurrentPlayListFile;
    int CurrentIndex = 1;
    // [PlayOption]
    bool KeepScale = true;
    bool LowQulity = false, MiddleQulity = false, HighQulity = true;
    bool AutoControl = false, CirclePlay = false, RandomPlay = false;
    int VolumeNum = 13;
    int HaveVolume = 1;
    bool ShieldOuterPictureOfScene = false;
    // [Option]
    bool CancelScreenSaveWhenPlay = true, ConfirmWhenQuit = false;
    bool ResumePlayWhenStart = false, AutoPlayWhenStart = false;
    int ListLatestFilesNum = 0;
    bool ShowTrayIcon = true, ShowInTaskbar = true;
    int ApplicationPRI = 2;
    bool MinimizedToTray = false, CloseToTray = false, CheckFileLinkWhenStart = false;
    bool AddToPlayListWhenDbClickInWindows = false, ShowToolsTip = true;
    bool ExecuteFullScreenWhenDbClick = true, QuitFullScreenWhenStop = true;
    // [PlayInfo], read only when ResumePlayWhenStart is on
    std::string ResumeFile;
    int ResumeFrame = 0;
    int ResumeStatus = 1;
    // [LatestUsedFiles]
    std::vector<std::string> RecentFiles;
    // [PlayListOption]
    bool ShowIndex = true;
    std::string FontName;  // "宋体" by default (set by the constructor)
    int FontSize = 9;
    bool Bold = false, Italic = false, Underline = false;
    int OppositeItemHeight = 6;
    int Alignment = 0;
    // [FileConvert]
    int ConvertMode = 0;
    std::string SavePath;
    bool PlayConvertedFiles = false, DeleteConvertedFiles = false;
    // [FSCommand]
    int AllowExecute = 0, Exec = 0, Quit = 1;
    bool WarningWhenIsnotExecute = true;

    Settings();
};

// Range of the pane sizes read ("WidthOfFlashInfo", "HeightOfFlashInfo").
constexpr int kMinPaneSize = 20, kMaxPaneSize = 4000;
// Recent files: the options dialog offers limits up to 9; at most this many
// entries are read, however many the file holds or the limit names.
constexpr int kRecentFilesOptionMax = 9, kRecentFilesReadMax = 100;
// Entries read from "LatestUsedFiles": the limit, but at least the largest
// the options dialog offers (entries left from a larger limit stay) and at
// most kRecentFilesReadMax.
int RecentFilesReadLimit(int listLatestFilesNum);

// The name of the settings file in the program folder.
extern const char* const kSettingsFileName;

struct ScreenSize {
    int width = 1024, height = 768;
};

// Reads every key the main window reads at start, applying defaults and
// ranges. `programPath` ends in a backslash. A "PlayListInfo" file that does
// not exist falls back to the default list with index 1.
Settings ReadSettings(const IniFile& ini, const std::string& programPath, ScreenSize screen);

// What the exit writes about the movie playing at that moment.
struct ResumeInfo {
    bool write = false;  // playing or paused with resuming on; otherwise the section is erased
    std::string file;
    int frame = 0;
    int status = 1;
};

// Writes every key the main window owns, in the order the file keeps them.
void WriteSettings(IniFile& ini, const Settings& s, const ResumeInfo& resume);

}  // namespace kv
