// Sound: script control of event sounds. attachSound takes a sound exported
// under a linkage name; start plays it (from an offset in seconds, a number
// of times), stop silences the object's sounds; setVolume/getVolume (0 …
// 100, more amplifies) and setPan/getPan (-100 left … 100 right) act on what
// plays and what starts later; position and duration are in milliseconds.
// onSoundComplete runs when the sound has played out, timed by the movie's
// clock.
#include <cmath>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/sound/SoundPlayer.h"

namespace flash {

namespace {

SoundPlayer* player(NativeCall& c) { return dynamic_cast<SoundPlayer*>(c.engine().sound); }

// The player and this object's state, or null when either is missing.
SoundPlayer::ScriptSound* state(NativeCall& c, SoundPlayer*& p) {
    p = player(c);
    ScriptObject* o = c.self();
    return p && o ? &p->scriptSound(o) : nullptr;
}

double durationMs(SoundPlayer& p, uint16_t id) {
    std::shared_ptr<const PcmSound> pcm = id ? p.decoded(id) : nullptr;
    return pcm && pcm->rate > 0 ? std::floor(pcm->frames() * 1000.0 / pcm->rate) : 0;
}

Value soundCtor(NativeCall&) { return Value(); }

Value attachSound(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    const SoundDef* def = s ? c.engine().movie().exportedSound(c.str(0)) : nullptr;
    if (def) s->soundId = def->id;
    return Value();
}

Value start(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    if (!s || s->soundId == 0) return Value();
    double offset = c.num(0, 0), loops = c.num(1, 1);
    SoundInfo info;
    if (std::isfinite(offset) && offset > 0) {
        info.hasInPoint = true;
        info.inPoint = static_cast<uint32_t>(std::min(offset, 86400.0) * 44100);
    }
    info.loops = static_cast<uint16_t>(std::isfinite(loops) ? std::max(1.0, std::min(loops, 65535.0)) : 1);
    s->voice = p->startSound(s->soundId, info, c.self(), s->volume / 100, s->pan / 100);
    if (s->timer) c.vm.clearTimer(s->timer);
    s->timer = 0;
    double ms = (durationMs(*p, s->soundId) - (info.hasInPoint ? offset * 1000 : 0)) * info.loops;
    if (s->voice && ms > 0) s->timer = c.vm.addTimer(Value(), c.thisValue, "onSoundComplete", {}, ms, false);
    return Value();
}

Value stop(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    if (!s) return Value();
    uint16_t id = 0;
    if (!c.args.empty()) {
        const SoundDef* def = c.engine().movie().exportedSound(c.str(0));
        if (!def) return Value();
        id = def->id;
    }
    p->stopSound(id, c.self());
    if (s->timer) c.vm.clearTimer(s->timer);
    s->timer = 0;
    return Value();
}

// Sets the volume (0 … 400) or the pan (-100 … 100) and applies both to
// what this object plays.
Value setMix(NativeCall& c, double SoundPlayer::ScriptSound::*field, double lo, double hi) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    double v = c.num(0);
    if (!s || !std::isfinite(v)) return Value();
    s->*field = std::max(lo, std::min(v, hi));
    p->setOwnerMix(c.self(), s->volume / 100, s->pan / 100);
    return Value();
}

Value setVolume(NativeCall& c) { return setMix(c, &SoundPlayer::ScriptSound::volume, 0, 400); }
Value setPan(NativeCall& c) { return setMix(c, &SoundPlayer::ScriptSound::pan, -100, 100); }

Value getVolume(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    return Value::fromNumber(s ? s->volume : 100);
}

Value getPan(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    return Value::fromNumber(s ? s->pan : 0);
}

Value position(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    if (!s || !s->voice) return Value::fromNumber(0);
    double ms = std::floor(p->played(s->voice) * 1000.0 / kMixRate);
    double d = durationMs(*p, s->soundId);
    return Value::fromNumber(d > 0 ? std::fmod(ms, d) : ms);
}

Value duration(NativeCall& c) {
    SoundPlayer* p;
    SoundPlayer::ScriptSound* s = state(c, p);
    return Value::fromNumber(s ? durationMs(*p, s->soundId) : 0);
}

}  // namespace

void installSound(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Sound", soundCtor);
    if (!proto) return;
    realm.methods(*proto, {{"attachSound", attachSound},
                           {"start", start},
                           {"stop", stop},
                           {"setVolume", setVolume},
                           {"getVolume", getVolume},
                           {"setPan", setPan},
                           {"getPan", getPan}});
    realm.accessor(*proto, "position", position, nullptr);
    realm.accessor(*proto, "duration", duration, nullptr);
}

}  // namespace flash
