// Stand-ins for SDL's cursor calls, which the headless video driver does not
// support: each made cursor is a fresh tag, and the last made picture, hot
// spot and the selected cursor are kept for the test to look at.
#pragma once

#include "engine/window/system_cursor.h"

#include <SDL_surface.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace glint::test {

struct RecordingCursorCalls {
    static inline std::vector<uint32_t> lastPixels;
    static inline int lastHotX = -1, lastHotY = -1, alive = 0;
    static inline uint32_t lastFormat = 0;
    static inline SDL_Cursor* selected = nullptr;

    static SDL_Cursor* create(SDL_Surface* surface, int hotX, int hotY) {
        lastPixels.assign(static_cast<size_t>(surface->w) * surface->h, 0);
        // Rows are copied one by one: the surface may pad them.
        for (int y = 0; y < surface->h; ++y)
            std::memcpy(lastPixels.data() + static_cast<size_t>(y) * surface->w,
                        static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
                        static_cast<size_t>(surface->w) * 4);
        lastFormat = surface->format->format;
        lastHotX = hotX;
        lastHotY = hotY;
        ++alive;
        return reinterpret_cast<SDL_Cursor*>(new char);
    }
    static void destroy(SDL_Cursor* cursor) {
        if (selected == cursor)
            selected = nullptr;
        --alive;
        delete reinterpret_cast<char*>(cursor);
    }
    static void select(SDL_Cursor* cursor) { selected = cursor; }

    RecordingCursorCalls() {
        static const KSystemCursorCalls calls = {create, destroy, select};
        selected = nullptr;
        alive = 0;
        setSystemCursorCalls(&calls);
    }
    ~RecordingCursorCalls() { setSystemCursorCalls(nullptr); }
};

} // namespace glint::test
