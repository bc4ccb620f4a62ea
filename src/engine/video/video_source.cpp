#include "engine/video/video_source.h"

#include "engine/resources/resource_direct.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace glint {

bool KVideoSource::open(const char* path, bool preload) {
    close();
    if (stream_.open(path) != K_RES_OK)
        return false;
    KResourceFile* file = stream_.file();
    int32_t end = 0;
    if (file->seek(K_SEEK_END, 0) != K_RES_OK || file->tell(&end) != K_RES_OK || end < 0 ||
        file->seek(K_SEEK_SET, 0) != K_RES_OK) {
        close();
        return false;
    }
    size_ = end;
    bool onDisk = dynamic_cast<KResourceFileDirect*>(file) != nullptr;
    if ((preload || !onDisk) && !readAll()) {
        close();
        return false;
    }
    return true;
}

bool KVideoSource::readAll() {
    memory_.reset(new (std::nothrow) char[static_cast<size_t>(size_) + 1]);
    bool read = memory_ && (size_ == 0 || stream_.file()->read(memory_.get(), static_cast<uint32_t>(size_)) == K_RES_OK);
    stream_.close();
    return read;
}

void KVideoSource::openMemory(const void* data, size_t size) {
    close();
    size_ = static_cast<int32_t>(std::min<size_t>(size, INT32_MAX));
    memory_.reset(new char[static_cast<size_t>(size_) + 1]);
    std::memcpy(memory_.get(), data, static_cast<size_t>(size_));
}

void KVideoSource::close() {
    stream_.close();
    memory_.reset();
    size_ = position_ = 0;
}

uint32_t KVideoSource::read(void* buffer, uint32_t length) {
    uint32_t count = std::min<uint32_t>(length, static_cast<uint32_t>(size_ - position_));
    if (count == 0)
        return 0;
    if (memory_) {
        std::memcpy(buffer, memory_.get() + position_, count);
    } else {
        KResourceFile* file = stream_.file();
        if (!file || file->seek(K_SEEK_SET, position_) != K_RES_OK || file->read(buffer, count) != K_RES_OK)
            return 0;
    }
    position_ += static_cast<int32_t>(count);
    return count;
}

} // namespace glint
