#include "engine/system/system.h"

#include "engine/system/clock.h"
#include "engine/system/log.h"
#include "engine/system/numbers.h"
#include "engine/resources/resource.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace glint {

namespace {

bool initialized = false;
char osText[256] = "";
char dataPathText[260] = "";
char userText[256] = "";

void copyCut(char* destination, size_t capacity, const std::string& text) {
    std::snprintf(destination, capacity, "%s", text.c_str());
}

// PRETTY_NAME of os-release, without its quotes; empty when unknown.
std::string osReleaseName() {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        FILE* in = std::fopen(file, "r");
        if (!in)
            continue;
        std::string name;
        char line[512];
        while (std::fgets(line, sizeof line, in)) {
            if (std::strncmp(line, "PRETTY_NAME=", 12))
                continue;
            name = line + 12;
            while (!name.empty() && (name.back() == '\n' || name.back() == '"' || name.back() == '\''))
                name.pop_back();
            if (!name.empty() && (name.front() == '"' || name.front() == '\''))
                name.erase(0, 1);
        }
        std::fclose(in);
        return name;
    }
    return {};
}

void describeSystem() {
    utsname names{};
    if (uname(&names) == 0)
        copyCut(osText, sizeof osText, describeOs(names.sysname, names.release, names.machine, osReleaseName()));
    else
        copyCut(osText, sizeof osText, "Linux");
    logMessage("System: running on %s", osText);
}

// The folder of the running executable, without a trailing separator.
std::string executableFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    path[length] = 0;
    char* slash = std::strrchr(path, '/');
    if (slash == path)
        return "/";
    if (slash)
        *slash = 0;
    return path;
}

bool chooseDataPath(const char* gameDir) {
    std::string folder = gameDir && *gameDir ? gameDir : executableFolder();
    char absolute[PATH_MAX];
    if (!realpath(folder.c_str(), absolute)) {
        logMessage("System: data path '%s' is not a folder, ERROR", folder.c_str());
        return false;
    }
    if (std::strlen(absolute) >= sizeof dataPathText) {
        logMessage("System: data path '%s' is too long, ERROR", absolute);
        return false;
    }
    copyCut(dataPathText, sizeof dataPathText, absolute);
    logMessage("System: data path is %s", dataPathText);
    if (chdir(dataPathText) != 0) {
        logMessage("System: cannot enter %s, ERROR", dataPathText);
        return false;
    }
    return true;
}

void readUserName() {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name)
        copyCut(userText, sizeof userText, found->pw_name);
    else if (const char* user = std::getenv("USER"))
        copyCut(userText, sizeof userText, user);
}

} // namespace

std::string describeOs(const std::string& sysname, const std::string& release, const std::string& machine,
                       const std::string& prettyName) {
    std::string text = sysname + " " + release + " " + machine;
    if (!prettyName.empty())
        text += " (" + prettyName + ")";
    if (text.size() > 255)
        text.resize(255);
    return text;
}

bool systemInit(const char* gameDir) {
    if (initialized)
        return true;
    initialized = true;
    describeSystem();
    timerInit();
    initMathTables();
    seedRandom();
    bool usable = chooseDataPath(gameDir);
    readUserName();
    resourceInit();
    return usable;
}

bool systemInitialized() { return initialized; }
const char* osDescription() { return osText; }
const char* dataPath() { return dataPathText; }
const char* userName() { return userText; }

void systemResetForTests() { initialized = false; }

} // namespace glint
