// flash.geom.Matrix: a, b, c, d, tx, ty (pixels) and the affine operations.
#include <cmath>

#include "flash/core/avm1/Geometry.h"

namespace flash {

Matrix matrixOf(NativeCall& c, const Value& v) {
    return {member(c, v, "a"), member(c, v, "b"),  member(c, v, "c"),
            member(c, v, "d"), member(c, v, "tx"), member(c, v, "ty")};
}

Value newMatrix(NativeCall& c, const Matrix& m) {
    return newGeom(c, "Matrix", {{"a", m.a}, {"b", m.b}, {"c", m.c}, {"d", m.d}, {"tx", m.tx}, {"ty", m.ty}});
}

namespace {

void store(NativeCall& c, const Matrix& m) {
    const std::pair<const char*, double> fields[] = {{"a", m.a}, {"b", m.b},   {"c", m.c},
                                                     {"d", m.d}, {"tx", m.tx}, {"ty", m.ty}};
    for (const auto& f : fields) setMember(c, c.thisValue, f.first, f.second);
}

Value ctor(NativeCall& c) {
    const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
    const double identity[] = {1, 0, 0, 1, 0, 0};
    if (ScriptObject* o = c.self())
        for (size_t i = 0; i < 6; ++i)
            o->set(c.vm.key(names[i]), Value::fromNumber(c.args.size() > i ? c.num(i) : identity[i]));
    return Value();
}

// Operations that apply after the current matrix: this = op * this.
void after(NativeCall& c, const Matrix& op) { store(c, op * matrixOf(c, c.thisValue)); }

Value identity(NativeCall& c) {
    store(c, Matrix());
    return Value();
}
Value translate(NativeCall& c) {
    after(c, Matrix::translate(c.num(0, 0), c.num(1, 0)));
    return Value();
}
Value scale(NativeCall& c) {
    after(c, Matrix::scale(c.num(0, 1), c.num(1, 1)));
    return Value();
}
Value rotate(NativeCall& c) {
    double q = c.num(0, 0);
    after(c, {std::cos(q), std::sin(q), -std::sin(q), std::cos(q), 0, 0});
    return Value();
}
Value concat(NativeCall& c) {
    after(c, matrixOf(c, c.arg(0)));
    return Value();
}
Value invert(NativeCall& c) {
    Matrix inv;
    if (!matrixOf(c, c.thisValue).invert(inv)) inv = Matrix();
    store(c, inv);
    return Value();
}
Value createBox(NativeCall& c) {
    double sx = c.num(0, 1), sy = c.num(1, 1), q = c.num(2, 0);
    Matrix m{std::cos(q) * sx, std::sin(q) * sy, -std::sin(q) * sx,
             std::cos(q) * sy, c.num(3, 0),      c.num(4, 0)};
    store(c, m);
    return Value();
}
Value transformPoint(NativeCall& c) {
    Matrix m = matrixOf(c, c.thisValue);
    double x = member(c, c.arg(0), "x"), y = member(c, c.arg(0), "y");
    return newGeom(c, "Point", {{"x", m.mapX(x, y)}, {"y", m.mapY(x, y)}});
}
Value deltaTransformPoint(NativeCall& c) {
    Matrix m = matrixOf(c, c.thisValue);
    double x = member(c, c.arg(0), "x"), y = member(c, c.arg(0), "y");
    return newGeom(c, "Point", {{"x", m.a * x + m.c * y}, {"y", m.b * x + m.d * y}});
}
Value clone(NativeCall& c) { return newMatrix(c, matrixOf(c, c.thisValue)); }
Value toString(NativeCall& c) {
    return Value::fromString(geomText(c, c.thisValue, {"a", "b", "c", "d", "tx", "ty"}, {}));
}

}  // namespace

void installGeomMatrix(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = defineGeomClass(realm, "Matrix", ctor);
    if (!proto) return;
    realm.methods(*proto, {{"identity", identity},
                           {"translate", translate},
                           {"scale", scale},
                           {"rotate", rotate},
                           {"concat", concat},
                           {"invert", invert},
                           {"createBox", createBox},
                           {"transformPoint", transformPoint},
                           {"deltaTransformPoint", deltaTransformPoint},
                           {"clone", clone},
                           {"toString", toString}});
}

}  // namespace flash
