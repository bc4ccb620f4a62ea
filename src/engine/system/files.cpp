#include "engine/system/files.h"

#include "engine/system/log.h"
#include "engine/system/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <spawn.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace glint {

namespace {

char documentsBuffer[260];

bool isDirectoryEntry(const char* folder, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return entry->d_type == DT_DIR;
    std::string full = std::string(folder) + "/" + entry->d_name;
    struct stat status{};
    return stat(full.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The documents folder as the XDG user-dirs file names it, with $HOME expanded;
// empty when the file does not name one.
std::string configuredDocumentsDir(const std::string& home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string config = configHome && *configHome ? configHome : home + "/.config";
    FILE* file = std::fopen((config + "/user-dirs.dirs").c_str(), "r");
    if (!file)
        return {};
    std::string found;
    char line[1024];
    const char key[] = "XDG_DOCUMENTS_DIR=\"";
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, key, sizeof key - 1))
            continue;
        std::string value = line + sizeof key - 1;
        size_t quote = value.find('"');
        if (quote == std::string::npos)
            continue;
        value.resize(quote);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        found = value;
    }
    std::fclose(file);
    return found;
}

bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

void listDirectory(const char* path, DirectoryCallback callback, void* user) {
    DIR* folder = opendir(path);
    if (!folder)
        return;
    while (const dirent* entry = readdir(folder)) {
        if (!callback(entry->d_name, isDirectoryEntry(path, entry), user))
            break;
    }
    closedir(folder);
}

const char* documentsPath() {
    const char* home = std::getenv("HOME");
    std::string folder;
    if (home && *home) {
        folder = configuredDocumentsDir(home);
        if (folder.empty())
            folder = home; // what the desktop's own lookup answers when nothing is configured
    }
    if (folder.empty() || folder.size() >= sizeof documentsBuffer || !makeFolders(folder))
        folder = std::string(dataPath()) + "/";
    std::snprintf(documentsBuffer, sizeof documentsBuffer, "%s", folder.c_str());
    return documentsBuffer;
}

std::string applicationDataPath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (dataHome && *dataHome == '/')
        folder = dataHome; // relative values are invalid and ignored, as XDG says
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::string(home) + "/.local/share";
    return !folder.empty() && makeFolders(folder) ? folder : std::string();
}

bool createDirectory(const char* path) { return mkdir(path, 0755) == 0 || errno == EEXIST; }

namespace {

// Only web pages and mail: anything else (file:, javascript:, a text that
// starts with "-" and reads as an option) is not for the handler.
bool openableUrl(const char* url) {
    for (const char* scheme : {"http://", "https://", "mailto:"})
        if (strncasecmp(url, scheme, std::strlen(scheme)) == 0)
            return true;
    return false;
}

} // namespace

bool openUrl(const char* url) {
    if (!url || !openableUrl(url)) {
        logMessage("System: cannot open '%s', ERROR", url ? url : "");
        return false;
    }
    // posix_spawnp, not fork: the process has threads (audio, downloads),
    // and only async-signal-safe calls may follow a fork in such a process.
    char handler[] = "xdg-open";
    char* arguments[] = {handler, const_cast<char*>(url), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, handler, nullptr, nullptr, arguments, environ) != 0) {
        logMessage("System: cannot open '%s', ERROR", url);
        return false;
    }
    // The handler may run as long as the browser does; a thread of its own
    // collects it so that no zombie stays behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

} // namespace glint
