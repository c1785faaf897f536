#include "tools/swfwriter/SoundWriter.h"

#include <algorithm>
#include <cstdlib>

#include "flash/core/sound/AdpcmTables.h"
#include "flash/core/sound/Mp3Header.h"

namespace swfw {

uint8_t soundFormat(int codec, int rateCode, bool sixteenBit, bool stereo) {
    return static_cast<uint8_t>((codec << 4) | ((rateCode & 3) << 2) | (sixteenBit ? 2 : 0) |
                                (stereo ? 1 : 0));
}

void writeSoundInfo(BitWriter& w, const SoundInfo& info) {
    uint8_t flags = 0;
    if (info.syncStop) flags |= 0x20;
    if (info.noMultiple) flags |= 0x10;
    if (!info.envelope.empty()) flags |= 0x08;
    if (info.loops >= 0) flags |= 0x04;
    if (info.outPoint >= 0) flags |= 0x02;
    if (info.inPoint >= 0) flags |= 0x01;
    w.u8(flags);
    if (info.inPoint >= 0) w.u32(static_cast<uint32_t>(info.inPoint));
    if (info.outPoint >= 0) w.u32(static_cast<uint32_t>(info.outPoint));
    if (info.loops >= 0) w.u16(static_cast<uint16_t>(info.loops));
    if (!info.envelope.empty()) {
        w.u8(static_cast<uint8_t>(info.envelope.size()));
        for (const Envelope& e : info.envelope) {
            w.u32(e.pos44);
            w.u16(e.left);
            w.u16(e.right);
        }
    }
}

Bytes defineSound(uint16_t id, uint8_t format, uint32_t sampleCount, const Bytes& data, int seekSamples) {
    BitWriter w;
    w.u16(id);
    w.u8(format);
    w.u32(sampleCount);
    if (seekSamples >= 0) w.s16(static_cast<int16_t>(seekSamples));
    w.bytes(data);
    return tag(14, w.data(), true);
}

Bytes startSound(uint16_t id, const SoundInfo& info) {
    BitWriter w;
    w.u16(id);
    writeSoundInfo(w, info);
    return tag(15, w.data());
}

Bytes startSound2(const std::string& className, const SoundInfo& info) {
    BitWriter w;
    w.str(className);
    writeSoundInfo(w, info);
    return tag(89, w.data());
}

Bytes soundStreamHead(uint8_t format, uint16_t samplesPerFrame, bool head2, int16_t latencySeek) {
    BitWriter w;
    w.u8(format & 0x0F);
    w.u8(format);
    w.u16(samplesPerFrame);
    if ((format >> 4) == 2) w.s16(latencySeek);
    return tag(head2 ? 45 : 18, w.data());
}

Bytes soundStreamBlock(const Bytes& data) { return tag(19, data, true); }

Bytes soundStreamBlockMp3(uint16_t sampleCount, int16_t seekSamples, const Bytes& frames) {
    BitWriter w;
    w.u16(sampleCount);
    w.s16(seekSamples);
    w.bytes(frames);
    return tag(19, w.data(), true);
}

Bytes defineButtonSound(uint16_t buttonId, const uint16_t soundIds[4]) {
    BitWriter w;
    w.u16(buttonId);
    for (int i = 0; i < 4; ++i) {
        w.u16(soundIds[i]);
        if (soundIds[i]) writeSoundInfo(w, SoundInfo());
    }
    return tag(17, w.data());
}

Bytes exportAssets(uint16_t id, const std::string& name) {
    BitWriter w;
    w.u16(1);
    w.u16(id);
    w.str(name);
    return tag(56, w.data());
}

namespace {

struct State {
    int sample = 0, index = 0;
};

// Picks the code whose decoded sample comes closest, and moves the state
// as the decoder will.
uint32_t encodeOne(State& s, int target, int bits) {
    int step = flash::kAdpcmSteps[s.index];
    int diff = target - s.sample;
    uint32_t sign = diff < 0 ? 1u << (bits - 1) : 0;
    int mag = std::abs(diff);
    uint32_t code = 0;
    int vstep = step;
    int delta = step >> (bits - 1);
    for (int b = bits - 2; b >= 0; --b) {
        if (mag >= vstep) {
            code |= 1u << b;
            mag -= vstep;
            delta += vstep;
        }
        vstep >>= 1;
    }
    s.sample += sign ? -delta : delta;
    s.sample = std::max(-32768, std::min(32767, s.sample));
    s.index = std::max(0, std::min(88, s.index + flash::kAdpcmIndexTables[bits - 2][code]));
    return code | sign;
}

}  // namespace

Bytes encodeAdpcm(const std::vector<int16_t>& samples, int channels, int bits) {
    BitWriter w;
    w.ub(static_cast<uint32_t>(bits - 2), 2);
    size_t frames = samples.size() / static_cast<size_t>(channels);
    State st[2];
    for (size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            int target = samples[f * static_cast<size_t>(channels) + static_cast<size_t>(c)];
            if (f % 4096 == 0) {
                // The packet's index field has six bits.
                st[c].sample = target;
                st[c].index = std::min(st[c].index, 63);
                w.sb(target, 16);
                w.ub(static_cast<uint32_t>(st[c].index), 6);
            } else {
                w.ub(encodeOne(st[c], target, bits), bits);
            }
        }
    }
    return w.data();
}

std::vector<Mp3Frame> splitMp3(const Bytes& file) {
    std::vector<Mp3Frame> frames;
    size_t i = 0;
    // An ID3v2 tag in front is skipped.
    if (file.size() > 10 && file[0] == 'I' && file[1] == 'D' && file[2] == '3')
        i = 10 + ((file[6] & 0x7F) << 21 | (file[7] & 0x7F) << 14 | (file[8] & 0x7F) << 7 | (file[9] & 0x7F));
    while (i + 4 <= file.size()) {
        flash::Mp3Header h;
        if (!flash::readMp3Header(file.data() + i, h)) {
            ++i;
            continue;
        }
        if (i + h.size > file.size()) break;
        Mp3Frame f;
        f.data.assign(file.begin() + static_cast<long>(i), file.begin() + static_cast<long>(i + h.size));
        f.samples = h.samples;
        f.rate = h.rate;
        f.channels = h.channels;
        frames.push_back(std::move(f));
        i += h.size;
    }
    return frames;
}

}  // namespace swfw
