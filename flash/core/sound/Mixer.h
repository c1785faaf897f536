// Mixes any number of voices to 44.1 kHz stereo 16-bit. Each voice reads its
// own samples at its own rate (linear interpolation), scaled by its volume,
// pan and envelope; the sum is saturated once at the end, so loud mixes
// clip cleanly instead of wrapping around.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "flash/core/sound/SoundDecoder.h"
#include "flash/core/sound/SoundFormat.h"

namespace flash {

constexpr int kMixRate = 44100;

// A decoded sound in memory, shared by the voices that play it.
struct PcmSound {
    double rate = 44100;
    int channels = 1;
    std::vector<int16_t> samples;  // interleaved
    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Left and right gain in Q15 (32768 = unchanged).
struct MixGain {
    int32_t left = 32768, right = 32768;
};

// Adds `frames` output frames of `src` (interleaved, `avail` frames) to the
// stereo sum `out`, starting at source position `pos` (16.16 frames) and
// moving `step` per output frame. Stops early when the source runs out;
// returns the frames added and leaves `pos` after them.
size_t mixResampled(const int16_t* src, size_t avail, int channels, uint64_t& pos, uint32_t step,
                    int32_t* out, size_t frames, MixGain gain);

// Source frames per output frame, 16.16.
uint32_t mixStep(double rate);

class Voice {
public:
    virtual ~Voice() = default;
    // Adds the voice's next `frames` output frames to `out`; false once it
    // has finished (it is then removed).
    virtual bool mix(int32_t* out, size_t frames) = 0;

    uint64_t key = 0;             // identity, given when it joins a player
    uint16_t soundId = 0;         // event sounds: the sound character
    const void* owner = nullptr;  // script sounds: the object that started it
    // Script volume (1 = as authored) and pan (-1 left … 1 right).
    double volume = 1.0;
    double pan = 0.0;

protected:
    MixGain gain(uint16_t envLeft = 32768, uint16_t envRight = 32768) const;
};

// An event sound: a decoded sound from its in point to its out point,
// played a number of times, with an optional envelope.
class EventVoice : public Voice {
public:
    EventVoice(std::shared_ptr<const PcmSound> sound, const SoundInfo& info);
    bool mix(int32_t* out, size_t frames) override;
    // Frames played of the sound (44.1 kHz), counting every loop.
    uint64_t played() const { return played_; }

private:
    void envelopeAt(uint64_t pos44, uint16_t& left, uint16_t& right) const;

    std::shared_ptr<const PcmSound> sound_;
    size_t begin_ = 0, end_ = 0;  // frames of the sound that play
    uint32_t loopsLeft_ = 1;
    uint64_t pos_ = 0;  // 16.16, relative to begin_
    uint32_t step_;
    std::vector<EnvelopePoint> envelope_;
    uint64_t played_ = 0;
};

// A timeline's stream sound: blocks pulled frame after frame ahead of the
// timeline and decoded as they are needed. Frames without a block inside the
// stream play one frame of silence; the voice ends after the last block.
class StreamVoice : public Voice {
public:
    // Starts at frame `frame`'s block. `frameRate` sizes gaps; `startOut` is
    // the mixer's output position where the voice begins.
    StreamVoice(const StreamDef& stream, int frame, double frameRate, AudioCodecs* codecs, uint64_t startOut);
    bool mix(int32_t* out, size_t frames) override;
    // The frame whose block is heard at mixer output position `outPos`,
    // -1 before the voice began, or when the position lies beyond what was
    // decoded.
    int frameAt(uint64_t outPos) const;
    bool finished() const { return finished_; }
    uint64_t endOut() const { return endOut_; }

private:
    bool pull();  // decodes the next block (or gap); false at the end

    const StreamDef& stream_;
    std::unique_ptr<SoundDecoder> decoder_;
    double frameRate_;
    int next_;  // next frame to pull
    std::vector<int16_t> buf_;
    uint64_t bufStart_ = 0;  // source frames dropped from buf_ so far
    uint64_t pos_ = 0;       // 16.16 source position, from the voice's start
    uint32_t step_ = 65536;
    int channels_ = 1;
    uint64_t startOut_;
    uint64_t endOut_ = UINT64_MAX;  // output position after the last sample
    size_t skip_ = 0;               // MP3 seek samples still to drop
    bool ended_ = false;            // no block left to pull
    bool finished_ = false;
    std::deque<std::pair<uint64_t, int>> marks_;  // (source frame where a block begins, its frame)
};

class Mixer {
public:
    // Renders `frames` stereo frames (interleaved left, right) at 44.1 kHz.
    void render(int16_t* out, size_t frames);
    void add(std::unique_ptr<Voice> v) { voices_.push_back(std::move(v)); }
    std::vector<std::unique_ptr<Voice>>& voices() { return voices_; }
    const std::vector<std::unique_ptr<Voice>>& voices() const { return voices_; }
    void clear() { voices_.clear(); }
    uint64_t rendered() const { return rendered_; }
    double masterVolume = 1.0;

private:
    std::vector<std::unique_ptr<Voice>> voices_;
    std::vector<int32_t> sum_;
    uint64_t rendered_ = 0;
};

}  // namespace flash
