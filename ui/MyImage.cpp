#include "ui/MyImage.h"

#include "ui/Handles.h"

namespace kv {

bool MyImage::create(int x, int y, int w, int h) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    return createControl("KvImage");
}

void MyImage::setPicture(HBITMAP bmp) {
    if (bmp == picture_) return;
    picture_ = bmp;
    invalidate();
}

void MyImage::paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area) {
    Control::paintBackgroundFor(dc, ox, oy, area);
    if (!picture_) return;
    POINT old;
    OffsetViewportOrgEx(dc, -ox, -oy, &old);
    RECT client{0, 0, w_, h_};
    paint(dc, client);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void MyImage::paint(HDC dc, const RECT& client) {
    if (!picture_) return;
    BITMAP bm{};
    if (!GetObject(picture_, sizeof(bm), &bm)) return;
    UniqueMemDc src(CreateCompatibleDC(dc));
    SelectGuard sel(src.get(), picture_);
    if (stretch_) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, client.right, client.bottom, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace kv
