// What makes a movie sound: event sounds started by frames and buttons,
// the stream sounds of playing timelines, StopSounds, and the mixer they
// play through. The engine reports frames and button transitions (on the
// thread that runs it); the host pulls mixed sound with render(), from that
// thread or from an audio thread: every entry point takes one lock.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "flash/core/Engine.h"
#include "flash/core/sound/Mixer.h"

namespace flash {

class SoundPlayer : public SoundListener {
public:
    SoundPlayer();
    ~SoundPlayer() override;

    void setCodecs(AudioCodecs* codecs) { codecs_ = codecs; }
    // Follows the movie (null: none); every sound stops. Attach before the
    // movie loads, so the sounds of its first frame start.
    void attach(const MovieDef* movie);

    // SoundListener.
    void frameEntered(DisplayObject* clip, int frame) override;
    void buttonTransition(DisplayObject* button, uint16_t condition) override;
    void stopAllSounds() override;

    // Streams stop when their timeline stops or leaves the stage, and start
    // again when it plays: called after anything changed the timelines.
    void update(const DisplayObject& stage);

    // Mixed sound, 44.1 kHz stereo, interleaved.
    void render(int16_t* out, size_t frames);
    uint64_t rendered() const;

    // The frame of `clip`'s stream heard at mixer position `heard` (what the
    // mixer rendered less what still waits in the output device), or -1
    // when no stream of that timeline is sounding there.
    int streamFrameAt(const DisplayObject* clip, uint64_t heard) const;

    // Starts a decoded event sound (script sounds); returns its voice key.
    uint64_t startSound(uint16_t soundId, const SoundInfo& info, const void* owner, double volume,
                        double pan);
    void stopSound(uint16_t soundId, const void* owner);  // soundId 0: every sound of the owner
    // Volume (1 = as authored) and pan (-1 … 1) of every voice of an owner.
    void setOwnerMix(const void* owner, double volume, double pan);
    bool isPlaying(uint64_t key) const;
    // Frames (44.1 kHz) an event voice has played, counting loops; 0 when gone.
    uint64_t played(uint64_t key) const;
    size_t voiceCount() const;

    // What script Sound objects hold between calls, by object.
    struct ScriptSound {
        uint16_t soundId = 0;
        uint64_t voice = 0;
        double volume = 100, pan = 0;  // as scripts give them
        int timer = 0;                 // onSoundComplete's timer
    };
    // The state of a Sound object (made on first use; kept for a bounded
    // number of objects, reset when the movie changes).
    ScriptSound& scriptSound(const void* object);

    // The decoded sound of a character (decoded once, then shared), or null.
    std::shared_ptr<const PcmSound> decoded(uint16_t soundId);

private:
    struct Stream {
        std::weak_ptr<DisplayObject> clip;
        int lastFrame = -1;
        uint64_t voice = 0;  // key of its voice in the mixer, 0 none
    };
    void startStream(Stream& s, DisplayObject* clip, int frame);
    void stopVoice(uint64_t key);
    Voice* findVoice(uint64_t key) const;
    uint64_t addVoice(std::unique_ptr<Voice> v);
    void startEvent(const StartSoundCmd& cmd);

    mutable std::mutex lock_;
    Mixer mixer_;
    AudioCodecs* codecs_ = nullptr;
    const MovieDef* movie_ = nullptr;
    std::unordered_map<uint16_t, std::shared_ptr<const PcmSound>> cache_;  // engine thread only
    std::map<const DisplayObject*, Stream> streams_;
    std::map<const void*, ScriptSound> scriptSounds_;  // engine thread only
    uint64_t nextKey_ = 1;
    size_t cachedSamples_ = 0;
};

}  // namespace flash
