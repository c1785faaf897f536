// SWF ADPCM: one bit stream, most significant bit first. A 2-bit field gives
// the code size (2 to 5 bits); then packets follow, each starting with the
// exact first sample and step index of every channel and going on with up to
// 4095 codes per channel (interleaved left, right).
#include <algorithm>

#include "flash/core/sound/AdpcmTables.h"
#include "flash/core/sound/SoundDecoder.h"

namespace flash {

namespace {

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
    int step = kAdpcmSteps[c.index];
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
    const int8_t* table = kAdpcmIndexTables[bits - 2];
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
