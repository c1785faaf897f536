// The Flash 8 effect properties of clips: `filters` (reading gives copies
// of the filters, assigning an array of filter objects applies copies of
// them), `blendMode` (a name or a number 1-14) and `cacheAsBitmap`.
#include <memory>

#include "flash/core/DisplayObject.h"
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/FilterObjects.h"

namespace flash {

namespace {

const char* const kBlendNames[] = {"normal", "layer",      "multiply", "screen",   "lighten",
                                   "darken", "difference", "add",      "subtract", "invert",
                                   "alpha",  "erase",      "overlay",  "hardlight"};

Value getFilters(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value out = c.vm.newObject(true);
    if (!clip || !out.object || !clip->filters) return out;
    c.charge(clip->filters->size());
    for (const Filter& f : *clip->filters) {
        Value o = objectOfFilter(c.vm, f);
        if (o.type == Value::Object) out.object->elements.push_back(o);
    }
    return out;
}

Value setFilters(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value v = c.arg(0);
    if (!clip) return Value();
    auto list = std::make_shared<FilterList>();
    if (v.type == Value::Object && v.object && v.object->isArray) {
        c.charge(v.object->elements.size());
        for (const Value& e : v.object->elements) {
            Filter f;
            if (filterOfObject(e, f)) list->push_back(std::move(f));
        }
    }
    clip->filters = list->empty() ? nullptr : std::move(list);
    return Value();
}

Value getBlendMode(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip) return Value();
    return Value::fromString(kBlendNames[static_cast<int>(clip->blendMode) - 1]);
}

Value setBlendMode(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value v = c.arg(0);
    if (!clip) return Value();
    if (v.type == Value::Number) {
        if (v.number >= 1 && v.number <= 14)
            clip->blendMode = blendModeFromByte(static_cast<uint8_t>(v.number));
        return Value();
    }
    // Unknown names leave the mode as it is.
    const std::string name = c.vm.toStr(v);
    for (int i = 0; i < 14; ++i)
        if (name == kBlendNames[i]) clip->blendMode = static_cast<BlendMode>(i + 1);
    return Value();
}

Value getCacheAsBitmap(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    return clip ? Value::fromBool(clip->cacheAsBitmap) : Value();
}

Value setCacheAsBitmap(NativeCall& c) {
    if (std::shared_ptr<DisplayObject> clip = c.clip()) clip->cacheAsBitmap = c.vm.toBool(c.arg(0));
    return Value();
}

}  // namespace

void installClipEffects(Realm& realm) {
    ScriptObject* proto = realm.protos().movieClip.get();
    if (!proto) return;
    realm.accessor(*proto, "filters", getFilters, setFilters);
    realm.accessor(*proto, "blendMode", getBlendMode, setBlendMode);
    realm.accessor(*proto, "cacheAsBitmap", getCacheAsBitmap, setCacheAsBitmap);
}

}  // namespace flash
