// The backdrop: twinkling stars and the moon around the eye, a cone of
// generated clouds hung over it, and the snowy ground tiled 9 x 9 under the
// moving world.
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>
#include <new>

#include "assets/ms3d.h"
#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "scene/xmasmain.h"

namespace {
constexpr float kStarRadius = 100.0f;
constexpr float kStarSize = 0.3f;
// A star never sits more than this far below the eye.
constexpr float kStarLowest = -10.0f;
constexpr float kGroundTile = 120.0f;
constexpr float kGroundTileRadius = 90.0f;
constexpr float kGroundLevel = -54.0f;
constexpr int kGroundTiles = 4;  // either side of the middle tile
constexpr int kCoarseGroundStep = 3;

constexpr GLuint kMoonImage = scene_image::kMoon;
constexpr GLuint kGlowImage = scene_image::kGlow;

VECTOR3D RandomStarPlace() {
    VECTOR3D p = {0.0f, kStarRadius, 0.0f};
    const float ax = static_cast<float>(std::rand() % 360);
    const float ay = static_cast<float>(std::rand() % 360);
    const float az = static_cast<float>(std::rand() % 360);
    Rotate(&p, ax, ay, az);
    if (p.y < kStarLowest) p.y = -p.y;
    return p;
}

float RandomStarBrightness() { return static_cast<float>(std::rand() % 100) / 10.0f + 1.0f; }

// Keeps a texture offset in 0..1 as the clouds drift.
float WrapOffset(float offset) {
    if (offset < 0.0f) offset += 1.0f;
    if (offset > 1.0f) offset -= 1.0f;
    return offset;
}
}  // namespace

// ---- stars and moon ----

bool XMASMAIN::SetupStars() {
    try {
        stars.assign(static_cast<std::size_t>(starCount > 0 ? starCount : 0), ONEPARTICLE{});
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(Error(), "Error allocating memory!");
        return false;
    }
    for (ONEPARTICLE& star : stars) {
        star.position = RandomStarPlace();
        star.alpha = RandomStarBrightness();
        star.rate = -1.0f;
    }
    moon.position = {0.0f, kStarRadius, 0.0f};
    const float elevation = static_cast<float>(std::rand() % 40 + 30);
    const float bearing = static_cast<float>(std::rand() % 720 - 360);
    Rotate(&moon.position, elevation, bearing, 0.0f);
    moonSize = static_cast<float>(std::rand() % 60) / 10.0f + 4.0f;
    return true;
}

void XMASMAIN::MoveSky() {
    for (ONEPARTICLE& star : stars) {
        star.alpha += static_cast<float>(frameTime * star.rate);
        if (star.alpha < 0.0f) {
            // Faded out: it comes back elsewhere, fading in.
            star.position = RandomStarPlace();
            star.rate = 1.0f;
        }
        if (star.alpha > 1.0f && star.rate > 0.0f) {
            star.alpha = RandomStarBrightness();
            star.rate = -1.0f;
        }
    }
    // The clouds drift here rather than while drawing, so that drawing a frame
    // changes nothing and a frame drawn twice looks the same.
    Rotate(&cloudDrift, 0.0f, 0.0f, static_cast<float>(2.0 * frameTime));
    cloudOffsetU = WrapOffset(cloudOffsetU + static_cast<float>(cloudDrift.x * frameTime * 0.01));
    cloudOffsetV = WrapOffset(cloudOffsetV + static_cast<float>(cloudDrift.y * frameTime * 0.01));
}

