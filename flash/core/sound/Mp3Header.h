// The 4-byte header of an MPEG audio Layer III frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flash {

struct Mp3Header {
    int rate = 0;      // samples per second
    int channels = 0;  // 1 or 2
    int bitrate = 0;   // bits per second
    int samples = 0;   // per channel: 1152 (MPEG-1) or 576 (MPEG-2 and 2.5)
    size_t size = 0;   // bytes of the whole frame, header included
};

// Reads the header at `p` (4 bytes); false when it is no Layer III header.
inline bool readMp3Header(const uint8_t* p, Mp3Header& h) {
    static const int kBitrates[2][16] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
    static const int kRates[3] = {44100, 48000, 32000};
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int version = (p[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = (p[1] >> 1) & 3;    // 1 Layer III
    int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    bool mpeg1 = version == 3;
    h.rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    h.bitrate = kBitrates[mpeg1 ? 0 : 1][bitrateIndex] * 1000;
    h.samples = mpeg1 ? 1152 : 576;
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.size = static_cast<size_t>(h.samples / 8 * h.bitrate / h.rate + padding);
    return true;
}

}  // namespace flash
