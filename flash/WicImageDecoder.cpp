#include "flash/WicImageDecoder.h"

#include <objbase.h>
#include <wincodec.h>

namespace kv {

namespace {

// Releases a COM interface at scope end.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() { return &p_; }
    void** outVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// COM for this thread for the scope; a thread already in another apartment
// model is used as it is.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

}  // namespace

bool WicImageDecoder::decode(const uint8_t* data, size_t size, flash::DecodedImage& out) {
    out = flash::DecodedImage();
    if (!data) return false;
    // Older movies put an end-of-image marker before the start-of-image one.
    if (size >= 4 && data[0] == 0xFF && data[1] == 0xD9 && data[2] == 0xFF && data[3] == 0xD8) {
        data += 4;
        size -= 4;
    }
    if (size < 8 || size > 0x7FFFFFFF) return false;

    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.outVoid())))
        return false;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.out()))) return false;
    if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)))) return false;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())))
        return false;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.out()))) return false;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out()))) return false;
    // Premultiplied BGRA in memory is 0xAARRGGBB premultiplied as a 32-bit value.
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return false;
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0) return false;
    if (static_cast<long long>(w) * h > kMaxPixels) return false;
    std::vector<uint32_t> pixels;
    try {
        pixels.resize(static_cast<size_t>(w) * h);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        return false;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.pixels.swap(pixels);
    return true;
}

}  // namespace kv
