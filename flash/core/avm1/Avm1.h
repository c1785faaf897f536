// The ActionScript 1/2 runtime of one engine. The engine keeps one for the
// movie it plays; every script block runs under an instruction budget that
// the functions it calls share.
//
// Files of this folder:
//   Value.h/.cpp        values and their conversions by file version
//   Object.h/.cpp       objects, properties with flags and accessors
//   Frame.h             the state of one running block or function call
//   Interpreter.cpp     the action loop
//   Variables.cpp       variables, paths and the scope of a script
//   Members.cpp         member reads and writes (objects, clips, primitives)
//   Calls.cpp           functions: definition, calls, construction
//   ClipProperties.cpp  the movie-clip properties (_x, _alpha...)
//   Builtins.h/.cpp     the table of built-in classes and globals
//   builtins/*.cpp      one file per built-in class or global
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flash/core/Engine.h"
#include "flash/core/avm1/Object.h"
#include "flash/core/avm1/Value.h"

namespace flash {

// Prototypes the interpreter itself needs (members of primitives and clips,
// new objects and arrays). Filled by the built-ins as they install.
struct Prototypes {
    std::shared_ptr<ScriptObject> object, function, array, string, number, boolean, movieClip;
};

class Avm1 {
public:
    struct Frame;
    explicit Avm1(Engine& engine) : engine_(engine) {}

    // Runs a block with at most `budget` instructions; returns those used.
    long run(DisplayObject* clip, const ActionBlock& block, long budget);
    // A variable ("name", "a.b", "/clip:name", "_root.name"...) as a script
    // of `clip` reads and sets it.
    Value readVariable(DisplayObject* clip, const std::string& path);
    void writeVariable(DisplayObject* clip, const std::string& path, const Value& v);

    // ---- For the built-ins ----
    Engine& engine() { return engine_; }
    int version() const { return version_; }
    Prototypes& protos() { return protos_; }
    std::string key(const std::string& name) const { return engine_.nameKey(name); }
    double toNum(const Value& v) const { return toNumber(v, version_); }
    std::string toStr(const Value& v) const { return toString(v, version_); }
    bool toBool(const Value& v) const { return toBoolean(v, version_); }
    Value boolResult(bool b) const;
    // New objects (null Value when the object limit is reached).
    Value newObject(bool array = false);
    Value newFunction(NativeFn fn);
    // A clip a value refers to while it is on the stage, or null.
    std::shared_ptr<DisplayObject> clipOf(const Value& v);
    Value getMember(Frame& f, const Value& object, const std::string& name);
    void setMember(Frame& f, const Value& object, const std::string& name, const Value& v);
    Value call(Frame& f, const Value& function, const Value& thisValue, std::vector<Value>& args,
               int callDepth);
    Value callMethod(Frame& f, const Value& object, const std::string& name, std::vector<Value>& args,
                     int callDepth);
    Value construct(Frame& f, const Value& function, std::vector<Value>& args, int callDepth);
    bool instanceOf(const Value& v, const Value& ctor);
    void gotoFrameValue(DisplayObject* clip, const Value& frame, bool play, int bias);
    double random();  // in [0, 1)

private:
    void exec(Frame& f, const uint8_t* code, size_t size, int callDepth);
    Value pop(Frame& f);
    void push(Frame& f, Value v);
    DisplayObject* targetOf(Frame& f);
    bool splitVariable(Frame& f, const std::string& path, DisplayObject*& clip, std::string& name);
    Value getVariable(Frame& f, const std::string& path);
    void setVariable(Frame& f, const std::string& path, const Value& v);
    Value getProperty(DisplayObject* clip, int index);
    void setProperty(DisplayObject* clip, int index, const Value& v);
    void getUrl(const std::string& url, const std::string& target);
    void ensureGlobals();
    Value defineFunction(Frame& f, const uint8_t* code, size_t payload, size_t len, size_t& next, size_t size,
                         bool version2);
    std::vector<Value> popArgs(Frame& f);

    Engine& engine_;
    Prototypes protos_;
    int version_ = 0;
    unsigned randomState_ = 12345;
};

}  // namespace flash
