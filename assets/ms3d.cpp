#include "assets/ms3d.h"

#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "assets/resfile.h"

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;

float F32(const std::uint8_t* p) { return std::bit_cast<float>(LoadU32LE(p)); }
VECTOR3D Vec3(const std::uint8_t* p) { return {F32(p), F32(p + 4), F32(p + 8)}; }

// Reads a section's count and checks that `count` records of at least
// `minRecordSize` bytes can still follow, before anything is allocated.
bool ReadCount(BoundedReader* reader, std::uint16_t* count, std::size_t minRecordSize) {
    if (!reader->ReadU16(count)) return false;
    return std::uint64_t{*count} * minRecordSize <= reader->Remaining();
}

bool ReadBlock(BoundedReader* reader, std::vector<std::uint8_t>* block, std::size_t size) {
    block->resize(size);
    return reader->Read(block->data(), size);
}

void DecodeKeys(const std::uint8_t* p, std::size_t count, std::vector<MS3D_KEYFRAME>* keys) {
    keys->resize(count);
    for (MS3D_KEYFRAME& key : *keys) {
        key.time = F32(p);
        key.value = Vec3(p + 4);
        p += kMs3dKeySize;
    }
}

// Names are NUL-padded and need not be terminated within their 32 bytes.
bool SameName(const char* a, const char* b) { return std::strncmp(a, b, 32) == 0; }

bool Refuse(const char** problem, const char* why) {
    *problem = why;
    return false;
}
}  // namespace

bool MS3D::LoadFromFStream(BoundedReader* reader, SetupError* error) {
    Release();
    bool ok = false;
    const char* why = "";
    try {
        ok = reader != nullptr && reader->IsOpen() && Parse(reader, &why);
        if (ok && !IndicesInRange()) ok = Refuse(&why, "an index names a vertex, triangle, material or joint it lacks");
    } catch (const std::bad_alloc&) {
        Release();
        ERRORCLOSE(error, "Unable to allocate memory!");
        return false;
    }
    if (!ok) {
        Release();
        const std::string refusal =
            *why == '\0' ? std::string(kMs3dInvalidMessage) : std::string(kMs3dInvalidMessage) + " (" + why + ")";
        return NoteFailure(error, {.what = refusal, .quotesReader = true});
    }
    if (!NumbersAreFinite()) {
        Release();
        return NoteFailure(error, {.what = kMs3dBadNumberMessage, .quotesReader = true});
    }
    return true;
}

