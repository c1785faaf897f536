// Global functions: parseInt, parseFloat, isNaN, isFinite.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Value parseIntFn(NativeCall& c) {
    std::string s = c.str(0);
    int radix = c.args.size() > 1 ? clampToInt(c.num(1)) : 10;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    if ((c.args.size() < 2 || radix == 16) && i + 1 < s.size() && s[i] == '0' &&
        (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    if (radix < 2 || radix > 36) return Value::fromNumber(std::nan(""));
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        char ch = s[i];
        int d =
            ch >= '0' && ch <= '9'
                ? ch - '0'
                : (ch >= 'a' && ch <= 'z' ? ch - 'a' + 10 : (ch >= 'A' && ch <= 'Z' ? ch - 'A' + 10 : 99));
        if (d >= radix) break;
        v = v * radix + d;
        any = true;
    }
    return Value::fromNumber(any ? (neg ? -v : v) : std::nan(""));
}

Value parseFloatFn(NativeCall& c) {
    std::string s = c.str(0);
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    return Value::fromNumber(end == s.c_str() ? std::nan("") : v);
}

Value escapeFn(NativeCall& c) {
    std::string out = urlEncode(c.str(0));
    c.charge(out.size() / 64);
    return Value::fromString(out);
}

int hexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

Value unescapeFn(NativeCall& c) {
    std::string s = c.str(0), out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    c.charge(out.size() / 64);
    return Value::fromString(out);
}

Value isNaNFn(NativeCall& c) { return c.vm.boolResult(std::isnan(c.num(0))); }
Value isFiniteFn(NativeCall& c) { return c.vm.boolResult(std::isfinite(c.num(0))); }

}  // namespace

// escape: every byte but letters, digits and @-*_+./ as %XX.
std::string urlEncode(const std::string& s) {
    std::string out;
    static const char* const kHex = "0123456789ABCDEF";
    for (unsigned char ch : s) {
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
            (ch && std::strchr("@-*_+./", ch))) {
            out.push_back(static_cast<char>(ch));
        } else {
            out.push_back('%');
            out.push_back(kHex[ch >> 4]);
            out.push_back(kHex[ch & 15]);
        }
    }
    return out;
}

void installGlobals(Realm& realm) {
    realm.methods(realm.global, {{"parseInt", parseIntFn},
                                 {"parseFloat", parseFloatFn},
                                 {"isNaN", isNaNFn},
                                 {"isFinite", isFiniteFn},
                                 {"escape", escapeFn},
                                 {"unescape", unescapeFn}});
    realm.constant(realm.global, "NaN", Value::fromNumber(std::nan("")));
    realm.constant(realm.global, "Infinity", Value::fromNumber(INFINITY));
}

}  // namespace flash
