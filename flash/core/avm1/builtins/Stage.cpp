// Stage: the movie's size, scale mode and alignment, and its listeners.
#include "flash/core/avm1/Builtins.h"

namespace flash {

Value addListenerTo(NativeCall& c, int which);
Value removeListenerFrom(NativeCall& c, int which);

namespace {

// Without scaling the stage is as large as the view that shows it.
Value width(NativeCall& c) {
    Engine& e = c.engine();
    if (e.noScale && e.viewWidth > 0) return Value::fromNumber(e.viewWidth);
    return Value::fromNumber(e.movie().header().stage.width() / 20.0);
}
Value height(NativeCall& c) {
    Engine& e = c.engine();
    if (e.noScale && e.viewHeight > 0) return Value::fromNumber(e.viewHeight);
    return Value::fromNumber(e.movie().header().stage.height() / 20.0);
}
Value getScaleMode(NativeCall& c) { return Value::fromString(c.engine().noScale ? "noScale" : "showAll"); }
Value setScaleMode(NativeCall& c) {
    std::string m = foldCase(c.str(0));
    if (m == "noscale" || m == "showall" || m == "noborder" || m == "exactfit")
        c.engine().noScale = m == "noscale";
    return Value();
}
Value addListener(NativeCall& c) { return addListenerTo(c, 3); }
Value removeListener(NativeCall& c) { return removeListenerFrom(c, 3); }

}  // namespace

void installStage(Realm& realm) {
    std::shared_ptr<ScriptObject> stage = realm.object();
    if (!stage) return;
    realm.accessor(*stage, "width", width, nullptr);
    realm.accessor(*stage, "height", height, nullptr);
    realm.accessor(*stage, "scaleMode", getScaleMode, setScaleMode);
    stage->set(realm.key("align"), Value::fromString(""));
    stage->set(realm.key("showMenu"), Value::fromBool(true));
    realm.methods(*stage, {{"addListener", addListener}, {"removeListener", removeListener}});
    realm.global.set(realm.key("Stage"), Value::fromObject(stage), kDontEnum);
}

}  // namespace flash
