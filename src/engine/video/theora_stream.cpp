#include "engine/video/theora_stream.h"

#include <cstring>

namespace glint {

namespace {

constexpr uint32_t kFeedBytes = 4096;

bool showable(const th_info& info) {
    return info.fps_numerator != 0 && info.fps_denominator != 0 && info.frame_width <= kMaxVideoDimension &&
           info.frame_height <= kMaxVideoDimension && info.pic_width >= 2 && info.pic_height >= 1 &&
           info.pic_x + info.pic_width <= info.frame_width && info.pic_y + info.pic_height <= info.frame_height;
}

} // namespace

KTheoraStream::KTheoraStream(KVideoSource& source) : source_(source) {
    ogg_sync_init(&sync_);
    th_info_init(&info_);
    th_comment_init(&comment_);
}

KTheoraStream::~KTheoraStream() {
    if (decoder_)
        th_decode_free(decoder_);
    if (setup_)
        th_setup_free(setup_);
    if (haveStream_)
        ogg_stream_clear(&stream_);
    th_comment_clear(&comment_);
    th_info_clear(&info_);
    ogg_sync_clear(&sync_);
}

bool KTheoraStream::feed() {
    char* buffer = ogg_sync_buffer(&sync_, kFeedBytes);
    if (!buffer)
        return false;
    uint32_t count = source_.read(buffer, kFeedBytes);
    ogg_sync_wrote(&sync_, static_cast<long>(count));
    return count > 0;
}

// The next complete page, feeding data as needed; false at the end of the
// file.
bool KTheoraStream::takePage(ogg_page& page) {
    for (;;) {
        int result = ogg_sync_pageout(&sync_, &page);
        if (result > 0)
            return true;
        if (result == 0 && !feed())
            return false;
    }
}

// A header that was refused may have filled part of the records.
void KTheoraStream::resetHeaderRecords() {
    th_info_clear(&info_);
    th_info_init(&info_);
    th_comment_clear(&comment_);
    th_comment_init(&comment_);
    if (setup_)
        th_setup_free(setup_);
    setup_ = nullptr;
}

bool KTheoraStream::acceptsIdentification(ogg_stream_state& trial) {
    ogg_packet packet;
    if (ogg_stream_packetout(&trial, &packet) != 1)
        return false;
    if (th_decode_headerin(&info_, &comment_, &setup_, &packet) > 0)
        return true;
    resetHeaderRecords();
    return false;
}

// Every stream starts with a page of its own; the first one whose first
// packet is a Theora identification header is the video. The search ends
// at the first page that begins no stream. False at the end of the file.
bool KTheoraStream::findVideoStream(int& headers) {
    ogg_page page;
    while (takePage(page)) {
        if (!ogg_page_bos(&page)) {
            if (haveStream_)
                ogg_stream_pagein(&stream_, &page);
            return true;
        }
        ogg_stream_state trial;
        ogg_stream_init(&trial, ogg_page_serialno(&page));
        ogg_stream_pagein(&trial, &page);
        if (!haveStream_ && acceptsIdentification(trial)) {
            std::memcpy(&stream_, &trial, sizeof trial);
            haveStream_ = true;
            headers = 1;
        } else {
            ogg_stream_clear(&trial);
        }
    }
    return false;
}

KTheoraHeaders KTheoraStream::readRemainingHeaders(int headers) {
    ogg_packet packet;
    ogg_page page;
    while (headers < 3) {
        int result = ogg_stream_packetout(&stream_, &packet);
        if (result < 0)
            return KTheoraHeaders::Corrupt;
        if (result > 0) {
            if (th_decode_headerin(&info_, &comment_, &setup_, &packet) <= 0)
                return KTheoraHeaders::Corrupt;
            ++headers;
            continue;
        }
        if (!takePage(page))
            return KTheoraHeaders::EndOfFile;
        ogg_stream_pagein(&stream_, &page);
    }
    return KTheoraHeaders::Ok;
}

KTheoraHeaders KTheoraStream::readHeaders() {
    int headers = 0;
    bool searched = findVideoStream(headers);
    if (!haveStream_)
        return KTheoraHeaders::NoVideo;
    if (!searched)
        return KTheoraHeaders::EndOfFile;
    KTheoraHeaders result = readRemainingHeaders(headers);
    if (result != KTheoraHeaders::Ok)
        return result;
    if (!showable(info_))
        return KTheoraHeaders::Unsupported;
    return startDecoder() ? KTheoraHeaders::Ok : KTheoraHeaders::Corrupt;
}

bool KTheoraStream::startDecoder() {
    if (decoder_)
        th_decode_free(decoder_);
    decoder_ = th_decode_alloc(&info_, setup_);
    if (!decoder_)
        return false;
    int level = 0;
    th_decode_ctl(decoder_, TH_DECCTL_SET_PPLEVEL, &level, sizeof level);
    return true;
}

double KTheoraStream::scanDuration() {
    double duration = 0;
    ogg_page page;
    while (takePage(page)) {
        ogg_int64_t granule = ogg_page_granulepos(&page);
        if (ogg_page_serialno(&page) != stream_.serialno || granule < 0)
            continue;
        ogg_int64_t frame = th_granule_frame(decoder_, granule);
        if (frame < 0) // a header page
            continue;
        double time = th_granule_time(decoder_, granule);
        double end = time + time / static_cast<double>(frame + 1);
        if (end > duration)
            duration = end;
    }
    rewind();
    return duration;
}

bool KTheoraStream::decodeFrame(KTheoraPicture& picture) {
    ogg_packet packet;
    ogg_page page;
    while (decoder_) {
        int result = ogg_stream_packetout(&stream_, &packet);
        if (result == 0) {
            if (!takePage(page))
                return false;
            ogg_stream_pagein(&stream_, &page);
            continue;
        }
        // Holes in the data and the headers met again after a rewind.
        if (result < 0 || th_packet_isheader(&packet))
            continue;
        if (packet.granulepos >= 0)
            th_decode_ctl(decoder_, TH_DECCTL_SET_GRANPOS, &packet.granulepos, sizeof packet.granulepos);
        ogg_int64_t granule = -1;
        int decoded = th_decode_packetin(decoder_, &packet, &granule);
        if ((decoded != 0 && decoded != TH_DUPFRAME) || granule < 0)
            continue;
        if (th_decode_ycbcr_out(decoder_, picture.planes) != 0)
            continue;
        picture.startTime = th_granule_time(decoder_, granule) - framePeriod();
        picture.frame = th_granule_frame(decoder_, granule);
        return true;
    }
    return false;
}

void KTheoraStream::rewind() {
    source_.rewind();
    ogg_sync_reset(&sync_);
    if (haveStream_)
        ogg_stream_reset(&stream_);
    if (decoder_)
        startDecoder();
}

} // namespace glint
