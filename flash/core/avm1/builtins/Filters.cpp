// flash.filters: BitmapFilter and the eight filter classes. Each instance
// keeps its values in a hidden object (its `internal`); the properties are
// getter/setter pairs on BitmapFilter.prototype that clamp what is stored
// as the player does, and array properties hand out copies.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/FilterObjects.h"

namespace flash {

namespace {

const double kPi = 3.14159265358979323846;

// How a stored value is made from what a script assigns.
enum class Rule : uint8_t {
    Number,   // any finite number (others: 0)
    Color,    // 0xRRGGBB
    Unit,     // 0..1
    Byte,     // 0..255 (blur, strength)
    Quality,  // whole 0..15
    Kernel,   // whole 0..15 (convolution size)
    Bool,
    Type,     // "inner", "outer" or "full"; others leave the value
    Colors,   // array of 0xRRGGBB, at most 16
    Alphas,   // array of 0..1, at most 16
    Ratios,   // array of 0..255, at most 16
    Numbers,  // array of finite numbers, at most 225
};

struct FilterField {
    const char* name;
    Rule rule;
};

enum FieldId {
    kDistance,
    kAngle,
    kColor,
    kAlpha,
    kBlurX,
    kBlurY,
    kStrength,
    kQuality,
    kInner,
    kKnockout,
    kHideObject,
    kHighlightColor,
    kHighlightAlpha,
    kShadowColor,
    kShadowAlpha,
    kType,
    kColors,
    kAlphas,
    kRatios,
    kMatrix,
    kMatrixX,
    kMatrixY,
    kDivisor,
    kBias,
    kPreserveAlpha,
    kClamp,
    kFieldCount
};

constexpr FilterField kFields[kFieldCount] = {
    {"distance", Rule::Number},     {"angle", Rule::Number},      {"color", Rule::Color},
    {"alpha", Rule::Unit},          {"blurX", Rule::Byte},        {"blurY", Rule::Byte},
    {"strength", Rule::Byte},       {"quality", Rule::Quality},   {"inner", Rule::Bool},
    {"knockout", Rule::Bool},       {"hideObject", Rule::Bool},   {"highlightColor", Rule::Color},
    {"highlightAlpha", Rule::Unit}, {"shadowColor", Rule::Color}, {"shadowAlpha", Rule::Unit},
    {"type", Rule::Type},           {"colors", Rule::Colors},     {"alphas", Rule::Alphas},
    {"ratios", Rule::Ratios},       {"matrix", Rule::Numbers},    {"matrixX", Rule::Kernel},
    {"matrixY", Rule::Kernel},      {"divisor", Rule::Number},    {"bias", Rule::Number},
    {"preserveAlpha", Rule::Bool},  {"clamp", Rule::Bool},
};

// A constructor parameter and the value it has when left out.
struct Param {
    FieldId field;
    double number;
    const char* text;  // for `type`
};

struct FilterClass {
    const char* name;
    FilterKind kind;
    std::vector<Param> params;
};

const std::vector<FilterClass>& classes() {
    static const std::vector<FilterClass> table = {
        {"DropShadowFilter",
         FilterKind::DropShadow,
         {{kDistance, 4, nullptr},
          {kAngle, 45, nullptr},
          {kColor, 0, nullptr},
          {kAlpha, 1, nullptr},
          {kBlurX, 4, nullptr},
          {kBlurY, 4, nullptr},
          {kStrength, 1, nullptr},
          {kQuality, 1, nullptr},
          {kInner, 0, nullptr},
          {kKnockout, 0, nullptr},
          {kHideObject, 0, nullptr}}},
        {"BlurFilter",
         FilterKind::Blur,
         {{kBlurX, 4, nullptr}, {kBlurY, 4, nullptr}, {kQuality, 1, nullptr}}},
        {"GlowFilter",
         FilterKind::Glow,
         {{kColor, 0xFF0000, nullptr},
          {kAlpha, 1, nullptr},
          {kBlurX, 6, nullptr},
          {kBlurY, 6, nullptr},
          {kStrength, 2, nullptr},
          {kQuality, 1, nullptr},
          {kInner, 0, nullptr},
          {kKnockout, 0, nullptr}}},
        {"BevelFilter",
         FilterKind::Bevel,
         {{kDistance, 4, nullptr},
          {kAngle, 45, nullptr},
          {kHighlightColor, 0xFFFFFF, nullptr},
          {kHighlightAlpha, 1, nullptr},
          {kShadowColor, 0, nullptr},
          {kShadowAlpha, 1, nullptr},
          {kBlurX, 4, nullptr},
          {kBlurY, 4, nullptr},
          {kStrength, 1, nullptr},
          {kQuality, 1, nullptr},
          {kType, 0, "inner"},
          {kKnockout, 0, nullptr}}},
        {"GradientGlowFilter",
         FilterKind::GradientGlow,
         {{kDistance, 4, nullptr},
          {kAngle, 45, nullptr},
          {kColors, 0, nullptr},
          {kAlphas, 0, nullptr},
          {kRatios, 0, nullptr},
          {kBlurX, 4, nullptr},
          {kBlurY, 4, nullptr},
          {kStrength, 1, nullptr},
          {kQuality, 1, nullptr},
          {kType, 0, "inner"},
          {kKnockout, 0, nullptr}}},
        {"GradientBevelFilter",
         FilterKind::GradientBevel,
         {{kDistance, 4, nullptr},
          {kAngle, 45, nullptr},
          {kColors, 0, nullptr},
          {kAlphas, 0, nullptr},
          {kRatios, 0, nullptr},
          {kBlurX, 4, nullptr},
          {kBlurY, 4, nullptr},
          {kStrength, 1, nullptr},
          {kQuality, 1, nullptr},
          {kType, 0, "inner"},
          {kKnockout, 0, nullptr}}},
        {"ColorMatrixFilter", FilterKind::ColorMatrix, {{kMatrix, 0, nullptr}}},
        {"ConvolutionFilter",
         FilterKind::Convolution,
         {{kMatrixX, 0, nullptr},
          {kMatrixY, 0, nullptr},
          {kMatrix, 0, nullptr},
          {kDivisor, 1, nullptr},
          {kBias, 0, nullptr},
          {kPreserveAlpha, 1, nullptr},
          {kClamp, 1, nullptr},
          {kColor, 0, nullptr},
          {kAlpha, 0, nullptr}}},
    };
    return table;
}

const char* const kKindKey = "#kind";

double finiteOr0(double d) { return std::isfinite(d) ? d : 0; }

// The hidden state of a filter object, or null.
ScriptObject* stateOf(const Value& v) {
    if (v.type != Value::Object || !v.object) return nullptr;
    const Value& in = v.object->internal;
    if (in.type != Value::Object || !in.object || !in.object->find(kKindKey)) return nullptr;
    return in.object.get();
}

bool isList(Rule r) {
    return r == Rule::Colors || r == Rule::Alphas || r == Rule::Ratios || r == Rule::Numbers;
}

double normalise(Rule rule, double d) {
    d = finiteOr0(d);
    switch (rule) {
        case Rule::Color:
        case Rule::Colors:
            return static_cast<double>(
                static_cast<uint32_t>(static_cast<int64_t>(std::fmod(d, 4294967296.0))) & 0xFFFFFF);
        case Rule::Unit:
        case Rule::Alphas:
            return std::clamp(d, 0.0, 1.0);
        case Rule::Byte:
        case Rule::Ratios:
            return std::clamp(d, 0.0, 255.0);
        case Rule::Quality:
        case Rule::Kernel:
            return std::clamp(std::floor(d), 0.0, 15.0);
        default:
            return d;
    }
}

// A new array of numbers made by `rule` from a script array (or empty).
Value listValue(Avm1& vm, Rule rule, const Value& from) {
    Value out = vm.newObject(true);
    if (!out.object) return out;
    if (from.type != Value::Object || !from.object || !from.object->isArray) return out;
    const size_t cap = rule == Rule::Numbers ? 225 : 16;
    for (const Value& e : from.object->elements) {
        if (out.object->elements.size() >= cap) break;
        out.object->elements.push_back(Value::fromNumber(normalise(rule, vm.toNum(e))));
    }
    return out;
}

void store(Avm1& vm, ScriptObject& state, FieldId id, const Value& v) {
    const FilterField& f = kFields[id];
    if (isList(f.rule)) {
        state.set(f.name, listValue(vm, f.rule, v));
    } else if (f.rule == Rule::Bool) {
        state.set(f.name, Value::fromBool(vm.toBool(v)));
    } else if (f.rule == Rule::Type) {
        std::string s = vm.toStr(v);
        if (s == "inner" || s == "outer" || s == "full") state.set(f.name, Value::fromString(s));
    } else {
        state.set(f.name, Value::fromNumber(normalise(f.rule, vm.toNum(v))));
    }
}

// A copy of a list value (scripts never share the stored array).
Value copyList(Avm1& vm, const Value& v) {
    Value out = vm.newObject(true);
    if (out.object && v.type == Value::Object && v.object) out.object->elements = v.object->elements;
    return out;
}

template <int I>
Value getField(NativeCall& c) {
    ScriptObject* s = stateOf(c.thisValue);
    const Value* v = s ? s->find(kFields[I].name) : nullptr;
    if (!v) return Value();
    return isList(kFields[I].rule) ? copyList(c.vm, *v) : *v;
}

template <int I>
Value setField(NativeCall& c) {
    if (ScriptObject* s = stateOf(c.thisValue)) store(c.vm, *s, static_cast<FieldId>(I), c.arg(0));
    return Value();
}

template <int... I>
void installFields(Realm& realm, ScriptObject& proto, std::integer_sequence<int, I...>) {
    (realm.accessor(proto, kFields[I].name, getField<I>, setField<I>), ...);
}

// Makes `self` an instance of class `k` with the given arguments.
void construct(NativeCall& c, size_t k) {
    ScriptObject* self = c.self();
    if (!self || !c.constructing) return;
    Value state = c.vm.newObject();
    if (!state.object) return;
    const FilterClass& cls = classes()[k];
    state.object->set(kKindKey, Value::fromNumber(static_cast<double>(cls.kind)));
    for (size_t i = 0; i < cls.params.size(); ++i) {
        const Param& p = cls.params[i];
        Value v = c.arg(i);
        if (v.type == Value::Undefined) {
            if (p.text) {
                v = Value::fromString(p.text);
            } else if (p.field == kMatrix && cls.kind == FilterKind::ColorMatrix) {
                v = c.vm.newObject(true);
                for (int j = 0; j < 20 && v.object; ++j)
                    v.object->elements.push_back(Value::fromNumber(j % 6 == 0 ? 1 : 0));
            } else if (kFields[p.field].rule == Rule::Bool) {
                v = Value::fromBool(p.number != 0);
            } else if (!isList(kFields[p.field].rule)) {
                v = Value::fromNumber(p.number);
            }
        }
        store(c.vm, *state.object, p.field, v);
    }
    self->internal = state;
}

template <int K>
Value ctor(NativeCall& c) {
    construct(c, K);
    return Value();
}

template <int... K>
std::vector<NativeFn> ctors(std::integer_sequence<int, K...>) {
    return {ctor<K>...};
}

Value clone(NativeCall& c) {
    ScriptObject* s = stateOf(c.thisValue);
    Value out = c.vm.newObject();
    Value state = c.vm.newObject();
    if (!s || !out.object || !state.object) return Value();
    out.object->proto = c.self()->proto;
    for (const auto& kv : s->props) {
        bool list = kv.second.value.type == Value::Object;
        state.object->set(kv.first, list ? copyList(c.vm, kv.second.value) : kv.second.value);
    }
    out.object->internal = state;
    return out;
}

// `name` on _global or on `parent`, made as an empty object when missing.
std::shared_ptr<ScriptObject> package(Realm& realm, ScriptObject& parent, const char* name) {
    const Value* v = parent.find(realm.key(name));
    if (v && v->type == Value::Object && v->object) return v->object;
    std::shared_ptr<ScriptObject> o = realm.object();
    if (o) parent.set(realm.key(name), Value::fromObject(o), kDontEnum);
    return o;
}

// Number, bool or string of a hidden field.
double num(const ScriptObject& s, FieldId id) {
    const Value* v = s.find(kFields[id].name);
    if (!v) return 0;
    if (v->type == Value::Boolean) return v->boolean ? 1 : 0;
    return v->type == Value::Number ? v->number : 0;
}

const std::vector<Value>* list(const ScriptObject& s, FieldId id) {
    const Value* v = s.find(kFields[id].name);
    return v && v->type == Value::Object && v->object ? &v->object->elements : nullptr;
}

uint8_t byteOf(double unit) { return static_cast<uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255)); }

