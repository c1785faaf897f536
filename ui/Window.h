// Base class of every window the program creates: owns its HWND and turns
// the window procedure into a virtual member call.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

struct CreateParams {
    const char* className = nullptr;
    std::string caption;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
};

// Registers a window class (once) that routes to Window objects.
void registerWindowClass(const char* name, UINT style = CS_DBLCLKS, HBRUSH background = nullptr,
                         HICON icon = nullptr, HCURSOR cursor = nullptr);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }
    // Creates the window; the class must be registered with registerWindowClass.
    bool createWindow(const CreateParams& p);
    void destroy();

    // The Window object behind a handle, or nullptr for foreign windows.
    static Window* fromHandle(HWND h);
    // The window procedure of every class registered with registerWindowClass.
    static LRESULT CALLBACK sharedProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the handle is gone (WM_NCDESTROY).
    virtual void onHandleDestroyed() {}

    // Subclassing of native controls (LISTBOX, COMBOBOX...): after createWindow
    // on a system class, call subclass() so messages reach handleMessage.
    void subclass();

private:
    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    WNDPROC oldProc_ = nullptr;
};

}  // namespace kv
