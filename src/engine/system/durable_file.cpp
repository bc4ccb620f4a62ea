#include "engine/system/durable_file.h"

#include "engine/system/log.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace glint {

namespace {

constexpr size_t kChunk = 4096;
DurableStepObserver stepObserver = nullptr;

void report(DurableStep step) {
    if (stepObserver)
        stepObserver(step);
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size < kChunk ? size : kChunk);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
        report(DurableStep::Chunk);
    }
    return true;
}

// The rename is only durable once the folder's entry list reaches the disk.
void syncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void setDurableStepObserver(DurableStepObserver observer) { stepObserver = observer; }

bool replaceFileDurably(const std::string& path, const void* data, size_t size) {
    if (path.empty())
        return false;
    std::string side = path + ".part";
    int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        logMessage("System: cannot write %s, WARNING", side.c_str());
        return false;
    }
    report(DurableStep::Opened);
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        report(DurableStep::Flushed);
    if (ok && ::rename(side.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        ::unlink(side.c_str());
        logMessage("System: cannot replace %s, WARNING", path.c_str());
        return false;
    }
    report(DurableStep::Renamed);
    syncFolderOf(path);
    return true;
}

bool setAsideDamagedFile(const std::string& path) {
    std::string copy = path + ".damaged";
    if (path.empty() || ::rename(path.c_str(), copy.c_str()) != 0)
        return false;
    syncFolderOf(path);
    logMessage("System: damaged file %s kept as %s, WARNING", path.c_str(), copy.c_str());
    return true;
}

} // namespace glint
