#include <algorithm>

#include "flash/core/ByteReader.h"
#include "flash/core/sound/SoundFormat.h"

namespace flash {

namespace {
// Envelopes longer than this are cut: levels change per sample at most.
constexpr size_t kMaxEnvelopePoints = 255;
}  // namespace

SoundFormat readSoundFormat(uint8_t bits) {
    static const double kRates[4] = {5512.5, 11025, 22050, 44100};
    SoundFormat f;
    f.codec = static_cast<SoundCodec>(bits >> 4);
    f.rate = kRates[(bits >> 2) & 3];
    f.sixteenBit = (bits & 2) != 0;
    f.stereo = (bits & 1) != 0;
    switch (f.codec) {
        case SoundCodec::Nelly16k:
            f.rate = 16000;
            f.stereo = false;
            break;
        case SoundCodec::Nelly8k:
            f.rate = 8000;
            f.stereo = false;
            break;
        case SoundCodec::Speex:
            f.rate = 16000;
            f.stereo = false;
            break;
        default:
            break;
    }
    return f;
}

bool readSoundInfo(ByteReader& r, SoundInfo& info) {
    uint8_t flags = r.u8();
    info.syncStop = (flags & 0x20) != 0;
    info.noMultiple = (flags & 0x10) != 0;
    info.hasInPoint = (flags & 0x01) != 0;
    info.hasOutPoint = (flags & 0x02) != 0;
    if (info.hasInPoint) info.inPoint = r.u32();
    if (info.hasOutPoint) info.outPoint = r.u32();
    if (flags & 0x04) info.loops = r.u16();
    if (flags & 0x08) {
        size_t n = r.u8();
        info.envelope.clear();
        for (size_t i = 0; i < n && !r.overflow(); ++i) {
            EnvelopePoint p;
            p.pos44 = r.u32();
            p.left = std::min<uint16_t>(r.u16(), 32768);
            p.right = std::min<uint16_t>(r.u16(), 32768);
            if (!r.overflow() && info.envelope.size() < kMaxEnvelopePoints) info.envelope.push_back(p);
        }
        // Points are meant in ascending order; a point that goes back is dropped.
        for (size_t i = 1; i < info.envelope.size();) {
            if (info.envelope[i].pos44 < info.envelope[i - 1].pos44) {
                info.envelope.erase(info.envelope.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
    }
    return !r.overflow();
}

bool readDefineSound(ByteReader& r, const uint8_t* body, SoundDef& def) {
    def.id = r.u16();
    def.format = readSoundFormat(r.u8());
    def.sampleCount = r.u32();
    if (def.format.codec == SoundCodec::Mp3) def.seekSamples = r.s16();
    if (r.overflow()) return false;
    def.data.data = body + r.pos();
    def.data.size = r.remaining();
    return true;
}

bool readStreamHead(ByteReader& r, StreamHead& head) {
    r.u8();  // the recommended playback format: a hint only
    head.format = readSoundFormat(r.u8());
    head.samplesPerFrame = r.u16();
    if (head.format.codec == SoundCodec::Mp3 && r.remaining() >= 2) head.latencySeek = r.s16();
    return !r.overflow();
}

bool readStreamBlock(const uint8_t* data, size_t size, const StreamHead& head, StreamBlock& block) {
    if (head.format.codec == SoundCodec::Mp3) {
        if (size < 4) return false;
        block.sampleCount = static_cast<uint16_t>(data[0] | (data[1] << 8));
        block.seekSamples = static_cast<int16_t>(data[2] | (data[3] << 8));
        data += 4;
        size -= 4;
    }
    block.data.data = data;
    block.data.size = size;
    return true;
}

bool readButtonSounds(ByteReader& r, uint16_t& buttonId, ButtonSounds& sounds) {
    buttonId = r.u16();
    for (int i = 0; i < 4 && r.remaining() >= 2; ++i) {
        sounds.soundId[i] = r.u16();
        if (sounds.soundId[i] != 0 && !readSoundInfo(r, sounds.info[i])) {
            sounds.soundId[i] = 0;
            break;
        }
    }
    return !r.overflow() || sounds.soundId[0] != 0;
}

}  // namespace flash
