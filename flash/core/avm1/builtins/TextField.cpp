// TextField.prototype (the properties and methods of text fields),
// MovieClip.createTextField, TextFormat and Selection (the keyboard focus).
#include "flash/core/TextField.h"

#include <cmath>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

TextFieldState* fieldOf(NativeCall& c) {
    std::shared_ptr<DisplayObject> o = c.clip();
    return o ? c.engine().textField(o.get()) : nullptr;
}

bool utf8(NativeCall& c) { return c.vm.version() >= 6; }

// Lays the field out now, for what depends on the layout (scroll limits, sizes).
TextFieldState* laidOut(NativeCall& c) {
    TextFieldState* f = fieldOf(c);
    if (!f) return nullptr;
    Engine& e = c.engine();
    size_t budget = e.maxFieldEdges;
    if (f->layout([&e](const std::string& n) { return e.fontNamed(n); }, budget, e.maxFieldChars))
        c.charge(f->length() / 16);
    return f;
}

Value colorValue(const Rgba& c) { return Value::fromNumber((c.r << 16) | (c.g << 8) | c.b); }

Rgba colorOf(NativeCall& c, const Value& v) {
    double d = c.vm.toNum(v);
    uint32_t n = std::isfinite(d) ? static_cast<uint32_t>(static_cast<int64_t>(d)) : 0;
    return Rgba{static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), 255};
}

size_t indexArg(NativeCall& c, size_t i, size_t missing) {
    double d = c.num(i, static_cast<double>(missing));
    if (!std::isfinite(d) || d < 0) return d > 0 ? SIZE_MAX : 0;
    return static_cast<size_t>(d);
}

// ---- Properties: a getter and a setter each ----

// A field that sizes itself to its text does so at once: scripts read its
// size right after changing it.
void fit(NativeCall& c, TextFieldState* f) {
    if (f->autoSize != TextFieldState::AutoSize::None) laidOut(c);
}

#define FIELD_OR_UNDEFINED          \
    TextFieldState* f = fieldOf(c); \
    if (!f) return Value();

Value getText(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return Value::fromString(f->text(utf8(c)));
}
Value setText(NativeCall& c) {
    FIELD_OR_UNDEFINED
    f->setText(c.str(0), utf8(c));
    c.charge(f->length() / 16);
    fit(c, f);
    return Value();
}
Value getHtmlText(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return Value::fromString(f->html ? f->htmlText(utf8(c)) : f->text(utf8(c)));
}
Value setHtmlText(NativeCall& c) {
    FIELD_OR_UNDEFINED
    if (f->html)
        f->setHtmlText(c.str(0), utf8(c));
    else
        f->setText(c.str(0), utf8(c));
    c.charge(f->length() / 16);
    fit(c, f);
    return Value();
}
Value getLength(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return Value::fromNumber(static_cast<double>(f->length()));
}
Value getTextColor(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return colorValue(f->newFormat.color);
}
Value setTextColor(NativeCall& c) {
    FIELD_OR_UNDEFINED
    FormatChange change;
    change.set = FormatChange::kColor;
    change.chars.color = colorOf(c, c.arg(0));
    f->setFormat(0, f->length(), change);
    change.apply(f->newFormat);
    fit(c, f);
    return Value();
}
Value getTextWidth(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    return f ? Value::fromNumber(f->textWidth()) : Value();
}
Value getTextHeight(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    return f ? Value::fromNumber(f->textHeight()) : Value();
}
Value getMaxScroll(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    return f ? Value::fromNumber(f->maxScroll()) : Value();
}
Value getBottomScroll(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    return f ? Value::fromNumber(f->bottomScroll()) : Value();
}
Value getScroll(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    return f ? Value::fromNumber(f->scroll) : Value();
}
Value setScroll(NativeCall& c) {
    TextFieldState* f = laidOut(c);
    if (!f || !std::isfinite(c.num(0))) return Value();
    f->scroll = std::max(1, std::min(f->maxScroll(), clampToInt(c.num(0))));
    f->changed();
    return Value();
}
Value zero(NativeCall&) { return Value::fromNumber(0); }
Value ignore(NativeCall&) { return Value(); }

// Boolean options.
template <bool TextFieldState::*Member>
Value getFlag(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return c.vm.boolResult(f->*Member);
}
template <bool TextFieldState::*Member>
Value setFlag(NativeCall& c) {
    FIELD_OR_UNDEFINED
    f->*Member = c.vm.toBool(c.arg(0));
    f->changed();
    fit(c, f);
    return Value();
}

