#include "playlist/PlayListFile.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "platform/AnsiText.h"
#include "platform/IniFile.h"
#include "playlist/PlayListState.h"

namespace kv {

const char* const kPlayListSection = "PlayList";

namespace {

std::string FileKey(int n) { return "File" + std::to_string(n); }
std::string TitleKey(int n) { return "Title" + std::to_string(n); }

void SaveOrThrow(IniFile& ini) {
    if (!ini.updateFile()) throw IniWriteError(ini.path());
}

}  // namespace

void ReadPlayList(PlayListView& view, const std::string& fileName) {
    view.stopPlayback();
    PlayListFiles.clear();
    PlayListTitles.clear();
    view.clearItems();

    IniFile ini(fileName);
    PlayListCount = static_cast<int>(ini.readSection(kPlayListSection).size() / 2);
    PlayListFiles.reserve(PlayListCount);
    PlayListTitles.reserve(PlayListCount);
    view.beginUpdate();
    for (int n = 1; n <= PlayListCount; ++n) {
        std::string file = ini.readString(kPlayListSection, FileKey(n), "");
        std::string title = ini.readString(kPlayListSection, TitleKey(n), "");
        view.addItem(title);
        PlayListFiles.push_back(std::move(file));
        PlayListTitles.push_back(std::move(title));
    }
    view.endUpdate();
}

void SavePlayList(const std::string& fileName) {
    IniFile ini(fileName);
    // Never past the end of either list, whatever PlayListCount says.
    int count = std::min(
        {PlayListCount, static_cast<int>(PlayListFiles.size()), static_cast<int>(PlayListTitles.size())});
    // The list is rewritten where it stands; the file's other lines stay as they are.
    if (count > 0)
        ini.emptySection(kPlayListSection);
    else
        ini.eraseSection(kPlayListSection);
    for (int i = 1; i <= count; ++i) {
        ini.writeString(kPlayListSection, FileKey(i), PlayListFiles[i - 1]);
        ini.writeString(kPlayListSection, TitleKey(i), PlayListTitles[i - 1]);
    }
    SaveOrThrow(ini);
    // An empty list writes nothing into a missing file; create it anyway, so a
    // newly made empty list is still there at the next start.
    if (std::FILE* f = std::fopen(fileName.c_str(), "rb")) {
        std::fclose(f);
    } else if (std::FILE* created = std::fopen(fileName.c_str(), "wb")) {
        std::fclose(created);
    } else {
        throw IniWriteError(fileName);
    }
}

bool SavePlayListAtExit(const std::string& fileName) noexcept {
    try {
        SavePlayList(fileName);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void SendFileToPlayList(const std::string& title, const std::string& file,
                        const std::string& playListFileName) {
    IniFile ini(playListFileName);
    int n = static_cast<int>(ini.readSection(kPlayListSection).size() / 2) + 1;
    ini.writeString(kPlayListSection, FileKey(n), file);
    ini.writeString(kPlayListSection, TitleKey(n), title);
    SaveOrThrow(ini);
}

bool SendPlayListItemToPlayList(const PlayListView& view, const std::string& playListsPath,
                                const std::string& listName) {
    int index = view.selectedIndex();
    if (index < 0 || index >= static_cast<int>(PlayListFiles.size()) ||
        index >= static_cast<int>(PlayListTitles.size()))
        return false;
    std::string target = playListsPath + listName + ".fpl";
    // An item is never appended to the list it comes from.
    if (AnsiLowerAscii(target) == AnsiLowerAscii(CurrentPlayListFile)) return false;
    SendFileToPlayList(PlayListTitles[index], PlayListFiles[index], target);
    return true;
}

void AppendPlayListItem(PlayListView& view, const std::string& title, const std::string& file) {
    view.addItem(title);
    PlayListFiles.push_back(file);
    PlayListTitles.push_back(title);
    ++PlayListCount;
}

void ClearPlayList(PlayListView& view) {
    PlayListFiles.clear();
    PlayListTitles.clear();
    view.clearItems();
    PlayListCount = 0;
    CurrentIndex = 0;
}

}  // namespace kv
