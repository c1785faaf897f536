// Built-in classes and globals of the script runtime.
//
// REGISTRATION TABLE. Each X(Name) below is one file builtins/Name.cpp that
// defines `void installName(Realm& realm)`. When a movie's first script
// runs, the installers run in this order and put their constructors,
// prototypes and functions on _global. A new built-in is one new file and
// one line here (the build picks up every builtins/*.cpp).
//
// How a built-in reaches the rest of the player:
//   - A built-in function is `Value fn(NativeCall& c)`: c.args, c.thisValue,
//     c.arg(i) / c.num(i) / c.str(i), c.vm (the runtime: conversions, new
//     objects, members, calls) and c.engine() (the engine: display lists,
//     gotoFrame, the host callbacks onTrace/onFSCommand/onGetURL...).
//   - A movie clip is a Value of type Clip; c.clip() gives `this` as a clip
//     on the stage (or null), c.vm.clipOf(v) any other value.
//   - Methods of clips go on realm.protos().movieClip (MovieClip.prototype);
//     a clip property that is not one of the numbered ones (_x...) can be a
//     getter/setter pair there: realm.accessor(proto, "filters", get, set).
//   - State of an instance of a built-in class goes in ScriptObject::internal
//     (or in its properties); state of the whole runtime in the engine.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/avm1/Avm1.h"

#define AVM1_BUILTINS(X) \
    X(Object)            \
    X(Function)          \
    X(Array)             \
    X(String)            \
    X(Number)            \
    X(Boolean)           \
    X(Math)              \
    X(Globals)           \
    X(MovieClip)         \
    X(Key)               \
    X(Mouse)             \
    X(Stage)             \
    X(Timers)            \
    X(System)            \
    X(Color)             \
    X(Sound)             \
    X(LoadVars)          \
    X(XML)               \
    X(SharedObject)      \
    X(Date)              \
    X(Point)             \
    X(Rectangle)         \
    X(GeomMatrix)        \
    X(ColorTransform)    \
    X(Transform)         \
    X(Filters)           \
    X(ClipEffects)       \
    X(TextField)         \
    X(Drawing)

namespace flash {

// One call of a built-in function.
struct NativeCall {
    Avm1& vm;
    Avm1::Frame& frame;
    Value thisValue;
    std::vector<Value>& args;
    int depth;
    bool constructing = false;  // called by `new`

    Engine& engine() { return vm.engine(); }
    Value arg(size_t i) const { return i < args.size() ? args[i] : Value(); }
    double num(size_t i, double missing = std::nan("")) const {
        return i < args.size() ? vm.toNum(args[i]) : missing;
    }
    std::string str(size_t i) const {
        return i < args.size() ? vm.toStr(frame, args[i], depth + 1) : std::string();
    }
    // `this` as an object, or null.
    ScriptObject* self() const { return thisValue.type == Value::Object ? thisValue.object.get() : nullptr; }
    // `this` as a clip on the stage, or null.
    std::shared_ptr<DisplayObject> clip() { return vm.clipOf(thisValue); }
    // Takes instructions from the budget for work proportional to a size.
    void charge(size_t units);
};

// What an installer works with.
class Realm {
public:
    Realm(Avm1& vm, ScriptObject& global) : vm(vm), global(global) {}
    Avm1& vm;
    ScriptObject& global;

    Prototypes& protos() { return vm.protos(); }
    std::string key(const char* name) const { return vm.key(name); }
    // A new plain object (whose prototype is Object.prototype).
    std::shared_ptr<ScriptObject> object();
    // A built-in function on `target`, hidden from enumeration.
    void method(ScriptObject& target, const char* name, NativeFn fn);
    void methods(ScriptObject& target, std::initializer_list<std::pair<const char*, NativeFn>> list);
    void constant(ScriptObject& target, const char* name, const Value& v);
    // A getter/setter property (setter may be null: read-only).
    void accessor(ScriptObject& target, const char* name, NativeFn get, NativeFn set);
    // A class on _global: constructor `ctor` and a new prototype object
    // inheriting from `parent` (Object.prototype when null). Returns the
    // prototype; the constructor is its "constructor" member.
    std::shared_ptr<ScriptObject> defineClass(const char* name, NativeFn ctor,
                                              std::shared_ptr<ScriptObject> parent = nullptr);
};

#define AVM1_DECLARE_INSTALL(Name) void install##Name(Realm& realm);
AVM1_BUILTINS(AVM1_DECLARE_INSTALL)
#undef AVM1_DECLARE_INSTALL

// Runs every installer of the table on a new _global.
void installBuiltins(Realm& realm);

// Appends one code point as UTF-8 (strings of version 6 and later).
void appendUtf8(std::string& s, unsigned cp);

// escape(): every byte but letters, digits and @-*_+./ as %XX.
std::string urlEncode(const std::string& s);
// Form encoding: as escape() but '+' as %2B too.
std::string formEncode(const std::string& s);
// "%41+b" -> "A b" (form encoding).
std::string urlDecode(const std::string& s);
// The name=value pairs of a form-encoded text, decoded, in order.
void forEachUrlVariable(const std::string& text,
                        const std::function<void(const std::string&, const std::string&)>& fn);

// The method argument of loadVariables, getURL, send...: 1 "GET",
// 2 "POST" (any case), 0 none.
int sendMethod(const std::string& name);
// Form text on a request: GET appends it to the address's query, POST
// makes it the body.
void addForm(std::string& url, std::string& post, const std::string& form, int method);

// What LoadVars and XML share (avm1/DataLoads.cpp). load(url); the text
// an object sends (`form`: already form-encoded) by `method` with the
// answer loaded into argument 1 (sendAndLoad) or shown in the browser
// window argument 1 names (send); the default onData, which hands the
// text to `take`, then calls onLoad(success); getBytesLoaded/Total.
Value loadDataObject(NativeCall& c);
Value sendAndLoadData(NativeCall& c, const std::string& body, bool form, int method);
Value sendData(NativeCall& c, const std::string& body, bool form, int method);
Value dataArrived(NativeCall& c, const std::function<void(const std::string&)>& take);
Value dataBytesLoaded(NativeCall& c);
Value dataBytesTotal(NativeCall& c);

// Whole number of a double, clamped into int range (NaN gives 0).
int clampToInt(double d);
// Where the characters of a string start: UTF-8 from version 6, the
// locale's double-byte text before.
std::vector<size_t> charStarts(const std::string& s, int version);

// Character indexes of a string and their byte offsets (plain ASCII text
// needs no table).
struct CharIndex {
    CharIndex(const std::string& s, int version);
    const std::string& s;
    bool ascii = true;
    std::vector<size_t> starts;
    long count() const { return ascii ? static_cast<long>(s.size()) : static_cast<long>(starts.size()); }
    // Byte offset of character i (0..count; count gives the end).
    size_t byteOf(long i) const {
        if (i <= 0) return 0;
        if (i >= count()) return s.size();
        return ascii ? static_cast<size_t>(i) : starts[static_cast<size_t>(i)];
    }
    // Character index of the character starting at a byte offset.
    long charOf(size_t byte) const;
    // Characters [from, to) as a string.
    std::string slice(long from, long to) const {
        return from < to ? s.substr(byteOf(from), byteOf(to) - byteOf(from)) : "";
    }
};

}  // namespace flash
