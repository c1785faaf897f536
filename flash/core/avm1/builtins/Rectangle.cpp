// flash.geom.Rectangle: x, y, width and height, with edges and corners as
// accessors and the usual tests and combinations.
#include <algorithm>

#include "flash/core/avm1/Geometry.h"

namespace flash {

namespace {

struct Box {
    double x, y, w, h;
};

Box boxOf(NativeCall& c, const Value& v) {
    return {member(c, v, "x"), member(c, v, "y"), member(c, v, "width"), member(c, v, "height")};
}

Value rect(NativeCall& c, const Box& b) {
    return newGeom(c, "Rectangle", {{"x", b.x}, {"y", b.y}, {"width", b.w}, {"height", b.h}});
}

bool empty(const Box& b) { return !(b.w > 0 && b.h > 0); }

Value ctor(NativeCall& c) {
    const char* names[] = {"x", "y", "width", "height"};
    if (ScriptObject* o = c.self())
        for (size_t i = 0; i < 4; ++i)
            o->set(c.vm.key(names[i]), Value::fromNumber(c.args.size() > i ? c.num(i) : 0));
    return Value();
}

Value left(NativeCall& c) { return Value::fromNumber(member(c, c.thisValue, "x")); }
Value top(NativeCall& c) { return Value::fromNumber(member(c, c.thisValue, "y")); }
Value right(NativeCall& c) {
    return Value::fromNumber(member(c, c.thisValue, "x") + member(c, c.thisValue, "width"));
}
Value bottom(NativeCall& c) {
    return Value::fromNumber(member(c, c.thisValue, "y") + member(c, c.thisValue, "height"));
}
// Moving the left or top edge keeps the opposite edge where it is.
Value setLeft(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    setMember(c, c.thisValue, "width", b.x + b.w - c.num(0));
    setMember(c, c.thisValue, "x", c.num(0));
    return Value();
}
Value setTop(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    setMember(c, c.thisValue, "height", b.y + b.h - c.num(0));
    setMember(c, c.thisValue, "y", c.num(0));
    return Value();
}
Value setRight(NativeCall& c) {
    setMember(c, c.thisValue, "width", c.num(0) - member(c, c.thisValue, "x"));
    return Value();
}
Value setBottom(NativeCall& c) {
    setMember(c, c.thisValue, "height", c.num(0) - member(c, c.thisValue, "y"));
    return Value();
}
Value topLeft(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    return newGeom(c, "Point", {{"x", b.x}, {"y", b.y}});
}
Value bottomRight(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    return newGeom(c, "Point", {{"x", b.x + b.w}, {"y", b.y + b.h}});
}
Value size(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    return newGeom(c, "Point", {{"x", b.w}, {"y", b.h}});
}

bool inside(const Box& b, double x, double y) {
    return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
}

Value contains(NativeCall& c) { return c.vm.boolResult(inside(boxOf(c, c.thisValue), c.num(0), c.num(1))); }
Value containsPoint(NativeCall& c) {
    return c.vm.boolResult(inside(boxOf(c, c.thisValue), member(c, c.arg(0), "x"), member(c, c.arg(0), "y")));
}
Value containsRectangle(NativeCall& c) {
    Box a = boxOf(c, c.thisValue), b = boxOf(c, c.arg(0));
    return c.vm.boolResult(!empty(b) && b.x >= a.x && b.y >= a.y && b.x + b.w <= a.x + a.w &&
                           b.y + b.h <= a.y + a.h);
}

Box intersect(const Box& a, const Box& b) {
    double x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    double x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (empty(a) || empty(b) || x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

Value intersects(NativeCall& c) {
    return c.vm.boolResult(!empty(intersect(boxOf(c, c.thisValue), boxOf(c, c.arg(0)))));
}
Value intersection(NativeCall& c) { return rect(c, intersect(boxOf(c, c.thisValue), boxOf(c, c.arg(0)))); }
Value unionFn(NativeCall& c) {
    Box a = boxOf(c, c.thisValue), b = boxOf(c, c.arg(0));
    if (empty(a)) return rect(c, b);
    if (empty(b)) return rect(c, a);
    double x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    return rect(c, {x0, y0, std::max(a.x + a.w, b.x + b.w) - x0, std::max(a.y + a.h, b.y + b.h) - y0});
}
Value inflate(NativeCall& c) {
    Box b = boxOf(c, c.thisValue);
    double dx = c.num(0, 0), dy = c.num(1, 0);
    setMember(c, c.thisValue, "x", b.x - dx);
    setMember(c, c.thisValue, "y", b.y - dy);
    setMember(c, c.thisValue, "width", b.w + 2 * dx);
    setMember(c, c.thisValue, "height", b.h + 2 * dy);
    return Value();
}
Value offset(NativeCall& c) {
    setMember(c, c.thisValue, "x", member(c, c.thisValue, "x") + c.num(0, 0));
    setMember(c, c.thisValue, "y", member(c, c.thisValue, "y") + c.num(1, 0));
    return Value();
}
Value isEmpty(NativeCall& c) { return c.vm.boolResult(empty(boxOf(c, c.thisValue))); }
Value setEmpty(NativeCall& c) {
    for (const char* n : {"x", "y", "width", "height"}) setMember(c, c.thisValue, n, 0);
    return Value();
}
Value clone(NativeCall& c) { return rect(c, boxOf(c, c.thisValue)); }
Value equals(NativeCall& c) {
    Box a = boxOf(c, c.thisValue), b = boxOf(c, c.arg(0));
    return c.vm.boolResult(c.arg(0).type == Value::Object && a.x == b.x && a.y == b.y && a.w == b.w &&
                           a.h == b.h);
}
Value toString(NativeCall& c) {
    return Value::fromString(geomText(c, c.thisValue, {"x", "y", "width", "height"}, {"x", "y", "w", "h"}));
}

}  // namespace

void installRectangle(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = defineGeomClass(realm, "Rectangle", ctor);
    if (!proto) return;
    realm.accessor(*proto, "left", left, setLeft);
    realm.accessor(*proto, "top", top, setTop);
    realm.accessor(*proto, "right", right, setRight);
    realm.accessor(*proto, "bottom", bottom, setBottom);
    realm.accessor(*proto, "topLeft", topLeft, nullptr);
    realm.accessor(*proto, "bottomRight", bottomRight, nullptr);
    realm.accessor(*proto, "size", size, nullptr);
    realm.methods(*proto, {{"contains", contains},
                           {"containsPoint", containsPoint},
                           {"containsRectangle", containsRectangle},
                           {"intersects", intersects},
                           {"intersection", intersection},
                           {"union", unionFn},
                           {"inflate", inflate},
                           {"offset", offset},
                           {"isEmpty", isEmpty},
                           {"setEmpty", setEmpty},
                           {"clone", clone},
                           {"equals", equals},
                           {"toString", toString}});
}

}  // namespace flash
