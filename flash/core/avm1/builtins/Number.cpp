// Number: conversion function, boxed numbers and Number.prototype.
#include <cfloat>
#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

double thisNumber(NativeCall& c) {
    if (c.thisValue.type == Value::Number) return c.thisValue.number;
    ScriptObject* o = c.self();
    return o && o->internal.type == Value::Number ? o->internal.number : c.vm.toNum(c.thisValue);
}

Value numberCtor(NativeCall& c) {
    Value v = Value::fromNumber(c.args.empty() ? 0 : c.num(0));
    if (!c.constructing) return v;
    if (ScriptObject* o = c.self()) o->internal = v;
    return Value();
}

// Digits of a whole number in a radix from 2 to 36.
std::string radixString(double d, int radix) {
    if (!std::isfinite(d) || radix == 10 || radix < 2 || radix > 36) return numberToString(d);
    double n = std::trunc(std::fabs(d));
    if (n > 9007199254740992.0) return numberToString(d);
    std::string s;
    do {
        int digit = static_cast<int>(std::fmod(n, radix));
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[digit]);
        n = std::floor(n / radix);
    } while (n > 0);
    if (d < 0 && s != "0") s.insert(s.begin(), '-');
    return s;
}

Value numberToStringFn(NativeCall& c) {
    int radix = c.args.empty() ? 10 : clampToInt(c.num(0));
    return Value::fromString(radixString(thisNumber(c), radix));
}

Value numberValueOf(NativeCall& c) { return Value::fromNumber(thisNumber(c)); }

}  // namespace

void installNumber(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Number", numberCtor);
    if (!proto) return;
    realm.protos().number = proto;
    proto->internal = Value::fromNumber(0);
    realm.methods(*proto, {{"toString", numberToStringFn}, {"valueOf", numberValueOf}});
    const Value* ctor = realm.global.find(realm.key("Number"));
    if (!ctor || !ctor->object) return;
    ScriptObject& n = *ctor->object;
    realm.constant(n, "MAX_VALUE", Value::fromNumber(DBL_MAX));
    realm.constant(n, "MIN_VALUE", Value::fromNumber(4.9406564584124654e-324));
    realm.constant(n, "NaN", Value::fromNumber(std::nan("")));
    realm.constant(n, "POSITIVE_INFINITY", Value::fromNumber(INFINITY));
    realm.constant(n, "NEGATIVE_INFINITY", Value::fromNumber(-INFINITY));
}

}  // namespace flash
