// What runs scripts from outside a block: handler methods of clips
// (onEnterFrame, onPress...), Key and Mouse listeners, intervals and
// timeouts, and the constructors of classes registered for symbols.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

bool isFunction(const Value& v) { return v.type == Value::Object && v.object && v.object->isFunction(); }

const size_t kMaxTimers = 1024;
const size_t kMaxListeners = 1024;
const int kMaxTimerRunsPerTick = 256;

}  // namespace

bool Avm1::hasHandler(DisplayObject* clip, const char* handler) {
    if (!clip) return false;
    std::string key = engine_.nameKey(handler);
    auto it = clip->variables.find(key);
    if (it != clip->variables.end()) return isFunction(it->second);
    std::shared_ptr<ScriptObject> proto = protoOf(clip);
    const Value* v = proto ? proto->find(key) : nullptr;
    return v && isFunction(*v);
}

bool Avm1::isClipButton(DisplayObject* clip) {
    static const char* const kButtonHandlers[] = {"onPress",   "onRelease", "onReleaseOutside", "onRollOver",
                                                  "onRollOut", "onDragOut", "onDragOver"};
    for (const char* h : kButtonHandlers)
        if (hasHandler(clip, h)) return true;
    return false;
}

void Avm1::startFrame(Frame& f, DisplayObject* clip, long budget) {
    version_ = engine_.movie().version();
    ensureGlobals();
    f.original = clip;
    f.target = clip->shared_from_this();
    f.budget = budget;
}

long Avm1::runHandler(DisplayObject* clip, const char* handler, long budget) {
    Frame f;
    startFrame(f, clip, budget);
    Value self = Value::fromClip(clip->shared_from_this());
    // Looked up on the clip itself: onUnload runs after it left the stage.
    std::string key = engine_.nameKey(handler);
    Value fn;
    std::shared_ptr<ScriptObject> home;  // where a class method was found (for super)
    auto it = clip->variables.find(key);
    if (it != clip->variables.end()) {
        fn = it->second;
    } else {
        std::shared_ptr<ScriptObject> p = protoOf(clip);
        for (int hops = 0; p && hops < 64; ++hops, p = p->proto) {
            auto pit = p->props.find(key);
            if (pit == p->props.end()) continue;
            if (!pit->second.isAccessor()) fn = pit->second.value;
            home = p;
            break;
        }
    }
    std::vector<Value> none;
    if (isFunction(fn)) call(f, fn, self, none, 0, home);
    return budget - std::max(0L, f.budget);
}

bool Avm1::hasListeners(int which) const {
    return !(which == 1 ? keyListeners_ : which == 2 ? mouseListeners_ : stageListeners_).empty();
}

long Avm1::broadcast(int which, const char* handler, long budget) {
    if (!engine_.root()) return 0;
    Frame f;
    startFrame(f, engine_.root(), budget);
    // A copy: listeners may remove themselves.
    std::vector<Value> list = listeners(which);
    for (const Value& l : list) {
        if (f.budget <= 0) break;
        std::vector<Value> none;
        callMethod(f, l, handler, none, 0);
        f.throwing = f.returned = false;
    }
    return budget - std::max(0L, f.budget);
}

double Avm1::now() const {
    double rate = engine_.movie().header().frameRate;
    if (rate <= 0) rate = 12;
    return std::floor(static_cast<double>(engine_.tickCount()) * 1000.0 / rate);
}

int Avm1::addTimer(const Value& fn, const Value& self, const std::string& method, std::vector<Value> args,
                   double interval, bool repeat) {
    if (timers_.size() >= kMaxTimers) return 0;
    Timer t;
    t.id = nextTimer_++;
    t.interval = std::isfinite(interval) ? std::max(1.0, std::min(interval, 1e9)) : 1.0;
    t.due = now() + t.interval;
    t.repeat = repeat;
    t.fn = fn;
    t.self = self;
    t.method = method;
    t.args = std::move(args);
    timers_.push_back(std::move(t));
    return timers_.back().id;
}

void Avm1::clearTimer(int id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                  timers_.end());
}

void Avm1::runTimers(long budget) {
    if (timers_.empty() || !engine_.root()) return;
    Frame f;
    startFrame(f, engine_.root(), budget);
    double clock = now();
    for (int runs = 0; runs < kMaxTimerRunsPerTick && f.budget > 0; ++runs) {
        // The earliest due timer (by due time, then by creation).
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (it->due <= clock && (next == timers_.end() || it->due < next->due)) next = it;
        if (next == timers_.end()) break;
        Timer t = *next;
        if (t.repeat) {
            next->due += t.interval;
            if (next->due <= clock - 1000) next->due = clock + t.interval;  // far behind: skip ahead
        } else {
            timers_.erase(next);
        }
        std::vector<Value> args = t.args;
        if (t.method.empty()) {
            call(f, t.fn, Value(), args, 0);
        } else {
            callMethod(f, t.self, t.method, args, 0);
        }
        f.throwing = f.returned = false;
        f.stack.clear();
    }
}

void Avm1::registerClass(const std::string& symbol, const Value& ctor) {
    std::string key = foldCase(symbol);
    if (ctor.type == Value::Undefined) {
        classes_.erase(key);
    } else if (classes_.size() < 4096 || classes_.count(key)) {
        classes_[key] = ctor;
    }
}

void Avm1::initClip(DisplayObject* clip) {
    if (classes_.empty() || !clip || !clip->characterId) return;
    auto it = classes_.find(engine_.movieOf(clip->parent).exportName(clip->characterId));
    if (it == classes_.end()) return;
    const Value& ctor = it->second;
    const Value* proto = ctor.object ? ctor.object->find("prototype") : nullptr;
    if (!proto || proto->type != Value::Object) return;
    clip->proto = proto->object;
    Frame f;
    startFrame(f, clip, engine_.actionBudget);
    std::vector<Value> none;
    call(f, ctor, Value::fromClip(clip->shared_from_this()), none, 0, proto->object);
}

}  // namespace flash
