// What LoadVars and XML objects share: loading text into the object,
// sending what it holds (to a browser window, or with the answer loaded
// into another object), the default onData and the byte counts of the
// last load.
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

// `body` on a request: a form goes as it is, other text (an XML document)
// form-encoded when it must become a query.
void addBody(std::string& url, std::string& post, const std::string& body, bool form, int method) {
    addForm(url, post, form || method != 1 ? body : formEncode(body), method);
}

Value byteCount(NativeCall& c, const char* name) {
    ScriptObject* o = c.self();
    const Value* v = o ? o->find(c.vm.key(name)) : nullptr;
    return v ? *v : Value();
}

}  // namespace

Value loadDataObject(NativeCall& c) {
    if (!c.self() || c.args.empty()) return c.vm.boolResult(false);
    c.self()->set(c.vm.key("loaded"), Value::fromBool(false));
    return c.vm.boolResult(c.vm.loadData(c.thisValue, c.str(0), "") != 0);
}

Value sendAndLoadData(NativeCall& c, const std::string& body, bool form, int method) {
    Value target = c.arg(1);
    if (target.type != Value::Object || !target.object || c.args.empty()) return c.vm.boolResult(false);
    std::string url = c.str(0), post;
    addBody(url, post, body, form, method);
    target.object->set(c.vm.key("loaded"), Value::fromBool(false));
    return c.vm.boolResult(c.vm.loadData(target, url, post) != 0);
}

Value sendData(NativeCall& c, const std::string& body, bool form, int method) {
    if (c.args.empty()) return c.vm.boolResult(false);
    std::string url = c.str(0), post;
    if (url.empty()) return c.vm.boolResult(false);
    addBody(url, post, body, form, method);
    c.vm.openWindow(url, c.str(1), post);
    return c.vm.boolResult(true);
}

Value dataArrived(NativeCall& c, const std::function<void(const std::string&)>& take) {
    Value src = c.arg(0);
    std::vector<Value> args;
    if (src.type == Value::Undefined) {
        args.push_back(Value::fromBool(false));
    } else {
        take(c.vm.toStr(src));
        if (ScriptObject* o = c.self()) o->set(c.vm.key("loaded"), Value::fromBool(true));
        args.push_back(Value::fromBool(true));
    }
    c.vm.callMethod(c.frame, c.thisValue, "onLoad", args, c.depth + 1);
    return Value();
}

Value dataBytesLoaded(NativeCall& c) { return byteCount(c, "_bytesLoaded"); }
Value dataBytesTotal(NativeCall& c) { return byteCount(c, "_bytesTotal"); }

}  // namespace flash
