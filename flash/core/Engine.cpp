#include "flash/core/Engine.h"

#include <algorithm>

#include "flash/core/Avm1.h"

namespace flash {

Engine::Engine() = default;
Engine::~Engine() = default;

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
    root_.reset();
    objects_ = 0;
    tick_ = 0;
}

void Engine::tick() {
    if (!root_) return;
    ++tick_;
    advance(root_.get());
    runQueuedActions();
}

void Engine::advance(DisplayObject* clip) {
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
            Placement np;
            np.characterId = p.characterId;
            if (p.hasMatrix) np.matrix = p.matrix;
            if (p.hasCxform) np.cxform = p.cxform;
            if (p.hasRatio) np.ratio = p.ratio;
            if (p.hasName) np.name = p.name;
            if (p.hasClipDepth) np.clipDepth = p.clipDepth;
            np.serial = p.serial;
            create(clip, p.depth, np);
            continue;
        }
        if (it == clip->children.end()) {
            if (!p.hasCharacter) continue;
            Placement np;
            np.characterId = p.characterId;
            if (p.hasMatrix) np.matrix = p.matrix;
            if (p.hasCxform) np.cxform = p.cxform;
            if (p.hasRatio) np.ratio = p.ratio;
            if (p.hasName) np.name = p.name;
            if (p.hasClipDepth) np.clipDepth = p.clipDepth;
            np.serial = p.serial;
            create(clip, p.depth, np);
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
    }
}

void Engine::reconcile(DisplayObject* clip, const PlacementState& state) {
    std::vector<uint16_t> gone;
    for (auto& kv : clip->children) {
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
    const Character* ch = movie_.character(p.characterId);
    if (!ch || objects_ >= maxObjects) return nullptr;
    if (ch->kind == Character::Sprite && parent->nesting >= maxNesting) return nullptr;
    auto o = std::make_shared<DisplayObject>();
    o->depth = depth;
    o->characterId = p.characterId;
    o->character = ch;
    o->serial = p.serial;
    o->parent = parent;
    o->nesting = parent->nesting + 1;
    o->createdTick = tick_;
    assignPlacement(*o, p);
    parent->children[depth] = o;
    ++objects_;
    if (ch->kind == Character::Sprite) {
        o->timeline = ch->sprite.get();
        o->currentFrame = 0;
        o->playing = true;
        reconcile(o.get(), o->timeline->stateAt(0));
        queueFrame(o.get(), 0);
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
    o->parent = nullptr;
}

void Engine::queueFrame(DisplayObject* clip, int frame) {
    if (!clip->timeline || frame < 0 || frame >= clip->frameCount()) return;
    for (const ActionBlock& b : clip->timeline->frames[frame].actions) {
        queue_.push_back({clip->shared_from_this(), b});
    }
}

void Engine::runQueuedActions() {
    if (runningQueue_) return;  // scripts run from the loop below queue more
    runningQueue_ = true;
    Avm1 vm(*this);
    long left = tickBudget;
    bool exhausted = false;
    for (size_t i = 0; i < queue_.size() && static_cast<int>(i) < maxBlocksPerTick && left > 0; ++i) {
        std::shared_ptr<DisplayObject> clip = queue_[i].clip.lock();
        if (!clip || (clip != root_ && !clip->parent)) continue;
        ActionBlock block = queue_[i].block;
        left -= vm.run(clip.get(), block, std::min(actionBudget, left));
        exhausted = exhausted || lastScriptHitBudget;
    }
    lastScriptHitBudget = exhausted;
    queue_.clear();
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

}  // namespace flash
