// The display list as scripts change and query it: clips made, duplicated,
// removed and moved between depths; bounds, hit tests, dragging, clips that
// act as buttons (onPress...) and the keyboard.
#include <algorithm>
#include <cmath>

#include "flash/core/Drawing.h"
#include "flash/core/Engine.h"
#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"

namespace flash {

bool shapeContains(const ShapeData& shape, double px, double py);
bool characterContains(const MovieDef& movie, const Character* ch, double x, double y, int depth);

namespace {

uint16_t listDepth(int scriptDepth) {
    return static_cast<uint16_t>(std::max(0, std::min(65535, scriptDepth + Engine::kDepthOffset)));
}

void include(Rect& r, bool& any, double x, double y) {
    int32_t xi = static_cast<int32_t>(std::floor(x)), yi = static_cast<int32_t>(std::floor(y));
    if (!any) {
        r = {xi, xi, yi, yi};
        any = true;
        return;
    }
    r.xMin = std::min(r.xMin, xi);
    r.xMax = std::max(r.xMax, xi);
    r.yMin = std::min(r.yMin, yi);
    r.yMax = std::max(r.yMax, yi);
}

void includeRect(Rect& r, bool& any, const Rect& b, const Matrix& m) {
    include(r, any, m.mapX(b.xMin, b.yMin), m.mapY(b.xMin, b.yMin));
    include(r, any, m.mapX(b.xMax, b.yMin), m.mapY(b.xMax, b.yMin));
    include(r, any, m.mapX(b.xMin, b.yMax), m.mapY(b.xMin, b.yMax));
    include(r, any, m.mapX(b.xMax, b.yMax), m.mapY(b.xMax, b.yMax));
}

void collectBounds(const DisplayObject* o, const Matrix& m, Rect& r, bool& any, int depth) {
    if (depth > 64) return;
    if (o->drawing && !o->drawing->empty()) includeRect(r, any, o->drawing->shape().bounds, m);
    if (const Character* ch = o->character) {
        if (o->field)
            includeRect(r, any, o->field->bounds, m);
        else if (ch->shape)
            includeRect(r, any, o->shownShape()->bounds, m);
        if (ch->morph) includeRect(r, any, ch->morph->startBounds, m);
    }
    for (const auto& kv : o->children)
        if (kv.second->clipDepth == 0)
            collectBounds(kv.second.get(), m * kv.second->matrix, r, any, depth + 1);
}

bool shapesContain(const MovieDef& movie, const DisplayObject* o, const Matrix& m, double x, double y,
                   int depth) {
    if (depth > 64 || !o->visible) return false;
    if (o->drawing && !o->drawing->empty()) {
        Matrix inv;
        if (m.invert(inv) && shapeContains(o->drawing->shape(), inv.mapX(x, y), inv.mapY(x, y))) return true;
    }
    if (o->field) {  // text fields take the pointer anywhere in their bounds
        const Rect& b = o->field->bounds;
        Matrix inv;
        if (m.invert(inv)) {
            double lx = inv.mapX(x, y), ly = inv.mapY(x, y);
            if (lx >= b.xMin && lx <= b.xMax && ly >= b.yMin && ly <= b.yMax) return true;
        }
    } else if (o->character && (o->character->shape || o->character->morph)) {
        Matrix inv;
        if (m.invert(inv) && characterContains(movie, o->character, inv.mapX(x, y), inv.mapY(x, y), 0))
            return true;
    }
    for (const auto& kv : o->children)
        if (kv.second->clipDepth == 0 &&
            shapesContain(movie, kv.second.get(), m * kv.second->matrix, x, y, depth + 1))
            return true;
    return false;
}

}  // namespace

DisplayObject* Engine::attachClip(DisplayObject* parent, uint16_t characterId, const std::string& name,
                                  int depth) {
    if (!parent || !parent->hasTimeline() || objects_ >= maxObjects || parent->nesting >= maxNesting)
        return nullptr;
    static const TimelineDef kEmpty = [] {
        TimelineDef t;
        t.frames.resize(1);
        return t;
    }();
    const Character* ch = characterId ? movieOf(parent).character(characterId) : nullptr;
    if (characterId && (!ch || ch->kind != Character::Sprite || ch->button)) return nullptr;
    uint16_t d = listDepth(depth);
    removeChild(parent, d);
    auto o = std::make_shared<DisplayObject>();
    o->depth = d;
    o->characterId = characterId;
    o->character = ch;
    o->movie = parent->movie;
    o->name = name;
    o->parent = parent;
    o->nesting = parent->nesting + 1;
    o->createdTick = tick_;
    o->dynamic = true;
    o->timeline = ch ? ch->sprite.get() : &kEmpty;
    parent->children[d] = o;
    ++objects_;
    if (ch) {
        reconcile(o.get(), o->timeline->stateAt(0));
        queueFrame(o.get(), 0);
    }
    queueEvent(o.get(), kEventLoad);
    return o.get();
}

DisplayObject* Engine::duplicateClip(DisplayObject* source, const std::string& name, int depth) {
    if (!source || !source->parent || !source->hasTimeline() || source->isButton()) return nullptr;
    DisplayObject* copy = attachClip(source->parent, source->characterId, name, depth);
    if (!copy) return nullptr;
    copy->matrix = source->matrix;
    copy->cxform = source->cxform;
    copy->visible = source->visible;
    copy->scriptTransformed = true;
    copy->clipActions = source->clipActions;
    return copy;
}

bool Engine::removeClip(DisplayObject* clip) {
    if (!clip || !clip->parent || clip->depth < kDepthOffset) return false;
    removeChild(clip->parent, clip->depth);
    return true;
}

void Engine::swapDepth(DisplayObject* clip, int depth) {
    if (!clip || !clip->parent) return;
    DisplayObject* parent = clip->parent;
    uint16_t to = listDepth(depth), from = clip->depth;
    if (to == from) return;
    std::shared_ptr<DisplayObject> self = parent->children[from];
    auto other = parent->children.find(to);
    if (other != parent->children.end()) {
        std::shared_ptr<DisplayObject> o = other->second;
        o->depth = from;
        o->dynamic = true;
        parent->children[from] = o;
    } else {
        parent->children.erase(from);
    }
    self->depth = to;
    self->dynamic = true;  // the timeline no longer owns it
    parent->children[to] = self;
}

Matrix Engine::worldMatrix(const DisplayObject* o) const {
    // The level roots' own matrices count: _level1._x moves the level.
    Matrix m;
    for (; o; o = o->parent) m = o->matrix * m;
    return m;
}

Rect Engine::boundsOf(const DisplayObject* o, const Matrix& m) const {
    Rect r;
    bool any = false;
    if (o) collectBounds(o, m, r, any, 0);
    return r;
}

bool Engine::hitTest(const DisplayObject* o, double x, double y, bool shape) const {
    if (!o) return false;
    Matrix m = worldMatrix(o);
    if (shape) return shapesContain(movieOf(o), o, m, x, y, 0);
    Rect b = boundsOf(o, m);
    if (b.xMin == b.xMax && b.yMin == b.yMax) return false;
    return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

DisplayObject* Engine::clipAt(double x, double y, const DisplayObject* except) const {
    // Deepest sprite under the point, topmost first.
    struct Finder {
        const Engine& e;
        const DisplayObject* except;
        double x, y;
        DisplayObject* find(DisplayObject* clip, const Matrix& m, int depth) const {
            if (depth > 64) return nullptr;
            for (auto it = clip->children.rbegin(); it != clip->children.rend(); ++it) {
                DisplayObject* o = it->second.get();
                if (o == except || !o->visible || o->clipDepth > 0 || !o->hasTimeline() || o->isButton())
                    continue;
                Matrix om = m * o->matrix;
                if (!shapesContain(e.movieOf(o), o, om, x, y, 0)) continue;
                DisplayObject* inner = find(o, om, depth + 1);
                if (depth == 0 && !inner) continue;  // a level's root is no drop target
                return inner ? inner : o;
            }
            return nullptr;
        }
    };
    if (!root_) return nullptr;
    return Finder{*this, except, x, y}.find(stage_.get(), Matrix(), 0);
}

void Engine::startDrag(DisplayObject* clip, bool lockCenter, const Rect* limits) {
    if (!clip || !clip->parent) return;
    drag_ = Drag();
    drag_.clip = clip->shared_from_this();
    Matrix inv;
    double px = 0, py = 0;
    if (worldMatrix(clip->parent).invert(inv)) {
        px = inv.mapX(mouseX_, mouseY_);
        py = inv.mapY(mouseX_, mouseY_);
    }
    if (!lockCenter && mouseX_ > -1e8) {
        drag_.dx = clip->matrix.tx - px;
        drag_.dy = clip->matrix.ty - py;
    }
    if (limits) {
        drag_.constrained = true;
        drag_.limits = *limits;
    }
    if (lockCenter && mouseX_ > -1e8) dragTo(mouseX_, mouseY_);
}

void Engine::stopDrag() { drag_.clip.reset(); }

DisplayObject* Engine::draggedClip() const { return liveButton(drag_.clip); }

void Engine::dragTo(double x, double y) {
    DisplayObject* clip = draggedClip();
    if (!clip || !clip->parent) return;
    Matrix inv;
    if (!worldMatrix(clip->parent).invert(inv)) return;
    double nx = inv.mapX(x, y) + drag_.dx, ny = inv.mapY(x, y) + drag_.dy;
    if (drag_.constrained) {
        nx = std::max<double>(drag_.limits.xMin, std::min<double>(drag_.limits.xMax, nx));
        ny = std::max<double>(drag_.limits.yMin, std::min<double>(drag_.limits.yMax, ny));
    }
    clip->matrix.tx = nx;
    clip->matrix.ty = ny;
    clip->scriptTransformed = true;
}

DisplayObject* Engine::clipButtonAt(DisplayObject* clip, double x, double y) const {
    // The topmost clip with button handlers whose shapes hold the point;
    // a parent with handlers takes the pointer for children without.
    if (!vm_ || clip->nesting > 64) return nullptr;
    for (auto it = clip->children.rbegin(); it != clip->children.rend(); ++it) {
        DisplayObject* o = it->second.get();
        if (!o->visible || o->clipDepth > 0 || !o->hasTimeline() || o->isButton()) continue;
        if (DisplayObject* inner = clipButtonAt(o, x, y)) return inner;
        if (vm_->isClipButton(o) && !memberOff(o, "enabled") && hitTest(o, x, y, true)) return o;
    }
    return nullptr;
}

void Engine::clipPointer(uint8_t what) {
    if (!root_ || !vm_) return;
    DisplayObject* hover = liveButton(clipHover_);
    DisplayObject* pressed = liveButton(clipPressed_);
    if (what == 0) {
        DisplayObject* under = liveButton(pressed_) ? nullptr : clipButtonAt(stage_.get(), mouseX_, mouseY_);
        if (under == hover) return;
        if (pressed) {
            // Held: the pressed clip only learns whether the pointer is over it.
            if (hover == pressed) queueHandler(pressed, "onDragOut");
            if (under == pressed) queueHandler(pressed, "onDragOver");
        } else {
            if (hover) queueHandler(hover, "onRollOut");
            if (under) queueHandler(under, "onRollOver");
        }
        clipHover_ = under ? under->shared_from_this() : std::weak_ptr<DisplayObject>();
    } else if (what == 1) {
        if (hover) {
            clipPressed_ = clipHover_;
            queueHandler(hover, "onPress");
        }
    } else if (pressed) {
        clipPressed_.reset();
        DisplayObject* under = clipButtonAt(stage_.get(), mouseX_, mouseY_);
        queueHandler(pressed, under == pressed ? "onRelease" : "onReleaseOutside");
        if (under != pressed) clipHover_ = under ? under->shared_from_this() : std::weak_ptr<DisplayObject>();
    }
}

void Engine::trace(const std::string& text) {
    if (traceLogLines > 0) {
        if (traceLog_.size() >= traceLogLines)
            traceLog_.erase(traceLog_.begin(), traceLog_.begin() + traceLog_.size() / 2);
        traceLog_.push_back(text.size() > 4096 ? text.substr(0, 4096) : text);
    }
    if (onTrace) onTrace(text);
}

bool Engine::keyDown(int code, int ascii) {
    if (!root_) return false;
    if (code >= 0 && code < 256) keys_[code] = true;
    lastKeyCode = code;
    lastKeyAscii = ascii;
    // Tab moves the focus (Shift+Tab backwards); Enter and Space press the
    // focused button; other keys go to the focused field.
    pointerChanged_ = false;
    bool typed = code == 9 ? tabFocus(keys_[16]) : fieldKey(code, ascii);
    if (code == 13 || code == 32) typed = pressFocused(true) || typed;
    typed = typed || pointerChanged_;
    // A focused clip hears its own keys.
    DisplayObject* f = focus();
    if (f && !f->field && vm_ && vm_->hasHandler(f, "onKeyDown")) queueHandler(f, "onKeyDown");
    queueEventTree(stage_.get(), kEventKeyDown);
    queueListeners(1, "onKeyDown");
    bool any = !queue_.empty() || typed;
    runQueuedActions();
    return any;
}

bool Engine::viewResized(int width, int height) {
    if (width == viewWidth && height == viewHeight) return false;
    viewWidth = width;
    viewHeight = height;
    if (!root_ || !noScale) return false;
    queueListeners(3, "onResize");
    bool any = !queue_.empty();
    runQueuedActions();
    return any;
}

bool Engine::keyUp(int code) {
    if (!root_) return false;
    if (code >= 0 && code < 256) keys_[code] = false;
    lastKeyCode = code;
    pointerChanged_ = false;
    bool released = (code == 13 || code == 32) && pressFocused(false);
    DisplayObject* f = focus();
    if (f && !f->field && vm_ && vm_->hasHandler(f, "onKeyUp")) queueHandler(f, "onKeyUp");
    queueEventTree(stage_.get(), kEventKeyUp);
    queueListeners(1, "onKeyUp");
    bool any = !queue_.empty() || released || pointerChanged_;
    runQueuedActions();
    return any;
}

}  // namespace flash
