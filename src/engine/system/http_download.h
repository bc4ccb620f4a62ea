// Downloads of URLs that scripts give, each on a worker thread of its own
// with libcurl. A finished download waits in the finished queue until the
// main thread takes it over; the list of running downloads and that queue
// share one lock.
//
//   KDownloadList downloads;
//   uint64_t id = downloads.start("http://example.org/news.txt", KDownloadKind::Text);
//   ... each update:
//   for (auto& done : downloads.takeFinished()) use(done->id, done->result, done->text());
//
// Only http and https are spoken (libcurl knows file:// and more; a script
// must not read local files through it), redirects included. A transfer
// gives up after kDownloadConnectSeconds without a connection and after
// kDownloadTimeLimitSeconds in all, so a stalled server cannot keep a
// worker. Destroying the list ends the transfers in flight and waits for
// their threads.
#pragma once

#include "engine/images/image_handler.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace glint {

// The response buffer: at most 65535 bytes of response and a zero byte. A
// longer response ends the transfer with a write error.
constexpr size_t kDownloadBufferSize = 65536;
constexpr long kDownloadConnectSeconds = 5;
constexpr long kDownloadTimeLimitSeconds = 30;

enum class KDownloadKind : uint8_t { Text = 0, Image = 1 };

class KDownload {
public:
    KDownload(uint64_t id, const char* url, KDownloadKind kind) : id(id), url(url), kind(kind) {}

    // The response as text, ended by the zero byte.
    const char* text() const { return buffer_.get(); }
    // Stores what fits of a piece of the response; returns the bytes taken.
    size_t append(const char* data, size_t size);

    const uint64_t id;
    const std::string url;
    const KDownloadKind kind;
    int result = 0;        // the libcurl result code
    long responseCode = 0; // the HTTP status; 0 when no response arrived
    // An image download whose transfer succeeded and whose response
    // decoded: the picture (width x height words, or DXT5 blocks).
    bool decoded = false;
    KImageInfo info;
    std::vector<uint32_t> pixels;

private:
    friend class KDownloadList;
    void transfer();
    void decodeImage();

    std::unique_ptr<char[]> buffer_{new char[kDownloadBufferSize]{}};
    size_t used_ = 0;
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
};

class KDownloadList {
public:
    KDownloadList() = default;
    ~KDownloadList() { cancelAll(); }
    KDownloadList(const KDownloadList&) = delete;
    KDownloadList& operator=(const KDownloadList&) = delete;

    // Starts a download on a thread of its own and returns its id; an empty
    // URL (or no thread to be had) starts nothing and gives 0.
    uint64_t start(const char* url, KDownloadKind kind);
    // The downloads finished since the last call, in the order they
    // finished; their threads have ended.
    std::vector<std::unique_ptr<KDownload>> takeFinished();
    // Blocks until no download runs any more (each ends by its time limit).
    void waitForRunning();
    // Ends every transfer at once, waits for the threads and drops every
    // download, finished or not.
    void cancelAll();

private:
    void run(KDownload* download);

    std::mutex lock_;
    std::condition_variable finished_;
    std::vector<std::unique_ptr<KDownload>> running_;
    std::vector<std::unique_ptr<KDownload>> done_;
    uint64_t lastId_ = 0;
};

} // namespace glint