void XMASMAIN::DrawStars() {
    if (stars.empty() && moonSize <= 0.0f) return;
    const MATRIX facing = MatrixAngleBetweenVectors(cameraTarget, cameraEye);
    VECTOR3D corners[4];
    for (int i = 0; i < 4; ++i) corners[i] = MatrixRotatePoint(facing, ScaleVector(kQuad[i].at, kStarSize));

    // The stars' quads, then the moon's, in one buffer; two draws, as each
    // has its own picture.
    STREAM_VERTEX* to = starStream.Map(4 * stars.size() + 4);
    if (to == nullptr) return;
    std::size_t n = 0;
    for (const ONEPARTICLE& star : stars) {
        const VECTOR3D centre = AddVectors(cameraEye, star.position);
        if (star.alpha <= 0.0f || !SphereInFrustum(frustum, centre, kStarSize)) continue;
        for (int i = 0; i < 4; ++i) {
            to[n++] = {centre.x + corners[i].x, centre.y + corners[i].y, centre.z + corners[i].z, kQuad[i].s,
                       kQuad[i].t, 0.75f * star.alpha, 0.75f * star.alpha, 1.0f, star.alpha};
        }
    }
    const std::size_t starVertices = n;
    const VECTOR3D moonCentre = AddVectors(cameraEye, moon.position);
    if (SphereInFrustum(frustum, moonCentre, moonSize)) {
        const MATRIX moonFacing = MatrixAngleBetweenVectors(moon.position, {0.0f, 0.0f, 0.0f});
        for (int i = 0; i < 4; ++i) {
            const VECTOR3D c = MatrixRotatePoint(moonFacing, ScaleVector(kQuad[i].at, moonSize));
            to[n++] = {moonCentre.x + c.x, moonCentre.y + c.y, moonCentre.z + c.z, kQuad[i].s, kQuad[i].t,
                       1.0f, 1.0f, 1.0f, 1.0f};
        }
    }
    if (starStream.Unmap()) {
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, TextureName(textures, kGlowImage));
        starStream.Draw(GL_QUADS, 0, starVertices);
        if (n > starVertices) {
            glBindTexture(GL_TEXTURE_2D, TextureName(textures, kMoonImage));
            starStream.Draw(GL_QUADS, starVertices, n - starVertices);
        }
        starStream.Done();
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// ---- clouds ----

void XMASMAIN::SmoothTex(int size, unsigned char* dst, const unsigned char* src) {
    for (int y = 0; y < size; ++y) {
        const int ym = y > 0 ? y - 1 : size - 1;
        for (int x = 0; x < size; ++x) {
            const int xm = x > 0 ? x - 1 : size - 1;
            // Four samples over five: every pass also darkens the image by a fifth.
            const int sum = src[xm + ym * size] + src[xm + y * size] + src[x + ym * size] + src[x + y * size];
            dst[x + y * size] = static_cast<unsigned char>(sum / 5.0);
        }
    }
}

void XMASMAIN::CopyAndEnlarge(const unsigned char* src, unsigned char* dst, int n, int bigSize, int s) {
    const int m = n * s;
    if (n <= 0 || s <= 0 || m > bigSize) return;
    const std::size_t area = static_cast<std::size_t>(bigSize) * static_cast<std::size_t>(bigSize);
    std::vector<float> p(area, 0.0f);
    std::vector<float> q(area, 0.0f);
    auto at = [bigSize](int x, int y) { return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * bigSize; };
    auto source = [src, n](int i, int j) { return static_cast<float>(src[i + j * n]); };

    // P: along x from the samples, then along y over every column.
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const int i1 = (i + 1) % n;
            p[at(i * s, j * s)] = source(i, j);
            for (int x = i * s + 1; x <= (i + 1) * s - 1; ++x) {
                p[at(x, j * s)] = p[at(x - 1, j * s)] + (source(i1, j) - source(i, j)) / s;
            }
        }
    }
    for (int x = 0; x < m; ++x) {
        for (int j = 0; j < n; ++j) {
            const int j1 = (j + 1) % n;
            for (int y = j * s + 1; y <= (j + 1) * s - 1; ++y) {
                p[at(x, y)] = p[at(x, y - 1)] + (p[at(x, j1 * s)] - p[at(x, j * s)]) / s;
            }
        }
    }
    // Q: the same with x and y exchanged.
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int j1 = (j + 1) % n;
            q[at(i * s, j * s)] = source(i, j);
            for (int y = j * s + 1; y <= (j + 1) * s - 1; ++y) {
                q[at(i * s, y)] = q[at(i * s, y - 1)] + (source(i, j1) - source(i, j)) / s;
            }
        }
    }
    for (int y = 0; y < m; ++y) {
        for (int i = 0; i < n; ++i) {
            const int i1 = (i + 1) % n;
            for (int x = i * s + 1; x <= (i + 1) * s - 1; ++x) {
                q[at(x, y)] = q[at(x - 1, y)] + (q[at(i1 * s, y)] - q[at(i * s, y)]) / s;
            }
        }
    }

    for (int y = 0; y < bigSize; ++y) {
        for (int x = 0; x < bigSize; ++x) {
            const std::size_t k = at(x % m, y % m);
            dst[at(x, y)] = static_cast<unsigned char>((p[k] + q[k]) * 0.5f);
        }
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) dst[at(i * s, j * s)] = src[i + j * n];
    }
}

