// Loading from scripts: the GetURL forms that load movies and variables,
// loads of LoadVars and XML objects and the url-encoded variable format.
#include <algorithm>
#include <cstdlib>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

const size_t kMaxDecodedVariables = 4096;

bool levelNumber(const std::string& target, int& level) {
    static const char kLevel[] = "_level";
    if (target.size() <= 6 || target.size() > 11) return false;
    for (size_t i = 0; i < 6; ++i)
        if ((target[i] | 0x20) != (kLevel[i] | 0x20) && target[i] != kLevel[i]) return false;
    level = 0;
    for (size_t i = 6; i < target.size(); ++i) {
        if (target[i] < '0' || target[i] > '9') return false;
        level = level * 10 + (target[i] - '0');
    }
    return level <= 0xFFFF;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string urlDecode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out.push_back(' ');
        } else if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

void forEachUrlVariable(const std::string& text,
                        const std::function<void(const std::string&, const std::string&)>& fn) {
    size_t from = 0, count = 0;
    while (from <= text.size() && count < kMaxDecodedVariables) {
        size_t amp = text.find('&', from);
        if (amp == std::string::npos) amp = text.size();
        std::string pair = text.substr(from, amp - from);
        size_t eq = pair.find('=');
        if (!pair.empty() && eq != 0) {
            std::string name = urlDecode(pair.substr(0, eq == std::string::npos ? pair.size() : eq));
            // Text files often end with a line break after the last value.
            while (!name.empty() && (name.back() == '\r' || name.back() == '\n')) name.pop_back();
            while (!name.empty() && (name.front() == '\r' || name.front() == '\n')) name.erase(0, 1);
            if (!name.empty()) {
                fn(name, eq == std::string::npos ? std::string() : urlDecode(pair.substr(eq + 1)));
                ++count;
            }
        }
        from = amp + 1;
    }
}

int sendMethod(const std::string& name) {
    if (name.size() == 3 && (name[0] | 0x20) == 'g' && (name[1] | 0x20) == 'e' && (name[2] | 0x20) == 't')
        return 1;
    if (name.size() == 4 && (name[0] | 0x20) == 'p' && (name[1] | 0x20) == 'o' && (name[2] | 0x20) == 's' &&
        (name[3] | 0x20) == 't')
        return 2;
    return 0;
}

std::string formEncode(const std::string& s) {
    std::string out = urlEncode(s);
    // A '+' would reach the other side as a space.
    for (size_t i = out.find('+'); i != std::string::npos; i = out.find('+', i)) out.replace(i, 1, "%2B");
    return out;
}

void addForm(std::string& url, std::string& post, const std::string& form, int method) {
    if (method == 2) {
        post = form;
    } else if (method == 1 && !form.empty()) {
        // Before a "#fragment", after any query the address has.
        size_t hash = url.find('#');
        std::string tail = hash == std::string::npos ? std::string() : url.substr(hash);
        url.resize(std::min(url.size(), hash));
        url += (url.find('?') == std::string::npos ? '?' : '&') + form + tail;
    }
}

std::string Avm1::variablesForm(DisplayObject* clip) {
    std::string out;
    if (!clip) return out;
    for (const auto& kv : clip->variables) {
        const Value& v = kv.second;
        if (v.type == Value::Object && v.object && v.object->isFunction()) continue;
        if (!out.empty()) out += '&';
        out += formEncode(kv.first) + '=' + formEncode(toStr(v));
        if (out.size() > kMaxString) break;
    }
    return out;
}

void Avm1::openWindow(const std::string& url, const std::string& target, const std::string& post) {
    if (engine_.host) {
        engine_.host->openUrl(url, target, post);
    } else if (engine_.onGetURL) {
        engine_.onGetURL(url, target);
    }
}

bool Avm1::loadUrl(Frame& f, const std::string& url, const std::string& post, const std::string& target,
                   uint8_t flags) {
    int level = -1;
    bool intoLevel = levelNumber(target, level);
    bool variables = (flags & 0x80) != 0;
    bool intoClip = (flags & 0x40) != 0;
    if (!intoLevel && !intoClip) return false;
    DisplayObject* clip = intoLevel ? engine_.level(level) : nullptr;
    if (!intoLevel) {
        clip = engine_.resolveTarget(targetOf(f), target);
        if (!clip) return true;
    }
    if (variables) {
        if (clip && !url.empty()) engine_.startLoad(Engine::LoadKind::Variables, url, post, clip);
        return true;
    }
    if (url.empty()) {
        if (clip && clip != engine_.root()) engine_.unloadClip(clip);
        return true;
    }
    if (intoLevel) {
        engine_.startLevelLoad(level, url, post);
    } else {
        engine_.startLoad(Engine::LoadKind::Movie, url, post, clip);
    }
    return true;
}

int Avm1::loadData(const Value& object, const std::string& url, const std::string& post) {
    if (object.type != Value::Object || !object.object) return 0;
    int id = engine_.startLoad(Engine::LoadKind::Data, url, post, nullptr);
    if (id) loadTargets_[id] = object;
    return id;
}

void Avm1::dataLoaded(int request, bool ok, const std::vector<uint8_t>& data) {
    auto it = loadTargets_.find(request);
    if (it == loadTargets_.end() || !engine_.root()) return;
    Value object = it->second;
    loadTargets_.erase(it);
    Frame f;
    startFrame(f, engine_.root(), engine_.actionBudget);
    ScriptObject& o = *object.object;
    double bytes = ok ? static_cast<double>(data.size()) : 0;
    o.set(key("_bytesLoaded"), Value::fromNumber(bytes), kDontEnum);
    o.set(key("_bytesTotal"), Value::fromNumber(bytes), kDontEnum);
    std::vector<Value> args{ok ? Value::fromString(loadedText(data)) : Value()};
    if (!args[0].string.empty() || ok) f.budget -= static_cast<long>(data.size() / 256);
    callMethod(f, object, "onData", args, 0);
}

void Avm1::decodeVariables(DisplayObject* clip, const std::string& text) {
    forEachUrlVariable(text, [&](const std::string& name, const std::string& value) {
        if (clip->variables.size() < kMaxProps || clip->variables.count(key(name)))
            clip->variables[key(name)] = Value::fromString(value);
    });
}

}  // namespace flash
