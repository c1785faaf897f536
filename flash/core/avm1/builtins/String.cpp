// String: conversion function, boxed strings and String.prototype. Indexes
// count characters as length does: UTF-8 characters from version 6, the
// locale's double-byte characters before.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

std::string thisString(NativeCall& c) {
    if (c.thisValue.type == Value::String) return c.thisValue.string;
    ScriptObject* o = c.self();
    return o && o->internal.type == Value::String ? o->internal.string : c.vm.toStr(c.thisValue);
}

// An index argument clamped into 0..n (NaN: 0).
long clampIndex(double d, long n) {
    if (std::isnan(d)) return 0;
    return static_cast<long>(std::max(0.0, std::min(static_cast<double>(n), std::trunc(d))));
}

Value stringCtor(NativeCall& c) {
    Value v = Value::fromString(c.args.empty() ? "" : c.str(0));
    if (!c.constructing) return v;
    if (ScriptObject* o = c.self()) {
        o->internal = v;
        o->set(c.vm.key("length"),
               Value::fromNumber(static_cast<double>(CharIndex(v.string, c.vm.version()).count())),
               kDontEnum);
    }
    return Value();
}

Value changeCase(NativeCall& c, bool upper) {
    std::string r = thisString(c);
    for (char& ch : r) {
        if (upper && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        if (!upper && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
    c.charge(r.size() / 256);
    return Value::fromString(r);
}

Value toUpperCase(NativeCall& c) { return changeCase(c, true); }
Value toLowerCase(NativeCall& c) { return changeCase(c, false); }

Value charAt(NativeCall& c) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    double d = c.num(0, 0);
    if (!(d >= 0 && d < static_cast<double>(ix.count()))) return Value::fromString("");
    long i = static_cast<long>(d);
    return Value::fromString(ix.slice(i, i + 1));
}

// The code of one character: its code point in UTF-8 text, the byte pair of
// a double-byte locale character.
double codeOf(const std::string& ch, int version) {
    if (ch.empty()) return std::nan("");
    unsigned char c0 = static_cast<unsigned char>(ch[0]);
    if (ch.size() == 1) return c0;
    if (version < 6) return c0 * 256.0 + static_cast<unsigned char>(ch[1]);
    int extra = static_cast<int>(ch.size()) - 1;
    unsigned cp = c0 & (0x3F >> extra);
    for (size_t i = 1; i < ch.size(); ++i) cp = (cp << 6) | (static_cast<unsigned char>(ch[i]) & 0x3F);
    return cp;
}

Value charCodeAt(NativeCall& c) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    double d = c.num(0, 0);
    if (!(d >= 0 && d < static_cast<double>(ix.count()))) return Value::fromNumber(std::nan(""));
    long i = static_cast<long>(d);
    return Value::fromNumber(codeOf(ix.slice(i, i + 1), c.vm.version()));
}

Value indexOf(NativeCall& c) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    c.charge(s.size() / 64);
    std::string what = c.str(0);
    size_t at = s.find(what, ix.byteOf(clampIndex(c.num(1, 0), ix.count())));
    // A match must start on a character, not inside one.
    while (at != std::string::npos && !ix.ascii && ix.byteOf(ix.charOf(at)) != at) at = s.find(what, at + 1);
    return Value::fromNumber(at == std::string::npos ? -1.0 : static_cast<double>(ix.charOf(at)));
}

Value lastIndexOf(NativeCall& c) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    long n = ix.count();
    c.charge(s.size() / 64);
    std::string what = c.str(0);
    size_t at = s.rfind(what, ix.byteOf(clampIndex(c.num(1, static_cast<double>(n)), n)));
    while (at != std::string::npos && at > 0 && !ix.ascii && ix.byteOf(ix.charOf(at)) != at)
        at = s.rfind(what, at - 1);
    if (at != std::string::npos && !ix.ascii && ix.byteOf(ix.charOf(at)) != at) at = std::string::npos;
    return Value::fromNumber(at == std::string::npos ? -1.0 : static_cast<double>(ix.charOf(at)));
}

