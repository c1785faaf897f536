#include "flash/core/avm1/Builtins.h"

#include <algorithm>

#include "flash/core/avm1/Frame.h"

namespace flash {

void NativeCall::charge(size_t units) {
    frame.budget -= static_cast<long>(std::min<size_t>(units, 1u << 30));
}

std::shared_ptr<ScriptObject> Realm::object() {
    Value v = vm.newObject();
    return v.object;
}

void Realm::method(ScriptObject& target, const char* name, NativeFn fn) {
    target.set(key(name), vm.newFunction(fn), kDontEnum);
}

void Realm::methods(ScriptObject& target, std::initializer_list<std::pair<const char*, NativeFn>> list) {
    for (const auto& m : list) method(target, m.first, m.second);
}

void Realm::constant(ScriptObject& target, const char* name, const Value& v) {
    target.set(key(name), v, kDontEnum | kDontDelete | kReadOnly);
}

void Realm::accessor(ScriptObject& target, const char* name, NativeFn get, NativeFn set) {
    Property& p = target.own(key(name));
    p.value = Value();
    p.getter = vm.newFunction(get).object;
    p.setter = set ? vm.newFunction(set).object : nullptr;
    p.flags = kDontEnum;
}

std::shared_ptr<ScriptObject> Realm::defineClass(const char* name, NativeFn ctor,
                                                 std::shared_ptr<ScriptObject> parent) {
    std::shared_ptr<ScriptObject> proto = object();
    Value fn = vm.newFunction(ctor);
    if (!proto || !fn.object) return proto;
    proto->proto = parent ? parent : protos().object;
    fn.object->set(key("prototype"), Value::fromObject(proto), kDontEnum | kDontDelete);
    proto->set(key("constructor"), fn, kDontEnum);
    global.set(key(name), fn, kDontEnum);
    return proto;
}

void installBuiltins(Realm& realm) {
#define AVM1_RUN_INSTALL(Name) install##Name(realm);
    AVM1_BUILTINS(AVM1_RUN_INSTALL)
#undef AVM1_RUN_INSTALL
}

int clampToInt(double d) {
    if (!(d == d)) return 0;
    return static_cast<int>(std::max(-1e9, std::min(1e9, d)));
}

std::vector<size_t> charStarts(const std::string& s, int version) {
    std::vector<size_t> starts;
    starts.reserve(s.size());
    if (version >= 6) {
        for (size_t i = 0; i < s.size(); ++i)
            if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
        return starts;
    }
    // Locale (GBK) text: a lead byte 0x81-0xFE takes the byte after it.
    for (size_t i = 0; i < s.size(); ++i) {
        starts.push_back(i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ++i;
    }
    return starts;
}

CharIndex::CharIndex(const std::string& text, int version) : s(text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) starts = charStarts(text, version);
}

long CharIndex::charOf(size_t byte) const {
    if (ascii) return static_cast<long>(byte);
    return static_cast<long>(std::lower_bound(starts.begin(), starts.end(), byte) - starts.begin());
}

}  // namespace flash
