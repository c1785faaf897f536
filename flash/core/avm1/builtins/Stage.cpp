// Stage: the movie's size, scale mode and alignment, and its listeners.
#include "flash/core/avm1/Builtins.h"

namespace flash {

Value addListenerTo(NativeCall& c, int which);
Value removeListenerFrom(NativeCall& c, int which);

namespace {

Value width(NativeCall& c) { return Value::fromNumber(c.engine().movie().header().stage.width() / 20.0); }
Value height(NativeCall& c) { return Value::fromNumber(c.engine().movie().header().stage.height() / 20.0); }
Value addListener(NativeCall& c) { return addListenerTo(c, 3); }
Value removeListener(NativeCall& c) { return removeListenerFrom(c, 3); }

}  // namespace

void installStage(Realm& realm) {
    std::shared_ptr<ScriptObject> stage = realm.object();
    if (!stage) return;
    realm.accessor(*stage, "width", width, nullptr);
    realm.accessor(*stage, "height", height, nullptr);
    stage->set(realm.key("scaleMode"), Value::fromString("showAll"));
    stage->set(realm.key("align"), Value::fromString(""));
    stage->set(realm.key("showMenu"), Value::fromBool(true));
    realm.methods(*stage, {{"addListener", addListener}, {"removeListener", removeListener}});
    realm.global.set(realm.key("Stage"), Value::fromObject(stage), kDontEnum);
}

}  // namespace flash
