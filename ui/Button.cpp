#include "ui/Button.h"

#include "ui/DialogSkin.h"
#include "ui/DialogUnits.h"
#include "ui/Form.h"

namespace kv {

Form* formOf(Control* c) {
    for (; c; c = c->parentControl())
        if (auto* f = dynamic_cast<Form*>(c)) return f;
    return nullptr;
}

bool Button::create(int x, int y, int w, int h, int id, const std::string& caption) {
    return createDialogControl("BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, x, y, w, h, id, caption);
}

void Button::click() {
    if (!enabled()) return;
    if (onClick) onClick();
    if (modalResult) {
        if (Form* f = formOf(this)) {
            if (f->isModal())
                f->setModalResult(modalResult);
            else
                f->close();
        }
    }
}

bool Button::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        click();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        DrawState s = (d->itemState & ODS_DISABLED)   ? DrawState::Disabled
                      : (d->itemState & ODS_SELECTED) ? DrawState::Pressed
                      : hover_                        ? DrawState::Hover
                                                      : DrawState::Normal;
        bool focused = (d->itemState & ODS_FOCUS) != 0;
        drawFlatButton(d->hDC, d->rcItem, s, isDefault || focused, focused);
        SelectGuard font(d->hDC, dialogFont());
        RECT r = d->rcItem;
        if (s == DrawState::Pressed) OffsetRect(&r, 1, 1);
        std::string t = text();
        drawCaption(d->hDC, t.c_str(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, s);
        result = TRUE;
        return true;
    }
    return false;
}

LRESULT Button::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETDLGCODE) return (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON) | DLGC_BUTTON;
    return DialogControl::handleMessage(msg, wp, lp);
}

bool SpeedButton::create(int x, int y, int w, int h, const std::string& caption) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    caption_ = caption;
    transparent_ = true;
    registerWindowClass("KvSpeedButton");
    return createControl("KvSpeedButton", 0, 0, caption);
}

void SpeedButton::setGlyph(UniqueBitmap glyph) {
    glyph_ = std::move(glyph);
    invalidate();
}

void SpeedButton::setCaptionColor(COLORREF c) {
    ownCaptionColor_ = true;
    captionColor_ = c;
    invalidate();
}

void SpeedButton::setDown(bool d) {
    down_ = d;
    invalidate();
}

void SpeedButton::click() {
    if (enabled() && onClick) onClick();
}

void SpeedButton::paint(HDC dc, const RECT& client) {
    bool on = IsWindowEnabled(handle()) != FALSE;
    DrawState s = !on                        ? DrawState::Disabled
                  : pressed_ && mouseInside_ ? DrawState::Pressed
                  : mouseInside_             ? DrawState::Hover
                                             : DrawState::Normal;
    drawSpeedButton(dc, client, s, down_);
    int shift = s == DrawState::Pressed || down_ ? 1 : 0;
    RECT r = client;
    OffsetRect(&r, shift, shift);
    if (glyph_) {
        BITMAP bm{};
        GetObject(glyph_.get(), sizeof bm, &bm);
        int gx = caption_.empty() ? (r.left + r.right - bm.bmWidth) / 2 : r.left + 4;
        int gy = (r.top + r.bottom - bm.bmHeight) / 2;
        UniqueMemDc src(CreateCompatibleDC(dc));
        SelectGuard sel(src.get(), glyph_.get());
        TransparentBlt(dc, gx, gy, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, bm.bmWidth, bm.bmHeight,
                       RGB(255, 0, 255));
        r.left = gx + bm.bmWidth + 2;
    }
    if (!caption_.empty()) {
        SelectGuard font(dc, dialogFont());
        UINT format = (glyph_ ? DT_LEFT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE;
        if (ownCaptionColor_ && s == DrawState::Normal && !down_) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, captionColor_);
            DrawTextA(dc, caption_.c_str(), -1, &r, format);
        } else {
            drawCaption(dc, caption_.c_str(), r, format, s);
        }
    }
}

LRESULT SpeedButton::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSELEAVE: {
            LRESULT r = DialogControl::handleMessage(msg, wp, lp);
            invalidate();
            return r;
        }
        case WM_MOUSEMOVE:
            if (!mouseInside_) {
                LRESULT r = DialogControl::handleMessage(msg, wp, lp);
                invalidate();
                return r;
            }
            break;
        case WM_ENABLE:
            invalidate();
            break;
        default:
            break;
    }
    return DialogControl::handleMessage(msg, wp, lp);
}

}  // namespace kv
