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
    std::function<void()> tidyFavorites;               // the organise-favorites window
    std::function<void()> showAbout;                   // the about box

    // Commands of the play window carried out by other windows.
    std::function<void(const std::string& title, const std::string& path)> showFlashFileProperty;
    std::function<void(const std::string& title, const std::string& path)> addFileToFavorite;
    std::function<void()> jumpToFrame;      // the jump-to-frame dialog
    std::function<void()> playArea;         // the play-range dialog
    std::function<void()> saveAs;           // Save As of the current movie
    std::function<void()> savePicture;      // save the current picture
    std::function<void()> setWallpaper;     // the wallpaper dialog
    std::function<void(int pictures)> multiPicture;  // the multi-picture view
    std::function<void()> openFiles;        // the playlist window's open-files command
    std::function<void(const std::string& command, const std::string& args)> fsCommand;
};

extern MainFormSeams Seams;

}  // namespace kv
