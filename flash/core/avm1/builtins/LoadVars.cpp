// LoadVars: variables loaded from a form-encoded file or address into an
// object's members, and the object's members as form-encoded text.
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

Value ctor(NativeCall&) { return Value(); }

// The object's members as a form.
std::string form(NativeCall& c) {
    std::vector<Value> none;
    return c.vm.toStr(c.vm.callMethod(c.frame, c.thisValue, "toString", none, c.depth + 1));
}

// sendAndLoad(url, target[, method]): the answer goes to `target`; POST
// unless "GET" is asked for.
Value sendAndLoad(NativeCall& c) {
    if (c.arg(1).type != Value::Object) return c.vm.boolResult(false);
    return sendAndLoadData(c, form(c), true, sendMethod(c.str(2)) == 1 ? 1 : 2);
}

// send(url, window[, method]): the form shown in a browser window.
Value send(NativeCall& c) { return sendData(c, form(c), true, sendMethod(c.str(2)) == 1 ? 1 : 2); }

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
    return dataArrived(c, [&](const std::string& text) {
        std::vector<Value> args{Value::fromString(text)};
        c.vm.callMethod(c.frame, c.thisValue, "decode", args, c.depth + 1);
    });
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
        out += formEncode(kv.first) + '=' + formEncode(c.vm.toStr(p.value));
        if (out.size() > kMaxString) break;
    }
    c.charge(out.size() / 64);
    return Value::fromString(out);
}

Value nothing(NativeCall&) { return Value(); }

}  // namespace

void installLoadVars(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("LoadVars", ctor);
    if (!proto) return;
    realm.methods(*proto, {{"load", loadDataObject},
                           {"send", send},
                           {"sendAndLoad", sendAndLoad},
                           {"decode", decode},
                           {"onData", onData},
                           {"toString", toString},
                           {"getBytesLoaded", dataBytesLoaded},
                           {"getBytesTotal", dataBytesTotal},
                           {"addRequestHeader", nothing}});
}

}  // namespace flash
