#include "flash/core/sound/SoundPlayer.h"

#include <algorithm>

namespace flash {

namespace {

// Voices beyond this are not started: more would only be noise.
constexpr size_t kMaxVoices = 32;
// Decoded event sounds held at once (samples; 128 MB).
constexpr size_t kMaxCachedSamples = size_t(1) << 26;

// DefineButtonSound's order of the four transitions.
int buttonSoundIndex(uint16_t condition) {
    switch (condition) {
        case kOverUpToIdle:
            return 0;
        case kIdleToOverUp:
            return 1;
        case kOverUpToOverDown:
            return 2;
        case kOverDownToOverUp:
            return 3;
        default:
            return -1;
    }
}

// Whether a clip is inside one of the stage's level roots.
bool onStage(const DisplayObject* o, const DisplayObject& stage) {
    int hops = 0;
    while (o && o->parent && hops++ < 256) o = o->parent;
    if (!o) return false;
    auto it = stage.children.find(o->depth);
    return it != stage.children.end() && it->second.get() == o;
}

}  // namespace

SoundPlayer::SoundPlayer() = default;
SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::attach(const MovieDef* movie) {
    {
        std::lock_guard<std::mutex> g(lock_);
        mixer_.clear();
        streams_.clear();
        movie_ = movie;
    }
    cache_.clear();
    cachedSamples_ = 0;
    scriptSounds_.clear();
}

SoundPlayer::ScriptSound& SoundPlayer::scriptSound(const void* object) {
    auto it = scriptSounds_.find(object);
    if (it != scriptSounds_.end()) return it->second;
    if (scriptSounds_.size() >= 4096) scriptSounds_.erase(scriptSounds_.begin());
    return scriptSounds_[object];
}

void SoundPlayer::setOwnerMix(const void* owner, double volume, double pan) {
    std::lock_guard<std::mutex> g(lock_);
    for (auto& v : mixer_.voices())
        if (v->owner == owner) {
            v->volume = volume;
            v->pan = pan;
        }
}

uint64_t SoundPlayer::played(uint64_t key) const {
    std::lock_guard<std::mutex> g(lock_);
    auto* v = dynamic_cast<EventVoice*>(findVoice(key));
    return v ? v->played() : 0;
}

std::shared_ptr<const PcmSound> SoundPlayer::decoded(uint16_t soundId) {
    auto it = cache_.find(soundId);
    if (it != cache_.end()) return it->second;
    const SoundDef* def = movie_ ? movie_->sound(soundId) : nullptr;
    if (!def) return nullptr;
    std::shared_ptr<PcmSound> pcm;
    std::unique_ptr<SoundDecoder> dec = newSoundDecoder(def->format, codecs_);
    size_t budget = kMaxCachedSamples - cachedSamples_;
    if (dec && budget > 0) {
        pcm = std::make_shared<PcmSound>();
        size_t skip = def->seekSamples > 0 ? static_cast<size_t>(def->seekSamples) : 0;
        size_t limit = budget / 2;
        if (def->sampleCount > 0) limit = std::min<size_t>(limit, def->sampleCount + skip + 4608);
        dec->decode(def->data.data, def->data.size, pcm->samples, limit);
        pcm->rate = dec->rate();
        pcm->channels = dec->channels();
        const size_t dch = static_cast<size_t>(pcm->channels);
        // MP3: the decoder's delay goes, and what follows the declared length.
        skip = std::min(skip, pcm->frames());
        pcm->samples.erase(pcm->samples.begin(), pcm->samples.begin() + static_cast<long>(skip * dch));
        if (def->format.codec == SoundCodec::Mp3 && def->sampleCount > 0 && pcm->frames() > def->sampleCount)
            pcm->samples.resize(static_cast<size_t>(def->sampleCount) * dch);
        pcm->samples.shrink_to_fit();
        cachedSamples_ += pcm->samples.size();
    }
    cache_[soundId] = pcm;
    return pcm;
}

Voice* SoundPlayer::findVoice(uint64_t key) const {
    if (key == 0) return nullptr;
    for (auto& v : mixer_.voices())
        if (v->key == key) return v.get();
    return nullptr;
}

uint64_t SoundPlayer::addVoice(std::unique_ptr<Voice> v) {
    if (mixer_.voices().size() >= kMaxVoices) return 0;
    v->key = nextKey_++;
    uint64_t key = v->key;
    mixer_.add(std::move(v));
    return key;
}

void SoundPlayer::stopVoice(uint64_t key) {
    auto& vs = mixer_.voices();
    vs.erase(
        std::remove_if(vs.begin(), vs.end(), [&](const std::unique_ptr<Voice>& v) { return v->key == key; }),
        vs.end());
}

void SoundPlayer::startEvent(const StartSoundCmd& cmd) {
    uint16_t id = cmd.soundId;
    if (!cmd.className.empty()) {
        const SoundDef* def = movie_ ? movie_->exportedSound(cmd.className) : nullptr;
        if (!def) return;
        id = def->id;
    }
    std::shared_ptr<const PcmSound> pcm = cmd.info.syncStop ? nullptr : decoded(id);
    std::lock_guard<std::mutex> g(lock_);
    auto& vs = mixer_.voices();
    if (cmd.info.syncStop) {
        vs.erase(
            std::remove_if(vs.begin(), vs.end(),
                           [&](const std::unique_ptr<Voice>& v) { return v->soundId == id && !v->owner; }),
            vs.end());
        return;
    }
    if (!pcm || pcm->frames() == 0) return;
    if (cmd.info.noMultiple)
        for (auto& v : vs)
            if (v->soundId == id) return;
    auto v = std::make_unique<EventVoice>(pcm, cmd.info);
    v->soundId = id;
    addVoice(std::move(v));
}

void SoundPlayer::frameEntered(DisplayObject* clip, int frame) {
    const TimelineDef* t = clip->timeline;
    if (!t || frame < 0 || frame >= t->frameCount()) return;
    // Event sounds are looked up in the main movie: a loaded movie's ids
    // would name other sounds there, so its event sounds stay silent.
    if (!clip->movie)
        for (const StartSoundCmd& cmd : t->frames[frame].sounds) startEvent(cmd);
    if (!t->stream) return;
    std::lock_guard<std::mutex> g(lock_);
    Stream& s = streams_[clip];
    if (s.clip.lock().get() != clip) s = Stream{clip->shared_from_this(), -1, 0};
    bool continuous = findVoice(s.voice) && frame == s.lastFrame + 1;
    s.lastFrame = frame;
    if (!continuous) startStream(s, clip, frame);
}

void SoundPlayer::startStream(Stream& s, DisplayObject* clip, int frame) {
    stopVoice(s.voice);
    s.voice = 0;
    if (!clip->playing) {
        s.lastFrame = -2;  // a stopped timeline is silent until it plays
        return;
    }
    const StreamDef& def = *clip->timeline->stream;
    if (frame > def.lastBlock) return;  // past the stream's end
    double rate = movie_ && movie_->header().frameRate > 0 ? movie_->header().frameRate : 12;
    auto v = std::make_unique<StreamVoice>(def, frame, rate, codecs_, mixer_.rendered());
    if (v->finished()) return;
    s.voice = addVoice(std::move(v));
}

void SoundPlayer::update(const DisplayObject& stage) {
    std::lock_guard<std::mutex> g(lock_);
    for (auto it = streams_.begin(); it != streams_.end();) {
        Stream& s = it->second;
        std::shared_ptr<DisplayObject> clip = s.clip.lock();
        if (!clip || !onStage(clip.get(), stage)) {
            stopVoice(s.voice);
            it = streams_.erase(it);
            continue;
        }
        if (!clip->playing) {
            stopVoice(s.voice);
            s.voice = 0;
            s.lastFrame = -2;  // playing again starts the stream at the frame shown
        } else if (s.lastFrame == -2) {
            s.lastFrame = clip->currentFrame;
            startStream(s, clip.get(), clip->currentFrame);
        }
        ++it;
    }
}

void SoundPlayer::buttonTransition(DisplayObject* button, uint16_t condition) {
    int i = buttonSoundIndex(condition);
    const ButtonSounds* bs =
        movie_ && i >= 0 && !button->movie ? movie_->buttonSounds(button->characterId) : nullptr;
    if (!bs || bs->soundId[i] == 0) return;
    StartSoundCmd cmd;
    cmd.soundId = bs->soundId[i];
    cmd.info = bs->info[i];
    startEvent(cmd);
}

void SoundPlayer::stopAllSounds() {
    std::lock_guard<std::mutex> g(lock_);
    mixer_.clear();
    for (auto& kv : streams_) kv.second.voice = 0;  // a stream comes back with its timeline's next frame
}

void SoundPlayer::render(int16_t* out, size_t frames) {
    std::lock_guard<std::mutex> g(lock_);
    mixer_.render(out, frames);
}

uint64_t SoundPlayer::rendered() const {
    std::lock_guard<std::mutex> g(lock_);
    return mixer_.rendered();
}

int SoundPlayer::streamFrameAt(const DisplayObject* clip, uint64_t heard) const {
    std::lock_guard<std::mutex> g(lock_);
    auto it = streams_.find(clip);
    if (it == streams_.end()) return -1;
    auto* v = dynamic_cast<StreamVoice*>(findVoice(it->second.voice));
    return v ? v->frameAt(heard) : -1;
}

uint64_t SoundPlayer::startSound(uint16_t soundId, const SoundInfo& info, const void* owner, double volume,
                                 double pan) {
    std::shared_ptr<const PcmSound> pcm = decoded(soundId);
    if (!pcm || pcm->frames() == 0) return 0;
    std::lock_guard<std::mutex> g(lock_);
    auto v = std::make_unique<EventVoice>(pcm, info);
    v->soundId = soundId;
    v->owner = owner;
    v->volume = volume;
    v->pan = pan;
    return addVoice(std::move(v));
}

void SoundPlayer::stopSound(uint16_t soundId, const void* owner) {
    std::lock_guard<std::mutex> g(lock_);
    auto& vs = mixer_.voices();
    vs.erase(std::remove_if(vs.begin(), vs.end(),
                            [&](const std::unique_ptr<Voice>& v) {
                                return v->owner == owner && (soundId == 0 || v->soundId == soundId);
                            }),
             vs.end());
}

bool SoundPlayer::isPlaying(uint64_t key) const {
    std::lock_guard<std::mutex> g(lock_);
    return findVoice(key) != nullptr;
}

size_t SoundPlayer::voiceCount() const {
    std::lock_guard<std::mutex> g(lock_);
    return mixer_.voices().size();
}

}  // namespace flash
