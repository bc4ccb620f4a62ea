#include "engine/resources/resource.h"

#include "engine/resources/resource_direct.h"
#include "engine/resources/resource_paths.h"
#include "engine/resources/resource_tar.h"
#include "engine/resources/resource_zip.h"
#include "engine/system/log.h"
#include "engine/system/system.h"

namespace glint {

namespace {

struct MountList {
    KResourceArchive* first = nullptr;
    KResourceArchive* last = nullptr;
    int count = 0;
};

MountList mounted;
KResourceArchiveDirect* fileSystem = nullptr;
bool tracing = false;
KResourceLookupObserver lookupObserver = nullptr;
void* lookupObserverUser = nullptr;

void observe(const char* path) {
    if (lookupObserver && path)
        lookupObserver(path, lookupObserverUser);
}

void append(KResourceArchive* archive) {
    archive->prev = mounted.last;
    archive->next = nullptr;
    if (mounted.last)
        mounted.last->next = archive;
    else
        mounted.first = archive;
    mounted.last = archive;
    ++mounted.count;
}

KResourceArchive* nextArchive(KResourceArchive* archive) { return static_cast<KResourceArchive*>(archive->next); }

void trace(const char* format, const char* path) {
    if (tracing)
        logMessage(format, path);
}

} // namespace

KResourceArchive* resourceOpenArchive(const char* path) {
    KResourceArchive* zip = new KResourceArchiveZip;
    if (zip->open(path, 0, kResourceArchivePassword) == K_RES_OK)
        return zip;
    delete zip;
    KResourceArchive* tar = new KResourceArchiveTar;
    if (tar->open(path, 0, kResourceArchivePassword) == K_RES_OK)
        return tar;
    delete tar;
    return nullptr;
}

void resourceSetTracing(bool on) { tracing = on; }

void resourceInit() {
    if (!fileSystem)
        fileSystem = new KResourceArchiveDirect;
}

int resourceMountArchive(const char* path) {
    KResourceArchive* archive = resourceOpenArchive(path);
    if (!archive) {
        logMessage("Resource: missing archive '%s'", path);
        return K_RES_ERR_ARCHIVE;
    }
    append(archive);
    return K_RES_OK;
}

void resourceSetLookupObserver(KResourceLookupObserver observer, void* user) {
    lookupObserver = observer;
    lookupObserverUser = user;
}

bool resourceGetInfo(const char* path, KResourceEntryInfo* info) {
    observe(path);
    static char name[kResourcePathBuffer];
    archiveEntryName(dataPath(), path, name);
    for (KResourceArchive* archive = mounted.first; archive; archive = nextArchive(archive)) {
        if (archive->getInfo(name, info))
            return true;
    }
    static char disk[kResourcePathBuffer];
    diskEntryName(path, disk);
    return fileSystem && fileSystem->getInfo(disk, info);
}

bool resourceLoadFile(const char* path, char** data, int32_t* size) {
    observe(path);
    static char name[kResourcePathBuffer];
    archiveEntryName(dataPath(), path, name);
    for (KResourceArchive* archive = mounted.first; archive; archive = nextArchive(archive)) {
        if (archive->loadFile(name, data, size)) {
            trace("Resource: opened '%s' (archive)", name);
            return true;
        }
    }
    static char disk[kResourcePathBuffer];
    diskEntryName(path, disk);
    if (fileSystem && fileSystem->loadFile(disk, data, size)) {
        trace("Resource: opened '%s' (filesystem)", disk);
        return true;
    }
    trace("Resource: failed to open '%s'", path);
    return false;
}

void resourceShutdown() {
    while (KResourceArchive* archive = mounted.first) {
        mounted.first = nextArchive(archive);
        delete archive;
    }
    mounted = MountList{};
    delete fileSystem;
    fileSystem = nullptr;
}

KResourceStream::~KResourceStream() { close(); }

void KResourceStream::close() {
    delete file_;
    file_ = nullptr;
}

int KResourceStream::open(const char* path) {
    close();
    observe(path);
    static char disk[kResourcePathBuffer];
    diskEntryName(path, disk);
    if (fileSystem && (file_ = fileSystem->openFile(disk))) {
        trace("Resource: opened '%s' (filesystem)", disk);
        return K_RES_OK;
    }
    static char name[kResourcePathBuffer];
    archiveEntryName(dataPath(), path, name);
    for (KResourceArchive* archive = mounted.first; archive; archive = nextArchive(archive)) {
        if ((file_ = archive->openFile(name))) {
            trace("Resource: opened '%s' (archive)", name);
            return K_RES_OK;
        }
    }
    trace("Resource: failed to open '%s'", path);
    return K_RES_ERR_OPEN;
}

} // namespace glint
