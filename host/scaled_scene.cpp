#include "host/scaled_scene.h"

#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <iterator>

ScaledScene::ScaledScene() = default;
ScaledScene::~ScaledScene() { Release(); }

bool ScaledScene::Create(GLSurface* surface, int width, int height, double maxScale) {
    Release();
    if (width <= 0 || height <= 0) return false;
    if (!api_) {
        auto loaded = std::make_unique<Api>();
        if (!loaded->Load([surface](const char* name) { return surface->GetProcAddress(name); })) return false;
        api_ = std::move(loaded);
    }
    width_ = width;
    height_ = height;
    maxScale_ = maxScale;
    glGenTextures(1, &texture_);
    api_->genRenderbuffers(1, &depth_);
    api_->genFramebuffers(1, &framebuffer_);
    const bool complete = Allocate(std::clamp(static_cast<int>(std::ceil(width * maxScale)), 1, width),
                                   std::clamp(static_cast<int>(std::ceil(height * maxScale)), 1, height));
    if (!complete) Release();
    return complete;
}

bool ScaledScene::Allocate(int pictureWidth, int pictureHeight) {
    Api& api = *api_;
    pictureWidth_ = pictureWidth;
    pictureHeight_ = pictureHeight;
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);

    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pictureWidth_, pictureHeight_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));

    api.bindRenderbuffer(GL_RENDERBUFFER, depth_);
    api.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, pictureWidth_, pictureHeight_);
    api.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    api.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    api.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    const bool complete = api.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    api.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
    return complete;
}

void ScaledScene::Release() {
    if (api_ != nullptr) {
        if (framebuffer_ != 0) api_->deleteFramebuffers(1, &framebuffer_);
        if (depth_ != 0) api_->deleteRenderbuffers(1, &depth_);
    }
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    framebuffer_ = depth_ = texture_ = 0;
}

bool ScaledScene::Begin(double scale) {
    if (!Ready()) return false;
    scale = std::min(scale, maxScale_);
    const int drawnWidth = std::clamp(static_cast<int>(std::lround(width_ * scale)), 1, width_);
    const int drawnHeight = std::clamp(static_cast<int>(std::lround(height_ * scale)), 1, height_);
    // The picture follows the scale: a software rasteriser clears and keeps
    // every pixel of it each frame, drawn on or not. Scales change seldom.
    if ((drawnWidth != pictureWidth_ || drawnHeight != pictureHeight_) && !Allocate(drawnWidth, drawnHeight)) {
        Release();
        return false;
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous_);
    api_->bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, pictureWidth_, pictureHeight_);
    return true;
}

namespace {
// What the stretch switches off, put back by hand afterwards: the first
// glPushAttrib makes Mesa allocate a saved copy of every attribute group
// (2.5 MB) that the context then keeps for good.
constexpr GLenum kStretchOff[] = {GL_DEPTH_TEST, GL_LIGHTING,   GL_FOG,          GL_BLEND,
                                  GL_CULL_FACE,  GL_ALPHA_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T};
}  // namespace

void ScaledScene::End(bool stretch) {
    api_->bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous_));
    glViewport(0, 0, width_, height_);
    if (!stretch) return;
    GLboolean wasOn[std::size(kStretchOff)];
    for (std::size_t i = 0; i < std::size(kStretchOff); ++i) {
        wasOn[i] = glIsEnabled(kStretchOff[i]);
        glDisable(kStretchOff[i]);
    }
    const GLboolean textured = glIsEnabled(GL_TEXTURE_2D);
    GLint bound = 0, envMode = GL_MODULATE;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    GLfloat texCoord[4] = {};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The edge texels' centres on the window's edges: filtering never reaches
    // past the picture.
    const float u0 = 0.5f / pictureWidth_, v0 = 0.5f / pictureHeight_;
    const float u1 = (pictureWidth_ - 0.5f) / pictureWidth_, v1 = (pictureHeight_ - 0.5f) / pictureHeight_;
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(u1, v0);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(u1, v1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(u0, v1);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glTexCoord4fv(texCoord);
    if (!textured) glDisable(GL_TEXTURE_2D);
    for (std::size_t i = 0; i < std::size(kStretchOff); ++i) {
        if (wasOn[i]) glEnable(kStretchOff[i]);
    }
}
