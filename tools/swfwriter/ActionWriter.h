// Builder of AVM1 action bytes for the frame scripts of test movies.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

class ActionWriter {
public:
    // Timeline control.
    ActionWriter& play() { return op(0x06); }
    ActionWriter& stop() { return op(0x07); }
    ActionWriter& nextFrame() { return op(0x04); }
    ActionWriter& prevFrame() { return op(0x05); }
    ActionWriter& gotoFrame(uint16_t zeroBasedFrame);
    ActionWriter& gotoFrame2(bool play);  // pops a 1-based frame number or a label
    ActionWriter& gotoLabel(const std::string& label);
    ActionWriter& getUrl(const std::string& url, const std::string& target);
    ActionWriter& getUrl2(uint8_t flags = 0);  // pops target, then url
    ActionWriter& setTarget(const std::string& target);
    ActionWriter& setTarget2() { return op(0x20); }

    // Stack and data.
    ActionWriter& push(const std::string& s);
    ActionWriter& pushNumber(double v);  // double (type 6)
    ActionWriter& pushFloat(float v);    // single (type 1)
    ActionWriter& pushInt(int32_t v);    // integer (type 7)
    ActionWriter& pushBool(bool v);
    ActionWriter& pushNull();
    ActionWriter& pushUndefined();
    ActionWriter& pushRegister(uint8_t r);
    ActionWriter& pushConstant(uint16_t index);
    ActionWriter& constantPool(const std::vector<std::string>& strings);
    ActionWriter& storeRegister(uint8_t r);
    ActionWriter& getVariable() { return op(0x1C); }
    ActionWriter& setVariable() { return op(0x1D); }

    // Control flow with named labels, resolved by bytes().
    ActionWriter& label(const std::string& name);
    ActionWriter& jump(const std::string& label);
    ActionWriter& ifTrue(const std::string& label);

    // Functions, objects and members.
    // DefineFunction: the body follows the record.
    ActionWriter& defineFunction(const std::string& name, const std::vector<std::string>& params,
                                 const ActionWriter& body);
    // DefineFunction2: params are (register, name) pairs, register 0 = a named local.
    ActionWriter& defineFunction2(const std::string& name, uint8_t registerCount, uint16_t flags,
                                  const std::vector<std::pair<uint8_t, std::string>>& params,
                                  const ActionWriter& body);
    ActionWriter& callFunction() { return op(0x3D); }  // name, n, args
    ActionWriter& callMethod() { return op(0x52); }    // name, object, n, args
    ActionWriter& newObject() { return op(0x40); }     // name, n, args
    ActionWriter& ret() { return op(0x3E); }
    ActionWriter& getMember() { return op(0x4E); }
    ActionWriter& setMember() { return op(0x4F); }
    ActionWriter& initObject() { return op(0x43); }
    ActionWriter& initArray() { return op(0x42); }
    ActionWriter& defineLocal() { return op(0x3C); }
    ActionWriter& getProperty() { return op(0x22); }
    ActionWriter& setProperty() { return op(0x23); }
    ActionWriter& add2() { return op(0x47); }
    ActionWriter& typeOf() { return op(0x44); }
    ActionWriter& instanceOf() { return op(0x54); }

    // Shorthands of the test scripts.
    ActionWriter& getVar(const std::string& name) { return push(name).getVariable(); }
    ActionWriter& trace() { return op(0x26); }
    ActionWriter& pop() { return op(0x17); }
    ActionWriter& throwValue() { return op(0x2A); }    // value
    ActionWriter& extends() { return op(0x69); }       // subclass, superclass
    ActionWriter& implementsOp() { return op(0x2C); }  // interfaces, n, constructor
    ActionWriter& enumerate2() { return op(0x55); }    // object
    ActionWriter& strictEquals() { return op(0x66); }
    ActionWriter& equals2() { return op(0x49); }
    // With: pops an object; `body` runs with it in scope.
    ActionWriter& with(const ActionWriter& body);
    // Try: catch into a named variable; an empty body is left out.
    ActionWriter& tryCatch(const ActionWriter& tryBody, const std::string& catchName,
                           const ActionWriter* catchBody, const ActionWriter* finallyBody);

    // Any one-byte action (arithmetic, comparison, string operations...).
    ActionWriter& op(uint8_t code);
    // Any action with a payload.
    ActionWriter& record(uint8_t code, const Bytes& payload);

    Bytes bytes() const;  // without the terminating 0 (doAction adds it)

private:
    struct Fixup {
        size_t at;  // offset of the SI16 field
        std::string label;
    };
    Bytes code_;
    std::map<std::string, size_t> labels_;
    std::vector<Fixup> fixups_;
    void pushRaw(uint8_t type, const Bytes& value);
};

}  // namespace swfw
