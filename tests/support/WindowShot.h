// Screenshots for the record: what a window shows on the screen, saved as a
// 24-bit BMP file into the folder named by KV_SCREENSHOT_DIR (none is taken
// when it is not set).
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kv::test {

inline std::string shotFolder() {
    const char* d = std::getenv("KV_SCREENSHOT_DIR");
    return d ? d : "";
}

inline bool shootWindow(HWND h, const std::string& fileName) {
    RECT r;
    GetWindowRect(h, &r);
    const int w = r.right - r.left, ht = r.bottom - r.top;
    const int stride = (w * 3 + 3) & ~3;
    BITMAPINFOHEADER bh{sizeof bh, w, ht, 1, 24, BI_RGB, static_cast<DWORD>(stride * ht), 0, 0, 0, 0};
    std::vector<char> pixels(static_cast<size_t>(stride) * ht);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, ht);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    GetDIBits(mem, bmp, 0, static_cast<UINT>(ht), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bh),
              DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER fh{0x4D42, 0, 0, 0, sizeof fh + sizeof bh};
    fh.bfSize = fh.bfOffBits + bh.biSizeImage;
    FILE* f = std::fopen((shotFolder() + "\\" + fileName).c_str(), "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bh, sizeof bh, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    return true;
}

}  // namespace kv::test
