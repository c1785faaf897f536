#include "flash/core/Engine.h"

#include <algorithm>
#include <cmath>

#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"

namespace flash {

Engine::Engine() = default;
Engine::~Engine() { unload(); }

bool Engine::load(const uint8_t* data, size_t size) {
    unload();
    if (!movie_.load(data, size)) return false;
    root_ = std::make_shared<DisplayObject>();
    root_->timeline = &movie_.root();
    root_->playing = true;
    objects_ = 1;
    reconcile(root_.get(), movie_.root().stateAt(0));
    queueFrame(root_.get(), 0);
    runQueuedActions();
    return true;
}

void Engine::unload() {
    queue_.clear();
    cancelLoads();
    hover_.reset();
    pressed_.reset();
    mouseDown_ = false;
    root_.reset();
    textFields_.clear();
    nextFieldCompaction_ = 0;
    objects_ = 0;
    tick_ = 0;
    initActionsRun_.clear();
    nextCollection_ = 0;
    liveAfterCollection_ = 0;
    drag_ = Drag();
    focus_.reset();
    noScale = false;
    clipHover_.reset();
    clipPressed_.reset();
    std::fill(std::begin(keys_), std::end(keys_), false);
    releaseScriptObjects();
}

void Engine::tick() {
    if (!root_) return;
    ++tick_;
    deliverLoads();
    if (!root_) return;
    advance(root_.get());
    std::vector<std::shared_ptr<DisplayObject>> levels;
    for (auto& kv : levels_) levels.push_back(kv.second);
    for (auto& l : levels) advance(l.get());
    runQueuedActions();
    // Intervals and timeouts due by the movie's clock.
    if (vm_ && root_) {
        vm_->runTimers(tickBudget);
        refreshTextFields();
    }
}

void Engine::advance(DisplayObject* clip) {
    queueEvent(clip, kEventEnterFrame);
    int n = clip->frameCount();
    if (clip->playing && n > 1) {
        int next = clip->currentFrame + 1;
        if (next >= n) {
            if (clip == root_.get() && !loop) {
                clip->playing = false;
            } else {
                gotoFrame(clip, 0);
            }
        } else {
            applyNextFrame(clip, next);
            clip->currentFrame = next;
            queueFrame(clip, next);
        }
    }
    // Children placed during this tick start advancing with the next one.
    std::vector<std::shared_ptr<DisplayObject>> kids;
    for (auto& kv : clip->children)
        if (kv.second->hasTimeline() && kv.second->createdTick < tick_) kids.push_back(kv.second);
    for (auto& k : kids)
        if (k->parent == clip) advance(k.get());
}

void Engine::gotoFrame(DisplayObject* clip, int frame) {
    if (!clip || !clip->timeline) return;
    frame = std::max(0, std::min(frame, clip->frameCount() - 1));
    if (frame == clip->currentFrame) return;
    if (frame == clip->currentFrame + 1) {
        applyNextFrame(clip, frame);
    } else {
        reconcile(clip, clip->timeline->stateAt(frame));
    }
    clip->currentFrame = frame;
    queueFrame(clip, frame);
}

static void assignPlacement(DisplayObject& o, const Placement& p) {
    if (!o.scriptTransformed) {
        o.matrix = p.matrix;
        o.cxform = p.cxform;
    }
    o.ratio = p.ratio;
    o.name = p.name;
    o.clipDepth = p.clipDepth;
    o.filters = p.filters;
    o.blendMode = p.blendMode;
    o.cacheAsBitmap = p.cacheAsBitmap;
}

void Engine::applyNextFrame(DisplayObject* clip, int frame) {
    const FrameDef& f = clip->timeline->frames[frame];
    for (const FrameCommand& cmd : f.commands) {
        if (cmd.kind == FrameCommand::Remove) {
            removeChild(clip, cmd.depth);
            continue;
        }
        const PlaceCommand& p = cmd.place;
        auto it = clip->children.find(p.depth);
        if (!p.move) {
            if (!p.hasCharacter || it != clip->children.end()) continue;
            create(clip, p.depth, newPlacement(p));
            continue;
        }
        if (it == clip->children.end()) {
            if (!p.hasCharacter) continue;
            create(clip, p.depth, newPlacement(p));
            continue;
        }
        DisplayObject& o = *it->second;
        if (p.hasCharacter && o.characterId != p.characterId) {
            // Replacement: a new instance that keeps the attributes not given.
            Placement np;
            np.characterId = p.characterId;
            np.matrix = p.hasMatrix ? p.matrix : o.matrix;
            np.cxform = p.hasCxform ? p.cxform : o.cxform;
            np.ratio = p.hasRatio ? p.ratio : o.ratio;
            np.name = p.hasName ? p.name : o.name;
            np.clipDepth = p.hasClipDepth ? p.clipDepth : o.clipDepth;
            np.filters = p.hasFilters ? p.filters : o.filters;
            np.blendMode = p.hasBlendMode ? p.blendMode : o.blendMode;
            np.cacheAsBitmap = p.hasCacheAsBitmap ? p.cacheAsBitmap : o.cacheAsBitmap;
            np.serial = p.serial;
            removeChild(clip, p.depth);
            create(clip, p.depth, np);
            continue;
        }
        if (!o.scriptTransformed) {
            if (p.hasMatrix) o.matrix = p.matrix;
            if (p.hasCxform) o.cxform = p.cxform;
        }
        if (p.hasRatio) o.ratio = p.ratio;
        if (p.hasName) o.name = p.name;
        if (p.hasClipDepth) o.clipDepth = p.clipDepth;
        if (p.hasFilters) o.filters = p.filters;
        if (p.hasBlendMode) o.blendMode = p.blendMode;
        if (p.hasCacheAsBitmap) o.cacheAsBitmap = p.cacheAsBitmap;
    }
}

void Engine::reconcile(DisplayObject* clip, const PlacementState& state) {
    std::vector<uint16_t> gone;
    for (auto& kv : clip->children) {
        if (kv.second->dynamic) continue;
        auto it = state.find(kv.first);
        DisplayObject& o = *kv.second;
        if (it != state.end() && it->second.serial == o.serial && it->second.characterId == o.characterId) {
            assignPlacement(o, it->second);
        } else {
            gone.push_back(kv.first);
        }
    }
    for (uint16_t d : gone) removeChild(clip, d);
    for (const auto& kv : state)
        if (!clip->children.count(kv.first)) create(clip, kv.first, kv.second);
}

std::shared_ptr<DisplayObject> Engine::create(DisplayObject* parent, uint16_t depth, const Placement& p) {
    const MovieDef& md = movieOf(parent);
    const Character* ch = md.character(p.characterId);
    if (!ch || objects_ >= maxObjects) return nullptr;
    if (ch->kind == Character::Sprite && parent->nesting >= maxNesting) return nullptr;
    auto o = std::make_shared<DisplayObject>();
    o->depth = depth;
    o->characterId = p.characterId;
    o->character = ch;
    o->movie = parent->movie;
    o->serial = p.serial;
    o->parent = parent;
    o->nesting = parent->nesting + 1;
    o->createdTick = tick_;
    assignPlacement(*o, p);
    parent->children[depth] = o;
    ++objects_;
    if (ch->editText) bindTextField(o.get());
    if (ch->kind == Character::Sprite) {
        o->timeline = ch->sprite.get();
        o->currentFrame = 0;
        o->playing = true;
        o->clipActions = md.clipActions(p.serial);
        reconcile(o.get(), o->timeline->stateAt(0));
        if (vm_ && !ch->button) vm_->initClip(o.get());
        if (ch->button) showButtonState(o.get());
        queueFrame(o.get(), 0);
        queueEvent(o.get(), kEventLoad);
    }
    return o;
}

void Engine::countObjects(const DisplayObject* o, int sign) {
    objects_ += sign;
    for (auto& kv : o->children) countObjects(kv.second.get(), sign);
}

void Engine::removeChild(DisplayObject* parent, uint16_t depth) {
    auto it = parent->children.find(depth);
    if (it == parent->children.end()) return;
    std::shared_ptr<DisplayObject> o = it->second;
    parent->children.erase(it);
    countObjects(o.get(), -1);
    if (vm_) queueUnload(o.get(), 0);
    o->parent = nullptr;
}

void Engine::queueUnload(DisplayObject* clip, int depth) {
    if (!clip->hasTimeline() || depth > 64) return;
    size_t before = queue_.size();
    if (clip->clipActions)
        for (const ClipAction& a : *clip->clipActions)
            if (a.events & kEventUnload) queue_.push_back({clip->shared_from_this(), {a.data, a.size}});
    if (vm_->hasHandler(clip, "onUnload")) queueHandler(clip, "onUnload");
    for (size_t i = before; i < queue_.size(); ++i) queue_[i].offStage = clip->shared_from_this();
    for (auto& kv : clip->children) queueUnload(kv.second.get(), depth + 1);
}

bool Engine::memberOff(const DisplayObject* o, const char* name) const {
    auto it = o->variables.find(nameKey(name));
    return it != o->variables.end() && !toBoolean(it->second, movie_.version());
}

void Engine::queueFrame(DisplayObject* clip, int frame) {
    if (!clip->timeline || frame < 0 || frame >= clip->frameCount()) return;
    if (sound) sound->frameEntered(clip, frame);
    for (const ActionBlock& b : clip->timeline->frames[frame].initActions) {
        if (std::find(initActionsRun_.begin(), initActionsRun_.end(), b.data) != initActionsRun_.end())
            continue;
        initActionsRun_.push_back(b.data);
        queue_.push_back({root_, b});
    }
    for (const ActionBlock& b : clip->timeline->frames[frame].actions) {
        queue_.push_back({clip->shared_from_this(), b});
    }
}

void Engine::runQueuedActions() {
    if (runningQueue_) return;  // scripts run from the loop below queue more
    runningQueue_ = true;
    Avm1& vm = this->vm();
    long left = tickBudget;
    bool exhausted = false;
    for (size_t i = 0; i < queue_.size() && static_cast<int>(i) < maxBlocksPerTick && left > 0; ++i) {
        std::shared_ptr<DisplayObject> clip = queue_[i].clip.lock();
        if (!clip || (!onStage(clip.get()) && !queue_[i].offStage)) continue;
        queue_[i].offStage.reset();
        if (queue_[i].listeners) {
            left -= vm.broadcast(queue_[i].listeners, queue_[i].handler, std::min(actionBudget, left));
        } else if (queue_[i].handler) {
            left -= vm.runHandler(clip.get(), queue_[i].handler, std::min(actionBudget, left));
        } else {
            ActionBlock block = queue_[i].block;
            left -= vm.run(clip.get(), block, std::min(actionBudget, left));
        }
        exhausted = exhausted || lastScriptHitBudget;
    }
    lastScriptHitBudget = exhausted;
    queue_.clear();
    // Between scripts: objects that only refer to each other are freed once
    // the registry has grown well past what lived after the last collection
    // or has used half the room that was left.
    size_t room = maxScriptObjects > liveAfterCollection_ ? maxScriptObjects - liveAfterCollection_ : 0;
    if (vm_ && scriptObjects_.size() >= std::min(nextCollection_, liveAfterCollection_ + room / 2)) {
        vm_->collectGarbage(scriptObjects_);
        scriptObjects_.erase(std::remove_if(scriptObjects_.begin(), scriptObjects_.end(),
                                            [](const std::weak_ptr<ScriptObject>& w) { return w.expired(); }),
                             scriptObjects_.end());
        nextCollection_ =
            std::max<size_t>(scriptObjects_.size() * 2, std::min<size_t>(maxScriptObjects / 4, 4096));
    }
    refreshTextFields();
    runningQueue_ = false;
}

std::string Engine::nameKey(const std::string& name) const {
    return movie_.version() >= 7 ? name : foldCase(name);
}

static DisplayObject* childByName(DisplayObject* clip, const std::string& key, const Engine& e) {
    for (auto& kv : clip->children)
        if (!kv.second->name.empty() && e.nameKey(kv.second->name) == key) return kv.second.get();
    return nullptr;
}

DisplayObject* Engine::resolveTarget(DisplayObject* base, const std::string& path) const {
    if (!root_) return nullptr;
    if (path.empty()) return base;
    DisplayObject* cur = base;
    size_t i = 0;
    if (path[0] == '/') {
        cur = root_.get();
        i = 1;
    }
    while (cur && i <= path.size()) {
        size_t j = path.find_first_of("/.:", i);
        if (j == std::string::npos) j = path.size();
        std::string seg = path.substr(i, j - i);
        // ".." is one segment although it contains dots.
        if (seg.empty() && j < path.size() && path.compare(j, 2, "..") == 0) {
            seg = "..";
            j += 2;
        }
        if (!seg.empty()) {
            std::string key = nameKey(seg);
            if (seg == ".." || key == nameKey("_parent")) {
                cur = cur->parent;
            } else if (key == nameKey("_root") || key == nameKey("_level0")) {
                cur = root_.get();
            } else if (seg == "." || key == nameKey("this")) {
                // stays
            } else {
                cur = childByName(cur, key, *this);
            }
        }
        if (j >= path.size()) break;
        i = j + 1;
    }
    return cur;
}

std::string Engine::targetPath(const DisplayObject* clip) const {
    if (!clip) return "";
    std::string path;
    for (const DisplayObject* o = clip; o && o->parent; o = o->parent) path = "/" + o->name + path;
    return path.empty() ? "/" : path;
}

// ---- Edit text bound to variables ----

namespace {

// The timeline whose variables a field shows: the one holding it, or for
// a field inside a button, the one holding the button.
DisplayObject* textHolder(DisplayObject* field) {
    DisplayObject* h = field->parent;
    return h && h->isButton() ? h->parent : h;
}

size_t edgeCount(const ShapeData& shape) {
    size_t n = 0;
    for (const ShapeLayer& L : shape.layers) n += L.edges.size();
    return n;
}

// What of a string can show in a field: UTF-8 takes at most four bytes
// per character.
std::string showable(const std::string& s, size_t maxChars) {
    return s.size() / 4 > maxChars ? s.substr(0, maxChars * 4) : s;
}

}  // namespace

bool Engine::onStage(const DisplayObject* o) const {
    for (; o && o != root_.get(); o = o->parent)
        if (!o->parent) return level(o->depth) == o;
    return o != nullptr;
}

void Engine::bindTextField(DisplayObject* field) {
    // Entries of removed fields are dropped once the list has doubled.
    if (textFields_.size() >= nextFieldCompaction_) {
        textFields_.erase(std::remove_if(textFields_.begin(), textFields_.end(),
                                         [](const std::weak_ptr<DisplayObject>& w) { return w.expired(); }),
                          textFields_.end());
        nextFieldCompaction_ = textFields_.size() * 2 + 64;
    }
    textFields_.push_back(field->shared_from_this());
    const EditTextDef& def = *field->character->editText;
    // Until the next refresh the field shows the character's own picture.
    field->shownText = showable(def.initialText, maxFieldChars);
    DisplayObject* holder = textHolder(field);
    if (!holder || def.variable.empty()) return;
    Avm1& vm = this->vm();
    if (vm.readVariable(holder, def.variable).type == Value::Undefined)
        vm.writeVariable(holder, def.variable, Value::fromString(def.initialText));
}

void Engine::refreshTextFields() {
    if (!root_ || textFields_.empty()) return;
    std::vector<std::shared_ptr<DisplayObject>> fields;
    size_t held = 0;  // edges of the pictures of fields on the stage
    for (const auto& w : textFields_) {
        std::shared_ptr<DisplayObject> o = w.lock();
        if (!o || !onStage(o.get())) continue;
        held += o->textEdges;
        fields.push_back(std::move(o));
    }
    Avm1& vm = this->vm();
    for (const auto& o : fields) {
        if (o->field) {
            refreshField(o.get(), held);
            continue;
        }
        const EditTextDef& def = *o->character->editText;
        DisplayObject* holder = textHolder(o.get());
        if (!holder || def.variable.empty()) continue;
        Value v = vm.readVariable(holder, def.variable);
        std::string text = v.type == Value::Undefined
                               ? std::string()
                               : showable(toString(v, movie_.version(), &localOffset), maxFieldChars);
        if (text == o->shownText) continue;
        o->shownText = std::move(text);
        held -= std::min(held, o->textEdges);
        o->textShape.reset();
        o->textEdges = 0;
        // The character's own picture shows the initial text, and without
        // embedded glyphs the field draws the same whatever it holds.
        if (o->shownText == showable(def.initialText, maxFieldChars)) continue;
        if (!def.outlines || !def.font || def.font->glyphs.empty()) continue;
        size_t budget = std::min(maxFieldEdges, maxTextEdges - std::min(held, maxTextEdges));
        std::unique_ptr<ShapeData> shape = layoutEditText(def, o->shownText, budget, maxFieldChars);
        o->textEdges = edgeCount(*shape);
        held += o->textEdges;
        o->textShape = std::move(shape);
    }
}

// ---- Clip events ----

void Engine::queueEvent(DisplayObject* clip, uint32_t event) {
    if (clip->clipActions)
        for (const ClipAction& a : *clip->clipActions)
            if (a.events & event) queue_.push_back({clip->shared_from_this(), {a.data, a.size}});
    static const struct {
        uint32_t event;
        const char* handler;
    } kHandlers[] = {{kEventLoad, "onLoad"},
                     {kEventEnterFrame, "onEnterFrame"},
                     {kEventMouseMove, "onMouseMove"},
                     {kEventMouseDown, "onMouseDown"},
                     {kEventMouseUp, "onMouseUp"}};
    if (!vm_ || !clip->hasTimeline()) return;
    for (const auto& h : kHandlers)
        if ((h.event & event) && vm_->hasHandler(clip, h.handler)) queueHandler(clip, h.handler);
}

void Engine::queueHandler(DisplayObject* clip, const char* handler) {
    Queued q;
    q.clip = clip->shared_from_this();
    q.handler = handler;
    queue_.push_back(q);
}

void Engine::queueListeners(int which, const char* handler) {
    if (!root_ || !vm_ || !vm_->hasListeners(which)) return;
    Queued q;
    q.clip = root_;
    q.handler = handler;
    q.listeners = which;
    queue_.push_back(q);
}

void Engine::queueEventTree(DisplayObject* clip, uint32_t event) {
    queueEvent(clip, event);
    for (auto& kv : clip->children) queueEventTree(kv.second.get(), event);
}

// ---- Buttons ----

void Engine::showButtonState(DisplayObject* b) {
    static const uint8_t kShown[4] = {kStateUp, kStateOver, kStateDown, kStateUp};
    uint8_t bit = kShown[b->buttonPhase & 3];
    if (b->shownState == bit) return;
    b->shownState = static_cast<int8_t>(bit);
    std::vector<uint16_t> depths;
    for (auto& kv : b->children) depths.push_back(kv.first);
    for (uint16_t d : depths) removeChild(b, d);
    for (const ButtonRecord& rec : b->character->button->records) {
        if (!(rec.states & bit) || b->children.count(rec.depth)) continue;
        Placement p;
        p.characterId = rec.characterId;
        p.matrix = rec.matrix;
        if (rec.hasCxform) p.cxform = rec.cxform;
        p.filters = rec.filters;
        p.blendMode = rec.blendMode;
        create(b, rec.depth, p);
    }
}

void Engine::buttonTransition(DisplayObject* b, uint8_t phase, uint16_t condition) {
    pointerChanged_ = true;
    b->buttonPhase = phase;
    showButtonState(b);
    if (sound) sound->buttonTransition(b, condition);
    // Button actions run on the timeline that holds the button.
    if (!b->parent) return;
    for (const ButtonAction& a : b->character->button->actions)
        if (a.conditions & condition) queue_.push_back({b->parent->shared_from_this(), {a.data, a.size}});
}

DisplayObject* Engine::liveButton(const std::weak_ptr<DisplayObject>& w) const {
    std::shared_ptr<DisplayObject> b = w.lock();
    if (!b || !root_) return nullptr;
    for (const DisplayObject* o = b.get(); o != root_.get(); o = o->parent)
        if (!o->parent) return nullptr;  // removed from the stage
    return b.get();
}

namespace {

// Crossings of a rightward ray from (px, py) with one segment.
inline int crossing(double x0, double y0, double x1, double y1, double px, double py) {
    if ((y0 > py) == (y1 > py)) return 0;
    double x = x0 + (py - y0) * (x1 - x0) / (y1 - y0);
    return x > px ? 1 : 0;
}

}  // namespace

bool shapeContains(const ShapeData& shape, double px, double py) {
    const Rect& b = shape.bounds;
    if (px < b.xMin || px > b.xMax || py < b.yMin || py > b.yMax) return false;
    for (const ShapeLayer& layer : shape.layers) {
        if (layer.fills.empty()) continue;
        for (size_t f = 1; f < layer.fillEdges.size(); ++f) {
            int count = 0;
            for (const EdgeRef& ref : layer.fillEdges[f]) {
                if (ref.index >= layer.edges.size()) continue;
                const Edge& e = layer.edges[ref.index];
                if (!e.curve) {
                    count += crossing(e.x0, e.y0, e.x1, e.y1, px, py);
                    continue;
                }
                double lx = e.x0, ly = e.y0;
                for (int i = 1; i <= 8; ++i) {
                    double t = i / 8.0, u = 1 - t;
                    double x = u * u * e.x0 + 2 * u * t * e.cx + t * t * e.x1;
                    double y = u * u * e.y0 + 2 * u * t * e.cy + t * t * e.y1;
                    count += crossing(lx, ly, x, y, px, py);
                    lx = x;
                    ly = y;
                }
            }
            if (count & 1) return true;
        }
    }
    return false;
}

bool characterContains(const MovieDef& movie, const Character* ch, double x, double y, int depth) {
    if (!ch || depth > 4) return false;
    switch (ch->kind) {
        case Character::Shape:
            return shapeContains(*ch->shape, x, y);
        case Character::Morph: {
            const Rect& b = ch->morph->startBounds;
            return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
        }
        case Character::Sprite: {
            // A sprite in a hit state counts with what its first frame shows.
            PlacementState state = ch->sprite->stateAt(0);
            for (const auto& kv : state) {
                Matrix inv;
                if (!kv.second.matrix.invert(inv)) continue;
                if (characterContains(movie, movie.character(kv.second.characterId), inv.mapX(x, y),
                                      inv.mapY(x, y), depth + 1))
                    return true;
            }
            return false;
        }
        case Character::Video: {
            const VideoDef& v = *ch->video;
            return x >= 0 && y >= 0 && x <= v.width * 20.0 && y <= v.height * 20.0;
        }
    }
    return false;
}

namespace {

DisplayObject* findButton(const Engine& e, DisplayObject* clip, const Matrix& m, double x, double y) {
    for (auto it = clip->children.rbegin(); it != clip->children.rend(); ++it) {
        DisplayObject* o = it->second.get();
        if (!o->visible || o->clipDepth > 0) continue;
        Matrix om = m * o->matrix;
        if (o->isButton()) {
            if (e.memberOff(o, "enabled")) continue;  // a disabled button takes no pointer
            const MovieDef& movie = e.movieOf(o);
            for (const ButtonRecord& rec : o->character->button->records) {
                if (!(rec.states & kStateHit)) continue;
                Matrix inv;
                if (!(om * rec.matrix).invert(inv)) continue;
                if (characterContains(movie, movie.character(rec.characterId), inv.mapX(x, y), inv.mapY(x, y),
                                      0))
                    return o;
            }
        } else if (o->hasTimeline()) {
            if (DisplayObject* b = findButton(e, o, om, x, y)) return b;
        }
    }
    return nullptr;
}

}  // namespace

DisplayObject* Engine::buttonAt(double x, double y) const {
    if (!root_) return nullptr;
    return findButton(*this, root_.get(), Matrix(), x, y);
}

bool Engine::mouseMove(double x, double y) {
    if (!root_) return false;
    pointerChanged_ = false;
    mouseX_ = x;
    mouseY_ = y;
    DisplayObject* pressed = liveButton(pressed_);
    DisplayObject* under = buttonAt(x, y);
    if (pressed) {
        bool menu = pressed->character->button->trackAsMenu;
        if (under == pressed && pressed->buttonPhase == kOutDown) {
            buttonTransition(pressed, kOverDown, kOutDownToOverDown);
        } else if (under != pressed && pressed->buttonPhase == kOverDown) {
            if (menu) {
                buttonTransition(pressed, kIdle, kOverDownToIdle);
                pressed_.reset();
            } else {
                buttonTransition(pressed, kOutDown, kOverDownToOutDown);
            }
        }
    } else {
        DisplayObject* hover = liveButton(hover_);
        if (hover != under) {
            if (hover && hover->buttonPhase != kIdle) buttonTransition(hover, kIdle, kOverUpToIdle);
            if (under) {
                // With the button held, only menu buttons take the pointer over.
                if (!mouseDown_) {
                    buttonTransition(under, kOverUp, kIdleToOverUp);
                } else if (under->character->button->trackAsMenu) {
                    buttonTransition(under, kOverDown, kIdleToOverDown);
                    pressed_ = under->shared_from_this();
                }
            }
            hover_ = under ? under->shared_from_this() : std::weak_ptr<DisplayObject>();
        }
    }
    if (draggedClip()) {
        dragTo(x, y);
        pointerChanged_ = true;
    }
    clipPointer(0);
    queueEventTree(root_.get(), kEventMouseMove);
    queueListeners(2, "onMouseMove");
    if (!queue_.empty()) pointerChanged_ = true;
    runQueuedActions();
    return pointerChanged_;
}

bool Engine::mouseDown() {
    if (!root_ || mouseDown_) return false;
    pointerChanged_ = false;
    mouseDown_ = true;
    DisplayObject* hover = liveButton(hover_);
    if (hover && hover->buttonPhase == kOverUp) {
        buttonTransition(hover, kOverDown, kOverUpToOverDown);
        pressed_ = hover->shared_from_this();
    }
    clipPointer(1);
    clickFields();
    queueEventTree(root_.get(), kEventMouseDown);
    queueListeners(2, "onMouseDown");
    if (!queue_.empty()) pointerChanged_ = true;
    runQueuedActions();
    return pointerChanged_;
}

bool Engine::mouseUp() {
    if (!root_ || !mouseDown_) return false;
    pointerChanged_ = false;
    mouseDown_ = false;
    if (DisplayObject* pressed = liveButton(pressed_)) {
        if (pressed->buttonPhase == kOverDown) {
            buttonTransition(pressed, kOverUp, kOverDownToOverUp);
            hover_ = pressed_;
        } else if (pressed->buttonPhase == kOutDown) {
            buttonTransition(pressed, kIdle, kOutDownToIdle);
            hover_.reset();
        }
    }
    pressed_.reset();
    clipPointer(2);
    queueEventTree(root_.get(), kEventMouseUp);
    queueListeners(2, "onMouseUp");
    if (!queue_.empty()) pointerChanged_ = true;
    runQueuedActions();
    bool changed = pointerChanged_;
    // The release may have moved things: the pointer may be over another button.
    if (root_ && buttonAt(mouseX_, mouseY_) != liveButton(hover_))
        changed = mouseMove(mouseX_, mouseY_) || true;
    return changed;
}

Engine::Cursor Engine::cursor() const {
    // Buttons and clips acting as buttons show the hand unless their
    // useHandCursor is false.
    DisplayObject* pressed = liveButton(pressed_);
    if (pressed)
        return pressed->buttonPhase == kOverDown && !memberOff(pressed, "useHandCursor") ? Cursor::Hand
                                                                                         : Cursor::Arrow;
    DisplayObject* hover = liveButton(hover_);
    if (hover && hover->buttonPhase != kIdle)
        return memberOff(hover, "useHandCursor") ? Cursor::Arrow : Cursor::Hand;
    DisplayObject* clip = liveButton(clipPressed_) ? liveButton(clipPressed_) : liveButton(clipHover_);
    return clip && !memberOff(clip, "useHandCursor") ? Cursor::Hand : Cursor::Arrow;
}

// ---- Script objects ----

std::shared_ptr<ScriptObject> Engine::newObject() {
    // Dropping the entries of freed objects costs a pass over the registry;
    // it runs only after many registrations or refusals, so a script that
    // keeps asking at the limit does not pay it on every object.
    if (scriptObjects_.size() >= nextCompaction_) {
        scriptObjects_.erase(std::remove_if(scriptObjects_.begin(), scriptObjects_.end(),
                                            [](const std::weak_ptr<ScriptObject>& w) { return w.expired(); }),
                             scriptObjects_.end());
        nextCompaction_ = scriptObjects_.size() + std::max<size_t>(maxScriptObjects / 2, 16);
        refusals_ = 0;
    }
    if (scriptObjects_.size() >= maxScriptObjects) {
        if (++refusals_ >= std::max<size_t>(maxScriptObjects / 2, 16)) nextCompaction_ = 0;
        return nullptr;
    }
    auto o = std::make_shared<ScriptObject>();
    scriptObjects_.push_back(o);
    return o;
}

void Engine::releaseScriptObjects() {
    // Objects may refer to each other in cycles; emptying them frees all.
    std::vector<std::shared_ptr<ScriptObject>> live;
    for (auto& w : scriptObjects_)
        if (auto o = w.lock()) live.push_back(o);
    for (auto& o : live) o->clear();
    scriptObjects_.clear();
    nextCompaction_ = 0;
    globals.reset();
    vm_.reset();
}

Avm1& Engine::vm() {
    if (!vm_) vm_ = std::make_unique<Avm1>(*this);
    return *vm_;
}

}  // namespace flash
