// System and System.capabilities: a Windows desktop player.
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

Value screenWidth(NativeCall& c) { return Value::fromNumber(c.engine().screenWidth); }
Value screenHeight(NativeCall& c) { return Value::fromNumber(c.engine().screenHeight); }
Value noop(NativeCall&) { return Value(); }

}  // namespace

void installSystem(Realm& realm) {
    std::shared_ptr<ScriptObject> system = realm.object();
    std::shared_ptr<ScriptObject> caps = realm.object();
    if (!system || !caps) return;
    static const struct {
        const char* name;
        const char* value;
    } kStrings[] = {{"version", "WIN 8,0,24,0"},  {"os", "Windows XP"},
                    {"playerType", "StandAlone"}, {"manufacturer", "Macromedia Windows"},
                    {"language", "zh-CN"},        {"screenColor", "color"},
                    {"pixelAspectRatio", "1"}};
    for (const auto& s : kStrings) caps->set(realm.key(s.name), Value::fromString(s.value));
    static const char* const kTrue[] = {"hasAudio", "hasMP3", "hasAudioEncoder", "hasPrinting", "isDebugger"};
    for (const char* n : kTrue) caps->set(realm.key(n), Value::fromBool(std::string(n) != "isDebugger"));
    caps->set(realm.key("screenDPI"), Value::fromNumber(96));
    caps->set(realm.key("localFileReadDisable"), Value::fromBool(false));
    realm.accessor(*caps, "screenResolutionX", screenWidth, nullptr);
    realm.accessor(*caps, "screenResolutionY", screenHeight, nullptr);
    system->set(realm.key("capabilities"), Value::fromObject(caps), kDontEnum);
    system->set(realm.key("useCodepage"), Value::fromBool(false));
    realm.methods(*system, {{"setClipboard", noop}, {"showSettings", noop}});
    realm.global.set(realm.key("System"), Value::fromObject(system), kDontEnum);
}

}  // namespace flash
