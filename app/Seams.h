// Calls from the main window into parts of the program that are built on
// their own (file associations, library menus, favorites). Each part installs
// its routine at start-up; until then the call does nothing.
#pragma once

#include <functional>
#include <string>

namespace kv {

struct MainFormSeams {
    std::function<void()> registerFileTypes;           // the association boxes the options dialog ticks
    std::function<void()> buildPlayListMenus;          // saved playlists in the menu and the selector
    std::function<void()> buildFavoriteMenu;           // favorites in the menu
    std::function<void(const std::string&)> playFavoriteItem;  // plays the movie of a ".ffv" file
    std::function<void()> showOptions;                 // the options dialog
    std::function<void()> showAbout;                   // the about box
};

extern MainFormSeams Seams;

}  // namespace kv
