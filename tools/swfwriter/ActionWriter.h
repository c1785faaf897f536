// Builder of AVM1 action bytes for the frame scripts of test movies.
#pragma once

#include <cstdint>
#include <map>
#include <string>
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