template <Rgba TextFieldState::*Member>
Value getColor(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return colorValue(f->*Member);
}
template <Rgba TextFieldState::*Member>
Value setColor(NativeCall& c) {
    FIELD_OR_UNDEFINED
    f->*Member = colorOf(c, c.arg(0));
    f->changed();
    return Value();
}

Value getAutoSize(NativeCall& c) {
    FIELD_OR_UNDEFINED
    static const char* const kNames[] = {"none", "left", "center", "right"};
    return Value::fromString(kNames[static_cast<int>(f->autoSize)]);
}
Value setAutoSize(NativeCall& c) {
    FIELD_OR_UNDEFINED
    Value v = c.arg(0);
    std::string s = v.type == Value::String ? foldCase(v.string) : std::string();
    if (v.type == Value::Boolean)
        f->autoSize = v.boolean ? TextFieldState::AutoSize::Left : TextFieldState::AutoSize::None;
    else if (s == "left")
        f->autoSize = TextFieldState::AutoSize::Left;
    else if (s == "center")
        f->autoSize = TextFieldState::AutoSize::Center;
    else if (s == "right")
        f->autoSize = TextFieldState::AutoSize::Right;
    else
        f->autoSize = TextFieldState::AutoSize::None;
    f->changed();
    fit(c, f);
    return Value();
}
Value getType(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return Value::fromString(f->input ? "input" : "dynamic");
}
Value setType(NativeCall& c) {
    FIELD_OR_UNDEFINED
    std::string s = foldCase(c.str(0));
    if (s == "input" || s == "dynamic") f->input = s == "input";
    f->changed();
    return Value();
}
Value getMaxChars(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return f->maxChars ? Value::fromNumber(static_cast<double>(f->maxChars)) : Value::null();
}
Value setMaxChars(NativeCall& c) {
    FIELD_OR_UNDEFINED
    double d = c.num(0, 0);
    f->maxChars = std::isfinite(d) && d > 0 ? static_cast<size_t>(std::min(d, 1e9)) : 0;
    return Value();
}
Value getRestrict(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return f->restricted ? Value::fromString(f->restrict) : Value::null();
}
Value setRestrict(NativeCall& c) {
    FIELD_OR_UNDEFINED
    Value v = c.arg(0);
    f->restricted = v.type != Value::Null && v.type != Value::Undefined;
    f->restrict = f->restricted ? c.str(0).substr(0, 4096) : std::string();
    return Value();
}
Value getVariable(NativeCall& c) {
    FIELD_OR_UNDEFINED
    return f->variable.empty() ? Value::null() : Value::fromString(f->variable);
}
Value setVariable(NativeCall& c) {
    FIELD_OR_UNDEFINED
    Value v = c.arg(0);
    f->variable = v.type == Value::Null || v.type == Value::Undefined ? std::string() : c.str(0);
    f->variableText = f->text(utf8(c));
    // The field shows the variable from the next refresh; an undefined one takes the field's text.
    std::shared_ptr<DisplayObject> o = c.clip();
    if (!f->variable.empty() && o && o->parent &&
        c.vm.readVariable(o->parent, f->variable).type == Value::Undefined)
        c.vm.writeVariable(o->parent, f->variable, Value::fromString(f->variableText));
    return Value();
}

// ---- TextFormat ----

const struct {
    const char* name;
    FormatChange::Member member;
} kFormatMembers[] = {{"font", FormatChange::kFont},
                      {"size", FormatChange::kSize},
                      {"color", FormatChange::kColor},
                      {"bold", FormatChange::kBold},
                      {"italic", FormatChange::kItalic},
                      {"underline", FormatChange::kUnderline},
                      {"url", FormatChange::kUrl},
                      {"target", FormatChange::kTarget},
                      {"align", FormatChange::kAlign},
                      {"leftMargin", FormatChange::kLeftMargin},
                      {"rightMargin", FormatChange::kRightMargin},
                      {"indent", FormatChange::kIndent},
                      {"leading", FormatChange::kLeading}};

