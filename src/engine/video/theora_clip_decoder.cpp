#include "engine/video/theora_clip_decoder.h"

#include "engine/video/theora_log.h"
#include "engine/video/theora_stream.h"
#include "engine/video/video_frame.h"

#include <vorbis/codec.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace glint {

namespace {

constexpr uint32_t kReadBytes = 4096;
// The length scan looks for the last video page in ever longer tails of the
// file, up to this many bytes.
constexpr uint64_t kLongestTail = 204800;

[[noreturn]] void fail(const char* message) { throw TheoraGenericException{message}; }

} // namespace

// The Vorbis stream's header records while they are read.
struct TheoraVideoClip_Theora::VorbisHeaders {
    vorbis_info info;
    vorbis_comment comment;
    ogg_stream_state stream{};
    bool haveStream = false;

    VorbisHeaders() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisHeaders() {
        if (haveStream)
            ogg_stream_clear(&stream);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    // A refused packet may have filled part of the records.
    void reset() {
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
};

namespace {

// The pages of a file read in pieces, for the length scan.
struct PageReader {
    ogg_sync_state sync;
    PageReader() { ogg_sync_init(&sync); }
    ~PageReader() { ogg_sync_clear(&sync); }
};

} // namespace

TheoraVideoClip_Theora::~TheoraVideoClip_Theora() {
    // A worker that just finished its step may still be leaving the mutex.
    std::lock_guard<std::mutex> hold(threadAccessMutex());
    if (decoder_)
        th_decode_free(decoder_);
    if (setup_)
        th_setup_free(setup_);
    if (haveTheora_)
        ogg_stream_clear(&theoraStream_);
    th_comment_clear(&comment_);
    th_info_clear(&info_);
    ogg_sync_clear(&sync_);
}

bool TheoraVideoClip_Theora::feed(ogg_sync_state& sync) {
    char* buffer = ogg_sync_buffer(&sync, kReadBytes);
    if (!buffer)
        return false;
    uint32_t count = dataSource_->read(buffer, kReadBytes);
    ogg_sync_wrote(&sync, static_cast<long>(count));
    return count > 0;
}

void TheoraVideoClip_Theora::load() {
    ogg_sync_init(&sync_);
    th_info_init(&info_);
    th_comment_init(&comment_);
    readHeaders();
    checkPicture();
    decoder_ = th_decode_alloc(&info_, setup_);
    if (!decoder_)
        fail("invalid theora stream");
    width_ = info_.frame_width;
    height_ = info_.frame_height;
    stride_ = width_;
    pictureX_ = info_.pic_x;
    pictureWidth_ = info_.pic_width;
    pictureHeight_ = info_.pic_height;
    pictureY_ = info_.frame_height - info_.pic_y - info_.pic_height;
    fps_ = static_cast<float>(static_cast<double>(info_.fps_numerator) / info_.fps_denominator);
    frameDuration_ = 1 / fps_;
    frameQueue_.fill(static_cast<size_t>(precachedFrames_), stride_, height_);
    scanDuration();
}

// Pictures beyond the frame sizes the player makes buffers for, or without
// a frame rate, cannot be played.
void TheoraVideoClip_Theora::checkPicture() const {
    const th_info& i = info_;
    if (i.fps_numerator == 0 || i.fps_denominator == 0 || i.frame_width == 0 || i.frame_height == 0 ||
        i.frame_width > kMaxVideoDimension || i.frame_height > kMaxVideoDimension || i.pic_width == 0 ||
        i.pic_height == 0 || i.pic_x + i.pic_width > i.frame_width || i.pic_y + i.pic_height > i.frame_height)
        fail("invalid theora stream");
}

// The start of the file holds one page for each stream, each with the
// first header of its stream; the first Theora and the first Vorbis one are
// kept. The other headers follow on later pages.
void TheoraVideoClip_Theora::readHeaders() {
    VorbisHeaders vorbis;
    HeaderCounts counts;
    bool dataPage = findStreams(vorbis, counts);
    if (!haveTheora_)
        fail(dataPage ? "invalid theora stream" : "End of file found prematurely");
    readOtherHeaders(vorbis, counts);
}

// True once a page that begins no stream came (it goes to the streams).
bool TheoraVideoClip_Theora::findStreams(VorbisHeaders& vorbis, HeaderCounts& counts) {
    ogg_page page;
    while (feed(sync_)) {
        for (int got; (got = ogg_sync_pageout(&sync_, &page)) != 0;) {
            if (got < 0)
                continue;
            if (!ogg_page_bos(&page)) {
                pageIn(vorbis, page);
                return true;
            }
            tryStream(vorbis, counts, page);
        }
    }
    return false;
}

void TheoraVideoClip_Theora::tryStream(VorbisHeaders& vorbis, HeaderCounts& counts, ogg_page& page) {
    ogg_stream_state trial;
    ogg_stream_init(&trial, ogg_page_serialno(&page));
    ogg_stream_pagein(&trial, &page);
    ogg_packet packet;
    bool first = ogg_stream_packetout(&trial, &packet) == 1;
    if (first && counts.theora == 0 && th_decode_headerin(&info_, &comment_, &setup_, &packet) > 0) {
        std::memcpy(&theoraStream_, &trial, sizeof trial);
        haveTheora_ = true;
        counts.theora = 1;
    } else if (first && counts.vorbis == 0 && vorbis_synthesis_headerin(&vorbis.info, &vorbis.comment, &packet) == 0) {
        std::memcpy(&vorbis.stream, &trial, sizeof trial);
        vorbis.haveStream = true;
        counts.vorbis = 1;
    } else {
        if (first && counts.theora == 0)
            resetTheoraHeaders();
        if (first && counts.vorbis == 0)
            vorbis.reset();
        ogg_stream_clear(&trial);
    }
}

void TheoraVideoClip_Theora::pageIn(VorbisHeaders& vorbis, ogg_page& page) {
    if (haveTheora_)
        ogg_stream_pagein(&theoraStream_, &page);
    if (vorbis.haveStream)
        ogg_stream_pagein(&vorbis.stream, &page);
}

void TheoraVideoClip_Theora::readOtherHeaders(VorbisHeaders& vorbis, HeaderCounts& counts) {
    ogg_packet packet;
    ogg_page page;
    for (;;) {
        for (int got; counts.theora < 3 && (got = ogg_stream_packetout(&theoraStream_, &packet)) != 0; ++counts.theora) {
            if (got < 0)
                fail("Error parsing Theora stream headers.");
            if (th_decode_headerin(&info_, &comment_, &setup_, &packet) <= 0)
                fail("invalid theora stream");
        }
        for (int got; vorbis.haveStream && counts.vorbis < 3 && (got = ogg_stream_packetout(&vorbis.stream, &packet)) != 0;
             ++counts.vorbis) {
            if (got < 0)
                fail("Error parsing vorbis stream headers");
            if (vorbis_synthesis_headerin(&vorbis.info, &vorbis.comment, &packet) != 0)
                fail("invalid stream");
        }
        if (counts.theora == 3 && (!vorbis.haveStream || counts.vorbis == 3))
            return;
        int got = ogg_sync_pageout(&sync_, &page);
        if (got > 0)
            pageIn(vorbis, page);
        else if (got == 0 && !feed(sync_))
            fail("End of file found prematurely");
    }
}

// A refused identification header may have filled part of the records.
void TheoraVideoClip_Theora::resetTheoraHeaders() {
    th_comment_clear(&comment_);
    th_info_clear(&info_);
    th_info_init(&info_);
    th_comment_init(&comment_);
    if (setup_)
        th_setup_free(setup_);
    setup_ = nullptr;
}

// The number of frames from the last video page near the end of the file:
// first in its last 4 KiB, then in ever longer tails. Decoding goes on
// from where the headers ended.
void TheoraVideoClip_Theora::scanDuration() {
    uint64_t resume = dataSource_->tell(), size = dataSource_->size();
    int64_t count = -1;
    for (uint64_t tail = kReadBytes; count < 0 && tail <= kLongestTail; tail += kReadBytes) {
        count = lastFrameCount(std::min(tail, size));
        if (tail >= size)
            break;
    }
    dataSource_->seek(resume);
    if (count < 0) {
        theoraLog("unable to determine file duration!");
        return;
    }
    frameCount_ = static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
    duration_ = static_cast<float>(frameCount_ / static_cast<double>(fps_));
}

// The frame count the last video page in the file's last tail bytes
// gives, or -1. A page that ends no packet after it adds the frame it
// carries the start of.
int64_t TheoraVideoClip_Theora::lastFrameCount(uint64_t tail) {
    PageReader reader;
    dataSource_->seek(dataSource_->size() - tail);
    for (uint64_t read = 0; read < tail; read += kReadBytes) {
        if (!feed(reader.sync))
            break;
    }
    int64_t count = -1;
    ogg_page page;
    for (int got; (got = ogg_sync_pageout(&reader.sync, &page)) != 0;) {
        if (got < 0 || ogg_page_serialno(&page) != theoraStream_.serialno)
            continue;
        ogg_int64_t granule = ogg_page_granulepos(&page);
        if (granule >= 0) {
            ogg_int64_t frame = th_granule_frame(decoder_, granule);
            if (frame >= 0)
                count = frame < std::numeric_limits<int64_t>::max() ? frame + 1 : frame;
        } else if (count >= 0) {
            ++count;
        }
    }
    return count;
}

// Pages left over from reading the headers come first: a small file may
// have been read whole by then.
bool TheoraVideoClip_Theora::readData() {
    if (takePages())
        return true;
    if (!feed(sync_)) {
        if (!loops())
            endOfFile_ = true;
        return false;
    }
    takePages();
    return true;
}

bool TheoraVideoClip_Theora::takePages() {
    bool taken = false;
    ogg_page page;
    for (int got; (got = ogg_sync_pageout(&sync_, &page)) != 0;) {
        if (got > 0) {
            ogg_stream_pagein(&theoraStream_, &page);
            taken = true;
        }
    }
    return taken;
}

bool TheoraVideoClip_Theora::decodeNextFrame() {
    if (endOfFile_ || !decoder_)
        return false;
    TheoraVideoFrame* frame = frameQueue_.takeEmptyFrame();
    if (!frame)
        return false;
    bool restart = false;
    for (;;) {
        ogg_packet packet;
        int got = ogg_stream_packetout(&theoraStream_, &packet);
        if (got > 0) {
            if (decodePacket(packet, *frame))
                break;
            continue;
        }
        if (got < 0) // a hole in the data
            continue;
        if (!readData()) {
            frameQueue_.release(*frame);
            restart = loops();
            frameQueue_.notify();
            break;
        }
    }
    if (restart)
        finishPass();
    return true;
}

// The packet's picture into frame; false when it gives none to show: a
// header met again after a restart, a packet the decoder refuses, or a
// frame already too late (but every sixteenth, so that a slow decoder
// still shows something).
bool TheoraVideoClip_Theora::decodePacket(ogg_packet& packet, TheoraVideoFrame& frame) {
    if (th_packet_isheader(&packet))
        return false;
    if (packet.granulepos >= 0)
        th_decode_ctl(decoder_, TH_DECCTL_SET_GRANPOS, &packet.granulepos, sizeof packet.granulepos);
    ogg_int64_t granule = -1;
    int result = th_decode_packetin(decoder_, &packet, &granule);
    if ((result != 0 && result != TH_DUPFRAME) || granule < 0)
        return false;
    double time = th_granule_time(decoder_, granule);
    int64_t number = th_granule_frame(decoder_, granule);
    if (timer_.getTime() > time && !restarted_ && number % 16 != 0) {
        ++droppedFrames_;
        return false;
    }
    th_ycbcr_buffer planes;
    if (th_decode_ycbcr_out(decoder_, planes) != 0)
        return false;
    // The whole frame, not only the picture: drawing picks the picture out.
    th_info whole = info_;
    whole.pic_x = whole.pic_y = 0;
    whole.pic_width = info_.frame_width;
    whole.pic_height = info_.frame_height;
    convertVideoPicture(whole, planes, videoFrameLayout(whole, false, false),
                        reinterpret_cast<uint32_t*>(frame.pixels()));
    {
        std::lock_guard<std::mutex> hold(frameQueue_.mutex());
        frame.timeToDisplay = static_cast<float>(time) - frameDuration_;
        frame.decodePass = decodePass_;
        frame.frameNumber = number;
        frame.serial = ++serial_;
    }
    frameQueue_.markReady(frame);
    ++framesThisPass_;
    return true;
}

// The data has ended in a looping clip: decoding goes round at once. A pass
// without a single frame would go round for ever; such a clip ends.
void TheoraVideoClip_Theora::finishPass() {
    if (framesThisPass_ == 0) {
        endOfFile_ = true;
        frameQueue_.notify();
        return;
    }
    ++decodePass_;
    restartDecoder();
}

void TheoraVideoClip_Theora::restartDecoder() {
    th_decode_free(decoder_);
    decoder_ = th_decode_alloc(&info_, setup_);
    ogg_stream_reset(&theoraStream_);
    ogg_sync_reset(&sync_);
    dataSource_->seek(0);
    framesThisPass_ = 0;
    endOfFile_ = false;
    restarted_ = true;
    frameQueue_.notify();
}

} // namespace glint
