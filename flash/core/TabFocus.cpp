// Moving the keyboard focus with Tab among buttons, clips acting as buttons
// and input fields; Enter and Space on the focused one; the rectangle that
// shows where the focus is.
#include <algorithm>
#include <cmath>

#include "flash/core/Engine.h"
#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"

namespace flash {

namespace {

struct TabStop {
    DisplayObject* o;
    bool hasIndex;
    double index;
    int32_t top, left;
};

}  // namespace

std::vector<DisplayObject*> Engine::tabOrder() const {
    std::vector<TabStop> stops;
    const int version = movie_.version();
    auto member = [&](const DisplayObject* o, const char* name) -> const Value* {
        auto it = o->variables.find(nameKey(name));
        return it == o->variables.end() || it->second.type == Value::Undefined ? nullptr : &it->second;
    };
    auto add = [&](DisplayObject* o, const Matrix& m) {
        const Value* index = member(o, "tabIndex");
        double i = index ? toNumber(*index, version) : 0;
        Rect b = boundsOf(o, m);
        stops.push_back({o, index && std::isfinite(i), i, b.yMin, b.xMin});
    };
    struct Walk {
        const Engine& e;
        decltype(member)& memberOf;
        decltype(add)& addStop;
        int version;
        void clip(DisplayObject* parent, const Matrix& m, int depth) {
            if (depth > 64) return;
            for (auto& kv : parent->children) {
                DisplayObject* o = kv.second.get();
                if (!o->visible || o->clipDepth > 0 || o->masking > 0) continue;
                const Matrix om = m * o->matrix;
                const Value* enabled = memberOf(o, "tabEnabled");
                const bool off = enabled && !toBoolean(*enabled, version);
                const bool on = enabled && !off;
                if (o->isButton()) {
                    if (!off && !e.memberOff(o, "enabled")) addStop(o, om);
                    continue;
                }
                if (Engine::isTextField(o)) {
                    const EditTextDef* def = o->character ? o->character->editText.get() : nullptr;
                    const bool input = o->field ? o->field->input : def && !def->readOnly;
                    if (input && !off) addStop(o, om);
                    continue;
                }
                if (!o->hasTimeline()) continue;
                const bool acts = e.vm_ && e.vm_->isClipButton(o) && !e.memberOff(o, "enabled");
                if (on || (acts && !off)) addStop(o, om);
                const Value* children = memberOf(o, "tabChildren");
                if (!children || toBoolean(*children, version)) clip(o, om, depth + 1);
            }
        }
    };
    Walk{*this, member, add, version}.clip(stage_.get(), Matrix(), 0);
    const bool indexed = std::any_of(stops.begin(), stops.end(), [](const TabStop& t) { return t.hasIndex; });
    if (indexed) {
        stops.erase(std::remove_if(stops.begin(), stops.end(), [](const TabStop& t) { return !t.hasIndex; }),
                    stops.end());
        std::stable_sort(stops.begin(), stops.end(),
                         [](const TabStop& a, const TabStop& b) { return a.index < b.index; });
    } else {
        std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
    }
    std::vector<DisplayObject*> order;
    for (const TabStop& t : stops) order.push_back(t.o);
    return order;
}

bool Engine::tabFocus(bool backwards) {
    std::vector<DisplayObject*> order = tabOrder();
    if (order.empty()) return false;
    const long n = static_cast<long>(order.size());
    auto at = std::find(order.begin(), order.end(), focus());
    long next;
    if (at == order.end()) {
        next = backwards ? n - 1 : 0;
    } else {
        next = ((at - order.begin()) + (backwards ? n - 1 : 1)) % n;
    }
    if (!setFocus(order[static_cast<size_t>(next)])) return false;
    if (TextFieldState* field = order[static_cast<size_t>(next)]->field.get())
        field->select(0, field->length());  // a field reached by Tab has its text selected
    pointerChanged_ = true;
    return true;
}

bool Engine::focusRectangle(Rect& out) const {
    DisplayObject* f = focus();
    if (!f || !focusRect || !keyFocus_ || isTextField(f)) return false;
    for (const DisplayObject* o = f; o; o = o->parent)
        if (!o->visible) return false;
    out = boundsOf(f, worldMatrix(f));
    return out.width() > 0 || out.height() > 0;
}

bool Engine::pressFocused(bool down) {
    DisplayObject* f = focus();
    if (!f || isTextField(f) || memberOff(f, "enabled")) return false;
    if (f->isButton()) {
        if (liveButton(pressed_) == f) return false;  // the pointer holds it
        if (down) {
            if (f->buttonPhase == kOverDown) return false;  // a key repeating
            buttonTransition(f, kOverDown, kOverUpToOverDown);
        } else {
            if (f->buttonPhase != kOverDown) return false;
            buttonTransition(f, liveButton(hover_) == f ? kOverUp : kIdle, kOverDownToOverUp);
        }
        return true;
    }
    if (!vm_ || !vm_->isClipButton(f)) return false;
    queueHandler(f, down ? "onPress" : "onRelease");
    return true;
}

}  // namespace flash
