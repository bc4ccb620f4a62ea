#include "engine/window/game_window.h"

#include "engine/render/gl.h"
#include "engine/render/render_state.h"
#include "engine/window/input_source.h"

#include <SDL.h>

namespace glint {

AspectResult KGameWindow::currentView() const {
    AspectResult view;
    view.viewportX = viewportX;
    view.viewportY = viewportY;
    view.viewportWidth = viewportWidth;
    view.viewportHeight = viewportHeight;
    view.surfaceWidth = surfaceWidth;
    view.surfaceHeight = surfaceHeight;
    view.scaled = scaled;
    return view;
}

bool KGameWindow::updatePointerMapping() {
    PointerMapping updated = pointerMappingFor(currentView(), gameWidth, gameHeight, extent_);
    bool changed = !(updated == mapping_);
    mapping_ = updated;
    return changed;
}

void KGameWindow::clientPointer(int* x, int* y) const {
    if (KInputSource* source = inputSource())
        source->pointer(x, y);
    else
        SDL_GetMouseState(x, y);
}

int KGameWindow::pointerX() const {
    int x = 0, y = 0;
    clientPointer(&x, &y);
    return gameXForClient(mapping_, x);
}

int KGameWindow::pointerY() const {
    int x = 0, y = 0;
    clientPointer(&x, &y);
    return gameYForClient(mapping_, y);
}

void KGameWindow::setPointer(int x, int y) {
    if (window_)
        SDL_WarpMouseInWindow(window_, clientXForGame(mapping_, x), clientYForGame(mapping_, y));
}

void KGameWindow::resetRenderState() {
    renderState.flipHeight = gameHeight;
    forgetTextureState();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glShadeModel(GL_SMOOTH);
}

void KGameWindow::setView(float x, float y, float offsetX, float offsetY, float angle, float viewScaleX,
                          float viewScaleY) {
    if (customClip)
        restoreViewportClip();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, projectionWidth, 0, projectionHeight, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    auto centreX = static_cast<float>(projectionWidth / 2), centreY = static_cast<float>(projectionHeight / 2);
    glTranslatef(offsetX, -offsetY, 0);
    glTranslatef(centreX, centreY, 0);
    glRotatef(angle, 0, 0, 1);
    glScalef(viewScaleX, viewScaleY, 1);
    glTranslatef(-centreX, -centreY, 0);
    glTranslatef(x, -y, 0);
}

void KGameWindow::setClip(bool on, float x1, float y1, float x2, float y2) {
    if (!on) {
        if (customClip)
            restoreViewportClip();
        return;
    }
    ScissorBox box = scissorForClip(currentView(), gameWidth, gameHeight, x1, y1, x2, y2);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    customClip = true;
}

void KGameWindow::restoreViewportClip() {
    if (scaled) {
        glScissor(viewportX, viewportY, viewportWidth, viewportHeight);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    customClip = false;
}

} // namespace glint
