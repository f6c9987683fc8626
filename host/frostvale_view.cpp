#include "host/frostvale_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>

FrostvaleView::FrostvaleView(ViewServices services_, bool preview, const ViewSettings& loaded)
    : services(std::move(services_)),
      isPreview(preview),
      settings(loaded),
      carols(services.players, services.resourcePath) {
    scrn = services.surface->Size();
    Clock* clock = services.clock;
    if (!services.seed) services.seed = [clock] { return static_cast<unsigned>(clock->Now()); };
    context.alert = services.alert;
    context.calendar = services.calendar;
    context.cpuSeconds = [clock] { return clock->CpuSeconds(); };
}

FrostvaleView::~FrostvaleView() {
    // Textures and display lists belong to this view's context.
    services.surface->MakeCurrent();
    scaled.Release();
    if (ssMain) {
        ssMain->Cleanup();
        ssMain.reset();
    }
    carols.Shutdown(settings.settings.PLAYMUSIC);
}

void FrostvaleView::SetFrameSize(int width, int height) {
    scrn = {width, height};
    glReady = false;
}

void FrostvaleView::StartAnimation() {
    thisScreenIsOn = !(settings.MainMonitorOnly && services.displayNumber != services.mainDisplayNumber);
    // Carols play only from the main display's view, whatever MainMonitorOnly says.
    if (services.displayNumber != services.mainDisplayNumber) settings.settings.PLAYMUSIC = false;
    services.surface->MakeCurrent();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    services.surface->Present();
    animating = true;
}

void FrostvaleView::AnimateOneFrame() {
    if (!animating) return;
    if (!thisScreenIsOn) {
        StopAnimation();
        return;
    }
    services.surface->MakeCurrent();
    if (!glReady) {
        GlInit();
        glReady = true;
    }
    if (!initialized) {
        setupSucceeded = MainSetup();
        initialized = true;  // never retried: a broken resource folder stays broken
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    const double now = services.clock->Now();
    const double dt = now - animtime;
    if (dt > kMaxGap) {
        animtime = now;
        nextDue = now + frameInterval;
        return;
    }
    // A frame exactly when due is drawn; only earlier ones wait. The small
    // tolerance absorbs the rounding of clocks that tick at 1/60 s.
    if (now < nextDue - 1e-9) return;
    animtime = now;
    // A longer interval of our own keeps to a grid: a wake-up a little late
    // each time would otherwise add up to a lower rate (29.6 for 30 on an
    // idle machine). A frame a whole interval behind starts the grid afresh.
    // At 1/60 s each frame counts from the last, as the rate was always gated.
    const bool onGrid = frameInterval > kFrameInterval && now - nextDue < frameInterval;
    nextDue = (onGrid ? nextDue : now) + frameInterval;
    // Processor time of every thread, llvmpipe's rasterisers included: what
    // the frame costs the machine, whatever else is running.
    const double cpuStart = budget ? services.clock->CpuSeconds() : 0.0;
    if (ssMain) ssMain->Update(dt);
    DrawFrame();
    services.surface->Present();
    if (budget) budget->AddFrame(services.clock->CpuSeconds() - cpuStart);
    // Carols come from the main display's view only, and never from a preview.
    if (!isPreview && settings.settings.PLAYMUSIC && services.displayNumber == services.mainDisplayNumber)
        carols.Step(dt, &settings.settings);
    if (services.frameDrawn && ssMain && ssMain->xmasMain) services.frameDrawn(*ssMain->xmasMain);
}

bool FrostvaleView::MainSetup() {
    // rand() stays the process's one generator, seeded here once per engine
    // set-up: every random draw of the scene comes from it in a fixed order.
    std::srand(services.seed());
    context.error = {};
    if (ssMain) {
        ssMain->Cleanup();
        ssMain.reset();
    }
    // Only a scene drawn into the smaller picture gets the smaller pictures.
    context.scenePictureHalvings = light && scaled.Ready() ? 1 : 0;
    ssMain = std::make_unique<SSMAIN>(&context);
    ssMain->showFps = services.showFps;
    if (!ssMain->Setup(isPreview, scrn.width, scrn.height, &settings.settings, services.resourcePath.c_str(),
                       FrameInputs(scrn.height))) {
        // Keep the display black: an engine that failed half-way draws nothing.
        ssMain->Cleanup();
        ssMain.reset();
        return false;
    }
    // Due no sooner than the fastest rate allows: until then the host sleeps
    // rather than asking again and again.
    animtime = services.clock->Now();
    nextDue = animtime + kFrameInterval;
    return true;
}

void FrostvaleView::DrawFrame() {
    const double scale = SceneScale();
    // A drawable without a depth buffer gets the scene through the picture
    // even at full scale: the picture holds the depth.
    const bool direct = scale >= 1.0 && drawableHasDepth;
    if (!ssMain || direct || !scaled.Begin(scale)) {
        GlReshape();  // the overlay of the previous frame left its own projection
        if (ssMain) ssMain->Draw(FrameInputs(scrn.height));
        return;
    }
    GlReshape();
    ssMain->DrawWorld(FrameInputs(scaled.PictureHeight()));
    scaled.End(!ssMain->WorldHidden());
    ssMain->DrawScreen();
}

SceneInputs FrostvaleView::FrameInputs(int pictureLines) const {
    SceneInputs inputs;
    inputs.heldShot = services.heldShot;
    // A house or fir past the fog's start covers no more pixels of a
    // kDetailLines-line frame than it does of a smaller picture at the same
    // depth scaled down by the line count: the low-detail models take over
    // that much nearer. Full quality keeps the fog's start at any size.
    double depth = kFarDetailDepth;
    if (light) depth *= std::min(1.0, pictureLines / kDetailLines);
    inputs.farDetailDepth = static_cast<float>(depth);
    inputs.lightPictureLines = light ? pictureLines : 0;
    return inputs;
}

void FrostvaleView::ChooseQuality() {
    qualityChosen = true;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    light = services.quality == Quality::Light ||
            (services.quality == Quality::Auto && IsSoftwareRenderer(renderer != nullptr ? renderer : ""));
    frameInterval = light ? kLightInterval : kFrameInterval;
    if (settings.frameDelay >= 0) frameInterval = std::max(kFrameInterval, settings.frameDelay * 1e-6);
    // Half size to start: a full-size frame on a software rasteriser costs
    // several budgets, and a fast machine climbs back within two seconds.
    if (light) budget = std::make_unique<FrameBudget>(kLightBudgetShare * frameInterval, 4);
}

void FrostvaleView::GlInit() {
    scrn = services.surface->Size();
    if (ssMain) ssMain->SetSize(scrn.width, scrn.height);
    LoadViewState(scrn.width, scrn.height);
    if (!qualityChosen) ChooseQuality();
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    drawableHasDepth = depthBits > 0;
    // At full scale the scene is drawn directly where the drawable has a depth
    // buffer, so the picture need only be as large as the next step down.
    // Without framebuffer objects: full size always.
    const double largest = drawableHasDepth ? FrameBudget::kScales[1] : 1.0;
    if (light && !scaled.Create(services.surface, scrn.width, scrn.height, largest)) budget.reset();
}

void FrostvaleView::GlReshape() { LoadSceneProjection(scrn.width, scrn.height); }
