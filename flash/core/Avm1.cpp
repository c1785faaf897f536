#include "flash/core/Avm1.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "flash/core/ByteReader.h"

namespace flash {

namespace {

const size_t kMaxStack = 65536;
const size_t kMaxString = 1u << 20;
const int kMaxCallDepth = 16;

int32_t toInt32(double d) {
    if (!std::isfinite(d)) return 0;
    double m = std::fmod(std::trunc(d), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

// Whole number of a double, clamped into int range (NaN gives 0).
int clampToInt(double d) {
    if (!(d == d)) return 0;
    return static_cast<int>(std::max(-1e9, std::min(1e9, d)));
}

bool startsWithNoCase(const std::string& s, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// UTF-8 character boundaries for the multibyte string actions.
std::vector<size_t> charStarts(const std::string& s) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
    return starts;
}

std::string substring(const std::string& s, double index, double count, bool multibyte) {
    std::vector<size_t> starts;
    if (multibyte) {
        starts = charStarts(s);
    } else {
        for (size_t i = 0; i < s.size(); ++i) starts.push_back(i);
    }
    long n = static_cast<long>(starts.size());
    long from = std::isfinite(index) ? static_cast<long>(clampToInt(index)) - 1 : 0;
    if (from < 0) from = 0;
    if (from >= n) return "";
    long len = std::isfinite(count) && count >= 0 ? static_cast<long>(std::min(count, 1e9)) : n - from;
    long to = std::min(n, from + len);
    size_t b = starts[from], e = to < n ? starts[to] : s.size();
    return s.substr(b, e - b);
}

}  // namespace

struct Avm1::Frame {
    DisplayObject* original = nullptr;
    std::weak_ptr<DisplayObject> target;
    bool targetValid = true;
    std::vector<Value> stack;
    std::vector<std::string> pool;
    std::vector<Value> registers = std::vector<Value>(4);
    long budget = 0;
    // Inside a function: its local variables and `this`.
    std::shared_ptr<std::map<std::string, Value>> locals;
    Value thisValue;
    Value returnValue;
};

long Avm1::run(DisplayObject* clip, const ActionBlock& block, long budget) {
    version_ = engine_.movie().version();
    ensureGlobals();
    Frame f;
    f.original = clip;
    f.target = clip->shared_from_this();
    f.budget = budget;
    engine_.lastScriptHitBudget = false;
    exec(f, block.data, block.size, 0);
    if (f.budget <= 0) engine_.lastScriptHitBudget = true;
    return budget - std::max(0L, f.budget);
}

Value Avm1::readVariable(DisplayObject* clip, const std::string& path) {
    version_ = engine_.movie().version();
    Frame f;
    f.original = clip;
    f.target = clip->shared_from_this();
    return getVariable(f, path);
}

void Avm1::writeVariable(DisplayObject* clip, const std::string& path, const Value& v) {
    version_ = engine_.movie().version();
    Frame f;
    f.original = clip;
    f.target = clip->shared_from_this();
    setVariable(f, path, v);
}

Value Avm1::pop(Frame& f) {
    if (f.stack.empty()) return Value();
    Value v = std::move(f.stack.back());
    f.stack.pop_back();
    return v;
}

void Avm1::push(Frame& f, Value v) {
    if (f.stack.size() >= kMaxStack) return;
    if (v.type == Value::String) {
        if (v.string.size() > kMaxString) v.string.resize(kMaxString);
        // Long strings cost budget by their length: building them copies.
        f.budget -= static_cast<long>(v.string.size() / 256);
    }
    f.stack.push_back(std::move(v));
}

Value Avm1::boolResult(bool b) const {
    return version_ <= 4 ? Value::fromNumber(b ? 1 : 0) : Value::fromBool(b);
}

DisplayObject* Avm1::targetOf(Frame& f) {
    if (!f.targetValid) return nullptr;
    std::shared_ptr<DisplayObject> t = f.target.lock();
    if (!t) return nullptr;
    if (t.get() != engine_.root() && !t->parent) return nullptr;  // removed meanwhile
    return t.get();
}

bool Avm1::splitVariable(Frame& f, const std::string& path, DisplayObject*& clip, std::string& name) {
    clip = targetOf(f);
    size_t colon = path.rfind(':');
    size_t dot = path.rfind('.');
    if (colon != std::string::npos) {
        clip = engine_.resolveTarget(clip, path.substr(0, colon));
        name = path.substr(colon + 1);
    } else if (dot != std::string::npos && dot > 0 && path.find("..") == std::string::npos) {
        clip = engine_.resolveTarget(clip, path.substr(0, dot));
        name = path.substr(dot + 1);
    } else {
        name = path;
    }
    return clip != nullptr && !name.empty();
}

static DisplayObject* childNamed(DisplayObject* clip, const std::string& key, const Engine& e) {
    for (auto& kv : clip->children)
        if (!kv.second->name.empty() && e.nameKey(kv.second->name) == key) return kv.second.get();
    return nullptr;
}

Value Avm1::getVariable(Frame& f, const std::string& path) {
    if (path.find_first_of(":/") != std::string::npos) {
        DisplayObject* clip;
        std::string name;
        if (splitVariable(f, path, clip, name)) {
            auto it = clip->variables.find(engine_.nameKey(name));
            if (it != clip->variables.end()) return it->second;
        }
        // A path to a clip evaluates to the clip.
        DisplayObject* c = engine_.resolveTarget(targetOf(f), path);
        return c ? Value::fromClip(c->shared_from_this()) : Value();
    }
    size_t dot = path.find('.');
    if (dot != std::string::npos && dot > 0) {
        // "a.b.c": a variable, then members.
        Value v = getVariable(f, path.substr(0, dot));
        size_t i = dot + 1;
        while (i <= path.size() && v.type != Value::Undefined) {
            size_t j = path.find('.', i);
            if (j == std::string::npos) j = path.size();
            v = getMember(f, v, path.substr(i, j - i));
            i = j + 1;
        }
        return v;
    }
    std::string key = engine_.nameKey(path);
    if (f.locals) {
        auto it = f.locals->find(key);
        if (it != f.locals->end()) return it->second;
    }
    DisplayObject* clip = targetOf(f);
    if (key == engine_.nameKey("this")) {
        if (f.thisValue.type != Value::Undefined) return f.thisValue;
        return clip ? Value::fromClip(clip->shared_from_this()) : Value();
    }
    if (key == engine_.nameKey("_root") || key == engine_.nameKey("_level0"))
        return engine_.root() ? Value::fromClip(engine_.root()->shared_from_this()) : Value();
    if (key == engine_.nameKey("_parent"))
        return clip && clip->parent ? Value::fromClip(clip->parent->shared_from_this()) : Value();
    if (key == engine_.nameKey("_global")) return Value::fromObject(engine_.globals);
    if (clip) {
        auto it = clip->variables.find(key);
        if (it != clip->variables.end()) return it->second;
        if (DisplayObject* c = childNamed(clip, key, engine_)) return Value::fromClip(c->shared_from_this());
    }
    if (engine_.globals) {
        auto it = engine_.globals->props.find(key);
        if (it != engine_.globals->props.end()) return it->second;
    }
    return Value();
}

void Avm1::setVariable(Frame& f, const std::string& path, const Value& v) {
    size_t dot = path.rfind('.');
    if (path.find_first_of(":/") == std::string::npos && dot != std::string::npos && dot > 0 &&
        dot + 1 < path.size()) {
        Value base = getVariable(f, path.substr(0, dot));
        if (base.type == Value::Object || base.type == Value::Clip)
            setMember(f, base, path.substr(dot + 1), v);
        return;
    }
    if (f.locals && path.find_first_of(":/.") == std::string::npos) {
        auto it = f.locals->find(engine_.nameKey(path));
        if (it != f.locals->end()) {
            it->second = v;
            return;
        }
    }
    DisplayObject* clip;
    std::string name;
    if (!splitVariable(f, path, clip, name)) return;
    if (clip->variables.size() >= 65536 && !clip->variables.count(engine_.nameKey(name))) return;
    clip->variables[engine_.nameKey(name)] = v;
}

Value Avm1::getProperty(DisplayObject* c, int index) {
    if (!c) return Value();
    const Matrix& m = c->matrix;
    switch (index) {
        case 0:
            return Value::fromNumber(m.tx / 20.0);
        case 1:
            return Value::fromNumber(m.ty / 20.0);
        case 2:
            return Value::fromNumber(std::sqrt(m.a * m.a + m.b * m.b) * 100.0);
        case 3:
            return Value::fromNumber(std::sqrt(m.c * m.c + m.d * m.d) * 100.0);
        case 4:
            return Value::fromNumber(c->currentFrame + 1);
        case 5:
        case 12:
            return Value::fromNumber(c->frameCount());
        case 6:
            return Value::fromNumber(c->cxform.aMul * 100.0 / 256.0);
        case 7:
            return boolResult(c->visible);
        case 10:
            return Value::fromNumber(std::atan2(m.b, m.a) * 180.0 / 3.14159265358979323846);
        case 11:
            return Value::fromString(engine_.targetPath(c));
        case 13:
            return Value::fromString(c->name);
        case 16:
            return Value::fromNumber(1);
        case 19:
            return Value::fromString("HIGH");
        default:
            return Value();
    }
}

void Avm1::setProperty(DisplayObject* c, int index, const Value& v) {
    if (!c || c == engine_.root()) {
        if (!c) return;
    }
    double d = toNumber(v, version_);
    Matrix& m = c->matrix;
    bool finite = std::isfinite(d);
    switch (index) {
        case 0:
            if (finite) m.tx = d * 20.0;
            break;
        case 1:
            if (finite) m.ty = d * 20.0;
            break;
        case 2:
        case 3: {
            if (!finite) return;
            double* p = index == 2 ? &m.a : &m.c;
            double* q = index == 2 ? &m.b : &m.d;
            double len = std::sqrt(*p * *p + *q * *q);
            double s = d / 100.0;
            if (len > 0) {
                *p *= s / len;
                *q *= s / len;
            } else if (index == 2) {
                *p = s;
            } else {
                *q = s;
            }
            break;
        }
        case 6:
            if (finite)
                c->cxform.aMul = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, d * 2.56)));
            break;
        case 7:
            c->visible = toBoolean(v, version_);
            return;
        case 10: {
            if (!finite) return;
            double sx = std::sqrt(m.a * m.a + m.b * m.b), sy = std::sqrt(m.c * m.c + m.d * m.d);
            double r = d * 3.14159265358979323846 / 180.0;
            m.a = sx * std::cos(r);
            m.b = sx * std::sin(r);
            m.c = -sy * std::sin(r);
            m.d = sy * std::cos(r);
            break;
        }
        case 13:
            c->name = toString(v, version_);
            return;
        default:
            return;
    }
    c->scriptTransformed = true;
}

