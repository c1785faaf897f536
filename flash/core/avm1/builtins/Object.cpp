// Object: the constructor, Object.prototype and its methods.
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Value objectCtor(NativeCall& c) {
    Value v = c.arg(0);
    if (v.type == Value::Object || v.type == Value::Clip) return v;
    return c.constructing ? c.thisValue : c.vm.newObject();
}

Value objectToString(NativeCall& c) { return Value::fromString(c.vm.toStr(c.thisValue)); }

Value objectValueOf(NativeCall& c) { return c.thisValue; }

}  // namespace

void installObject(Realm& realm) {
    // Object.prototype exists before any installer runs: every object made
    // from here on inherits from it.
    std::shared_ptr<ScriptObject> proto = realm.protos().object;
    Value ctor = realm.vm.newFunction(objectCtor);
    if (!ctor.object) return;
    ctor.object->set(realm.key("prototype"), Value::fromObject(proto), kDontEnum | kDontDelete);
    proto->set(realm.key("constructor"), ctor, kDontEnum);
    realm.global.set(realm.key("Object"), ctor, kDontEnum);
    realm.methods(*proto, {{"toString", objectToString}, {"valueOf", objectValueOf}});
}

}  // namespace flash
