#include "game/save_stream.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "engine/system/durable_file.h"
#include "resource/file_util.h"
#include "script/symbol.h"

namespace glint {

namespace {

constexpr size_t kReserve = 1u << 20;

uint8_t scrambleKey(uint32_t offset) {
    uint32_t b = offset * 139u + 25601u;
    return static_cast<uint8_t>(b ^ (b >> 8) ^ (b >> 16) ^ (b >> 24));
}

int rotation(uint8_t k) { return ((k >> 4) ^ k) & 7; }

uint8_t rotateLeft(uint8_t v, int s) { return s ? static_cast<uint8_t>((v << s) | (v >> (8 - s))) : v; }
uint8_t rotateRight(uint8_t v, int s) { return s ? static_cast<uint8_t>((v >> s) | (v << (8 - s))) : v; }

// Any 28-bit number will do: only the equality of its two copies is read.
int32_t headerRandom() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<int32_t>(generator() & 0x0FFFFFFF);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, bool& opened) {
    std::FILE* file = openFileUtf8(path.c_str(), "rb");
    opened = file != nullptr;
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && static_cast<size_t>(size) <= kMaxSaveFileSize && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

} // namespace

uint8_t scrambleByte(uint8_t c, uint32_t offset) {
    uint8_t k = scrambleKey(offset);
    return rotateLeft(static_cast<uint8_t>(c ^ k), rotation(k));
}

uint8_t unscrambleByte(uint8_t stored, uint32_t offset) {
    uint8_t k = scrambleKey(offset);
    return static_cast<uint8_t>(rotateRight(stored, rotation(k)) ^ k);
}

uint32_t nextCheckValue(uint32_t check, uint8_t c) {
    uint32_t v = c;
    return (((check + v) ^ (v << 8)) + (v << 16)) ^ (v << 24);
}

SaveStream::SaveStream() = default;

void SaveStream::reset(bool writing) {
    writing_ = writing;
    position_ = 0;
    sectionStart_ = 0;
    checkValue = 0;
    failed_ = false;
    failedSection_ = -1;
    probe = false;
    clearTables();
}

void SaveStream::clearTables() {
    arrayNumbers.clear();
    arrayTable.clear();
    instanceNumbers.clear();
    instanceCounts.clear();
    instanceTables.clear();
}

void SaveStream::leaveOutMethod(const Symbol* name) {
    if (methodValuesLeftOut++ == 0)
        firstMethodLeftOut = name ? name->text : "";
}

bool SaveStream::fail() {
    if (!failed_ && !writing_)
        failedSection_ = sectionStart_;
    failed_ = true;
    return false;
}

int SaveStream::openRead(const std::string& path) {
    path_ = path;
    std::vector<uint8_t> bytes;
    bool opened = false;
    bool complete = readWholeFile(path, bytes, opened);
    if (!opened) {
        buffer_.clear();
        reset(false);
        return kSaveMissing;
    }
    if (!complete) {
        buffer_.clear();
        reset(false);
        fail();
        return kSaveDamaged;
    }
    return openBytes(std::move(bytes), path);
}

int SaveStream::openBytes(std::vector<uint8_t> bytes, const std::string& path) {
    path_ = path;
    buffer_ = std::move(bytes);
    reset(false);
    return readHeader() ? kSaveOpened : kSaveDamaged;
}

bool SaveStream::readHeader() {
    int32_t first = 0, second = 0, version = 0;
    if (!wordField(first) || !wordField(second) || !wordField(version))
        return false;
    if (first != second)
        return fail();
    if (version > 65535) {
        dataVersion = version >> 16;
        formatVersion = version & 0xFFFF;
    } else {
        dataVersion = formatVersion = version;
    }
    return checkpoint();
}

int SaveStream::openReadWithBackup(const std::string& path) {
    int result = openRead(path);
    if (result == kSaveOpened)
        return result;
    setAsideDamagedFile(path);
    if (!backups)
        return result;
    // The backup is restored whole, so a crash here leaves no half copy.
    SaveStream backup;
    if (backup.openRead(path + ".tmp") != kSaveMissing)
        replaceFileDurably(path, backup.bytes().data(), backup.size());
    result = openRead(path);
    if (result != kSaveOpened)
        std::remove(path.c_str());
    return result;
}

bool SaveStream::beginWrite(const std::string& path, int32_t newDataVersion) {
    path_ = path;
    buffer_.clear();
    // Reading takes the file's own buffer; only a file being built needs
    // room to grow.
    buffer_.reserve(kReserve);
    reset(true);
    formatVersion = kSaveFormatVersion;
    dataVersion = newDataVersion;
    int32_t random = headerRandom();
    int32_t version = (dataVersion << 16) + formatVersion;
    return wordField(random) && wordField(random) && wordField(version) && checkpoint();
}

// Each file is replaced whole (written beside it, flushed, renamed over
// it), so a crash leaves the old file or the new one. With backups, the
// ".tmp" copy is refreshed only while the file in place reads back well,
// so that it always holds a good earlier state.
bool SaveStream::commit() {
    if (!writing_)
        return true;
    if (failed_)
        return false;
    if (backups) {
        SaveStream current;
        current.backups = true;
        if (current.openReadWithBackup(path_) == kSaveOpened &&
            !replaceFileDurably(path_ + ".tmp", buffer_.data(), buffer_.size()))
            return false;
    }
    return replaceFileDurably(path_, buffer_.data(), buffer_.size());
}

bool SaveStream::checkpoint() {
    if (failed_)
        return false;
    uint32_t expected = checkValue;
    uint8_t word[4];
    if (writing_) {
        for (int i = 0; i < 4; ++i) word[i] = static_cast<uint8_t>(expected >> (8 * i));
        if (!raw(word, 4))
            return false;
    } else {
        if (!raw(word, 4))
            return false;
        uint32_t stored = word[0] | word[1] << 8 | word[2] << 16 | static_cast<uint32_t>(word[3]) << 24;
        if (stored != expected && !ignoreChecks)
            return fail();
    }
    checkValue = static_cast<uint32_t>(position_);
    sectionStart_ = position_;
    return true;
}

bool SaveStream::storedBytes(const uint8_t* data, int32_t size) {
    if (!writing_ || failed_ || size < 0)
        return fail();
    return raw(const_cast<uint8_t*>(data), size);
}

bool SaveStream::raw(void* data, int32_t size) {
    auto* bytes = static_cast<uint8_t*>(data);
    if (position_ < 0)
        return fail();
    size_t end = static_cast<size_t>(position_) + static_cast<size_t>(size);
    if (writing_) {
        if (end > 0x7FFFFFFF)
            return fail();
        if (end > buffer_.size())
            buffer_.resize(end);
        std::memcpy(buffer_.data() + position_, bytes, static_cast<size_t>(size));
    } else {
        if (end > buffer_.size())
            return fail();
        std::memcpy(bytes, buffer_.data() + position_, static_cast<size_t>(size));
    }
    position_ = static_cast<int32_t>(end);
    return true;
}

bool SaveStream::put(const void* data, int32_t size) {
    if (failed_ || position_ < 0)
        return fail();
    size_t end = static_cast<size_t>(position_) + static_cast<size_t>(size);
    if (end > 0x7FFFFFFF)
        return fail();
    if (end > buffer_.size())
        buffer_.resize(end);
    const auto* plain = static_cast<const uint8_t*>(data);
    uint8_t* out = buffer_.data() + position_;
    for (int32_t i = 0; i < size; ++i) {
        checkValue = nextCheckValue(checkValue, plain[i]);
        out[i] = scrambleByte(plain[i], static_cast<uint32_t>(position_ + i));
    }
    position_ = static_cast<int32_t>(end);
    return true;
}

bool SaveStream::take(void* data, int32_t size) {
    if (failed_ || position_ < 0 || static_cast<size_t>(position_) + static_cast<size_t>(size) > buffer_.size())
        return fail();
    auto* plain = static_cast<uint8_t*>(data);
    const uint8_t* in = buffer_.data() + position_;
    for (int32_t i = 0; i < size; ++i) {
        plain[i] = unscrambleByte(in[i], static_cast<uint32_t>(position_ + i));
        checkValue = nextCheckValue(checkValue, plain[i]);
    }
    position_ += size;
    return true;
}

bool SaveStream::byteField(uint8_t& v) { return writing_ ? put(&v, 1) : take(&v, 1); }

bool SaveStream::shortField(int16_t& v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    if (writing_)
        return put(b, 2);
    if (!take(b, 2))
        return false;
    v = static_cast<int16_t>(b[0] | b[1] << 8);
    return true;
}

bool SaveStream::wordField(int32_t& v) {
    auto u = static_cast<uint32_t>(v);
    uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                    static_cast<uint8_t>(u >> 24)};
    if (writing_)
        return put(b, 4);
    if (!take(b, 4))
        return false;
    v = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool SaveStream::floatField(float& v) {
    int32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    if (!wordField(bits))
        return false;
    std::memcpy(&v, &bits, 4);
    return true;
}

bool SaveStream::doubleField(double& v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(bits >> (8 * i));
    if (writing_)
        return put(b, 8);
    if (!take(b, 8))
        return false;
    bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(b[i]) << (8 * i);
    std::memcpy(&v, &bits, 8);
    return true;
}

bool SaveStream::blockField(void* data, int32_t size) {
    if (size < 0 || size > kMaxSaveBlock)
        return fail();
    return writing_ ? put(data, size) : take(data, size);
}

// Seven bits per byte, lowest first; the last byte has bit 7 set and
// carries the sign in bit 6.
bool SaveStream::intField(int32_t& v) {
    if (formatVersion < 111)
        return wordField(v);
    if (writing_) {
        int64_t rest = v;
        uint8_t bytes[5];
        int n = 0;
        while (rest < -64 || rest > 63) {
            bytes[n++] = static_cast<uint8_t>(rest & 0x7F);
            rest >>= 7;
        }
        bytes[n++] = static_cast<uint8_t>((rest & 0x7F) | 0x80);
        return put(bytes, n);
    }
    uint32_t collected = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        uint8_t b = 0;
        if (!take(&b, 1))
            return false;
        if (b & 0x80) {
            int32_t last = (b & 0x40) ? static_cast<int32_t>(b & 0x7F) - 0x80 : (b & 0x7F);
            v = static_cast<int32_t>(collected | (static_cast<uint32_t>(last) << shift));
            return true;
        }
        collected |= static_cast<uint32_t>(b) << shift;
    }
    return fail(); // no int takes more than five bytes
}

bool SaveStream::nameField(Symbol*& name) {
    int32_t length = name ? name->length : -1;
    if (!intField(length))
        return false;
    if (length < -1 || length > kMaxSaveBlock)
        return fail();
    if (writing_)
        return length <= 0 || put(name->text, length);
    if (length == -1) {
        name = nullptr;
        return true;
    }
    char text[kMaxSaveBlock];
    if (!take(text, length))
        return false;
    name = intern(text, length);
    return true;
}

} // namespace glint
