// setInterval, clearInterval, setTimeout, clearTimeout and getTimer. Time
// is the movie's clock: frames played times the frame duration.
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

// setInterval(fn, ms, args...) or setInterval(object, "method", ms, args...).
Value addTimer(NativeCall& c, bool repeat) {
    Value first = c.arg(0);
    bool isFn = first.type == Value::Object && first.object && first.object->isFunction();
    size_t msAt = isFn ? 1 : 2;
    if (c.args.size() <= msAt) return Value();
    if (!isFn && first.type != Value::Object && first.type != Value::Clip) return Value();
    std::vector<Value> rest(c.args.begin() + static_cast<long>(msAt) + 1, c.args.end());
    int id = c.vm.addTimer(isFn ? first : Value(), isFn ? Value() : first, isFn ? "" : c.str(1),
                           std::move(rest), c.num(msAt), repeat);
    return id ? Value::fromNumber(id) : Value();
}

Value setInterval(NativeCall& c) { return addTimer(c, true); }
Value setTimeout(NativeCall& c) { return addTimer(c, false); }

Value clearTimer(NativeCall& c) {
    c.vm.clearTimer(clampToInt(c.num(0, 0)));
    return Value();
}

Value getTimer(NativeCall& c) { return Value::fromNumber(c.vm.now()); }

}  // namespace

void installTimers(Realm& realm) {
    realm.methods(realm.global, {{"setInterval", setInterval},
                                 {"clearInterval", clearTimer},
                                 {"setTimeout", setTimeout},
                                 {"clearTimeout", clearTimer},
                                 {"getTimer", getTimer}});
}

}  // namespace flash
