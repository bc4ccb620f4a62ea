#include "scene/element_movie.h"

#include "engine/render/quad_batch.h"
#include "resource/video.h"
#include "scene/element.h"
#include "scene/element_visual.h"
#include "scene/scene.h"
#include "script/value.h"

namespace glint {

namespace {

MVideo* movieOf(const MElement& element) { return element.visual ? element.visual->image.movie : nullptr; }

bool wantsPlayback(const MElement& e) {
    return e.hasFlag(kElementVisible) && e.hasFlag(kElementActive) &&
           roundToInteger(e.channels[kChannelEmission]) > 0;
}

} // namespace

void driveMovieElement(MScene& scene, MElement& element) {
    MVideo* video = movieOf(element);
    if (!video || !video->hasPlayer())
        return;
    if (!wantsPlayback(element)) {
        if (video->started())
            video->stop();
        return;
    }
    if (scene.clockRuns)
        video->advanceClock(0.01);
    if (!video->started())
        video->start();
    if (video->isPlaying())
        video->present(false);
}

void restartMovie(MElement& element) {
    if (MVideo* video = movieOf(element))
        video->restart();
}

void stopMovie(MElement& element) {
    if (MVideo* video = movieOf(element))
        video->stop();
}

void drawMovieFrame(MVideo& video, const Corners& corners, uint32_t color, int blendMode) {
    KQuadBatch* batch = KQuadBatch::current();
    KMovieFrame frame;
    video.present(true);
    if (!batch || !video.frame(frame))
        return;
    batch->setState(frame.texture, blendMode, K_PRIMITIVE_QUADS);
    const KQuadPoint texels[4] = {{frame.x0, frame.y0}, {frame.x1, frame.y0}, {frame.x1, frame.y1}, {frame.x0, frame.y1}};
    const KQuadPoint positions[4] = {{corners[0].x, corners[0].y}, {corners[1].x, corners[1].y},
                                     {corners[2].x, corners[2].y}, {corners[3].x, corners[3].y}};
    batch->addQuad(texels, positions, color);
}

} // namespace glint
