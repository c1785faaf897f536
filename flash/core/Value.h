// AVM1 values (the subset without objects) and their conversions, which
// depend on the file version of the script.
#pragma once

#include <string>

namespace flash {

struct Value {
    enum Type : unsigned char { Undefined, Null, Boolean, Number, String } type = Undefined;
    bool boolean = false;
    double number = 0;
    std::string string;

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
};

double toNumber(const Value& v, int version);
std::string toString(const Value& v, int version);
bool toBoolean(const Value& v, int version);
std::string numberToString(double d);
// ECMAScript-style loose equality of the value subset.
bool looseEquals(const Value& a, const Value& b, int version);

}  // namespace flash
