#include <algorithm>
#include <cmath>

#include "flash/core/ByteReader.h"
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

Value Avm1::defineFunction(Frame& f, const uint8_t* code, size_t payload, size_t len, size_t& next,
                           size_t size, bool version2) {
    ByteReader r(code + payload, len);
    r.str();  // name, read by the caller
    auto def = std::make_shared<FunctionDef>();
    def->version2 = version2;
    uint16_t n = r.u16();
    if (version2) {
        def->registerCount = r.u8();
        def->flags = r.u16();
    }
    for (uint16_t i = 0; i < n && !r.overflow(); ++i) {
        uint8_t reg = version2 ? r.u8() : 0;
        std::string p = r.str();
        if (r.overflow()) break;
        def->params.push_back(std::move(p));
        def->paramRegisters.push_back(reg);
    }
    size_t bodySize = r.u16();
    if (r.overflow()) {
        next = size + 1;  // a record that does not hold its fields ends the block
        return Value();
    }
    def->code = code + next;
    def->size = std::min(bodySize, size - std::min(size, next));
    next += bodySize;
    def->pool = f.pool;
    if (DisplayObject* t = targetOf(f)) def->scope = t->shared_from_this();
    def->closure = f.locals;
    Value fn = newObject();
    if (!fn.object) return Value();
    fn.object->function = def;
    fn.object->proto = protos_.function;
    Value proto = newObject();
    if (proto.object) {
        fn.object->set("prototype", proto, kDontEnum);
        proto.object->set("constructor", fn, kDontEnum);
    }
    return fn;
}

Value Avm1::call(Frame& f, const Value& function, const Value& thisValue, std::vector<Value>& args,
                 int callDepth, const std::shared_ptr<ScriptObject>& home) {
    if (function.type != Value::Object || !function.object) return Value();
    std::shared_ptr<ScriptObject> fo = function.object;
    // Calls nest through getters, natives and handlers as well as through
    // CallFunction: the runtime counts every level.
    if (callDepth >= kMaxCallDepth || nesting_ >= kMaxCallDepth || f.budget <= 0) return Value();
    struct Nest {
        int& n;
        explicit Nest(int& n) : n(++n) {}
        ~Nest() { --n; }
    } nest(nesting_);
    if (fo->native) {
        NativeCall c{*this, f, thisValue, args, callDepth};
        return fo->native(c);
    }
    std::shared_ptr<FunctionDef> def = fo->function;
    if (!def) return Value();
    std::shared_ptr<DisplayObject> scope = def->scope.lock();
    DisplayObject* base =
        scope && (scope.get() == engine_.root() || scope->parent) ? scope.get() : targetOf(f);
    if (!base) base = engine_.root();
    if (!base) return Value();

    Frame inner;
    inner.original = base;
    inner.target = base->shared_from_this();
    inner.pool = def->pool;
    inner.budget = f.budget - static_cast<long>(args.size());
    inner.locals = std::make_shared<Scope>();
    inner.locals->parent = def->closure;
    inner.thisValue =
        thisValue.type == Value::Undefined ? Value::fromClip(base->shared_from_this()) : thisValue;
    inner.home = home;
    if (def->version2) inner.registers.assign(std::max<size_t>(4, def->registerCount), Value());
    if (args.size() > kMaxElements) args.resize(kMaxElements);

    bool wantArguments = !def->version2 || (def->flags & 0x04) || !(def->flags & 0x08);
    Value arguments = wantArguments ? newObject(true) : Value();
    if (arguments.object) {
        arguments.object->elements = args;
        arguments.object->set("callee", function, kDontEnum);
        arguments.object->set("caller", f.callee, kDontEnum);
    }
    inner.callee = function;
    if (def->version2) {
        // Preloaded values take registers 1, 2, ... in this order; a missing
        // _parent takes none.
        size_t reg = 1;
        auto preload = [&](uint16_t bit, const Value& v) {
            if (!(def->flags & bit)) return;
            if (reg < inner.registers.size()) inner.registers[reg] = v;
            ++reg;
        };
        preload(0x01, inner.thisValue);
        preload(0x04, arguments);
        if (def->flags & 0x10) preload(0x10, superOf(inner));
        preload(0x40, Value::fromClip(engine_.root()->shared_from_this()));
        if (base->parent) preload(0x80, Value::fromClip(base->parent->shared_from_this()));
        preload(0x100, Value::fromObject(engine_.globals));
        if (!(def->flags & 0x08)) inner.locals->vars["arguments"] = arguments;
    } else {
        inner.locals->vars["arguments"] = arguments;
    }
    for (size_t i = 0; i < def->params.size(); ++i) {
        Value a = i < args.size() ? args[i] : Value();
        uint8_t reg = def->paramRegisters[i];
        if (def->version2 && reg != 0) {
            if (reg < inner.registers.size()) inner.registers[reg] = a;
        } else {
            inner.locals->vars[engine_.nameKey(def->params[i])] = a;
        }
    }
    exec(inner, def->code, def->size, callDepth + 1);
    f.budget = inner.budget;
    if (inner.throwing) {
        f.throwing = true;
        f.thrown = inner.thrown;
    }
    return inner.returnValue;
}

