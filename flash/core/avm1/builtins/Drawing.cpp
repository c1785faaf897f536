// The drawing methods of clips: lineStyle, beginFill, beginGradientFill,
// moveTo, lineTo, curveTo, endFill and clear (pixels in, twips kept).
#include "flash/core/Drawing.h"

#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Drawing* drawingOf(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || !clip->hasTimeline()) return nullptr;
    if (!clip->drawing) clip->drawing = std::make_shared<Drawing>();
    c.charge(1);
    return clip->drawing.get();
}

Rgba colorOf(NativeCall& c, size_t rgbArg, size_t alphaArg) {
    double rgb = c.num(rgbArg, 0), alpha = c.num(alphaArg, 100);
    uint32_t n = std::isfinite(rgb) ? static_cast<uint32_t>(static_cast<int64_t>(rgb)) : 0;
    if (!std::isfinite(alpha)) alpha = 100;
    alpha = std::max(0.0, std::min(100.0, alpha));
    return Rgba{static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n),
                static_cast<uint8_t>(std::lround(alpha * 2.55))};
}

double twips(NativeCall& c, size_t i) {
    double d = c.num(i, 0);
    return std::isfinite(d) ? d * 20 : 0;
}

Value lineStyle(NativeCall& c) {
    Drawing* d = drawingOf(c);
    if (!d) return Value();
    Value w = c.arg(0);
    if (w.type == Value::Undefined || w.type == Value::Null)
        d->noLine();
    else
        d->lineStyle(twips(c, 0), colorOf(c, 1, 2));
    return Value();
}

Value beginFill(NativeCall& c) {
    Drawing* d = drawingOf(c);
    if (!d) return Value();
    if (c.args.empty() || c.args[0].type == Value::Undefined) {
        d->endFill();
        return Value();
    }
    FillStyle f;
    f.color = colorOf(c, 0, 1);
    d->beginFill(f);
    return Value();
}

// A numeric member of an object (NaN when missing).
double member(NativeCall& c, const Value& o, const char* name) {
    return c.vm.toNum(c.vm.getMember(c.frame, o, name));
}

// beginGradientFill(type, colors, alphas, ratios, matrix)
Value beginGradientFill(NativeCall& c) {
    Drawing* d = drawingOf(c);
    if (!d || c.args.size() < 5) return Value();
    std::string type = foldCase(c.str(0));
    const Value colors = c.arg(1), alphas = c.arg(2), ratios = c.arg(3), box = c.arg(4);
    if (colors.type != Value::Object || !colors.object->isArray || alphas.type != Value::Object ||
        !alphas.object->isArray || ratios.type != Value::Object || !ratios.object->isArray ||
        box.type != Value::Object || (type != "linear" && type != "radial"))
        return Value();
    size_t n = std::min({colors.object->elements.size(), alphas.object->elements.size(),
                         ratios.object->elements.size(), size_t(15)});
    if (n == 0) return Value();
    FillStyle f;
    f.kind = type == "linear" ? FillKind::Linear : FillKind::Radial;
    for (size_t i = 0; i < n; ++i) {
        double rgb = c.vm.toNum(colors.object->elements[i]), a = c.vm.toNum(alphas.object->elements[i]);
        double r = c.vm.toNum(ratios.object->elements[i]);
        uint32_t v = std::isfinite(rgb) ? static_cast<uint32_t>(static_cast<int64_t>(rgb)) : 0;
        a = std::isfinite(a) ? std::max(0.0, std::min(100.0, a)) : 100;
        r = std::isfinite(r) ? std::max(0.0, std::min(255.0, r)) : 0;
        GradientStop s;
        s.ratio = static_cast<uint8_t>(r);
        s.color = Rgba{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
                       static_cast<uint8_t>(std::lround(a * 2.55))};
        f.gradient.stops.push_back(s);
    }
    // The gradient square (32768 units across) onto the clip: a box
    // {matrixType: "box", x, y, w, h, r} or a matrix {a, b, c, d, tx, ty}
    // of pixels.
    Matrix m;
    if (foldCase(c.vm.toStr(c.vm.getMember(c.frame, box, "matrixType"))) == "box") {
        double x = member(c, box, "x"), y = member(c, box, "y"), w = member(c, box, "w"),
               h = member(c, box, "h"), r = member(c, box, "r");
        if (!std::isfinite(r)) r = 0;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return Value();
        double sx = w * 20 / 32768, sy = h * 20 / 32768;
        m.a = std::cos(r) * sx;
        m.b = std::sin(r) * sx;
        m.c = -std::sin(r) * sy;
        m.d = std::cos(r) * sy;
        m.tx = (x + w / 2) * 20;
        m.ty = (y + h / 2) * 20;
    } else {
        double v[6] = {member(c, box, "a"), member(c, box, "b"),  member(c, box, "c"),
                       member(c, box, "d"), member(c, box, "tx"), member(c, box, "ty")};
        for (double x : v)
            if (!std::isfinite(x)) return Value();
        m.a = v[0];
        m.b = v[1];
        m.c = v[2];
        m.d = v[3];
        m.tx = v[4] * 20;
        m.ty = v[5] * 20;
    }
    f.matrix = m;
    d->beginFill(f);
    return Value();
}

Value endFill(NativeCall& c) {
    if (Drawing* d = drawingOf(c)) d->endFill();
    return Value();
}

Value moveTo(NativeCall& c) {
    if (Drawing* d = drawingOf(c)) d->moveTo(twips(c, 0), twips(c, 1));
    return Value();
}

Value lineTo(NativeCall& c) {
    if (Drawing* d = drawingOf(c)) d->lineTo(twips(c, 0), twips(c, 1));
    return Value();
}

Value curveTo(NativeCall& c) {
    if (Drawing* d = drawingOf(c)) d->curveTo(twips(c, 0), twips(c, 1), twips(c, 2), twips(c, 3));
    return Value();
}

Value clear(NativeCall& c) {
    if (Drawing* d = drawingOf(c)) d->clear();
    return Value();
}

}  // namespace

void installDrawing(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.protos().movieClip;
    if (!proto) return;
    realm.methods(*proto, {{"lineStyle", lineStyle},
                           {"beginFill", beginFill},
                           {"beginGradientFill", beginGradientFill},
                           {"endFill", endFill},
                           {"moveTo", moveTo},
                           {"lineTo", lineTo},
                           {"curveTo", curveTo},
                           {"clear", clear}});
}

}  // namespace flash
