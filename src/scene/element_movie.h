// Movie elements: their Em channel and visibility start and pause the
// video, the video's current frame is drawn in place of the image, and
// resetting an element plays its video from the first frame.
#pragma once

#include <cstdint>

#include "scene/scene_draw.h"

namespace glint {

class MElement;
class MScene;
class MVideo;

// One tick of a movie element: while it is visible, active and its Em
// channel rounds above 0 the video plays (its clock advancing while the
// scene clock runs); otherwise a started video is paused.
void driveMovieElement(MScene& scene, MElement& element);
// The reset command: the element's video plays from the first frame.
void restartMovie(MElement& element);
// Hiding the element holds its video and the video's sound.
void stopMovie(MElement& element);
// The video's frame due now onto the corners, in the packed colour and the
// blend mode; nothing before its first frame.
void drawMovieFrame(MVideo& video, const Corners& corners, uint32_t color, int blendMode);

} // namespace glint
