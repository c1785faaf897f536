// Builders of embedded video: DefineVideoStream, VideoFrame, and a screen
// video (version 1) encoder for test pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

// codec: 2 Sorenson H.263, 3 screen video; deblocking 0..7 as stored.
Bytes defineVideoStream(uint16_t id, uint16_t frames, uint16_t width, uint16_t height, int codec,
                        bool smoothing = false, int deblocking = 0);
Bytes videoFrame(uint16_t streamId, uint16_t frameNum, const Bytes& data);

// One screen video frame of 0xRRGGBB pixels (rows top to bottom) in blocks
// of `block` pixels (16..256, a multiple of 16). With `previous`, blocks
// equal to it are written as unchanged.
Bytes screenVideoFrame(const std::vector<uint32_t>& rgb, int width, int height, int block,
                       const std::vector<uint32_t>* previous = nullptr);

}  // namespace swfw
