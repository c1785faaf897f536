#include "favorites/ProgramIconPicture.h"

namespace kv {

UniqueBitmap ProgramIconPicture(int size, COLORREF background) {
    HDC screen = GetDC(nullptr);
    UniqueBitmap bmp(CreateCompatibleBitmap(screen, size, size));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp.get());
    RECT r{0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_SHARED));
    if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

}  // namespace kv
