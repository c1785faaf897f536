#include <memory>
#include <string>

#include "flash/core/avm1/Frame.h"

namespace flash {

DisplayObject* Avm1::targetOf(Frame& f) {
    if (!f.targetValid) return nullptr;
    std::shared_ptr<DisplayObject> t = f.target.lock();
    if (!t) return nullptr;
    if (!t->parent && t.get() != engine_.root() && engine_.level(t->depth) != t.get())
        return nullptr;  // removed meanwhile
    return t.get();
}

bool Avm1::splitVariable(Frame& f, const std::string& path, DisplayObject*& clip, std::string& name) {
    clip = targetOf(f);
    size_t colon = path.rfind(':');
    size_t dot = path.rfind('.');
    if (colon != std::string::npos) {
        clip = engine_.resolveTarget(clip, path.substr(0, colon));
        name = path.substr(colon + 1);
    } else if (dot != std::string::npos && dot > 0 && path.find("..") == std::string::npos) {
        clip = engine_.resolveTarget(clip, path.substr(0, dot));
        name = path.substr(dot + 1);
    } else {
        name = path;
    }
    return clip != nullptr && !name.empty();
}

DisplayObject* childNamed(DisplayObject* clip, const std::string& key, const Engine& e) {
    for (auto& kv : clip->children)
        if (!kv.second->name.empty() && e.nameKey(kv.second->name) == key) return kv.second.get();
    return nullptr;
}

Value Avm1::getVariable(Frame& f, const std::string& path) {
    if (path.find_first_of(":/") != std::string::npos) {
        DisplayObject* clip;
        std::string name;
        if (splitVariable(f, path, clip, name)) {
            auto it = clip->variables.find(engine_.nameKey(name));
            if (it != clip->variables.end()) return it->second;
            int index = propertyIndex(name);  // "/a:_x"
            if (index >= 0) return getProperty(clip, index);
        }
        // A path to a clip evaluates to the clip.
        DisplayObject* c = engine_.resolveTarget(targetOf(f), path);
        return c ? Value::fromClip(c->shared_from_this()) : Value();
    }
    size_t dot = path.find('.');
    if (dot != std::string::npos && dot > 0) {
        // "a.b.c": a variable, then members.
        Value v = getVariable(f, path.substr(0, dot));
        size_t i = dot + 1;
        while (i <= path.size() && v.type != Value::Undefined) {
            size_t j = path.find('.', i);
            if (j == std::string::npos) j = path.size();
            v = getMember(f, v, path.substr(i, j - i));
            i = j + 1;
        }
        return v;
    }
    std::string key = engine_.nameKey(path);
    for (auto w = f.withObjects.rbegin(); w != f.withObjects.rend(); ++w)
        if (hasMember(*w, key)) return getMember(f, *w, path);
    int hops = 0;
    for (Scope* s = f.locals.get(); s && hops < 256; s = s->parent.get(), ++hops) {
        auto it = s->vars.find(key);
        if (it != s->vars.end()) return it->second;
    }
    DisplayObject* clip = targetOf(f);
    if (key == "super" && f.home) return superOf(f);
    if (key == "this") {
        if (f.thisValue.type != Value::Undefined) return f.thisValue;
        return clip ? Value::fromClip(clip->shared_from_this()) : Value();
    }
    int level = 0;
    if (key[0] == '_' && Engine::levelNumber(key, level)) {
        DisplayObject* top = engine_.level(level);
        return top ? Value::fromClip(top->shared_from_this()) : Value();
    }
    if (key == "_root") {
        // The root of the level the script runs in.
        DisplayObject* top = clip ? engine_.levelOf(clip) : engine_.root();
        return top ? Value::fromClip(top->shared_from_this()) : Value();
    }
    if (key == "_parent")
        return clip && clip->parent ? Value::fromClip(clip->parent->shared_from_this()) : Value();
    if (key == "_global") return Value::fromObject(engine_.globals);
    if (clip) {
        auto it = clip->variables.find(key);
        if (it != clip->variables.end()) return it->second;
        int index = key[0] == '_' ? propertyIndex(key) : -1;  // _x alone: the timeline's own
        if (index >= 0) return getProperty(clip, index);
        if (DisplayObject* c = childNamed(clip, key, engine_)) return Value::fromClip(c->shared_from_this());
    }
    if (engine_.globals) {
        auto it = engine_.globals->props.find(key);
        if (it != engine_.globals->props.end()) return it->second.value;
    }
    return Value();
}

void Avm1::setVariable(Frame& f, const std::string& path, const Value& v) {
    size_t dot = path.rfind('.');
    if (path.find_first_of(":/") == std::string::npos && dot != std::string::npos && dot > 0 &&
        dot + 1 < path.size()) {
        Value base = getVariable(f, path.substr(0, dot));
        if (base.type == Value::Object || base.type == Value::Clip)
            setMember(f, base, path.substr(dot + 1), v);
        return;
    }
    if (path.find_first_of(":/.") == std::string::npos) {
        std::string key = engine_.nameKey(path);
        for (auto w = f.withObjects.rbegin(); w != f.withObjects.rend(); ++w) {
            if (hasMember(*w, key)) {
                setMember(f, *w, path, v);
                return;
            }
        }
        int hops = 0;
        for (Scope* s = f.locals.get(); s && hops < 256; s = s->parent.get(), ++hops) {
            auto it = s->vars.find(key);
            if (it != s->vars.end()) {
                it->second = v;
                return;
            }
        }
    }
    DisplayObject* clip;
    std::string name;
    if (!splitVariable(f, path, clip, name)) return;
    int index = name[0] == '_' ? propertyIndex(name) : -1;  // _x = 5, "/a:_x"
    if (index >= 0) {
        setProperty(clip, index, v);
        return;
    }
    if (clip->variables.size() >= kMaxProps && !clip->variables.count(engine_.nameKey(name))) return;
    clip->variables[engine_.nameKey(name)] = v;
}
}  // namespace flash
