// Sound tags for test movies: DefineSound, StartSound, stream heads and
// blocks, button sounds, and an encoder of SWF ADPCM.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

// The format byte: codec (0 native PCM, 1 ADPCM, 2 MP3, 3 PCM little-endian),
// rate code (0 5.5 kHz … 3 44.1 kHz), 16-bit, stereo.
uint8_t soundFormat(int codec, int rateCode, bool sixteenBit, bool stereo);

struct Envelope {
    uint32_t pos44;
    uint16_t left, right;
};

struct SoundInfo {
    bool syncStop = false, noMultiple = false;
    int32_t inPoint = -1, outPoint = -1;  // -1: none
    int loops = -1;                       // -1: none
    std::vector<Envelope> envelope;
};

void writeSoundInfo(BitWriter& w, const SoundInfo& info);

// MP3 data starts with its seek samples; pass them in `seekSamples`.
Bytes defineSound(uint16_t id, uint8_t format, uint32_t sampleCount, const Bytes& data, int seekSamples = -1);
Bytes startSound(uint16_t id, const SoundInfo& info = SoundInfo());
Bytes startSound2(const std::string& className, const SoundInfo& info = SoundInfo());
Bytes soundStreamHead(uint8_t format, uint16_t samplesPerFrame, bool head2 = true, int16_t latencySeek = 0);
// MP3 blocks carry their sample count and seek samples first.
Bytes soundStreamBlock(const Bytes& data);
Bytes soundStreamBlockMp3(uint16_t sampleCount, int16_t seekSamples, const Bytes& frames);
// Sounds of OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp (0: none).
Bytes defineButtonSound(uint16_t buttonId, const uint16_t soundIds[4]);
Bytes exportAssets(uint16_t id, const std::string& name);

// Encodes interleaved 16-bit samples as SWF ADPCM with 2..5-bit codes.
Bytes encodeAdpcm(const std::vector<int16_t>& samples, int channels, int bits);

// Splits an MP3 file into its frames (each with its sample count).
struct Mp3Frame {
    Bytes data;
    int samples = 0;
    int rate = 0;
    int channels = 0;
};
std::vector<Mp3Frame> splitMp3(const Bytes& file);

}  // namespace swfw
