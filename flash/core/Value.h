// AVM1 values and their conversions, which depend on the file version of
// the script. Objects, arrays and functions are shared ScriptObjects;
// movie clips are referenced weakly, so a removed clip reads as gone.
#pragma once

#include <cstdint>
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

// A script function: its body lies in the movie's data.
struct FunctionDef {
    const uint8_t* code = nullptr;
    size_t size = 0;
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegisters;  // DefineFunction2: 0 = a named local
    uint8_t registerCount = 0;
    uint16_t flags = 0;  // DefineFunction2 preload and suppress flags
    bool version2 = false;
    std::vector<std::string> pool;       // constant pool when defined
    std::weak_ptr<DisplayObject> scope;  // timeline it was defined on
};

struct ScriptObject {
    std::map<std::string, Value> props;
    bool isArray = false;
    std::vector<Value> elements;  // arrays
    std::shared_ptr<ScriptObject> proto;
    std::shared_ptr<FunctionDef> function;  // script functions
    int native = 0;                         // built-in functions (non-zero id)

    bool isFunction() const { return function || native; }
    // Own or inherited property, or null.
    const Value* find(const std::string& name) const;
};

double toNumber(const Value& v, int version);
std::string toString(const Value& v, int version);
bool toBoolean(const Value& v, int version);
std::string numberToString(double d);
// ECMAScript-style loose equality; objects and clips equal only themselves.
bool looseEquals(const Value& a, const Value& b, int version);
bool strictEquals(const Value& a, const Value& b);
// "_level0.a.b" of a live clip, "" of a removed one.
std::string clipPath(const DisplayObject* clip);

}  // namespace flash
