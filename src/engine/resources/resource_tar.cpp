#include "engine/resources/resource_tar.h"

#include "engine/system/log.h"

#include <climits>
#include <cstring>
#include <new>

namespace glint {

namespace {

constexpr int64_t kBlock = 512;
constexpr size_t kLongNameMax = 259;
constexpr size_t kComponentMax = 255;
constexpr const char* kLongNameHeader = "././@LongLink";

struct Header {
    char name[101];
    char prefix[156];
    int64_t size;
    int64_t mtime;
    char typeflag;
    bool ustar;
};

bool allZero(const unsigned char* block) {
    for (int i = 0; i < kBlock; ++i) {
        if (block[i])
            return false;
    }
    return true;
}

// Leading blanks, an optional sign, then octal digits up to the first other
// character. Base-256 numbers (high bit set) come back as -1: sizes that
// large cannot be held and would throw the walk off its blocks.
int64_t parseOctal(const unsigned char* field, size_t width) {
    if (field[0] & 0x80)
        return -1;
    char text[13] = {};
    std::memcpy(text, field, width < 12 ? width : 12);
    const char* p = text;
    while (*p == ' ')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '7'; ++p)
        value = value * 8 + (*p - '0');
    return negative ? -value : value;
}

// Tar writers differ in whether they summed signed or unsigned bytes; both count.
bool checksumMatches(const unsigned char* block) {
    int64_t stored = parseOctal(block + 148, 8);
    int64_t unsignedSum = 0, signedSum = 0;
    for (int i = 0; i < kBlock; ++i) {
        bool inField = i >= 148 && i < 156;
        unsignedSum += inField ? ' ' : block[i];
        signedSum += inField ? ' ' : static_cast<signed char>(block[i]);
    }
    return stored == unsignedSum || stored == signedSum;
}

Header parseHeader(const unsigned char* block) {
    Header header{};
    // All 100 bytes: a name of exactly 100 characters fills the field with no
    // terminator, and tar writes it so without a long-name header.
    std::memcpy(header.name, block, 100);
    std::memcpy(header.prefix, block + 345, 155);
    header.size = parseOctal(block + 124, 12);
    header.mtime = parseOctal(block + 136, 12);
    header.typeflag = static_cast<char>(block[156]);
    header.ustar = !std::memcmp(block + 257, "ustar\0", 6);
    return header;
}

void entryPath(const Header& header, const char* longName, char* out) {
    if (longName) {
        std::snprintf(out, kLongNameMax + 1, "%s", longName);
    } else if (header.ustar && header.prefix[0]) {
        std::snprintf(out, kLongNameMax + 1, "%s/%s", header.prefix, header.name);
    } else {
        std::snprintf(out, kLongNameMax + 1, "%s", header.name);
    }
}

TarNode* findChild(const TarNode& directory, const char* name, size_t length) {
    for (const auto& child : directory.children) {
        if (child->name.size() == length && !std::memcmp(child->name.data(), name, length))
            return child.get();
    }
    return nullptr;
}

TarNode* addChild(TarNode& directory, const char* name, size_t length, bool isDirectory) {
    auto node = std::make_unique<TarNode>();
    node->name.assign(name, length);
    node->isDirectory = isDirectory;
    directory.children.push_back(std::move(node));
    return directory.children.back().get();
}

void listTree(const TarNode& directory, std::string& path, KResourceArchive::FileCallback callback, void* user) {
    for (const auto& child : directory.children) {
        size_t mark = path.size();
        if (!path.empty())
            path += '/';
        path += child->name;
        if (child->isDirectory)
            listTree(*child, path, callback, user);
        else
            callback(path.c_str(), child->size, user);
        path.resize(mark);
    }
}

} // namespace

int KResourceArchiveTar::open(const char* path, int, const char*) { return start(std::fopen(path, "rb"), path); }

// A memory stream reads the bytes in place; "r" mode never writes to them.
int KResourceArchiveTar::openBytes(const void* data, size_t size, const char* name) {
    return start(size ? fmemopen(const_cast<void*>(data), size, "rb") : nullptr, name);
}

int KResourceArchiveTar::start(std::FILE* file, const char* name) {
    stream_.reset();
    root_ = TarNode{};
    root_.isDirectory = true;
    if (!file)
        return K_RES_ERR_OPEN;
    stream_ = SharedStream(file, std::fclose);
    length_ = 0;
    if (fseeko(file, 0, SEEK_END) == 0)
        length_ = ftello(file);
    walk(name);
    size_t count = root_.children.size();
    logMessage("Resource: added archive '%s' with %d %s", name, static_cast<int>(count),
               count == 1 ? "entry" : "entries");
    return K_RES_OK;
}

void KResourceArchiveTar::walk(const char* path) {
    std::FILE* file = stream_.get();
    unsigned char block[kBlock];
    char longName[kLongNameMax + 1] = {};
    bool longNamePending = false;
    int zeroBlocks = 0;
    int64_t offset = 0;
    while (offset < length_) {
        if (fseeko(file, offset, SEEK_SET) != 0 || std::fread(block, 1, kBlock, file) != kBlock)
            return;
        if (allZero(block)) {
            if (++zeroBlocks == 2)
                return;
            offset += kBlock;
            continue;
        }
        zeroBlocks = 0;
        Header header = parseHeader(block);
        // Offsets are 32-bit; a size past that, a negative one or a damaged
        // header means the rest cannot be trusted.
        if (!checksumMatches(block) || header.size < 0 || header.size > INT32_MAX ||
            offset + kBlock + header.size > UINT32_MAX) {
            logMessage("Resource: archive '%s' seems to be invalid, WARNING", path);
            return;
        }
        if (!std::strcmp(header.name, kLongNameHeader)) {
            size_t want = header.size < static_cast<int64_t>(kLongNameMax) ? static_cast<size_t>(header.size)
                                                                          : kLongNameMax;
            size_t got = std::fread(longName, 1, want, file);
            longName[got == want ? want : 0] = 0;
            longNamePending = true;
        } else {
            char typeflag = header.typeflag;
            if (typeflag == '0' || typeflag == '5' || typeflag == 0) {
                char entry[kLongNameMax + 1];
                entryPath(header, longNamePending ? longName : nullptr, entry);
                addEntry(entry, typeflag == '5', static_cast<uint32_t>(offset + kBlock),
                         static_cast<int32_t>(header.size), header.mtime);
            }
            longNamePending = false;
        }
        offset += kBlock + (header.size + kBlock - 1) / kBlock * kBlock;
    }
}

