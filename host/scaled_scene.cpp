#include "host/scaled_scene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "platform/gl_entry_points.h"

bool HasOpenGl20(std::string_view version) {
    int major = 0;
    const char* end = version.data() + version.size();
    const auto [rest, error] = std::from_chars(version.data(), end, major);
    return error == std::errc() && rest != end && *rest == '.' && major >= 2;
}

struct StretchProgram::Api {
    PFNGLCREATESHADERPROC createShader = nullptr;
    PFNGLSHADERSOURCEPROC shaderSource = nullptr;
    PFNGLCOMPILESHADERPROC compileShader = nullptr;
    PFNGLGETSHADERIVPROC getShaderiv = nullptr;
    PFNGLDELETESHADERPROC deleteShader = nullptr;
    PFNGLCREATEPROGRAMPROC createProgram = nullptr;
    PFNGLATTACHSHADERPROC attachShader = nullptr;
    PFNGLLINKPROGRAMPROC linkProgram = nullptr;
    PFNGLGETPROGRAMIVPROC getProgramiv = nullptr;
    PFNGLDELETEPROGRAMPROC deleteProgram = nullptr;
    PFNGLUSEPROGRAMPROC useProgram = nullptr;
    PFNGLGETUNIFORMLOCATIONPROC getUniformLocation = nullptr;
    PFNGLUNIFORM1IPROC uniform1i = nullptr;

    bool Load(const std::function<void*(const char*)>& lookup) {
        auto get = [&lookup](auto* fn, const char* name) { return LoadEntryPoint(lookup, fn, name); };
        return get(&createShader, "glCreateShader") && get(&shaderSource, "glShaderSource") &&
               get(&compileShader, "glCompileShader") && get(&getShaderiv, "glGetShaderiv") &&
               get(&deleteShader, "glDeleteShader") && get(&createProgram, "glCreateProgram") &&
               get(&attachShader, "glAttachShader") && get(&linkProgram, "glLinkProgram") &&
               get(&getProgramiv, "glGetProgramiv") && get(&deleteProgram, "glDeleteProgram") &&
               get(&useProgram, "glUseProgram") && get(&getUniformLocation, "glGetUniformLocation") &&
               get(&uniform1i, "glUniform1i");
    }
};

namespace {
// No matrix and no division: llvmpipe's linear path accepts a fragment shader
// only when the coordinate reaches the texture fetch as one input's own
// components, and the position must arrive with w = 1.
constexpr const char* kVertexShader = R"(#version 110
varying vec2 tc;
void main() {
    gl_Position = gl_Vertex;
    tc = gl_MultiTexCoord0.xy;
}
)";
constexpr const char* kFragmentShader = R"(#version 110
uniform sampler2D picture;
varying vec2 tc;
void main() {
    gl_FragColor = texture2D(picture, tc);
}
)";
}  // namespace

StretchProgram::StretchProgram() = default;
StretchProgram::~StretchProgram() { Release(); }

bool StretchProgram::Create(const std::function<void*(const char*)>& lookup) {
    Release();
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr || !HasOpenGl20(version)) return false;
    auto api = std::make_unique<Api>();
    if (!api->Load(lookup)) return false;
    auto compile = [&api](GLenum kind, const char* source) {
        const GLuint shader = api->createShader(kind);
        api->shaderSource(shader, 1, &source, nullptr);
        api->compileShader(shader);
        GLint ok = GL_FALSE;
        api->getShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok == GL_TRUE) return shader;
        api->deleteShader(shader);
        return 0u;
    };
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    GLuint program = 0;
    if (vertex != 0 && fragment != 0) {
        program = api->createProgram();
        api->attachShader(program, vertex);
        api->attachShader(program, fragment);
        api->linkProgram(program);
        GLint linked = GL_FALSE;
        api->getProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            api->deleteProgram(program);
            program = 0;
        }
    }
    // Attached shaders live on with the program; these names only go.
    if (vertex != 0) api->deleteShader(vertex);
    if (fragment != 0) api->deleteShader(fragment);
    if (program == 0) return false;
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    api->useProgram(program);
    api->uniform1i(api->getUniformLocation(program, "picture"), 0);
    api->useProgram(static_cast<GLuint>(current));
    api_ = std::move(api);
    program_ = program;
    return true;
}

void StretchProgram::Release() {
    if (program_ != 0) api_->deleteProgram(program_);
    program_ = 0;
}

void StretchProgram::Use() const { api_->useProgram(program_); }

void StretchProgram::Unuse() const { api_->useProgram(0); }

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
    program_.Create([surface](const char* name) { return surface->GetProcAddress(name); });
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
    // Unsized RGBA given as BGRA bytes: Mesa keeps it as B8G8R8A8, the one
    // layout llvmpipe's linear path reads (a sized GL_RGBA8 becomes RGBA order).
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pictureWidth_, pictureHeight_, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
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
    program_.Release();
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
// (2.5 MB) that the context then keeps for good. Depth, stencil and logic op
// off are also what the linear path asks of the program's quad.
constexpr GLenum kStretchOff[] = {GL_DEPTH_TEST, GL_STENCIL_TEST,  GL_COLOR_LOGIC_OP, GL_LIGHTING, GL_FOG,
                                  GL_BLEND,      GL_CULL_FACE,     GL_ALPHA_TEST,     GL_TEXTURE_GEN_S,
                                  GL_TEXTURE_GEN_T};
}  // namespace

void ScaledScene::DrawQuad() const {
    // The edge texels' centres on the window's edges: filtering never reaches
    // past the picture. Corners exactly on the drawable's, w = 1.
    const float u0 = 0.5f / pictureWidth_, v0 = 0.5f / pictureHeight_;
    const float u1 = (pictureWidth_ - 0.5f) / pictureWidth_, v1 = (pictureHeight_ - 0.5f) / pictureHeight_;
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(u0, v0);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(u1, v0);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(u1, v1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(u0, v1);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

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
    GLint bound = 0, envMode = GL_MODULATE, shading = GL_SMOOTH;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    glGetIntegerv(GL_SHADE_MODEL, &shading);
    GLfloat texCoord[4] = {};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glShadeModel(GL_SMOOTH);
    if (program_.Ready()) {
        // The vertex shader ignores the matrices: no need to touch them.
        program_.Use();
        DrawQuad();
        program_.Unuse();
    } else {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        DrawQuad();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    }
    glShadeModel(static_cast<GLenum>(shading));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glTexCoord4fv(texCoord);
    if (!textured) glDisable(GL_TEXTURE_2D);
    for (std::size_t i = 0; i < std::size(kStretchOff); ++i) {
        if (wasOn[i]) glEnable(kStretchOff[i]);
    }
}
