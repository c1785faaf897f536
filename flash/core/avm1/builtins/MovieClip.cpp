// MovieClip.prototype: the methods of clips.
#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Value movieClipCtor(NativeCall&) { return Value(); }

Value gotoAnd(NativeCall& c, bool play) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || c.args.empty() || !clip->timeline) return Value();
    int index;
    if (c.args[0].type == Value::String && !std::isfinite(toNumber(c.args[0], 5))) {
        index = clip->timeline->findLabel(c.args[0].string);
        if (index < 0) return Value();
    } else {
        double d = c.num(0, 1);
        if (!std::isfinite(d)) return Value();
        index = clampToInt(d) - 1;
    }
    c.engine().gotoFrame(clip.get(), index);
    clip->playing = play;
    return Value();
}

Value gotoAndPlay(NativeCall& c) { return gotoAnd(c, true); }
Value gotoAndStop(NativeCall& c) { return gotoAnd(c, false); }

Value setPlaying(NativeCall& c, bool playing) {
    if (std::shared_ptr<DisplayObject> clip = c.clip()) clip->playing = playing;
    return Value();
}

Value play(NativeCall& c) { return setPlaying(c, true); }
Value stop(NativeCall& c) { return setPlaying(c, false); }

Value step(NativeCall& c, int delta) {
    if (std::shared_ptr<DisplayObject> clip = c.clip()) {
        c.engine().gotoFrame(clip.get(), clip->currentFrame + delta);
        clip->playing = false;
    }
    return Value();
}

Value nextFrame(NativeCall& c) { return step(c, 1); }
Value prevFrame(NativeCall& c) { return step(c, -1); }

}  // namespace

void installMovieClip(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("MovieClip", movieClipCtor);
    if (!proto) return;
    realm.protos().movieClip = proto;
    realm.methods(*proto, {{"gotoAndPlay", gotoAndPlay},
                           {"gotoAndStop", gotoAndStop},
                           {"play", play},
                           {"stop", stop},
                           {"nextFrame", nextFrame},
                           {"prevFrame", prevFrame}});
}

}  // namespace flash
