// Interpreter speed: statements per second in a loop, and function calls.
#include <benchmark/benchmark.h>

#include <string>

#include "script/commands.h"
#include "script/compiler.h"
#include "script/declarations.h"
#include "script/interpreter.h"

using namespace glint;

namespace {

struct Fixture {
    ScriptSystem system;
    ScriptScene scene{intern("bench")};

    explicit Fixture(const char* text) {
        registerBuiltinCommands();
        system.addScene(&scene);
        system.sources.add(intern("common_all"), "", 0);
        system.sources.add(intern("common_all_post"), "", 0);
        system.sources.add(intern("bench"), text, std::char_traits<char>::length(text));
        compileScene(scene.scope);
        linkScene(scene.scope);
        system.heap.engineStarted = true;
    }
    void call(const char* name) {
        Value* cell = findVariable(scene.scope, KindFunction, intern(name), nullptr, false);
        callFunction(cell->as<ScriptFunction>(), nullptr, system.stack + system.top, 0, false);
    }
};

} // namespace

static void BM_LoopOfArithmetic(benchmark::State& state) {
    Fixture f("fun run {\n  set #x 0\n  for %i 1 1000 {\n    add #x %i\n    mul #y 2\n    if #x > 5 {\n"
              "      sub #x 1\n    }\n  }\n}\n");
    for (auto _ : state) f.call("run");
    state.SetItemsProcessed(state.iterations() * 4000); // statements per loop pass
}
BENCHMARK(BM_LoopOfArithmetic);

static void BM_FunctionCalls(benchmark::State& state) {
    Fixture f("fun leaf %a %b {\n  set #r %a\n  add #r %b\n}\n"
              "fun run {\n  for %i 1 1000 {\n    call &leaf %i 2\n  }\n}\n");
    for (auto _ : state) f.call("run");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FunctionCalls);

static void BM_ArrayAndMemberAccess(benchmark::State& state) {
    Fixture f("fun run {\n  for %i 1 1000 {\n    set #a[%i] %i\n    set #n #a[].count\n    set #v #a[-1]\n  }\n}\n");
    for (auto _ : state) f.call("run");
    state.SetItemsProcessed(state.iterations() * 3000);
}
BENCHMARK(BM_ArrayAndMemberAccess);

static void BM_MethodReads(benchmark::State& state) {
    Fixture f("class lamp {\n  fun on {\n  }\n}\n"
              "fun run {\n  new %l -lamp\n  for %i 1 1000 {\n    set %m %l.on\n  }\n}\n");
    for (auto _ : state) f.call("run");
    state.SetItemsProcessed(state.iterations() * 1000);
}
// A fixed count: on a build that takes a record per read the heap only grows.
BENCHMARK(BM_MethodReads)->Iterations(2000);

static void BM_MatrixAccess(benchmark::State& state) {
    Fixture f("fun run {\n  for %i 1 1000 {\n    set #m[%i,3] %i\n    set #v #m[%i,3]\n  }\n}\n");
    for (auto _ : state) f.call("run");
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_MatrixAccess);

BENCHMARK_MAIN();
