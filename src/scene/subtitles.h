// The subtitles of a movie element: "<folder>/<element>.srt" beside the
// scene that owns the element's visual. The engine does not draw them; it
// puts each title's start and duration (seconds) into the scene's arrays
// "Subtitles_sub_<M>_time[]" and "Subtitles_sub_<M>_duration[]" (M is the
// element name without "movie_"), and the scene's script shows the
// localized texts "<scene>:sub_<M>_<NN>" at those times.
#pragma once

namespace glint {

class MElement;
class MScene;

// Reads the element's subtitle file, when there is one, into the arrays of
// scene. With checkTexts (the game runs its base language) every title's
// text is compared with its localized text and differences are traced.
void readSubtitles(MScene& scene, const MElement& element, bool checkTexts);

} // namespace glint
