// The script interpreter against Lua 5.4 on two workloads written alike in
// both languages:
//   loop   add the index to one variable, take it modulo 3 into a local and
//          count the zeros in a second variable;
//   calls  read an array item, call a function with it, call a method that
//          bumps a member, read that member and the array's count.
// The script runs as "glint-tool script run" runs a file (compiled and
// linked as the scene main of a bare game; the work is in its init block);
// Lua runs as a child process. Script "#" variables are Lua globals in one
// Lua twin and locals in the other; "%" locals are Lua locals in both.
//
// Times are CPU seconds (the script's thread, the Lua child's user and
// system time), so that waiting for a core shared with other programs does
// not count. Each round runs the three programs back to back and gives two
// ratios; the figure shown is the median over the rounds, which a single
// slow run cannot move. Results are checked against each other.
//
//   bench_script_vs_lua [SCALE] [ROUNDS]
//   (SCALE 1 is ten million loop steps and two million calls steps; the
//   defaults, 0.5 and 31 rounds, give medians that repeat within a few
//   percent on a machine shared with other work)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "script/bare_game.h"

using namespace glint;

namespace {

struct Outcome {
    double seconds = 0;
    std::string result; // the checked variables, space-separated
};

struct Workload {
    const char* name;
    long steps;
    std::string script;
    std::string luaGlobals;
    std::string luaLocals;
};

std::string loopScript(long steps) {
    return "init {\n"
           "  set #s 0\n"
           "  set #t 0\n"
           "  for %i 1 " + std::to_string(steps) + " {\n"
           "    add #s %i\n"
           "    set %m %i\n"
           "    imod %m 3\n"
           "    if %m = 0 {\n"
           "      add #t 1\n"
           "    }\n"
           "  }\n"
           "}\n";
}

std::string loopLua(long steps, bool locals) {
    std::string declare = locals ? "local s, t = 0, 0\n" : "s, t = 0, 0\n";
    return declare + "for i = 1, " + std::to_string(steps) +
           " do s = s + i; local m = i % 3; if m == 0 then t = t + 1 end end\n"
           "print(s .. ' ' .. t)\n";
}

std::string callsScript(long steps) {
    return "class point {\n"
           "  init %x {\n"
           "    set this.x %x\n"
           "  }\n"
           "  fun bump %by {\n"
           "    add this.x %by\n"
           "  }\n"
           "}\n"
           "fun addto %v {\n"
           "  add #s %v\n"
           "}\n"
           "init {\n"
           "  set #s 0\n"
           "  set #t 0\n"
           "  for %j 1 100 {\n"
           "    set #a[%j] %j\n"
           "  }\n"
           "  new #p -point 0\n"
           "  for %i 1 " + std::to_string(steps) + " {\n"
           "    set %k %i\n"
           "    imod %k 100\n"
           "    add %k 1\n"
           "    set %v #a[%k]\n"
           "    call &addto %v\n"
           "    call #p.bump 1\n"
           "    set %c #p.x\n"
           "    add #t %c\n"
           "    add #t #a[].count\n"
           "  }\n"
           "}\n";
}

std::string callsLua(long steps, bool locals) {
    std::string local = locals ? "local " : "";
    return local + "Point = {}\n"
           "Point.__index = Point\n"
           "function Point.new(x) local o = setmetatable({}, Point); o.x = x; return o end\n"
           "function Point:bump(by) self.x = self.x + by end\n" +
           local + "s, t = 0, 0\n" +
           local + "function addto(v) s = s + v end\n" +
           local + "a = {}\n"
           "for j = 1, 100 do a[j] = j end\n" +
           local + "p = Point.new(0)\n"
           "for i = 1, " + std::to_string(steps) + " do\n"
           "  local k = i % 100; k = k + 1\n"
           "  local v = a[k]\n"
           "  addto(v)\n"
           "  p:bump(1)\n"
           "  local c = p.x\n"
           "  t = t + c; t = t + #a\n"
           "end\n"
           "print(s .. ' ' .. t)\n";
}

std::string writeTemporary(const std::string& text) {
    char path[] = "/tmp/bench_script_vs_lua_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "";
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written ? path : "";
}

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string numberText(ScriptScene& scene, const char* name) {
    Value* cell = findVariable(scene.scope, KindPlain, intern(name), nullptr, false);
    return cell ? valueText(*cell) : "?";
}

Outcome runScript(const std::string& path) {
    Outcome outcome;
    double start = threadSeconds();
    BareGame game;
    if (!game.load(path)) return outcome;
    outcome.seconds = threadSeconds() - start;
    outcome.result = numberText(game.scene(), "s") + " " + numberText(game.scene(), "t");
    return outcome;
}

double rusageSeconds(const rusage& usage) {
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The program is a file: no shell, nothing to quote.
Outcome runLua(const std::string& path) {
    Outcome outcome;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return outcome;
    pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return outcome;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execlp("lua5.4", "lua5.4", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) outcome.result.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Outcome{};
    outcome.seconds = rusageSeconds(usage);
    while (!outcome.result.empty() && (outcome.result.back() == '\n' || outcome.result.back() == '\r'))
        outcome.result.pop_back();
    return outcome;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Paths {
    Paths() = default;
    Paths(const Paths&) = delete;
    Paths& operator=(const Paths&) = delete;
    std::string script, luaGlobals, luaLocals;
    bool ok() const { return !script.empty() && !luaGlobals.empty() && !luaLocals.empty(); }
    ~Paths() {
        for (const std::string* p : {&script, &luaGlobals, &luaLocals})
            if (!p->empty()) unlink(p->c_str());
    }
};

struct Measured {
    std::vector<double> script, globals, locals, globalRatio, localRatio;
    bool agree = true;
    std::string result;
};

// The three programs run back to back, in an order that turns each round,
// so that none always runs first (right after the other workload).
void measureRound(const Paths& paths, int round, Measured& m) {
    Outcome s, g, l;
    for (int i = 0; i < 3; ++i) {
        switch ((round + i) % 3) {
        case 0: s = runScript(paths.script); break;
        case 1: g = runLua(paths.luaGlobals); break;
        default: l = runLua(paths.luaLocals); break;
        }
    }
    if (m.result.empty()) m.result = s.result;
    m.agree = m.agree && !s.result.empty() && s.result == m.result && g.result == m.result && l.result == m.result;
    if (s.seconds <= 0 || g.seconds <= 0 || l.seconds <= 0) {
        m.agree = false;
        return;
    }
    m.script.push_back(s.seconds);
    m.globals.push_back(g.seconds);
    m.locals.push_back(l.seconds);
    m.globalRatio.push_back(s.seconds / g.seconds);
    m.localRatio.push_back(s.seconds / l.seconds);
}

void report(const Workload& w, const Measured& m) {
    std::printf("%s (%ld steps)\n", w.name, w.steps);
    if (m.script.empty()) {
        std::printf("  no complete round\n");
        return;
    }
    std::printf("  script          %7.3f s (median)\n", median(m.script));
    std::printf("  lua5.4 globals  %7.3f s   ratio %.2f (median of rounds, range %.2f-%.2f)\n", median(m.globals),
                median(m.globalRatio), *std::min_element(m.globalRatio.begin(), m.globalRatio.end()),
                *std::max_element(m.globalRatio.begin(), m.globalRatio.end()));
    std::printf("  lua5.4 locals   %7.3f s   ratio %.2f (median of rounds, range %.2f-%.2f)\n", median(m.locals),
                median(m.localRatio), *std::min_element(m.localRatio.begin(), m.localRatio.end()),
                *std::max_element(m.localRatio.begin(), m.localRatio.end()));
    std::printf("  results %s (%s)\n", m.agree ? "agree" : "DIFFER", m.result.c_str());
}

} // namespace

int main(int argc, char** argv) {
    double scale = argc > 1 ? std::atof(argv[1]) : 0.5;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 31;
    if (scale <= 0 || rounds < 1) {
        std::fprintf(stderr, "usage: bench_script_vs_lua [SCALE] [ROUNDS]\n");
        return 2;
    }
    long loopSteps = std::max(1L, static_cast<long>(10000000 * scale));
    long callSteps = std::max(1L, static_cast<long>(2000000 * scale));
    std::vector<Workload> workloads = {
        {"loop", loopSteps, loopScript(loopSteps), loopLua(loopSteps, false), loopLua(loopSteps, true)},
        {"calls", callSteps, callsScript(callSteps), callsLua(callSteps, false), callsLua(callSteps, true)},
    };
    std::vector<Paths> paths(workloads.size());
    for (size_t i = 0; i < workloads.size(); ++i) {
        paths[i].script = writeTemporary(workloads[i].script);
        paths[i].luaGlobals = writeTemporary(workloads[i].luaGlobals);
        paths[i].luaLocals = writeTemporary(workloads[i].luaLocals);
        if (!paths[i].ok()) {
            std::fprintf(stderr, "bench_script_vs_lua: cannot write the programs to /tmp\n");
            return 1;
        }
    }
    // Rounds interleave every program, so that a busy spell of the machine
    // falls on both sides of a ratio alike.
    std::vector<Measured> measured(workloads.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < workloads.size(); ++i) measureRound(paths[i], round, measured[i]);

    std::printf("CPU seconds, %d rounds\n", rounds);
    bool agree = true;
    for (size_t i = 0; i < workloads.size(); ++i) {
        report(workloads[i], measured[i]);
        agree = agree && measured[i].agree;
    }
    long long n = loopSteps;
    std::string expected = std::to_string(n * (n + 1) / 2) + " " + std::to_string(n / 3);
    if (measured[0].result != expected) {
        std::printf("loop results differ from the expected %s\n", expected.c_str());
        agree = false;
    }
    return agree ? 0 : 1;
}
