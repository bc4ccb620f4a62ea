// The script interpreter against Lua 5.4 on the same loop: ten million
// iterations that add the index to one variable, take it modulo 3 into a
// local and count the zeros in a second variable. The script runs as
// "glint-tool script run" runs a file (compiled and linked as the scene
// main of a bare game; the loop is in its init block); Lua runs as a child
// process. Both sums are checked; the best of a few interleaved runs of
// each is shown.
//
//   bench_script_vs_lua [ITERATIONS] [RUNS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/bare_game.h"

using namespace glint;

namespace {

using Clock = std::chrono::steady_clock;

struct Outcome {
    double seconds = 0;
    std::string sums; // "s t"
};

std::string scriptSource(long iterations) {
    return "init {\n"
           "  set #s 0\n"
           "  set #t 0\n"
           "  for %i 1 " + std::to_string(iterations) + " {\n"
           "    add #s %i\n"
           "    set %m %i\n"
           "    imod %m 3\n"
           "    if %m = 0 {\n"
           "      add #t 1\n"
           "    }\n"
           "  }\n"
           "}\n";
}

std::string luaSource(long iterations, bool locals) {
    std::string n = std::to_string(iterations);
    std::string declare = locals ? "local s, t = 0, 0 " : "s, t = 0, 0 ";
    return declare + "for i=1," + n + " do s=s+i; local m=i%3; if m==0 then t=t+1 end end print(s .. ' ' .. t)";
}

std::string writeTemporary(const std::string& text) {
    char path[] = "/tmp/bench_script_vs_lua_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "";
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written ? path : "";
}

std::string numberText(ScriptScene& scene, const char* name) {
    Value* cell = findVariable(scene.scope, KindPlain, intern(name), nullptr, false);
    return cell ? valueText(*cell) : "?";
}

Outcome runScript(const std::string& path) {
    Outcome outcome;
    Clock::time_point start = Clock::now();
    BareGame game;
    if (!game.load(path)) return outcome;
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.sums = numberText(game.scene(), "s") + " " + numberText(game.scene(), "t");
    return outcome;
}

// The program is a file: nothing to quote for the shell.
Outcome runLua(const std::string& path) {
    Outcome outcome;
    std::string command = "lua5.4 " + path;
    Clock::time_point start = Clock::now();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char line[256] = {};
    if (std::fgets(line, sizeof line, pipe)) outcome.sums = line;
    int status = pclose(pipe);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != 0) outcome.sums.clear();
    while (!outcome.sums.empty() && (outcome.sums.back() == '\n' || outcome.sums.back() == '\r'))
        outcome.sums.pop_back();
    return outcome;
}

void keepFastest(Outcome& fastest, const Outcome& outcome, int run) {
    if (run == 0 || outcome.seconds < fastest.seconds) fastest = outcome;
}

} // namespace

int main(int argc, char** argv) {
    long iterations = argc > 1 ? std::atol(argv[1]) : 10000000;
    int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    if (iterations < 1 || runs < 1) {
        std::fprintf(stderr, "usage: bench_script_vs_lua [ITERATIONS] [RUNS]\n");
        return 2;
    }
    std::string script = writeTemporary(scriptSource(iterations));
    std::string luaGlobals = writeTemporary(luaSource(iterations, false));
    std::string luaLocals = writeTemporary(luaSource(iterations, true));
    if (script.empty() || luaGlobals.empty() || luaLocals.empty()) {
        std::fprintf(stderr, "bench_script_vs_lua: cannot write the programs to /tmp\n");
        return 1;
    }
    // Interleaved, so that a busy machine slows both sides alike.
    Outcome glint, lua, luaLocal;
    for (int run = 0; run < runs; ++run) {
        keepFastest(glint, runScript(script), run);
        keepFastest(lua, runLua(luaGlobals), run);
        keepFastest(luaLocal, runLua(luaLocals), run);
    }
    unlink(script.c_str());
    unlink(luaGlobals.c_str());
    unlink(luaLocals.c_str());

    long long n = iterations;
    std::string expected = std::to_string(n * (n + 1) / 2) + " " + std::to_string(n / 3);
    std::printf("iterations %ld, best of %d runs\n", iterations, runs);
    std::printf("script  %8.3f s   sums %s\n", glint.seconds, glint.sums.c_str());
    std::printf("lua5.4  %8.3f s   sums %s   (s and t global, as written)\n", lua.seconds, lua.sums.c_str());
    std::printf("lua5.4  %8.3f s   sums %s   (s and t local)\n", luaLocal.seconds, luaLocal.sums.c_str());
    if (lua.seconds > 0) std::printf("ratio script / lua5.4 (global) %.2f\n", glint.seconds / lua.seconds);
    if (luaLocal.seconds > 0) std::printf("ratio script / lua5.4 (local)  %.2f\n", glint.seconds / luaLocal.seconds);
    bool same = glint.sums == expected && lua.sums == expected && luaLocal.sums == expected;
    std::printf("sums %s (expected %s)\n", same ? "agree" : "DIFFER", expected.c_str());
    return same ? 0 : 1;
}