void Avm1::getUrl(const std::string& url, const std::string& target) {
    if (startsWithNoCase(url, "FSCommand:")) {
        if (engine_.onFSCommand) engine_.onFSCommand(url.substr(10), target);
    } else if (engine_.onGetURL) {
        engine_.onGetURL(url, target);
    }
}

void Avm1::gotoFrameValue(Frame& f, const Value& frame, bool play, int bias) {
    DisplayObject* clip = targetOf(f);
    int index = -1;
    if (frame.type == Value::String) {
        std::string s = frame.string;
        size_t colon = s.rfind(':');
        if (colon != std::string::npos) {
            clip = engine_.resolveTarget(clip, s.substr(0, colon));
            s = s.substr(colon + 1);
        }
        if (!clip) return;
        Value num = Value::fromString(s);
        double d = toNumber(num, 5);
        if (!s.empty() && std::isfinite(d)) {
            index = static_cast<int>(std::max(-1e9, std::min(1e9, d))) - 1 + bias;
        } else {
            index = clip->timeline ? clip->timeline->findLabel(s) : -1;
            if (index < 0) return;  // missing label: nothing happens
        }
    } else {
        double d = toNumber(frame, version_);
        if (!std::isfinite(d)) return;
        index = static_cast<int>(std::max(-1e9, std::min(1e9, d))) - 1 + bias;
    }
    if (!clip || !clip->timeline) return;
    engine_.gotoFrame(clip, index);
    clip->playing = play;
}

