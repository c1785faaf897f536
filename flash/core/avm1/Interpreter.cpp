// The action loop: decodes one action record after another and carries it
// out on the frame's stack, charging the budget for every action and for
// work proportional to the size of strings and arrays.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "flash/core/ByteReader.h"
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

int32_t toInt32(double d) {
    if (!std::isfinite(d)) return 0;
    double m = std::fmod(std::trunc(d), 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
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

std::string substring(const std::string& s, double index, double count, bool multibyte, int version) {
    std::vector<size_t> starts;
    if (multibyte) {
        starts = charStarts(s, version);
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

void Avm1::endDrag() {
    if (DisplayObject* d = engine_.draggedClip()) {
        DisplayObject* under = engine_.clipAt(engine_.mouseX(), engine_.mouseY(), d);
        d->dropTarget = under ? engine_.targetPath(under) : "";
    }
    engine_.stopDrag();
}

double Avm1::random() {
    randomState_ = randomState_ * 1103515245u + 12345u;
    return ((randomState_ >> 8) & 0xFFFFFF) / 16777216.0;
}

Value Avm1::boolResult(bool b) const {
    return version_ <= 4 ? Value::fromNumber(b ? 1 : 0) : Value::fromBool(b);
}

void Avm1::getUrl(Frame& f, const std::string& url, const std::string& target, uint8_t flags) {
    // The variables of the timeline the script runs on go along by GET or POST.
    std::string address = url, post;
    if (flags & 3) {
        std::string form = variablesForm(targetOf(f));
        f.budget -= static_cast<long>(form.size() / 64);
        addForm(address, post, form, flags & 3);
    }
    if (loadUrl(f, address, post, target, flags)) return;
    if (startsWithNoCase(url, "FSCommand:")) {
        if (engine_.onFSCommand) engine_.onFSCommand(url.substr(10), target);
    } else {
        openWindow(address, target, post);
    }
}

void Avm1::gotoFrameValue(DisplayObject* clip, const Value& frame, bool play, int bias) {
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

void Avm1::exec(Frame& f, const uint8_t* code, size_t size, int callDepth, size_t start) {
    size_t pc = start;
    while (pc < size) {
        if (--f.budget < 0 || f.returned || f.throwing) return;
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
                break;
            case 0x09:  // StopSounds
                if (engine_.sound) engine_.sound->stopAllSounds();
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
                gotoFrameValue(targetOf(f), pop(f), (flags & 0x01) != 0, bias);
                break;
            }
            case 0x83: {  // GetURL
                std::string url = r.str();
                std::string target = r.str();
                getUrl(f, url, target, 0);
                break;
            }
            case 0x9A: {  // GetURL2
                uint8_t flags = r.u8();
                std::string target = toString(pop(f), version_);
                std::string url = toString(pop(f), version_);
                getUrl(f, url, target, flags);
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
                            push(f, f.pool && i < f.pool->size() ? Value::fromString((*f.pool)[i]) : Value());
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
                auto pool = std::make_shared<std::vector<std::string>>();
                for (uint16_t i = 0; i < n && r.remaining() > 0; ++i) pool->push_back(r.str());
                f.budget -= static_cast<long>(pool->size());
                f.pool = std::move(pool);
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
                    auto& vars = f.locals->vars;
                    if (op == 0x3C || !vars.count(engine_.nameKey(name)))
                        if (vars.size() < kMaxProps) vars[engine_.nameKey(name)] = v;
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
                if (a.type == Value::Object) a = toPrimitive(f, a, true, callDepth);
                if (b.type == Value::Object) b = toPrimitive(f, b, true, callDepth);
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
                push(f, Value::fromString(toStr(f, pop(f), callDepth)));
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
                push(f, Value::fromNumber(
                            static_cast<double>(charStarts(toString(pop(f), version_), version_).size())));
                break;
            case 0x15:
            case 0x35: {
                double count = toNumber(pop(f), version_);
                double index = toNumber(pop(f), version_);
                std::string s = toString(pop(f), version_);
                push(f, Value::fromString(substring(s, index, count, op == 0x35, version_)));
                break;
            }
            case 0x21: {  // StringAdd
                std::string a = toStr(f, pop(f), callDepth);
                std::string b = toStr(f, pop(f), callDepth);
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
                } else {
                    appendUtf8(s, cp);
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
                } else if (v.type == Value::Clip && Engine::isTextField(clipOf(v).get())) {
                    push(f, Value::fromString("object"));  // text fields are no clips
                } else {
                    push(f, Value::fromString(names[v.type]));
                }
                break;
            }
            case 0x26: {  // Trace
                std::string s = toStr(f, pop(f), callDepth);
                engine_.trace(s);
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
            case 0x24: {  // CloneSprite: depth, new name, source
                double depth = toNumber(pop(f), version_);
                std::string name = toString(pop(f), version_);
                Value source = pop(f);
                std::shared_ptr<DisplayObject> src = clipOf(source);
                if (!src) src = clipOf(getVariable(f, toString(source, version_)));
                if (src && std::isfinite(depth)) {
                    DisplayObject* copy =
                        engine_.duplicateClip(src.get(), name, clampToInt(depth) - Engine::kDepthOffset);
                    if (copy) initClip(copy);
                }
                break;
            }
            case 0x25: {  // RemoveSprite
                Value target = pop(f);
                std::shared_ptr<DisplayObject> c = clipOf(target);
                if (!c) c = clipOf(getVariable(f, toString(target, version_)));
                if (c) engine_.removeClip(c.get());
                break;
            }
            case 0x27: {  // StartDrag: target, lock, constrain [, y2, x2, y1, x1]
                Value target = pop(f);
                bool lock = toBoolean(pop(f), version_);
                bool constrain = toBoolean(pop(f), version_);
                Rect r;
                if (constrain) {
                    r.yMax = static_cast<int32_t>(clampToInt(toNumber(pop(f), version_) * 20));
                    r.xMax = static_cast<int32_t>(clampToInt(toNumber(pop(f), version_) * 20));
                    r.yMin = static_cast<int32_t>(clampToInt(toNumber(pop(f), version_) * 20));
                    r.xMin = static_cast<int32_t>(clampToInt(toNumber(pop(f), version_) * 20));
                }
                std::shared_ptr<DisplayObject> c = clipOf(target);
                DisplayObject* clip =
                    c ? c.get() : engine_.resolveTarget(targetOf(f), toString(target, version_));
                if (clip) engine_.startDrag(clip, lock, constrain ? &r : nullptr);
                break;
            }
            case 0x28:  // EndDrag
                endDrag();
                break;
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
                    if (o.object) o.object->set(engine_.nameKey(name), std::move(v));
                }
                push(f, o);
                break;
            }
            case 0x3A: {  // Delete: object, name
                std::string name = engine_.nameKey(toString(pop(f), version_));
                Value object = pop(f);
                bool done = false;
                if (object.type == Value::Object && object.object) {
                    auto& props = object.object->props;
                    auto it = props.find(name);
                    if (it != props.end() && !(it->second.flags & kDontDelete)) {
                        props.erase(it);
                        done = true;
                    }
                } else if (auto c = clipOf(object)) {
                    done = c->variables.erase(name) > 0;
                }
                push(f, Value::fromBool(done));
                break;
            }
            case 0x3B: {  // Delete2: a variable
                std::string name = engine_.nameKey(toString(pop(f), version_));
                bool done = f.locals && f.locals->vars.erase(name) > 0;
                if (!done && (t = targetOf(f)) != nullptr) done = t->variables.erase(name) > 0;
                push(f, Value::fromBool(done));
                break;
            }
            case 0x46:    // Enumerate: a variable's name
            case 0x55: {  // Enumerate2: an object
                Value object = op == 0x55 ? pop(f) : getVariable(f, toString(pop(f), version_));
                push(f, Value::null());
                // Own members first, then those inherited along the
                // prototype chain; a name met nearer (even hidden) is not
                // listed again. The loop pops names: the first goes last.
                std::vector<std::string> names;
                std::shared_ptr<ScriptObject> o;
                const std::map<std::string, Value>* vars = nullptr;
                if (object.type == Value::Object && object.object) {
                    o = object.object;
                    for (size_t i = 0; i < o->elements.size() && f.budget > 0; ++i, --f.budget)
                        names.push_back(numberToString(static_cast<double>(i)));
                } else if (auto c = clipOf(object)) {
                    vars = &c->variables;
                    for (const auto& kv : c->variables) {
                        if (--f.budget < 0) break;
                        names.push_back(kv.first);
                    }
                    o = c->proto ? c->proto : protos_.movieClip;
                }
                std::vector<const ScriptObject*> nearer;
                for (int hops = 0; o && hops < 64 && f.budget > 0; ++hops, o = o->proto) {
                    for (const auto& kv : o->props) {
                        if (--f.budget < 0) break;
                        if (kv.second.flags & kDontEnum) continue;
                        bool shadowed = vars && vars->count(kv.first);
                        for (const ScriptObject* n : nearer) shadowed = shadowed || n->props.count(kv.first);
                        if (!shadowed) names.push_back(kv.first);
                    }
                    nearer.push_back(o.get());
                }
                for (auto it = names.rbegin(); it != names.rend(); ++it)
                    push(f, Value::fromString(std::move(*it)));
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
                const Value* sp =
                    super.type == Value::Object && super.object ? super.object->find("prototype") : nullptr;
                if (sp && sp->type == Value::Object) proto.object->proto = sp->object;
                proto.object->set("__constructor__", super, kDontEnum);
                sub.object->set("prototype", proto, kDontEnum);
                break;
            }
            case 0x2C: {  // ImplementsOp: constructor, n, interfaces
                Value ctor = pop(f);
                std::vector<Value> interfaces = popArgs(f);
                const Value* proto =
                    ctor.type == Value::Object && ctor.object ? ctor.object->find("prototype") : nullptr;
                Value list = newObject(true);
                if (!proto || proto->type != Value::Object || !list.object) break;
                list.object->elements = std::move(interfaces);
                proto->object->set("__implements__", list, kDontEnum);
                break;
            }
            case 0x94: {  // With: object; the body follows the record
                Value object = pop(f);
                size_t end = std::min(size, next + r.u16());
                if (f.withObjects.size() < 16 &&
                    (object.type == Value::Object || object.type == Value::Clip)) {
                    f.withObjects.push_back(object);
                    exec(f, code, end, callDepth, next);
                    f.withObjects.pop_back();
                }
                next = end;
                break;
            }
            case 0x8F:  // Try: the try, catch and finally bodies follow
                if (f.blocks >= kMaxBlocks) return;
                ++f.blocks;
                next = runTry(f, code, r, next, size, callDepth);
                --f.blocks;
                break;
            case 0x9B:    // DefineFunction
            case 0x8E: {  // DefineFunction2: the body follows the record
                std::string name = r.str();
                Value fn = defineFunction(f, code, payload, len, next, size, op == 0x8E);
                if (next > size) return;
                if (name.empty()) {
                    push(f, fn);
                } else if (f.locals) {
                    f.locals->vars[engine_.nameKey(name)] = fn;
                } else {
                    setVariable(f, name, fn);
                }
                break;
            }
            case 0x3E:  // Return
                f.returnValue = pop(f);
                f.returned = true;
                return;
            case 0x2A:  // Throw
                f.thrown = pop(f);
                f.throwing = true;
                return;
            default:
                break;  // unknown: skipped by its length
        }
        pc = next;
    }
}
size_t Avm1::runTry(Frame& f, const uint8_t* code, ByteReader& r, size_t next, size_t size, int callDepth) {
    uint8_t flags = r.u8();
    size_t trySize = r.u16(), catchSize = r.u16(), finallySize = r.u16();
    bool inRegister = (flags & 0x04) != 0;
    uint8_t reg = 0;
    std::string name;
    if (inRegister) {
        reg = r.u8();
    } else {
        name = r.str();
    }
    size_t tryEnd = std::min(size, next + trySize);
    size_t catchEnd = std::min(size, tryEnd + catchSize);
    size_t finallyEnd = std::min(size, catchEnd + finallySize);
    exec(f, code, tryEnd, callDepth, next);
    if (f.throwing && (flags & 0x01) && f.budget > 0) {
        Value e = f.thrown;
        f.throwing = false;
        f.thrown = Value();
        if (inRegister) {
            if (reg < f.registers.size()) f.registers[reg] = e;
        } else if (f.locals) {
            f.locals->vars[engine_.nameKey(name)] = e;
        } else {
            setVariable(f, name, e);
        }
        exec(f, code, catchEnd, callDepth, tryEnd);
    }
    if ((flags & 0x02) && f.budget > 0) {
        // The finally body runs whatever happened; a throw or return in it wins.
        bool throwing = f.throwing, returned = f.returned;
        Value thrown = f.thrown, result = f.returnValue;
        f.throwing = f.returned = false;
        exec(f, code, finallyEnd, callDepth, catchEnd);
        if (!f.throwing && !f.returned) {
            f.throwing = throwing;
            f.thrown = thrown;
            f.returned = returned;
            f.returnValue = result;
        }
    }
    return finallyEnd;
}

}  // namespace flash