Rgba colorOf(double rgb, double alpha) {
    uint32_t c = static_cast<uint32_t>(rgb);
    return Rgba{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
                byteOf(alpha)};
}

double rgbOf(const Rgba& c) { return static_cast<double>(c.r << 16 | c.g << 8 | c.b); }

void setNumber(ScriptObject& s, FieldId id, double d) { s.set(kFields[id].name, Value::fromNumber(d)); }
void setBool(ScriptObject& s, FieldId id, bool b) { s.set(kFields[id].name, Value::fromBool(b)); }

}  // namespace

bool filterOfObject(const Value& v, Filter& f) {
    const ScriptObject* s = stateOf(v);
    if (!s) return false;
    f = Filter();
    const Value* kind = s->find(kKindKey);
    int k = static_cast<int>(kind->number);
    if (k < 0 || k > 7) return false;
    f.kind = static_cast<FilterKind>(k);
    f.blurX = static_cast<float>(num(*s, kBlurX));
    f.blurY = static_cast<float>(num(*s, kBlurY));
    f.passes = static_cast<int>(num(*s, kQuality));
    f.strength = static_cast<float>(num(*s, kStrength));
    f.angle = static_cast<float>(std::fmod(num(*s, kAngle), 360.0) * kPi / 180);
    f.distance = static_cast<float>(std::clamp(num(*s, kDistance), -255.0, 255.0));
    f.inner = num(*s, kInner) != 0;
    f.knockout = num(*s, kKnockout) != 0;
    f.hideObject = num(*s, kHideObject) != 0;
    const Value* type = s->find(kFields[kType].name);
    if (type && type->type == Value::String) {
        f.inner = type->string == "inner";
        f.onTop = type->string == "full";
    }
    switch (f.kind) {
        case FilterKind::DropShadow:
        case FilterKind::Glow:
            f.color = colorOf(num(*s, kColor), num(*s, kAlpha));
            if (f.kind == FilterKind::Glow) f.distance = 0;
            break;
        case FilterKind::Bevel:
            f.color = colorOf(num(*s, kShadowColor), num(*s, kShadowAlpha));
            f.highlight = colorOf(num(*s, kHighlightColor), num(*s, kHighlightAlpha));
            break;
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel: {
            const std::vector<Value>*c = list(*s, kColors), *a = list(*s, kAlphas), *r = list(*s, kRatios);
            size_t n = c && a && r ? std::min({c->size(), a->size(), r->size(), size_t(16)}) : 0;
            for (size_t i = 0; i < n; ++i) {
                f.colors.push_back(colorOf((*c)[i].number, (*a)[i].number));
                f.ratios.push_back(static_cast<uint8_t>((*r)[i].number));
            }
            break;
        }
        case FilterKind::ColorMatrix: {
            const std::vector<Value>* m = list(*s, kMatrix);
            for (int i = 0; i < 20; ++i)
                f.colorMatrix[i] = m && static_cast<size_t>(i) < m->size()
                                       ? static_cast<float>(std::clamp((*m)[i].number, -1e6, 1e6))
                                       : 0;
            break;
        }
        case FilterKind::Convolution: {
            f.matrixX = static_cast<int>(num(*s, kMatrixX));
            f.matrixY = static_cast<int>(num(*s, kMatrixY));
            const std::vector<Value>* m = list(*s, kMatrix);
            f.matrix.assign(static_cast<size_t>(f.matrixX) * f.matrixY, 0);
            for (size_t i = 0; m && i < f.matrix.size() && i < m->size(); ++i)
                f.matrix[i] = static_cast<float>(std::clamp((*m)[i].number, -1e6, 1e6));
            double divisor = num(*s, kDivisor);
            f.divisor = divisor == 0 ? 1 : static_cast<float>(std::clamp(divisor, -1e6, 1e6));
            f.bias = static_cast<float>(std::clamp(num(*s, kBias), -1e6, 1e6));
            f.preserveAlpha = num(*s, kPreserveAlpha) != 0;
            f.clamp = num(*s, kClamp) != 0;
            f.defaultColor = colorOf(num(*s, kColor), num(*s, kAlpha));
            break;
        }
        case FilterKind::Blur:
            break;
    }
    return true;
}

