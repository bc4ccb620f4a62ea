// Limits of a scene's content that readers of scene files share.
#pragma once

namespace glint {

// A scene holds at most this many elements: list positions are 16-bit.
constexpr int kMaxSceneElements = 32767;

} // namespace glint
