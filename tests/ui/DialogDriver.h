// Drives a shown dialog as a user does: keys through SendInput (so the key
// state and the focus window are the system's), mouse clicks and the wheel at
// a control's centre, and the message loop run between steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Application.h"
#include "ui/Control.h"

namespace kv::test {

// The step a test runs from inside a modal dialog's own message loop.
inline std::function<void()>& shownStep() {
    static std::function<void()> step;
    return step;
}
inline void CALLBACK runShownStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto step = std::move(shownStep());
    shownStep() = nullptr;
    if (step) step();
}
// Runs step once, from a timer, after the modal dialog about to open is up.
inline void whenShown(std::function<void()> step, UINT ms = 60) {
    shownStep() = std::move(step);
    SetTimer(nullptr, 0, ms, runShownStep);
}
// Drops a step that never ran (a test that failed before its dialog opened).
inline void cancelShownStep() { shownStep() = nullptr; }

// Runs the message loop for a while.
inline void pump(int ms = 30) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        Application::instance().processMessages();
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

inline void sendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
}

// Presses and releases a key, with Shift and/or Ctrl held when asked.
inline void pressKey(WORD vk, bool shift = false, bool ctrl = false) {
    if (ctrl) sendKey(VK_CONTROL, false);
    if (shift) sendKey(VK_SHIFT, false);
    sendKey(vk, false);
    sendKey(vk, true);
    if (shift) sendKey(VK_SHIFT, true);
    if (ctrl) sendKey(VK_CONTROL, true);
    pump();
}

// Types text into the focused window as characters (GBK bytes; a two-byte
// character arrives as its lead and trail bytes, as an ANSI window gets it).
inline void typeText(const std::string& text) {
    HWND focus = GetFocus();
    for (unsigned char ch : text) PostMessageA(focus, WM_CHAR, ch, 1);
    pump();
}

inline POINT centreOf(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline void mouseAt(POINT p, DWORD flags, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    in.mi.mouseData = data;
    SendInput(1, &in, sizeof(in));
}

// A left click at the centre of a window (or at an offset from its top left).
inline void click(HWND h, int dx = -1, int dy = -1) {
    POINT p = centreOf(h);
    if (dx >= 0) {
        RECT r;
        GetWindowRect(h, &r);
        p = {r.left + dx, r.top + dy};
    }
    mouseAt(p, 0);
    pump();
    mouseAt(p, MOUSEEVENTF_LEFTDOWN);
    pump();
    mouseAt(p, MOUSEEVENTF_LEFTUP);
    pump();
}

// Turns the mouse wheel over a window by notches (positive: away from the user).
inline void wheel(HWND h, int notches) {
    mouseAt(centreOf(h), 0);
    pump();
    mouseAt(centreOf(h), MOUSEEVENTF_WHEEL, static_cast<DWORD>(notches * WHEEL_DELTA));
    pump();
}

inline bool hasFocus(const Control& c) {
    HWND f = GetFocus();
    return f && (f == c.handle() || IsChild(c.handle(), f));
}

}  // namespace kv::test
