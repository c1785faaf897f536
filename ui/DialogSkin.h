// The look of the dialog controls: the program's dark blue on light steel,
// drawn in code (no pictures), with hover, pressed, focused and disabled states.
#pragma once

#include <windows.h>

namespace kv {

constexpr COLORREF kDialogFace = RGB(234, 240, 248);  // dialog and container background
constexpr COLORREF kDialogText = RGB(14, 66, 121);    // dark blue of the skin's labels
constexpr COLORREF kDialogDisabledText = RGB(146, 158, 176);
constexpr COLORREF kDialogBorder = RGB(122, 150, 190);  // frames of edits, lists, buttons
constexpr COLORREF kDialogAccent = RGB(38, 112, 196);   // hover and focus
constexpr COLORREF kDialogField = RGB(255, 255, 255);   // edit and list background

enum class DrawState { Normal, Hover, Pressed, Disabled };

// Brushes of the face and field colours for WM_CTLCOLOR* answers (never freed).
HBRUSH dialogFaceBrush();
HBRUSH dialogFieldBrush();

// A flat push button: gradient face, one-pixel frame; the default button has
// a double frame; focus shows as a dotted rectangle inside.
void drawFlatButton(HDC dc, const RECT& r, DrawState state, bool isDefault, bool focused);
// A speed button: no frame until hovered or down.
void drawSpeedButton(HDC dc, const RECT& r, DrawState state, bool down);
// The 13 × 13 box of a check box (ticked or not) and the circle of a radio button.
void drawCheckMark(HDC dc, const RECT& box, bool checked, DrawState state);
void drawRadioMark(HDC dc, const RECT& box, bool checked, DrawState state);
// The text of a caption in the state's colour; '&' marks the access key.
void drawCaption(HDC dc, const char* text, RECT r, UINT format, DrawState state);
// A one-pixel frame in a colour.
void frameRect(HDC dc, const RECT& r, COLORREF c);

}  // namespace kv
