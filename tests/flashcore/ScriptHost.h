// A content host for engine tests: files served from memory (answered at
// once or held until released) and SharedObject stores kept in a map.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "flash/core/Engine.h"
#include "flash/core/Player.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ActionWriter.h"

namespace fctest {

struct MemoryHost : flash::ContentHost {
    flash::Engine* engine = nullptr;
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> shared;
    std::vector<std::string> fetched;  // url, or url + " POST " + form
    std::vector<std::string> opened;   // url + " " + window, + " POST " + form
    bool writable = true;

    void fetch(int request, const std::string& url, const std::string& post) override {
        fetched.push_back(post.empty() ? url : url + " POST " + post);
        auto it = files.find(url);
        if (it == files.end()) {
            engine->finishLoad(request, false, {});
        } else {
            engine->finishLoad(request, true, std::vector<uint8_t>(it->second.begin(), it->second.end()));
        }
    }
    void openUrl(const std::string& url, const std::string& target, const std::string& post) override {
        opened.push_back(url + " " + target + (post.empty() ? "" : " POST " + post));
    }
    bool readShared(const std::string& name, std::string& data) override {
        auto it = shared.find(name);
        if (it == shared.end()) return false;
        data = it->second;
        return true;
    }
    bool writeShared(const std::string& name, const std::string& data) override {
        if (writable) shared[name] = data;
        return writable;
    }
};

// Emits the value of a dotted path: "x.firstChild.nodeName" reads variable
// x, then each member.
inline swfw::ActionWriter& path(swfw::ActionWriter& a, const std::string& dotted) {
    size_t dot = dotted.find('.');
    a.getVar(dotted.substr(0, dot));
    while (dot != std::string::npos) {
        size_t next = dotted.find('.', dot + 1);
        a.push(dotted.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1))
            .getMember();
        dot = next;
    }
    return a;
}

// Calls "obj.path.method" with `argc` arguments already pushed (last first).
inline swfw::ActionWriter& call(swfw::ActionWriter& a, const std::string& dotted, int argc) {
    size_t dot = dotted.rfind('.');
    a.pushInt(argc);
    if (dot == std::string::npos) return a.push(dotted).callFunction();
    path(a, dotted.substr(0, dot));
    return a.push(dotted.substr(dot + 1)).callMethod();
}

// trace(path)
inline swfw::ActionWriter& tracePath(swfw::ActionWriter& a, const std::string& dotted) {
    return path(a, dotted).trace();
}

// name = new Class(args pushed before, last first)
inline swfw::ActionWriter& construct(swfw::ActionWriter& a, const std::string& name, const std::string& cls,
                                     int argc) {
    return a.pushInt(argc).push(cls).newObject().push(name).op(0x4D).setVariable();  // StackSwap
}

// A one-frame movie with a red 10 px sprite "clip" and `script`, played
// with a memory host.
struct HostedMovie {
    MemoryHost host;
    flash::Player player;
    std::vector<std::string> traces;

    explicit HostedMovie(const swfw::ActionWriter& script, std::map<std::string, std::string> files = {},
                         int version = 6, std::map<std::string, std::string> shared = {}) {
        host.files = std::move(files);
        host.shared = std::move(shared);
        host.engine = &player.engine();
        player.engine().host = &host;
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        swfw::Movie m = stage100();
        m.version = static_cast<uint8_t>(version);
        swfw::ShapeBuilder s(3);
        s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
        m.add(s.defineShape(1));
        swfw::Bytes sprite = swfw::placeObject2(place(1, 1));
        sprite.insert(sprite.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(2, sprite));
        swfw::Place p = place(1, 2);
        p.name = "clip";
        m.add(swfw::placeObject2(p));
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        EXPECT_TRUE(load(player, m.build()));
    }
};

}  // namespace fctest
