#include "favorites/ProgramIconPicture.h"

namespace kv {

UniqueBitmap PaintPicture(int width, int height, const std::function<void(HDC)>& paint) {
    HDC screen = GetDC(nullptr);
    UniqueBitmap bmp(CreateCompatibleBitmap(screen, width, height));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp.get());
    paint(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

UniqueBitmap ProgramIconPicture(int size, COLORREF background) {
    return PaintPicture(size, size, [&](HDC dc) {
        RECT r{0, 0, size, size};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_SHARED));
        if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    });
}

}  // namespace kv
