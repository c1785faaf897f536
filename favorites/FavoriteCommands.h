// The favorites commands the rest of the program calls: playing a favorite
// (from the menu, the organise window or the command line), adding the movie
// being played, organising; installed into the main window's seams.
#pragma once

#include <string>

namespace kv {

class MenuItem;

// Plays the movie of a ".ffv" file and counts the view; a favorite whose
// movie is missing is left alone, silently. A relative path is taken from the
// current folder.
void PlayFavoriteItem(const std::string& ffvPath);
// Click handler of a favorite's entry in the favorites menu.
void PlayFavoriteItemByClickMenuItem(MenuItem& sender);
// The main window's favorites menu "收藏(&A)", or nullptr before it exists.
MenuItem* FavoriteMenu();

void InstallFavoriteSeams();

}  // namespace kv
