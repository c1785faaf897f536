// The list commands of the playlist window's popup menu (also reached from
// the main menu and the keys).
#include <algorithm>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Seams.h"
#include "flashfile/SaveFileAs.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/PlayForm.h"
#include "playlist/LibraryMenus.h"
#include "playlist/PlayListDialogs.h"
#include "playlist/PlayListFileDialogs.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListReport.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string DefaultPlayListFile() { return ProgramPath + "Korvamelden.fpl"; }

bool IsDefaultPlayList(const std::string& path) {
    return AnsiLowerAscii(path) == AnsiLowerAscii(DefaultPlayListFile());
}

int Ask(HWND owner, const std::string& text, unsigned icon) {
    return ui().messageBox(owner, text, kAppTitle, MB_OKCANCEL | icon);
}

template <class T>
void SwapAt(std::vector<T>& v, int a, int b) {
    std::swap(v[static_cast<size_t>(a)], v[static_cast<size_t>(b)]);
}

}  // namespace

void TPlayListForm::pmiOpenFilesClick() {
    beginUpdate();
    for (const std::string& f : ChooseMovies(handle())) AddItem(f, ExtractFileTitle(f));
    endUpdate();
}

void TPlayListForm::pmiOpenURLClick() {
    if (ShowOpenURLDialog) ShowOpenURLDialog();
}

void TPlayListForm::pmiOpenDirectoryClick() {
    std::string folder;
    if (!BrowseForFolder("请选择需要添加的目录", "", folder)) return;
    SearchDirectory(folder, SearchTarget::CurrentList);
}

void TPlayListForm::pmiNewPlayListClick() { ShowNewPlayListDialog(); }

void TPlayListForm::pmiEditPlayListClick() { ShowEditPlayListDialog(); }

void TPlayListForm::pmiEditPlayListItemClick() {
    if (SelectedItem() < 0) return;
    ShowEditPlayListItemDialog();
}

void TPlayListForm::pmiLoadPlayListClick() {
    const std::string file = ChooseFile(handle(), false, kPlayListFilter, "fpl", Options.LastOpenFolder);
    if (file.empty()) return;
    LoadPlayListFile(file);
    Options.LastOpenFolder = AnsiExtractFilePath(file);
    // The main menu marks the list when it is one of the named lists.
    bool named = AnsiLowerAscii(AnsiExtractFilePath(file)) == AnsiLowerAscii(PlayListsPath);
    MarkCurrentPlayListEntry(named ? ExtractFileTitle(file) : std::string(), named);
}

void TPlayListForm::LoadPlayListFile(const std::string& path) {
    ReadPlayList(path);
    CurrentPlayListFile = path;
    if (MainForm)
        MainForm->lblPlayListName.setText(IsDefaultPlayList(path) ? "正在播放" : ExtractFileTitle(path));
}

void TPlayListForm::pmiSavePlayListClick() {
    const std::string file = ChooseFile(handle(), true, kPlayListFilter, "fpl", Options.LastSaveFolder);
    if (file.empty()) return;
    if (RunUserListCommand([&] { SavePlayList(file); })) Options.LastSaveFolder = AnsiExtractFilePath(file);
}

void TPlayListForm::pmiClearPlayListClick() {
    if (Ask(handle(), "即将清空当前播放列表，此操作不可恢复，是否继续？", MB_ICONQUESTION) != IDOK) return;
    stopPlayback();
    ClearPlayList(*this);
}

void TPlayListForm::pmiRenamePlayListClick() {
    if (IsDefaultPlayList(CurrentPlayListFile)) {
        ui().messageBox(handle(), "当前播放列表为默认播放列表，不允许对其重命名。", kAppTitle,
                        MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShowRenamePlayListDialog(ExtractFileTitle(CurrentPlayListFile));
}

void TPlayListForm::pmiDeletePlayListClick() {
    if (Ask(handle(), "是否确定要删除当前播放列表？", MB_ICONEXCLAMATION) != IDOK) return;
    if (!FileExists(CurrentPlayListFile)) return;
    if (!DeleteFileA(CurrentPlayListFile.c_str())) {
        // The list file stays, and so does the list.
        ShowFileError("Unable to delete " + CurrentPlayListFile);
        return;
    }
    stopPlayback();
    RebuildPlayListMenus();
    CurrentPlayListFile = DefaultPlayListFile();
    ClearPlayList(*this);
    if (MainForm) MainForm->lblPlayListName.setText("正在播放");
}

void TPlayListForm::swapItems(int a, int b, int select) {
    SwapAt(PlayListFiles, a, b);
    SwapAt(PlayListTitles, a, b);
    lstPlayList.deferRedraw();
    lstPlayList.setSelectedIndex(select);
    lstPlayList.invalidateItem(a);
    lstPlayList.invalidateItem(b);
}

void TPlayListForm::pmiFileMoveUpClick() {
    int p = SelectedItem();
    if (p > 0) swapItems(p - 1, p, p - 1);
}

void TPlayListForm::pmiFileMoveDownClick() {
    int p = SelectedItem();
    if (p >= 0 && p < PlayListCount - 1) swapItems(p, p + 1, p + 1);
}

void TPlayListForm::pmiFilePropertyClick() {
    int p = SelectedItem();
    if (p >= 0 && Seams.showFlashFileProperty)
        Seams.showFlashFileProperty(PlayListTitles[p], PlayListFiles[p]);
}

void TPlayListForm::pmiSendToFavoriteClick() {
    int p = SelectedItem();
    if (p >= 0 && Seams.addFileToFavorite) Seams.addFileToFavorite(PlayListTitles[p], PlayListFiles[p]);
}

void TPlayListForm::SendPlayListItemToPlayList(const MenuItem& sender) {
    RunUserListCommand([&] { kv::SendPlayListItemToPlayList(*this, PlayListsPath, sender.caption()); });
}

void TPlayListForm::pmiSaveAsClick() {
    int p = SelectedItem();
    if (p < 0) return;
    const std::string target =
        ChooseFile(handle(), true, kSaveMovieFilter, "exe", Options.LastSaveFolder, false);
    if (!target.empty()) SaveFileAs(PlayListFiles[p], target, ProgramPath, handle());
}

void TPlayListForm::pmiDeleteFromPlayListClick() {
    if (PlayListCount == 0) return;
    int p = SelectedItem();
    if (p < 0) return;
    if (AnsiLowerAscii(PlayListFiles[p]) == AnsiLowerAscii(CurrentFile)) stopPlayback();
    PlayListFiles.erase(PlayListFiles.begin() + p);
    PlayListTitles.erase(PlayListTitles.begin() + p);
    lstPlayList.deferRedraw();
    lstPlayList.remove(p);
    if (--PlayListCount == 0) CurrentIndex = 0;
    if (PlayListCount > 0) lstPlayList.setSelectedIndex(p >= PlayListCount ? 0 : p);
}

void TPlayListForm::pmiDeleteFromComputerClick() {
    int p = SelectedItem();
    if (p < 0) return;
    const std::string path = PlayListFiles[p];
    if (!FileExists(path)) {
        pmiDeleteFromPlayListClick();
        return;
    }
    if (Ask(handle(), "将从您的计算机中删除文件“" + path + "”，是否确认删除？", MB_ICONQUESTION) != IDOK)
        return;
    pmiDeleteFromPlayListClick();
    DeleteFileA(path.c_str());
}

}  // namespace kv
