// An offscreen picture the 3-D scene is drawn into at a reduced scale and
// then stretched, with linear filtering, over the whole drawable; what is
// drawn afterwards (the overlay's text) stays at the drawable's resolution.
//
// The stretch is the one full-drawable pass a light frame adds, so it is made
// in the form Mesa's llvmpipe fills by its linear path (texels copied and
// blended along whole spans, no per-pixel shader): a GL 2.0 program that only
// samples the picture at an interpolated coordinate, a picture held as 8-bit
// BGRA, one screen-aligned quad, and no depth, stencil or logic op. Fixed-
// function texturing never takes that path (its texture stage divides by q),
// so the fixed-function quad is only the fallback where the program cannot be
// had. The destination must have no depth buffer either, which is why a light
// window on a software rasteriser is made without one and the scene's depth
// lives here, in the picture's framebuffer object.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <memory>
#include <string_view>

#include "platform/framebuffer_api.h"
#include "platform/gl_surface.h"

// True when GL_VERSION ("4.5 (Compatibility Profile) Mesa 22.3.6",
// "1.4 (2.1 Mesa 22.3.6)") reports at least OpenGL 2.0, so that shader
// programs are core; the leading number is the context's own.
bool HasOpenGl20(std::string_view glVersion);

// The GL 2.0 program that copies the picture: a vertex shader passing the
// position and the first texture coordinate through unchanged, a fragment
// shader that writes the sampled texel and nothing else.
class StretchProgram {
public:
    StretchProgram();
    ~StretchProgram();
    StretchProgram(const StretchProgram&) = delete;
    StretchProgram& operator=(const StretchProgram&) = delete;

    // Needs the context current. False, and nothing held, when the context is
    // older than 2.0, `lookup` lacks an entry point, or the program does not
    // compile or link.
    bool Create(const std::function<void*(const char*)>& lookup);
    void Release();  // same context current; safe twice
    bool Ready() const { return program_ != 0; }
    void Use() const;    // the sampler reads texture unit 0
    void Unuse() const;  // back to fixed function

private:
    struct Api;
    std::unique_ptr<Api> api_;
    GLuint program_ = 0;
};

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
    // True when the stretch goes through the program, false on the
    // fixed-function fallback.
    bool StretchesWithProgram() const { return program_.Ready(); }

    // Redirects drawing to the picture, at `scale` (up to the largest given
    // to Create) of the drawable in each direction; the scene's projection
    // keeps the drawable's aspect. False, and released, when the picture
    // cannot be made that size: then draw directly.
    bool Begin(double scale);
    // Back to the framebuffer that was bound at Begin and, when `stretch`,
    // the picture stretched over all of it (not when what follows covers it).
    // Every pixel of the drawable is written, so it needs no clear. Its depth
    // buffer, if it has one, is left as it was; what is drawn over the
    // picture must not test against it.
    void End(bool stretch = true);
    // Lines of the picture Begin draws into.
    int PictureHeight() const { return pictureHeight_; }

private:
    using Api = FramebufferApi;
    std::unique_ptr<Api> api_;
    StretchProgram program_;
    GLuint framebuffer_ = 0;
    GLuint texture_ = 0;
    GLuint depth_ = 0;
    bool Allocate(int pictureWidth, int pictureHeight);
    void DrawQuad() const;

    int width_ = 0, height_ = 0;        // the drawable
    double maxScale_ = 1.0;
    int pictureWidth_ = 0, pictureHeight_ = 0;
    GLint previous_ = 0;
};