// A header that would need a file to be a folder, or a folder to become a
// file, is skipped: either way entries already read would be lost.
bool KResourceArchiveTar::addEntry(const char* path, bool directory, uint32_t dataOffset, int32_t size,
                                   int64_t mtime) {
    size_t pathLength = std::strlen(path);
    if (pathLength && path[pathLength - 1] == '/')
        directory = true;
    TarNode* parent = &root_;
    TarNode* node = nullptr;
    const char* p = path;
    while (*p) {
        const char* end = std::strchr(p, '/');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        const char* rest = p + length;
        while (*rest == '/')
            ++rest;
        bool last = *rest == 0;
        if (length) {
            if (!parent->isDirectory)
                return false;
            bool wantDirectory = !last || directory;
            node = findChild(*parent, p, length);
            if (!node)
                node = addChild(*parent, p, length, wantDirectory);
            else if (node->isDirectory != wantDirectory)
                return false;
            parent = node;
        }
        p = rest;
    }
    if (!node)
        return false;
    node->modificationTime = mtime;
    if (!directory) {
        node->dataOffset = dataOffset;
        node->size = size;
    }
    return true;
}

const TarNode* KResourceArchiveTar::find(const char* path) const {
    const TarNode* node = &root_;
    const char* p = path;
    for (;;) {
        const char* end = std::strchr(p, '/');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length == 0 || length > kComponentMax || !node->isDirectory)
            return nullptr;
        node = findChild(*node, p, length);
        if (!node)
            return nullptr;
        if (!end)
            return node;
        p = end + 1;
    }
}

const TarNode* KResourceArchiveTar::findFile(const char* path) const {
    const TarNode* node = find(path);
    return node && !node->isDirectory ? node : nullptr;
}

bool KResourceArchiveTar::enumerate(const char* directory, EnumerateCallback callback, void* user) {
    const TarNode* node = directory[0] ? find(directory) : &root_;
    if (!node || !node->isDirectory)
        return true;
    for (const auto& child : node->children) {
        if (!callback(child->name.c_str(), child->isDirectory, user))
            return false;
    }
    return true;
}

bool KResourceArchiveTar::getInfo(const char* path, KResourceEntryInfo* info) {
    const TarNode* node = find(path);
    if (!node)
        return false;
    info->isDirectory = node->isDirectory ? 1 : 0;
    info->inArchive = 1;
    info->modificationTime = node->modificationTime;
    info->size = node->size;
    return true;
}

KResourceFile* KResourceArchiveTar::openFile(const char* path) {
    const TarNode* node = findFile(path);
    return node ? new KResourceFileTar(stream_, node->dataOffset, node->size) : nullptr;
}

bool KResourceArchiveTar::loadFile(const char* path, char** data, int32_t* size) {
    const TarNode* node = findFile(path);
    // An entry cut off by the end of the file would only read short.
    if (!node || node->dataOffset + static_cast<int64_t>(node->size) > length_)
        return false;
    char* buffer = new (std::nothrow) char[static_cast<size_t>(node->size) + 1];
    if (!buffer)
        return false;
    std::FILE* file = stream_.get();
    size_t want = static_cast<size_t>(node->size);
    if (fseeko(file, node->dataOffset, SEEK_SET) != 0 || std::fread(buffer, 1, want, file) != want) {
        delete[] buffer;
        return false;
    }
    buffer[want] = 0;
    *data = buffer;
    *size = node->size;
    return true;
}

void KResourceArchiveTar::listFiles(FileCallback callback, void* user) {
    std::string path;
    listTree(root_, path, callback, user);
}

int KResourceFileTar::seek(int origin, int32_t offset) {
    position_ = seekTarget(origin, offset, position_, size_);
    return K_RES_OK;
}

int KResourceFileTar::tell(int32_t* position) {
    *position = position_;
    return K_RES_OK;
}

int KResourceFileTar::read(void* buffer, uint32_t length) {
    if (!stream_)
        return K_RES_ERR_UNSUPPORTED;
    char* out = static_cast<char*>(buffer);
    if (position_ < 0) {
        std::memset(out, 0, length);
        return K_RES_ERR_IO;
    }
    int64_t available = static_cast<int64_t>(size_) - position_;
    size_t want = available <= 0 ? 0 : (available < length ? static_cast<size_t>(available) : length);
    size_t got = 0;
    if (want && fseeko(stream_.get(), static_cast<off_t>(dataOffset_) + position_, SEEK_SET) == 0)
        got = std::fread(out, 1, want, stream_.get());
    std::memset(out + got, 0, length - got);
    position_ = clampPosition(static_cast<int64_t>(position_) + length);
    return got == length ? K_RES_OK : K_RES_ERR_IO;
}

} // namespace glint
