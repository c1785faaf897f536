// flash.geom.Point: x and y, vector arithmetic on them.
#include <cmath>

#include "flash/core/avm1/Geometry.h"

namespace flash {

namespace {

Value ctor(NativeCall& c) {
    if (ScriptObject* o = c.self()) {
        o->set(c.vm.key("x"), Value::fromNumber(c.args.size() > 0 ? c.num(0) : 0));
        o->set(c.vm.key("y"), Value::fromNumber(c.args.size() > 1 ? c.num(1) : 0));
    }
    return Value();
}

double x(NativeCall& c, const Value& v) { return member(c, v, "x"); }
double y(NativeCall& c, const Value& v) { return member(c, v, "y"); }
Value point(NativeCall& c, double px, double py) { return newGeom(c, "Point", {{"x", px}, {"y", py}}); }

Value add(NativeCall& c) {
    return point(c, x(c, c.thisValue) + x(c, c.arg(0)), y(c, c.thisValue) + y(c, c.arg(0)));
}
Value subtract(NativeCall& c) {
    return point(c, x(c, c.thisValue) - x(c, c.arg(0)), y(c, c.thisValue) - y(c, c.arg(0)));
}
Value clone(NativeCall& c) { return point(c, x(c, c.thisValue), y(c, c.thisValue)); }
Value equals(NativeCall& c) {
    return c.vm.boolResult(c.arg(0).type == Value::Object && x(c, c.thisValue) == x(c, c.arg(0)) &&
                           y(c, c.thisValue) == y(c, c.arg(0)));
}
Value length(NativeCall& c) { return Value::fromNumber(std::hypot(x(c, c.thisValue), y(c, c.thisValue))); }
Value normalize(NativeCall& c) {
    double len = std::hypot(x(c, c.thisValue), y(c, c.thisValue)), to = c.num(0, 0);
    if (len > 0) {
        setMember(c, c.thisValue, "x", x(c, c.thisValue) * to / len);
        setMember(c, c.thisValue, "y", y(c, c.thisValue) * to / len);
    }
    return Value();
}
Value offset(NativeCall& c) {
    setMember(c, c.thisValue, "x", x(c, c.thisValue) + c.num(0, 0));
    setMember(c, c.thisValue, "y", y(c, c.thisValue) + c.num(1, 0));
    return Value();
}
Value toString(NativeCall& c) { return Value::fromString(geomText(c, c.thisValue, {"x", "y"}, {})); }
Value distance(NativeCall& c) {
    return Value::fromNumber(std::hypot(x(c, c.arg(0)) - x(c, c.arg(1)), y(c, c.arg(0)) - y(c, c.arg(1))));
}
// interpolate(p1, p2, f): f = 1 gives p1, 0 gives p2.
Value interpolate(NativeCall& c) {
    double f = c.num(2, 0);
    return point(c, x(c, c.arg(1)) + (x(c, c.arg(0)) - x(c, c.arg(1))) * f,
                 y(c, c.arg(1)) + (y(c, c.arg(0)) - y(c, c.arg(1))) * f);
}
Value polar(NativeCall& c) {
    double len = c.num(0, 0), angle = c.num(1, 0);
    return point(c, len * std::cos(angle), len * std::sin(angle));
}

}  // namespace

void installPoint(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = defineGeomClass(realm, "Point", ctor);
    if (!proto) return;
    realm.methods(*proto, {{"add", add},
                           {"subtract", subtract},
                           {"clone", clone},
                           {"equals", equals},
                           {"normalize", normalize},
                           {"offset", offset},
                           {"toString", toString}});
    realm.accessor(*proto, "length", length, nullptr);
    const Value* geom = geomPackage(realm)->find(realm.key("Point"));
    if (!geom || geom->type != Value::Object) return;
    realm.methods(*geom->object, {{"distance", distance}, {"interpolate", interpolate}, {"polar", polar}});
}

}  // namespace flash
