#define GL_GLEXT_PROTOTYPES 1
#include "assets/vertex_stream.h"

#include <GL/glext.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <new>

bool ContextHasBufferObjects() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    return major > 1 || (major == 1 && minor >= 5);
}

STREAM_VERTEX* VERTEX_STREAM::Map(std::size_t count) {
    mapped_ = false;
    if (count == 0) return nullptr;
    // Grown in powers of two, so a batch that varies (a line of text) makes
    // its buffers anew only a few times in a run.
    if (count > capacity_ && buffers_[0] != 0) Delete();
    if (!tried_) {
        tried_ = true;
        capacity_ = std::bit_ceil(count < 64 ? std::size_t{64} : count);
        if (ContextHasBufferObjects()) {
            glGenBuffers(2, buffers_);
            bool stored = true;
            for (const GLuint name : buffers_) {
                glBindBuffer(GL_ARRAY_BUFFER, name);
                const auto bytes = static_cast<GLsizeiptr>(capacity_ * sizeof(STREAM_VERTEX));
                glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
                // A driver short of memory leaves the buffer without a store;
                // asked of the buffer so an error someone else left stays theirs.
                GLint size = 0;
                glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
                stored = stored && size == bytes;
            }
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            if (!stored) {
                glDeleteBuffers(2, buffers_);
                buffers_[0] = buffers_[1] = 0;
            }
        }
    }
    if (buffers_[0] != 0) {
        // Mapped whole, never rewritten in place with glBufferSubData nor
        // orphaned with glBufferData: Mesa 22's no-op driver crashes on the
        // first and keeps whatever the second leaves behind.
        current_ ^= 1;
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[current_]);
        auto* to = static_cast<STREAM_VERTEX*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
        if (to != nullptr) {
            mapped_ = true;
            return to;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    if (spare_.size() < count) {
        try {
            spare_.resize(count < capacity_ ? capacity_ : count);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return spare_.data();
}

bool VERTEX_STREAM::Unmap() {
    auto base = reinterpret_cast<std::uintptr_t>(spare_.data());
    if (mapped_) {
        mapped_ = false;
        if (glUnmapBuffer(GL_ARRAY_BUFFER) == GL_FALSE) {
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            return false;
        }
        base = 0;  // offsets into the bound buffer
    }
    constexpr GLsizei kStride = sizeof(STREAM_VERTEX);
    const auto at = [base](std::size_t field) { return reinterpret_cast<const void*>(base + field); };
    glVertexPointer(3, GL_FLOAT, kStride, at(offsetof(STREAM_VERTEX, x)));
    glTexCoordPointer(2, GL_FLOAT, kStride, at(offsetof(STREAM_VERTEX, s)));
    glColorPointer(4, GL_FLOAT, kStride, at(offsetof(STREAM_VERTEX, r)));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    return true;
}

void VERTEX_STREAM::Draw(GLenum mode, std::size_t first, std::size_t count) const {
    if (count != 0) glDrawArrays(mode, static_cast<GLint>(first), static_cast<GLsizei>(count));
}

void VERTEX_STREAM::Done() const {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void VERTEX_STREAM::Delete() {
    if (buffers_[0] != 0) glDeleteBuffers(2, buffers_);
    buffers_[0] = buffers_[1] = 0;
    capacity_ = 0;
    tried_ = false;
    mapped_ = false;
}
