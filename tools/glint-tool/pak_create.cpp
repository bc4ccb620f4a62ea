// Writes "data.pak" from a game folder: every file under GAME_DIR/data, as
// zip (deflated, optionally enciphered) or as GNU tar.
#include "pak_create.h"
#include "tar_writer.h"

#include "engine/resources/resource_archive.h"
#include "engine/resources/zip_crypto.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <minizip/zip.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

namespace glint::tool {

namespace {

namespace fs = std::filesystem;

int fail(const std::string& message) {
    std::fprintf(stderr, "glint-tool pak: %s\n", message.c_str());
    return 1;
}

constexpr int kProgressStep = 100;
constexpr size_t kEngineNameMax = 259;

struct SourceFile {
    std::string name; // relative to the game folder, "/" separated
    fs::path path;
};

bool readWhole(const fs::path& path, std::string& data) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    data.clear();
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        data.append(chunk, got);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

int64_t modificationTime(const fs::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<int64_t>(status.st_mtime) : 0;
}

// Every regular file under GAME_DIR/data, sorted by name so that the same
// folder always gives the same archive.
// The archive itself is left out when it is written inside the folder.
bool collectFiles(const fs::path& gameDir, const fs::path& out, std::vector<SourceFile>& files) {
    std::error_code error;
    fs::recursive_directory_iterator walk(gameDir / "data", error), end;
    for (; !error && walk != end; walk.increment(error)) {
        std::error_code ignored;
        if (walk->is_regular_file(error) && !fs::equivalent(walk->path(), out, ignored))
            files.push_back({walk->path().lexically_relative(gameDir).generic_string(), walk->path()});
    }
    std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    return !error;
}

tm_zip zipDate(int64_t mtime) {
    std::time_t seconds = static_cast<std::time_t>(mtime);
    std::tm local{};
    localtime_r(&seconds, &local);
    tm_zip date{};
    date.tm_sec = static_cast<uInt>(local.tm_sec);
    date.tm_min = static_cast<uInt>(local.tm_min);
    date.tm_hour = static_cast<uInt>(local.tm_hour);
    date.tm_mday = static_cast<uInt>(local.tm_mday);
    date.tm_mon = static_cast<uInt>(local.tm_mon);
    date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    return date;
}

// Raw deflate data of the whole text.
bool deflateWhole(const std::string& data, std::string& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return done;
}

// The encryption header (random bytes ending in the crc's high byte, which
// readers check the password against) and the deflated data, enciphered.
bool encipheredEntry(const std::string& data, uLong crc, std::string& out) {
    std::string deflated;
    if (!deflateWhole(data, deflated))
        return false;
    std::random_device random;
    out.assign(kZipCryptoHeaderSize, 0);
    for (size_t i = 0; i + 1 < kZipCryptoHeaderSize; ++i)
        out[i] = static_cast<char>(random() & 0xff);
    out[kZipCryptoHeaderSize - 1] = static_cast<char>(crc >> 24);
    out += deflated;
    ZipCrypto(kResourceArchivePassword).encrypt(reinterpret_cast<unsigned char*>(out.data()), out.size());
    return true;
}

// Writes one archive kind entry by entry; false on a write error.
class ArchiveWriter {
public:
    virtual ~ArchiveWriter() = default;
    virtual bool add(const std::string& name, const std::string& data, int64_t mtime) = 0;
    virtual bool finish() = 0;
};

class ZipArchiveWriter : public ArchiveWriter {
public:
    ZipArchiveWriter(zipFile zip, bool encrypt) : zip_(zip), encrypt_(encrypt) {}
    ~ZipArchiveWriter() override {
        if (zip_)
            zipClose(zip_, nullptr);
    }
    bool add(const std::string& name, const std::string& data, int64_t mtime) override {
        zip_fileinfo info{};
        info.tmz_date = zipDate(mtime);
        return encrypt_ ? addEncrypted(name, data, info) : addDeflated(name, data, info);
    }
    bool finish() override {
        int result = zipClose(zip_, nullptr);
        zip_ = nullptr;
        return result == ZIP_OK;
    }

private:
    bool addDeflated(const std::string& name, const std::string& data, const zip_fileinfo& info) {
        if (zipOpenNewFileInZip(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION) != ZIP_OK)
            return false;
        bool written = data.empty() ||
                       zipWriteInFileInZip(zip_, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
        return zipCloseFileInZip(zip_) == ZIP_OK && written;
    }

    // The system's minizip cannot encipher, so the entry is deflated and
    // enciphered here and handed over raw, flagged as encrypted.
    bool addEncrypted(const std::string& name, const std::string& data, const zip_fileinfo& info) {
        uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        std::string stored;
        if (!encipheredEntry(data, crc, stored))
            return false;
        if (zipOpenNewFileInZip4(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                 Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                                 kEncryptedFlag) != ZIP_OK)
            return false;
        bool written = zipWriteInFileInZip(zip_, stored.data(), static_cast<unsigned>(stored.size())) == ZIP_OK;
        return zipCloseFileInZipRaw(zip_, data.size(), crc) == ZIP_OK && written;
    }

    static constexpr uLong kEncryptedFlag = 1;

    zipFile zip_;
    bool encrypt_;
};

class TarArchiveWriter : public ArchiveWriter {
public:
    explicit TarArchiveWriter(std::FILE* out) : out_(out), writer_(out) {}
    ~TarArchiveWriter() override {
        if (out_)
            std::fclose(out_);
    }
    bool add(const std::string& name, const std::string& data, int64_t mtime) override {
        return writer_.addFile(name, data, mtime);
    }
    bool finish() override {
        bool ok = writer_.finish();
        ok = std::fclose(out_) == 0 && ok;
        out_ = nullptr;
        return ok;
    }

private:
    std::FILE* out_;
    TarWriter writer_;
};

std::unique_ptr<ArchiveWriter> openWriter(const PakRequest& options) {
    if (options.tar) {
        std::FILE* out = std::fopen(options.out.c_str(), "wb");
        return out ? std::make_unique<TarArchiveWriter>(out) : nullptr;
    }
    zipFile zip = zipOpen(options.out.c_str(), APPEND_STATUS_CREATE);
    return zip ? std::make_unique<ZipArchiveWriter>(zip, options.encrypt) : nullptr;
}

int writeArchive(const PakRequest& options, const std::vector<SourceFile>& files, ArchiveWriter& writer) {
    uint64_t bytes = 0;
    std::string data;
    int done = 0;
    for (const SourceFile& file : files) {
        if (!readWhole(file.path, data))
            return fail("cannot read '" + file.path.string() + "'");
        if (file.name.size() > kEngineNameMax)
            std::fprintf(stderr, "glint-tool pak: '%s' is longer than %zu characters; the engine cannot find it\n",
                         file.name.c_str(), kEngineNameMax);
        if (!writer.add(file.name, data, modificationTime(file.path)))
            return fail("cannot write '" + options.out + "'");
        bytes += data.size();
        if (++done % kProgressStep == 0)
            std::printf("pak: %d of %zu files\n", done, files.size());
    }
    if (!writer.finish())
        return fail("cannot write '" + options.out + "'");
    std::printf("pak: wrote '%s': %zu files, %llu bytes (%s%s)\n", options.out.c_str(), files.size(),
                static_cast<unsigned long long>(bytes), options.tar ? "tar" : "zip, deflated",
                options.encrypt ? ", encrypted" : "");
    return 0;
}

} // namespace

int createPak(const PakRequest& options) {
    std::error_code error;
    if (!fs::is_directory(fs::path(options.gameDir) / "data", error))
        return fail("no folder '" + options.gameDir + "/data'");
    std::vector<SourceFile> files;
    if (!collectFiles(options.gameDir, options.out, files))
        return fail("cannot list '" + options.gameDir + "/data'");
    std::unique_ptr<ArchiveWriter> writer = openWriter(options);
    if (!writer)
        return fail("cannot write '" + options.out + "'");
    int status = writeArchive(options, files, *writer);
    writer.reset();
    if (status != 0)
        fs::remove(options.out, error); // no half-written archive is left behind
    return status;
}

} // namespace glint::tool
