// Color: new Color(clip) changes the clip's colour transform (setRGB,
// setTransform) and reads it back (getRGB, getTransform).
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

// The clip a Color was made for, while it is on the stage.
std::shared_ptr<DisplayObject> target(NativeCall& c) {
    ScriptObject* o = c.self();
    if (!o) return nullptr;
    return c.vm.clipOf(o->internal);
}

int16_t clampMul(double d) { return static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, d))); }

Value colorCtor(NativeCall& c) {
    ScriptObject* o = c.self();
    if (!o || !c.constructing) return Value();
    Value t = c.arg(0);
    if (t.type != Value::Clip) {
        // A target path names the clip.
        DisplayObject* base = c.engine().root();
        DisplayObject* found = base ? c.engine().resolveTarget(base, c.str(0)) : nullptr;
        t = found ? Value::fromClip(found->shared_from_this()) : Value();
    }
    o->internal = t;
    return Value();
}

Value setRGB(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = target(c);
    double d = c.num(0, 0);
    if (!clip || !std::isfinite(d)) return Value();
    uint32_t rgb = static_cast<uint32_t>(static_cast<int64_t>(d) & 0xFFFFFF);
    ColorTransform& cx = clip->cxform;
    cx.rMul = cx.gMul = cx.bMul = 0;
    cx.rAdd = static_cast<int16_t>((rgb >> 16) & 0xFF);
    cx.gAdd = static_cast<int16_t>((rgb >> 8) & 0xFF);
    cx.bAdd = static_cast<int16_t>(rgb & 0xFF);
    clip->scriptTransformed = true;
    return Value();
}

Value getRGB(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = target(c);
    if (!clip) return Value();
    const ColorTransform& cx = clip->cxform;
    return Value::fromNumber(((cx.rAdd & 0xFF) << 16) | ((cx.gAdd & 0xFF) << 8) | (cx.bAdd & 0xFF));
}

// {ra, rb, ga, gb, ba, bb, aa, ab}: multipliers in percent, offsets.
Value setTransform(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = target(c);
    Value t = c.arg(0);
    if (!clip || t.type != Value::Object) return Value();
    ColorTransform& cx = clip->cxform;
    struct Field {
        const char* name;
        int16_t* slot;
        double scale;
    } fields[] = {{"ra", &cx.rMul, 2.56}, {"ga", &cx.gMul, 2.56}, {"ba", &cx.bMul, 2.56},
                  {"aa", &cx.aMul, 2.56}, {"rb", &cx.rAdd, 1},    {"gb", &cx.gAdd, 1},
                  {"bb", &cx.bAdd, 1},    {"ab", &cx.aAdd, 1}};
    for (const Field& f : fields) {
        Value v = c.vm.getMember(c.frame, t, f.name);
        double d = c.vm.toNum(v);
        if (v.type != Value::Undefined && std::isfinite(d)) *f.slot = clampMul(d * f.scale);
    }
    clip->scriptTransformed = true;
    return Value();
}

Value getTransform(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = target(c);
    Value r = c.vm.newObject();
    if (!clip || !r.object) return r;
    const ColorTransform& cx = clip->cxform;
    const struct {
        const char* name;
        double value;
    } fields[] = {{"ra", cx.rMul / 2.56},  {"ga", cx.gMul / 2.56},  {"ba", cx.bMul / 2.56},
                  {"aa", cx.aMul / 2.56},  {"rb", double(cx.rAdd)}, {"gb", double(cx.gAdd)},
                  {"bb", double(cx.bAdd)}, {"ab", double(cx.aAdd)}};
    for (const auto& f : fields) r.object->set(c.vm.key(f.name), Value::fromNumber(f.value));
    return r;
}

}  // namespace

void installColor(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Color", colorCtor);
    if (!proto) return;
    realm.methods(*proto, {{"setRGB", setRGB},
                           {"getRGB", getRGB},
                           {"setTransform", setTransform},
                           {"getTransform", getTransform}});
}

}  // namespace flash
