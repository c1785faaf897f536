// A list box stand-in that records what the list operations do to it, and a
// shorthand to set the shared current list.
#pragma once

#include <string>
#include <vector>

#include "playlist/PlayListFile.h"
#include "playlist/PlayListState.h"

namespace kvtest {

struct RecordingPlayListView : kv::PlayListView {
    std::vector<std::string> items;
    int stops = 0, selected = -1;
    void stopPlayback() override { ++stops; }
    void clearItems() override { items.clear(); }
    void addItem(const std::string& title) override { items.push_back(title); }
    int selectedIndex() const override { return selected; }
};

inline void SetCurrentList(const std::vector<std::string>& files, const std::vector<std::string>& titles) {
    kv::PlayListFiles = files;
    kv::PlayListTitles = titles;
    kv::PlayListCount = static_cast<int>(files.size());
}

}  // namespace kvtest
