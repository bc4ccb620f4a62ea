#include "engine/window/system_cursor.h"

#include "engine/resources/resource.h"
#include "engine/system/log.h"
#include "engine/window/cursor_file.h"

#include <SDL_events.h>
#include <SDL_mouse.h>
#include <SDL_surface.h>

#include <algorithm>

namespace glint {

namespace {

int displayCount = 0; // SDL starts with the cursor shown

const KSystemCursorCalls sdlCalls = {SDL_CreateColorCursor, SDL_FreeCursor, SDL_SetCursor};
const KSystemCursorCalls* calls = &sdlCalls;

void applyDisplayCount() { SDL_ShowCursor(displayCount >= 0 ? SDL_ENABLE : SDL_DISABLE); }

void showOnce() { ++displayCount; }
void hideOnce() { --displayCount; }

} // namespace

void setSystemCursorCalls(const KSystemCursorCalls* replacement) { calls = replacement ? replacement : &sdlCalls; }

KSystemCursor::~KSystemCursor() { calls->destroy(cursor_); }

KSystemCursor* createSystemCursor(const KCursorImage& image) {
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        return nullptr;
    // SDL copies the pixels into its cursor, so the surface may borrow them.
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(const_cast<uint32_t*>(image.pixels.data()), image.width,
                                                    image.height, 32, image.width * 4, 0x00FF0000, 0x0000FF00,
                                                    0x000000FF, 0xFF000000);
    if (!surface) {
        logMessage("Cursor: SDL_CreateRGBSurfaceFrom failed (%s), ERROR", SDL_GetError());
        return nullptr;
    }
    SDL_Cursor* cursor = calls->create(surface, std::clamp(image.hotX, 0, image.width - 1),
                                       std::clamp(image.hotY, 0, image.height - 1));
    SDL_FreeSurface(surface);
    if (!cursor) {
        logMessage("Cursor: SDL_CreateColorCursor failed (%s), ERROR", SDL_GetError());
        return nullptr;
    }
    return new KSystemCursor(cursor);
}

KSystemCursor* loadSystemCursor(const char* path) {
    char* data = nullptr;
    int32_t size = 0;
    if (!path || !resourceLoadFile(path, &data, &size))
        return nullptr;
    KCursorImage image;
    bool read = readCursorFile(data, static_cast<size_t>(size), &image);
    delete[] data;
    if (!read) {
        logMessage("Cursor: %s is not a usable cursor file, WARNING", path);
        return nullptr;
    }
    return createSystemCursor(image);
}

void setSystemCursor(const KSystemCursor& cursor) { calls->select(cursor.sdlCursor()); }

int systemCursorDisplayCount() { return displayCount; }

void setSystemCursorVisible(bool visible) {
    if (visible)
        while (displayCount < 0)
            showOnce();
    else
        while (displayCount >= 0)
            hideOnce();
    applyDisplayCount();
}

void showSystemCursor() {
    while (displayCount < 0)
        showOnce();
    while (displayCount > 0)
        hideOnce();
    applyDisplayCount();
}

void hideSystemCursor() {
    while (displayCount >= 0)
        hideOnce();
    while (displayCount < -1)
        showOnce();
    applyDisplayCount();
}

} // namespace glint
