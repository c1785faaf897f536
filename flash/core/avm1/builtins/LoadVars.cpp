// LoadVars: variables loaded from a form-encoded file or address into an
// object's members, and the object's members as form-encoded text.
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

Value ctor(NativeCall&) { return Value(); }

Value load(NativeCall& c) {
    if (!c.self() || c.args.empty()) return c.vm.boolResult(false);
    c.self()->set(c.vm.key("loaded"), Value::fromBool(false));
    return c.vm.boolResult(c.vm.loadData(c.thisValue, c.str(0), "") != 0);
}

// sendAndLoad(url, target): the answer goes to `target`; what this object
// holds is sent as the form of a POST.
Value sendAndLoad(NativeCall& c) {
    Value target = c.arg(1);
    if (target.type != Value::Object || c.args.empty()) return c.vm.boolResult(false);
    std::vector<Value> none;
    std::string form = c.vm.toStr(c.vm.callMethod(c.frame, c.thisValue, "toString", none, c.depth + 1));
    bool post = c.str(2) != "GET" && c.str(2) != "get";
    std::string url = c.str(0);
    if (!post && !form.empty()) url += (url.find('?') == std::string::npos ? "?" : "&") + form;
    target.object->set(c.vm.key("loaded"), Value::fromBool(false));
    return c.vm.boolResult(c.vm.loadData(target, url, post ? form : std::string()) != 0);
}

Value decode(NativeCall& c) {
    std::string text = c.str(0);
    c.charge(text.size() / 64);
    forEachUrlVariable(text, [&](const std::string& name, const std::string& value) {
        c.vm.setMember(c.frame, c.thisValue, name, Value::fromString(value));
    });
    return Value();
}

// The default onData: decode the text, then onLoad(success).
Value onData(NativeCall& c) {
    Value src = c.arg(0);
    std::vector<Value> args;
    if (src.type == Value::Undefined) {
        args.push_back(Value::fromBool(false));
    } else {
        std::vector<Value> text{src};
        c.vm.callMethod(c.frame, c.thisValue, "decode", text, c.depth + 1);
        if (ScriptObject* o = c.self()) o->set(c.vm.key("loaded"), Value::fromBool(true));
        args.push_back(Value::fromBool(true));
    }
    c.vm.callMethod(c.frame, c.thisValue, "onLoad", args, c.depth + 1);
    return Value();
}

Value toString(NativeCall& c) {
    ScriptObject* o = c.self();
    if (!o) return Value::fromString("");
    std::string out;
    for (const auto& kv : o->props) {
        const Property& p = kv.second;
        if ((p.flags & kDontEnum) || p.isAccessor()) continue;
        if (p.value.type == Value::Object && p.value.object && p.value.object->isFunction()) continue;
        if (!out.empty()) out += '&';
        out += urlEncode(kv.first) + '=' + urlEncode(c.vm.toStr(p.value));
        if (out.size() > kMaxString) break;
    }
    c.charge(out.size() / 64);
    return Value::fromString(out);
}

Value bytes(NativeCall& c, const char* name) {
    ScriptObject* o = c.self();
    const Value* v = o ? o->find(c.vm.key(name)) : nullptr;
    return v ? *v : Value();
}

Value bytesLoaded(NativeCall& c) { return bytes(c, "_bytesLoaded"); }
Value bytesTotal(NativeCall& c) { return bytes(c, "_bytesTotal"); }
Value nothing(NativeCall&) { return Value(); }

}  // namespace

void installLoadVars(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("LoadVars", ctor);
    if (!proto) return;
    realm.methods(*proto, {{"load", load},
                           {"sendAndLoad", sendAndLoad},
                           {"decode", decode},
                           {"onData", onData},
                           {"toString", toString},
                           {"getBytesLoaded", bytesLoaded},
                           {"getBytesTotal", bytesTotal},
                           {"addRequestHeader", nothing}});
}

}  // namespace flash
