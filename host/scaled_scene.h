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
    // keeps the drawable's aspect. False, and released, when the picture
    // cannot be made that size: then draw directly.
    bool Begin(double scale);
    // Back to the framebuffer that was bound at Begin and, when `stretch`,
    // the picture stretched over all of it (not when what follows covers it).
    // Its depth buffer is left as it was; what is drawn over the picture must
    // not test against it.
    void End(bool stretch = true);
    // Lines of the picture Begin draws into.
    int PictureHeight() const { return pictureHeight_; }

private:
    using Api = FramebufferApi;
    std::unique_ptr<Api> api_;
    GLuint framebuffer_ = 0;
    GLuint texture_ = 0;
    GLuint depth_ = 0;
    bool Allocate(int pictureWidth, int pictureHeight);

    int width_ = 0, height_ = 0;        // the drawable
    double maxScale_ = 1.0;
    int pictureWidth_ = 0, pictureHeight_ = 0;
    GLint previous_ = 0;
};
