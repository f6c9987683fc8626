// Camera-facing quads of one particle kind, gathered on the processor and
// handed to GL in a single client-array draw: thousands of flakes or stars
// cost one call instead of three per corner. The storage is sized once at
// set-up for the most quads the kind can ever show, so a frame allocates
// nothing.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "math/vector.h"

class QuadBatch {
public:
    // Set-up only; throws std::bad_alloc like any other array of the scene.
    void Reserve(std::size_t quads) {
        vertices.assign(quads * 4, Vertex{});
        indices.resize(quads * 6);
        for (std::size_t q = 0; q < quads; ++q) {
            const GLuint v = static_cast<GLuint>(q * 4);
            const GLuint order[6] = {v, v + 1, v + 2, v, v + 2, v + 3};
            for (int i = 0; i < 6; ++i) indices[q * 6 + static_cast<std::size_t>(i)] = order[i];
        }
        used = 0;
    }
    void Release() {
        vertices.clear();
        vertices.shrink_to_fit();
        indices.clear();
        indices.shrink_to_fit();
        used = 0;
    }
    void Begin() { used = 0; }

    // One quad: corner c at centre + corners[c] * scale, texture (s[c], t[c]),
    // every corner in the colour (r, g, b, a). The same sums in the same
    // precision as glVertex3f would be given (a scale of 1 changes nothing).
    // A full batch drops the quad.
    void Add(VECTOR3D centre, const VECTOR3D corners[4], float scale, const float s[4], const float t[4], float r,
             float g, float b, float a) {
        if (used + 4 > vertices.size()) return;
        for (int c = 0; c < 4; ++c) {
            Vertex& v = vertices[used++];
            v.s = s[c];
            v.t = t[c];
            v.r = r;
            v.g = g;
            v.b = b;
            v.a = a;
            v.x = centre.x + corners[c].x * scale;
            v.y = centre.y + corners[c].y * scale;
            v.z = centre.z + corners[c].z * scale;
        }
    }
    // Draws what was added, each quad as the triangles (0, 1, 2) and
    // (0, 2, 3), the split immediate-mode GL_QUADS gets, so every pixel comes
    // out as before; leaves the current colour as the last corner's, as
    // immediate mode would have.
    void Draw() const {
        if (used == 0) return;
        const Vertex* first = vertices.data();
        constexpr GLsizei kStride = sizeof(Vertex);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, kStride, &first->x);
        glColorPointer(4, GL_FLOAT, kStride, &first->r);
        glTexCoordPointer(2, GL_FLOAT, kStride, &first->s);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(used / 4 * 6), GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        const Vertex& last = vertices[used - 1];
        glColor4f(last.r, last.g, last.b, last.a);
    }

    std::size_t Quads() const { return used / 4; }
    std::size_t Capacity() const { return vertices.size() / 4; }

private:
    struct Vertex {
        float s, t;
        float r, g, b, a;
        float x, y, z;
    };
    std::vector<Vertex> vertices;
    std::vector<GLuint> indices;
    std::size_t used = 0;
};
