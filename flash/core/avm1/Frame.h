// The state of one running action block or function call: its target
// timeline, stack, constant pool, registers, locals and what remains of the
// instruction budget (handed back to the caller when a call returns).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/avm1/Avm1.h"

namespace flash {

// Caps that keep a runaway script bounded in memory and time.
const size_t kMaxStack = 65536;
const size_t kMaxString = 1u << 20;
const size_t kMaxElements = 65536;  // array elements
const size_t kMaxProps = 65536;     // properties of one object or clip
const int kMaxCallDepth = 64;
const int kMaxBlocks = 32;  // with/try bodies nested in one frame

// A child clip by instance name (a name key), or null.
DisplayObject* childNamed(DisplayObject* clip, const std::string& key, const Engine& e);
// Index of a movie-clip property ("_x" 0, "_y" 1...) by member name, or -1.
int propertyIndex(const std::string& name);

struct Avm1::Frame {
    DisplayObject* original = nullptr;
    std::weak_ptr<DisplayObject> target;
    bool targetValid = true;
    std::vector<Value> stack;
    // The constant pool, shared with the functions defined under it.
    std::shared_ptr<const std::vector<std::string>> pool;
    std::vector<Value> registers = std::vector<Value>(4);
    long budget = 0;
    // Inside a function: its local variables (chained to those of the
    // functions it is nested in), `this`, and the object the function was
    // found on (`super` starts above it).
    std::shared_ptr<Scope> locals;
    Value thisValue;
    std::shared_ptr<ScriptObject> home;
    Value callee;  // the function running (arguments.caller of its calls)
    Value returnValue;
    // Objects of enclosing `with` statements, innermost last.
    std::vector<Value> withObjects;
    // Set by Return and Throw: every loop running this frame stops.
    int blocks = 0;  // with and try bodies running inside each other
    bool returned = false;
    bool throwing = false;
    Value thrown;
};

}  // namespace flash
