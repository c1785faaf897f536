// Decoders of the sound formats a movie holds. Every decoder turns sound
// bytes (a whole DefineSound or one stream block) into interleaved signed
// 16-bit samples at the format's rate and channels. Uncompressed and ADPCM
// data are decoded here; MP3 goes through the host's AudioCodecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/sound/AudioCodecs.h"
#include "flash/core/sound/SoundFormat.h"

namespace flash {

class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;
    // Appends the samples of `data` to `out`, at most `maxFrames` sample
    // frames (one sample per channel). Stream blocks are passed in order;
    // decoders with state across blocks (MP3) continue it.
    virtual void decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) = 0;
    // Data that follows will not continue what came before (a seek).
    virtual void reset() {}
    // Rate and channels of the samples produced (MP3: those of its frames).
    double rate() const { return rate_; }
    int channels() const { return channels_; }

protected:
    double rate_ = 44100;
    int channels_ = 1;
};

// The decoder for a format, or null when the format cannot be decoded here
// (Nellymoser, Speex, MP3 without codecs).
std::unique_ptr<SoundDecoder> newSoundDecoder(const SoundFormat& format, AudioCodecs* codecs);

// Uncompressed data, 8-bit (unsigned, 128 = silence) or 16-bit. With
// `guessOrder` (the native-order format) the byte order of 16-bit data is
// found from the first data seen: the order in which the signal is smoother.
class PcmDecoder : public SoundDecoder {
public:
    PcmDecoder(const SoundFormat& format, bool guessOrder);
    void decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) override;
    void reset() override {}
    bool bigEndian() const { return bigEndian_; }

private:
    bool sixteen_;
    bool guess_;
    bool bigEndian_;
};

// SWF ADPCM: 2- to 5-bit codes in packets of 4096 samples per channel.
class AdpcmDecoder : public SoundDecoder {
public:
    explicit AdpcmDecoder(const SoundFormat& format);
    void decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) override;
};

// MP3 through the host's decoder; samples are converted to the channel count
// of the first frames so a stream keeps one layout.
class Mp3SoundDecoder : public SoundDecoder {
public:
    Mp3SoundDecoder(const SoundFormat& format, std::unique_ptr<Mp3Decoder> host);
    void decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, size_t maxFrames) override;
    void reset() override;

private:
    std::unique_ptr<Mp3Decoder> host_;
    bool known_ = false;
    std::vector<int16_t> scratch_;
};

}  // namespace flash
