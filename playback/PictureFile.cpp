#include "playback/PictureFile.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace kv {

namespace {

// The bitmap's pixels as 32-bit BGRX rows, top row first.
bool readPixels(HBITMAP bmp, int& w, int& h, std::vector<uint8_t>& px) {
    BITMAP info{};
    if (!bmp || !GetObjectA(bmp, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    w = info.bmWidth;
    h = info.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    px.assign(static_cast<size_t>(w) * h * 4, 0);
    HDC dc = GetDC(nullptr);
    int got = GetDIBits(dc, bmp, 0, static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return got == h;
}

// 24-bit BGR rows padded to four bytes, bottom row first when bottomUp.
std::vector<uint8_t> rows24(const std::vector<uint8_t>& px, int w, int h, bool bottomUp, size_t& stride) {
    stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> out(stride * h, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = &px[static_cast<size_t>(y) * w * 4];
        uint8_t* d = &out[stride * (bottomUp ? h - 1 - y : y)];
        for (int x = 0; x < w; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return out;
}

bool writeBmp(const std::string& path, const std::vector<uint8_t>& px, int w, int h) {
    size_t stride = 0;
    std::vector<uint8_t> body = rows24(px, w, h, true, stride);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + body.size());
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = static_cast<DWORD>(body.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
              std::fwrite(body.data(), 1, body.size(), f) == body.size();
    return std::fclose(f) == 0 && ok;
}

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
};

bool writePng(const std::string& path, const std::vector<uint8_t>& px, int w, int h) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::wstring wide(n > 0 ? n : 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
        size_t stride = 0;
        std::vector<uint8_t> body = rows24(px, w, h, false, stride);
        Com<IWICImagingFactory> factory;
        Com<IWICStream> stream;
        Com<IWICBitmapEncoder> encoder;
        Com<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p))) &&
             SUCCEEDED(factory->CreateStream(&stream.p)) &&
             SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) &&
             SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p)) &&
             SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
             SUCCEEDED(encoder->CreateNewFrame(&frame.p, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
             SUCCEEDED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))) &&
             SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
             SUCCEEDED(frame->WritePixels(static_cast<UINT>(h), static_cast<UINT>(stride),
                                          static_cast<UINT>(body.size()), body.data())) &&
             SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

}  // namespace

bool SavePictureFile(HBITMAP bmp, const std::string& path, PictureFormat format) {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    if (!readPixels(bmp, w, h, px)) return false;
    std::string temp = path + ".tmp";
    bool ok = format == PictureFormat::Png ? writePng(temp, px, w, h) : writeBmp(temp, px, w, h);
    if (ok) ok = MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

PictureFormat PictureFormatOfFilter(int filterIndex) {
    return filterIndex == 2 ? PictureFormat::Png : PictureFormat::Bmp;
}

}  // namespace kv