bool MS3D::Parse(BoundedReader* reader, const char** why) {
    std::uint8_t header[kMs3dHeaderSize];
    if (!reader->Read(header, sizeof header)) return Refuse(why, "the header is cut short");
    if (std::memcmp(header, kMs3dIdentifier, sizeof kMs3dIdentifier) != 0) return Refuse(why, "it does not start with \"MS3D000000\"");
    const auto version = static_cast<std::int32_t>(LoadU32LE(header + 10));
    if (version != 3 && version != 4) return Refuse(why, "its version is not 3 or 4");

    std::vector<std::uint8_t> block;

    if (!ReadCount(reader, &numVertices, kMs3dVertexSize)) return Refuse(why, "the vertices run past the end of the model");
    if (!ReadBlock(reader, &block, numVertices * kMs3dVertexSize)) return Refuse(why, "the vertices run past the end of the model");
    vertices.resize(numVertices);
    for (std::size_t i = 0; i < numVertices; ++i) {
        const std::uint8_t* p = block.data() + i * kMs3dVertexSize;
        MS3D_VERTEX& v = vertices[i];
        v.flags = p[0];
        v.position = Vec3(p + 1);
        v.jointIndex = static_cast<std::int8_t>(p[13]);
        v.referenceCount = p[14];
    }

    if (!ReadCount(reader, &numTriangles, kMs3dTriangleSize)) return Refuse(why, "the triangles run past the end of the model");
    if (!ReadBlock(reader, &block, numTriangles * kMs3dTriangleSize)) return Refuse(why, "the triangles run past the end of the model");
    triangles.resize(numTriangles);
    for (std::size_t i = 0; i < numTriangles; ++i) {
        const std::uint8_t* p = block.data() + i * kMs3dTriangleSize;
        MS3D_TRIANGLE& t = triangles[i];
        t.flags = LoadU16LE(p);
        for (int k = 0; k < 3; ++k) {
            t.vertexIndices[k] = LoadU16LE(p + 2 + 2 * k);
            t.vertexNormals[k] = Vec3(p + 8 + 12 * k);
            t.s[k] = F32(p + 44 + 4 * k);
            t.t[k] = F32(p + 56 + 4 * k);
        }
        t.smoothingGroup = p[68];
        t.groupIndex = p[69];
    }

    if (!ReadCount(reader, &numGroups, kMs3dGroupFixedSize)) return Refuse(why, "the groups run past the end of the model");
    groups.resize(numGroups);
    for (MS3D_GROUP& g : groups) {
        std::uint8_t head[35];
        if (!reader->Read(head, sizeof head)) return Refuse(why, "the groups run past the end of the model");
        g.flags = head[0];
        std::memcpy(g.name, head + 1, sizeof g.name);
        g.numTriangles = LoadU16LE(head + 33);
        if (!ReadBlock(reader, &block, g.numTriangles * 2u + 1u)) return Refuse(why, "the groups run past the end of the model");
        g.triangleIndices.resize(g.numTriangles);
        for (std::size_t k = 0; k < g.numTriangles; ++k) g.triangleIndices[k] = LoadU16LE(block.data() + 2 * k);
        g.materialIndex = static_cast<std::int8_t>(block[g.numTriangles * 2u]);
    }

    if (!ReadCount(reader, &numMaterials, kMs3dMaterialSize)) return Refuse(why, "the materials run past the end of the model");
    if (!ReadBlock(reader, &block, numMaterials * kMs3dMaterialSize)) return Refuse(why, "the materials run past the end of the model");
    materials.resize(numMaterials);
    for (std::size_t i = 0; i < numMaterials; ++i) {
        const std::uint8_t* p = block.data() + i * kMs3dMaterialSize;
        MS3D_MATERIAL& m = materials[i];
        std::memcpy(m.name, p, sizeof m.name);
        for (int c = 0; c < 4; ++c) {
            m.ambient[c] = F32(p + 32 + 4 * c);
            m.diffuse[c] = F32(p + 48 + 4 * c);
            m.specular[c] = F32(p + 64 + 4 * c);
            m.emissive[c] = F32(p + 80 + 4 * c);
        }
        m.shininess = F32(p + 96);
        m.transparency = F32(p + 100);
        m.mode = p[104];
        std::memcpy(m.texture, p + 105, sizeof m.texture);
        std::memcpy(m.alphamap, p + 233, sizeof m.alphamap);
    }

    std::uint8_t animation[kMs3dAnimationBlockSize];
    if (!reader->Read(animation, sizeof animation)) return Refuse(why, "the animation block runs past the end of the model");
    animationFps = F32(animation);
    // animation + 4: the editor's current time, not used.
    totalFrames = static_cast<std::int32_t>(LoadU32LE(animation + 8));
    totalTime = static_cast<float>(totalFrames * 1000.0 / animationFps);

    if (!ReadCount(reader, &numJoints, kMs3dJointFixedSize)) return Refuse(why, "the joints run past the end of the model");
    joints.resize(numJoints);
    for (MS3D_JOINT& j : joints) {
        std::uint8_t head[kMs3dJointFixedSize];
        if (!reader->Read(head, sizeof head)) return Refuse(why, "the joints run past the end of the model");
        j.flags = head[0];
        std::memcpy(j.name, head + 1, sizeof j.name);
        std::memcpy(j.parentName, head + 33, sizeof j.parentName);
        j.rotation = Vec3(head + 65);
        j.position = Vec3(head + 77);
        j.numRotationKeys = LoadU16LE(head + 89);
        j.numTranslationKeys = LoadU16LE(head + 91);
        const std::size_t keys = std::size_t{j.numRotationKeys} + j.numTranslationKeys;
        if (!ReadBlock(reader, &block, keys * kMs3dKeySize)) return Refuse(why, "the joints run past the end of the model");
        DecodeKeys(block.data(), j.numRotationKeys, &j.rotationKeys);
        DecodeKeys(block.data() + j.numRotationKeys * kMs3dKeySize, j.numTranslationKeys, &j.translationKeys);
    }
    // Comment and extension blocks may follow; nothing here needs them.
    return true;
}

