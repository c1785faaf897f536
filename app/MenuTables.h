// The main window's menu bar and tray menu as tables.
#pragma once

#include <cstddef>

#include "ui/Menu.h"

namespace kv {

extern const MenuSpec kMainMenuSpec[];
extern const std::size_t kMainMenuCount;
extern const MenuSpec kTrayMenuSpec[];
extern const std::size_t kTrayMenuCount;

// Radio groups of the menus.
constexpr int kDynamicItemGroup = 1;  // recent files, saved playlists, favorites
constexpr int kQualityGroup = 2;

}  // namespace kv
