// Reading and writing members: of objects (own, inherited, accessors,
// array elements), of clips (numbered properties, variables, children,
// then MovieClip.prototype) and of primitives (their class prototypes).
#include <cmath>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

// Array index of a member name ("0", "12"), or -1.
long arrayIndex(const std::string& name) {
    if (name.empty() || name.size() > 9) return -1;
    long v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

std::shared_ptr<ScriptObject> Avm1::protoOf(const DisplayObject* c) const {
    if (c->proto) return c->proto;
    return Engine::isTextField(c) && protos_.textField ? protos_.textField : protos_.movieClip;
}

std::shared_ptr<DisplayObject> Avm1::clipOf(const Value& v) {
    if (v.type != Value::Clip) return nullptr;
    std::shared_ptr<DisplayObject> c = v.clip.lock();
    if (!c || (!c->parent && c.get() != engine_.root() && engine_.level(c->depth) != c.get())) return nullptr;
    return c;
}

Value Avm1::newObject(bool array) {
    std::shared_ptr<ScriptObject> o = engine_.newObject();
    if (!o) return Value();
    o->isArray = array;
    o->proto = array ? protos_.array : protos_.object;
    return Value::fromObject(std::move(o));
}

Value Avm1::newFunction(NativeFn fn) {
    std::shared_ptr<ScriptObject> o = engine_.newObject();
    if (!o) return Value();
    o->native = fn;
    o->proto = protos_.function;
    return Value::fromObject(std::move(o));
}

void Avm1::ensureGlobals() {
    if (engine_.globals) return;
    std::shared_ptr<ScriptObject> g = engine_.newObject();
    protos_.object = engine_.newObject();
    protos_.function = engine_.newObject();
    if (!g || !protos_.object || !protos_.function) return;
    engine_.globals = g;
    g->proto = protos_.object;
    protos_.function->proto = protos_.object;
    Realm realm(*this, *g);
    installBuiltins(realm);
}

std::vector<Value> Avm1::popArgs(Frame& f) {
    double n = toNumber(pop(f), version_);
    std::vector<Value> args;
    for (long i = 0; std::isfinite(n) && i < n && !f.stack.empty(); ++i) args.push_back(pop(f));
    return args;
}

// A property found on an object or its prototypes, read with `self` as
// `this` of a getter.
static Value readProperty(Avm1& vm, Avm1::Frame& f, const Property* p, const Value& self) {
    if (!p) return Value();
    if (!p->isAccessor()) return p->value;
    std::vector<Value> none;
    return vm.call(f, Value::fromObject(p->getter), self, none, 0);
}

Value Avm1::getMember(Frame& f, const Value& object, const std::string& name) {
    std::string key = engine_.nameKey(name);
    std::shared_ptr<ScriptObject> proto;
    switch (object.type) {
        case Value::String:
            if (key == "length")
                return Value::fromNumber(static_cast<double>(CharIndex(object.string, version_).count()));
            proto = protos_.string;
            break;
        case Value::Number:
            proto = protos_.number;
            break;
        case Value::Boolean:
            proto = protos_.boolean;
            break;
        case Value::Clip: {
            std::shared_ptr<DisplayObject> c = clipOf(object);
            if (!c) return Value();
            int index = propertyIndex(name);
            if (index >= 0) return getProperty(c.get(), index);
            auto it = c->variables.find(key);
            if (it != c->variables.end()) return it->second;
            if (DisplayObject* child = childNamed(c.get(), key, engine_))
                return Value::fromClip(child->shared_from_this());
            if (key == "_parent") return c->parent ? Value::fromClip(c->parent->shared_from_this()) : Value();
            if (key == "_root") return Value::fromClip(engine_.root()->shared_from_this());
            proto = protoOf(c.get());
            break;
        }
        case Value::Object: {
            ScriptObject& o = *object.object;
            if (o.isArray) {
                if (key == "length") return Value::fromNumber(static_cast<double>(o.elements.size()));
                long i = arrayIndex(name);
                if (i >= 0) return static_cast<size_t>(i) < o.elements.size() ? o.elements[i] : Value();
            }
            if (key == "__proto__") return Value::fromObject(o.proto);
            return readProperty(*this, f, o.findProperty(key), object);
        }
        default:
            return Value();
    }
    if (!proto) return Value();
    if (key == "__proto__") return Value::fromObject(proto);
    return readProperty(*this, f, proto->findProperty(key), object);
}

std::shared_ptr<ScriptObject> Avm1::holderOf(const Value& object, const std::string& key) {
    std::shared_ptr<ScriptObject> o;
    if (object.type == Value::Object) {
        o = object.object;
    } else if (std::shared_ptr<DisplayObject> c = clipOf(object)) {
        o = protoOf(c.get());
    } else if (object.type == Value::String) {
        o = protos_.string;
    }
    for (int hops = 0; o && hops < 64; ++hops, o = o->proto)
        if (o->props.count(key)) return o;
    return nullptr;
}

bool Avm1::hasMember(const Value& object, const std::string& key) {
    if (std::shared_ptr<DisplayObject> c = clipOf(object)) {
        if (c->variables.count(key) || propertyIndex(key) >= 0 || childNamed(c.get(), key, engine_))
            return true;
    } else if (object.type == Value::Object && object.object && object.object->isArray) {
        if (key == "length") return true;
    }
    return holderOf(object, key) != nullptr;
}

// Runs the setter of an accessor found on `o` or its prototypes; true when
// the write is taken care of (a setter ran, or the property is read-only).
static bool writeThroughAccessor(Avm1& vm, Avm1::Frame& f, const ScriptObject* o, const std::string& key,
                                 const Value& self, const Value& v) {
    if (!o) return false;
    const Property* p = o->findProperty(key);
    if (!p || !p->isAccessor()) return false;
    if (p->setter) {
        std::vector<Value> args{v};
        vm.call(f, Value::fromObject(p->setter), self, args, 0);
    }
    return true;
}

void Avm1::setMember(Frame& f, const Value& object, const std::string& name, const Value& v) {
    std::string key = engine_.nameKey(name);
    if (object.type == Value::Clip) {
        std::shared_ptr<DisplayObject> c = clipOf(object);
        if (!c) return;
        int index = propertyIndex(name);
        if (index >= 0) {
            setProperty(c.get(), index, v);
        } else if (writeThroughAccessor(*this, f, protoOf(c.get()).get(), key, object, v)) {
            return;
        } else if (c->variables.size() < kMaxProps || c->variables.count(key)) {
            c->variables[key] = v;
        }
        return;
    }
    if (object.type != Value::Object || !object.object) return;
    ScriptObject& o = *object.object;
    if (o.isArray) {
        long i = arrayIndex(name);
        if (i >= 0 && static_cast<size_t>(i) < kMaxElements) {
            if (static_cast<size_t>(i) >= o.elements.size()) {
                f.budget -= static_cast<long>(i + 1 - o.elements.size()) / 64;
                o.elements.resize(i + 1);
            }
            o.elements[i] = v;
            return;
        }
        if (key == "length") {
            double n = toNumber(v, version_);
            if (std::isfinite(n) && n >= 0 && n <= kMaxElements) {
                f.budget -= static_cast<long>(n) / 64;
                o.elements.resize(static_cast<size_t>(n));
            }
            return;
        }
    }
    if (key == "__proto__") {
        // A chain may not loop back to the object itself.
        std::shared_ptr<ScriptObject> p = v.type == Value::Object ? v.object : nullptr;
        int hops = 0;
        for (const ScriptObject* q = p.get(); q; q = q->proto.get())
            if (q == &o || ++hops > 64) return;
        o.proto = p;
        return;
    }
    if (writeThroughAccessor(*this, f, &o, key, object, v)) return;
    auto it = o.props.find(key);
    if (it != o.props.end()) {
        if (!(it->second.flags & kReadOnly)) it->second.value = v;
    } else if (o.props.size() < kMaxProps) {
        o.own(key).value = v;
    }
}

}  // namespace flash
