#include "ui/Control.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Handles.h"

namespace kv {

ShiftState ShiftState::current() {
    ShiftState s;
    s.shift = GetKeyState(VK_SHIFT) < 0;
    s.ctrl = GetKeyState(VK_CONTROL) < 0;
    s.alt = GetKeyState(VK_MENU) < 0;
    return s;
}

void registerControlClasses() {
    registerWindowClass("KvPanel");
    registerWindowClass("KvLabel");
    registerWindowClass("KvImage");
    registerWindowClass("KvSplitter");
}

Control::Control(Control* parent) : parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
    destroy();
    if (parent_) {
        auto& c = parent_->children_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    for (Control* child : children_) child->parent_ = nullptr;
}

HWND Control::parentHandle() const { return parent_ ? parent_->handle() : nullptr; }

bool Control::createControl(const char* className, DWORD style, DWORD exStyle, const std::string& text) {
    registerControlClasses();
    CreateParams p;
    p.className = className;
    p.caption = text;
    p.style = style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible_ ? WS_VISIBLE : 0);
    if (parent_) p.style |= WS_CHILD;
    p.exStyle = exStyle;
    p.x = x_;
    p.y = y_;
    p.width = w_;
    p.height = h_;
    p.parent = parentHandle();
    if (!createWindow(p)) return false;
    if (parent_ && align_ != Align::None) parent_->realign();
    return true;
}

bool Control::createNative(const char* className, DWORD style, DWORD exStyle) {
    native_ = true;
    CreateParams p;
    p.className = className;
    p.style = style | WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
    p.exStyle = exStyle;
    p.x = x_;
    p.y = y_;
    p.width = w_;
    p.height = h_;
    p.parent = parentHandle();
    if (!createWindow(p)) return false;
    subclass();
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    if (parent_ && align_ != Align::None) parent_->realign();
    return true;
}

void Control::setBounds(int x, int y, int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    bool sized = w != w_ || h != h_;
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    if (handle()) {
        MoveWindow(handle(), x, y, w, h, TRUE);
    } else if (sized) {
        realign();
    }
}

RECT Control::clientRect() const {
    RECT r{0, 0, w_, h_};
    if (handle()) GetClientRect(handle(), &r);
    return r;
}

void Control::syncBounds() {
    if (!handle()) return;
    RECT r;
    GetWindowRect(handle(), &r);
    HWND p = GetParent(handle());
    if (p && (GetWindowLongA(handle(), GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(HWND_DESKTOP, p, reinterpret_cast<POINT*>(&r), 2);
    }
    x_ = r.left;
    y_ = r.top;
    w_ = r.right - r.left;
    h_ = r.bottom - r.top;
}

void Control::setVisible(bool v) {
    bool changed = v != visible_;
    visible_ = v;
    if (handle()) ShowWindow(handle(), v ? SW_SHOW : SW_HIDE);
    if (changed && parent_ && align_ != Align::None) parent_->realign();
}

void Control::setEnabled(bool e) {
    if (handle()) EnableWindow(handle(), e ? TRUE : FALSE);
}

bool Control::enabled() const { return handle() ? IsWindowEnabled(handle()) != FALSE : true; }

void Control::setAlign(Align a) {
    align_ = a;
    if (parent_) parent_->realign();
}

void Control::setColor(COLORREF c) {
    color_ = c;
    invalidate();
}

void Control::invalidate() {
    if (handle()) InvalidateRect(handle(), nullptr, FALSE);
}

void Control::setFocus() {
    if (handle()) SetFocus(handle());
}

void Control::bringToFront() {
    if (handle()) SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::realign() {
    RECT area = clientRect();
    auto place = [&](Align which) {
        for (Control* c : children_) {
            if (c->align_ != which || !c->visible_) continue;
            int aw = std::max<int>(area.right - area.left, 0);
            int ah = std::max<int>(area.bottom - area.top, 0);
            switch (which) {
                case Align::Top:
                    c->setBounds(area.left, area.top, aw, c->h_);
                    area.top += c->h_;
                    break;
                case Align::Bottom:
                    c->setBounds(area.left, area.bottom - c->h_, aw, c->h_);
                    area.bottom -= c->h_;
                    break;
                case Align::Left:
                    c->setBounds(area.left, area.top, c->w_, ah);
                    area.left += c->w_;
                    break;
                case Align::Right:
                    c->setBounds(area.right - c->w_, area.top, c->w_, ah);
                    area.right -= c->w_;
                    break;
                case Align::Client:
                    c->setBounds(area.left, area.top, aw, ah);
                    break;
                case Align::None:
                    break;
            }
        }
    };
    place(Align::Top);
    place(Align::Bottom);
    place(Align::Left);
    place(Align::Right);
    place(Align::Client);
}

void Control::paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area) {
    if (transparent_ && parent_) {
        parent_->paintBackgroundFor(dc, ox + x_, oy + y_, area);
        return;
    }
    UniqueBrush b(CreateSolidBrush(color_));
    FillRect(dc, &area, b.get());
}

void Control::paintBackground(HDC dc, const RECT& area) {
    if (transparent_ && parent_) {
        parent_->paintBackgroundFor(dc, x_, y_, area);
        return;
    }
    UniqueBrush b(CreateSolidBrush(color_));
    FillRect(dc, &area, b.get());
}

void Control::paint(HDC, const RECT&) {}

void Control::mouseDown(const MouseEvent& e) {
    pressed_ = e.button == MouseButton::Left;
    if (onMouseDown) onMouseDown(e);
}

void Control::mouseUp(const MouseEvent& e) {
    bool wasPressed = pressed_ && e.button == MouseButton::Left;
    pressed_ = false;
    if (onMouseUp) onMouseUp(e);
    if (wasPressed && e.x >= 0 && e.y >= 0 && e.x < w_ && e.y < h_ && onClick) onClick();
}

void Control::mouseMove(const MouseEvent& e) {
    if (onMouseMove) onMouseMove(e);
}

void Control::mouseEnter() {
    mouseInside_ = true;
    if (onMouseEnter) onMouseEnter();
}

void Control::mouseLeave() {
    mouseInside_ = false;
    if (onMouseLeave) onMouseLeave();
}

void Control::onHandleDestroyed() { mouseInside_ = false; }

static MouseEvent makeMouse(MouseButton b, WPARAM wp, LPARAM lp) {
    MouseEvent e;
    e.button = b;
    e.x = GET_X_LPARAM(lp);
    e.y = GET_Y_LPARAM(lp);
    e.keys = wp;
    return e;
}

bool Control::reflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Control::reflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND from = nullptr;
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            from = reinterpret_cast<HWND>(lp);
            break;
        case WM_NOTIFY:
            from = lp ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : nullptr;
            break;
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (d && d->CtlType != ODT_MENU) from = d->hwndItem;
            break;
        }
        case WM_MEASUREITEM: {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (m && m->CtlType != ODT_MENU) from = GetDlgItem(handle(), static_cast<int>(m->CtlID));
            break;
        }
        default:
            return false;
    }
    if (!from || from == handle()) return false;
    auto* child = dynamic_cast<Control*>(Window::fromHandle(from));
    return child && child->reflect(msg, wp, lp, result);
}

