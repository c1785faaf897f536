#include "playlist/PlayListFileDialogs.h"

#include "app/AppState.h"
#include "platform/AnsiText.h"
#include "ui/UiServices.h"

namespace kv {

const char* const kMovieFilter = "全部支持格式|*.swf;*.exe|flash动画|*.swf|可执行flash动画|*.exe";
const char* const kPlayListFilter = "TesvanorFlash播放器播放列表|*.fpl";
const char* const kSaveMovieFilter = "flash动画|*.swf|可执行flash动画|*.exe";

std::vector<std::string> ChooseMovies(HWND owner, const std::string& defaultExt) {
    FileDialogRequest req;
    req.owner = owner;
    req.filter = kMovieFilter;
    req.defaultExt = defaultExt;
    req.initialDir = Options.LastOpenFolder;
    req.multiSelect = true;
    FileDialogResult out;
    if (!ui().openFileDialog(req, out) || out.files.empty()) return {};
    Options.LastOpenFolder = AnsiExtractFilePath(out.files.front());
    return out.files;
}

std::string ChooseFile(HWND owner, bool save, const char* filter, const std::string& defaultExt,
                       const std::string& folder, bool overwritePrompt) {
    FileDialogRequest req;
    req.owner = owner;
    req.filter = filter;
    req.defaultExt = defaultExt;
    req.initialDir = folder;
    req.overwritePrompt = overwritePrompt;
    FileDialogResult out;
    bool ok = save ? ui().saveFileDialog(req, out) : ui().openFileDialog(req, out);
    return ok && !out.files.empty() ? out.files.front() : std::string();
}

}  // namespace kv
