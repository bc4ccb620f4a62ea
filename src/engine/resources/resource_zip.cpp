#include "engine/resources/resource_zip.h"

#include "engine/resources/zip_crypto.h"
#include "engine/system/log.h"

#include <climits>
#include <cstring>
#include <ctime>
#include <new>
#include <sys/stat.h>
#include <zlib.h>

namespace glint {

namespace {

// No deflate stream expands more than 1032 to 1; a directory record that
// claims more is damaged or hostile, and trusting it would mean a huge
// allocation before the first byte is read.
constexpr uLong kMaxExpansion = 1032;
constexpr uLong kExpansionSlack = 4096;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool equalsIgnoringCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

int64_t dosTimeToUnix(uLong dosDate) {
    unsigned date = static_cast<unsigned>(dosDate >> 16) & 0xffff;
    unsigned time = static_cast<unsigned>(dosDate) & 0xffff;
    std::tm local{};
    local.tm_sec = static_cast<int>(2 * (time & 0x1f));
    local.tm_min = static_cast<int>((time >> 5) & 0x3f);
    local.tm_hour = static_cast<int>(time >> 11);
    local.tm_mday = static_cast<int>(date & 0x1f);
    local.tm_mon = static_cast<int>((date >> 5) & 0x0f) - 1;
    local.tm_year = static_cast<int>(date >> 9) + 80;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

int32_t entrySize(const ZipEntry& entry) {
    uLong size = entry.info.uncompressed_size;
    return size > static_cast<uLong>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(size);
}

bool plausibleSize(const unz_file_info& info, int64_t archiveLength) {
    if (info.uncompressed_size >= static_cast<uLong>(INT32_MAX))
        return false;
    if (static_cast<int64_t>(info.compressed_size) > archiveLength)
        return false;
    return info.uncompressed_size <= info.compressed_size * kMaxExpansion + kExpansionSlack;
}

// Reads exactly size bytes of the current entry; false on a short read.
bool readCurrent(unzFile handle, char* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        int step = unzReadCurrentFile(handle, buffer + got, static_cast<unsigned>(size - got));
        if (step <= 0)
            return false;
        got += static_cast<size_t>(step);
    }
    return true;
}

bool inflateWhole(const unsigned char* source, size_t sourceSize, char* out, size_t outSize) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = const_cast<unsigned char*>(source);
    stream.avail_in = static_cast<uInt>(sourceSize);
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = static_cast<uInt>(outSize);
    int result = inflate(&stream, Z_FINISH);
    bool whole = (result == Z_STREAM_END || result == Z_BUF_ERROR || result == Z_OK) && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole;
}

} // namespace

KResourceArchiveZip::~KResourceArchiveZip() { close(); }

void KResourceArchiveZip::close() {
    if (handle_)
        unzClose(handle_);
    handle_ = nullptr;
    entries_.clear();
}

int KResourceArchiveZip::open(const char* path, int, const char* password) {
    close();
    handle_ = unzOpen(path);
    if (!handle_)
        return K_RES_ERR_ARCHIVE;
    struct stat status {};
    archiveLength_ = stat(path, &status) == 0 ? static_cast<int64_t>(status.st_size) : 0;
    return readDirectory(path, password);
}

int KResourceArchiveZip::openBytes(const void* data, size_t size, const char* name, const char* password) {
    close();
    memory_ = ZipMemorySource{static_cast<const unsigned char*>(data), size, 0};
    zlib_filefunc64_def functions = zipMemoryFunctions(&memory_);
    handle_ = unzOpen2_64(name, &functions);
    if (!handle_)
        return K_RES_ERR_ARCHIVE;
    archiveLength_ = static_cast<int64_t>(size);
    return readDirectory(name, password);
}

int KResourceArchiveZip::readDirectory(const char* name, const char* password) {
    std::snprintf(password_, sizeof password_, "%s", password ? password : "");
    unz_global_info global{};
    unzGetGlobalInfo(handle_, &global);
    logMessage("Resource: added archive '%s' with %d %s", name, static_cast<int>(global.number_entry),
               global.number_entry == 1 ? "entry" : "entries");

    for (int step = unzGoToFirstFile(handle_); step == UNZ_OK; step = unzGoToNextFile(handle_)) {
        ZipEntry entry{};
        if (unzGetCurrentFileInfo(handle_, &entry.info, entry.name, kResourcePathMax, nullptr, 0, nullptr, 0) !=
                UNZ_OK ||
            unzGetFilePos(handle_, &entry.position) != UNZ_OK)
            break;
        entry.nameLength = static_cast<int>(std::strlen(entry.name));
        entry.isDirectory = entry.nameLength > 0 && entry.name[entry.nameLength - 1] == '/';
        entries_.push_back(entry);
    }
    return K_RES_OK;
}

const ZipEntry* KResourceArchiveZip::find(const char* path) const {
    size_t length = std::strlen(path);
    for (const ZipEntry& entry : entries_) {
        if (static_cast<size_t>(entry.nameLength) == length && equalsIgnoringCase(entry.name, path, length))
            return &entry;
    }
    return nullptr;
}

