// The file dialogs of the playlist windows, through the UI services.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kv {

// Dialog filters.
extern const char* const kMovieFilter;  // "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe"
extern const char* const kPlayListFilter;   // "TesvanorFlash播放器播放列表|*.fpl"
extern const char* const kSaveMovieFilter;  // "flash动画|*.swf|可执行flash动画|*.exe"

// Lets the user choose movies (several at once), starting in LastOpenFolder;
// the folder of the first one chosen becomes LastOpenFolder. Empty when cancelled.
std::vector<std::string> ChooseMovies(HWND owner, const std::string& defaultExt = "");

// One file from an open (save = false) or save dialog starting in `folder`;
// empty when cancelled.
std::string ChooseFile(HWND owner, bool save, const char* filter, const std::string& defaultExt,
                       const std::string& folder, bool overwritePrompt = true);

}  // namespace kv
