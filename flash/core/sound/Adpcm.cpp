// SWF ADPCM: one bit stream, most significant bit first. A 2-bit field gives
// the code size (2 to 5 bits); then packets follow, each starting with the
// exact first sample and step index of every channel and going on with up to
// 4095 codes per channel (interleaved left, right).
#include <algorithm>

#include "flash/core/sound/SoundDecoder.h"

namespace flash {

namespace {

const int16_t kSteps[89] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int8_t kIndex2[2] = {-1, 2};
const int8_t kIndex3[4] = {-1, -1, 2, 4};
const int8_t kIndex4[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
const int8_t kIndex5[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
const int8_t* const kIndexTables[4] = {kIndex2, kIndex3, kIndex4, kIndex5};

class BitStream {
public:
    BitStream(const uint8_t* data, size_t size) : data_(data), bits_(size * 8) {}
    size_t left() const { return bits_ - pos_; }
    size_t pos() const { return pos_; }
    size_t size() const { return bits_; }
    // Caller checks left() first.
    uint32_t read(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
            ++pos_;
        }
        return v;
    }

private:
    const uint8_t* data_;
    size_t bits_;
    size_t pos_ = 0;
};

struct Channel {
    int sample = 0;
    int index = 0;
};

inline void step(Channel& c, uint32_t code, int bits, const int8_t* indexTable) {
    int step = kSteps[c.index];
    uint32_t signBit = 1u << (bits - 1);
    uint32_t magnitude = code & (signBit - 1);
    int diff = step >> (bits - 1);
    for (int b = bits - 2; b >= 0; --b)
        if (magnitude & (1u << b)) diff += step >> (bits - 2 - b);
    c.sample += (code & signBit) ? -diff : diff;
    c.sample = std::max(-32768, std::min(32767, c.sample));
    c.index = std::max(0, std::min(88, c.index + indexTable[magnitude]));
}

}  // namespace

AdpcmDecoder::AdpcmDecoder(const SoundFormat& format) {
    rate_ = format.rate;
    channels_ = format.channels();
}

void AdpcmDecoder::decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) {
    if (!data || size == 0 || maxFrames == 0) return;
    BitStream in(data, size);
    const int bits = static_cast<int>(in.read(2)) + 2;
    const int8_t* table = kIndexTables[bits - 2];
    const int nch = channels_;
    Channel ch[2];
    size_t frames = 0;
    // The data is padded with zero bits to a whole byte. Codes that would
    // start inside that trailing run of zeros are padding, not sound.
    size_t zeros = 0;
    while (zeros < 7 && !((data[size - 1] >> zeros) & 1)) ++zeros;
    const size_t padStart = in.size() - zeros;
    while (frames < maxFrames && in.left() >= static_cast<size_t>(22 * nch)) {
        for (int c = 0; c < nch; ++c) {
            ch[c].sample = static_cast<int16_t>(in.read(16));
            ch[c].index = static_cast<int>(in.read(6));
            ch[c].index = std::min(ch[c].index, 88);
            out.push_back(static_cast<int16_t>(ch[c].sample));
        }
        ++frames;
        for (int k = 1; k < 4096 && frames < maxFrames && in.left() >= static_cast<size_t>(bits * nch) &&
                        in.pos() < padStart;
             ++k) {
            for (int c = 0; c < nch; ++c) {
                step(ch[c], in.read(bits), bits, table);
                out.push_back(static_cast<int16_t>(ch[c].sample));
            }
            ++frames;
        }
    }
}

}  // namespace flash
