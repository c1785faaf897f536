#include "flash/core/avm1/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "flash/core/DisplayObject.h"
#include "flash/core/avm1/DateText.h"
#include "flash/core/avm1/Object.h"

namespace flash {

static double parseNumber(const std::string& s, int version) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    const double bad = version >= 5 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    if (b == e) return version >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    std::string t = s.substr(b, e - b);
    char* end = nullptr;
    double d;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        d = static_cast<double>(std::strtoll(t.c_str() + 2, &end, 16));
    } else {
        d = std::strtod(t.c_str(), &end);
    }
    if (!end || *end != 0) return bad;
    return d;
}

double toNumber(const Value& v, int version) {
    switch (v.type) {
        case Value::Undefined:
        case Value::Null:
            return version >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
        case Value::Boolean:
            return v.boolean ? 1 : 0;
        case Value::Number:
            return v.number;
        case Value::String:
            return parseNumber(v.string, version);
        case Value::Object:
            if (v.object && v.object->internal.type >= Value::Boolean &&
                v.object->internal.type <= Value::String)
                return toNumber(v.object->internal, version);
            return std::numeric_limits<double>::quiet_NaN();
        case Value::Clip:
            return std::numeric_limits<double>::quiet_NaN();
    }
    return 0;
}

std::string numberToString(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    if (d == 0) return "0";
    char buf[64];
    if (std::fabs(d) < 1e15 && d == std::floor(d)) {
        std::snprintf(buf, sizeof buf, "%.0f", d);
    } else {
        std::snprintf(buf, sizeof buf, "%.15g", d);
    }
    return buf;
}

std::string clipPath(const DisplayObject* clip) {
    if (!clip) return "";
    std::string path;
    const DisplayObject* o = clip;
    for (; o->parent; o = o->parent) path = "." + o->name + path;
    if (o->character) return "";  // detached from the stage (only level roots have none)
    return (o->name.empty() ? "_level0" : o->name) + path;
}

static std::string objectToString(const ScriptObject& o, int version, const ZoneOffset* zone, int depth) {
    if (o.isFunction()) return "[type Function]";
    if (o.isDate) {
        double t = o.internal.type == Value::Number ? o.internal.number : std::nan("");
        return dateText(t, zone && *zone ? (*zone)(t) : systemZoneOffset(t));
    }
    if (!o.isArray) return "[object Object]";
    std::string s;
    for (size_t i = 0; i < o.elements.size() && s.size() < (1u << 20); ++i) {
        if (i) s += ",";
        const Value& e = o.elements[i];
        if (e.type == Value::Object && e.object) {
            if (depth < 8) s += objectToString(*e.object, version, zone, depth + 1);
        } else {
            s += toString(e, version, zone);
        }
    }
    return s;
}

std::string toString(const Value& v, int version, const ZoneOffset* zone) {
    switch (v.type) {
        case Value::Undefined:
            return version >= 7 ? "undefined" : "";
        case Value::Null:
            return "null";
        case Value::Boolean:
            if (version <= 4) return v.boolean ? "1" : "0";
            return v.boolean ? "true" : "false";
        case Value::Number:
            return numberToString(v.number);
        case Value::String:
            return v.string;
        case Value::Object:
            if (v.object && !v.object->isDate && v.object->internal.type >= Value::Boolean &&
                v.object->internal.type <= Value::String)
                return toString(v.object->internal, version);
            return v.object ? objectToString(*v.object, version, zone, 0) : "";
        case Value::Clip: {
            std::shared_ptr<DisplayObject> c = v.clip.lock();
            return c ? clipPath(c.get()) : "";
        }
    }
    return "";
}

bool toBoolean(const Value& v, int version) {
    switch (v.type) {
        case Value::Undefined:
        case Value::Null:
            return false;
        case Value::Boolean:
            return v.boolean;
        case Value::Number:
            return v.number != 0 && !std::isnan(v.number);
        case Value::String: {
            if (version >= 7) return !v.string.empty();
            double d = parseNumber(v.string, version);
            return d != 0 && !std::isnan(d);
        }
        case Value::Object:
            return true;
        case Value::Clip:
            return !v.clip.expired();
    }
    return false;
}

bool looseEquals(const Value& a, const Value& b, int version) {
    bool aNullish = a.type == Value::Undefined || a.type == Value::Null;
    bool bNullish = b.type == Value::Undefined || b.type == Value::Null;
    if (aNullish || bNullish) return aNullish && bNullish;
    if (a.type == Value::Object || b.type == Value::Object || a.type == Value::Clip || b.type == Value::Clip)
        return strictEquals(a, b);
    if (a.type == Value::String && b.type == Value::String) return a.string == b.string;
    return toNumber(a, version) == toNumber(b, version);
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
        case Value::Undefined:
        case Value::Null:
            return true;
        case Value::Boolean:
            return a.boolean == b.boolean;
        case Value::Number:
            return a.number == b.number;
        case Value::String:
            return a.string == b.string;
        case Value::Object:
            return a.object == b.object;
        case Value::Clip:
            return !a.clip.expired() && a.clip.lock() == b.clip.lock();
    }
    return false;
}

}  // namespace flash
