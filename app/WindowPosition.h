// The main window's stored rectangle: "Left" and "Top" are screen
// coordinates, both when they are applied and when they are saved, and a
// rectangle is moved onto a monitor's work area before it is applied (a
// removed monitor or a hand-edited value must not hide the window).
#pragma once

#include <windows.h>

namespace kv {

// Fits the rectangle (left, top, width, height; any int values) into `work`:
// a size larger than the area, or below 1, becomes the area's size, and the
// rectangle is moved the shortest way that puts it inside.
RECT FitRectToWorkArea(int left, int top, int width, int height, const RECT& work);

// The work area of the monitor nearest to the rectangle.
RECT NearestWorkArea(int left, int top, int width, int height);

// The rectangle the window takes when it is restored (not minimised or
// maximised), in screen coordinates.
RECT NormalRectOnScreen(HWND window);

// Places the window's restored rectangle, fitted onto the nearest work area,
// without showing it; the window takes it at its next normal show or restore.
void SetNormalRect(HWND window, int left, int top, int width, int height);

}  // namespace kv
