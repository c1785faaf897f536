#include "ui/Window.h"

#include <set>

namespace kv {

namespace {
const char* const kSelfProp = "KvWindowSelf";

std::set<std::string>& registeredClasses() {
    static std::set<std::string> names;
    return names;
}
}  // namespace

void registerWindowClass(const char* name, UINT style, HBRUSH background, HICON icon, HCURSOR cursor) {
    if (registeredClasses().count(name)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::sharedProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        registeredClasses().insert(name);
    }
}

Window::~Window() { destroy(); }

void Window::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
}

bool Window::createWindow(const CreateParams& p) {
    HWND h = CreateWindowExA(p.exStyle, p.className, p.caption.c_str(), p.style, p.x, p.y, p.width, p.height,
                             p.parent, p.menu, GetModuleHandleA(nullptr), this);
    if (h && !hwnd_) hwnd_ = h;  // system classes do not pass WM_NCCREATE to us
    return h != nullptr;
}

Window* Window::fromHandle(HWND h) { return h ? static_cast<Window*>(GetPropA(h, kSelfProp)) : nullptr; }

LRESULT CALLBACK Window::sharedProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = fromHandle(h);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        if (self) {
            SetPropA(h, kSelfProp, self);
            self->hwnd_ = h;
        }
    }
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    return self->dispatch(msg, wp, lp);
}

LRESULT Window::dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        LRESULT r = defaultProc(msg, wp, lp);
        HWND h = hwnd_;
        RemovePropA(h, kSelfProp);
        if (oldProc_) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
        hwnd_ = nullptr;
        oldProc_ = nullptr;
        onHandleDestroyed();
        return r;
    }
    return handleMessage(msg, wp, lp);
}

LRESULT Window::handleMessage(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT Window::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (oldProc_) return CallWindowProcA(oldProc_, hwnd_, msg, wp, lp);
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void Window::subclass() {
    if (!hwnd_ || oldProc_) return;
    SetPropA(hwnd_, kSelfProp, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::sharedProc)));
}

}  // namespace kv
