// flash.geom.ColorTransform: multipliers and offsets of the four channels,
// and the colour they give as `rgb`.
#include <algorithm>

#include "flash/core/avm1/Geometry.h"

namespace flash {

namespace {

const char* const kNames[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                              "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

int16_t clampFixed(double v) {
    return static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, std::round(v))));
}

Value ctor(NativeCall& c) {
    if (ScriptObject* o = c.self())
        for (size_t i = 0; i < 8; ++i)
            o->set(c.vm.key(kNames[i]), Value::fromNumber(c.args.size() > i ? c.num(i) : (i < 4 ? 1 : 0)));
    return Value();
}

Value rgb(NativeCall& c) {
    auto channel = [&](const char* n) {
        return static_cast<unsigned>(std::max(0.0, std::min(255.0, member(c, c.thisValue, n))));
    };
    return Value::fromNumber((channel("redOffset") << 16) | (channel("greenOffset") << 8) |
                             channel("blueOffset"));
}

Value setRgb(NativeCall& c) {
    unsigned v = static_cast<unsigned>(clampToInt(c.num(0, 0))) & 0xFFFFFF;
    setMember(c, c.thisValue, "redMultiplier", 0);
    setMember(c, c.thisValue, "greenMultiplier", 0);
    setMember(c, c.thisValue, "blueMultiplier", 0);
    setMember(c, c.thisValue, "redOffset", (v >> 16) & 0xFF);
    setMember(c, c.thisValue, "greenOffset", (v >> 8) & 0xFF);
    setMember(c, c.thisValue, "blueOffset", v & 0xFF);
    return Value();
}

// concat(second): `second` applies first, then this transform.
Value concat(NativeCall& c) {
    double mine[8], other[8];
    for (int i = 0; i < 8; ++i) {
        mine[i] = member(c, c.thisValue, kNames[i]);
        other[i] = member(c, c.arg(0), kNames[i]);
    }
    for (int i = 0; i < 4; ++i) {
        setMember(c, c.thisValue, kNames[i + 4], other[i + 4] * mine[i] + mine[i + 4]);
        setMember(c, c.thisValue, kNames[i], other[i] * mine[i]);
    }
    return Value();
}

Value toString(NativeCall& c) {
    return Value::fromString(geomText(
        c, c.thisValue,
        {kNames[0], kNames[1], kNames[2], kNames[3], kNames[4], kNames[5], kNames[6], kNames[7]}, {}));
}

}  // namespace

ColorTransform colorTransformOf(NativeCall& c, const Value& v) {
    ColorTransform t;
    int16_t* fields[] = {&t.rMul, &t.gMul, &t.bMul, &t.aMul, &t.rAdd, &t.gAdd, &t.bAdd, &t.aAdd};
    for (int i = 0; i < 8; ++i) {
        double d = member(c, v, kNames[i]);
        if (!std::isfinite(d)) d = i < 4 ? 1 : 0;
        *fields[i] = clampFixed(i < 4 ? d * 256 : d);
    }
    return t;
}

Value newColorTransform(NativeCall& c, const ColorTransform& t) {
    return newGeom(c, "ColorTransform",
                   {{kNames[0], t.rMul / 256.0},
                    {kNames[1], t.gMul / 256.0},
                    {kNames[2], t.bMul / 256.0},
                    {kNames[3], t.aMul / 256.0},
                    {kNames[4], t.rAdd},
                    {kNames[5], t.gAdd},
                    {kNames[6], t.bAdd},
                    {kNames[7], t.aAdd}});
}

void installColorTransform(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = defineGeomClass(realm, "ColorTransform", ctor);
    if (!proto) return;
    realm.accessor(*proto, "rgb", rgb, setRgb);
    realm.methods(*proto, {{"concat", concat}, {"toString", toString}});
}

}  // namespace flash
