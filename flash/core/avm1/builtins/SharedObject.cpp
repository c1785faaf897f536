// SharedObject: data a movie keeps between runs. getLocal(name) gives one
// object per name whose `data` was read from the host's store; flush()
// writes it back. Stored as text: values with their type, strings with
// their length, objects and arrays nested (shared and cyclic references
// stored once, deep nesting cut).
#include <cstdio>
#include <cstdlib>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

const int kMaxDepth = 32;
const size_t kMaxStoreBytes = 1u << 20;

struct Writer {
    Avm1& vm;
    std::string out;
    std::vector<const ScriptObject*> open;

    void value(const Value& v, int depth) {
        switch (v.type) {
            case Value::Undefined:
            case Value::Clip:
                out += 'u';
                return;
            case Value::Null:
                out += 'z';
                return;
            case Value::Boolean:
                out += v.boolean ? "b1" : "b0";
                return;
            case Value::Number: {
                char buf[40];
                std::snprintf(buf, sizeof buf, "n%.17g;", v.number);
                out += buf;
                return;
            }
            case Value::String:
                string(v.string);
                return;
            case Value::Object:
                break;
        }
        const ScriptObject* o = v.object.get();
        bool cyclic = false;
        for (const ScriptObject* p : open) cyclic = cyclic || p == o;
        if (!o || o->isFunction() || cyclic || depth >= kMaxDepth || out.size() > kMaxStoreBytes) {
            out += 'u';
            return;
        }
        open.push_back(o);
        if (o->isArray) {
            out += 'a' + std::to_string(o->elements.size()) + ';';
            for (const Value& e : o->elements) value(e, depth + 1);
        } else {
            size_t n = 0;
            for (const auto& kv : o->props)
                if (!(kv.second.flags & kDontEnum) && !kv.second.isAccessor()) ++n;
            out += 'o' + std::to_string(n) + ';';
            for (const auto& kv : o->props) {
                if ((kv.second.flags & kDontEnum) || kv.second.isAccessor()) continue;
                string(kv.first);
                value(kv.second.value, depth + 1);
            }
        }
        open.pop_back();
    }
    void string(const std::string& s) {
        out += 's' + std::to_string(s.size()) + ':';
        out += s;
    }
};

struct Reader {
    NativeCall& c;
    const std::string& s;
    size_t i = 0;
    bool bad = false;

    size_t count(char end) {
        size_t n = 0, digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 9)
            n = n * 10 + (s[i++] - '0'), ++digits;
        if (i >= s.size() || s[i] != end || digits == 0) bad = true;
        ++i;
        return n;
    }
    bool string(std::string& out) {
        if (i >= s.size() || s[i] != 's') return !(bad = true);
        ++i;
        size_t n = count(':');
        if (bad || n > s.size() - std::min(i, s.size())) return !(bad = true);
        out = s.substr(i, n);
        i += n;
        return true;
    }
    Value value(int depth) {
        if (bad || i >= s.size() || depth > kMaxDepth || c.frame.budget <= 0) {
            bad = true;
            return Value();
        }
        c.charge(1);
        char t = s[i];
        switch (t) {
            case 'u':
                ++i;
                return Value();
            case 'z':
                ++i;
                return Value::null();
            case 'b':
                i += 2;
                return Value::fromBool(i <= s.size() && s[i - 1] == '1');
            case 'n': {
                size_t semi = s.find(';', i);
                if (semi == std::string::npos || semi - i > 40) break;
                std::string num = s.substr(i + 1, semi - i - 1);
                i = semi + 1;
                char* end = nullptr;
                double d = std::strtod(num.c_str(), &end);
                if (!end || *end) break;
                return Value::fromNumber(d);
            }
            case 's': {
                std::string str;
                if (!string(str)) break;
                return Value::fromString(str);
            }
            case 'a':
            case 'o': {
                ++i;
                size_t n = count(';');
                if (bad) break;
                Value o = c.vm.newObject(t == 'a');
                if (!o.object) break;
                for (size_t k = 0; k < n && !bad; ++k) {
                    if (t == 'a') {
                        if (o.object->elements.size() >= kMaxElements) return o;
                        o.object->elements.push_back(value(depth + 1));
                    } else {
                        std::string key;
                        if (!string(key)) break;
                        Value v = value(depth + 1);
                        if (o.object->props.size() < kMaxProps) o.object->set(key, v);
                    }
                }
                return o;
            }
            default:
                break;
        }
        bad = true;
        return Value();
    }
};

