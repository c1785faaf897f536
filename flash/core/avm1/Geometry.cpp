#include "flash/core/avm1/Geometry.h"

#include "flash/core/avm1/Frame.h"

namespace flash {

std::shared_ptr<ScriptObject> geomPackage(Realm& realm) {
    auto child = [&](ScriptObject& parent, const char* name) {
        const Value* v = parent.find(realm.key(name));
        if (v && v->type == Value::Object) return v->object;
        std::shared_ptr<ScriptObject> o = realm.object();
        if (o) parent.set(realm.key(name), Value::fromObject(o), kDontEnum);
        return o;
    };
    std::shared_ptr<ScriptObject> top = child(realm.global, "flash");
    return top ? child(*top, "geom") : nullptr;
}

std::shared_ptr<ScriptObject> defineGeomClass(Realm& realm, const char* name, NativeFn ctor) {
    std::shared_ptr<ScriptObject> package = geomPackage(realm);
    std::shared_ptr<ScriptObject> proto = realm.defineClass(name, ctor);
    if (!package || !proto) return proto;
    // defineClass put the constructor on _global: it belongs to the package.
    auto it = realm.global.props.find(realm.key(name));
    if (it != realm.global.props.end()) {
        package->set(realm.key(name), it->second.value, kDontEnum);
        realm.global.props.erase(it);
    }
    return proto;
}

Value newGeom(NativeCall& c, const char* cls, std::initializer_list<std::pair<const char*, double>> members) {
    Value o = c.vm.newObject();
    if (!o.object) return o;
    const Value* flashPkg = c.engine().globals ? c.engine().globals->find(c.vm.key("flash")) : nullptr;
    const Value* geom =
        flashPkg && flashPkg->type == Value::Object ? flashPkg->object->find(c.vm.key("geom")) : nullptr;
    const Value* ctor = geom && geom->type == Value::Object ? geom->object->find(c.vm.key(cls)) : nullptr;
    const Value* proto =
        ctor && ctor->type == Value::Object ? ctor->object->find(c.vm.key("prototype")) : nullptr;
    if (proto && proto->type == Value::Object) o.object->proto = proto->object;
    for (const auto& m : members) o.object->set(c.vm.key(m.first), Value::fromNumber(m.second));
    return o;
}

double member(NativeCall& c, const Value& object, const char* name) {
    return c.vm.toNum(c.vm.getMember(c.frame, object, name));
}

void setMember(NativeCall& c, const Value& object, const char* name, double v) {
    c.vm.setMember(c.frame, object, name, Value::fromNumber(v));
}

std::string geomText(NativeCall& c, const Value& object, std::initializer_list<const char*> names,
                     std::initializer_list<const char*> labels) {
    std::string s = "(";
    auto label = labels.begin();
    for (const char* n : names) {
        if (s.size() > 1) s += ", ";
        s += std::string(label != labels.end() ? *label++ : n) + "=" +
             c.vm.toStr(c.vm.getMember(c.frame, object, n));
    }
    return s + ")";
}

}  // namespace flash
