// MovieClip.prototype: the methods of clips.
#include <algorithm>
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

Value clipValue(DisplayObject* o) { return o ? Value::fromClip(o->shared_from_this()) : Value(); }

// Copies the members of an init object onto a new clip, then makes it an
// instance of its symbol's registered class.
void initialise(NativeCall& c, DisplayObject* o, const Value& init) {
    if (!o) return;
    if (init.type == Value::Object && init.object) {
        for (const auto& kv : init.object->props) {
            if (kv.second.isAccessor() || (kv.second.flags & kDontEnum)) continue;
            c.vm.setMember(c.frame, clipValue(o), kv.first, kv.second.value);
            c.charge(1);
        }
    }
    c.vm.initClip(o);
}

Value attachMovie(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || c.args.size() < 3) return Value();
    uint16_t id = c.engine().movieOf(clip.get()).exportedCharacter(c.str(0));
    if (!id) return Value();
    DisplayObject* o = c.engine().attachClip(clip.get(), id, c.str(1), clampToInt(c.num(2, 0)));
    initialise(c, o, c.arg(3));
    return clipValue(o);
}

Value createEmptyMovieClip(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || c.args.size() < 2) return Value();
    return clipValue(c.engine().attachClip(clip.get(), 0, c.str(0), clampToInt(c.num(1, 0))));
}

Value duplicateMovieClip(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || c.args.size() < 2) return Value();
    DisplayObject* o = c.engine().duplicateClip(clip.get(), c.str(0), clampToInt(c.num(1, 0)));
    initialise(c, o, c.arg(2));
    return clipValue(o);
}

Value removeMovieClip(NativeCall& c) {
    if (std::shared_ptr<DisplayObject> clip = c.clip()) c.engine().removeClip(clip.get());
    return Value();
}

Value swapDepths(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || !clip->parent) return Value();
    if (std::shared_ptr<DisplayObject> other = c.vm.clipOf(c.arg(0))) {
        if (other->parent == clip->parent)
            c.engine().swapDepth(clip.get(), other->depth - Engine::kDepthOffset);
    } else if (std::isfinite(c.num(0))) {
        c.engine().swapDepth(clip.get(), clampToInt(c.num(0)));
    }
    return Value();
}

Value getDepth(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    return clip ? Value::fromNumber(clip->depth - Engine::kDepthOffset) : Value();
}

Value getNextHighestDepth(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value();
    int top = 0;
    if (!clip->children.empty()) top = std::max(0, clip->children.rbegin()->first - Engine::kDepthOffset + 1);
    return Value::fromNumber(top);
}

// hitTest(x, y, shapeFlag) with stage pixels, or hitTest(otherClip).
Value hitTest(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value::fromBool(false);
    Engine& e = c.engine();
    if (std::shared_ptr<DisplayObject> other = c.vm.clipOf(c.arg(0))) {
        Rect a = e.boundsOf(clip.get(), e.worldMatrix(clip.get()));
        Rect b = e.boundsOf(other.get(), e.worldMatrix(other.get()));
        bool empty = (a.width() == 0 && a.height() == 0) || (b.width() == 0 && b.height() == 0);
        return Value::fromBool(!empty && a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax &&
                               b.yMin <= a.yMax);
    }
    double x = c.num(0), y = c.num(1);
    if (!std::isfinite(x) || !std::isfinite(y)) return Value::fromBool(false);
    return Value::fromBool(
        e.hitTest(clip.get(), x * 20, y * 20, c.args.size() > 2 && c.vm.toBool(c.args[2])));
}

// getBounds(targetSpace): {xMin, xMax, yMin, yMax} in pixels of that clip.
Value getBounds(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value r = c.vm.newObject();
    if (!clip || !r.object) return r;
    Engine& e = c.engine();
    Matrix m = e.worldMatrix(clip.get());
    if (std::shared_ptr<DisplayObject> space = c.vm.clipOf(c.arg(0))) {
        Matrix inv;
        if (e.worldMatrix(space.get()).invert(inv)) m = inv * m;
    } else if (c.args.empty()) {
        m = Matrix();
    }
    Rect b = e.boundsOf(clip.get(), m);
    bool empty = b.width() == 0 && b.height() == 0 && clip->children.empty() && !clip->character;
    const double kEmpty = 6710886.35;  // what an empty clip reports
    r.object->set(c.vm.key("xMin"), Value::fromNumber(empty ? kEmpty : b.xMin / 20.0));
    r.object->set(c.vm.key("xMax"), Value::fromNumber(empty ? kEmpty : b.xMax / 20.0));
    r.object->set(c.vm.key("yMin"), Value::fromNumber(empty ? kEmpty : b.yMin / 20.0));
    r.object->set(c.vm.key("yMax"), Value::fromNumber(empty ? kEmpty : b.yMax / 20.0));
    return r;
}

