// A clip decoding the first Theora stream of an Ogg file. A Vorbis stream
// in the file has its headers read and is otherwise left alone: clips play
// no sound.
#pragma once

#include "engine/video/theora_video_clip.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

namespace glint {

class TheoraVideoClip_Theora : public TheoraVideoClip {
public:
    using TheoraVideoClip::TheoraVideoClip;
    ~TheoraVideoClip_Theora() override;

    void load() override;
    bool decodeNextFrame() override;

protected:
    bool readData() override;
    void restartDecoder() override;

private:
    struct VorbisHeaders;
    struct HeaderCounts {
        int theora = 0, vorbis = 0;
    };

    bool feed(ogg_sync_state& sync);
    // Every complete page read so far into the video stream; false when
    // there was none.
    bool takePages();
    void readHeaders();
    bool findStreams(VorbisHeaders& vorbis, HeaderCounts& counts);
    void tryStream(VorbisHeaders& vorbis, HeaderCounts& counts, ogg_page& page);
    void pageIn(VorbisHeaders& vorbis, ogg_page& page);
    void readOtherHeaders(VorbisHeaders& vorbis, HeaderCounts& counts);
    void resetTheoraHeaders();
    void checkPicture() const;
    void scanDuration();
    int64_t lastFrameCount(uint64_t tail);
    bool decodePacket(ogg_packet& packet, TheoraVideoFrame& frame);
    void finishPass();

    ogg_sync_state sync_{};
    ogg_stream_state theoraStream_{};
    bool haveTheora_ = false;
    th_info info_{};
    th_comment comment_{};
    th_setup_info* setup_ = nullptr;
    th_dec_ctx* decoder_ = nullptr;
    uint64_t serial_ = 0; // pictures decoded so far
    int32_t framesThisPass_ = 0;
};

} // namespace glint
