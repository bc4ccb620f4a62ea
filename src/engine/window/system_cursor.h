// System cursors made from the game's cursor files, and the visibility of
// the system cursor.
//
// The visibility follows a display counter: "show" adds one, "hide" takes
// one away, and the cursor is visible while the counter is 0 or above. SDL
// itself has only a shown/hidden switch, so the counter is kept here and
// the switch follows it; every visibility change of the game goes through
// this module.
#pragma once

#include "engine/system/object.h"

struct SDL_Cursor;
struct SDL_Surface;

namespace glint {

struct KCursorImage;

class KSystemCursor : public KObjectBase {
public:
    // Frees the SDL cursor; the default cursor comes back if it was current.
    ~KSystemCursor() override;

    SDL_Cursor* sdlCursor() const { return cursor_; }

private:
    friend KSystemCursor* createSystemCursor(const KCursorImage& image);
    explicit KSystemCursor(SDL_Cursor* cursor) : cursor_(cursor) {}
    SDL_Cursor* cursor_;
};

// A colour cursor from a cursor image (a hot spot outside the image is
// moved to its nearest edge); null, with a "Cursor: " line in the log, when
// SDL refuses it. The caller deletes it.
KSystemCursor* createSystemCursor(const KCursorImage& image);
// The cursor file at path (a path for the resource layer, so the archive
// counts too); null when the file is missing, and with a warning in the log
// when it is not a readable cursor file.
KSystemCursor* loadSystemCursor(const char* path);
// Makes cursor the one the system shows over the window.
void setSystemCursor(const KSystemCursor& cursor);

// The SDL calls behind system cursors. SDL's offscreen and dummy video
// drivers make no cursors, so tests put recording stand-ins in place.
struct KSystemCursorCalls {
    SDL_Cursor* (*create)(SDL_Surface* surface, int hotX, int hotY);
    void (*destroy)(SDL_Cursor* cursor);
    void (*select)(SDL_Cursor* cursor);
};
// Null puts SDL's own calls back.
void setSystemCursorCalls(const KSystemCursorCalls* calls);

// The display counter.
int systemCursorDisplayCount();
// The window's simple loops: show until visible, or hide until hidden.
void setSystemCursorVisible(bool visible);
// The engine's protocol, which leaves the counter at exactly 0 ...
void showSystemCursor();
// ... or exactly -1.
void hideSystemCursor();

} // namespace glint
