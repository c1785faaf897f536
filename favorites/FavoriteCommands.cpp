#include "favorites/FavoriteCommands.h"

#include <windows.h>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Seams.h"
#include "favorites/AddToFavForm.h"
#include "favorites/FavoriteFile.h"
#include "favorites/TidyFavForm.h"
#include "options/FunctionUnit.h"
#include "playback/PlayForm.h"
#include "ui/Menu.h"
#include "ui/RuntimeErrors.h"

namespace kv {

namespace {
std::string fullPath(const std::string& path) {
    char buf[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}
}  // namespace

void PlayFavoriteItem(const std::string& ffvPath) {
    try {
        PlayFavorite(
            fullPath(ffvPath),
            [](const std::string& movie) {
                if (PlayForm) PlayForm->playAFile(movie);
            },
            CurrentDateTimeText());
    } catch (const std::exception& e) {
        ShowErrorReport(e);
    }
}

MenuItem* FavoriteMenu() {
    return MainForm && MainForm->MainMenu1 ? MainForm->MainMenu1->find("mmiFavorite") : nullptr;
}

void PlayFavoriteItemByClickMenuItem(MenuItem& sender) {
    PlayFavoriteItem(FavoritePath + sender.caption() + ".ffv");
}

void InstallFavoriteSeams() {
    Seams.playFavoriteItem = PlayFavoriteItem;
    Seams.addFileToFavorite = AddFileToFavorite;
    Seams.tidyFavorites = ShowTidyFavForm;
}

}  // namespace kv
