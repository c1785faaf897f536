// Interpreter of AVM1 action blocks: timeline control, FSCommand/GetURL,
// stack, constant pool, branches, variables, arithmetic, comparison, logic,
// string operations, functions, objects and arrays, movie-clip properties
// and a few built-ins (Math, String methods, Array methods). Every block
// runs under an instruction budget that calls share.
#pragma once

#include <string>
#include <vector>

#include "flash/core/Engine.h"
#include "flash/core/Value.h"

namespace flash {

class Avm1 {
public:
    explicit Avm1(Engine& engine) : engine_(engine) {}
    // Runs a block with at most `budget` instructions; returns those used.
    long run(DisplayObject* clip, const ActionBlock& block, long budget);
    // A variable ("name", "a.b", "/clip:name", "_root.name"...) as a script
    // of `clip` reads and sets it.
    Value readVariable(DisplayObject* clip, const std::string& path);
    void writeVariable(DisplayObject* clip, const std::string& path, const Value& v);

private:
    struct Frame;
    void exec(Frame& f, const uint8_t* code, size_t size, int callDepth);
    Value pop(Frame& f);
    void push(Frame& f, Value v);
    Value boolResult(bool b) const;
    DisplayObject* targetOf(Frame& f);
    bool splitVariable(Frame& f, const std::string& path, DisplayObject*& clip, std::string& name);
    Value getVariable(Frame& f, const std::string& path);
    void setVariable(Frame& f, const std::string& path, const Value& v);
    Value getProperty(DisplayObject* clip, int index);
    void setProperty(DisplayObject* clip, int index, const Value& v);
    void gotoFrameValue(Frame& f, const Value& frame, bool play, int bias);
    void getUrl(const std::string& url, const std::string& target);

    // Objects and functions.
    void ensureGlobals();
    Value newObject(bool array = false);
    Value newNative(int id);
    Value getMember(Frame& f, const Value& object, const std::string& name);
    void setMember(Frame& f, const Value& object, const std::string& name, const Value& v);
    Value call(Frame& f, const Value& function, const Value& thisValue, std::vector<Value>& args,
               int callDepth);
    Value callNative(Frame& f, int id, const Value& thisValue, std::vector<Value>& args, int callDepth);
    Value callMethod(Frame& f, const Value& object, const std::string& name, std::vector<Value>& args,
                     int callDepth);
    Value construct(Frame& f, const Value& function, std::vector<Value>& args, int callDepth);
    Value defineFunction(Frame& f, const uint8_t* code, size_t payload, size_t len, size_t& next, size_t size,
                         bool version2);
    std::vector<Value> popArgs(Frame& f);
    bool instanceOf(const Value& v, const Value& ctor);
    std::shared_ptr<DisplayObject> clipOf(const Value& v);

    Engine& engine_;
    std::shared_ptr<ScriptObject> objectProto_, arrayProto_;
    int version_ = 0;
    unsigned randomState_ = 12345;
};

}  // namespace flash
