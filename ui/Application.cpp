#include "ui/Application.h"

#include <algorithm>

#include "ui/Form.h"

namespace kv {

Application& Application::instance() {
    static Application app;
    return app;
}

int Application::addMessageHook(std::function<bool(MSG&)> hook) {
    hooks_.push_back({++nextHook_, std::move(hook)});
    return nextHook_;
}

void Application::removeMessageHook(int id) {
    hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [id](const Hook& h) { return h.id == id; }),
                 hooks_.end());
}

// The outermost form around a window that previews keys: a form docked into
// another one lets the outer form see the keys first.
static Form* keyPreviewForm(HWND h) {
    Form* found = nullptr;
    for (; h; h = GetParent(h)) {
        if (auto* f = dynamic_cast<Form*>(Window::fromHandle(h))) {
            if (f->keyPreview) found = f;
        }
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return found;
}

bool Application::dispatch(MSG& m) {
    // Copy: a hook may add or remove hooks.
    auto hooks = hooks_;
    for (auto& h : hooks)
        if (h.fn(m)) return true;
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN || m.message == WM_KEYUP ||
        m.message == WM_SYSKEYUP) {
        if (Form* f = keyPreviewForm(m.hwnd)) {
            WORD key = static_cast<WORD>(m.wParam);
            ShiftState s = ShiftState::current();
            if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN)
                f->FormKeyDown(key, s);
            else
                f->FormKeyUp(key, s);
            if (key == 0) return true;
        }
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
    return true;
}

bool Application::handleMessage(bool wait) {
    MSG m;
    if (wait) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) return false;
    } else {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) return true;
        if (m.message == WM_QUIT) return false;
    }
    return dispatch(m);
}

void Application::run() {
    while (!terminated_) {
        if (!handleMessage(true)) break;
    }
    terminated_ = true;
}

void Application::processMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        dispatch(m);
    }
}

void Application::terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

// A window that is never shown: the main window is owned by it while its
// taskbar button is hidden.
static HWND hiddenOwner() {
    static HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    return owner;
}

static HWND mainHandle() {
    Form* f = Application::instance().mainForm;
    return f ? f->handle() : nullptr;
}

HWND ApplicationOwner() { return mainHandle(); }

void Application::minimize() {
    if (HWND h = mainHandle()) ShowWindow(h, SW_MINIMIZE);
}

void Application::restore() {
    if (HWND h = mainHandle()) {
        ShowWindow(h, SW_RESTORE);
        SetForegroundWindow(h);
    }
}

void Application::bringToFront() {
    if (HWND h = mainHandle()) {
        if (!IsWindowVisible(h)) ShowWindow(h, SW_SHOW);
        SetForegroundWindow(h);
        BringWindowToTop(h);
    }
}

bool Application::isMinimized() const {
    HWND h = mainHandle();
    return h && IsIconic(h);
}

void Application::showTaskbarButton(bool show) {
    taskbarShown_ = show;
    HWND h = mainHandle();
    if (!h) return;
    // An owned window without WS_EX_APPWINDOW gets no taskbar button; the
    // window keeps its caption buttons and icon (no tool-window style).
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
    LONG want = show ? (ex | WS_EX_APPWINDOW) : (ex & ~WS_EX_APPWINDOW);
    HWND owner = show ? nullptr : hiddenOwner();
    if (want == ex && GetWindow(h, GW_OWNER) == owner) return;
    bool visible = IsWindowVisible(h) != FALSE;
    if (visible) ShowWindow(h, SW_HIDE);
    SetWindowLongA(h, GWL_EXSTYLE, want);
    SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    if (visible) ShowWindow(h, SW_SHOWNA);
}

}  // namespace kv