// localToGlobal / globalToLocal: change the x and y members of a point.
Value convertPoint(NativeCall& c, bool toGlobal) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value pt = c.arg(0);
    if (!clip || pt.type != Value::Object || !pt.object) return Value();
    Matrix m = c.engine().worldMatrix(clip.get());
    if (!toGlobal && !m.invert(m)) return Value();
    double x = c.vm.toNum(c.vm.getMember(c.frame, pt, "x")) * 20;
    double y = c.vm.toNum(c.vm.getMember(c.frame, pt, "y")) * 20;
    if (!std::isfinite(x) || !std::isfinite(y)) return Value();
    c.vm.setMember(c.frame, pt, "x", Value::fromNumber(m.mapX(x, y) / 20.0));
    c.vm.setMember(c.frame, pt, "y", Value::fromNumber(m.mapY(x, y) / 20.0));
    return Value();
}

Value localToGlobal(NativeCall& c) { return convertPoint(c, true); }
Value globalToLocal(NativeCall& c) { return convertPoint(c, false); }

Value startDrag(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value();
    bool lock = c.args.size() > 0 && c.vm.toBool(c.args[0]);
    if (c.args.size() >= 5) {
        Rect r;
        r.xMin = static_cast<int32_t>(clampToInt(c.num(1, 0) * 20));
        r.yMin = static_cast<int32_t>(clampToInt(c.num(2, 0) * 20));
        r.xMax = static_cast<int32_t>(clampToInt(c.num(3, 0) * 20));
        r.yMax = static_cast<int32_t>(clampToInt(c.num(4, 0) * 20));
        c.engine().startDrag(clip.get(), lock, &r);
    } else {
        c.engine().startDrag(clip.get(), lock, nullptr);
    }
    return Value();
}

Value stopDrag(NativeCall& c) {
    c.vm.endDrag();
    return Value();
}

// setMask(clip): the clip's shapes mask this one (and no longer show
// themselves); setMask(null) ends it.
Value setMask(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value::fromBool(false);
    std::shared_ptr<DisplayObject> mask = c.vm.clipOf(c.arg(0));
    if (mask == clip) return Value::fromBool(false);
    if (std::shared_ptr<DisplayObject> old = clip->maskedBy.lock())
        old->masking = std::max(0, old->masking - 1);
    clip->maskedBy.reset();
    if (mask) {
        clip->maskedBy = mask;
        ++mask->masking;
    }
    return Value::fromBool(true);
}

// A clip shows the whole of its movie once loaded: loaded and total bytes
// are the length of the file its timeline comes from.
Value bytesTotal(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value();
    return Value::fromNumber(static_cast<double>(c.engine().movieOf(clip.get()).header().fileLength));
}

// A clip's variables as form text, its length charged to the script.
std::string form(NativeCall& c, DisplayObject* clip) {
    std::string text = c.vm.variablesForm(clip);
    c.charge(text.size() / 64);
    return text;
}

// loadMovie/loadVariables(url[, method]): with "GET" or "POST" the clip's
// own variables go along.
Value loadInto(NativeCall& c, Engine::LoadKind kind) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value();
    std::string url = c.str(0), post;
    if (int method = sendMethod(c.str(1))) addForm(url, post, form(c, clip.get()), method);
    c.engine().startLoad(kind, url, post, clip.get());
    return Value();
}

Value loadMovie(NativeCall& c) { return loadInto(c, Engine::LoadKind::Movie); }
Value loadVariables(NativeCall& c) { return loadInto(c, Engine::LoadKind::Variables); }

Value unloadMovie(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (clip && clip.get() != c.engine().root()) c.engine().unloadClip(clip.get());
    return Value();
}

// getURL(url[, window, method])
Value getURL(NativeCall& c) {
    std::string url = c.str(0), post;
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (int method = sendMethod(c.str(2)); method && clip) addForm(url, post, form(c, clip.get()), method);
    c.vm.openWindow(url, c.str(1), post);
    return Value();
}

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
                           {"prevFrame", prevFrame},
                           {"attachMovie", attachMovie},
                           {"createEmptyMovieClip", createEmptyMovieClip},
                           {"duplicateMovieClip", duplicateMovieClip},
                           {"removeMovieClip", removeMovieClip},
                           {"swapDepths", swapDepths},
                           {"getDepth", getDepth},
                           {"getNextHighestDepth", getNextHighestDepth},
                           {"hitTest", hitTest},
                           {"getBounds", getBounds},
                           {"getRect", getBounds},
                           {"localToGlobal", localToGlobal},
                           {"globalToLocal", globalToLocal},
                           {"startDrag", startDrag},
                           {"stopDrag", stopDrag},
                           {"getBytesLoaded", bytesTotal},
                           {"getBytesTotal", bytesTotal},
                           {"getURL", getURL},
                           {"setMask", setMask},
                           {"loadMovie", loadMovie},
                           {"loadVariables", loadVariables},
                           {"unloadMovie", unloadMovie}});
}

}  // namespace flash
