// flash.geom.Transform and MovieClip.transform: a clip's matrix and colour
// transform read and written as Matrix and ColorTransform objects.
#include "flash/core/avm1/Geometry.h"

namespace flash {

namespace {

std::shared_ptr<DisplayObject> clipOfTransform(NativeCall& c) {
    ScriptObject* o = c.self();
    return o ? c.vm.clipOf(o->internal) : nullptr;
}

Value makeTransform(NativeCall& c, const Value& clip) {
    Value t = newGeom(c, "Transform", {});
    if (t.object) t.object->internal = clip;
    return t;
}

Value ctor(NativeCall& c) {
    if (ScriptObject* o = c.self()) o->internal = c.arg(0).type == Value::Clip ? c.arg(0) : Value();
    return Value();
}

Value pixels(NativeCall& c, Matrix m) {
    m.tx /= 20;
    m.ty /= 20;
    return newMatrix(c, m);
}

Value matrix(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = clipOfTransform(c);
    return clip ? pixels(c, clip->matrix) : Value();
}

Value setMatrix(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = clipOfTransform(c);
    if (!clip || c.arg(0).type != Value::Object) return Value();
    Matrix m = matrixOf(c, c.arg(0));
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty})
        if (!std::isfinite(v)) return Value();
    m.tx *= 20;
    m.ty *= 20;
    clip->matrix = m;
    clip->scriptTransformed = true;
    return Value();
}

Value concatenatedMatrix(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = clipOfTransform(c);
    return clip ? pixels(c, c.engine().worldMatrix(clip.get())) : Value();
}

Value colorTransform(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = clipOfTransform(c);
    return clip ? newColorTransform(c, clip->cxform) : Value();
}

Value setColorTransform(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = clipOfTransform(c);
    if (!clip || c.arg(0).type != Value::Object) return Value();
    clip->cxform = colorTransformOf(c, c.arg(0));
    clip->scriptTransformed = true;
    return Value();
}

Value clipTransform(NativeCall& c) { return c.clip() ? makeTransform(c, c.thisValue) : Value(); }

// clip.transform = t: the clip takes t's matrix and colour transform.
Value setClipTransform(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    Value t = c.arg(0);
    if (!clip || t.type != Value::Object) return Value();
    Value m = c.vm.getMember(c.frame, t, "matrix"), ct = c.vm.getMember(c.frame, t, "colorTransform");
    Value target = makeTransform(c, c.thisValue);
    if (m.type == Value::Object) c.vm.setMember(c.frame, target, "matrix", m);
    if (ct.type == Value::Object) c.vm.setMember(c.frame, target, "colorTransform", ct);
    return Value();
}

}  // namespace

void installTransform(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = defineGeomClass(realm, "Transform", ctor);
    if (!proto) return;
    realm.accessor(*proto, "matrix", matrix, setMatrix);
    realm.accessor(*proto, "colorTransform", colorTransform, setColorTransform);
    realm.accessor(*proto, "concatenatedMatrix", concatenatedMatrix, nullptr);
    if (realm.protos().movieClip)
        realm.accessor(*realm.protos().movieClip, "transform", clipTransform, setClipTransform);
}

}  // namespace flash
