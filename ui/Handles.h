// Small move-only owners of Win32 handles, so no handle leaks on any path.
#pragma once

#include <windows.h>

#include <utility>

namespace kv {

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    T get() const { return h_; }
    explicit operator bool() const { return Traits::valid(h_); }
    T release() {
        T h = h_;
        h_ = Traits::invalid();
        return h;
    }
    void reset(T h = Traits::invalid()) {
        if (Traits::valid(h_)) Traits::close(h_);
        h_ = h;
    }

private:
    T h_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { FindClose(h); }
};
template <typename G>
struct GdiTraits {
    static G invalid() { return nullptr; }
    static bool valid(G h) { return h != nullptr; }
    static void close(G h) { DeleteObject(h); }
};
struct HwndTraits {
    static HWND invalid() { return nullptr; }
    static bool valid(HWND h) { return h != nullptr; }
    static void close(HWND h) {
        if (IsWindow(h)) DestroyWindow(h);
    }
};
struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
struct HkeyTraits {
    static HKEY invalid() { return nullptr; }
    static bool valid(HKEY h) { return h != nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct MemDcTraits {
    static HDC invalid() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { DeleteDC(h); }
};

using UniqueFile = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueMutex = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindHandleTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using UniqueRgn = UniqueHandle<HRGN, GdiTraits<HRGN>>;
using UniqueWindow = UniqueHandle<HWND, HwndTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueKey = UniqueHandle<HKEY, HkeyTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMemDc = UniqueHandle<HDC, MemDcTraits>;

// A window DC released at scope end.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(GetDC(w)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintDc {
public:
    explicit PaintDc(HWND w) : w_(w) { dc_ = BeginPaint(w, &ps_); }
    ~PaintDc() { EndPaint(w_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects a GDI object into a DC for the scope and restores the old one.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectGuard() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace kv
