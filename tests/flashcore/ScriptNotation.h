// Test scripts written in a short notation over the action writer.
#pragma once

#include <cctype>
#include <string>
#include <vector>

#include "tools/swfwriter/ActionWriter.h"

namespace fctest {

using Lines = std::vector<std::string>;

// Scripts in a short notation: a value is 'text (a string), a number,
// true/false/null, or else a variable path.
struct Script {
    swfw::ActionWriter a;

    Script& value(const std::string& v) {
        if (!v.empty() && v[0] == '\'') {
            a.push(v.substr(1));
        } else if (v == "true" || v == "false") {
            a.pushBool(v == "true");
        } else if (v == "null") {
            a.pushNull();
        } else if (!v.empty() && (isdigit(static_cast<unsigned char>(v[0])) || v[0] == '-')) {
            a.pushNumber(std::stod(v));
        } else {
            a.getVar(v);
        }
        return *this;
    }
    // object.method(args), the result left on the stack.
    Script& callValue(const std::string& object, const std::string& method, const Lines& args) {
        for (auto it = args.rbegin(); it != args.rend(); ++it) value(*it);
        a.pushInt(static_cast<int>(args.size())).getVar(object).push(method).callMethod();
        return *this;
    }
    Script& call(const std::string& object, const std::string& method, const Lines& args = {}) {
        callValue(object, method, args).a.pop();
        return *this;
    }
    Script& set(const std::string& object, const std::string& member, const std::string& v) {
        a.getVar(object).push(member);
        value(v).a.setMember();
        return *this;
    }
    Script& setVar(const std::string& name, const std::string& v) {
        a.push(name);
        value(v).a.setVariable();
        return *this;
    }
    Script& trace(const std::string& object, const std::string& member) {
        a.getVar(object).push(member).getMember().trace();
        return *this;
    }
    Script& traceCall(const std::string& object, const std::string& method, const Lines& args = {}) {
        callValue(object, method, args).a.trace();
        return *this;
    }
    // name = new Class(args)
    Script& make(const std::string& name, const std::string& cls, const Lines& args = {}) {
        a.push(name);
        for (auto it = args.rbegin(); it != args.rend(); ++it) value(*it);
        a.pushInt(static_cast<int>(args.size())).push(cls).newObject().setVariable();
        return *this;
    }
    // _root.createTextField(name, depth, x, y, w, h)
    Script& field(const std::string& name, int depth, int x, int y, int w, int h) {
        return call("_root", "createTextField",
                    {"'" + name, std::to_string(depth), std::to_string(x), std::to_string(y),
                     std::to_string(w), std::to_string(h)});
    }
};

}  // namespace fctest
