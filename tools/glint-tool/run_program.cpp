#include "run_program.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace glint::tool {

namespace {

std::vector<char*> argumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

void readAll(int fd, std::string& output) {
    char chunk[4096];
    for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) != 0;) {
        if (got > 0)
            output.append(chunk, static_cast<size_t>(got));
        else if (errno != EINTR)
            break;
    }
}

int waitFor(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int runProgram(const std::vector<std::string>& arguments, std::string* output) {
    if (arguments.empty())
        return -1;
    int pipeEnds[2] = {-1, -1};
    if (output && pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        // Collected output is an answer to parse; the program's complaints
        // about what it did not find would only confuse the reader.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv = argumentVector(arguments);
    pid_t child = 0;
    int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) {
        close(pipeEnds[1]);
        if (spawned == 0)
            readAll(pipeEnds[0], *output);
        close(pipeEnds[0]);
    }
    return spawned == 0 ? waitFor(child) : -1;
}

} // namespace glint::tool