Value objectOfFilter(Avm1& vm, const Filter& f) {
    const size_t k = static_cast<size_t>(f.kind);
    const auto& protos = vm.protos().filterClasses;
    if (k >= protos.size() || !protos[k]) return Value();
    Value out = vm.newObject();
    Value state = vm.newObject();
    if (!out.object || !state.object) return Value();
    out.object->proto = protos[k];
    out.object->internal = state;
    ScriptObject& s = *state.object;
    s.set(kKindKey, Value::fromNumber(static_cast<double>(k)));
    auto numbers = [&](FieldId id, const std::vector<double>& values) {
        Value a = vm.newObject(true);
        if (!a.object) return;
        for (double d : values) a.object->elements.push_back(Value::fromNumber(d));
        s.set(kFields[id].name, a);
    };
    const double degrees = std::round(f.angle * 180 / kPi * 1e6) / 1e6;
    const std::string type = f.onTop ? "full" : (f.inner ? "inner" : "outer");
    if (f.kind != FilterKind::ColorMatrix && f.kind != FilterKind::Convolution) {
        setNumber(s, kBlurX, f.blurX);
        setNumber(s, kBlurY, f.blurY);
        setNumber(s, kQuality, f.passes);
    }
    switch (f.kind) {
        case FilterKind::DropShadow:
        case FilterKind::Glow:
            if (f.kind == FilterKind::DropShadow) {
                setNumber(s, kDistance, f.distance);
                setNumber(s, kAngle, degrees);
                setBool(s, kHideObject, f.hideObject);
            }
            setNumber(s, kColor, rgbOf(f.color));
            setNumber(s, kAlpha, f.color.a / 255.0);
            setNumber(s, kStrength, f.strength);
            setBool(s, kInner, f.inner);
            setBool(s, kKnockout, f.knockout);
            break;
        case FilterKind::Bevel:
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel:
            setNumber(s, kDistance, f.distance);
            setNumber(s, kAngle, degrees);
            setNumber(s, kStrength, f.strength);
            s.set(kFields[kType].name, Value::fromString(type));
            setBool(s, kKnockout, f.knockout);
            if (f.kind == FilterKind::Bevel) {
                setNumber(s, kHighlightColor, rgbOf(f.highlight));
                setNumber(s, kHighlightAlpha, f.highlight.a / 255.0);
                setNumber(s, kShadowColor, rgbOf(f.color));
                setNumber(s, kShadowAlpha, f.color.a / 255.0);
            } else {
                std::vector<double> colors, alphas, ratios;
                for (size_t i = 0; i < f.colors.size() && i < f.ratios.size(); ++i) {
                    colors.push_back(rgbOf(f.colors[i]));
                    alphas.push_back(f.colors[i].a / 255.0);
                    ratios.push_back(f.ratios[i]);
                }
                numbers(kColors, colors);
                numbers(kAlphas, alphas);
                numbers(kRatios, ratios);
            }
            break;
        case FilterKind::ColorMatrix:
            numbers(kMatrix, std::vector<double>(f.colorMatrix, f.colorMatrix + 20));
            break;
        case FilterKind::Convolution:
            setNumber(s, kMatrixX, f.matrixX);
            setNumber(s, kMatrixY, f.matrixY);
            numbers(kMatrix, std::vector<double>(f.matrix.begin(), f.matrix.end()));
            setNumber(s, kDivisor, f.divisor);
            setNumber(s, kBias, f.bias);
            setBool(s, kPreserveAlpha, f.preserveAlpha);
            setBool(s, kClamp, f.clamp);
            setNumber(s, kColor, rgbOf(f.defaultColor));
            setNumber(s, kAlpha, f.defaultColor.a / 255.0);
            break;
        case FilterKind::Blur:
            break;
    }
    return out;
}

