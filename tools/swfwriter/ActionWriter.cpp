#include "tools/swfwriter/ActionWriter.h"

#include <cstring>

namespace swfw {

namespace {

void putU16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void putStr(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

}  // namespace

ActionWriter& ActionWriter::op(uint8_t code) {
    code_.push_back(code);
    return *this;
}

ActionWriter& ActionWriter::record(uint8_t code, const Bytes& payload) {
    code_.push_back(code);
    putU16(code_, static_cast<uint16_t>(payload.size()));
    code_.insert(code_.end(), payload.begin(), payload.end());
    return *this;
}

ActionWriter& ActionWriter::gotoFrame(uint16_t frame) {
    Bytes p;
    putU16(p, frame);
    return record(0x81, p);
}

ActionWriter& ActionWriter::gotoFrame2(bool play) {
    return record(0x9F, Bytes{static_cast<uint8_t>(play ? 1 : 0)});
}

ActionWriter& ActionWriter::gotoLabel(const std::string& label) {
    Bytes p;
    putStr(p, label);
    return record(0x8C, p);
}

ActionWriter& ActionWriter::getUrl(const std::string& url, const std::string& target) {
    Bytes p;
    putStr(p, url);
    putStr(p, target);
    return record(0x83, p);
}

ActionWriter& ActionWriter::getUrl2(uint8_t flags) { return record(0x9A, Bytes{flags}); }

ActionWriter& ActionWriter::setTarget(const std::string& target) {
    Bytes p;
    putStr(p, target);
    return record(0x8B, p);
}

void ActionWriter::pushRaw(uint8_t type, const Bytes& value) {
    Bytes p{type};
    p.insert(p.end(), value.begin(), value.end());
    record(0x96, p);
}

ActionWriter& ActionWriter::push(const std::string& s) {
    Bytes v;
    putStr(v, s);
    pushRaw(0, v);
    return *this;
}

ActionWriter& ActionWriter::pushNumber(double d) {
    uint8_t raw[8];
    std::memcpy(raw, &d, 8);  // little-endian host
    pushRaw(6, Bytes{raw[4], raw[5], raw[6], raw[7], raw[0], raw[1], raw[2], raw[3]});
    return *this;
}

ActionWriter& ActionWriter::pushFloat(float f) {
    uint8_t raw[4];
    std::memcpy(raw, &f, 4);
    pushRaw(1, Bytes(raw, raw + 4));
    return *this;
}

ActionWriter& ActionWriter::pushInt(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    pushRaw(7, Bytes{static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                     static_cast<uint8_t>(u >> 24)});
    return *this;
}

ActionWriter& ActionWriter::pushBool(bool v) {
    pushRaw(5, Bytes{static_cast<uint8_t>(v ? 1 : 0)});
    return *this;
}

ActionWriter& ActionWriter::pushNull() {
    pushRaw(2, {});
    return *this;
}

ActionWriter& ActionWriter::pushUndefined() {
    pushRaw(3, {});
    return *this;
}

ActionWriter& ActionWriter::pushRegister(uint8_t r) {
    pushRaw(4, Bytes{r});
    return *this;
}

ActionWriter& ActionWriter::pushConstant(uint16_t index) {
    if (index < 256) {
        pushRaw(8, Bytes{static_cast<uint8_t>(index)});
    } else {
        pushRaw(9, Bytes{static_cast<uint8_t>(index & 0xFF), static_cast<uint8_t>(index >> 8)});
    }
    return *this;
}

ActionWriter& ActionWriter::constantPool(const std::vector<std::string>& strings) {
    Bytes p;
    putU16(p, static_cast<uint16_t>(strings.size()));
    for (const std::string& s : strings) putStr(p, s);
    return record(0x88, p);
}

ActionWriter& ActionWriter::storeRegister(uint8_t r) { return record(0x87, Bytes{r}); }

ActionWriter& ActionWriter::label(const std::string& name) {
    labels_[name] = code_.size();
    return *this;
}

ActionWriter& ActionWriter::jump(const std::string& target) {
    record(0x99, Bytes{0, 0});
    fixups_.push_back({code_.size() - 2, target});
    return *this;
}

ActionWriter& ActionWriter::ifTrue(const std::string& target) {
    record(0x9D, Bytes{0, 0});
    fixups_.push_back({code_.size() - 2, target});
    return *this;
}

Bytes ActionWriter::bytes() const {
    Bytes out = code_;
    for (const Fixup& f : fixups_) {
        auto it = labels_.find(f.label);
        size_t target = it == labels_.end() ? out.size() : it->second;
        int32_t offset = static_cast<int32_t>(target) - static_cast<int32_t>(f.at + 2);
        uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(offset));
        out[f.at] = static_cast<uint8_t>(u & 0xFF);
        out[f.at + 1] = static_cast<uint8_t>(u >> 8);
    }
    return out;
}

ActionWriter& ActionWriter::with(const ActionWriter& body) {
    Bytes code = body.bytes();
    Bytes p;
    putU16(p, static_cast<uint16_t>(code.size()));
    record(0x94, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

ActionWriter& ActionWriter::tryCatch(const ActionWriter& tryBody, const std::string& catchName,
                                     const ActionWriter* catchBody, const ActionWriter* finallyBody) {
    Bytes t = tryBody.bytes(), c = catchBody ? catchBody->bytes() : Bytes(),
          f = finallyBody ? finallyBody->bytes() : Bytes();
    Bytes p;
    p.push_back(static_cast<uint8_t>((catchBody ? 1 : 0) | (finallyBody ? 2 : 0)));
    putU16(p, static_cast<uint16_t>(t.size()));
    putU16(p, static_cast<uint16_t>(c.size()));
    putU16(p, static_cast<uint16_t>(f.size()));
    putStr(p, catchName);
    record(0x8F, p);
    code_.insert(code_.end(), t.begin(), t.end());
    code_.insert(code_.end(), c.begin(), c.end());
    code_.insert(code_.end(), f.begin(), f.end());
    return *this;
}

ActionWriter& ActionWriter::defineFunction(const std::string& name, const std::vector<std::string>& params,
                                           const ActionWriter& body) {
    Bytes code = body.bytes();
    Bytes p;
    putStr(p, name);
    putU16(p, static_cast<uint16_t>(params.size()));
    for (const std::string& s : params) putStr(p, s);
    putU16(p, static_cast<uint16_t>(code.size()));
    record(0x9B, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

ActionWriter& ActionWriter::defineFunction2(const std::string& name, uint8_t registerCount, uint16_t flags,
                                            const std::vector<std::pair<uint8_t, std::string>>& params,
                                            const ActionWriter& body) {
    Bytes code = body.bytes();
    Bytes p;
    putStr(p, name);
    putU16(p, static_cast<uint16_t>(params.size()));
    p.push_back(registerCount);
    putU16(p, flags);
    for (const auto& param : params) {
        p.push_back(param.first);
        putStr(p, param.second);
    }
    putU16(p, static_cast<uint16_t>(code.size()));
    record(0x8E, p);
    code_.insert(code_.end(), code.begin(), code.end());
    return *this;
}

}  // namespace swfw
