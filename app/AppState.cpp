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
std::string CurrentLocalFile;

std::string CurrentMovieOnDisk() { return CurrentLocalFile.empty() ? CurrentFile : CurrentLocalFile; }
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

std::string AnsiFolderOf(const std::wstring& widePath) {
    auto toAnsi = [](const std::wstring& w, std::string& out) {
        if (w.empty()) return false;
        BOOL lost = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), static_cast<int>(w.size()),
                                    nullptr, 0, nullptr, &lost);
        if (n <= 0 || lost) return false;
        out.assign(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), static_cast<int>(w.size()), &out[0], n,
                            nullptr, &lost);
        return !lost;
    };
    std::string ansi;
    if (toAnsi(widePath, ansi)) return AnsiExtractFilePath(ansi);
    // A name outside the ANSI code page: the folder's short (8.3) form is plain ASCII.
    const std::size_t sep = widePath.find_last_of(L"\\/");
    if (sep == std::wstring::npos) return std::string();
    const std::wstring folder = widePath.substr(0, sep);
    wchar_t shortPath[MAX_PATH * 2] = {};
    DWORD n = GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2 && toAnsi(std::wstring(shortPath, n), ansi)) return ansi + "\\";
    return std::string();
}

std::string ExecutableFolder() {
    if (!ProgramPathOverride.empty()) return ProgramPathOverride;
    wchar_t wide[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH * 2);
    std::string folder = AnsiFolderOf(std::wstring(wide, n < MAX_PATH * 2 ? n : 0));
    if (!folder.empty()) return folder;
    char buf[MAX_PATH * 2] = {};
    n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return AnsiExtractFilePath(std::string(buf, n < sizeof buf ? n : 0));
}

bool ExecutableFolderIsUsable() {
    if (!ProgramPathOverride.empty()) return true;
    wchar_t wide[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH * 2);
    return !AnsiFolderOf(std::wstring(wide, n < MAX_PATH * 2 ? n : 0)).empty();
}

}  // namespace kv
