// Pictures the favorites windows draw for themselves: the program's icon on
// a plain background, and any picture painted by a routine.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/Handles.h"

namespace kv {

// A bitmap of the screen's format, painted by `paint` on a memory DC.
UniqueBitmap PaintPicture(int width, int height, const std::function<void(HDC)>& paint);

UniqueBitmap ProgramIconPicture(int size, COLORREF background);

}  // namespace kv