// The current entry as stored, deciphered and then expanded here.
bool KResourceArchiveZip::readEncrypted(const ZipEntry& entry, char* buffer) {
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(handle_, &method, &level, 1) != UNZ_OK)
        return false;
    size_t stored = entry.info.compressed_size;
    std::unique_ptr<unsigned char[]> raw(new (std::nothrow) unsigned char[stored ? stored : 1]);
    bool read = raw && readCurrent(handle_, reinterpret_cast<char*>(raw.get()), stored);
    unzCloseCurrentFile(handle_);
    // With the sizes after the data, the check byte comes from the DOS time.
    unsigned char check = static_cast<unsigned char>((entry.info.flag & 8) ? entry.info.dosDate >> 8
                                                                           : entry.info.crc >> 24);
    if (!read || !zipDecryptEntry(password_, raw.get(), stored, check))
        return false;
    const unsigned char* body = raw.get() + kZipCryptoHeaderSize;
    size_t bodySize = stored - kZipCryptoHeaderSize;
    size_t size = entry.info.uncompressed_size;
    if (method == 0) {
        if (bodySize != size)
            return false;
        std::memcpy(buffer, body, size);
    } else if (method != Z_DEFLATED || !inflateWhole(body, bodySize, buffer, size)) {
        return false;
    }
    return crc32(0L, reinterpret_cast<const Bytef*>(buffer), static_cast<uInt>(size)) == entry.info.crc;
}

bool KResourceArchiveZip::readPlain(const ZipEntry& entry, char* buffer) {
    if (unzOpenCurrentFile(handle_) != UNZ_OK)
        return false;
    bool read = readCurrent(handle_, buffer, entry.info.uncompressed_size);
    return unzCloseCurrentFile(handle_) != UNZ_CRCERROR && read;
}

char* KResourceArchiveZip::decompress(const ZipEntry& entry) {
    if (!handle_ || entry.isDirectory || !plausibleSize(entry.info, archiveLength_))
        return nullptr;
    unz_file_pos position = entry.position;
    if (unzGoToFilePos(handle_, &position) != UNZ_OK)
        return nullptr;
    size_t size = entry.info.uncompressed_size;
    char* buffer = new (std::nothrow) char[size + 1];
    if (!buffer)
        return nullptr;
    bool encrypted = entry.info.flag & 1;
    // A checksum mismatch means damaged data (or the wrong password): not a success.
    if (!(encrypted ? readEncrypted(entry, buffer) : readPlain(entry, buffer))) {
        logMessage("Resource: cannot read '%s' from the archive, WARNING", entry.name);
        delete[] buffer;
        return nullptr;
    }
    buffer[size] = 0;
    return buffer;
}

bool KResourceArchiveZip::getInfo(const char* path, KResourceEntryInfo* info) {
    const ZipEntry* entry = find(path);
    if (!entry)
        return false;
    info->isDirectory = entry->isDirectory ? 1 : 0;
    info->inArchive = 1;
    info->modificationTime = dosTimeToUnix(entry->info.dosDate);
    info->size = entrySize(*entry);
    return true;
}

KResourceFile* KResourceArchiveZip::openFile(const char* path) {
    const ZipEntry* entry = find(path);
    char* data = entry ? decompress(*entry) : nullptr;
    return data ? new KResourceFileZip(data, static_cast<int32_t>(entry->info.uncompressed_size)) : nullptr;
}

bool KResourceArchiveZip::loadFile(const char* path, char** data, int32_t* size) {
    const ZipEntry* entry = find(path);
    char* buffer = entry ? decompress(*entry) : nullptr;
    if (!buffer)
        return false;
    *data = buffer;
    *size = static_cast<int32_t>(entry->info.uncompressed_size);
    return true;
}

// Children are the entries right below the directory: the rest of the name
// holds no "/" but a final one. The rest must start at a name boundary, so
// "data" has no child "base/x" from "database/x".
bool KResourceArchiveZip::enumerate(const char* directory, EnumerateCallback callback, void* user) {
    size_t prefix = std::strlen(directory);
    bool boundaryInPrefix = prefix == 0 || directory[prefix - 1] == '/';
    for (const ZipEntry& entry : entries_) {
        if (static_cast<size_t>(entry.nameLength) < prefix || !equalsIgnoringCase(entry.name, directory, prefix))
            continue;
        const char* rest = entry.name + prefix;
        if (!boundaryInPrefix && *rest != '/')
            continue;
        while (*rest == '/')
            ++rest;
        const char* slash = std::strchr(rest, '/');
        if (!*rest || (slash && slash[1]))
            continue;
        char child[kResourcePathMax + 1];
        std::snprintf(child, sizeof child, "%.*s", static_cast<int>(slash ? slash - rest : std::strlen(rest)), rest);
        if (!callback(child, entry.isDirectory, user))
            return false;
    }
    return true;
}

void KResourceArchiveZip::listFiles(FileCallback callback, void* user) {
    for (const ZipEntry& entry : entries_) {
        if (!entry.isDirectory)
            callback(entry.name, entrySize(entry), user);
    }
}

int KResourceFileZip::seek(int origin, int32_t offset) {
    position_ = seekTarget(origin, offset, position_, size_);
    return K_RES_OK;
}

int KResourceFileZip::tell(int32_t* position) {
    *position = position_;
    return K_RES_OK;
}

// What lies inside the entry is copied, everything around it reads as zeros.
int KResourceFileZip::read(void* buffer, uint32_t length) {
    char* out = static_cast<char*>(buffer);
    std::memset(out, 0, length);
    int64_t start = position_;
    int64_t end = start + length;
    int64_t from = start < 0 ? 0 : start;
    int64_t to = end < size_ ? end : size_;
    if (from < to)
        std::memcpy(out + (from - start), data_.get() + from, static_cast<size_t>(to - from));
    position_ = clampPosition(end);
    return start >= size_ && length ? K_RES_ERR_IO : K_RES_OK;
}

} // namespace glint
