// The frame driver: the portable engine's top object.
//
// The view creates one per display, calls Setup once with a current GL
// context, SetSize after every resize, then Update(dt) and Draw() for every
// frame that advances, and Cleanup before deleting it. SSMAIN owns the scene
// and the overlay's textures and sets the GL state the whole scene shares.
// Everything runs on the host's main thread with the view's context current.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "assets/texture.h"
#include "assets/vertex_stream.h"
#include "scene/scene_settings.h"
#include "scene/xmasmain.h"
#include "text/fps.h"
#include "text/overlay.h"

// The overlay's fields (banner, veil, countdown, intro) come from
// OVERLAYSTATE; only DoOverlay and DoIntro change them.
class SSMAIN : public OVERLAYSTATE {
public:
    // Draws the first banner strip, so seed the random generator first.
    // Set-up reports, and the overlay reads its calendar, through `context`
    // (the view's; not owned).
    explicit SSMAIN(EngineContext* context = nullptr);
    ~SSMAIN() { Cleanup(); }
    SSMAIN(const SSMAIN&) = delete;
    SSMAIN& operator=(const SSMAIN&) = delete;

    // Returns false at the first failing step (scene set-up, then the overlay
    // textures); the shared GL state is then left unset. What was built stays
    // in place for Cleanup, and Update/Draw remain harmless.
    // `inputs` reach the scene before its set-up (the held shot).
    bool Setup(bool preview, int drawableWidth, int drawableHeight, const SETTINGS* settings,
               const char* path, const SceneInputs& inputs = {});
    // Stores the size only: the view owns the viewport and the projection.
    void SetSize(int drawableWidth, int drawableHeight);
    void Update(double elapsedSeconds);
    // DrawWorld then DrawScreen.
    void Draw(const SceneInputs& inputs);
    // The 3-D scene: clear, camera, frustum, every element, with this frame's
    // `inputs` handed to the scene first. Under an opaque veil every element
    // still moves and animates but nothing is rasterised.
    void DrawWorld(const SceneInputs& inputs);
    // True when this frame's overlay will hide the whole scene.
    bool WorldHidden() const;
    // What sits on the screen over the scene at the drawable's full size:
    // the overlay (unless a preview) and the -fps readout.
    void DrawScreen();
    // Safe after a partial Setup and safe to call twice.
    void Cleanup();
    // The overlay over the scene in screen space (text/overlay.h): banner,
    // countdown, veil, then one intro step until the intro is done. Draw
    // calls it unless the view is a preview, so a preview's intro never
    // advances.
    void DoOverlay();
    // One intro step alone, in overlay space; DoOverlay already runs it.
    void DoIntro();
    // What the overlay reads this frame: clocks, size, the pictures' GL names.
    OverlayFrame MakeOverlayFrame() const;

    double totalTime = 0.0;  // sum of every dt given to Update, seconds
    double frameTime = 0.0;  // this frame's dt, seconds
    int width = 0;
    int height = 0;
    bool isPreview = false;
    std::string resourcePath;  // always ends in "/"
    std::vector<Texture> textures;  // "bramble.works": 0 font, 1 banner, 2-3 intro, 4-5 strips
    bool showCountdown = true;
    std::unique_ptr<XMASMAIN> xmasMain;
    bool showFps = false;  // the -fps readout, drawn over everything when on
    FPSMETER fpsMeter;
    GlyphTable glyphs;  // the font's cells, filled by Setup
    mutable VERTEX_STREAM textStream;  // the countdown's glyphs, refilled as it draws
    EngineContext* context = nullptr;
};

// The GL state every scene element relies on: back-face culling, sphere-map
// texture generation (mode only), light 0 as a point light that rides with
// the camera (call it with the identity model-view matrix), lighting on, and
// linear black fog from 300 to 390 (configured, not enabled). Setup calls it;
// tools that draw models "as the scene does" call it too.
void SetSharedSceneState();

// The projection the view loads before every frame (the overlay leaves its
// own behind): 45 degrees, near 1, far 400, at the drawable's aspect; leaves
// an identity model-view matrix current.
void LoadSceneProjection(int width, int height);

// The fixed state the view sets for a drawable before the engine's set-up and
// after every resize (viewport, smooth shading, black clear, depth test with
// LEQUAL, colour material), then the projection; tools and benchmarks that
// drive the engine without a view call it too.
void LoadViewState(int width, int height);

// Appends "/" unless the path already ends in one.
std::string WithTrailingSlash(const char* path);