bool MS3D::NumbersAreFinite() const {
    // Bounded well inside float range, so scaling and the pose matrices
    // cannot overflow to infinity either.
    constexpr float kLimit = 1.0e6f;
    auto sane = [](float v) { return std::isfinite(v) && std::fabs(v) <= kLimit; };
    auto saneVector = [&](VECTOR3D v) { return sane(v.x) && sane(v.y) && sane(v.z); };
    if (!sane(animationFps) || animationFps < 1.0e-3f || !std::isfinite(totalTime)) return false;
    for (const MS3D_VERTEX& v : vertices) {
        if (!saneVector(v.position)) return false;
    }
    for (const MS3D_TRIANGLE& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            if (!saneVector(t.vertexNormals[k]) || !sane(t.s[k]) || !sane(t.t[k])) return false;
        }
    }
    for (const MS3D_JOINT& j : joints) {
        if (!saneVector(j.rotation) || !saneVector(j.position)) return false;
        for (const auto* keys : {&j.rotationKeys, &j.translationKeys}) {
            for (const MS3D_KEYFRAME& key : *keys) {
                if (!sane(key.time) || !saneVector(key.value)) return false;
            }
        }
    }
    return true;
}

bool MS3D::IndicesInRange() const {
    for (const MS3D_VERTEX& v : vertices) {
        if (v.jointIndex >= 0 && v.jointIndex >= numJoints) return false;
    }
    for (const MS3D_TRIANGLE& t : triangles) {
        for (std::uint16_t index : t.vertexIndices) {
            if (index >= numVertices) return false;
        }
    }
    for (const MS3D_GROUP& g : groups) {
        for (std::uint16_t index : g.triangleIndices) {
            if (index >= numTriangles) return false;
        }
        if (g.materialIndex >= 0 && g.materialIndex >= numMaterials) return false;
    }
    return true;
}

void MS3D::Release() {
    numVertices = numTriangles = numGroups = numMaterials = numJoints = 0;
    vertices = {};
    triangles = {};
    groups = {};
    materials = {};
    joints = {};
    skeleton = {};
    totalFrames = 0;
    animationFps = 0.0f;
    totalTime = 0.0f;
}

void MS3D::Scale(float factor) {
    for (MS3D_VERTEX& v : vertices) v.position = ScaleVector(v.position, factor);
    for (MS3D_JOINT& j : joints) {
        j.position = ScaleVector(j.position, factor);
        for (MS3D_KEYFRAME& key : j.translationKeys) key.value = ScaleVector(key.value, factor);
    }
}

void MS3D::InitialSetup() {
    if (numJoints == 0) return;
    SetupSkeleton();
    UpdateSkeleton();
    RevertPoints();
}

void MS3D::SetupSkeleton() {
    skeleton.assign(numJoints, SKELETON_JOINT{});
    for (std::size_t i = 0; i < numJoints; ++i) {
        MS3D_JOINT& file = joints[i];
        file.rotation = {static_cast<float>(file.rotation.x * kDegreesPerRadian),
                         static_cast<float>(file.rotation.y * kDegreesPerRadian),
                         static_cast<float>(file.rotation.z * kDegreesPerRadian)};
        SKELETON_JOINT& s = skeleton[i];
        s.flags = file.flags;
        s.rotation = file.rotation;
        s.position = file.position;
        s.parent = -1;
        if (file.parentName[0] != '\0') {
            for (std::size_t j = 0; j < numJoints; ++j) {
                if (SameName(file.parentName, joints[j].name)) {
                    s.parent = static_cast<std::int32_t>(j);
                    break;
                }
            }
        }
        s.numRotationKeys = file.numRotationKeys;
        s.numTranslationKeys = file.numTranslationKeys;
        s.rotationKeys = file.rotationKeys;
        s.translationKeys = file.translationKeys;
        for (MS3D_KEYFRAME& key : s.rotationKeys) key.time = static_cast<float>(key.time * 1000.0);
        for (MS3D_KEYFRAME& key : s.translationKeys) key.time = static_cast<float>(key.time * 1000.0);
    }
}

void MS3D::UpdateSkeleton() {
    for (SKELETON_JOINT& s : skeleton) {
        s.relative = QuatToRotationMatrix(RotationToQuat(s.rotation));
        s.relative.SetTranslation(s.position);
        MATRIX animated = s.animMatrix;
        animated.SetTranslation(s.animTranslation);
        s.relative = MultiplyMatrix(s.relative, animated);
        // A parent index always names a joint of this skeleton (found by name).
        s.absolute = s.parent >= 0 ? MultiplyMatrix(skeleton[static_cast<std::size_t>(s.parent)].absolute, s.relative)
                                   : s.relative;
    }
}

void MS3D::RevertPoints() {
    if (skeleton.size() != numJoints) return;  // no skeleton yet: nothing is joint-bound
    for (MS3D_VERTEX& v : vertices) {
        if (v.jointIndex < 0) continue;
        const MATRIX& m = skeleton[static_cast<std::size_t>(v.jointIndex)].absolute;
        v.position = MatrixInverseRotatePoint(m, MatrixInverseTranslatePoint(m, v.position));
    }
    for (MS3D_TRIANGLE& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            const MS3D_VERTEX& v = vertices[t.vertexIndices[k]];
            if (v.jointIndex < 0) continue;
            const MATRIX& m = skeleton[static_cast<std::size_t>(v.jointIndex)].absolute;
            t.vertexNormals[k] = MatrixInverseRotatePoint(m, t.vertexNormals[k]);
        }
    }
}

