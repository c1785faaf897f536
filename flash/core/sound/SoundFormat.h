// Sound definitions as a movie stores them: the format byte of sound data,
// the playing instructions of StartSound and button sounds, and the head of a
// timeline's stream. Sound bytes point into the movie's body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flash {

class ByteReader;

enum class SoundCodec : uint8_t {
    PcmNative = 0,  // byte order of the authoring machine; read as little-endian
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nelly16k = 4,
    Nelly8k = 5,
    Nelly = 6,
    Speex = 11,
};

struct SoundFormat {
    SoundCodec codec = SoundCodec::PcmLittle;
    double rate = 44100;  // samples per second of one channel
    bool sixteenBit = true;
    bool stereo = false;
    bool bigEndian = false;  // uncompressed 16-bit data stored high byte first

    int channels() const { return stereo ? 2 : 1; }
};

// Reads the 8-bit format field (codec, rate, size, type).
SoundFormat readSoundFormat(uint8_t bits);

struct SoundBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct EnvelopePoint {
    uint32_t pos44 = 0;  // position in samples at 44.1 kHz
    uint16_t left = 32768, right = 32768;
};

struct SoundInfo {
    bool syncStop = false;
    bool noMultiple = false;
    bool hasInPoint = false, hasOutPoint = false;
    uint32_t inPoint = 0, outPoint = 0;
    uint16_t loops = 1;  // total number of plays
    std::vector<EnvelopePoint> envelope;
};

// Reads a SOUNDINFO record; false when it was cut short.
bool readSoundInfo(ByteReader& r, SoundInfo& info);

// DefineSound.
struct SoundDef {
    uint16_t id = 0;
    SoundFormat format;
    uint32_t sampleCount = 0;  // per channel, after decoding
    int16_t seekSamples = 0;   // MP3: decoder delay to drop at the start
    SoundBytes data;           // MP3: the frames after SeekSamples
};

bool readDefineSound(ByteReader& r, const uint8_t* body, SoundDef& def);

// StartSound (by id) and StartSound2 (by class name) of a frame.
struct StartSoundCmd {
    uint16_t soundId = 0;
    std::string className;  // StartSound2; the sound exported under this name
    SoundInfo info;
};

// SoundStreamHead / SoundStreamHead2.
struct StreamHead {
    SoundFormat format;
    uint16_t samplesPerFrame = 0;  // average, per channel
    int16_t latencySeek = 0;       // MP3
};

bool readStreamHead(ByteReader& r, StreamHead& head);

// The sound part of one SoundStreamBlock. MP3 blocks carry their sample
// count and seek samples before the frames.
struct StreamBlock {
    SoundBytes data;
    uint16_t sampleCount = 0;  // MP3 only
    int16_t seekSamples = 0;   // MP3 only
};

// A timeline's stream: its head and the block of every frame.
struct StreamDef {
    StreamHead head;
    std::vector<StreamBlock> blocks;  // by frame; null data: no block
    int firstBlock = -1, lastBlock = -1;
};

bool readStreamBlock(const uint8_t* data, size_t size, const StreamHead& head, StreamBlock& block);

// DefineButtonSound: sounds of the four pointer transitions, in the order
// OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
struct ButtonSounds {
    uint16_t soundId[4] = {0, 0, 0, 0};
    SoundInfo info[4];
};

bool readButtonSounds(ByteReader& r, uint16_t& buttonId, ButtonSounds& sounds);

}  // namespace flash
