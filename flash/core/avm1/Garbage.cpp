// Garbage collection of script objects: objects only reachable from each
// other (a function and its prototype, closures, parent/child links) are
// emptied, which frees them. Runs between scripts, never during one: the
// roots are then _global, the built-in prototypes, registered classes,
// listeners, timers and the variables of every clip on the stage.
#include <unordered_set>

#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

struct Marker {
    std::unordered_set<const void*> seen;
    std::vector<const ScriptObject*> work;
    std::vector<const Scope*> scopes;

    void object(const ScriptObject* o) {
        if (o && seen.insert(o).second) work.push_back(o);
    }
    void value(const Value& v) {
        if (v.type == Value::Object) object(v.object.get());
    }
    void scope(const Scope* s) {
        if (s && seen.insert(s).second) scopes.push_back(s);
    }
    void drain() {
        while (!work.empty() || !scopes.empty()) {
            if (!scopes.empty()) {
                const Scope* s = scopes.back();
                scopes.pop_back();
                for (const auto& kv : s->vars) value(kv.second);
                scope(s->parent.get());
                continue;
            }
            const ScriptObject* o = work.back();
            work.pop_back();
            for (const auto& kv : o->props) {
                value(kv.second.value);
                object(kv.second.getter.get());
                object(kv.second.setter.get());
            }
            for (const Value& v : o->elements) value(v);
            object(o->proto.get());
            value(o->internal);
            if (o->function) scope(o->function->closure.get());
        }
    }
    void clip(const DisplayObject* c, int depth) {
        if (depth > 256) return;
        for (const auto& kv : c->variables) value(kv.second);
        object(c->proto.get());
        for (const auto& kv : c->children) clip(kv.second.get(), depth + 1);
    }
};

}  // namespace

size_t Avm1::collectGarbage(std::vector<std::weak_ptr<ScriptObject>>& registry) {
    Marker m;
    m.object(engine_.globals.get());
    for (const auto& p : {protos_.object, protos_.function, protos_.array, protos_.string, protos_.number,
                          protos_.boolean, protos_.movieClip, protos_.textField})
        m.object(p.get());
    for (const auto& kv : classes_) m.value(kv.second);
    for (const auto* list : {&keyListeners_, &mouseListeners_, &stageListeners_})
        for (const Value& v : *list) m.value(v);
    for (const Timer& t : timers_) {
        m.value(t.fn);
        m.value(t.self);
        for (const Value& v : t.args) m.value(v);
    }
    for (const auto& kv : loadTargets_) m.value(kv.second);
    if (engine_.root()) m.clip(engine_.root(), 0);
    for (const auto& kv : engine_.levels_) m.clip(kv.second.get(), 0);
    m.drain();
    // Unreached objects are emptied; the cycles among them break and the
    // last references go.
    std::vector<std::shared_ptr<ScriptObject>> dead;
    for (auto& w : registry)
        if (std::shared_ptr<ScriptObject> o = w.lock())
            if (!m.seen.count(o.get())) dead.push_back(std::move(o));
    for (auto& o : dead) o->clear();
    size_t freed = dead.size();
    dead.clear();
    return freed;
}

}  // namespace flash
