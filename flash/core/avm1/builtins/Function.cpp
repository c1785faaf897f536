// Function: Function.prototype with call and apply.
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Value functionCtor(NativeCall& c) { return c.vm.newObject(); }

Value functionCall(NativeCall& c) {
    Value self = c.arg(0);
    std::vector<Value> rest;
    if (c.args.size() > 1) rest.assign(c.args.begin() + 1, c.args.end());
    return c.vm.call(c.frame, c.thisValue, self.type == Value::Null ? Value() : self, rest, c.depth + 1);
}

Value functionApply(NativeCall& c) {
    Value self = c.arg(0);
    std::vector<Value> rest;
    Value list = c.arg(1);
    if (list.type == Value::Object && list.object && list.object->isArray) rest = list.object->elements;
    return c.vm.call(c.frame, c.thisValue, self.type == Value::Null ? Value() : self, rest, c.depth + 1);
}

}  // namespace

void installFunction(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.protos().function;
    Value ctor = realm.vm.newFunction(functionCtor);
    if (!ctor.object) return;
    ctor.object->set(realm.key("prototype"), Value::fromObject(proto), kDontEnum | kDontDelete);
    proto->set(realm.key("constructor"), ctor, kDontEnum);
    realm.global.set(realm.key("Function"), ctor, kDontEnum);
    realm.methods(*proto, {{"call", functionCall}, {"apply", functionApply}});
}

}  // namespace flash
