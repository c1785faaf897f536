// Array: the constructor and Array.prototype.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

// `this` as an array, or null.
ScriptObject* thisArray(NativeCall& c) {
    ScriptObject* o = c.self();
    return o && o->isArray ? o : nullptr;
}

Value arrayCtor(NativeCall& c) {
    Value a = c.vm.newObject(true);
    if (!a.object) return a;
    if (c.args.size() == 1 && c.args[0].type == Value::Number) {
        double n = c.args[0].number;
        if (std::isfinite(n) && n >= 0 && n <= kMaxElements)
            a.object->elements.resize(static_cast<size_t>(n));
    } else {
        a.object->elements = c.args;
    }
    return a;
}

Value pushOrUnshift(NativeCall& c, bool atEnd) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    std::vector<Value>& el = o->elements;
    c.charge(c.args.size() + (atEnd ? 0 : el.size() / 64));
    if (el.size() + c.args.size() <= kMaxElements)
        el.insert(atEnd ? el.end() : el.begin(), c.args.begin(), c.args.end());
    return Value::fromNumber(static_cast<double>(el.size()));
}

Value push(NativeCall& c) { return pushOrUnshift(c, true); }
Value unshift(NativeCall& c) { return pushOrUnshift(c, false); }

Value pop(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o || o->elements.empty()) return Value();
    Value v = o->elements.back();
    o->elements.pop_back();
    return v;
}

Value shift(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o || o->elements.empty()) return Value();
    c.charge(o->elements.size() / 64);
    Value v = o->elements.front();
    o->elements.erase(o->elements.begin());
    return v;
}

Value join(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    std::string sep = c.args.empty() ? "," : c.str(0);
    std::string s;
    for (size_t i = 0; i < o->elements.size() && s.size() <= kMaxString; ++i) {
        if (i) s += sep;
        s += c.vm.toStr(o->elements[i]);
        c.charge(1);
    }
    if (s.size() > kMaxString) s.resize(kMaxString);
    return Value::fromString(s);
}

Value reverse(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (o) std::reverse(o->elements.begin(), o->elements.end());
    return c.thisValue;
}

Value concat(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    Value a = c.vm.newObject(true);
    if (!o || !a.object) return a;
    std::vector<Value>& out = a.object->elements;
    out = o->elements;
    for (const Value& v : c.args) {
        if (out.size() >= kMaxElements) break;
        if (v.type == Value::Object && v.object && v.object->isArray) {
            for (const Value& e : v.object->elements) {
                if (out.size() >= kMaxElements) break;
                out.push_back(e);
            }
        } else {
            out.push_back(v);
        }
    }
    c.charge(out.size() / 16);
    return a;
}

Value slice(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    Value a = c.vm.newObject(true);
    if (!o || !a.object) return a;
    long n = static_cast<long>(o->elements.size());
    double b = c.num(0, 0), e = c.args.size() > 1 ? c.num(1, 0) : static_cast<double>(n);
    if (b < 0) b += n;
    if (e < 0) e += n;
    long x = std::isnan(b) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, b)));
    long y = std::isnan(e) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, e)));
    for (long i = x; i < y; ++i) a.object->elements.push_back(o->elements[i]);
    c.charge(a.object->elements.size() / 16);
    return a;
}

Value arrayToString(NativeCall& c) { return Value::fromString(c.vm.toStr(c.thisValue)); }

}  // namespace

void installArray(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Array", arrayCtor);
    if (!proto) return;
    realm.protos().array = proto;
    realm.methods(*proto, {{"push", push},
                           {"unshift", unshift},
                           {"pop", pop},
                           {"shift", shift},
                           {"join", join},
                           {"reverse", reverse},
                           {"concat", concat},
                           {"slice", slice},
                           {"toString", arrayToString}});
}

}  // namespace flash
