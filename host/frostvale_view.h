// FrostvaleView: the one object a host drives. Every host (window, full
// screen, XScreenSaver window, headless) runs the same lifecycle:
//
//   FrostvaleView(...)        creation: settings loaded, nothing drawn yet
//   SetFrameSize(w, h)        after creation and on every size change
//   StartAnimation()          clears the display to black once
//   AnimateOneFrame()         about every 1/60 s, on the main thread
//   StopAnimation()
//   ~FrostvaleView()          engine cleaned up in the view's context, carol stopped
//
// The first frame sets up GL and the engine and presents nothing. Frames
// closer than 1/60 s to the last do no work; a gap over 2 s is dropped so the
// scene never jumps. A size change re-runs the GL set-up, SetSize and the
// projection on the next frame without re-creating the engine.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "assets/context.h"
#include "engine/ssmain.h"
#include "host/carols.h"
#include "host/frame_budget.h"
#include "host/scaled_scene.h"
#include "host/settings.h"
#include "platform/gl_surface.h"

struct ViewServices {
    GLSurface* surface = nullptr;  // not owned; outlives the view
    Clock* clock = nullptr;        // not owned; outlives the view
    int displayNumber = 0;         // equal numbers mean the same display
    int mainDisplayNumber = 0;
    std::string resourcePath;
    // Seeds rand() at engine set-up; by default the clock time in whole seconds.
    std::function<unsigned()> seed;
    bool showFps = false;  // -fps: the frame-rate and CPU-load readout
    // Makes the carol players; not owned, outlives the view. Null: no music.
    MidiPlayerFactory* players = nullptr;
    int heldShot = -1;     // --shot: the camera's held shot kind, -1 none
    // Auto: light on a software rasteriser, full elsewhere.
    Quality quality = Quality::Full;
    // Called after every drawn and presented frame (--trace).
    std::function<void(const XMASMAIN&)> frameDrawn;
    // Shows image alerts; empty writes them to stderr.
    AlertHandler alert;
    // The countdown's calendar (--now); empty reads the system's.
    CalendarClock calendar;
};

class FrostvaleView {
public:
    static constexpr double kFrameInterval = 1.0 / 60.0;
    static constexpr double kMaxGap = 2.0;
    // Light quality: a frame every 1/30 s, and the processor time of a frame
    // held to this share of that interval.
    static constexpr double kLightInterval = 1.0 / 30.0;
    static constexpr double kLightBudgetShare = 0.25;
    // At light quality, a picture of fewer lines than this draws houses and
    // firs from their low-detail models proportionally nearer.
    static constexpr double kDetailLines = 720.0;

    FrostvaleView(ViewServices services, bool isPreview, const ViewSettings& settings);
    ~FrostvaleView();
    FrostvaleView(const FrostvaleView&) = delete;
    FrostvaleView& operator=(const FrostvaleView&) = delete;

    void SetFrameSize(int width, int height);
    void StartAnimation();
    void AnimateOneFrame();
    void StopAnimation() { animating = false; }

    bool IsAnimating() const { return animating; }
    bool IsPreview() const { return isPreview; }
    // True once the engine set-up has been tried and failed.
    bool SetupFailed() const { return initialized && !setupSucceeded; }
    // Why the engine set-up failed; empty before a failure.
    const SetupError& SetupProblem() const { return context.error; }
    const SSMAIN* Engine() const { return ssMain.get(); }
    const ViewSettings& Settings() const { return settings; }
    bool ThisScreenIsOn() const { return thisScreenIsOn; }
    const Carols& Music() const { return carols; }
    // Clock time from which the next frame advances the scene: one interval
    // after the last frame, 1/60 s after set-up (0 before it).
    double NextFrameDue() const { return nextDue; }
    // The least time between two frames that advance the scene: 1/60 s, 1/30 s
    // at light quality, or what -delay asked for (never under 1/60 s). Known
    // once the first frame has seen the renderer.
    double FrameInterval() const { return frameInterval; }
    bool Light() const { return light; }
    // True when the stretch of a light frame runs through the GL 2.0 program.
    bool StretchesWithProgram() const { return scaled.Ready() && scaled.StretchesWithProgram(); }
    // The scale the scene is drawn at (1 at full quality).
    double SceneScale() const { return budget ? budget->Scale() : 1.0; }

private:
    bool MainSetup();
    void GlInit();
    void GlReshape();
    void ChooseQuality();
    void DrawFrame();
    // What the scene is handed for a frame drawn into `pictureLines` lines.
    SceneInputs FrameInputs(int pictureLines) const;

    ViewServices services;
    bool isPreview;
    ViewSettings settings;  // MainMonitorOnly and mySettings
    bool thisScreenIsOn = true;
    bool glReady = false;
    bool initialized = false;
    bool setupSucceeded = false;
    bool animating = false;
    double animtime = 0.0;
    double nextDue = 0.0;
    DrawableSize scrn;
    EngineContext context;  // before ssMain, which points into it
    std::unique_ptr<SSMAIN> ssMain;
    Carols carols;
    bool qualityChosen = false;
    bool light = false;
    double frameInterval = kFrameInterval;
    std::unique_ptr<FrameBudget> budget;
    ScaledScene scaled;
    bool drawableHasDepth = true;  // a light window on a software rasteriser has none
};
