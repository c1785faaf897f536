#include "app/AppState.h"

#include <windows.h>

#include "platform/AnsiText.h"

namespace kv {

std::string ProgramPath;
std::string PlayListsPath;
std::string FavoritePath;
Settings Options;
std::vector<std::string>& RecentFiles = Options.RecentFiles;
int PlayState = 0;
std::string CurrentFile, CurrentTitle;
int MovieCurrentFrame = 0, MovieTotalFrames = 0;
int MovieWidth = 0, MovieHeight = 0;
bool PlayAreaActive = false, ABCircleActive = false;
int AreaBeginFrame = 0, AreaEndFrame = 0;
int LastTimerFrame = 0;
bool HasStopped = false;
bool CtrlDown = false, AltDown = false, ShiftDown = false;
bool TrackDragging = false;
std::string ProgramPathOverride;
std::vector<std::string> CommandLineParams;

std::string ExecutableFolder() {
    if (!ProgramPathOverride.empty()) return ProgramPathOverride;
    char buf[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return AnsiExtractFilePath(std::string(buf, n));
}

}  // namespace kv