// A script's TextFormat (any object with these members) as a format change.
FormatChange changeOf(NativeCall& c, const Value& fmt) {
    FormatChange s;
    if (fmt.type != Value::Object) return s;
    for (const auto& m : kFormatMembers) {
        Value v = c.vm.getMember(c.frame, fmt, m.name);
        if (v.type == Value::Null || v.type == Value::Undefined) continue;
        double d = c.vm.toNum(v);
        switch (m.member) {
            case FormatChange::kFont:
                s.chars.font = c.vm.toStr(v);
                break;
            case FormatChange::kSize:
                if (!(d > 0 && d < 1000)) continue;
                s.chars.size = d;
                break;
            case FormatChange::kColor:
                s.chars.color = colorOf(c, v);
                break;
            case FormatChange::kBold:
                s.chars.bold = c.vm.toBool(v);
                break;
            case FormatChange::kItalic:
                s.chars.italic = c.vm.toBool(v);
                break;
            case FormatChange::kUnderline:
                s.chars.underline = c.vm.toBool(v);
                break;
            case FormatChange::kUrl:
                s.chars.url = c.vm.toStr(v);
                break;
            case FormatChange::kTarget:
                s.chars.target = c.vm.toStr(v);
                break;
            case FormatChange::kAlign: {
                std::string a = foldCase(c.vm.toStr(v));
                if (a != "left" && a != "right" && a != "center") continue;
                s.paragraph.align = a == "right" ? 1 : a == "center" ? 2 : 0;
                break;
            }
            default:
                if (!std::isfinite(d)) continue;
                d = std::max(-720.0, std::min(720.0, d));
                if (m.member == FormatChange::kLeftMargin) s.paragraph.leftMargin = std::max(0.0, d);
                if (m.member == FormatChange::kRightMargin) s.paragraph.rightMargin = std::max(0.0, d);
                if (m.member == FormatChange::kIndent) s.paragraph.indent = d;
                if (m.member == FormatChange::kLeading) s.paragraph.leading = d;
                break;
        }
        s.set |= m.member;
    }
    return s;
}

// A new TextFormat object holding a format change (members not set are null).
Value formatObject(NativeCall& c, const FormatChange& s) {
    Value v = c.vm.newObject();
    if (!v.object) return v;
    const Value* proto = c.engine().globals ? c.engine().globals->find(c.vm.key("TextFormat")) : nullptr;
    if (proto && proto->type == Value::Object) {
        const Value* p = proto->object->find(c.vm.key("prototype"));
        if (p && p->type == Value::Object) v.object->proto = p->object;
    }
    static const char* const kAlign[] = {"left", "right", "center"};
    for (const auto& m : kFormatMembers) {
        Value x = Value::null();
        if (s.has(m.member)) {
            switch (m.member) {
                case FormatChange::kFont:
                    x = Value::fromString(s.chars.font);
                    break;
                case FormatChange::kSize:
                    x = Value::fromNumber(s.chars.size);
                    break;
                case FormatChange::kColor:
                    x = colorValue(s.chars.color);
                    break;
                case FormatChange::kBold:
                    x = Value::fromBool(s.chars.bold);
                    break;
                case FormatChange::kItalic:
                    x = Value::fromBool(s.chars.italic);
                    break;
                case FormatChange::kUnderline:
                    x = Value::fromBool(s.chars.underline);
                    break;
                case FormatChange::kUrl:
                    x = Value::fromString(s.chars.url);
                    break;
                case FormatChange::kTarget:
                    x = Value::fromString(s.chars.target);
                    break;
                case FormatChange::kAlign:
                    x = Value::fromString(kAlign[std::max(0, std::min(2, s.paragraph.align))]);
                    break;
                case FormatChange::kLeftMargin:
                    x = Value::fromNumber(s.paragraph.leftMargin);
                    break;
                case FormatChange::kRightMargin:
                    x = Value::fromNumber(s.paragraph.rightMargin);
                    break;
                case FormatChange::kIndent:
                    x = Value::fromNumber(s.paragraph.indent);
                    break;
                case FormatChange::kLeading:
                    x = Value::fromNumber(s.paragraph.leading);
                    break;
            }
        }
        v.object->set(c.vm.key(m.name), x);
    }
    return v;
}

// new TextFormat(font, size, color, bold, italic, underline, url, target,
// align, leftMargin, rightMargin, indent, leading)
Value textFormatCtor(NativeCall& c) {
    ScriptObject* self = c.self();
    if (!self) return Value();
    for (size_t i = 0; i < sizeof kFormatMembers / sizeof kFormatMembers[0]; ++i)
        self->set(c.vm.key(kFormatMembers[i].name), i < c.args.size() ? c.args[i] : Value::null());
    return Value();
}

