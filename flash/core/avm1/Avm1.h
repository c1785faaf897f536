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

#include <map>
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
    std::shared_ptr<ScriptObject> object, function, array, string, number, boolean, movieClip, textField,
        date;
    // Prototypes of the flash.filters classes, indexed by FilterKind.
    std::vector<std::shared_ptr<ScriptObject>> filterClasses;
};

class ByteReader;

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

    // ---- For the engine: events, timers and classes of clips ----
    bool hasHandler(DisplayObject* clip, const char* handler);
    bool isClipButton(DisplayObject* clip);  // has onPress, onRelease, onRollOver...
    // Calls a clip's handler method / the handler of every Key (1) or
    // Mouse (2) listener; return the instructions used.
    long runHandler(DisplayObject* clip, const char* handler, long budget);
    long broadcast(int which, const char* handler, long budget);
    bool hasListeners(int which) const;
    // Runs the intervals and timeouts due by the movie's clock.
    void runTimers(long budget);
    double now() const;  // milliseconds of movie time (getTimer)
    // Empties the registered objects no root reaches (between scripts
    // only); returns how many.
    size_t collectGarbage(std::vector<std::weak_ptr<ScriptObject>>& registry);
    // A clip of a symbol with a registered class becomes an instance of it.
    void initClip(DisplayObject* clip);

    // ---- For the built-ins ----
    void registerClass(const std::string& symbol, const Value& ctor);
    // Loads for script objects (LoadVars, XML): the object's onData runs
    // with the text when it arrives (undefined when the load failed).
    int loadData(const Value& object, const std::string& url, const std::string& post);
    void dataLoaded(int request, bool ok, const std::vector<uint8_t>& data);
    // "a=1&b=x%20y" as variables of a clip (loadVariables), and a clip's
    // variables as such text (functions left out) for GET and POST.
    void decodeVariables(DisplayObject* clip, const std::string& text);
    std::string variablesForm(DisplayObject* clip);
    // Shows a page in a browser window through the host (getURL, send);
    // `post` is sent with it.
    void openWindow(const std::string& url, const std::string& target, const std::string& post);
    int addTimer(const Value& fn, const Value& self, const std::string& method, std::vector<Value> args,
                 double interval, bool repeat);
    void clearTimer(int id);
    // Listeners of Key (1), Mouse (2) and Stage (3).
    std::vector<Value>& listeners(int which) {
        return which == 1 ? keyListeners_ : which == 2 ? mouseListeners_ : stageListeners_;
    }
    Engine& engine() { return engine_; }
    int version() const { return version_; }
    Prototypes& protos() { return protos_; }
    std::string key(const std::string& name) const { return engine_.nameKey(name); }
    double toNum(const Value& v) const { return toNumber(v, version_); }
    std::string toStr(const Value& v) const { return toString(v, version_, &engine_.localOffset); }
    bool toBool(const Value& v) const { return toBoolean(v, version_); }
    // Conversions that call a script's own toString/valueOf: an object's
    // primitive value (valueOf first when asked, else toString first), and
    // its text.
    Value toPrimitive(Frame& f, const Value& v, bool valueFirst, int callDepth);
    std::string toStr(Frame& f, const Value& v, int callDepth);
    Value boolResult(bool b) const;
    // New objects (null Value when the object limit is reached).
    Value newObject(bool array = false);
    Value newFunction(NativeFn fn);
    // The prototype of a clip's members: its class's, TextField.prototype
    // for text fields, else MovieClip.prototype.
    std::shared_ptr<ScriptObject> protoOf(const DisplayObject* clip) const;
    // A clip a value refers to while it is on the stage, or null.
    std::shared_ptr<DisplayObject> clipOf(const Value& v);
    Value getMember(Frame& f, const Value& object, const std::string& name);
    void setMember(Frame& f, const Value& object, const std::string& name, const Value& v);
    // Calls a function; `home` is the object it was found on (for super).
    Value call(Frame& f, const Value& function, const Value& thisValue, std::vector<Value>& args,
               int callDepth, const std::shared_ptr<ScriptObject>& home = nullptr);
    // Whether an object or clip has a member (own, inherited or built in).
    bool hasMember(const Value& object, const std::string& key);
    // The object holding a member found on a value's prototype chain, or null.
    std::shared_ptr<ScriptObject> holderOf(const Value& object, const std::string& key);
    Value callMethod(Frame& f, const Value& object, const std::string& name, std::vector<Value>& args,
                     int callDepth);
    Value construct(Frame& f, const Value& function, std::vector<Value>& args, int callDepth);
    bool instanceOf(const Value& v, const Value& ctor);
    void gotoFrameValue(DisplayObject* clip, const Value& frame, bool play, int bias);
    double random();  // in [0, 1)
    void endDrag();   // stops dragging and sets the clip's _droptarget

private:
    void exec(Frame& f, const uint8_t* code, size_t size, int callDepth, size_t start = 0);
    // Runs a Try record's bodies; returns where the code after them starts.
    size_t runTry(Frame& f, const uint8_t* code, ByteReader& r, size_t next, size_t size, int callDepth);
    // `super` inside a function called on an object found on f.home.
    Value superOf(Frame& f);
    Value pop(Frame& f);
    void push(Frame& f, Value v);
    DisplayObject* targetOf(Frame& f);
    bool splitVariable(Frame& f, const std::string& path, DisplayObject*& clip, std::string& name);
    Value getVariable(Frame& f, const std::string& path);
    void setVariable(Frame& f, const std::string& path, const Value& v);
    Value getProperty(DisplayObject* clip, int index);
    void setProperty(DisplayObject* clip, int index, const Value& v);
    // GetURL/GetURL2 (flags: 0x40 into a clip, 0x80 variables, 3 the method).
    void getUrl(Frame& f, const std::string& url, const std::string& target, uint8_t flags);
    // Loads of movies and variables GetURL asks for; false when it asks none.
    bool loadUrl(Frame& f, const std::string& url, const std::string& post, const std::string& target,
                 uint8_t flags);
    void ensureGlobals();
    Value defineFunction(Frame& f, const uint8_t* code, size_t payload, size_t len, size_t& next, size_t size,
                         bool version2);
    std::vector<Value> popArgs(Frame& f);

    struct Timer {
        int id = 0;
        double due = 0, interval = 0;
        bool repeat = false;
        Value fn, self;
        std::string method;  // setInterval(object, "method", ms)
        std::vector<Value> args;
    };
    // A frame for calls from outside scripts (handlers, timers).
    void startFrame(Frame& f, DisplayObject* clip, long budget);

    Engine& engine_;
    Prototypes protos_;
    std::map<std::string, Value> classes_;  // folded symbol name -> constructor
    std::vector<Value> keyListeners_, mouseListeners_, stageListeners_;
    std::vector<Timer> timers_;
    std::map<int, Value> loadTargets_;  // request -> LoadVars/XML object waiting for it
    int nextTimer_ = 1;
    int nesting_ = 0;  // calls running now
    int version_ = 0;
    unsigned randomState_ = 12345;
};

}  // namespace flash
