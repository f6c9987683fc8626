// Geometry made anew every frame (flakes, puffs, sparkles, stars, glyphs):
// written once into a buffer object and drawn from it, rather than handed to
// the driver vertex by vertex, which copies it into fresh upload space on
// every draw.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

// OpenGL 1.5 or later: buffer objects are core.
bool ContextHasBufferObjects();

// One vertex as glColor4f, glTexCoord2f and glVertex3f would give it, so the
// picture is the same as drawing it in immediate mode.
struct STREAM_VERTEX {
    float x, y, z;
    float s, t;
    float r, g, b, a;
};

// Two buffer objects filled in turn through a mapping, so the one a driver
// may still be reading from last frame is never waited for; without buffer
// objects (before OpenGL 1.5) or when a mapping fails, the same vertices are
// drawn from client memory. Each user owns one and fills it at most once a
// frame; several draws may read from one filling. Needs the context current
// from Map to Done, and at Delete (the destructor too).
class VERTEX_STREAM {
public:
    VERTEX_STREAM() = default;
    VERTEX_STREAM(const VERTEX_STREAM&) = delete;
    VERTEX_STREAM& operator=(const VERTEX_STREAM&) = delete;
    ~VERTEX_STREAM() { Delete(); }

    // Room for `count` vertices, to be written before Unmap. Null when count
    // is 0 or memory runs out; then nothing is to be drawn.
    STREAM_VERTEX* Map(std::size_t count);
    // Ends the writing and points the vertex, texture and colour arrays at
    // it. False when the written vertices were lost (a mapping the driver
    // took back): draw nothing this time.
    bool Unmap();
    void Draw(GLenum mode, std::size_t first, std::size_t count) const;
    // Turns the arrays off again and unbinds the buffer.
    void Done() const;
    void Delete();

private:
    GLuint buffers_[2] = {0, 0};
    int current_ = 0;
    std::size_t capacity_ = 0;  // vertices each buffer holds
    bool tried_ = false;        // buffers made, or found unavailable
    bool mapped_ = false;       // writing into buffers_[current_], not spare_
    std::vector<STREAM_VERTEX> spare_;
};
