#include "text/overlay.h"

#include <algorithm>
#include <cstdlib>

#include "text/countdown.h"
#include "text/text.h"

namespace {
// Moves `value` towards `goal` by the share dt of the gap (a rate of 1 per
// second). Computed in double like the rest of the timing, stored as float.
float Approach(float value, float goal, double dt) {
    return static_cast<float>(value + (goal - value) * dt);
}

float Opacity(float alpha) { return std::clamp(alpha, 0.0f, 1.0f); }

// One picture mapped whole onto the rectangle (x0, y0)-(x1, y1): corners
// lower-left, lower-right, upper-right, upper-left, counter-clockwise so it
// faces the viewer with back-face culling on. Nothing when `name` is 0.
void DrawPicture(GLuint name, float x0, float y0, float x1, float y1) {
    if (name == 0) return;
    glBindTexture(GL_TEXTURE_2D, name);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x0, y0);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x1, y0);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x0, y1);
    glEnd();
}

GLuint Picture(const OverlayFrame& frame, unsigned int index) {
    return index < kOverlayPictures ? frame.pictures[index] : 0;
}
}  // namespace

void AdvanceBanner(OVERLAYSTATE* state, const OverlayFrame& frame) {
    const double dt = frame.frameTime;
    int (*random)() = frame.random != nullptr ? frame.random : std::rand;

    state->bannerTimer = static_cast<float>(state->bannerTimer - dt);
    if (state->bannerTimer < 0.0f) {
        state->bannerTimer = 30.0f;
        if (!state->bannerIn) {
            // About to slide in: a strip, an end, and the other edge, starting
            // just outside the edge it comes in from.
            state->bannerTexture = static_cast<unsigned int>(random()) % 2u + kPictureStripA;
            state->bannerPos.x = static_cast<unsigned int>(random()) % 2u != 0 ? static_cast<float>(frame.width - 256) : 0.0f;
            state->bannerAtTop = !state->bannerAtTop;
            state->bannerPos.y = state->bannerAtTop ? static_cast<float>(frame.height + 40) : -40.0f;
            state->bannerTimer = 20.0f;
        }
        state->bannerIn = !state->bannerIn;
    }

    float bannerGoal = 0.0f;
    float textGoal = 0.0f;
    if (state->bannerIn) {
        bannerGoal = state->bannerAtTop ? static_cast<float>(frame.height - 40) : 5.0f;
        textGoal = 818.0f;  // above the top of the overlay space, out of view
    } else {
        bannerGoal = state->bannerAtTop ? static_cast<float>(frame.height + 40) : -40.0f;
        textGoal = 748.0f;
    }
    state->bannerPos.y = Approach(state->bannerPos.y, bannerGoal, dt);
    state->countdownY = Approach(state->countdownY, textGoal, dt);
}

void AdvanceVeil(OVERLAYSTATE* state, double dt) {
    state->veilTimer = static_cast<float>(state->veilTimer - dt);
    if (state->veilTimer >= 0.0f) {
        state->veilAlpha = state->veilAlpha > 0.0f ? static_cast<float>(state->veilAlpha - 0.5 * dt) : 0.0f;
    } else {
        state->veilAlpha = state->veilAlpha < 1.0f ? static_cast<float>(state->veilAlpha + 0.5 * dt) : 1.0f;
        if (state->veilTimer < -20.0f) state->veilTimer = 40.0f;
    }
}

bool VeilCoversAll(const OVERLAYSTATE& state, double dt) {
    // Asked of the very step the overlay will take, so the two cannot disagree.
    OVERLAYSTATE next = state;
    AdvanceVeil(&next, dt);
    return next.veilAlpha >= 1.0f;
}

void AdvanceIntro(OVERLAYSTATE* state, double t, double dt) {
    if (t < 12.0) {
        if (state->introTopAlpha < 1.0f) {
            state->introTopAlpha = static_cast<float>(state->introTopAlpha + dt);
        } else if (state->introBottomAlpha < 1.0f) {
            state->introBottomAlpha = static_cast<float>(state->introBottomAlpha + dt);
        }
    } else if (state->introTopAlpha > 0.0f) {
        state->introTopAlpha = static_cast<float>(state->introTopAlpha - dt);
    } else if (state->introBottomAlpha > 0.0f) {
        state->introBottomAlpha = static_cast<float>(state->introBottomAlpha - dt);
    } else {
        state->introDone = true;
    }
}

