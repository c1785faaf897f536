#include "ui/Form.h"

#include <vector>

#include "ui/Application.h"
#include "ui/Menu.h"

namespace kv {

bool Form::createForm(const char* className, const std::string& caption, int x, int y, int w, int h,
                      DWORD style, DWORD exStyle, HWND owner, HICON icon) {
    registerWindowClass(className, CS_DBLCLKS, nullptr, icon);
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    CreateParams p;
    p.className = className;
    p.caption = caption;
    p.style = style;
    p.exStyle = exStyle;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.parent = owner;
    visible_ = (style & WS_VISIBLE) != 0;
    return createWindow(p);
}

void Form::setCaption(const std::string& c) {
    if (handle()) SetWindowTextA(handle(), c.c_str());
}

std::string Form::caption() const {
    if (!handle()) return {};
    char buf[1024];
    int n = GetWindowTextA(handle(), buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

void Form::setMenu(Menu* m) {
    if (handle()) {
        SetMenu(handle(), m ? m->handle() : nullptr);
        DrawMenuBar(handle());
    }
}

void Form::show() {
    visible_ = true;
    if (handle()) {
        ShowWindow(handle(), host_ ? SW_SHOW : showCommand);
        showCommand = SW_SHOW;
        if (host_) refit();
    }
    FormShow();
}

void Form::hide() {
    visible_ = false;
    if (handle()) ShowWindow(handle(), SW_HIDE);
}

void Form::close() {
    if (handle()) SendMessageA(handle(), WM_CLOSE, 0, 0);
}

static BOOL CALLBACK collectEnabledWindow(HWND w, LPARAM lp) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(lp);
    if (IsWindowVisible(w) && IsWindowEnabled(w)) list->push_back(w);
    return TRUE;
}

int Form::showModal() {
    if (!handle()) return IDCANCEL;
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &collectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    HWND active = GetActiveWindow();
    for (HWND w : disabled)
        if (w != handle()) EnableWindow(w, FALSE);
    modal_ = true;
    modalResult_ = 0;
    show();
    Application& app = Application::instance();
    while (modalResult_ == 0 && handle() && !app.terminated()) {
        if (!app.handleMessage(true)) {
            app.terminate();
            break;
        }
    }
    for (HWND w : disabled)
        if (w != handle() && IsWindow(w)) EnableWindow(w, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    hide();
    modal_ = false;
    return modalResult_ ? modalResult_ : IDCANCEL;
}

void Form::dock(Control& host) {
    host_ = &host;
    if (!handle()) return;
    LONG style = GetWindowLongA(handle(), GWL_STYLE);
    style &= ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER);
    style |= WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    SetWindowLongA(handle(), GWL_STYLE, style);
    LONG ex = GetWindowLongA(handle(), GWL_EXSTYLE);
    ex &= ~(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME);
    SetWindowLongA(handle(), GWL_EXSTYLE, ex);
    SetParent(handle(), host.handle());
    refit();
}

void Form::undock() {
    host_ = nullptr;
    if (!handle()) return;
    LONG style = GetWindowLongA(handle(), GWL_STYLE);
    style = (style & ~WS_CHILD) | WS_POPUP;
    SetWindowLongA(handle(), GWL_STYLE, style);
    SetParent(handle(), nullptr);
}

void Form::refit() {
    if (!host_ || !handle()) return;
    RECT r = host_->clientRect();
    SetWindowPos(handle(), nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void Form::release() {
    if (released_) return;
    released_ = true;
    FormDestroy();
    destroy();
}

LRESULT Form::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (handleFormMessage(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_CLOSE:
            if (FormCloseQuery()) {
                if (modal_) {
                    if (!modalResult_) modalResult_ = IDCANCEL;
                } else if (Application::instance().mainForm == this) {
                    hide();
                    Application::instance().terminate();
                } else {
                    hide();
                }
            }
            return 0;
        case WM_COMMAND:
            if (lp == 0 && HIWORD(wp) == 0 && Menu::dispatchCommand(LOWORD(wp))) return 0;
            if (handleCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
            break;
        case WM_GETMINMAXINFO: {
            auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
            if (minWidth > 0) mm->ptMinTrackSize.x = minWidth;
            if (minHeight > 0) mm->ptMinTrackSize.y = minHeight;
            return 0;
        }
        case WM_SIZE: {
            LRESULT r = Control::handleMessage(msg, wp, lp);
            FormResize();
            return r;
        }
        default:
            break;
    }
    return Control::handleMessage(msg, wp, lp);
}

}  // namespace kv
