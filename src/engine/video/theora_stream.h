// The Theora stream of an Ogg file: the codec headers found among the
// file's streams (any others, Vorbis included, are passed over), then the
// frames decoded one by one from the stream's packets.
#pragma once

#include "engine/video/video_source.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstdint>

namespace glint {

// Pictures larger than this in either direction are refused: a hostile
// header could otherwise ask for gigabytes of frame buffers.
constexpr uint32_t kMaxVideoDimension = 4096;

enum class KTheoraHeaders {
    Ok,
    NoVideo,      // no stream accepted the Theora identification header
    Corrupt,      // a header packet was refused
    EndOfFile,    // the file ended before the three headers
    Unsupported,  // a picture size or frame rate that cannot be shown
};

// One decoded picture; the planes stay valid until the next decode.
struct KTheoraPicture {
    th_ycbcr_buffer planes;
    double startTime = 0; // seconds
    int64_t frame = 0;    // Theora frame number
};

class KTheoraStream {
public:
    explicit KTheoraStream(KVideoSource& source);
    ~KTheoraStream();
    KTheoraStream(const KTheoraStream&) = delete;
    KTheoraStream& operator=(const KTheoraStream&) = delete;

    // Reads from the start of the source up to and including the three
    // Theora headers; Ok creates the decoder.
    KTheoraHeaders readHeaders();
    // Reads the whole file once for its length: the largest t + t / (n + 1)
    // over the video pages, t being a page's granule time and n its frame
    // number. Rewinds afterwards.
    double scanDuration();
    // The next frame; false at the end of the file.
    bool decodeFrame(KTheoraPicture& picture);
    // Back to the first frame: source, sync state, stream and a fresh
    // decoder (so that frame numbers count from the start again).
    void rewind();

    const th_info& info() const { return info_; }
    // Seconds per frame.
    double framePeriod() const { return static_cast<double>(info_.fps_denominator) / info_.fps_numerator; }

private:
    bool feed();
    bool takePage(ogg_page& page);
    bool findVideoStream(int& headers);
    KTheoraHeaders readRemainingHeaders(int headers);
    bool acceptsIdentification(ogg_stream_state& trial);
    bool startDecoder();
    void resetHeaderRecords();

    KVideoSource& source_;
    ogg_sync_state sync_;
    ogg_stream_state stream_;
    bool haveStream_ = false;
    th_info info_;
    th_comment comment_;
    th_setup_info* setup_ = nullptr;
    th_dec_ctx* decoder_ = nullptr;
};

} // namespace glint