void Avm1::exec(Frame& f, const uint8_t* code, size_t size, int callDepth) {
    size_t pc = 0;
    while (pc < size) {
        if (--f.budget < 0) return;
        uint8_t op = code[pc];
        if (op == 0) return;
        size_t payload = pc + 1, len = 0, next = pc + 1;
        if (op >= 0x80) {
            if (pc + 3 > size) return;
            len = code[pc + 1] | (code[pc + 2] << 8);
            payload = pc + 3;
            next = payload + len;
            if (next > size) return;
        }
        ByteReader r(code + payload, len);
        DisplayObject* t = nullptr;
        switch (op) {
            // Timeline control.
            case 0x04:  // NextFrame
            case 0x05:  // PreviousFrame
                if ((t = targetOf(f)) != nullptr) {
                    engine_.gotoFrame(t, t->currentFrame + (op == 0x04 ? 1 : -1));
                    t->playing = false;
                }
                break;
            case 0x06:
                if ((t = targetOf(f)) != nullptr) t->playing = true;
                break;
            case 0x07:
                if ((t = targetOf(f)) != nullptr) t->playing = false;
                break;
            case 0x08:  // ToggleQuality
            case 0x09:  // StopSounds
            case 0x28:  // EndDrag
                break;
            case 0x81:  // GotoFrame (0-based)
                if ((t = targetOf(f)) != nullptr) {
                    engine_.gotoFrame(t, r.u16());
                    t->playing = false;
                }
                break;
            case 0x8C: {  // GoToLabel
                std::string label = r.str();
                if ((t = targetOf(f)) != nullptr && t->timeline) {
                    int frame = t->timeline->findLabel(label);
                    if (frame >= 0) {
                        engine_.gotoFrame(t, frame);
                        t->playing = false;
                    }
                }
                break;
            }
            case 0x9F: {  // GotoFrame2
                uint8_t flags = r.u8();
                int bias = (flags & 0x02) ? r.u16() : 0;
                gotoFrameValue(f, pop(f), (flags & 0x01) != 0, bias);
                break;
            }
            case 0x83: {  // GetURL
                std::string url = r.str();
                std::string target = r.str();
                getUrl(url, target);
                break;
            }
            case 0x9A: {  // GetURL2
                std::string target = toString(pop(f), version_);
                std::string url = toString(pop(f), version_);
                getUrl(url, target);
                break;
            }
            case 0x8B: {  // SetTarget
                std::string name = r.str();
                DisplayObject* nt = name.empty() ? f.original : engine_.resolveTarget(f.original, name);
                f.targetValid = nt != nullptr;
                if (nt) f.target = nt->shared_from_this();
                break;
            }
            case 0x20: {  // SetTarget2
                std::string name = toString(pop(f), version_);
                DisplayObject* nt = name.empty() ? f.original : engine_.resolveTarget(f.original, name);
                f.targetValid = nt != nullptr;
                if (nt) f.target = nt->shared_from_this();
                break;
            }
            case 0x8A:  // WaitForFrame: every frame is loaded
                break;
            case 0x8D:  // WaitForFrame2
                pop(f);
                break;
            case 0x9E: {  // Call: run a frame's scripts now
                Value frame = pop(f);
                DisplayObject* clip = targetOf(f);
                if (!clip || !clip->timeline || callDepth >= kMaxCallDepth) break;
                int index;
                if (frame.type == Value::String && !std::isfinite(toNumber(frame, 5))) {
                    index = clip->timeline->findLabel(frame.string);
                } else {
                    double d = toNumber(frame, version_);
                    index = std::isfinite(d) ? static_cast<int>(std::max(-1.0, std::min(1e9, d))) - 1 : -1;
                }
                if (index < 0 || index >= clip->frameCount()) break;
                for (const ActionBlock& b : clip->timeline->frames[index].actions) {
                    Frame inner;
                    inner.original = clip;
                    inner.target = clip->shared_from_this();
                    inner.budget = f.budget;
                    exec(inner, b.data, b.size, callDepth + 1);
                    f.budget = inner.budget;
                }
                break;
            }

            // Stack and data.
            case 0x96:  // Push
                while (r.remaining() > 0 && !r.overflow()) {
                    uint8_t type = r.u8();
                    switch (type) {
                        case 0:
                            push(f, Value::fromString(r.str()));
                            break;
                        case 1:
                            push(f, Value::fromNumber(r.f32()));
                            break;
                        case 2:
                            push(f, Value::null());
                            break;
                        case 3:
                            push(f, Value());
                            break;
                        case 4: {
                            uint8_t reg = r.u8();
                            push(f, reg < f.registers.size() ? f.registers[reg] : Value());
                            break;
                        }
                        case 5:
                            push(f, Value::fromBool(r.u8() != 0));
                            break;
                        case 6:
                            push(f, Value::fromNumber(r.f64Swapped()));
                            break;
                        case 7:
                            push(f, Value::fromNumber(static_cast<int32_t>(r.u32())));
                            break;
                        case 8:
                        case 9: {
                            size_t i = type == 8 ? r.u8() : r.u16();
                            push(f, i < f.pool.size() ? Value::fromString(f.pool[i]) : Value());
                            break;
                        }
                        default:
                            r.skip(r.remaining());  // unknown type: the rest is unreadable
                            break;
                    }
                }
                break;
            case 0x17:
                pop(f);
                break;
            case 0x4C: {  // PushDuplicate
                Value v = f.stack.empty() ? Value() : f.stack.back();
                push(f, v);
                break;
            }
            case 0x4D:  // StackSwap
                if (f.stack.size() >= 2) std::swap(f.stack[f.stack.size() - 1], f.stack[f.stack.size() - 2]);
                break;
            case 0x88: {  // ConstantPool
                uint16_t n = r.u16();
                f.pool.clear();
                for (uint16_t i = 0; i < n && r.remaining() > 0; ++i) f.pool.push_back(r.str());
                break;
            }
            case 0x87: {  // StoreRegister (does not pop)
                uint8_t reg = r.u8();
                if (reg < f.registers.size()) f.registers[reg] = f.stack.empty() ? Value() : f.stack.back();
                break;
            }
            case 0x1C: {
                std::string name = toString(pop(f), version_);
                push(f, getVariable(f, name));
                break;
            }
            case 0x1D: {
                Value v = pop(f);
                setVariable(f, toString(pop(f), version_), v);
                break;
            }
            case 0x3C:    // DefineLocal: outside functions a timeline variable
            case 0x41: {  // DefineLocal2: declares without a value
                Value v = op == 0x3C ? pop(f) : Value();
                std::string name = toString(pop(f), version_);
                if (f.locals) {
                    if (op == 0x3C || !f.locals->count(engine_.nameKey(name)))
                        if (f.locals->size() < 65536) (*f.locals)[engine_.nameKey(name)] = v;
                } else if (op == 0x3C) {
                    setVariable(f, name, v);
                }
                break;
            }
            case 0x22:    // GetProperty
            case 0x23: {  // SetProperty
                Value v = op == 0x23 ? pop(f) : Value();
                Value index = pop(f);
                Value target = pop(f);
                std::shared_ptr<DisplayObject> keep;
                DisplayObject* clip = nullptr;
                if (target.type == Value::Clip) {
                    keep = clipOf(target);
                    clip = keep.get();
                } else {
                    std::string path = toString(target, version_);
                    clip = path.empty() ? targetOf(f) : engine_.resolveTarget(targetOf(f), path);
                }
                double i = toNumber(index, 5);
                if (op == 0x22) {
                    push(f, getProperty(clip, clampToInt(i)));
                } else if (std::isfinite(i)) {
                    setProperty(clip, clampToInt(i), v);
                }
                break;
            }

            // Arithmetic.
            case 0x0A:
            case 0x0B:
            case 0x0C:
            case 0x0D:
            case 0x3F: {
                double a = toNumber(pop(f), version_);
                double b = toNumber(pop(f), version_);
                double res = 0;
                if (op == 0x0A) res = b + a;
                if (op == 0x0B) res = b - a;
                if (op == 0x0C) res = b * a;
                if (op == 0x0D) {
                    if (a == 0 && version_ <= 4) {
                        push(f, Value::fromString("#ERROR#"));
                        break;
                    }
                    res = b / a;
                }
                if (op == 0x3F) res = std::fmod(b, a);
                push(f, Value::fromNumber(res));
                break;
            }
            case 0x47: {  // Add2
                Value a = pop(f), b = pop(f);
                if (a.type >= Value::String || b.type >= Value::String) {
                    std::string s = toString(b, version_);
                    std::string sa = toString(a, version_);
                    if (s.size() + sa.size() <= kMaxString) s += sa;
                    push(f, Value::fromString(std::move(s)));
                } else {
                    push(f, Value::fromNumber(toNumber(b, version_) + toNumber(a, version_)));
                }
                break;
            }
            case 0x50:
            case 0x51: {
                double v = toNumber(pop(f), version_);
                push(f, Value::fromNumber(op == 0x50 ? v + 1 : v - 1));
                break;
            }
            case 0x18: {  // ToInteger
                double v = toNumber(pop(f), version_);
                push(f, Value::fromNumber(std::isfinite(v) ? std::trunc(v) : (std::isnan(v) ? 0 : v)));
                break;
            }
            case 0x4A:
                push(f, Value::fromNumber(toNumber(pop(f), version_)));
                break;
            case 0x4B:
                push(f, Value::fromString(toString(pop(f), version_)));
                break;
            case 0x60:
            case 0x61:
            case 0x62:
            case 0x63:
            case 0x64:
            case 0x65: {
                int32_t a = toInt32(toNumber(pop(f), version_));
                int32_t b = toInt32(toNumber(pop(f), version_));
                double res = 0;
                uint32_t ub = static_cast<uint32_t>(b);
                int sh = a & 31;
                if (op == 0x60) res = b & a;
                if (op == 0x61) res = b | a;
                if (op == 0x62) res = b ^ a;
                if (op == 0x63) res = static_cast<int32_t>(ub << sh);
                if (op == 0x64) res = b >> sh;
                if (op == 0x65) res = ub >> sh;
                push(f, Value::fromNumber(res));
                break;
            }
            case 0x30: {  // RandomNumber
                double max = toNumber(pop(f), version_);
                randomState_ = randomState_ * 1103515245u + 12345u;
                long m = std::isfinite(max) && max >= 1 ? static_cast<long>(std::min(max, 2147483647.0)) : 1;
                push(f, Value::fromNumber(
                            static_cast<double>((randomState_ >> 8) % static_cast<unsigned long>(m))));
                break;
            }
            case 0x34: {  // GetTime
                double rate = engine_.movie().header().frameRate;
                if (rate <= 0) rate = 12;
                push(f, Value::fromNumber(std::floor(engine_.tickCount() * 1000.0 / rate)));
                break;
            }

            // Comparison and logic.
            case 0x0E:
            case 0x0F:
            case 0x67: {
                double a = toNumber(pop(f), version_);
                double b = toNumber(pop(f), version_);
                bool res = op == 0x0E ? b == a : (op == 0x0F ? b < a : b > a);
                push(f, boolResult(res));
                break;
            }
            case 0x48: {  // Less2
                Value a = pop(f), b = pop(f);
                if (a.type == Value::String && b.type == Value::String) {
                    push(f, Value::fromBool(b.string < a.string));
                } else {
                    double x = toNumber(b, version_), y = toNumber(a, version_);
                    push(f, std::isnan(x) || std::isnan(y) ? Value() : Value::fromBool(x < y));
                }
                break;
            }
            case 0x49: {
                Value a = pop(f), b = pop(f);
                push(f, boolResult(looseEquals(b, a, version_)));
                break;
            }
            case 0x66: {  // StrictEquals
                Value a = pop(f), b = pop(f);
                push(f, Value::fromBool(strictEquals(a, b)));
                break;
            }
            case 0x10:
            case 0x11: {
                bool a = toBoolean(pop(f), version_);
                bool b = toBoolean(pop(f), version_);
                push(f, boolResult(op == 0x10 ? (b && a) : (b || a)));
                break;
            }
            case 0x12:
                push(f, boolResult(!toBoolean(pop(f), version_)));
                break;

            // Strings.
            case 0x13:
            case 0x29:
            case 0x68: {
                std::string a = toString(pop(f), version_);
                std::string b = toString(pop(f), version_);
                bool res = op == 0x13 ? b == a : (op == 0x29 ? b < a : b > a);
                push(f, boolResult(res));
                break;
            }
            case 0x14:
                push(f, Value::fromNumber(static_cast<double>(toString(pop(f), version_).size())));
                break;
            case 0x31:
                push(f,
                     Value::fromNumber(static_cast<double>(charStarts(toString(pop(f), version_)).size())));
                break;
            case 0x15:
            case 0x35: {
                double count = toNumber(pop(f), version_);
                double index = toNumber(pop(f), version_);
                std::string s = toString(pop(f), version_);
                push(f, Value::fromString(substring(s, index, count, op == 0x35)));
                break;
            }
            case 0x21: {  // StringAdd
                std::string a = toString(pop(f), version_);
                std::string b = toString(pop(f), version_);
                if (a.size() + b.size() <= kMaxString) b += a;
                push(f, Value::fromString(std::move(b)));
                break;
            }
            case 0x32:
            case 0x36: {  // CharToAscii / MBCharToAscii
                std::string s = toString(pop(f), version_);
                double code = 0;
                if (!s.empty()) {
                    unsigned char c0 = static_cast<unsigned char>(s[0]);
                    code = c0;
                    if (op == 0x36 && c0 >= 0xC0) {
                        int extra = c0 >= 0xF0 ? 3 : (c0 >= 0xE0 ? 2 : 1);
                        unsigned cp = c0 & (0x3F >> extra);
                        for (int i = 1; i <= extra && i < static_cast<int>(s.size()); ++i)
                            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
                        code = cp;
                    }
                }
                push(f, Value::fromNumber(code));
                break;
            }
            case 0x33:
            case 0x37: {  // AsciiToChar / MBAsciiToChar
                double d = toNumber(pop(f), version_);
                unsigned cp = std::isfinite(d) && d > 0 ? static_cast<unsigned>(std::min(d, 1114111.0)) : 0;
                std::string s;
                if (op == 0x33 || cp < 0x80) {
                    s.push_back(static_cast<char>(cp & 0xFF));
                } else if (cp < 0x800) {
                    s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                } else if (cp < 0x10000) {
                    s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                    s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                } else {
                    s.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                    s.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                    s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                }
                push(f, Value::fromString(std::move(s)));
                break;
            }
            case 0x44: {  // TypeOf
                Value v = pop(f);
                const char* names[] = {"undefined", "null",   "boolean",  "number",
                                       "string",    "object", "movieclip"};
                if (v.type == Value::Object && v.object && v.object->isFunction()) {
                    push(f, Value::fromString("function"));
                } else {
                    push(f, Value::fromString(names[v.type]));
                }
                break;
            }
            case 0x26: {  // Trace
                std::string s = toString(pop(f), version_);
                if (engine_.onTrace) engine_.onTrace(s);
                break;
            }

            // Branches.
            case 0x99:
            case 0x9D: {
                int16_t offset = r.s16();
                bool take = op == 0x99 || toBoolean(pop(f), version_);
                if (take) {
                    long target = static_cast<long>(next) + offset;
                    if (target < 0 || static_cast<size_t>(target) > size) return;
                    next = static_cast<size_t>(target);
                }
                break;
            }

            // Actions of the object model: keep the stack balanced.
            case 0x24:  // CloneSprite
                pop(f);
                pop(f);
                pop(f);
                break;
            case 0x25:  // RemoveSprite
                pop(f);
                break;
            case 0x27: {  // StartDrag
                pop(f);
                pop(f);
                if (toBoolean(pop(f), version_))
                    for (int i = 0; i < 4; ++i) pop(f);
                break;
            }
            case 0x3D: {  // CallFunction: name, n, args
                std::string name = toString(pop(f), version_);
                std::vector<Value> args = popArgs(f);
                Value fn = getVariable(f, name);
                push(f, call(f, fn, Value(), args, callDepth));
                break;
            }
            case 0x40: {  // NewObject: name, n, args
                std::string name = toString(pop(f), version_);
                std::vector<Value> args = popArgs(f);
                push(f, construct(f, getVariable(f, name), args, callDepth));
                break;
            }
            case 0x52:    // CallMethod: name, object, n, args
            case 0x53: {  // NewMethod
                Value name = pop(f);
                Value object = pop(f);
                std::vector<Value> args = popArgs(f);
                std::string method = name.type == Value::Undefined ? "" : toString(name, version_);
                if (op == 0x52) {
                    push(f, callMethod(f, object, method, args, callDepth));
                } else {
                    Value fn = method.empty() ? object : getMember(f, object, method);
                    push(f, construct(f, fn, args, callDepth));
                }
                break;
            }
            case 0x4E: {  // GetMember
                std::string name = toString(pop(f), version_);
                Value object = pop(f);
                push(f, getMember(f, object, name));
                break;
            }
            case 0x4F: {  // SetMember
                Value v = pop(f);
                std::string name = toString(pop(f), version_);
                Value object = pop(f);
                setMember(f, object, name, v);
                break;
            }
            case 0x42: {  // InitArray: n, then the elements from the first
                double n = toNumber(pop(f), version_);
                Value a = newObject(true);
                for (long i = 0; std::isfinite(n) && i < n && !f.stack.empty(); ++i) {
                    Value e = pop(f);
                    if (a.object) a.object->elements.push_back(std::move(e));
                }
                push(f, a);
                break;
            }
            case 0x43: {  // InitObject: n, then value/name pairs
                double n = toNumber(pop(f), version_);
                Value o = newObject();
                for (long i = 0; std::isfinite(n) && i < n && !f.stack.empty(); ++i) {
                    Value v = pop(f);
                    std::string name = toString(pop(f), version_);
                    if (o.object) o.object->props[engine_.nameKey(name)] = std::move(v);
                }
                push(f, o);
                break;
            }
            case 0x3A: {  // Delete: object, name
                std::string name = engine_.nameKey(toString(pop(f), version_));
                Value object = pop(f);
                bool done = false;
                if (object.type == Value::Object && object.object) {
                    done = object.object->props.erase(name) > 0;
                } else if (auto c = clipOf(object)) {
                    done = c->variables.erase(name) > 0;
                }
                push(f, Value::fromBool(done));
                break;
            }
            case 0x3B: {  // Delete2: a variable
                std::string name = engine_.nameKey(toString(pop(f), version_));
                bool done = f.locals && f.locals->erase(name) > 0;
                if (!done && (t = targetOf(f)) != nullptr) done = t->variables.erase(name) > 0;
                push(f, Value::fromBool(done));
                break;
            }
            case 0x46:    // Enumerate: a variable's name
            case 0x55: {  // Enumerate2: an object
                Value object = op == 0x55 ? pop(f) : getVariable(f, toString(pop(f), version_));
                push(f, Value::null());
                if (object.type == Value::Object && object.object) {
                    std::shared_ptr<ScriptObject> o = object.object;
                    for (size_t i = 0; i < o->elements.size() && f.budget > 0; ++i, --f.budget)
                        push(f, Value::fromString(numberToString(static_cast<double>(i))));
                    for (const auto& kv : o->props) {
                        if (--f.budget < 0) break;
                        push(f, Value::fromString(kv.first));
                    }
                } else if (auto c = clipOf(object)) {
                    for (const auto& kv : c->variables) {
                        if (--f.budget < 0) break;
                        push(f, Value::fromString(kv.first));
                    }
                }
                break;
            }
            case 0x45: {  // TargetPath
                auto c = clipOf(pop(f));
                push(f, c ? Value::fromString(clipPath(c.get())) : Value());
                break;
            }
            case 0x54: {  // InstanceOf: object, constructor
                Value ctor = pop(f);
                Value object = pop(f);
                push(f, Value::fromBool(instanceOf(object, ctor)));
                break;
            }
            case 0x2B: {  // CastOp: constructor, object
                Value object = pop(f);
                Value ctor = pop(f);
                push(f, instanceOf(object, ctor) ? object : Value::null());
                break;
            }
            case 0x69: {  // Extends: superclass, subclass
                Value super = pop(f);
                Value sub = pop(f);
                if (sub.type != Value::Object || !sub.object) break;
                Value proto = newObject();
                if (!proto.object) break;
                const Value* sp = super.type == Value::Object && super.object
                                      ? super.object->find(engine_.nameKey("prototype"))
                                      : nullptr;
                if (sp && sp->type == Value::Object) proto.object->proto = sp->object;
                sub.object->props[engine_.nameKey("prototype")] = proto;
                break;
            }
            case 0x2C: {  // ImplementsOp
                pop(f);
                double n = toNumber(pop(f), version_);
                for (long i = 0; std::isfinite(n) && i < n && !f.stack.empty(); ++i) pop(f);
                break;
            }
            case 0x94:  // With: the body runs in place
                pop(f);
                break;
            case 0x9B:    // DefineFunction
            case 0x8E: {  // DefineFunction2: the body follows the record
                std::string name = r.str();
                Value fn = defineFunction(f, code, payload, len, next, size, op == 0x8E);
                if (next > size) return;
                if (name.empty()) {
                    push(f, fn);
                } else if (f.locals) {
                    (*f.locals)[engine_.nameKey(name)] = fn;
                } else {
                    setVariable(f, name, fn);
                }
                break;
            }
            case 0x3E:  // Return
                f.returnValue = pop(f);
                return;
            case 0x2A:  // Throw
                return;
            default:
                break;  // unknown: skipped by its length
        }
        pc = next;
    }
}

