#include "flash/core/sound/SoundDecoder.h"

#include <cstdlib>

namespace flash {

std::unique_ptr<SoundDecoder> newSoundDecoder(const SoundFormat& format, AudioCodecs* codecs) {
    switch (format.codec) {
        case SoundCodec::PcmNative:
            return std::make_unique<PcmDecoder>(format, true);
        case SoundCodec::PcmLittle:
            return std::make_unique<PcmDecoder>(format, false);
        case SoundCodec::Adpcm:
            return std::make_unique<AdpcmDecoder>(format);
        case SoundCodec::Mp3: {
            std::unique_ptr<Mp3Decoder> host = codecs ? codecs->newMp3Decoder() : nullptr;
            if (!host) return nullptr;
            return std::make_unique<Mp3SoundDecoder>(format, std::move(host));
        }
        default:
            return nullptr;
    }
}

// ---- Uncompressed ----

PcmDecoder::PcmDecoder(const SoundFormat& format, bool guessOrder)
    : sixteen_(format.sixteenBit), guess_(guessOrder && format.sixteenBit), bigEndian_(format.bigEndian) {
    rate_ = format.rate;
    channels_ = format.channels();
}

namespace {

// How rough 16-bit data looks when read in one byte order: the summed steps
// between neighbouring samples of one channel. Real sound is smooth in its
// own order and noise-like in the other.
uint64_t roughness(const uint8_t* data, size_t samples, int channels, bool bigEndian) {
    uint64_t sum = 0;
    auto at = [&](size_t i) {
        const uint8_t* p = data + 2 * i;
        return static_cast<int16_t>(bigEndian ? (p[0] << 8) | p[1] : p[0] | (p[1] << 8));
    };
    for (size_t i = static_cast<size_t>(channels); i < samples; ++i)
        sum += static_cast<uint64_t>(std::abs(at(i) - at(i - static_cast<size_t>(channels))));
    return sum;
}

}  // namespace

void PcmDecoder::decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) {
    if (!data) return;
    const size_t nch = static_cast<size_t>(channels_);
    const size_t width = sixteen_ ? 2 : 1;
    size_t frames = std::min(size / (width * nch), maxFrames);
    size_t samples = frames * nch;
    if (guess_ && samples >= 16 * nch) {
        size_t look = std::min<size_t>(samples, 8192);
        bigEndian_ = roughness(data, look, channels_, true) < roughness(data, look, channels_, false);
        guess_ = false;  // a stream keeps the order its first block showed
    }
    size_t base = out.size();
    out.resize(base + samples);
    int16_t* o = out.data() + base;
    if (!sixteen_) {
        for (size_t i = 0; i < samples; ++i) o[i] = static_cast<int16_t>((data[i] - 128) * 256);
    } else if (bigEndian_) {
        for (size_t i = 0; i < samples; ++i)
            o[i] = static_cast<int16_t>((data[2 * i] << 8) | data[2 * i + 1]);
    } else {
        for (size_t i = 0; i < samples; ++i)
            o[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
}

// ---- MP3 ----

Mp3SoundDecoder::Mp3SoundDecoder(const SoundFormat& format, std::unique_ptr<Mp3Decoder> host)
    : host_(std::move(host)) {
    rate_ = format.rate;
    channels_ = format.channels();
}

void Mp3SoundDecoder::reset() { host_->reset(); }

void Mp3SoundDecoder::decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) {
    if (!data || size == 0) return;
    scratch_.clear();
    int rate = 0, channels = 0;
    if (!host_->decode(data, size, scratch_, rate, channels) || channels < 1 || channels > 2) return;
    if (!known_ && rate > 0) {
        // The frame headers, not the tag, say what the data is.
        rate_ = rate;
        channels_ = channels;
        known_ = true;
    }
    size_t frames = std::min(scratch_.size() / static_cast<size_t>(channels), maxFrames);
    if (channels == channels_) {
        out.insert(out.end(), scratch_.begin(), scratch_.begin() + static_cast<long>(frames * channels));
    } else if (channels == 2) {  // stereo frames in a mono stream
        for (size_t i = 0; i < frames; ++i)
            out.push_back(static_cast<int16_t>((scratch_[2 * i] + scratch_[2 * i + 1]) / 2));
    } else {  // mono frames in a stereo stream
        for (size_t i = 0; i < frames; ++i) {
            out.push_back(scratch_[i]);
            out.push_back(scratch_[i]);
        }
    }
}

}  // namespace flash
