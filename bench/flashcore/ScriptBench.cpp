// Interpreter speed: a frame script that loops over property reads and
// writes, method calls and string building, as compiled movies do it
// (loop variables in registers of a DefineFunction2). Reports actions per
// second.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "flash/core/Player.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace {

using namespace swfw;

const int kIterations = 2000;

// Action records in a block of code.
int countActions(const Bytes& code) {
    int n = 0;
    for (size_t pc = 0; pc < code.size(); ++n)
        pc += code[pc] >= 0x80 ? 3 + (code[pc + 1] | (code[pc + 2] << 8)) : 1;
    return n;
}

// With i in r1, o in r2, s in r3: o.x = o.x + 1; s = s + "a"; o.f(i); i++
void loopBody(ActionWriter& b) {
    b.pushRegister(2).push("x").pushRegister(2).push("x").getMember().pushInt(1).add2().setMember();
    b.pushRegister(3).push("a").add2().storeRegister(3).pop();
    b.pushRegister(1).pushInt(1).pushRegister(2).push("f").callMethod().pop();
    b.pushRegister(1).op(0x50).storeRegister(1).pop();
}

// The loop test: i < kIterations, else leave.
void loopTest(ActionWriter& b) { b.pushRegister(1).pushInt(kIterations).op(0x48).op(0x12).ifTrue("end"); }

// Two frames, each running the loop once.
Bytes scriptMovie(long& actionsPerRun) {
    ActionWriter f;  // function (v) { return v; }
    f.pushRegister(1).ret();
    ActionWriter a;
    a.pushInt(0).storeRegister(1).pop();
    a.pushInt(0).initObject().storeRegister(2).pop();
    a.pushRegister(2).push("x").pushInt(0).setMember();
    a.pushRegister(2).push("f").defineFunction2("", 2, 0x2A, {{1, "v"}}, f).setMember();
    a.push("").storeRegister(3).pop();
    a.label("top");
    loopTest(a);
    loopBody(a);
    a.jump("top").label("end");
    ActionWriter one, test;
    loopBody(one);
    loopTest(test);
    actionsPerRun =
        static_cast<long>(countActions(one.bytes()) + countActions(test.bytes()) + 2) * kIterations;
    Movie m;
    m.version = 7;
    m.add(doAction(a.bytes()));
    m.showFrame();
    m.add(doAction(a.bytes()));
    m.showFrame();
    return m.build();
}

void BM_ScriptLoop(benchmark::State& state) {
    long actions = 0;
    Bytes movie = scriptMovie(actions);
    flash::Player p;
    p.load(movie.data(), movie.size());
    for (auto _ : state) p.tick();
    state.counters["actions_per_s"] =
        benchmark::Counter(static_cast<double>(actions) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScriptLoop)->Unit(benchmark::kMicrosecond);

}  // namespace
