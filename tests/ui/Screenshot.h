// Saves what a window shows on the screen as a 24-bit BMP file, for the
// screenshots of the dialogs (taken when KV_SCREENSHOT_DIR names a folder).
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/Handles.h"

namespace kv::test {

// The folder for screenshots, empty when none are wanted.
inline std::string screenshotDir() {
    const char* d = std::getenv("KV_SCREENSHOT_DIR");
    return d ? d : "";
}

inline bool saveWindowShot(HWND h, const std::string& path) {
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, ht = r.bottom - r.top;
    WindowDc screen(nullptr);
    UniqueMemDc mem(CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = ht;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    UniqueBitmap bmp(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp) return false;
    {
        SelectGuard sel(mem.get(), bmp.get());
        BitBlt(mem.get(), 0, 0, w, ht, screen.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(ht);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, stride, static_cast<size_t>(ht), f);
    std::fclose(f);
    return true;
}

}  // namespace kv::test