void installFilters(Realm& realm) {
    std::shared_ptr<ScriptObject> flashPackage = package(realm, realm.global, "flash");
    std::shared_ptr<ScriptObject> filters = flashPackage ? package(realm, *flashPackage, "filters") : nullptr;
    if (!filters) return;
    // BitmapFilter: the common prototype with every property and clone().
    auto defineIn = [&](const char* name, NativeFn ctorFn, std::shared_ptr<ScriptObject> parent) {
        std::shared_ptr<ScriptObject> proto = realm.object();
        Value fn = realm.vm.newFunction(ctorFn);
        if (!proto || !fn.object) return proto;
        proto->proto = parent ? parent : realm.protos().object;
        fn.object->set(realm.key("prototype"), Value::fromObject(proto), kDontEnum | kDontDelete);
        proto->set(realm.key("constructor"), fn, kDontEnum);
        filters->set(realm.key(name), fn, kDontEnum);
        return proto;
    };
    std::shared_ptr<ScriptObject> base = defineIn(
        "BitmapFilter", [](NativeCall&) { return Value(); }, nullptr);
    if (!base) return;
    installFields(realm, *base, std::make_integer_sequence<int, kFieldCount>());
    realm.method(*base, "clone", clone);
    static_assert(kFieldCount > 0, "fields");
    const std::vector<NativeFn> makers = ctors(std::make_integer_sequence<int, 8>());
    auto& protos = realm.protos().filterClasses;
    protos.assign(8, nullptr);
    for (size_t k = 0; k < classes().size() && k < makers.size(); ++k) {
        std::shared_ptr<ScriptObject> proto = defineIn(classes()[k].name, makers[k], base);
        protos[static_cast<size_t>(classes()[k].kind)] = proto;
    }
}

}  // namespace flash
