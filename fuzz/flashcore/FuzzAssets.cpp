// Loads arbitrary bytes with an image decoder that accepts any JPEG-like
// data (the picture is made from the bytes themselves), then renders: the
// bitmap, font and text tags, the JPEG repair and bitmap fills with alpha.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/Bitmap.h"
#include "flash/core/Player.h"

namespace {

class BytesDecoder : public flash::ImageDecoder {
public:
    bool decode(const uint8_t* data, size_t size, flash::DecodedImage& out) override {
        if (size < 4) return false;
        out.width = 1 + data[size - 1] % 17;
        out.height = 1 + data[size - 2] % 13;
        out.pixels.resize(static_cast<size_t>(out.width) * out.height);
        for (size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = 0xFF000000u | data[i % size] * 0x010101u;
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> repaired = flash::repairJpeg(data, size);
    if (repaired.size() > size + 2) __builtin_trap();  // repairing never grows the stream
    BytesDecoder decoder;
    flash::Player player;
    player.setImageDecoder(&decoder);
    player.engine().actionBudget = 2000;
    player.engine().tickBudget = 8000;
    if (!player.load(data, size)) return 0;
    const int w = 64, h = 48;
    std::vector<uint32_t> pixels(w * h);
    player.render(pixels.data(), w, h, w, player.viewMatrix(w, h), flash::Quality::High);
    player.tick();
    player.zoom(25);
    player.render(pixels.data(), w, h, w, player.viewMatrix(w, h), flash::Quality::Low);
    return 0;
}