unsigned char XMASMAIN::CloudExpCurve(unsigned char value, int cutoff, float sharpness) {
    float c = static_cast<float>(value - cutoff);
    if (c < 0.0f) c = 0.0f;
    float r = 255.0f - sharpness * c * 255.0f;
    if (r < 0.0f) r = 0.0f;
    return static_cast<unsigned char>(static_cast<int>(r));
}

std::vector<unsigned char> XMASMAIN::CloudPixels(int n, int size, int cutoff, float sharpness) {
    if (n <= 0 || size <= 0) return {};
    const std::size_t small = static_cast<std::size_t>(n) * n;
    const std::size_t big = static_cast<std::size_t>(size) * size;
    std::vector<unsigned char> a(small, 0), b(small, 0), big1(big, 0), big2(big, 0), accumulator(big, 0);

    const int octaves = size / n;
    for (int scale = 1; scale <= octaves; scale *= 2) {
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) a[static_cast<std::size_t>(x + y * n)] = static_cast<unsigned char>(std::rand() % 256);
        }
        SmoothTex(n, b.data(), a.data());
        SmoothTex(n, a.data(), b.data());
        SmoothTex(n, b.data(), a.data());
        CopyAndEnlarge(b.data(), big2.data(), n, size, scale);
        SmoothTex(size, big1.data(), big2.data());
        int divisor = octaves - scale;
        if (divisor < 1) divisor = 1;
        // Kept in a byte, as the texture is: a sum past 255 wraps.
        for (std::size_t i = 0; i < big; ++i) {
            accumulator[i] = static_cast<unsigned char>(accumulator[i] + big1[i] / divisor);
        }
    }
    for (unsigned char& texel : accumulator) texel = CloudExpCurve(texel, cutoff, sharpness);
    return accumulator;
}

void XMASMAIN::GenerateClouds(GLuint texture, int noiseSize, int size, int cutoff, float sharpness) {
    const std::vector<unsigned char> grey = CloudPixels(noiseSize, size, cutoff, sharpness);
    if (grey.empty()) return;
    std::vector<unsigned char> rgba(grey.size() * 4);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        rgba[i * 4 + 0] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = rgba[i * 4 + 3] = grey[i];
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

// ---- sky ----

bool XMASMAIN::SetupSky() {
    if (!SetupStars()) return false;
    const int cutoff = std::rand() % 30 + 50;
    skyTexture = 0;
    glGenTextures(1, &skyTexture);
    GenerateClouds(skyTexture, 32, 512, cutoff, 0.05f);

    skyList = glGenLists(1);
    if (skyList == 0) return false;
    glNewList(skyList, GL_COMPILE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, skyTexture);
    glDisable(GL_DEPTH_TEST);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.5f, 0.5f);
    glVertex3f(0.0f, 60.0f, 0.0f);
    for (int i = 29; i >= 0; --i) {
        const float a = static_cast<float>(i * 12.413793103448276);
        VECTOR3D t = {0.0f, 0.0f, 0.5f};
        Rotate(&t, 0.0f, a, 0.0f);
        VECTOR3D v = {0.0f, 0.0f, 80.0f};
        Rotate(&v, 0.0f, a, 0.0f);
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        glTexCoord2f(t.x + 0.5f, t.z + 0.5f);
        glVertex3f(v.x, v.y, v.z);
    }
    glTexCoord2f(0.5f, 1.0f);
    glVertex3f(0.0f, 0.0f, 80.0f);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEndList();
    return true;
}