void DoOverlayFrame(OVERLAYSTATE* state, const OverlayFrame& frame) {
    const double dt = frame.frameTime;
    AdvanceBanner(state, frame);

    // Pixel space.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (frame.width > 0 && frame.height > 0) glOrtho(0.0, frame.width, 0.0, frame.height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);

    // The banner keeps its pixel size on any view: side picture at its end,
    // the strip centred.
    const point2d pos = state->bannerPos;
    glPushMatrix();
    DrawPicture(Picture(frame, kPictureBanner), pos.x, pos.y, pos.x + 256.0f, pos.y + 32.0f);
    glPopMatrix();
    glPushMatrix();
    const float stripLeft = static_cast<float>(frame.width) * 0.5f - 256.0f;
    DrawPicture(Picture(frame, state->bannerTexture), stripLeft, pos.y, stripLeft + 512.0f, pos.y + 32.0f);
    glPopMatrix();
    glDisable(GL_BLEND);

    // Overlay space.
    glScalef(static_cast<float>(frame.width) / 1024.0f, static_cast<float>(frame.height) / 768.0f, 1.0f);

    const GLuint font = Picture(frame, kPictureFont);
    if (frame.showCountdown && font != 0 && frame.glyphs != nullptr) {
        glPushMatrix();
        glTranslatef(512.0f, state->countdownY, 0.0f);
        DrawString(*frame.glyphs, state->countdownTitle, 16.0f, 0.75f, font, frame.textStream);
        glPopMatrix();
        glPushMatrix();
        char text[kCountDownCapacity];
        CountDown(frame.calendar, text, sizeof text, state->targetMonth, state->targetDay, 0, 0, 0);
        glTranslatef(512.0f, state->countdownY - 16.0f, 0.0f);
        DrawString(*frame.glyphs, text, 16.0f, 0.75f, font, frame.textStream);
        glPopMatrix();
    }

    AdvanceVeil(state, dt);
    if (state->veilAlpha > 0.0f) {
        const float alpha = Opacity(state->veilAlpha);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        glColor4f(0.0f, 0.0f, 0.0f, alpha);
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        glVertex2f(0.0f, 0.0f);
        glVertex2f(1024.0f, 0.0f);
        glVertex2f(1024.0f, 768.0f);
        glVertex2f(0.0f, 768.0f);
        glEnd();
        glEnable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
        glPushMatrix();
        glTranslatef(0.0f, 352.0f, 0.0f);
        DrawPicture(Picture(frame, state->bannerTexture), 0.0f, 0.0f, 1024.0f, 64.0f);
        glPopMatrix();
        glDisable(GL_BLEND);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    if (!state->introDone) DoIntroFrame(state, frame);
}

void DoIntroFrame(OVERLAYSTATE* state, const OverlayFrame& frame) {
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);

    AdvanceIntro(state, frame.totalTime, frame.frameTime);

    // Both pictures are drawn at twice their quads' size, centred on their
    // anchors: the title card in the upper band, the picture below it.
    // A picture not yet faded in, or faded out, would blend to nothing over a
    // large area: it is left out.
    const auto drawCentred = [&frame](float alpha, unsigned int picture, float anchorY, float halfHeight) {
        if (Opacity(alpha) <= 0.0f) return;
        glPushMatrix();
        glTranslatef(512.0f, anchorY, 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, Opacity(alpha));
        glScalef(2.0f, 2.0f, 1.0f);
        DrawPicture(Picture(frame, picture), -128.0f, -halfHeight, 128.0f, halfHeight);
        glPopMatrix();
    };
    drawCentred(state->introTopAlpha, kPictureIntroTop, 614.4f, 32.0f);
    drawCentred(state->introBottomAlpha, kPictureIntroBottom, 192.0f, 64.0f);

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPopMatrix();
}
