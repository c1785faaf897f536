// Interpreter of AVM1 action blocks: timeline control, FSCommand/GetURL,
// stack, constant pool, branches, variables, arithmetic, comparison, logic
// and string operations. Object-related actions keep the stack balanced and
// yield undefined. Every block runs under an instruction budget.
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

    Engine& engine_;
    int version_ = 0;
    unsigned randomState_ = 12345;
};

}  // namespace flash
