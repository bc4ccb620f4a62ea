#include "engine/system/http_download.h"

#include "engine/images/image_apart.h"
#include "engine/system/log.h"
#include "engine/system/thread.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <curl/curl.h>

namespace glint {

namespace {

size_t writeResponse(char* data, size_t size, size_t count, void* download) {
    return static_cast<KDownload*>(download)->append(data, size * count);
}

// Called often while a transfer runs, waiting included: a non-zero answer
// ends it.
int checkCancelled(void* cancelled, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancelled)->load() ? 1 : 0;
}

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

size_t KDownload::append(const char* data, size_t size) {
    size_t taken = std::min(size, kDownloadBufferSize - 1 - used_);
    std::memcpy(buffer_.get() + used_, data, taken);
    used_ += taken;
    buffer_[used_] = 0;
    return taken;
}

void KDownload::transfer() {
    CURL* handle = curl_easy_init();
    if (!handle) {
        result = CURLE_FAILED_INIT;
        return;
    }
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kDownloadConnectSeconds);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, kDownloadTimeLimitSeconds);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L); // signals would reach the wrong thread
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeResponse);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, checkCancelled);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &cancelled_);
    result = curl_easy_perform(handle);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &responseCode);
    curl_easy_cleanup(handle);
    if (result != CURLE_OK && !cancelled_)
        logMessage("Network: download of %s failed: %s (%d), WARNING", url.c_str(), curl_easy_strerror(CURLcode(result)),
                   result);
}

// The codec follows the extension after the URL's last "."; anything else
// is tried as JPEG. A transfer that failed part-way is not decoded: its
// picture would be cut short.
void KDownload::decodeImage() {
    if (result != CURLE_OK)
        return;
    int format = imageFormatForPath(url.c_str());
    decoded = decodeImageApart(format < 0 ? K_IMAGE_JPG : format, buffer_.get(), used_, info, pixels);
}

uint64_t KDownloadList::start(const char* url, KDownloadKind kind) {
    if (!url || !*url)
        return 0;
    initCurlOnce();
    std::lock_guard<std::mutex> hold(lock_);
    running_.push_back(std::make_unique<KDownload>(++lastId_, url, kind));
    KDownload* download = running_.back().get();
    // The worker hands itself over under the lock, so it cannot finish
    // before its thread is stored.
    try {
        download->thread_ = startThread([this, download] { run(download); });
    } catch (const std::system_error& error) {
        logMessage("Network: no thread for the download of %s: %s, ERROR", url, error.what());
        running_.pop_back();
        return 0;
    }
    return download->id;
}

void KDownloadList::run(KDownload* download) {
    download->transfer();
    if (download->kind == KDownloadKind::Image && !download->cancelled_)
        download->decodeImage();
    std::lock_guard<std::mutex> hold(lock_);
    auto found = std::find_if(running_.begin(), running_.end(), [&](auto& d) { return d.get() == download; });
    done_.push_back(std::move(*found));
    running_.erase(found);
    finished_.notify_all();
}

std::vector<std::unique_ptr<KDownload>> KDownloadList::takeFinished() {
    std::vector<std::unique_ptr<KDownload>> taken;
    {
        std::lock_guard<std::mutex> hold(lock_);
        taken.swap(done_);
    }
    for (auto& download : taken)
        download->thread_.join();
    return taken;
}

void KDownloadList::waitForRunning() {
    std::unique_lock<std::mutex> hold(lock_);
    finished_.wait(hold, [this] { return running_.empty(); });
}

void KDownloadList::cancelAll() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        for (auto& download : running_)
            download->cancelled_ = true;
    }
    waitForRunning();
    takeFinished();
}

} // namespace glint
