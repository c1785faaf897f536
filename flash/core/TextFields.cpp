// Text fields in the running movie: fields made by scripts, edit text
// taken over by scripts, the keyboard focus, typing into input fields and
// the variables fields show.
#include <algorithm>

#include "flash/core/Engine.h"
#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"

namespace flash {

namespace {

// The character of fields made by scripts: a shape that draws nothing of
// its own (the field's layout is drawn instead).
const Character* fieldCharacter() {
    static const Character kField = [] {
        Character c{};
        c.kind = Character::Shape;
        c.text = true;
        c.shape = std::make_unique<ShapeData>();
        return c;
    }();
    return &kField;
}

DisplayObject* textHolder(DisplayObject* field) {
    DisplayObject* h = field->parent;
    return h && h->isButton() ? h->parent : h;
}

}  // namespace

const ShapeData* DisplayObject::shownShape() const {
    if (field && field->shape()) return field->shape();
    if (textShape) return textShape.get();
    return character ? character->shape.get() : nullptr;
}

bool Engine::isTextField(const DisplayObject* o) {
    return o && (o->field || (o->character && o->character->editText));
}

const FontData* Engine::fontNamed(const std::string& name) const { return movie_.fontNamed(name); }

DisplayObject* Engine::createTextField(DisplayObject* parent, const std::string& name, int depth,
                                       const Rect& bounds) {
    if (!parent || !parent->hasTimeline() || objects_ >= maxObjects || parent->nesting >= maxNesting)
        return nullptr;
    uint16_t d = static_cast<uint16_t>(std::max(0, std::min(65535, depth + kDepthOffset)));
    removeChild(parent, d);
    auto o = std::make_shared<DisplayObject>();
    o->depth = d;
    o->character = fieldCharacter();
    o->name = name;
    o->parent = parent;
    o->nesting = parent->nesting + 1;
    o->createdTick = tick_;
    o->dynamic = true;
    o->matrix.tx = bounds.xMin;
    o->matrix.ty = bounds.yMin;
    o->field = std::make_shared<TextFieldState>(Rect{0, bounds.width(), 0, bounds.height()});
    o->scriptTransformed = true;
    parent->children[d] = o;
    ++objects_;
    textFields_.push_back(o);
    return o.get();
}

TextFieldState* Engine::textField(DisplayObject* o) {
    if (!o) return nullptr;
    if (o->field) return o->field.get();
    if (!o->character || !o->character->editText) return nullptr;
    const EditTextDef& def = *o->character->editText;
    o->field = std::make_shared<TextFieldState>(def, o->shownText);
    o->field->variableText = o->shownText;
    o->textShape.reset();
    return o->field.get();
}

DisplayObject* Engine::focus() const {
    std::shared_ptr<DisplayObject> f = focus_.lock();
    return f && onStage(f.get()) ? f.get() : nullptr;
}

bool Engine::setFocus(DisplayObject* o) {
    if (o && !onStage(o)) return false;
    TextFieldState* field = textField(o);
    if (field && !field->input && !field->selectable) return false;
    DisplayObject* old = focus();
    if (old == o) return true;
    if (old) {
        if (old->field) {
            old->field->focused = false;
            old->field->changed();
        }
        if (vm_ && vm_->hasHandler(old, "onKillFocus")) queueHandler(old, "onKillFocus");
    }
    focus_ = o ? o->shared_from_this() : std::weak_ptr<DisplayObject>();
    if (field) {
        field->focused = true;
        field->changed();
    }
    if (o && vm_ && vm_->hasHandler(o, "onSetFocus")) queueHandler(o, "onSetFocus");
    pointerChanged_ = true;
    return true;
}

bool Engine::fieldKey(int code, int ascii) {
    DisplayObject* o = focus();
    TextFieldState* field = o ? o->field.get() : nullptr;
    if (!field) return false;
    uint64_t before = field->revision;
    if (!field->key(code, static_cast<unsigned>(std::max(0, ascii)))) return field->revision != before;
    DisplayObject* holder = textHolder(o);
    if (!field->variable.empty() && holder) {
        field->variableText = field->text(movie_.version() >= 6);
        vm().writeVariable(holder, field->variable, Value::fromString(field->variableText));
    }
    if (vm_ && vm_->hasHandler(o, "onChanged")) queueHandler(o, "onChanged");
    return true;
}

void Engine::clickFields() {
    // The topmost selectable field under the pointer takes the focus, with
    // the caret where the click was; a click elsewhere takes it from a field.
    struct Finder {
        Engine& e;
        double x, y;
        DisplayObject* find(DisplayObject* clip, const Matrix& m, int depth) {
            if (depth > 64) return nullptr;
            for (auto it = clip->children.rbegin(); it != clip->children.rend(); ++it) {
                DisplayObject* o = it->second.get();
                if (!o->visible || o->clipDepth > 0) continue;
                Matrix om = m * o->matrix;
                if (o->hasTimeline()) {
                    if (DisplayObject* inner = find(o, om, depth + 1)) return inner;
                    continue;
                }
                if (!isTextField(o)) continue;
                const EditTextDef* def = o->character ? o->character->editText.get() : nullptr;
                Rect b = o->field ? o->field->bounds : def->bounds;
                Matrix inv;
                if (!om.invert(inv)) continue;
                double lx = inv.mapX(x, y), ly = inv.mapY(x, y);
                if (lx < b.xMin || lx > b.xMax || ly < b.yMin || ly > b.yMax) continue;
                bool can = o->field ? (o->field->input || o->field->selectable)
                                    : (!def->readOnly || def->selectable);
                if (can) return o;
            }
            return nullptr;
        }
    };
    if (!root_) return;
    DisplayObject* hit = Finder{*this, mouseX_, mouseY_}.find(root_.get(), Matrix(), 0);
    if (!hit) {
        if (focus() && focus()->field) setFocus(nullptr);
        return;
    }
    TextFieldState* field = textField(hit);
    if (!field || !setFocus(hit)) return;
    Matrix inv;
    if (worldMatrix(hit).invert(inv)) {
        size_t budget = maxFieldEdges;
        field->layout([this](const std::string& n) { return fontNamed(n); }, budget, maxFieldChars);
        size_t i = field->indexAt(inv.mapX(mouseX_, mouseY_), inv.mapY(mouseX_, mouseY_));
        field->select(i, i);
    }
}

void Engine::refreshField(DisplayObject* o, size_t& held) {
    TextFieldState& f = *o->field;
    DisplayObject* holder = textHolder(o);
    if (!f.variable.empty() && holder) {
        Value v = vm().readVariable(holder, f.variable);
        std::string text =
            v.type == Value::Undefined ? std::string() : toString(v, movie_.version(), &localOffset);
        if (text != f.variableText) {
            f.variableText = text;
            if (f.html)
                f.setHtmlText(text, movie_.version() >= 6);
            else
                f.setText(text, movie_.version() >= 6);
        }
    }
    size_t budget = std::min(maxFieldEdges, maxTextEdges - std::min(held, maxTextEdges));
    held -= std::min(held, o->textEdges);
    f.layout([this](const std::string& n) { return fontNamed(n); }, budget, maxFieldChars);
    o->textEdges = f.edges();
    held += o->textEdges;
}

}  // namespace flash
