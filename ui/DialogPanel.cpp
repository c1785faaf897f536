#include "ui/DialogPanel.h"

#include "ui/DialogSkin.h"
#include "ui/DialogUnits.h"
#include "ui/Handles.h"

namespace kv {

bool DialogPanel::create(int x, int y, int w, int h, const std::string& caption, Bevel bevel) {
    text_ = caption;
    bevel_ = bevel;
    color_ = kDialogFace;
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    return createControl("KvPanel", 0, WS_EX_CONTROLPARENT);
}

void DialogPanel::setText(const std::string& t) {
    text_ = t;
    invalidate();
}

void DialogPanel::setBevel(Bevel b) {
    bevel_ = b;
    invalidate();
}

void DialogPanel::setTextAlign(TextAlign a) {
    align_ = a;
    invalidate();
}

void DialogPanel::paint(HDC dc, const RECT& client) {
    Panel::paint(dc, client);
    if (bevel_ != Bevel::None) {
        COLORREF dark = kDialogBorder, light = RGB(255, 255, 255);
        COLORREF tl = bevel_ == Bevel::Lowered ? dark : light, br = bevel_ == Bevel::Lowered ? light : dark;
        RECT top{client.left, client.top, client.right, client.top + 1};
        RECT left{client.left, client.top, client.left + 1, client.bottom};
        RECT bottom{client.left, client.bottom - 1, client.right, client.bottom};
        RECT right{client.right - 1, client.top, client.right, client.bottom};
        UniqueBrush a(CreateSolidBrush(tl)), b(CreateSolidBrush(br));
        FillRect(dc, &top, a.get());
        FillRect(dc, &left, a.get());
        FillRect(dc, &bottom, b.get());
        FillRect(dc, &right, b.get());
    }
    if (text_.empty()) return;
    SelectGuard font(dc, dialogFont());
    RECT r = client;
    InflateRect(&r, -3, -1);
    UINT fmt = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS;
    fmt |= align_ == TextAlign::Right ? DT_RIGHT : align_ == TextAlign::Center ? DT_CENTER : DT_LEFT;
    drawCaption(dc, text_.c_str(), r, fmt, enabled() ? DrawState::Normal : DrawState::Disabled);
}

}  // namespace kv
