#include "playlist/PlayListDialogs.h"

namespace kv {

void ShowNewPlayListDialog() {}
void ShowEditPlayListDialog() {}
void ShowEditPlayListItemDialog() {}
void ShowRenamePlayListDialog(const std::string&) {}
void SearchDirectory(const std::string&, SearchTarget) {}

}  // namespace kv