// ---- Objects, functions and built-ins ----

namespace {

enum NativeId {
    kObjectCtor = 1,
    kArrayCtor,
    kNumberFn,
    kStringFn,
    kBooleanFn,
    kParseInt,
    kParseFloat,
    kIsNaN,
    kMathAbs,
    kMathFloor,
    kMathCeil,
    kMathRound,
    kMathMin,
    kMathMax,
    kMathSqrt,
    kMathPow,
    kMathSin,
    kMathCos,
    kMathTan,
    kMathAtan,
    kMathAtan2,
    kMathExp,
    kMathLog,
    kMathRandom,
};

const size_t kMaxElements = 65536;

// Movie-clip properties by member name (index of GetProperty).
int propertyIndex(const std::string& name) {
    static const char* const names[] = {
        "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
        "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
        "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality"};
    if (name.empty() || name[0] != '_') return -1;
    std::string folded = foldCase(name);
    for (int i = 0; i < static_cast<int>(sizeof names / sizeof names[0]); ++i)
        if (folded == names[i]) return i;
    return -1;
}

// Array index of a member name ("0", "12"), or -1.
long arrayIndex(const std::string& name) {
    if (name.empty() || name.size() > 9) return -1;
    long v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

std::shared_ptr<DisplayObject> Avm1::clipOf(const Value& v) {
    if (v.type != Value::Clip) return nullptr;
    std::shared_ptr<DisplayObject> c = v.clip.lock();
    if (!c || (c.get() != engine_.root() && !c->parent)) return nullptr;
    return c;
}

Value Avm1::newObject(bool array) {
    std::shared_ptr<ScriptObject> o = engine_.newObject();
    if (!o) return Value();
    o->isArray = array;
    o->proto = array ? arrayProto_ : objectProto_;
    return Value::fromObject(std::move(o));
}

Value Avm1::newNative(int id) {
    Value v = newObject();
    if (v.object) v.object->native = id;
    return v;
}

void Avm1::ensureGlobals() {
    std::shared_ptr<ScriptObject>& g = engine_.globals;
    auto key = [&](const char* n) { return engine_.nameKey(n); };
    if (g) {
        objectProto_ = g->props[key("Object")].object
                           ? g->props[key("Object")].object->props[key("prototype")].object
                           : nullptr;
        arrayProto_ = g->props[key("Array")].object
                          ? g->props[key("Array")].object->props[key("prototype")].object
                          : nullptr;
        return;
    }
    g = engine_.newObject();
    if (!g) return;
    objectProto_ = engine_.newObject();
    arrayProto_ = engine_.newObject();
    if (arrayProto_) arrayProto_->proto = objectProto_;
    Value objectCtor = newNative(kObjectCtor), arrayCtor = newNative(kArrayCtor);
    if (objectCtor.object) objectCtor.object->props[key("prototype")] = Value::fromObject(objectProto_);
    if (arrayCtor.object) arrayCtor.object->props[key("prototype")] = Value::fromObject(arrayProto_);
    g->props[key("Object")] = objectCtor;
    g->props[key("Array")] = arrayCtor;
    g->props[key("Number")] = newNative(kNumberFn);
    g->props[key("String")] = newNative(kStringFn);
    g->props[key("Boolean")] = newNative(kBooleanFn);
    g->props[key("parseInt")] = newNative(kParseInt);
    g->props[key("parseFloat")] = newNative(kParseFloat);
    g->props[key("isNaN")] = newNative(kIsNaN);
    Value math = newObject();
    if (math.object) {
        static const struct {
            const char* name;
            int id;
        } fns[] = {
            {"abs", kMathAbs},     {"floor", kMathFloor}, {"ceil", kMathCeil}, {"round", kMathRound},
            {"min", kMathMin},     {"max", kMathMax},     {"sqrt", kMathSqrt}, {"pow", kMathPow},
            {"sin", kMathSin},     {"cos", kMathCos},     {"tan", kMathTan},   {"atan", kMathAtan},
            {"atan2", kMathAtan2}, {"exp", kMathExp},     {"log", kMathLog},   {"random", kMathRandom}};
        for (const auto& fn : fns) math.object->props[key(fn.name)] = newNative(fn.id);
        math.object->props[key("PI")] = Value::fromNumber(3.14159265358979323846);
        math.object->props[key("E")] = Value::fromNumber(2.718281828459045);
        math.object->props[key("SQRT2")] = Value::fromNumber(1.4142135623730951);
    }
    g->props[key("Math")] = math;
}

std::vector<Value> Avm1::popArgs(Frame& f) {
    double n = toNumber(pop(f), version_);
    std::vector<Value> args;
    for (long i = 0; std::isfinite(n) && i < n && !f.stack.empty(); ++i) args.push_back(pop(f));
    return args;
}

Value Avm1::getMember(Frame& f, const Value& object, const std::string& name) {
    std::string key = engine_.nameKey(name);
    switch (object.type) {
        case Value::String:
            if (key == engine_.nameKey("length"))
                return Value::fromNumber(static_cast<double>(charStarts(object.string).size()));
            return Value();
        case Value::Clip: {
            std::shared_ptr<DisplayObject> c = clipOf(object);
            if (!c) return Value();
            int index = propertyIndex(name);
            if (index >= 0) return getProperty(c.get(), index);
            auto it = c->variables.find(key);
            if (it != c->variables.end()) return it->second;
            if (DisplayObject* child = childNamed(c.get(), key, engine_))
                return Value::fromClip(child->shared_from_this());
            if (key == engine_.nameKey("_parent"))
                return c->parent ? Value::fromClip(c->parent->shared_from_this()) : Value();
            if (key == engine_.nameKey("_root")) return Value::fromClip(engine_.root()->shared_from_this());
            return Value();
        }
        case Value::Object: {
            ScriptObject& o = *object.object;
            if (o.isArray) {
                if (key == engine_.nameKey("length"))
                    return Value::fromNumber(static_cast<double>(o.elements.size()));
                long i = arrayIndex(name);
                if (i >= 0) return static_cast<size_t>(i) < o.elements.size() ? o.elements[i] : Value();
            }
            const Value* v = o.find(key);
            return v ? *v : Value();
        }
        default:
            (void)f;
            return Value();
    }
}

void Avm1::setMember(Frame& f, const Value& object, const std::string& name, const Value& v) {
    std::string key = engine_.nameKey(name);
    if (object.type == Value::Clip) {
        std::shared_ptr<DisplayObject> c = clipOf(object);
        if (!c) return;
        int index = propertyIndex(name);
        if (index >= 0) {
            setProperty(c.get(), index, v);
        } else if (c->variables.size() < 65536 || c->variables.count(key)) {
            c->variables[key] = v;
        }
        return;
    }
    if (object.type != Value::Object || !object.object) return;
    ScriptObject& o = *object.object;
    if (o.isArray) {
        long i = arrayIndex(name);
        if (i >= 0 && static_cast<size_t>(i) < kMaxElements) {
            if (static_cast<size_t>(i) >= o.elements.size()) {
                f.budget -= static_cast<long>(i + 1 - o.elements.size()) / 64;
                o.elements.resize(i + 1);
            }
            o.elements[i] = v;
            return;
        }
        if (key == engine_.nameKey("length")) {
            double n = toNumber(v, version_);
            if (std::isfinite(n) && n >= 0 && n <= kMaxElements) {
                f.budget -= static_cast<long>(n) / 64;
                o.elements.resize(static_cast<size_t>(n));
            }
            return;
        }
    }
    if (o.props.size() < 65536 || o.props.count(key)) o.props[key] = v;
}

Value Avm1::defineFunction(Frame& f, const uint8_t* code, size_t payload, size_t len, size_t& next,
                           size_t size, bool version2) {
    ByteReader r(code + payload, len);
    r.str();  // name, read by the caller
    auto def = std::make_shared<FunctionDef>();
    def->version2 = version2;
    uint16_t n = r.u16();
    if (version2) {
        def->registerCount = r.u8();
        def->flags = r.u16();
    }
    for (uint16_t i = 0; i < n && !r.overflow(); ++i) {
        uint8_t reg = version2 ? r.u8() : 0;
        std::string p = r.str();
        if (r.overflow()) break;
        def->params.push_back(std::move(p));
        def->paramRegisters.push_back(reg);
    }
    size_t bodySize = r.u16();
    if (r.overflow()) {
        next = size + 1;  // a record that does not hold its fields ends the block
        return Value();
    }
    def->code = code + next;
    def->size = std::min(bodySize, size - std::min(size, next));
    next += bodySize;
    def->pool = f.pool;
    f.budget -= static_cast<long>(f.pool.size());
    if (DisplayObject* t = targetOf(f)) def->scope = t->shared_from_this();
    Value fn = newObject();
    if (!fn.object) return Value();
    fn.object->function = def;
    Value proto = newObject();
    if (proto.object) fn.object->props[engine_.nameKey("prototype")] = proto;
    return fn;
}

Value Avm1::call(Frame& f, const Value& function, const Value& thisValue, std::vector<Value>& args,
                 int callDepth) {
    if (function.type != Value::Object || !function.object) return Value();
    std::shared_ptr<ScriptObject> fo = function.object;
    if (fo->native) return callNative(f, fo->native, thisValue, args, callDepth);
    std::shared_ptr<FunctionDef> def = fo->function;
    if (!def || callDepth >= kMaxCallDepth || f.budget <= 0) return Value();
    std::shared_ptr<DisplayObject> scope = def->scope.lock();
    DisplayObject* base =
        scope && (scope.get() == engine_.root() || scope->parent) ? scope.get() : targetOf(f);
    if (!base) base = engine_.root();
    if (!base) return Value();

    Frame inner;
    inner.original = base;
    inner.target = base->shared_from_this();
    inner.pool = def->pool;
    inner.budget = f.budget - static_cast<long>(def->pool.size() + args.size());
    inner.locals = std::make_shared<std::map<std::string, Value>>();
    inner.thisValue =
        thisValue.type == Value::Undefined ? Value::fromClip(base->shared_from_this()) : thisValue;
    if (def->version2) inner.registers.assign(std::max<size_t>(4, def->registerCount), Value());
    if (args.size() > kMaxElements) args.resize(kMaxElements);

    bool wantArguments = !def->version2 || (def->flags & 0x04) || !(def->flags & 0x08);
    Value arguments = wantArguments ? newObject(true) : Value();
    if (arguments.object) arguments.object->elements = args;
    if (def->version2) {
        // Preloaded values take registers 1, 2, ... in this order.
        size_t reg = 1;
        auto preload = [&](uint16_t bit, const Value& v) {
            if (!(def->flags & bit)) return;
            if (reg < inner.registers.size()) inner.registers[reg] = v;
            ++reg;
        };
        preload(0x01, inner.thisValue);
        preload(0x04, arguments);
        preload(0x10, Value());  // super: no classes
        preload(0x40, Value::fromClip(engine_.root()->shared_from_this()));
        preload(0x80, base->parent ? Value::fromClip(base->parent->shared_from_this()) : Value());
        preload(0x100, Value::fromObject(engine_.globals));
        if (!(def->flags & 0x08)) (*inner.locals)[engine_.nameKey("arguments")] = arguments;
    } else {
        (*inner.locals)[engine_.nameKey("arguments")] = arguments;
    }
    for (size_t i = 0; i < def->params.size(); ++i) {
        Value a = i < args.size() ? args[i] : Value();
        uint8_t reg = def->paramRegisters[i];
        if (def->version2 && reg != 0) {
            if (reg < inner.registers.size()) inner.registers[reg] = a;
        } else {
            (*inner.locals)[engine_.nameKey(def->params[i])] = a;
        }
    }
    exec(inner, def->code, def->size, callDepth + 1);
    f.budget = inner.budget;
    return inner.returnValue;
}

Value Avm1::construct(Frame& f, const Value& function, std::vector<Value>& args, int callDepth) {
    if (function.type != Value::Object || !function.object) return Value();
    ScriptObject& fo = *function.object;
    if (fo.native == kObjectCtor) return newObject();
    if (fo.native == kArrayCtor) return callNative(f, kArrayCtor, Value(), args, callDepth);
    if (fo.native) return callNative(f, fo.native, Value(), args, callDepth);
    if (!fo.function) return Value();
    Value o = newObject();
    if (!o.object) return Value();
    const Value* proto = fo.find(engine_.nameKey("prototype"));
    if (proto && proto->type == Value::Object) o.object->proto = proto->object;
    Value r = call(f, function, o, args, callDepth);
    return r.type == Value::Object ? r : o;
}

bool Avm1::instanceOf(const Value& v, const Value& ctor) {
    if (v.type != Value::Object || !v.object || ctor.type != Value::Object || !ctor.object) return false;
    const Value* proto = ctor.object->find(engine_.nameKey("prototype"));
    if (!proto || proto->type != Value::Object || !proto->object) return false;
    const ScriptObject* o = v.object->proto.get();
    for (int hops = 0; o && hops < 64; ++hops, o = o->proto.get())
        if (o == proto->object.get()) return true;
    return false;
}

Value Avm1::callNative(Frame& f, int id, const Value& thisValue, std::vector<Value>& args, int callDepth) {
    (void)thisValue;
    (void)callDepth;
    auto num = [&](size_t i) { return i < args.size() ? toNumber(args[i], version_) : std::nan(""); };
    switch (id) {
        case kObjectCtor:
            return newObject();
        case kArrayCtor: {
            Value a = newObject(true);
            if (!a.object) return a;
            if (args.size() == 1 && args[0].type == Value::Number) {
                double n = args[0].number;
                if (std::isfinite(n) && n >= 0 && n <= kMaxElements)
                    a.object->elements.resize(static_cast<size_t>(n));
            } else {
                a.object->elements = args;
            }
            return a;
        }
        case kNumberFn:
            return Value::fromNumber(args.empty() ? 0 : num(0));
        case kStringFn:
            return Value::fromString(args.empty() ? "" : toString(args[0], version_));
        case kBooleanFn:
            return Value::fromBool(!args.empty() && toBoolean(args[0], version_));
        case kParseInt: {
            std::string s = args.empty() ? "" : toString(args[0], version_);
            int radix = args.size() > 1 ? clampToInt(num(1)) : 10;
            size_t i = 0;
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
            bool neg = false;
            if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
            if ((args.size() < 2 || radix == 16) && i + 1 < s.size() && s[i] == '0' &&
                (s[i + 1] == 'x' || s[i + 1] == 'X')) {
                radix = 16;
                i += 2;
            }
            if (radix < 2 || radix > 36) return Value::fromNumber(std::nan(""));
            double v = 0;
            bool any = false;
            for (; i < s.size(); ++i) {
                char c = s[i];
                int d =
                    c >= '0' && c <= '9'
                        ? c - '0'
                        : (c >= 'a' && c <= 'z' ? c - 'a' + 10 : (c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 99));
                if (d >= radix) break;
                v = v * radix + d;
                any = true;
            }
            return Value::fromNumber(any ? (neg ? -v : v) : std::nan(""));
        }
        case kParseFloat: {
            std::string s = args.empty() ? "" : toString(args[0], version_);
            char* end = nullptr;
            double v = std::strtod(s.c_str(), &end);
            return Value::fromNumber(end == s.c_str() ? std::nan("") : v);
        }
        case kIsNaN:
            return boolResult(std::isnan(num(0)));
        case kMathAbs:
            return Value::fromNumber(std::fabs(num(0)));
        case kMathFloor:
            return Value::fromNumber(std::floor(num(0)));
        case kMathCeil:
            return Value::fromNumber(std::ceil(num(0)));
        case kMathRound:
            return Value::fromNumber(std::floor(num(0) + 0.5));
        case kMathMin:
        case kMathMax: {
            if (args.empty()) return Value::fromNumber(id == kMathMin ? INFINITY : -INFINITY);
            double a = num(0), b = args.size() > 1 ? num(1) : a;
            if (std::isnan(a) || std::isnan(b)) return Value::fromNumber(std::nan(""));
            return Value::fromNumber(id == kMathMin ? std::min(a, b) : std::max(a, b));
        }
        case kMathSqrt:
            return Value::fromNumber(std::sqrt(num(0)));
        case kMathPow:
            return Value::fromNumber(std::pow(num(0), num(1)));
        case kMathSin:
            return Value::fromNumber(std::sin(num(0)));
        case kMathCos:
            return Value::fromNumber(std::cos(num(0)));
        case kMathTan:
            return Value::fromNumber(std::tan(num(0)));
        case kMathAtan:
            return Value::fromNumber(std::atan(num(0)));
        case kMathAtan2:
            return Value::fromNumber(std::atan2(num(0), num(1)));
        case kMathExp:
            return Value::fromNumber(std::exp(num(0)));
        case kMathLog:
            return Value::fromNumber(std::log(num(0)));
        case kMathRandom:
            randomState_ = randomState_ * 1103515245u + 12345u;
            return Value::fromNumber(((randomState_ >> 8) & 0xFFFFFF) / 16777216.0);
        default:
            (void)f;
            return Value();
    }
}

Value Avm1::callMethod(Frame& f, const Value& object, const std::string& name, std::vector<Value>& args,
                       int callDepth) {
    if (name.empty()) return call(f, object, Value(), args, callDepth);
    std::string folded = foldCase(name);
    auto num = [&](size_t i, double def) { return i < args.size() ? toNumber(args[i], version_) : def; };
    auto str = [&](size_t i) { return i < args.size() ? toString(args[i], version_) : std::string(); };

    if (object.type == Value::String) {
        const std::string& s = object.string;
        long n = static_cast<long>(s.size());
        auto clampIndex = [&](double d) {
            if (std::isnan(d)) return 0L;
            return static_cast<long>(std::max(0.0, std::min(static_cast<double>(n), std::trunc(d))));
        };
        if (folded == "touppercase" || folded == "tolowercase") {
            std::string r = s;
            for (char& c : r) {
                if (folded == "touppercase" && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                if (folded == "tolowercase" && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            }
            f.budget -= n / 256;
            return Value::fromString(r);
        }
        if (folded == "charat" || folded == "charcodeat") {
            double d = num(0, 0);
            if (!(d >= 0 && d < n))
                return folded == "charat" ? Value::fromString("") : Value::fromNumber(std::nan(""));
            unsigned char c = static_cast<unsigned char>(s[static_cast<size_t>(d)]);
            return folded == "charat" ? Value::fromString(std::string(1, static_cast<char>(c)))
                                      : Value::fromNumber(c);
        }
        if (folded == "indexof" || folded == "lastindexof") {
            std::string needle = str(0);
            f.budget -= n / 64;
            size_t at;
            if (folded == "indexof") {
                at = s.find(needle, static_cast<size_t>(clampIndex(num(1, 0))));
            } else {
                at = s.rfind(needle, static_cast<size_t>(clampIndex(num(1, static_cast<double>(n)))));
            }
            return Value::fromNumber(at == std::string::npos ? -1.0 : static_cast<double>(at));
        }
        if (folded == "substr") {
            double start = num(0, 0);
            if (start < 0) start += n;
            long b = clampIndex(start);
            double count = args.size() > 1 ? num(1, 0) : static_cast<double>(n);
            long e = std::min(n, b + clampIndex(count));
            return Value::fromString(s.substr(b, std::max(0L, e - b)));
        }
        if (folded == "substring" || folded == "slice") {
            double a = num(0, 0), b = args.size() > 1 ? num(1, 0) : static_cast<double>(n);
            if (folded == "slice") {
                if (a < 0) a += n;
                if (b < 0) b += n;
            }
            long x = clampIndex(a), y = clampIndex(b);
            if (folded == "substring" && x > y) std::swap(x, y);
            return Value::fromString(x < y ? s.substr(x, y - x) : "");
        }
        if (folded == "split") {
            Value a = newObject(true);
            if (!a.object) return a;
            std::string sep = str(0);
            f.budget -= n / 16;
            if (args.empty()) {
                a.object->elements.push_back(object);
            } else if (sep.empty()) {
                for (long i = 0; i < n && a.object->elements.size() < kMaxElements; ++i)
                    a.object->elements.push_back(Value::fromString(std::string(1, s[i])));
            } else {
                size_t from = 0;
                while (a.object->elements.size() < kMaxElements) {
                    size_t at = s.find(sep, from);
                    a.object->elements.push_back(Value::fromString(
                        s.substr(from, at == std::string::npos ? std::string::npos : at - from)));
                    if (at == std::string::npos) break;
                    from = at + sep.size();
                }
            }
            return a;
        }
        if (folded == "tostring") return object;
        return Value();
    }

    if (object.type == Value::Clip) {
        std::shared_ptr<DisplayObject> c = clipOf(object);
        if (!c) return Value();
        bool gotoPlay = folded == "gotoandplay", gotoStop = folded == "gotoandstop";
        if (gotoPlay || gotoStop) {
            if (args.empty() || !c->timeline) return Value();
            int index;
            if (args[0].type == Value::String && !std::isfinite(toNumber(args[0], 5))) {
                index = c->timeline->findLabel(args[0].string);
                if (index < 0) return Value();
            } else {
                double d = num(0, 1);
                if (!std::isfinite(d)) return Value();
                index = clampToInt(d) - 1;
            }
            engine_.gotoFrame(c.get(), index);
            c->playing = gotoPlay;
            return Value();
        }
        if (folded == "play" || folded == "stop") {
            c->playing = folded == "play";
            return Value();
        }
        if (folded == "nextframe" || folded == "prevframe") {
            engine_.gotoFrame(c.get(), c->currentFrame + (folded == "nextframe" ? 1 : -1));
            c->playing = false;
            return Value();
        }
        Value fn = getMember(f, object, name);
        return call(f, fn, object, args, callDepth);
    }

    if (object.type != Value::Object || !object.object) return Value();
    std::shared_ptr<ScriptObject> o = object.object;
    Value fn = getMember(f, object, name);
    if (fn.type == Value::Object && fn.object && fn.object->isFunction())
        return call(f, fn, object, args, callDepth);
    if (folded == "tostring") return Value::fromString(toString(object, version_));
    if (!o->isArray) return Value();
    std::vector<Value>& el = o->elements;
    if (folded == "push" || folded == "unshift") {
        f.budget -= static_cast<long>(args.size());
        if (el.size() + args.size() <= kMaxElements)
            el.insert(folded == "push" ? el.end() : el.begin(), args.begin(), args.end());
        return Value::fromNumber(static_cast<double>(el.size()));
    }
    if (folded == "pop" || folded == "shift") {
        if (el.empty()) return Value();
        Value v;
        if (folded == "pop") {
            v = el.back();
            el.pop_back();
        } else {
            f.budget -= static_cast<long>(el.size()) / 64;
            v = el.front();
            el.erase(el.begin());
        }
        return v;
    }
    if (folded == "join") {
        std::string sep = args.empty() ? "," : str(0);
        std::string s;
        for (size_t i = 0; i < el.size() && s.size() <= kMaxString; ++i) {
            if (i) s += sep;
            s += toString(el[i], version_);
            --f.budget;
        }
        if (s.size() > kMaxString) s.resize(kMaxString);
        return Value::fromString(s);
    }
    if (folded == "reverse") {
        std::reverse(el.begin(), el.end());
        return object;
    }
    if (folded == "concat" || folded == "slice") {
        Value a = newObject(true);
        if (!a.object) return a;
        if (folded == "concat") {
            a.object->elements = el;
            for (const Value& v : args) {
                if (a.object->elements.size() >= kMaxElements) break;
                if (v.type == Value::Object && v.object && v.object->isArray) {
                    for (const Value& e : v.object->elements) {
                        if (a.object->elements.size() >= kMaxElements) break;
                        a.object->elements.push_back(e);
                    }
                } else {
                    a.object->elements.push_back(v);
                }
            }
        } else {
            long n = static_cast<long>(el.size());
            double b = num(0, 0), e = args.size() > 1 ? num(1, 0) : static_cast<double>(n);
            if (b < 0) b += n;
            if (e < 0) e += n;
            long x = std::isnan(b) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, b)));
            long y = std::isnan(e) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, e)));
            for (long i = x; i < y; ++i) a.object->elements.push_back(el[i]);
        }
        f.budget -= static_cast<long>(a.object->elements.size()) / 16;
        return a;
    }
    return Value();
}

}  // namespace flash