Value substr(NativeCall& c) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    long n = ix.count();
    double start = c.num(0, 0);
    if (start < 0) start += n;
    long b = clampIndex(start, n);
    double count = c.args.size() > 1 ? c.num(1, 0) : static_cast<double>(n);
    long e = std::min(n, b + clampIndex(count, n));
    return Value::fromString(ix.slice(b, e));
}

Value substringOrSlice(NativeCall& c, bool slice) {
    std::string s = thisString(c);
    CharIndex ix(s, c.vm.version());
    long n = ix.count();
    double a = c.num(0, 0), b = c.args.size() > 1 ? c.num(1, 0) : static_cast<double>(n);
    if (slice) {
        if (a < 0) a += n;
        if (b < 0) b += n;
    }
    long x = clampIndex(a, n), y = clampIndex(b, n);
    if (!slice && x > y) std::swap(x, y);
    return Value::fromString(ix.slice(x, y));
}

Value substring(NativeCall& c) { return substringOrSlice(c, false); }
Value slice(NativeCall& c) { return substringOrSlice(c, true); }

Value split(NativeCall& c) {
    std::string s = thisString(c);
    Value a = c.vm.newObject(true);
    if (!a.object) return a;
    std::vector<Value>& el = a.object->elements;
    std::string sep = c.str(0);
    c.charge(s.size() / 16);
    if (c.args.empty()) {
        el.push_back(Value::fromString(s));
    } else if (sep.empty()) {
        CharIndex ix(s, c.vm.version());
        for (long i = 0; i < ix.count() && el.size() < kMaxElements; ++i)
            el.push_back(Value::fromString(ix.slice(i, i + 1)));
    } else {
        size_t from = 0;
        while (el.size() < kMaxElements) {
            size_t at = s.find(sep, from);
            el.push_back(
                Value::fromString(s.substr(from, at == std::string::npos ? std::string::npos : at - from)));
            if (at == std::string::npos) break;
            from = at + sep.size();
        }
    }
    return a;
}

Value stringToString(NativeCall& c) { return Value::fromString(thisString(c)); }

Value concat(NativeCall& c) {
    std::string s = thisString(c);
    for (size_t i = 0; i < c.args.size() && s.size() <= kMaxString; ++i) s += c.str(i);
    if (s.size() > kMaxString) s.resize(kMaxString);
    c.charge(s.size() / 256);
    return Value::fromString(s);
}

// String.fromCharCode(codes...): UTF-8 in files of version 6 and later,
// one byte per code before.
Value fromCharCode(NativeCall& c) {
    std::string s;
    c.charge(c.args.size());
    for (size_t i = 0; i < c.args.size() && s.size() < kMaxString; ++i) {
        double d = c.num(i, 0);
        unsigned cp =
            std::isfinite(d) && d > 0 ? static_cast<unsigned>(std::fmod(std::trunc(d), 65536.0)) : 0;
        if (cp == 0) continue;
        if (c.vm.version() >= 6) {
            appendUtf8(s, cp);
        } else {
            s.push_back(static_cast<char>(cp & 0xFF));
        }
    }
    return Value::fromString(s);
}

}  // namespace

void appendUtf8(std::string& s, unsigned cp) {
    if (cp < 0x80) {
        s.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void installString(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("String", stringCtor);
    if (!proto) return;
    realm.protos().string = proto;
    realm.methods(*proto, {{"toUpperCase", toUpperCase},
                           {"toLowerCase", toLowerCase},
                           {"charAt", charAt},
                           {"charCodeAt", charCodeAt},
                           {"indexOf", indexOf},
                           {"lastIndexOf", lastIndexOf},
                           {"substr", substr},
                           {"substring", substring},
                           {"slice", slice},
                           {"split", split},
                           {"toString", stringToString},
                           {"concat", concat},
                           {"valueOf", stringToString}});
    const Value* ctor = realm.global.find(realm.key("String"));
    if (ctor && ctor->object) realm.method(*ctor->object, "fromCharCode", fromCharCode);
}

}  // namespace flash
