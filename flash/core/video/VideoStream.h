// An embedded video: the DefineVideoStream character with its frames
// (VideoFrame tags, kept as pointers into the movie), and the playback
// state of one instance, which decodes up to the frame it must show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/Bitmap.h"
#include "flash/core/ByteReader.h"
#include "flash/core/video/H263Decoder.h"
#include "flash/core/video/ScreenVideoDecoder.h"

namespace flash {

enum VideoCodec : uint8_t { kCodecSorenson = 2, kCodecScreen = 3, kCodecVp6 = 4, kCodecVp6Alpha = 5 };

struct VideoDef {
    uint16_t frameCount = 0, width = 0, height = 0;
    uint8_t deblocking = 0;  // 0 as each frame asks, 1 off, 2.. on
    bool smoothing = false;
    uint8_t codec = 0;
    struct Frame {
        const uint8_t* data = nullptr;
        size_t size = 0;
        bool key = false;
    };
    std::vector<Frame> frames;  // by frame number; missing ones are empty

    static std::unique_ptr<VideoDef> parse(ByteReader& r, uint16_t& id);
    // A VideoFrame body after its stream id (frame number, then data).
    void addFrame(ByteReader& r);
    // The frame to decode first to show frame n (-1: none).
    int keyFrameFor(int n) const;
};

class VideoPlayback {
public:
    // Makes the picture show frame n of the stream (or the last frame before
    // it that exists). Frames are decoded forward from the nearest key frame,
    // or from the frame shown now when that lies on the way.
    void show(const VideoDef& def, int n);
    int shownFrame() const { return shown_; }
    // The picture as a bitmap (premultiplied, opaque); empty before a frame.
    const BitmapData& bitmap() const { return bitmap_; }

private:
    bool decodeFrame(const VideoDef& def, int n);
    void publish(const VideoDef& def);

    H263Decoder h263_;
    ScreenVideoDecoder screen_;
    int shown_ = -1;
    bool valid_ = false;  // the decoder state follows the frames up to shown_
    BitmapData bitmap_;
    std::vector<uint8_t> deblocked_[3];
};

// Sorenson planes to 0xFFRRGGBB (BT.601, studio range); chroma is shared by
// each 2 x 2 block of pixels.
void yuvToArgb(const uint8_t* y, int yStride, const uint8_t* u, const uint8_t* v, int cStride, int width,
               int height, uint32_t* out);

}  // namespace flash
