// Key: the keyboard state, key codes and Key listeners (onKeyDown/onKeyUp).
#include "flash/core/avm1/Builtins.h"

namespace flash {

Value addListenerTo(NativeCall& c, int which) {
    std::vector<Value>& list = c.vm.listeners(which);
    Value l = c.arg(0);
    if (l.type != Value::Object && l.type != Value::Clip) return Value::fromBool(false);
    for (const Value& v : list)
        if (strictEquals(v, l)) return Value::fromBool(true);
    if (list.size() >= 1024) return Value::fromBool(false);
    list.push_back(l);
    return Value::fromBool(true);
}

Value removeListenerFrom(NativeCall& c, int which) {
    std::vector<Value>& list = c.vm.listeners(which);
    Value l = c.arg(0);
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (strictEquals(*it, l)) {
            list.erase(it);
            return Value::fromBool(true);
        }
    }
    return Value::fromBool(false);
}

namespace {

Value isDown(NativeCall& c) { return Value::fromBool(c.engine().keyIsDown(clampToInt(c.num(0, -1)))); }
Value getCode(NativeCall& c) { return Value::fromNumber(c.engine().lastKeyCode); }
Value getAscii(NativeCall& c) { return Value::fromNumber(c.engine().lastKeyAscii); }
Value isToggled(NativeCall&) { return Value::fromBool(false); }
Value addListener(NativeCall& c) { return addListenerTo(c, 1); }
Value removeListener(NativeCall& c) { return removeListenerFrom(c, 1); }

}  // namespace

void installKey(Realm& realm) {
    std::shared_ptr<ScriptObject> key = realm.object();
    if (!key) return;
    realm.methods(*key, {{"isDown", isDown},
                         {"getCode", getCode},
                         {"getAscii", getAscii},
                         {"isToggled", isToggled},
                         {"addListener", addListener},
                         {"removeListener", removeListener}});
    static const struct {
        const char* name;
        int code;
    } kCodes[] = {{"BACKSPACE", 8}, {"TAB", 9},     {"ENTER", 13},    {"SHIFT", 16}, {"CONTROL", 17},
                  {"CAPSLOCK", 20}, {"ESCAPE", 27}, {"SPACE", 32},    {"PGUP", 33},  {"PGDN", 34},
                  {"END", 35},      {"HOME", 36},   {"LEFT", 37},     {"UP", 38},    {"RIGHT", 39},
                  {"DOWN", 40},     {"INSERT", 45}, {"DELETEKEY", 46}};
    for (const auto& k : kCodes) realm.constant(*key, k.name, Value::fromNumber(k.code));
    realm.global.set(realm.key("Key"), Value::fromObject(key), kDontEnum);
}

}  // namespace flash
