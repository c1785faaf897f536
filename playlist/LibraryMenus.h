// The library views of the named playlists and the favorites: the main
// menu's "播放列表(&L)" and "收藏(&A)", the playlist window's "发送到", the
// main window's playlist selector and the label naming the current list.
// They are built from the folder listings; an entry keeps only its caption,
// and its click handler rebuilds the file's path from it.
#pragma once

#include <functional>
#include <string>

namespace kv {

class MenuItem;

// Fixed entries at the head of the menus the library fills.
constexpr int kPlayListMenuFixed = 14;  // mmiPlayList
constexpr int kSendToMenuFixed = 1;     // pmiSendTo
constexpr int kFavoriteMenuFixed = 2;   // mmiFavorite

// True while the playlist views are rebuilt; the selector ignores changes then.
extern bool PlayListMenusRebuilding;

using MenuClick = std::function<void(MenuItem& sender)>;

// Inserts an entry into `parent` at `position`: radio item of group 1, the
// caption shown as it is (an "&" is no accelerator), `onClick` run with the
// entry when it is clicked. A caption "-" makes a separator. The image index
// is kept for the menus' look; -1 is no image.
MenuItem* AddMenuItem(MenuItem& parent, int position, int imageIndex, MenuClick onClick,
                      const std::string& caption);

// Fills the generated parts of mmiPlayList and pmiSendTo, the selector and the label.
void BuildPlayListMenus();
// Removes the generated playlist entries and selector items, then builds them again.
void RebuildPlayListMenus();
// Fills the generated part of mmiFavorite.
void BuildFavoriteMenu();

// Click handler of a mmiPlayList entry: saves the current list, then makes
// the clicked one current. When the save fails (reported) the current list
// stays, so no change is lost.
void LoadPlayListByClickMenuItem(MenuItem& sender);
// Change handler of the playlist selector.
void cboPlayListChange();

// Clears the current-list mark of every named-list entry of mmiPlayList;
// when `mark` is set, the first entry whose caption is `name` gets it.
void MarkCurrentPlayListEntry(const std::string& name, bool mark);
// Adds a newly made named list to the views (menu entries, selector item)
// and marks it current.
void AddPlayListToLibraryViews(const std::string& name);

// Installs the builders in the main window's seams and wires the selector.
void InstallLibraryMenus();

}  // namespace kv
