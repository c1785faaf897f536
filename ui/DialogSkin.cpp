#include "ui/DialogSkin.h"

#include "ui/Handles.h"

namespace kv {

namespace {

void gradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void fill(HDC dc, const RECT& r, COLORREF c) {
    UniqueBrush b(CreateSolidBrush(c));
    FillRect(dc, &r, b.get());
}

RECT inset(RECT r, int d) {
    InflateRect(&r, -d, -d);
    return r;
}

}  // namespace

HBRUSH dialogFaceBrush() {
    static UniqueBrush b(CreateSolidBrush(kDialogFace));
    return b.get();
}

HBRUSH dialogFieldBrush() {
    static UniqueBrush b(CreateSolidBrush(kDialogField));
    return b.get();
}

void frameRect(HDC dc, const RECT& r, COLORREF c) {
    UniqueBrush b(CreateSolidBrush(c));
    FrameRect(dc, &r, b.get());
}

void drawFlatButton(HDC dc, const RECT& r, DrawState state, bool isDefault, bool focused) {
    switch (state) {
        case DrawState::Hover:
            gradient(dc, r, RGB(252, 254, 255), RGB(178, 210, 248));
            break;
        case DrawState::Pressed:
            gradient(dc, r, RGB(170, 194, 226), RGB(214, 228, 246));
            break;
        case DrawState::Disabled:
            fill(dc, r, RGB(226, 231, 238));
            break;
        case DrawState::Normal:
            gradient(dc, r, RGB(246, 249, 253), RGB(196, 212, 234));
            break;
    }
    COLORREF frame = state == DrawState::Disabled                               ? RGB(176, 188, 206)
                     : state == DrawState::Hover || state == DrawState::Pressed ? kDialogAccent
                                                                                : kDialogBorder;
    frameRect(dc, r, frame);
    if (isDefault && state != DrawState::Disabled) frameRect(dc, inset(r, 1), kDialogAccent);
    if (focused) {
        RECT f = inset(r, 3);
        SetTextColor(dc, kDialogText);
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &f);
    }
}

void drawSpeedButton(HDC dc, const RECT& r, DrawState state, bool down) {
    if (down || state == DrawState::Pressed) {
        gradient(dc, r, RGB(170, 194, 226), RGB(214, 228, 246));
        frameRect(dc, r, kDialogAccent);
    } else if (state == DrawState::Hover) {
        gradient(dc, r, RGB(252, 254, 255), RGB(178, 210, 248));
        frameRect(dc, r, kDialogAccent);
    }
}

void drawCheckMark(HDC dc, const RECT& box, bool checked, DrawState state) {
    bool off = state == DrawState::Disabled;
    fill(dc, box, off ? RGB(232, 236, 242) : state == DrawState::Pressed ? RGB(214, 228, 246) : kDialogField);
    frameRect(dc, box, off ? RGB(176, 188, 206) : state == DrawState::Hover ? kDialogAccent : kDialogBorder);
    if (!checked) return;
    COLORREF ink = off ? kDialogDisabledText : kDialogText;
    UniquePen pen(CreatePen(PS_SOLID, 2, ink));
    SelectGuard sel(dc, pen.get());
    int x = box.left, y = box.top, w = box.right - box.left;
    POINT tick[3] = {{x + w * 3 / 13, y + w * 6 / 13},
                     {x + w * 5 / 13, y + w * 9 / 13},
                     {x + w * 10 / 13, y + w * 3 / 13}};
    Polyline(dc, tick, 3);
}

void drawRadioMark(HDC dc, const RECT& box, bool checked, DrawState state) {
    bool off = state == DrawState::Disabled;
    UniqueBrush face(CreateSolidBrush(off ? RGB(232, 236, 242) : kDialogField));
    UniquePen edge(CreatePen(PS_SOLID, 1,
                             off                         ? RGB(176, 188, 206)
                             : state == DrawState::Hover ? kDialogAccent
                                                         : kDialogBorder));
    {
        SelectGuard b(dc, face.get());
        SelectGuard p(dc, edge.get());
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
    }
    if (!checked) return;
    COLORREF ink = off ? kDialogDisabledText : kDialogText;
    UniqueBrush dot(CreateSolidBrush(ink));
    UniquePen dotEdge(CreatePen(PS_SOLID, 1, ink));
    SelectGuard b(dc, dot.get());
    SelectGuard p(dc, dotEdge.get());
    RECT d = inset(box, (box.right - box.left) * 4 / 13);
    Ellipse(dc, d.left, d.top, d.right, d.bottom);
}

void drawCaption(HDC dc, const char* text, RECT r, UINT format, DrawState state) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state == DrawState::Disabled ? kDialogDisabledText : kDialogText);
    DrawTextA(dc, text, -1, &r, format);
}

}  // namespace kv
