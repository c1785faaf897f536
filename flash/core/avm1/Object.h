// The script object model: objects with named properties (plain values or
// getter/setter pairs, each with its ActionScript flags), a prototype link,
// dense elements for arrays, and a body for functions (script or built-in).
// Every object is registered with the engine, which empties them all when
// the movie unloads so reference cycles cannot leak.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/avm1/Value.h"

namespace flash {

struct NativeCall;
// A built-in function: reads its arguments and `this` from the call.
using NativeFn = Value (*)(NativeCall&);

// ASSetPropFlags bits.
enum PropertyFlag : uint8_t { kDontEnum = 1, kDontDelete = 2, kReadOnly = 4 };

struct Property {
    Value value;
    // addProperty: reads call the getter, writes the setter (null: read-only).
    std::shared_ptr<ScriptObject> getter, setter;
    uint8_t flags = 0;
    uint32_t order = 0;  // when it was added to its object (earlier: smaller)
    bool isAccessor() const { return getter != nullptr; }
};

// The local variables of one function call; functions defined inside see
// them through their closure.
struct Scope {
    std::map<std::string, Value> vars;
    std::shared_ptr<Scope> parent;
};

// A script function: its body lies in the movie's data.
struct FunctionDef {
    const uint8_t* code = nullptr;
    size_t size = 0;
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegisters;  // DefineFunction2: 0 = a named local
    uint8_t registerCount = 0;
    uint16_t flags = 0;  // DefineFunction2 preload and suppress flags
    bool version2 = false;
    std::shared_ptr<const std::vector<std::string>> pool;  // constant pool when defined
    std::weak_ptr<DisplayObject> scope;                    // timeline it was defined on
    std::shared_ptr<Scope> closure;                        // locals of the function it was defined in
};

struct ScriptObject {
    std::map<std::string, Property> props;
    bool isArray = false;
    std::vector<Value> elements;  // arrays
    std::shared_ptr<ScriptObject> proto;
    std::shared_ptr<FunctionDef> function;  // script functions
    NativeFn native = nullptr;              // built-in functions
    Value internal;                         // state of built-in classes (a boxed value, a date...)
    bool isSuper = false;                   // `super`: internal is `this`, proto the superclass prototype
    bool isDate = false;                    // a Date: internal is its time
    uint32_t added = 0;                     // properties added so far (their order)

    bool isFunction() const { return function || native; }
    // Own or inherited property, or null.
    const Property* findProperty(const std::string& key) const;
    // Own or inherited plain value, or null (accessors are not run).
    const Value* find(const std::string& key) const;
    // Sets an own plain value, keeping the flags of one that exists.
    void set(const std::string& key, Value v, uint8_t flags = 0);
    // The own property `key`, added (empty, in order) when missing.
    Property& own(const std::string& key);
    // Own properties in the order they were added.
    std::vector<const std::pair<const std::string, Property>*> inOrder() const;
    // Drops every reference (unloading breaks cycles this way).
    void clear();
};

}  // namespace flash
