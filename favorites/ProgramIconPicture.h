// The program's icon as a picture on a plain background, for windows that
// show it in an image control.
#pragma once

#include <windows.h>

#include "ui/Handles.h"

namespace kv {

UniqueBitmap ProgramIconPicture(int size, COLORREF background);

}  // namespace kv
