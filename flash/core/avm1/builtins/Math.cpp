// Math: functions and constants.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

template <double (*F)(double)>
Value unary(NativeCall& c) {
    return Value::fromNumber(F(c.num(0)));
}

template <double (*F)(double, double)>
Value binary(NativeCall& c) {
    return Value::fromNumber(F(c.num(0), c.num(1)));
}

double roundHalfUp(double d) { return std::floor(d + 0.5); }
double absolute(double d) { return std::fabs(d); }
double floorOf(double d) { return std::floor(d); }
double ceilOf(double d) { return std::ceil(d); }
double sqrtOf(double d) { return std::sqrt(d); }
double sinOf(double d) { return std::sin(d); }
double cosOf(double d) { return std::cos(d); }
double tanOf(double d) { return std::tan(d); }
double asinOf(double d) { return std::asin(d); }
double acosOf(double d) { return std::acos(d); }
double atanOf(double d) { return std::atan(d); }
double expOf(double d) { return std::exp(d); }
double logOf(double d) { return std::log(d); }
double powOf(double a, double b) { return std::pow(a, b); }
double atan2Of(double a, double b) { return std::atan2(a, b); }

Value minMax(NativeCall& c, bool min) {
    if (c.args.empty()) return Value::fromNumber(min ? INFINITY : -INFINITY);
    double a = c.num(0), b = c.args.size() > 1 ? c.num(1) : a;
    if (std::isnan(a) || std::isnan(b)) return Value::fromNumber(std::nan(""));
    return Value::fromNumber(min ? std::min(a, b) : std::max(a, b));
}

Value mathMin(NativeCall& c) { return minMax(c, true); }
Value mathMax(NativeCall& c) { return minMax(c, false); }
Value mathRandom(NativeCall& c) { return Value::fromNumber(c.vm.random()); }

}  // namespace

void installMath(Realm& realm) {
    std::shared_ptr<ScriptObject> math = realm.object();
    if (!math) return;
    realm.methods(*math, {{"abs", unary<absolute>},
                          {"floor", unary<floorOf>},
                          {"ceil", unary<ceilOf>},
                          {"round", unary<roundHalfUp>},
                          {"min", mathMin},
                          {"max", mathMax},
                          {"sqrt", unary<sqrtOf>},
                          {"pow", binary<powOf>},
                          {"sin", unary<sinOf>},
                          {"cos", unary<cosOf>},
                          {"tan", unary<tanOf>},
                          {"asin", unary<asinOf>},
                          {"acos", unary<acosOf>},
                          {"atan", unary<atanOf>},
                          {"atan2", binary<atan2Of>},
                          {"exp", unary<expOf>},
                          {"log", unary<logOf>},
                          {"random", mathRandom}});
    realm.constant(*math, "PI", Value::fromNumber(3.14159265358979323846));
    realm.constant(*math, "E", Value::fromNumber(2.718281828459045));
    realm.constant(*math, "SQRT2", Value::fromNumber(1.4142135623730951));
    realm.constant(*math, "SQRT1_2", Value::fromNumber(0.7071067811865476));
    realm.constant(*math, "LN2", Value::fromNumber(0.6931471805599453));
    realm.constant(*math, "LN10", Value::fromNumber(2.302585092994046));
    realm.constant(*math, "LOG2E", Value::fromNumber(1.4426950408889634));
    realm.constant(*math, "LOG10E", Value::fromNumber(0.4342944819032518));
    realm.global.set(realm.key("Math"), Value::fromObject(math), kDontEnum);
}

}  // namespace flash
