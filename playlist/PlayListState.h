// The current list that the whole program plays from, shared by the player,
// the playlist window, the main window and the playlist dialogs.
//
// The three string lists (these two and the playlist window's list box) always
// have PlayListCount entries, and entry k of each describes the same item.
// CurrentIndex is a 1-based position, not an identity: it may point past the
// end after a list is loaded, and the player brings it back to 1 then.
#pragma once

#include <string>
#include <vector>

namespace kv {

extern std::vector<std::string> PlayListFiles;  // full path or URL of each item, in play order
extern std::vector<std::string>
    PlayListTitles;                      // title of each item (file name without folder and extension)
extern int PlayListCount;                // number of items
extern int CurrentIndex;                 // 1-based current item; 0 after the list is emptied
extern std::string CurrentPlayListFile;  // the ".fpl" file the list is read from and saved to

}  // namespace kv
