// Loading from scripts: the GetURL forms that load movies and variables,
// loads of LoadVars and XML objects and the url-encoded variable format.
#include <cstdlib>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

const size_t kMaxDecodedVariables = 4096;

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

bool Avm1::loadUrl(Frame& f, const std::string& url, const std::string& target, uint8_t flags) {
    int level = -1;
    bool intoLevel = Engine::levelNumber(target, level);
    bool variables = (flags & 0x80) != 0;
    bool intoClip = (flags & 0x40) != 0;
    if (!intoLevel && !intoClip) return false;
    DisplayObject* clip = intoLevel ? engine_.level(level) : nullptr;
    if (!intoLevel) {
        clip = engine_.resolveTarget(targetOf(f), target);
        if (!clip) return true;
    }
    if (variables) {
        if (clip && !url.empty()) engine_.startLoad(Engine::LoadKind::Variables, url, "", clip);
        return true;
    }
    if (url.empty()) {
        if (clip && clip != engine_.root()) engine_.unloadClip(clip);
        return true;
    }
    if (intoLevel) {
        engine_.startLevelLoad(level, url);
    } else {
        engine_.startLoad(Engine::LoadKind::Movie, url, "", clip);
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
