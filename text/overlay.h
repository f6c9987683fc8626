// The overlay drawn over the scene: a banner sliding in at alternating edges,
// the two countdown lines, a dark veil with a picture strip once a minute, and
// the intro's two pictures in the first seconds.
//
// Two spaces: pixel space (origin lower-left, y up, width x height) for the
// banner, and the overlay space of 1024 x 768 units stretched over the whole
// view, whatever its shape, for the text, the veil and the intro.
//
// Each frame's state step (Advance*) is separate from its drawing so that
// the timing runs and is tested without GL; the Do* functions run both in the
// frame's order. All timing uses the frame's elapsed seconds, so the overlay
// keeps the same pace at any frame rate.
#pragma once

#include <GL/gl.h>

#include "assets/context.h"
#include "math/vector.h"
#include "text/text.h"

// Indices of the overlay texture set ("bramble.works").
enum OverlayPicture {
    kPictureFont = 0,         // 16 x 8 glyph cells
    kPictureBanner = 1,       // drawn 256 x 32 pixels
    kPictureIntroTop = 2,     // drawn 512 x 128 overlay units
    kPictureIntroBottom = 3,  // drawn 512 x 256 overlay units
    kPictureStripA = 4,       // strips: 512 x 32 pixels in the banner,
    kPictureStripB = 5,       //         1024 x 64 units in the veil
    kOverlayPictures = 6,
};

// The overlay's state, kept by the frame driver; initial values are those of
// a freshly constructed driver.
struct OVERLAYSTATE {
    float bannerTimer = 15.0f;   // seconds to the banner's next slide in or out
    bool bannerIn = false;       // sliding in or shown
    bool bannerAtTop = false;    // the edge it uses: top if true
    point2d bannerPos = {0.0f, -35.0f};  // lower-left corner, pixels
    unsigned int bannerTexture = kPictureStripA;  // strip shown: 4 or 5
    float veilTimer = 60.0f;     // seconds to the veil's fade-in (negative while on)
    float veilAlpha = 0.0f;      // veil opacity, 0..1
    float countdownY = 1000.0f;  // countdown title's y, overlay units (768 = top)
    int targetDay = 25;          // counted down to: day of month, from 1
    int targetMonth = 11;        // and month, 0 = January
    char countdownTitle[80] = "Time til Christmas Day...";
    bool introDone = false;
    float introTopAlpha = -5.0f;     // below 0 draws as 0, so the fade-in waits
    float introBottomAlpha = -1.0f;
};

// What one frame's overlay reads from the frame driver.
struct OverlayFrame {
    double frameTime = 0.0;  // this frame's elapsed seconds
    double totalTime = 0.0;  // engine seconds since start
    int width = 0;           // drawable size, pixels
    int height = 0;
    bool showCountdown = true;
    GLuint pictures[kOverlayPictures] = {};  // GL names by index; 0 where the set lacks one
    int (*random)() = nullptr;  // draws for the banner; null means std::rand
    const CalendarClock* calendar = nullptr;  // the view's; null reads the system's
    const GlyphTable* glyphs = nullptr;       // the view's font; null draws no text
    VERTEX_STREAM* textStream = nullptr;      // what the text is handed over in; may be null
};

// Timer and slide of the banner, then the glide of the countdown text: each
// moves towards its goal by (goal - position) * dt. At each slide-in the strip
// and the left or right end are drawn at random (strip first) and the edge
// toggles. No GL.
void AdvanceBanner(OVERLAYSTATE* state, const OverlayFrame& frame);
// The veil's timer and fade (0.5 per second). No GL.
void AdvanceVeil(OVERLAYSTATE* state, double dt);
// True when the veil, once AdvanceVeil(state, dt) has run, is drawn opaque
// over the whole drawable: nothing drawn under it this frame can be seen.
bool VeilCoversAll(const OVERLAYSTATE& state, double dt);
// One fade step of the intro (t = engine seconds); sets introDone once both
// pictures have faded out. No GL.
void AdvanceIntro(OVERLAYSTATE* state, double t, double dt);

// One frame of the overlay, in the frame driver's order: banner, countdown,
// veil, then the intro until it is done. Called with 2-D texturing on and
// fog off; leaves an orthographic projection and a scaled model-view matrix,
// lighting and the depth test on, blending off and the colour opaque white.
// The second countdown line comes from CountDown (text/countdown.h). Needs a
// current GL context.
void DoOverlayFrame(OVERLAYSTATE* state, const OverlayFrame& frame);
// The intro's step and its two pictures, in overlay space.
void DoIntroFrame(OVERLAYSTATE* state, const OverlayFrame& frame);
