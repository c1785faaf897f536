// AVM1 values and their conversions, which depend on the file version of
// the script. Objects, arrays and functions are shared ScriptObjects
// (avm1/Object.h); movie clips are referenced weakly, so a removed clip
// reads as gone.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace flash {

class DisplayObject;
struct ScriptObject;

struct Value {
    enum Type : unsigned char { Undefined, Null, Boolean, Number, String, Object, Clip } type = Undefined;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::shared_ptr<ScriptObject> object;  // Object
    std::weak_ptr<DisplayObject> clip;     // Clip

    static Value undefined() { return Value(); }
    static Value null() {
        Value v;
        v.type = Null;
        return v;
    }
    static Value fromBool(bool b) {
        Value v;
        v.type = Boolean;
        v.boolean = b;
        return v;
    }
    static Value fromNumber(double d) {
        Value v;
        v.type = Number;
        v.number = d;
        return v;
    }
    static Value fromString(std::string s) {
        Value v;
        v.type = String;
        v.string = std::move(s);
        return v;
    }
    static Value fromObject(std::shared_ptr<ScriptObject> o) {
        Value v;
        if (!o) return v;
        v.type = Object;
        v.object = std::move(o);
        return v;
    }
    static Value fromClip(const std::shared_ptr<DisplayObject>& c) {
        Value v;
        if (!c) return v;
        v.type = Clip;
        v.clip = c;
        return v;
    }
};

// Minutes local time is ahead of UTC at a moment (the engine's time zone).
using ZoneOffset = std::function<double(double utcMs)>;

double toNumber(const Value& v, int version);
// A Date reads as its text in the time zone `zone` gives (the system's
// when null or empty).
std::string toString(const Value& v, int version, const ZoneOffset* zone = nullptr);
bool toBoolean(const Value& v, int version);
std::string numberToString(double d);
// ECMAScript-style loose equality; objects and clips equal only themselves.
bool looseEquals(const Value& a, const Value& b, int version);
bool strictEquals(const Value& a, const Value& b);
// "_level0.a.b" of a live clip, "" of a removed one.
std::string clipPath(const DisplayObject* clip);

}  // namespace flash
