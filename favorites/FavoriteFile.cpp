#include "favorites/FavoriteFile.h"

#include <windows.h>

#include <climits>

#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "platform/IniFile.h"
#include "ui/Handles.h"

namespace kv {

const char* const kFavoriteExt = ".ffv";

namespace {

const char* const kSection = "Favorite";

void save(IniFile& ini) {
    if (!ini.updateFile()) throw IniWriteError(ini.path());
}

// One more view: the count read (0 when missing), without overflowing.
int nextViewCount(const IniFile& ini) {
    int n = ini.readInteger(kSection, "ViewTimes", 0);
    return n == INT_MAX ? n : n + 1;
}

bool folderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

FavoriteItem ReadFavorite(const std::string& ffvPath) {
    IniFile ini(ffvPath);
    FavoriteItem f;
    f.File = ini.readString(kSection, "File", "");
    f.ViewTimes = ini.readInteger(kSection, "ViewTimes", 1);
    f.LastViewTime = ini.readString(kSection, "LastViewTime", "");
    f.Comments = ini.readString(kSection, "Comments", "");
    return f;
}

std::string FavoriteFileName(const std::string& favoritePath, const std::string& name) {
    return favoritePath + name + kFavoriteExt;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

bool IsValidFavoriteName(const std::string& name) {
    if (name.find_first_not_of(" \t") == std::string::npos) return false;
    for (std::size_t i = 0; i < name.size(); i += AnsiCharLength(name, i)) {
        if (AnsiCharLength(name, i) == 1 && std::string("\\/:*?\"<>|").find(name[i]) != std::string::npos)
            return false;
    }
    return true;
}

bool FavoriteMovieExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool AddOrUpdateFavorite(const std::string& favoritePath, const std::string& name,
                         const std::string& moviePath, const std::string& comment, const std::string& now) {
    const std::string path = FavoriteFileName(favoritePath, name);
    const bool existed = FavoriteMovieExists(path);  // a plain file test
    if (!folderExists(favoritePath)) CreateDirectoryA(favoritePath.c_str(), nullptr);
    IniFile ini(path);
    const int views = nextViewCount(ini);
    ini.writeString(kSection, "File", moviePath);
    ini.writeInteger(kSection, "ViewTimes", views);
    ini.writeString(kSection, "LastViewTime", now);
    ini.writeString(kSection, "Comments", FirstLine(comment));
    save(ini);
    return existed;
}

bool PlayFavorite(const std::string& ffvPath, const std::function<void(const std::string&)>& play,
                  const std::string& now) {
    IniFile ini(ffvPath);
    const std::string movie = ini.readString(kSection, "File", "");
    if (!FavoriteMovieExists(movie)) return false;
    if (play) play(movie);
    IniFile after(ffvPath);  // read again: playing may take a while
    after.writeInteger(kSection, "ViewTimes", nextViewCount(after));
    after.writeString(kSection, "LastViewTime", now);
    save(after);
    return true;
}

FavoriteRename EditFavorite(const std::string& favoritePath, const std::string& oldName,
                            const std::string& newName, const std::string& moviePath,
                            const std::string& comment) {
    const std::string oldPath = FavoriteFileName(favoritePath, oldName);
    IniFile ini(oldPath);
    ini.writeString(kSection, "File", moviePath);
    ini.writeString(kSection, "Comments", FirstLine(comment));
    save(ini);
    const std::string newPath = FavoriteFileName(favoritePath, newName);
    if (AnsiSameTextAscii(oldPath, newPath)) return FavoriteRename::Unchanged;
    // A name with a separator would move the file into a sub-folder, where
    // the favorite could no longer be found by its name.
    if (!IsValidFavoriteName(newName)) return FavoriteRename::Failed;
    return MoveFileA(oldPath.c_str(), newPath.c_str()) ? FavoriteRename::Renamed : FavoriteRename::Failed;
}

bool DeleteFavorite(const std::string& favoritePath, const std::string& name) {
    return DeleteFileA(FavoriteFileName(favoritePath, name).c_str()) != 0;
}

}  // namespace kv