void MS3D::UpdatePoints() {
    if (skeleton.size() != numJoints) return;
    for (MS3D_VERTEX& v : vertices) {
        if (v.jointIndex < 0) continue;
        const MATRIX& m = skeleton[static_cast<std::size_t>(v.jointIndex)].absolute;
        v.position = MatrixTranslatePoint(m, MatrixRotatePoint(m, v.position));
    }
    for (MS3D_TRIANGLE& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            const MS3D_VERTEX& v = vertices[t.vertexIndices[k]];
            if (v.jointIndex < 0) continue;
            const MATRIX& m = skeleton[static_cast<std::size_t>(v.jointIndex)].absolute;
            t.vertexNormals[k] = MatrixRotatePoint(m, t.vertexNormals[k]);
        }
    }
}

void MS3D::EmitGroup(const MS3D_GROUP& group) const {
    glBegin(GL_TRIANGLES);
    for (std::uint16_t index : group.triangleIndices) {
        const MS3D_TRIANGLE& t = triangles[index];
        for (int k = 0; k < 3; ++k) {
            glNormal3fv(&t.vertexNormals[k].x);
            glTexCoord2f(t.s[k], 1.0f - t.t[k]);
            glVertex3fv(&vertices[t.vertexIndices[k]].position.x);
        }
    }
    glEnd();
}

void MS3D::Render() {
    for (const MS3D_GROUP& g : groups) EmitGroup(g);
}

void MS3D::Render(std::span<const Texture> textures) {
    if (textures.empty()) {
        Render();
        return;
    }
    for (const MS3D_GROUP& g : groups) {
        if (g.materialIndex >= 0 && static_cast<std::size_t>(g.materialIndex) < textures.size()) {
            glBindTexture(GL_TEXTURE_2D, textures[static_cast<std::size_t>(g.materialIndex)].texID);
        }
        EmitGroup(g);
    }
}

void MS3D::DrawGroup(int group) {
    if (group < 0 || group >= numGroups) return;
    EmitGroup(groups[static_cast<std::size_t>(group)]);
}

void MS3D::DrawGroupInMaterial(int group) {
    if (group < 0 || group >= numGroups) return;
    const int material = groups[static_cast<std::size_t>(group)].materialIndex;
    if (material < 0 || material >= numMaterials) {
        DrawGroup(group);
        return;
    }
    const MS3D_MATERIAL& m = materials[static_cast<std::size_t>(material)];
    const GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glColor4f(m.diffuse[0], m.diffuse[1], m.diffuse[2], 1.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m.emissive);
    DrawGroup(group);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

GLuint CompileDisplayList(const std::function<void()>& draw) {
    const GLuint list = glGenLists(1);
    if (list == 0) return 0;
    glNewList(list, GL_COMPILE);
    draw();
    glEndList();
    return list;
}

bool ReadModelLump(RESFILE* file, int lump, MS3D* model, SetupError* error) {
    BoundedReader reader = file->Lump();
    SetupError why;
    if (model->LoadFromFStream(&reader, &why)) return true;
    // The model reader knows nothing of files; what it found is this lump's.
    if (why.quotesReader) {
        why.file = file->path;
        why.lump = lump;
        why.byReader = true;
    }
    return NoteFailure(error, std::move(why));
}

bool LoadModel(const char* path, MS3D* model, std::vector<Texture>* textures, EngineContext* context,
               int imagesEnd) {
    if (model == nullptr || textures == nullptr || path == nullptr) return false;
    SetupError* error = context != nullptr ? &context->error : nullptr;
    RESFILE file;
    if (!file.Open(path, error) || !file.SeekLump(0, error)) return false;
    if (!ReadModelLump(&file, 0, model, error)) return false;
    const int end = imagesEnd >= 0 ? std::min(imagesEnd, file.LumpCount()) : file.LumpCount();
    const int count = std::max(end - 1, 0);
    try {
        textures->clear();
        textures->resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        ERRORCLOSE(error, "Unable to allocate memory!");
        return false;
    }
    for (int i = 1; i <= count; ++i) {
        if (!LoadImageLump(&file, i, &(*textures)[static_cast<std::size_t>(i - 1)], context)) return false;
    }
    return true;
}
