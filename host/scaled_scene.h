// An offscreen picture the 3-D scene is drawn into at a reduced scale and
// then stretched, with linear filtering, over the whole drawable; what is
// drawn afterwards (the overlay's text) stays at the drawable's resolution.
#pragma once

#include <GL/gl.h>

#include <memory>

#include "platform/framebuffer_api.h"
#include "platform/gl_surface.h"

class ScaledScene {
public:
    ScaledScene();
    ~ScaledScene();
    ScaledScene(const ScaledScene&) = delete;
    ScaledScene& operator=(const ScaledScene&) = delete;

    // For a drawable of width x height, drawn at scales up to `maxScale`.
    // Needs the surface's context current. False when the context has no
    // framebuffer objects or cannot make one this size (then draw directly).
    bool Create(GLSurface* surface, int width, int height, double maxScale);
    // Frees the GL objects; needs the same context current. Safe twice.
    void Release();
    bool Ready() const { return framebuffer_ != 0; }

    // Redirects drawing to the picture, at `scale` (up to the largest given
    // to Create) of the drawable in each direction; the scene's projection
    // keeps the drawable's aspect.
    void Begin(double scale);
    // Back to the framebuffer that was bound at Begin: stretches the picture
    // over it and leaves the depth buffer clear for what comes next.
    void End();

private:
    using Api = FramebufferApi;
    std::unique_ptr<Api> api_;
    GLuint framebuffer_ = 0;
    GLuint texture_ = 0;
    GLuint depth_ = 0;
    int width_ = 0, height_ = 0;        // the drawable
    int pictureWidth_ = 0, pictureHeight_ = 0;
    int drawnWidth_ = 0, drawnHeight_ = 0;
    GLint previous_ = 0;
};