void XMASMAIN::DrawSky() {
    glDisable(GL_FOG);
    DrawStars();

    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glTranslatef(cameraEye.x, cameraEye.y - 10.0f, cameraEye.z);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(2.0f, 2.0f, 2.0f);
    glTranslatef(cloudOffsetU, cloudOffsetV, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    if (skyList != 0) glCallList(skyList);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glEnable(GL_FOG);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// ---- ground ----

bool XMASMAIN::SetupGround() {
    MS3D model;
    if (!LoadModelLump(kGroundModel.file, &model)) return false;
    if (model.numGroups < 1) {
        return NoteFailure(Error(), {.file = kGroundModel.file, .what = "the ground model has no groups, needs group 0"});
    }
    model.Scale(kGroundModel.scale);
    // Drawn untextured, so the snow's colour comes from the tile's material.
    groundList = CompileDisplayList([&model] { model.DrawGroupInMaterial(0); });
    if (groundList == 0) return false;
    if (CoarsenGroundTile(&model, kCoarseGroundStep)) {
        groundListCoarse = CompileDisplayList([&model] { model.DrawGroupInMaterial(0); });
    }
    return true;
}

bool CoarsenGroundTile(MS3D* tile, int step) {
    if (tile->numGroups < 1 || step < 1) return false;
    MS3D_GROUP& group = tile->groups[0];
    // The grid lines: every distinct x and z among the group's corners.
    std::vector<float> xs, zs;
    for (std::uint16_t t : group.triangleIndices) {
        if (t >= tile->triangles.size()) return false;
        for (std::uint16_t v : tile->triangles[t].vertexIndices) {
            if (v >= tile->vertices.size()) return false;
            xs.push_back(tile->vertices[v].position.x);
            zs.push_back(tile->vertices[v].position.z);
        }
    }
    auto lines = [](std::vector<float>* values) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    };
    lines(&xs);
    lines(&zs);
    const int cells = static_cast<int>(xs.size()) - 1;
    if (cells < step || cells % step != 0 || zs.size() != xs.size()) return false;
    // Each grid point's vertex and the normal its corners carry.
    const std::size_t side = xs.size();
    std::vector<int> vertexAt(side * side, -1);
    std::vector<VECTOR3D> normalAt(side * side);
    auto index = [&](float value, const std::vector<float>& on) {
        return static_cast<std::size_t>(std::lower_bound(on.begin(), on.end(), value) - on.begin());
    };
    for (std::uint16_t t : group.triangleIndices) {
        const MS3D_TRIANGLE& triangle = tile->triangles[t];
        for (int k = 0; k < 3; ++k) {
            const VECTOR3D p = tile->vertices[triangle.vertexIndices[k]].position;
            const std::size_t at = index(p.z, zs) * side + index(p.x, xs);
            vertexAt[at] = triangle.vertexIndices[k];
            normalAt[at] = triangle.vertexNormals[k];
        }
    }
    for (int v : vertexAt) {
        if (v < 0) return false;
    }
    // Two triangles a coarse cell, split along alternating diagonals as the
    // fine cells are, each turned to face the way its corners' normals do.
    std::vector<MS3D_TRIANGLE> coarse;
    const MS3D_TRIANGLE pattern = tile->triangles[group.triangleIndices.front()];
    auto add = [&](std::size_t a, std::size_t b, std::size_t c) {
        MS3D_TRIANGLE triangle = pattern;
        const std::size_t corners[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            triangle.vertexIndices[k] = static_cast<std::uint16_t>(vertexAt[corners[k]]);
            triangle.vertexNormals[k] = normalAt[corners[k]];
        }
        const VECTOR3D pa = tile->vertices[triangle.vertexIndices[0]].position;
        const VECTOR3D face = VectorCrossProduct(SubtractVectors(tile->vertices[triangle.vertexIndices[1]].position, pa),
                                                 SubtractVectors(tile->vertices[triangle.vertexIndices[2]].position, pa));
        const VECTOR3D up = AddVectors(AddVectors(normalAt[a], normalAt[b]), normalAt[c]);
        if (face.x * up.x + face.y * up.y + face.z * up.z < 0.0f) {
            std::swap(triangle.vertexIndices[1], triangle.vertexIndices[2]);
            std::swap(triangle.vertexNormals[1], triangle.vertexNormals[2]);
        }
        coarse.push_back(triangle);
    };
    const int s = step;
    for (int j = 0; j < cells; j += s) {
        for (int i = 0; i < cells; i += s) {
            auto at = [side](int x, int z) { return static_cast<std::size_t>(z) * side + static_cast<std::size_t>(x); };
            if ((i / s + j / s) % 2 == 0) {
                add(at(i, j), at(i, j + s), at(i + s, j + s));
                add(at(i, j), at(i + s, j + s), at(i + s, j));
            } else {
                add(at(i + s, j), at(i, j), at(i, j + s));
                add(at(i + s, j), at(i, j + s), at(i + s, j + s));
            }
        }
    }
    tile->triangles = std::move(coarse);
    tile->numTriangles = static_cast<std::uint16_t>(tile->triangles.size());
    group.triangleIndices.resize(tile->triangles.size());
    for (std::size_t t = 0; t < group.triangleIndices.size(); ++t) group.triangleIndices[t] = static_cast<std::uint16_t>(t);
    group.numTriangles = static_cast<std::uint16_t>(group.triangleIndices.size());
    return true;
}

void XMASMAIN::MoveBackground() {
    MoveHouses();
    MoveTrees();
    MoveSky();
    const float t = static_cast<float>(frameTime);
    groundScroll.x += worldVelocity.x * t;
    groundScroll.y += worldVelocity.y * t;
    groundScroll.z += worldVelocity.z * t;
    if (groundScroll.z < -kGroundTile) groundScroll.z += kGroundTile;
}

void XMASMAIN::ResetGround() {
    groundScroll.x = 0.0f;
    groundScroll.y = 0.0f;
    for (ONEHOUSE& house : houses) house.position.y = kFootingLevel;
    for (TREESLOT& tree : trees) tree.position.y = kFootingLevel;
}

void XMASMAIN::DrawBackground() {
    DrawSky();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    // At light quality the small picture gets the coarse tile.
    const GLuint tile = inputs.lightPictureLines > 0 && groundListCoarse != 0 ? groundListCoarse : groundList;
    glPushMatrix();
    glTranslatef(groundScroll.x, groundScroll.y + kGroundLevel, groundScroll.z);
    for (int i = -kGroundTiles; i <= kGroundTiles; ++i) {
        for (int j = -kGroundTiles; j <= kGroundTiles; ++j) {
            const VECTOR3D centre = {groundScroll.x + kGroundTile * i, groundScroll.y + kGroundLevel,
                                     groundScroll.z + kGroundTile * j};
            if (!SphereInFrustum(frustum, centre, kGroundTileRadius)) continue;
            glPushMatrix();
            glTranslatef(kGroundTile * i, 0.0f, kGroundTile * j);
            if (tile != 0) glCallList(tile);
            glPopMatrix();
        }
    }
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    DrawHouses();
    DrawTrees();
}

void XMASMAIN::CleanupBackground() {
    snowFlakes.clear();
    snowFlakes.shrink_to_fit();
    stars.clear();
    stars.shrink_to_fit();
    houses.clear();
    houses.shrink_to_fit();
    for (GLuint* list : {&treeList, &rareTreeList, &treeListFar, &rareTreeListFar, &houseLists[0], &houseLists[1],
                         &houseListsFar[0], &houseListsFar[1]}) {
        if (*list != 0) glDeleteLists(*list, 1);
        *list = 0;
    }
    if (skyList != 0) glDeleteLists(skyList, 1);
    if (groundList != 0) glDeleteLists(groundList, 1);
    if (groundListCoarse != 0) glDeleteLists(groundListCoarse, 1);
    groundListCoarse = 0;
    skyList = groundList = 0;
    if (skyTexture != 0) glDeleteTextures(1, &skyTexture);
    skyTexture = 0;
}
