#include "engine/system/files.h"

#include "engine/system/log.h"
#include "engine/system/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
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

bool openUrl(const char* url) {
    // Two forks: the handler is adopted by init, so no zombie waits for us.
    char handler[] = "xdg-open";
    char* arguments[] = {handler, const_cast<char*>(url), nullptr};
    pid_t child = fork();
    if (child < 0) {
        logMessage("System: cannot open '%s', ERROR", url);
        return false;
    }
    if (child == 0) {
        pid_t grandchild = fork();
        if (grandchild == 0) {
            execvp(handler, arguments);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    bool started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!started)
        logMessage("System: cannot open '%s', ERROR", url);
    return started;
}

} // namespace glint
