// Entry points of the playlist dialogs, for the playlist window and the main menu.
#pragma once

#include <string>

namespace kv {

// Where a directory search puts the movies it finds.
enum class SearchTarget { CurrentList = 1, EditPlayListRows = 2 };

void ShowNewPlayListDialog();
// Modeless; a second call brings the open one forward.
void ShowEditPlayListDialog();
// For the item selected in the playlist window.
void ShowEditPlayListItemDialog();
void ShowRenamePlayListDialog(const std::string& currentName);
// Searches `folder` and its sub-folders for movies in the progress window.
void SearchDirectory(const std::string& folder, SearchTarget target);

}  // namespace kv
