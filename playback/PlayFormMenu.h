// The play window's popup menu as a table.
#pragma once

#include <cstddef>

#include "ui/Menu.h"

namespace kv {

extern const MenuSpec kPlayFormMenuSpec[];
extern const std::size_t kPlayFormMenuCount;

}  // namespace kv
