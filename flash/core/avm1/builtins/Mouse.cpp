// Mouse: pointer visibility and Mouse listeners (onMouseDown/Move/Up).
#include "flash/core/avm1/Builtins.h"

namespace flash {

Value addListenerTo(NativeCall& c, int which);
Value removeListenerFrom(NativeCall& c, int which);

namespace {

Value show(NativeCall& c) {
    bool was = !c.engine().pointerHidden;
    c.engine().pointerHidden = false;
    return Value::fromNumber(was ? 1 : 0);
}

Value hide(NativeCall& c) {
    bool was = !c.engine().pointerHidden;
    c.engine().pointerHidden = true;
    return Value::fromNumber(was ? 1 : 0);
}

Value addListener(NativeCall& c) { return addListenerTo(c, 2); }
Value removeListener(NativeCall& c) { return removeListenerFrom(c, 2); }

}  // namespace

void installMouse(Realm& realm) {
    std::shared_ptr<ScriptObject> mouse = realm.object();
    if (!mouse) return;
    realm.methods(
        *mouse,
        {{"show", show}, {"hide", hide}, {"addListener", addListener}, {"removeListener", removeListener}});
    realm.global.set(realm.key("Mouse"), Value::fromObject(mouse), kDontEnum);
}

}  // namespace flash
