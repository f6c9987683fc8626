#include "engine/ssmain.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "assets/resource_contract.h"
#include "math/frustum_gl.h"
#include "text/text.h"

std::string WithTrailingSlash(const char* path) {
    std::string result = path != nullptr ? path : "";
    if (result.empty() || result.back() != '/') result += '/';
    return result;
}

SSMAIN::SSMAIN(EngineContext* engineContext) : context(engineContext) {
    bannerTexture = static_cast<unsigned int>(std::rand()) % 2u + kPictureStripA;
}

void LoadSceneProjection(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    gluPerspective(45.0, aspect, 1.0, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void LoadViewState(int width, int height) {
    glViewport(0, 0, width, height);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    LoadSceneProjection(width, height);
}

void SetSharedSceneState() {
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    const GLfloat ambient[] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Set with the identity model-view matrix, so the light rides with the camera.
    const GLfloat position[] = {0.0f, 5.0f, 5.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat fogColour[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
}

bool SSMAIN::Setup(bool preview, int drawableWidth, int drawableHeight, const SETTINGS* settings,
                   const char* path, const SceneInputs& inputs) {
    veilAlpha = 0.0f;
    isPreview = preview;
    resourcePath = WithTrailingSlash(path);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    showCountdown = settings->SHOWCOUNTDOWN;

    if (xmasMain) {
        xmasMain->CleanupAll();
        xmasMain.reset();
    }
    xmasMain = std::make_unique<XMASMAIN>(context);
    xmasMain->inputs = inputs;
    if (!xmasMain->SetupAll(settings, resourcePath.c_str())) return false;
    if (!LoadTexturesFromDataFile((resourcePath + kOverlayImageFile).c_str(), &textures, context, PictureUse::Screen)) {
        return false;
    }

    SetSize(drawableWidth, drawableHeight);

    SetSharedSceneState();
    SetupText(&glyphs);
    return true;
}

void SSMAIN::SetSize(int drawableWidth, int drawableHeight) {
    width = drawableWidth;
    height = drawableHeight;
}

void SSMAIN::Update(double elapsedSeconds) {
    frameTime = elapsedSeconds;
    totalTime += elapsedSeconds;
    if (showFps) {
        const bool cpuClock = context != nullptr && context->cpuSeconds;
        fpsMeter.AddFrame(elapsedSeconds, cpuClock ? context->cpuSeconds() : 0.0);
    }
    if (xmasMain) xmasMain->MoveScene(elapsedSeconds);
}

void SSMAIN::Draw(const SceneInputs& inputs) {
    DrawWorld(inputs);
    DrawScreen();
}

bool SSMAIN::WorldHidden() const { return !isPreview && VeilCoversAll(*this, frameTime); }

void SSMAIN::DrawWorld(const SceneInputs& inputs) {
    // The elements are still drawn, for what drawing animates, but an empty
    // scissor box lets the rasteriser drop every triangle and the clear.
    // The box is put back by hand: a glPushAttrib would cost the driver a
    // saved copy of every attribute group, kept for the context's life.
    const bool hidden = WorldHidden();
    GLint box[4] = {};
    GLboolean scissored = GL_FALSE;
    if (hidden) {
        glGetIntegerv(GL_SCISSOR_BOX, box);
        scissored = glIsEnabled(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
        glEnable(GL_SCISSOR_TEST);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (xmasMain) {
        xmasMain->inputs = inputs;
        xmasMain->MoveCamera();
        xmasMain->MoveSnow();
    }
    // After the camera, before any element: every cull test is in world space.
    if (xmasMain) xmasMain->frustum = ExtractFrustum();

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (xmasMain) xmasMain->DrawScene();
    glPopMatrix();
    glDisable(GL_FOG);
    if (hidden) {
        glScissor(box[0], box[1], box[2], box[3]);
        if (!scissored) glDisable(GL_SCISSOR_TEST);
    }
}

void SSMAIN::DrawScreen() {
    glEnable(GL_TEXTURE_2D);
    if (!isPreview) DoOverlay();
    if (showFps) {
        const OverlayFrame frame = MakeOverlayFrame();
        DrawFpsReadout(fpsMeter, width, height, glyphs, frame.pictures[kPictureFont]);
    }
    glDisable(GL_TEXTURE_2D);
}

OverlayFrame SSMAIN::MakeOverlayFrame() const {
    OverlayFrame frame;
    frame.frameTime = frameTime;
    frame.totalTime = totalTime;
    frame.width = width;
    frame.height = height;
    frame.showCountdown = showCountdown;
    if (context != nullptr) frame.calendar = &context->calendar;
    frame.glyphs = &glyphs;
    frame.textStream = &textStream;
    // An empty record (a lump that is no picture) counts as missing: it has no GL name.
    for (unsigned int i = 0; i < kOverlayPictures; ++i) {
        frame.pictures[i] = TextureName(textures, i);
    }
    return frame;
}

void SSMAIN::DoOverlay() {
    DoOverlayFrame(this, MakeOverlayFrame());
    if (!introDone) return;
    // The intro plays once: its two pictures, the largest the overlay has,
    // are never drawn again, and the driver's copies of them can go.
    for (const unsigned int picture : {kPictureIntroTop, kPictureIntroBottom}) {
        if (picture < textures.size()) textures[picture].Release();
    }
}

void SSMAIN::DoIntro() { DoIntroFrame(this, MakeOverlayFrame()); }

void SSMAIN::Cleanup() {
    if (xmasMain) {
        xmasMain->CleanupAll();
        xmasMain.reset();
    }
    while (!textures.empty()) textures.pop_back();
    textStream.Delete();
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
}
