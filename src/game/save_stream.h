// The byte stream of every file that keeps the player's progress: built
// whole in memory and written in one piece, or read whole and consumed
// from the front. Every byte is scrambled by its file offset, and the
// content is cut into sections closed by checkpoints (a raw 4-byte check
// value), so that a damaged or edited file is found at its first broken
// section.
//
// Each field routine serves both directions: it writes the referenced
// variable in writing mode and fills it in reading mode. A routine returns
// false once the stream fails (the buffer ends, a limit is exceeded, a
// checkpoint does not match); callers stop at the first false. A failed
// stream stays failed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "script/value.h"

namespace glint {

class SaveTrace;
struct SaveWorld;

constexpr int32_t kSaveFormatVersion = 114;
constexpr int32_t kSaveHeaderSize = 16;
constexpr int32_t kMaxSaveBlock = 65535;
// Files above this size are refused as damaged: no player file comes near it.
constexpr size_t kMaxSaveFileSize = 256u << 20;

// Results of openRead.
constexpr int kSaveOpened = 0;
constexpr int kSaveMissing = -1;
constexpr int kSaveDamaged = -2;

// The stored form of the plain byte c at file offset n, and back.
uint8_t scrambleByte(uint8_t c, uint32_t offset);
uint8_t unscrambleByte(uint8_t stored, uint32_t offset);
// The running check after one more plain byte.
uint32_t nextCheckValue(uint32_t check, uint8_t c);

class SaveStream {
public:
    SaveStream();
    SaveStream(const SaveStream&) = delete;
    SaveStream& operator=(const SaveStream&) = delete;

    // Reads the whole file and its header: kSaveOpened, kSaveMissing (does
    // not open) or kSaveDamaged (short read, unequal random words, failed
    // header checkpoint).
    int openRead(const std::string& path);
    // The same over bytes in memory (the path stays as given).
    int openBytes(std::vector<uint8_t> bytes, const std::string& path = std::string());
    // openRead; a file that fails is set aside as path + ".damaged" and,
    // with backups (the game's BuildSupportIngameSaves), path + ".tmp" is
    // put in its place and read.
    int openReadWithBackup(const std::string& path);
    // Starts an empty file in memory with its header.
    bool beginWrite(const std::string& path, int32_t dataVersion);
    // Writing: puts the buffer on disk, replacing the old file whole (see
    // save_stream.cpp); false when it cannot be written, and then the old
    // file stays. Reading: nothing, true.
    bool commit();

    bool checkpoint();
    // Writing: bytes as they are stored in a file, copied to the same
    // offsets of this one. Scrambling and checks depend only on offsets, so
    // a section copied whole stays valid; it adds nothing to the running
    // check.
    bool storedBytes(const uint8_t* data, int32_t size);

    // Fields. A block is at most kMaxSaveBlock bytes; an int is a varint
    // from format version 111 on, a 4-byte word before.
    bool byteField(uint8_t& v);
    bool shortField(int16_t& v);
    bool wordField(int32_t& v);
    bool floatField(float& v);
    bool doubleField(double& v);
    bool blockField(void* data, int32_t size);
    bool intField(int32_t& v);
    // An interned name; null is the absent name (length -1).
    bool nameField(Symbol*& name);

    // Moves to the start of a section (a writer overwriting a placeholder,
    // a reader following an offset): its check starts from there. The
    // buffer never shrinks.
    void seek(int32_t position) {
        position_ = position;
        sectionStart_ = position;
        checkValue = static_cast<uint32_t>(position);
    }
    int32_t position() const { return position_; }
    size_t size() const { return buffer_.size(); }
    const std::vector<uint8_t>& bytes() const { return buffer_; }
    const std::string& path() const { return path_; }
    bool writing() const { return writing_; }
    bool reading() const { return !writing_; }
    bool failed() const { return failed_; }
    // The file offset of the section in which reading failed, or -1.
    int64_t failedSection() const { return failedSection_; }

    // Reading only: parse everything, resolve nothing, change nothing.
    bool probe = false;
    // Reading only: checkpoints are consumed without being compared. Only
    // the fuzz harness sets it, to reach the records behind the checks.
    bool ignoreChecks = false;
    // Read with backups: openReadWithBackup restores path + ".tmp", and
    // commit keeps the previous good file as path + ".tmp".
    bool backups = false;
    int32_t formatVersion = kSaveFormatVersion;
    int32_t dataVersion = kSaveFormatVersion;
    uint32_t checkValue = 0;
    // Where references are resolved; null resolves nothing (as probe).
    SaveWorld* world = nullptr;
    // Receives what is read, for a readable listing; null normally.
    SaveTrace* trace = nullptr;

    // Numbers of anonymous arrays and class instances met in this stream
    // (writing), or what the numbers gave (reading; null for content read
    // into nothing). Instance tables are per class, keyed by its names.
    std::map<const void*, int32_t> arrayNumbers;
    std::vector<ArrayObject*> arrayTable;
    using ClassKey = std::pair<Symbol*, Symbol*>;
    std::map<const void*, int32_t> instanceNumbers;
    std::map<ClassKey, int32_t> instanceCounts;
    std::map<ClassKey, std::vector<ScriptInstance*>> instanceTables;
    void clearTables();

    // Writing: method values met and left out (a method is bound to one
    // instance of this run, and no record can bring that back), and the
    // name of the first, for the one log line of a save.
    int32_t methodValuesLeftOut = 0;
    std::string firstMethodLeftOut;
    void leaveOutMethod(const Symbol* name);

    // Marks the stream failed (a record found something it cannot store).
    bool fail();

private:
    bool put(const void* data, int32_t size);
    bool take(void* data, int32_t size);
    bool raw(void* data, int32_t size);
    bool readHeader();
    void reset(bool writing);

    std::string path_;
    std::vector<uint8_t> buffer_;
    int32_t position_ = 0;
    int32_t sectionStart_ = 0;
    bool writing_ = false;
    bool failed_ = false;
    int64_t failedSection_ = -1;
};

} // namespace glint
