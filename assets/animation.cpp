#include "assets/animation.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>

#include "math/failure.h"

namespace {
// Rotation key values are radians; the quaternion helpers take degrees.
constexpr float kDegreesPerRadianF = 57.29578f;

// Blending looks at the first key at or after the clock, or the last key.
template <typename Keys>
std::size_t FirstKeyNotBefore(const Keys& keys, float time) {
    std::size_t k = 0;
    while (k + 1 < keys.size() && keys[k].time < time) ++k;
    return k;
}

// Playing moves a cursor forward past every key earlier than the clock; the
// result is in 0..keys.size().
std::size_t AdvanceCursor(const std::vector<MS3D_KEYFRAME>& keys, std::int32_t* cursor, float time) {
    std::size_t k = static_cast<std::size_t>(*cursor);
    while (k < keys.size() && keys[k].time < time) ++k;
    *cursor = static_cast<std::int32_t>(k);
    return k;
}

float KeyFraction(const std::vector<MS3D_KEYFRAME>& keys, std::size_t k, float time) {
    return (time - keys[k - 1].time) / (keys[k].time - keys[k - 1].time);
}

VECTOR3D Lerp(VECTOR3D a, VECTOR3D b, float f) {
    return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

bool Fail(SetupError* error, const char* note) { return NoteFailure(error, {.what = note}); }
}  // namespace

// ---------------------------------------------------------------------------

bool ANIMATIONTEMPLATE::Setup(MS3D* model, SetupError* error) {
    Release();
    if (model == nullptr) return false;
    if (model->skeleton.size() != model->numJoints) {
        return Fail(error, "assets: an animation template needs a model whose skeleton is set up");
    }
    try {
        numJoints = model->numJoints;
        totalFrames = model->totalFrames;
        animationFps = model->animationFps;
        totalTime = model->totalTime;
        joints.resize(static_cast<std::size_t>(numJoints));
        for (std::size_t i = 0; i < joints.size(); ++i) {
            TEMPLATE_JOINT& t = joints[i];
            const SKELETON_JOINT& s = model->skeleton[i];
            const MS3D_JOINT& file = model->joints[i];
            t.flags = s.flags;
            t.parent = s.parent;
            t.relative = s.relative;
            t.absolute = s.absolute;
            t.animRotation = s.animRotation;
            t.animTranslation = s.animTranslation;
            t.rotation = s.rotation;
            t.position = s.position;

            t.bindQuat = RotationToQuat(t.rotation);
            t.bindMatrix = QuatToRotationMatrix(t.bindQuat);
            t.bindMatrix.SetTranslation(t.position);

            t.numRotationKeys = file.numRotationKeys;
            t.numTranslationKeys = file.numTranslationKeys;
            t.rotationKeys = file.rotationKeys;
            t.translationKeys = file.translationKeys;
            t.keyQuats.resize(t.rotationKeys.size());
            for (std::size_t k = 0; k < t.rotationKeys.size(); ++k) {
                MS3D_KEYFRAME& key = t.rotationKeys[k];
                t.keyQuats[k] = RotationToQuat({key.value.x * kDegreesPerRadianF, key.value.y * kDegreesPerRadianF,
                                                key.value.z * kDegreesPerRadianF});
                key.time = static_cast<float>(key.time * 1000.0);
            }
            for (MS3D_KEYFRAME& key : t.translationKeys) key.time = static_cast<float>(key.time * 1000.0);
        }
    } catch (const std::bad_alloc&) {
        Release();
        ERRORCLOSE(error, "Unable to allocate memory!");
        return false;
    }
    return true;
}

void ANIMATIONTEMPLATE::Release() {
    numJoints = 0;
    joints = {};
    totalFrames = 0;
    animationFps = 0.0f;
    totalTime = 0.0f;
}

// ---------------------------------------------------------------------------

namespace {
// The vertex a corner would become, for finding an equal one already in the
// group. Equal means what AddVertToGroup's search means: every field ==, so
// 0 and -0 match (the hash folds them together) and a NaN matches nothing.
struct CornerKey {
    float px, py, pz, nx, ny, nz, u, v;
    std::int8_t joint;
    bool operator==(const CornerKey& o) const {
        return px == o.px && py == o.py && pz == o.pz && nx == o.nx && ny == o.ny && nz == o.nz && u == o.u &&
               v == o.v && joint == o.joint;
    }
};
struct CornerKeyHash {
    static std::size_t Bits(float f) {
        const float folded = f + 0.0f;  // -0 becomes +0
        std::uint32_t bits = 0;
        std::memcpy(&bits, &folded, sizeof bits);
        return bits;
    }
    std::size_t operator()(const CornerKey& k) const {
        std::size_t h = static_cast<std::uint8_t>(k.joint);
        for (float f : {k.px, k.py, k.pz, k.nx, k.ny, k.nz, k.u, k.v}) h = h * 1000003u ^ Bits(f);
        return h;
    }
};

// Appends without searching; kGroupFull when the group cannot take another.
std::uint16_t AppendVertex(MOD_GROUP_TYP* group, const float* position, const float* normal, float u, float v,
                           std::int8_t joint) {
    // numVerts is 16 bits wide and 0xFFFF is the "full" answer, so the
    // largest index handed out is 0xFFFE.
    if (group->verts.size() >= 0xFFFF) return ONEMODEL::kGroupFull;
    MOD_VERTEX_TYP& r = group->verts.emplace_back();
    r.jointIndex = joint;
    r.position = {position[0], position[1], position[2]};
    r.normal = {normal[0], normal[1], normal[2]};
    r.u = u;
    r.v = v;
    group->numVerts = static_cast<std::uint16_t>(group->verts.size());
    return static_cast<std::uint16_t>(group->verts.size() - 1);
}
}  // namespace

bool ONEMODEL::Setup(ANIMATIONTEMPLATE* templ, MS3D* model, std::span<const Texture> textures, SetupError* error) {
    Release();
    if (templ == nullptr || model == nullptr) return false;
    for (const MS3D_VERTEX& v : model->vertices) {
        if (v.jointIndex >= 0 && v.jointIndex >= templ->numJoints) {
            return Fail(error, "assets: a model instance does not fit its animation template");
        }
    }
    try {
        animTemplate = templ;
        numJoints = static_cast<std::uint16_t>(templ->numJoints);
        joints.assign(numJoints, BASICJOINT{});
        for (std::size_t i = 0; i < joints.size(); ++i) {
            joints[i].parent = templ->joints[i].parent;
            joints[i].flags = templ->joints[i].flags;
        }

        angles = {0.0f, 0.0f, 0.0f};
        position = {0.0f, 0.0f, 0.0f};
        speed = 1000.0f;
        currentTime = startTime = endTime = 0.0f;
        loop = false;
        orientation.Identity();

        numGroups = model->numGroups;
        numMaterials = model->numMaterials;
        materials.assign(numMaterials, MOD_MATERIAL_TYP{});
        groups.resize(numGroups);
        for (std::size_t i = 0; i < materials.size(); ++i) {
            materials[i].mode = model->materials[i].mode;
            materials[i].textureId = i < textures.size() ? textures[i].texID : 0;
        }
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const MS3D_GROUP& source = model->groups[g];
            MOD_GROUP_TYP& group = groups[g];
            group.materialIndex = source.materialIndex;
            group.numTriangles = source.numTriangles;
            group.indices.reserve(std::size_t{source.numTriangles} * 3);
            // The same vertices in the same order as AddVertToGroup's linear
            // search gives, found by hashing: a large team sets up dozens of
            // instances, and the search grew with the square of the corners.
            std::unordered_map<CornerKey, std::uint16_t, CornerKeyHash> seen;
            seen.reserve(std::size_t{source.numTriangles} * 3);
            for (std::uint16_t triangle : source.triangleIndices) {
                const MS3D_TRIANGLE& t = model->triangles[triangle];
                for (int k = 0; k < 3; ++k) {
                    const MS3D_VERTEX& v = model->vertices[t.vertexIndices[k]];
                    const float* p = &v.position.x;
                    const float* n = &t.vertexNormals[k].x;
                    const float tv = 1.0f - t.t[k];
                    const auto joint = static_cast<std::int8_t>(static_cast<char>(v.jointIndex));
                    const CornerKey key = {p[0], p[1], p[2], n[0], n[1], n[2], t.s[k], tv, joint};
                    std::uint16_t index = kGroupFull;
                    if (const auto found = seen.find(key); found != seen.end()) {
                        index = found->second;
                    } else {
                        index = AppendVertex(&group, p, n, t.s[k], tv, joint);
                        if (index != kGroupFull) seen.emplace(key, index);
                    }
                    if (index == kGroupFull) {
                        Release();
                        return Fail(error, "assets: a model group has more than 65535 distinct vertices");
                    }
                    group.indices.push_back(index);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        Release();
        ERRORCLOSE(error, "Unable to allocate memory!");
        return false;
    }
    return true;
}

void ONEMODEL::Release() {
    animTemplate = nullptr;
    numJoints = numMaterials = numGroups = 0;
    joints = {};
    materials = {};
    groups = {};
}

std::uint16_t ONEMODEL::AddVertToGroup(MOD_GROUP_TYP* group, const float* position, const float* normal, float u,
                                       float v, char jointIndex) {
    const auto joint = static_cast<std::int8_t>(jointIndex);
    for (std::size_t i = 0; i < group->verts.size(); ++i) {
        const MOD_VERTEX_TYP& r = group->verts[i];
        if (r.position.x == position[0] && r.position.y == position[1] && r.position.z == position[2] &&
            r.normal.x == normal[0] && r.normal.y == normal[1] && r.normal.z == normal[2] && r.u == u && r.v == v &&
            r.jointIndex == joint) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return AppendVertex(group, position, normal, u, v, joint);
}

void ONEMODEL::SetAnimation(double startFrame, double endFrame, double newSpeed, bool newLoop, bool blend) {
    if (animTemplate == nullptr) return;
    startTime = static_cast<float>(startFrame * 1000 / animTemplate->animationFps);
    endTime = static_cast<float>(endFrame * 1000 / animTemplate->animationFps);
    currentTime = startTime;
    speed = static_cast<float>(newSpeed);
    loop = newLoop;
    for (BASICJOINT& j : joints) {
        j.translationCursor = 0;
        j.rotationCursor = 0;
        j.blendFromQuat = j.rotationQuat;
        j.blendFromTranslation = j.translation;
    }
    blendFactor = 0.0f;
    blending = blend;
}

void ONEMODEL::RestartAnim() {
    currentTime = startTime;
    for (BASICJOINT& j : joints) {
        j.translationCursor = 0;
        j.rotationCursor = 0;
    }
}

void ONEMODEL::Animate(double seconds) {
    if (animTemplate == nullptr) return;
    if (blending) {
        AnimateBlend(seconds);
    } else {
        AnimatePlay(seconds);
    }
}

void ONEMODEL::AnimateBlend(double seconds) {
    blendFactor += seconds * blendRate;
    if (blendFactor >= 1.0f) {
        blending = false;
        blendFactor = 1.0f;  // this step still blends, fully
    }
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const TEMPLATE_JOINT& t = animTemplate->joints[i];
        BASICJOINT& j = joints[i];
        if (!t.rotationKeys.empty()) {
            const std::size_t k = FirstKeyNotBefore(t.rotationKeys, currentTime);
            j.rotationQuat = QuatSlerp(&j.blendFromQuat, &t.keyQuats[k], blendFactor);
            j.rotationMatrix = QuatToRotationMatrix(j.rotationQuat);
        }
        if (!t.translationKeys.empty()) {
            const std::size_t k = FirstKeyNotBefore(t.translationKeys, currentTime);
            j.translation = Lerp(j.blendFromTranslation, t.translationKeys[k].value, blendFactor);
        }
    }
}

void ONEMODEL::AnimatePlay(double seconds) {
    if (currentTime >= endTime) return;  // a finished range holds its last pose
    currentTime += seconds * speed;
    if (currentTime >= endTime) {
        if (loop) {
            RestartAnim();  // the overshoot is dropped
        } else {
            currentTime = endTime;
        }
    }
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const TEMPLATE_JOINT& t = animTemplate->joints[i];
        BASICJOINT& j = joints[i];
        if (!t.translationKeys.empty()) {
            const std::vector<MS3D_KEYFRAME>& keys = t.translationKeys;
            const std::size_t k = AdvanceCursor(keys, &j.translationCursor, currentTime);
            if (k == 0) {
                j.translation = keys.front().value;
            } else if (k == keys.size()) {
                j.translation = keys.back().value;
            } else {
                j.translation = Lerp(keys[k - 1].value, keys[k].value, KeyFraction(keys, k, currentTime));
            }
        }
        if (!t.rotationKeys.empty()) {
            const std::vector<MS3D_KEYFRAME>& keys = t.rotationKeys;
            const std::size_t k = AdvanceCursor(keys, &j.rotationCursor, currentTime);
            // At either end the key's pose is cached: it is rebuilt only when
            // another key's pose was shown last.
            if (k == 0) {
                if (j.lastRotationKey != 0) {
                    j.rotationQuat = t.keyQuats.front();
                    j.rotationMatrix = QuatToRotationMatrix(j.rotationQuat);
                }
            } else if (k == keys.size()) {
                if (j.lastRotationKey != static_cast<std::int32_t>(k)) {
                    j.rotationQuat = t.keyQuats.back();
                    j.rotationMatrix = QuatToRotationMatrix(j.rotationQuat);
                }
            } else {
                j.rotationQuat = QuatSlerp(&t.keyQuats[k - 1], &t.keyQuats[k], KeyFraction(keys, k, currentTime));
                j.rotationMatrix = QuatToRotationMatrix(j.rotationQuat);
            }
            j.lastRotationKey = j.rotationCursor;
        }
    }
}

void ONEMODEL::UpdateSkeleton() {
    if (animTemplate == nullptr) return;
    for (std::size_t i = 0; i < joints.size(); ++i) {
        BASICJOINT& j = joints[i];
        MATRIX pose = j.rotationMatrix;
        pose.SetTranslation(j.translation);
        j.relative = MultiplyMatrix(animTemplate->joints[i].bindMatrix, pose);
        // Parents were found by name among this skeleton's joints, so the
        // index is in range; one not yet updated this pass gives last pass's.
        j.absolute = j.parent >= 0 ? MultiplyMatrix(joints[static_cast<std::size_t>(j.parent)].absolute, j.relative)
                                   : j.relative;
    }
}

void ONEMODEL::RevertPoints(BASICJOINT* pose) {
    if (pose == nullptr) return;
    for (MOD_GROUP_TYP& group : groups) {
        for (MOD_VERTEX_TYP& v : group.verts) {
            if (v.jointIndex < 0) continue;
            const MATRIX& m = pose[v.jointIndex].absolute;
            v.position = MatrixInverseRotatePoint(m, MatrixInverseTranslatePoint(m, v.position));
            v.normal = MatrixInverseRotatePoint(m, v.normal);
        }
    }
}

void ONEMODEL::UpdatePoints(BASICJOINT* pose) {
    if (pose == nullptr) return;
    for (MOD_GROUP_TYP& group : groups) {
        for (MOD_VERTEX_TYP& v : group.verts) {
            if (v.jointIndex < 0) continue;
            const MATRIX& m = pose[v.jointIndex].absolute;
            v.position = MatrixTranslatePoint(m, MatrixRotatePoint(m, v.position));
            v.normal = MatrixRotatePoint(m, v.normal);
        }
    }
}

void ONEMODEL::Update(double seconds) {
    RevertPoints(joints.data());
    Animate(seconds);
    UpdateSkeleton();
    UpdatePoints(joints.data());

    swapTimer -= seconds;
    if (swapTimer < 0.0) {
        texturesSwapped = !texturesSwapped;
        swapTimer = texturesSwapped ? 0.15 : (std::rand() % 60) / 10.0;
        if (numMaterials > 1) std::swap(materials.front().textureId, materials.back().textureId);
    }
}

void ONEMODEL::Draw() {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glMultMatrixd(orientation.m);
    // Once per model, not per group: every toggle costs the driver a state check.
    EnableVertexArrays(true);
    for (int g = 0; g < numGroups; ++g) DrawGroupArrays(g);
    EnableVertexArrays(false);
    glPopMatrix();
}

void ONEMODEL::DrawGroup(int g) {
    if (g < 0 || g >= numGroups) return;
    EnableVertexArrays(true);
    DrawGroupArrays(g);
    EnableVertexArrays(false);
}

void ONEMODEL::EnableVertexArrays(bool on) {
    for (const GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY}) {
        if (on) {
            glEnableClientState(array);
        } else {
            glDisableClientState(array);
        }
    }
}

void ONEMODEL::DrawGroupArrays(int g) {
    const MOD_GROUP_TYP& group = groups[static_cast<std::size_t>(g)];
    bool sphereMapped = false;
    if (group.materialIndex >= 0 && group.materialIndex < numMaterials) {
        const MOD_MATERIAL_TYP& material = materials[static_cast<std::size_t>(group.materialIndex)];
        sphereMapped = (material.mode & 0x80) != 0;
        if (sphereMapped) {
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
        }
        glBindTexture(GL_TEXTURE_2D, material.textureId);
    }
    constexpr GLsizei kStride = sizeof(MOD_VERTEX_TYP);
    const MOD_VERTEX_TYP* first = group.verts.data();
    glVertexPointer(3, GL_FLOAT, kStride, first != nullptr ? &first->position.x : nullptr);
    glNormalPointer(GL_FLOAT, kStride, first != nullptr ? &first->normal.x : nullptr);
    glTexCoordPointer(2, GL_FLOAT, kStride, first != nullptr ? &first->u : nullptr);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(group.indices.size()), GL_UNSIGNED_SHORT, group.indices.data());
    if (sphereMapped) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}
