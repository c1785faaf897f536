// The video decoders: the input is split into frames at every 0xFF 0xD9
// pair; the first byte picks Sorenson H.263 or screen video. Frames are
// decoded in order, then a playback seeks back and forth through them and
// its picture is drawn scaled onto a small target.
// Frames larger than 48 x 48 pixels are left out (and at most 6 are made),
// so that one input costs bounded time; the decoders' own limits are far
// larger.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/video/H263Decoder.h"
#include "flash/core/video/ScreenVideoDecoder.h"
#include "flash/core/video/VideoScaler.h"
#include "flash/core/video/VideoStream.h"

namespace {
const int kMaxSide = 48;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool screen = data[0] & 1;
    std::vector<std::vector<uint8_t>> frames(1);
    for (size_t i = 1; i < size; ++i) {
        if (i + 1 < size && data[i] == 0xFF && data[i + 1] == 0xD9 && frames.size() < 6) {
            frames.emplace_back();
            ++i;
            continue;
        }
        frames.back().push_back(data[i]);
    }
    flash::H263Decoder h263;
    flash::ScreenVideoDecoder sv;
    flash::VideoDef def;
    def.codec = screen ? flash::kCodecScreen : flash::kCodecSorenson;
    std::vector<std::vector<uint8_t>> tagged;
    auto small = [screen](const std::vector<uint8_t>& f) {
        if (screen) {  // 4-bit block size and 12-bit width, then the same for the height
            if (f.size() < 4) return true;
            return ((f[0] & 0x0F) << 8 | f[1]) <= kMaxSide && ((f[2] & 0x0F) << 8 | f[3]) <= kMaxSide;
        }
        flash::H263Header h;
        return !flash::readH263Header(f.data(), f.size(), h) || (h.width <= kMaxSide && h.height <= kMaxSide);
    };
    for (auto it = frames.begin(); it != frames.end();) it = small(*it) ? it + 1 : frames.erase(it);
    for (size_t k = 0; k < frames.size(); ++k) {
        const auto& f = frames[k];
        if (screen)
            sv.decode(f.data(), f.size());
        else
            h263.decode(f.data(), f.size());
        std::vector<uint8_t> body = {static_cast<uint8_t>(k), 0};
        body.insert(body.end(), f.begin(), f.end());
        tagged.push_back(std::move(body));
    }
    for (const auto& t : tagged) {
        flash::ByteReader r(t.data(), t.size());
        def.addFrame(r);
    }
    flash::VideoPlayback play;
    const int order[] = {3, 1, 7, 0, 2};
    for (int n : order) play.show(def, n);
    // Whole scales and offsets from the first byte, some partly off the target.
    std::vector<uint32_t> px(64 * 64, 0xFF102030u);
    flash::Canvas target;
    target.attach(px.data(), 64, 64, 64);
    const double s = 0.5 * (1 + (data[0] >> 6));
    const flash::Matrix m{s, 0, 0, s, double((data[0] >> 1) & 7) * 4 - 8, double((data[0] >> 4) & 3) * 4 - 4};
    flash::VideoScaler scaler;
    scaler.draw(target, play.bitmap(), m, (data[0] & 2) != 0, flash::ColorTransform());
    return 0;
}
