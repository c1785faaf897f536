// Boolean: conversion function, boxed booleans and Boolean.prototype.
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

bool thisBool(NativeCall& c) {
    if (c.thisValue.type == Value::Boolean) return c.thisValue.boolean;
    ScriptObject* o = c.self();
    return o && o->internal.type == Value::Boolean ? o->internal.boolean : c.vm.toBool(c.thisValue);
}

Value booleanCtor(NativeCall& c) {
    Value v = Value::fromBool(!c.args.empty() && c.vm.toBool(c.args[0]));
    if (!c.constructing) return v;
    if (ScriptObject* o = c.self()) o->internal = v;
    return Value();
}

Value booleanToString(NativeCall& c) { return Value::fromString(thisBool(c) ? "true" : "false"); }
Value booleanValueOf(NativeCall& c) { return Value::fromBool(thisBool(c)); }

}  // namespace

void installBoolean(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Boolean", booleanCtor);
    if (!proto) return;
    realm.protos().boolean = proto;
    realm.methods(*proto, {{"toString", booleanToString}, {"valueOf", booleanValueOf}});
}

}  // namespace flash