LRESULT Control::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT reflected = 0;
    if (reflectToChild(msg, wp, lp, reflected)) return reflected;
    if (native_) {
        switch (msg) {
            case WM_SIZE:
            case WM_MOVE:
                syncBounds();
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                mouseDown(makeMouse(msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, wp, lp));
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
                mouseUp(makeMouse(msg == WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right, wp, lp));
                break;
            case WM_LBUTTONDBLCLK:
                if (onDblClick) onDblClick();
                break;
            default:
                break;
        }
        return defaultProc(msg, wp, lp);
    }
    switch (msg) {
        case WM_SIZE:
        case WM_MOVE: {
            syncBounds();
            if (msg == WM_SIZE) {
                realign();
                if (onResize) onResize();
            }
            break;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDc pdc(handle());
            RECT rc = clientRect();
            int w = std::max<int>(rc.right, 1), h = std::max<int>(rc.bottom, 1);
            UniqueMemDc mem(CreateCompatibleDC(pdc.get()));
            UniqueBitmap bmp(CreateCompatibleBitmap(pdc.get(), w, h));
            {
                SelectGuard sel(mem.get(), bmp.get());
                paintBackground(mem.get(), rc);
                paint(mem.get(), rc);
                BitBlt(pdc.get(), 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (cursor_ && LOWORD(lp) == HTCLIENT) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            MouseButton b = msg == WM_LBUTTONDOWN   ? MouseButton::Left
                            : msg == WM_RBUTTONDOWN ? MouseButton::Right
                                                    : MouseButton::Middle;
            SetCapture(handle());
            mouseDown(makeMouse(b, wp, lp));
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            MouseButton b = msg == WM_LBUTTONUP   ? MouseButton::Left
                            : msg == WM_RBUTTONUP ? MouseButton::Right
                                                  : MouseButton::Middle;
            if (GetCapture() == handle()) ReleaseCapture();
            mouseUp(makeMouse(b, wp, lp));
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            SetCapture(handle());
            mouseDown(makeMouse(MouseButton::Left, wp, lp));
            if (onDblClick) onDblClick();
            return 0;
        case WM_MOUSEMOVE:
            if (!mouseInside_) {
                TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle(), 0};
                TrackMouseEvent(&t);
                mouseEnter();
            }
            mouseMove(makeMouse(MouseButton::Left, wp, lp));
            return 0;
        case WM_MOUSELEAVE:
            if (mouseInside_) mouseLeave();
            return 0;
        default:
            break;
    }
    return defaultProc(msg, wp, lp);
}

bool Panel::create(int x, int y, int w, int h) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    return createControl("KvPanel");
}

void Panel::setBackgroundPicture(HBITMAP bmp, bool stretch) {
    background_ = bmp;
    stretch_ = stretch;
    invalidate();
}

void Panel::paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area) {
    if (!background_) {
        Control::paintBackgroundFor(dc, ox, oy, area);
        return;
    }
    BITMAP bm{};
    GetObject(background_, sizeof(bm), &bm);
    UniqueMemDc src(CreateCompatibleDC(dc));
    SelectGuard sel(src.get(), background_);
    if (stretch_) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, -ox, -oy, w_, h_, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else if (bm.bmWidth > 0 && bm.bmHeight > 0) {
        for (int y = -oy; y < area.bottom; y += bm.bmHeight)
            for (int x = -ox; x < area.right; x += bm.bmWidth)
                BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
    }
}

void Panel::paint(HDC dc, const RECT& client) {
    if (background_) paintBackgroundFor(dc, 0, 0, client);
}

}  // namespace kv
