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

// obj.addProperty(name, getter, setter): false without a getter function.
Value addProperty(NativeCall& c) {
    ScriptObject* o = c.self();
    std::string name = c.str(0);
    Value get = c.arg(1), set = c.arg(2);
    if (!o || name.empty() || get.type != Value::Object || !get.object || !get.object->isFunction())
        return Value::fromBool(false);
    Property& p = o->own(c.vm.key(name));
    p.value = Value();
    p.getter = get.object;
    p.setter = set.type == Value::Object && set.object && set.object->isFunction() ? set.object : nullptr;
    return Value::fromBool(true);
}

Value hasOwnProperty(NativeCall& c) {
    std::string key = c.vm.key(c.str(0));
    if (ScriptObject* o = c.self()) return Value::fromBool(o->props.count(key) > 0);
    if (std::shared_ptr<DisplayObject> clip = c.clip())
        return Value::fromBool(clip->variables.count(key) > 0);
    return Value::fromBool(false);
}

Value isPropertyEnumerable(NativeCall& c) {
    ScriptObject* o = c.self();
    if (!o) return Value::fromBool(false);
    auto it = o->props.find(c.vm.key(c.str(0)));
    return Value::fromBool(it != o->props.end() && !(it->second.flags & kDontEnum));
}

Value isPrototypeOf(NativeCall& c) {
    ScriptObject* self = c.self();
    Value v = c.arg(0);
    if (!self || v.type != Value::Object || !v.object) return Value::fromBool(false);
    int hops = 0;
    for (ScriptObject* o = v.object->proto.get(); o && hops < 64; o = o->proto.get(), ++hops)
        if (o == self) return Value::fromBool(true);
    return Value::fromBool(false);
}

// Object.registerClass(symbolName, constructor): clips of that exported
// symbol become instances of the class.
Value registerClass(NativeCall& c) {
    std::string name = c.str(0);
    Value ctor = c.arg(1);
    if (name.empty()) return Value::fromBool(false);
    c.vm.registerClass(
        name, ctor.type == Value::Object && ctor.object && ctor.object->isFunction() ? ctor : Value());
    return Value::fromBool(true);
}

// ASSetPropFlags(object, names, set, clear): names is an array, a
// comma-separated list or null (every property).
Value asSetPropFlags(NativeCall& c) {
    Value target = c.arg(0);
    if (target.type != Value::Object || !target.object) return Value();
    ScriptObject& o = *target.object;
    uint8_t set = static_cast<uint8_t>(clampToInt(c.num(2, 0)) & 7);
    uint8_t clear = static_cast<uint8_t>(clampToInt(c.num(3, 0)) & 7);
    Value names = c.arg(1);
    auto apply = [&](Property& p) { p.flags = static_cast<uint8_t>((p.flags & ~clear) | set); };
    if (names.type == Value::Null || names.type == Value::Undefined) {
        for (auto& kv : o.props) apply(kv.second);
        return Value();
    }
    std::vector<std::string> list;
    if (names.type == Value::Object && names.object && names.object->isArray) {
        for (const Value& v : names.object->elements) list.push_back(c.vm.toStr(v));
    } else {
        std::string s = c.vm.toStr(names);
        size_t from = 0;
        while (from <= s.size()) {
            size_t at = s.find(',', from);
            list.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
            if (at == std::string::npos) break;
            from = at + 1;
        }
    }
    c.charge(list.size());
    for (const std::string& n : list) {
        auto it = o.props.find(c.vm.key(n));
        if (it != o.props.end()) apply(it->second);
    }
    return Value();
}

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
    realm.methods(*proto, {{"toString", objectToString},
                           {"valueOf", objectValueOf},
                           {"addProperty", addProperty},
                           {"hasOwnProperty", hasOwnProperty},
                           {"isPropertyEnumerable", isPropertyEnumerable},
                           {"isPrototypeOf", isPrototypeOf}});
    realm.method(*ctor.object, "registerClass", registerClass);
    realm.method(realm.global, "ASSetPropFlags", asSetPropFlags);
}

}  // namespace flash
