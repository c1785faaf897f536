#include "playlist/PlayListState.h"

namespace kv {

std::vector<std::string> PlayListFiles;
std::vector<std::string> PlayListTitles;
int PlayListCount = 0;
int CurrentIndex = 0;
std::string CurrentPlayListFile;

}  // namespace kv