Value Avm1::superOf(Frame& f) {
    if (!f.home) return Value();
    Value s = newObject();
    if (!s.object) return Value();
    s.object->isSuper = true;
    s.object->proto = f.home->proto;
    s.object->internal = f.thisValue;
    const Value* ctor = f.home->find("__constructor__");
    if (ctor) s.object->set("__constructor__", *ctor, kDontEnum);
    return s;
}

Value Avm1::construct(Frame& f, const Value& function, std::vector<Value>& args, int callDepth) {
    if (function.type != Value::Object || !function.object) return Value();
    ScriptObject& fo = *function.object;
    if (!fo.isFunction() || callDepth >= kMaxCallDepth) return Value();
    Value o = newObject();
    if (!o.object) return Value();
    const Value* proto = fo.find("prototype");
    std::shared_ptr<ScriptObject> home;
    if (proto && proto->type == Value::Object) home = o.object->proto = proto->object;
    o.object->set("__constructor__", function, kDontEnum);
    if (version_ <= 5) o.object->set("constructor", function, kDontEnum);
    if (fo.native) {
        // A built-in constructor may make its own object (arrays, boxed
        // values); otherwise it fills in the one made here.
        NativeCall c{*this, f, o, args, callDepth, true};
        Value r = fo.native(c);
        return r.type == Value::Undefined ? o : r;
    }
    Value r = call(f, function, o, args, callDepth, home);
    return r.type == Value::Object ? r : o;
}

bool Avm1::instanceOf(const Value& v, const Value& ctor) {
    if (ctor.type != Value::Object || !ctor.object) return false;
    const Value* proto = ctor.object->find("prototype");
    if (!proto || proto->type != Value::Object || !proto->object) return false;
    const ScriptObject* o = nullptr;
    if (v.type == Value::Object && v.object) {
        o = v.object->proto.get();
    } else if (std::shared_ptr<DisplayObject> c = clipOf(v)) {
        o = protoOf(c.get()).get();
    }
    for (int hops = 0; o && hops < 64; ++hops, o = o->proto.get()) {
        if (o == proto->object.get()) return true;
        const Value* list = o->find("__implements__");
        if (list && list->type == Value::Object && list->object && hops < 32)
            for (const Value& i : list->object->elements)
                if (i.type == Value::Object && i.object == ctor.object) return true;
    }
    return false;
}

Value Avm1::callMethod(Frame& f, const Value& object, const std::string& name, std::vector<Value>& args,
                       int callDepth) {
    if (object.type == Value::Object && object.object && object.object->isSuper) {
        // super(...) runs the superclass constructor on this object;
        // super.m(...) the superclass method, on this object too.
        ScriptObject& s = *object.object;
        if (name.empty()) {
            const Value* ctor = s.find("__constructor__");
            if (!ctor) return Value();
            const Value* proto =
                ctor->type == Value::Object && ctor->object ? ctor->object->find("prototype") : nullptr;
            return call(f, *ctor, s.internal, args, callDepth,
                        proto && proto->type == Value::Object ? proto->object : nullptr);
        }
        Value fn = getMember(f, object, name);
        return call(f, fn, s.internal, args, callDepth, holderOf(object, engine_.nameKey(name)));
    }
    if (name.empty()) return call(f, object, Value(), args, callDepth);
    Value fn = getMember(f, object, name);
    return call(f, fn, object, args, callDepth, holderOf(object, engine_.nameKey(name)));
}

}  // namespace flash

namespace flash {

Value Avm1::toPrimitive(Frame& f, const Value& v, bool valueFirst, int callDepth) {
    if (v.type != Value::Object || !v.object || v.object->isSuper) return v;
    // Boxed primitives, and objects whose conversions are the built-in
    // ones of Object and Array, convert without a call.
    // A date reads as text even where numbers are preferred.
    if (valueFirst && protos_.date && holderOf(v, engine_.nameKey("valueOf")) == protos_.date)
        valueFirst = false;
    for (int pass = valueFirst ? 0 : 1; pass < 2; ++pass) {
        const char* name = pass == 0 ? "valueOf" : "toString";
        std::string key = engine_.nameKey(name);
        std::shared_ptr<ScriptObject> holder = holderOf(v, key);
        if (!holder || holder == protos_.object || holder == protos_.array || holder == protos_.function)
            continue;
        if (pass == 0 && (holder == protos_.string || holder == protos_.number || holder == protos_.boolean))
            continue;
        Value fn = getMember(f, v, name);
        if (fn.type != Value::Object || !fn.object || !fn.object->isFunction()) continue;
        std::vector<Value> none;
        Value r = call(f, fn, v, none, callDepth, holder);
        if (r.type != Value::Object && r.type != Value::Clip) return r;
    }
    return Value::fromString(toStr(v));
}

std::string Avm1::toStr(Frame& f, const Value& v, int callDepth) {
    if (v.type != Value::Object) return toString(v, version_);
    return toStr(toPrimitive(f, v, false, callDepth));
}

}  // namespace flash