// ---- TextField methods ----

Value setTextFormat(NativeCall& c) {
    FIELD_OR_UNDEFINED
    if (c.args.empty()) return Value();
    FormatChange change = changeOf(c, c.args.back());
    size_t begin = 0, end = f->length();
    if (c.args.size() == 2) {
        begin = indexArg(c, 0, 0);
        end = begin + 1;
    } else if (c.args.size() >= 3) {
        begin = indexArg(c, 0, 0);
        end = indexArg(c, 1, f->length());
    }
    if (begin < end) f->setFormat(begin, end, change);
    c.charge((end > begin ? std::min(end, f->length()) - std::min(begin, end) : 0) / 16);
    fit(c, f);
    return Value();
}

Value getTextFormat(NativeCall& c) {
    FIELD_OR_UNDEFINED
    size_t begin = 0, end = f->length();
    if (c.args.size() == 1) {
        begin = indexArg(c, 0, 0);
        end = begin + 1;
    } else if (c.args.size() >= 2) {
        begin = indexArg(c, 0, 0);
        end = indexArg(c, 1, f->length());
    }
    c.charge(f->length() / 16);
    return formatObject(c, f->format(begin, end));
}

Value setNewTextFormat(NativeCall& c) {
    FIELD_OR_UNDEFINED
    FormatChange change = changeOf(c, c.arg(0));
    change.apply(f->newFormat);
    change.apply(f->paragraph);
    f->changed();
    fit(c, f);
    return Value();
}

Value getNewTextFormat(NativeCall& c) {
    FIELD_OR_UNDEFINED
    FormatChange s;
    s.set = 0x1FFF;
    s.chars = f->newFormat;
    s.paragraph = f->paragraph;
    return formatObject(c, s);
}

Value replaceSel(NativeCall& c) {
    FIELD_OR_UNDEFINED
    size_t b = f->selBegin;
    std::u32string s = decodeText(c.str(0), utf8(c));
    f->replace(f->selBegin, f->selEnd, s);
    f->select(b + s.size(), b + s.size());
    fit(c, f);
    return Value();
}

Value replaceText(NativeCall& c) {
    FIELD_OR_UNDEFINED
    size_t b = indexArg(c, 0, 0), e = indexArg(c, 1, 0);
    if (b > e || b > f->length()) return Value();
    f->replace(b, e, decodeText(c.str(2), utf8(c)));
    fit(c, f);
    return Value();
}

Value removeTextField(NativeCall& c) {
    if (std::shared_ptr<DisplayObject> o = c.clip())
        if (o->field && !o->character->editText) c.engine().removeClip(o.get());
    return Value();
}

Value getDepth(NativeCall& c) {
    std::shared_ptr<DisplayObject> o = c.clip();
    return o ? Value::fromNumber(o->depth - Engine::kDepthOffset) : Value();
}

Value textFieldCtor(NativeCall&) { return Value(); }

// MovieClip.createTextField(name, depth, x, y, width, height)
Value createTextField(NativeCall& c) {
    std::shared_ptr<DisplayObject> clip = c.clip();
    if (!clip || c.args.size() < 6) return Value();
    double v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = c.num(2 + i, 0);
        if (!std::isfinite(v[i])) v[i] = 0;
        v[i] = std::max(-1e6, std::min(1e6, v[i])) * 20;
    }
    Rect r{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[0] + std::max(0.0, v[2])),
           static_cast<int32_t>(v[1]), static_cast<int32_t>(v[1] + std::max(0.0, v[3]))};
    DisplayObject* o = c.engine().createTextField(clip.get(), c.str(0), clampToInt(c.num(1, 0)), r);
    return o ? Value::fromClip(o->shared_from_this()) : Value();
}

// ---- Selection ----

TextFieldState* focusedField(NativeCall& c) {
    DisplayObject* o = c.engine().focus();
    return o ? o->field.get() : nullptr;
}

Value getFocus(NativeCall& c) {
    DisplayObject* o = c.engine().focus();
    return o ? Value::fromString(clipPath(o)) : Value::null();
}

