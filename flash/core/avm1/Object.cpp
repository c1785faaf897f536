#include "flash/core/avm1/Object.h"

#include <algorithm>

namespace flash {

const Property* ScriptObject::findProperty(const std::string& key) const {
    const ScriptObject* o = this;
    for (int hops = 0; o && hops < 64; ++hops, o = o->proto.get()) {
        auto it = o->props.find(key);
        if (it != o->props.end()) return &it->second;
    }
    return nullptr;
}

const Value* ScriptObject::find(const std::string& key) const {
    const Property* p = findProperty(key);
    return p && !p->isAccessor() ? &p->value : nullptr;
}

Property& ScriptObject::own(const std::string& key) {
    auto r = props.try_emplace(key);
    if (r.second) r.first->second.order = ++added;
    return r.first->second;
}

std::vector<const std::pair<const std::string, Property>*> ScriptObject::inOrder() const {
    std::vector<const std::pair<const std::string, Property>*> out;
    out.reserve(props.size());
    for (const auto& kv : props) out.push_back(&kv);
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->second.order < b->second.order; });
    return out;
}

void ScriptObject::set(const std::string& key, Value v, uint8_t flags) {
    auto it = props.find(key);
    if (it == props.end()) {
        Property& p = own(key);
        p.value = std::move(v);
        p.flags = flags;
        return;
    }
    it->second.value = std::move(v);
    it->second.getter.reset();
    it->second.setter.reset();
}

void ScriptObject::clear() {
    props.clear();
    elements.clear();
    proto.reset();
    function.reset();
    internal = Value();
    isDate = false;
}

}  // namespace flash