// The store of a name: what may stand in a file name.
std::string storeName(const std::string& name, const std::string& path) {
    std::string out;
    for (const std::string* part : {&path, &name}) {
        if (part->empty()) continue;
        if (!out.empty()) out += '#';
        for (unsigned char ch : *part) {
            bool ok = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                      ch == '_' || ch == '-' || ch == '.' || ch >= 0x80;
            out += ok ? static_cast<char>(ch) : '_';
        }
    }
    if (out.size() > 120) out.resize(120);
    return out;
}

Value ctor(NativeCall&) { return Value(); }

std::shared_ptr<ScriptObject> sharedProto(NativeCall& c, ScriptObject*& cache) {
    cache = nullptr;
    const Value* ctorValue =
        c.engine().globals ? c.engine().globals->find(c.vm.key("SharedObject")) : nullptr;
    if (!ctorValue || ctorValue->type != Value::Object) return nullptr;
    const Value* cacheValue = ctorValue->object->find("#stores");
    if (cacheValue && cacheValue->type == Value::Object) cache = cacheValue->object.get();
    const Value* p = ctorValue->object->find(c.vm.key("prototype"));
    return p && p->type == Value::Object ? p->object : nullptr;
}

Value getLocal(NativeCall& c) {
    std::string name = c.str(0);
    if (name.empty()) return Value::null();
    for (char ch : std::string("~%&\\;:\"',<>?# ")) {
        if (name.find(ch) != std::string::npos) return Value::null();
    }
    ScriptObject* cache = nullptr;
    std::shared_ptr<ScriptObject> proto = sharedProto(c, cache);
    std::string store = storeName(name, c.args.size() > 1 ? c.str(1) : std::string());
    if (cache) {
        const Value* known = cache->find(store);
        if (known) return *known;
    }
    Value so = c.vm.newObject();
    Value data = c.vm.newObject();
    if (!so.object || !data.object) return Value::null();
    so.object->proto = proto;
    so.object->internal = Value::fromString(store);
    so.object->set(c.vm.key("data"), data, kDontDelete);
    std::string text;
    if (c.engine().host && c.engine().host->readShared(store, text) && text.size() <= kMaxStoreBytes) {
        Reader r{c, text};
        Value stored = r.value(0);
        if (stored.type == Value::Object && !stored.object->isArray) {
            data.object->props = stored.object->props;
            data.object->added = stored.object->added;
        }
    }
    if (cache && cache->props.size() < 1024) cache->set(store, so, kDontEnum);
    return so;
}

// `this` as a shared object: its store name and data object.
bool selfOf(NativeCall& c, std::string& store, Value& data) {
    ScriptObject* o = c.self();
    if (!o || o->internal.type != Value::String) return false;
    store = o->internal.string;
    const Value* d = o->find(c.vm.key("data"));
    data = d ? *d : Value();
    return true;
}

Value flush(NativeCall& c) {
    std::string store;
    Value data;
    if (!selfOf(c, store, data) || !c.engine().host) return c.vm.boolResult(false);
    Writer w{c.vm, {}, {}};
    w.value(data, 0);
    c.charge(w.out.size() / 64);
    if (w.out.size() > kMaxStoreBytes) return c.vm.boolResult(false);
    return c.vm.boolResult(c.engine().host->writeShared(store, w.out));
}

Value getSize(NativeCall& c) {
    std::string store;
    Value data;
    if (!selfOf(c, store, data)) return Value::fromNumber(0);
    Writer w{c.vm, {}, {}};
    w.value(data, 0);
    return Value::fromNumber(data.type == Value::Object && data.object->props.empty() ? 0 : w.out.size());
}

Value clear(NativeCall& c) {
    std::string store;
    Value data;
    if (!selfOf(c, store, data)) return Value();
    if (data.type == Value::Object) data.object->props.clear();
    if (c.engine().host) c.engine().host->writeShared(store, "");
    return Value();
}

}  // namespace

void installSharedObject(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("SharedObject", ctor);
    if (!proto) return;
    realm.methods(*proto, {{"flush", flush}, {"getSize", getSize}, {"clear", clear}});
    const Value* ctorValue = realm.global.find(realm.key("SharedObject"));
    if (!ctorValue || ctorValue->type != Value::Object) return;
    realm.method(*ctorValue->object, "getLocal", getLocal);
    std::shared_ptr<ScriptObject> cache = realm.object();
    if (cache) ctorValue->object->set("#stores", Value::fromObject(cache), kDontEnum);
}

}  // namespace flash