Value setFocus(NativeCall& c) {
    Value v = c.arg(0);
    std::shared_ptr<DisplayObject> o = c.vm.clipOf(v);
    DisplayObject* target = o.get();
    if (!o && v.type == Value::String) target = c.engine().resolveTarget(c.engine().root(), v.string);
    if (!target && v.type != Value::Null && v.type != Value::Undefined) return Value::fromBool(false);
    return Value::fromBool(c.engine().setFocus(target));
}

Value getBeginIndex(NativeCall& c) {
    TextFieldState* f = focusedField(c);
    return Value::fromNumber(f ? static_cast<double>(f->selBegin) : -1);
}
Value getEndIndex(NativeCall& c) {
    TextFieldState* f = focusedField(c);
    return Value::fromNumber(f ? static_cast<double>(f->selEnd) : -1);
}
Value getCaretIndex(NativeCall& c) {
    TextFieldState* f = focusedField(c);
    return Value::fromNumber(f ? static_cast<double>(f->caret) : -1);
}
Value setSelection(NativeCall& c) {
    if (TextFieldState* f = focusedField(c)) f->select(indexArg(c, 0, 0), indexArg(c, 1, 0));
    return Value();
}

}  // namespace

void installTextField(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("TextField", textFieldCtor);
    if (!proto) return;
    realm.protos().textField = proto;
    static const struct {
        const char* name;
        NativeFn get, set;
    } kProperties[] = {
        {"text", getText, setText},
        {"htmlText", getHtmlText, setHtmlText},
        {"html", getFlag<&TextFieldState::html>, setFlag<&TextFieldState::html>},
        {"length", getLength, nullptr},
        {"textColor", getTextColor, setTextColor},
        {"textWidth", getTextWidth, nullptr},
        {"textHeight", getTextHeight, nullptr},
        {"border", getFlag<&TextFieldState::border>, setFlag<&TextFieldState::border>},
        {"borderColor", getColor<&TextFieldState::borderColor>, setColor<&TextFieldState::borderColor>},
        {"background", getFlag<&TextFieldState::background>, setFlag<&TextFieldState::background>},
        {"backgroundColor", getColor<&TextFieldState::backgroundColor>,
         setColor<&TextFieldState::backgroundColor>},
        {"wordWrap", getFlag<&TextFieldState::wordWrap>, setFlag<&TextFieldState::wordWrap>},
        {"multiline", getFlag<&TextFieldState::multiline>, setFlag<&TextFieldState::multiline>},
        {"selectable", getFlag<&TextFieldState::selectable>, setFlag<&TextFieldState::selectable>},
        {"password", getFlag<&TextFieldState::password>, setFlag<&TextFieldState::password>},
        {"embedFonts", getFlag<&TextFieldState::embedFonts>, setFlag<&TextFieldState::embedFonts>},
        {"autoSize", getAutoSize, setAutoSize},
        {"type", getType, setType},
        {"maxChars", getMaxChars, setMaxChars},
        {"restrict", getRestrict, setRestrict},
        {"variable", getVariable, setVariable},
        {"scroll", getScroll, setScroll},
        {"maxscroll", getMaxScroll, nullptr},
        {"bottomScroll", getBottomScroll, nullptr},
        {"hscroll", zero, ignore},
        {"maxhscroll", zero, nullptr},
    };
    for (const auto& p : kProperties) realm.accessor(*proto, p.name, p.get, p.set);
    realm.methods(*proto, {{"setTextFormat", setTextFormat},
                           {"getTextFormat", getTextFormat},
                           {"setNewTextFormat", setNewTextFormat},
                           {"getNewTextFormat", getNewTextFormat},
                           {"replaceSel", replaceSel},
                           {"replaceText", replaceText},
                           {"removeTextField", removeTextField},
                           {"getDepth", getDepth}});
    if (realm.protos().movieClip) realm.method(*realm.protos().movieClip, "createTextField", createTextField);

    realm.defineClass("TextFormat", textFormatCtor);

    std::shared_ptr<ScriptObject> selection = realm.object();
    if (!selection) return;
    realm.methods(*selection, {{"getFocus", getFocus},
                               {"setFocus", setFocus},
                               {"getBeginIndex", getBeginIndex},
                               {"getEndIndex", getEndIndex},
                               {"getCaretIndex", getCaretIndex},
                               {"setSelection", setSelection}});
    realm.global.set(realm.key("Selection"), Value::fromObject(selection), kDontEnum);
}

}  // namespace flash
