// The strategy guide: the XML document "data/strategy_guide<suffix>.xml"
// read once per run into plain variables of the scene "strategy_guide_ce",
// whose own scripts lay the guide out.
#pragma once

#include <string_view>

namespace glint {

class MSceneRegistry;

// Sets Title, ChapterTitle_n, ChapterFirstPage_c, ChapterPageCount_c,
// PageImage_(10p+k), PageImageName_(10p+k) and PageText_p in the guide
// scene. Without the scene, the file, well-formed XML or a root named
// "xml" nothing is set and nothing is reported.
void loadStrategyGuide(const MSceneRegistry& scenes, std::string_view languageSuffix);

} // namespace glint
