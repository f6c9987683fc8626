#define GL_GLEXT_PROTOTYPES 1
#include "assets/animation.h"

#include <GL/glext.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>

#include "assets/vertex_stream.h"
#include "math/failure.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        moves.assign(numJoints, JOINT_MOVE{});
        for (std::size_t i = 0; i < joints.size(); ++i) {
            joints[i].parent = templ->joints[i].parent;
            joints[i].flags = templ->joints[i].flags;
        }
        // The vertices start joint-local, as the fresh joints' matrices leave them.
        KeepAsApplied(joints);

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
        FindSharedVectors();
    } catch (const std::bad_alloc&) {
        Release();
        ERRORCLOSE(error, "Unable to allocate memory!");
        return false;
    }
    return true;
}

void ONEMODEL::Release() {
    buffers.Delete();
    verticesMoved = true;
    animTemplate = nullptr;
    numJoints = numMaterials = numGroups = 0;
    joints = {};
    moves = {};
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

namespace {
// static_cast<float> of each, widened again: what each per-vertex matrix
// function's VECTOR3D result holds.
#if defined(__SSE2__)
inline __m128d RoundXY(__m128d xy) { return _mm_cvtps_pd(_mm_cvtpd_ps(xy)); }
#endif
inline double RoundZ(double z) { return static_cast<double>(static_cast<float>(z)); }
}  // namespace

namespace {
// Bit-for-bit equality, and a hash to match it: the same bits with the same
// joint give the same bits after any number of frames.
struct VectorKey {
    std::uint32_t bits[3];
    std::int8_t joint;
    bool operator==(const VectorKey& o) const {
        return bits[0] == o.bits[0] && bits[1] == o.bits[1] && bits[2] == o.bits[2] && joint == o.joint;
    }
};
struct VectorKeyHash {
    std::size_t operator()(const VectorKey& k) const {
        std::size_t h = static_cast<std::uint8_t>(k.joint);
        for (std::uint32_t b : k.bits) h = h * 1000003u ^ b;
        return h;
    }
};
VectorKey KeyOf(const VECTOR3D& v, std::int8_t joint) {
    VectorKey k{{}, joint};
    std::memcpy(k.bits, &v.x, sizeof k.bits);
    return k;
}
}  // namespace

void ONEMODEL::FindSharedVectors() {
    std::unordered_map<VectorKey, std::uint16_t, VectorKeyHash> positions, normals;
    for (MOD_GROUP_TYP& group : groups) {
        positions.clear();
        normals.clear();
        positions.reserve(group.verts.size());
        normals.reserve(group.verts.size());
        group.samePosition.resize(group.verts.size());
        group.sameNormal.resize(group.verts.size());
        for (std::size_t i = 0; i < group.verts.size(); ++i) {
            const MOD_VERTEX_TYP& v = group.verts[i];
            const auto index = static_cast<std::uint16_t>(i);
            group.samePosition[i] = positions.try_emplace(KeyOf(v.position, v.jointIndex), index).first->second;
            group.sameNormal[i] = normals.try_emplace(KeyOf(v.normal, v.jointIndex), index).first->second;
        }
    }
}

// One walk instead of a walk back and a walk out, x and y side by side: each
// component still gets the very products and sums, in the same order and
// rounded to float at the same steps, as MatrixInverseTranslatePoint,
// MatrixInverseRotatePoint, MatrixRotatePoint and MatrixTranslatePoint give
// it, so the floats are the ones two plain passes make. (No fused
// multiply-add: the baseline instruction set has none to contract into.)
// A position or normal the group already had earlier, bit for bit and on the
// same joint, is copied from there rather than worked out again.
// A joint that did not move still takes the round trip, which rounds.
void ONEMODEL::Repose() {
    for (MOD_GROUP_TYP& group : groups) {
        const std::size_t count = group.verts.size();
        // A vertex added since set-up leaves the group worked out in full.
        const bool shared = group.samePosition.size() == count && group.sameNormal.size() == count;
        for (std::size_t i = 0; i < count; ++i) {
            MOD_VERTEX_TYP& v = group.verts[i];
            if (v.jointIndex < 0) continue;
            const std::size_t fromPosition = shared ? group.samePosition[i] : i;
            const std::size_t fromNormal = shared ? group.sameNormal[i] : i;
            const JOINT_MOVE& m = moves[static_cast<std::size_t>(v.jointIndex)];
#if defined(__SSE2__)
            const auto turn = [](const double (*xy)[2], const double* z, __m128d inXY, double inZ, double* outZ) {
                const __m128d x = _mm_unpacklo_pd(inXY, inXY);
                const __m128d y = _mm_unpackhi_pd(inXY, inXY);
                const __m128d w = _mm_set1_pd(inZ);
                *outZ = z[0] * inXY[0] + z[1] * inXY[1] + z[2] * inZ;
                return _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_load_pd(xy[0]), x), _mm_mul_pd(_mm_load_pd(xy[1]), y)),
                                  _mm_mul_pd(_mm_load_pd(xy[2]), w));
            };
            const auto load = [](const VECTOR3D& f) {
                return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&f.x))));
            };
            const auto store = [](__m128d xy, double z, VECTOR3D* f) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(&f->x), _mm_castps_si128(_mm_cvtpd_ps(xy)));
                f->z = static_cast<float>(z);
            };
            double z = 0.0;
            __m128d xy;
            if (fromPosition != i) {
                v.position = group.verts[fromPosition].position;
            } else {
                xy = RoundXY(_mm_sub_pd(load(v.position), _mm_load_pd(m.fromXY[3])));
                z = RoundZ(static_cast<double>(v.position.z) - m.fromZ[3]);
                xy = RoundXY(turn(m.fromXY, m.fromZ, xy, z, &z));
                z = RoundZ(z);
                xy = RoundXY(turn(m.toXY, m.toZ, xy, z, &z));
                z = RoundZ(z);
                store(_mm_add_pd(xy, _mm_load_pd(m.toXY[3])), z + m.toZ[3], &v.position);
            }
            if (fromNormal != i) {
                v.normal = group.verts[fromNormal].normal;
            } else {
                xy = RoundXY(turn(m.fromXY, m.fromZ, load(v.normal), static_cast<double>(v.normal.z), &z));
                z = RoundZ(z);
                xy = turn(m.toXY, m.toZ, xy, z, &z);
                store(xy, z, &v.normal);
            }
#else
            const auto turn = [](const double (*xy)[2], const double* z, VECTOR3D p) {
                return VECTOR3D{static_cast<float>(xy[0][0] * p.x + xy[1][0] * p.y + xy[2][0] * p.z),
                                static_cast<float>(xy[0][1] * p.x + xy[1][1] * p.y + xy[2][1] * p.z),
                                static_cast<float>(z[0] * p.x + z[1] * p.y + z[2] * p.z)};
            };
            if (fromPosition != i) {
                v.position = group.verts[fromPosition].position;
            } else {
                const VECTOR3D back = {static_cast<float>(v.position.x - m.fromXY[3][0]),
                                       static_cast<float>(v.position.y - m.fromXY[3][1]),
                                       static_cast<float>(v.position.z - m.fromZ[3])};
                const VECTOR3D out = turn(m.toXY, m.toZ, turn(m.fromXY, m.fromZ, back));
                v.position = {static_cast<float>(out.x + m.toXY[3][0]), static_cast<float>(out.y + m.toXY[3][1]),
                              static_cast<float>(out.z + m.toZ[3])};
            }
            v.normal = fromNormal != i ? group.verts[fromNormal].normal
                                       : turn(m.toXY, m.toZ, turn(m.fromXY, m.fromZ, v.normal));
#endif
        }
    }
    verticesMoved = true;
}

void ONEMODEL::KeepAsApplied(std::span<const BASICJOINT> pose) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        // Taking back applies the transpose of the 3x3 part.
        const MATRIX& a = pose[i].absolute;
        JOINT_MOVE& m = moves[i];
        for (int c = 0; c < 3; ++c) {
            m.fromXY[c][0] = a[c];
            m.fromXY[c][1] = a[4 + c];
            m.fromZ[c] = a[8 + c];
        }
        m.fromXY[3][0] = a[12];
        m.fromXY[3][1] = a[13];
        m.fromZ[3] = a[14];
    }
}

void ONEMODEL::Pose(double seconds) {
    Animate(seconds);
    UpdateSkeleton();
    swapTimer -= seconds;
    if (swapTimer < 0.0) {
        texturesSwapped = !texturesSwapped;
        swapTimer = texturesSwapped ? 0.15 : (std::rand() % 60) / 10.0;
        if (numMaterials > 1) std::swap(materials.front().textureId, materials.back().textureId);
    }
}

void ONEMODEL::Skin(std::span<const BASICJOINT> pose) {
    if (pose.empty()) pose = joints;
    if (pose.size() != moves.size()) return;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const MATRIX& a = pose[i].absolute;
        JOINT_MOVE& m = moves[i];
        for (int c = 0; c < 4; ++c) {
            m.toXY[c][0] = a[4 * c];
            m.toXY[c][1] = a[4 * c + 1];
            m.toZ[c] = a[4 * c + 2];
        }
    }
    Repose();
    KeepAsApplied(pose);
}

void ONEMODEL::Update(double seconds) {
    Pose(seconds);
    Skin();
}

void ONEMODEL::Draw() {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glMultMatrixd(orientation.m);
    DrawGroups(0, numGroups);
    glPopMatrix();
}

void ONEMODEL::DrawGroup(int g) {
    if (g < 0 || g >= numGroups) return;
    DrawGroups(g, g + 1);
}

void ONEMODEL::DrawGroups(int first, int end) {
    const bool buffered = BindBuffers();
    // Groups lie one after another in the buffers: a group starts where those before it end.
    std::size_t firstVertex = 0, firstIndex = 0;
    const auto pass = [&](int g) {
        firstVertex += groups[static_cast<std::size_t>(g)].verts.size();
        firstIndex += groups[static_cast<std::size_t>(g)].indices.size();
    };
    for (int g = 0; g < first; ++g) pass(g);
    // Once per model, not per group: every toggle costs the driver a state check.
    EnableVertexArrays(true);
    for (int g = first; g < end; ++g) {
        DrawGroupArrays(g, firstVertex, firstIndex, buffered);
        pass(g);
    }
    EnableVertexArrays(false);
    if (buffered) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
}

bool ONEMODEL::BindBuffers() {
    if (!useBuffers || groups.empty()) return false;
    std::size_t vertexBytes = 0, indexBytes = 0;
    for (const MOD_GROUP_TYP& group : groups) {
        vertexBytes += group.verts.size() * sizeof(MOD_VERTEX_TYP);
        indexBytes += group.indices.size() * sizeof(std::uint16_t);
    }
    // Groups grown since the buffers were made would overrun them: make them anew.
    if (buffers.tried && (vertexBytes != buffers.vertexBytes || indexBytes != buffers.indexBytes)) buffers.Delete();
    if (!buffers.tried) {
        buffers.tried = true;
        buffers.vertexBytes = vertexBytes;
        buffers.indexBytes = indexBytes;
        if (!ContextHasBufferObjects()) return false;
        glGenBuffers(2, buffers.vertices);
        glGenBuffers(1, &buffers.indices);
        for (const GLuint name : buffers.vertices) {
            glBindBuffer(GL_ARRAY_BUFFER, name);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexBytes), nullptr, GL_STREAM_DRAW);
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indices);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes), nullptr, GL_STATIC_DRAW);
        std::size_t at = 0;
        for (const MOD_GROUP_TYP& group : groups) {
            const std::size_t bytes = group.indices.size() * sizeof(std::uint16_t);
            glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(at), static_cast<GLsizeiptr>(bytes),
                            group.indices.data());
            at += bytes;
        }
        // A driver short of memory leaves a buffer without its store: client
        // arrays then. Asked of the buffers, not of glGetError, so that an
        // error someone else left stays for them to find.
        bool stored = true;
        GLint size = 0;
        glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        stored = stored && static_cast<std::size_t>(size) == indexBytes;
        for (const GLuint name : buffers.vertices) {
            glBindBuffer(GL_ARRAY_BUFFER, name);
            glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
            stored = stored && static_cast<std::size_t>(size) == vertexBytes;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        if (!stored) {
            buffers.Delete();
            buffers.tried = true;
            return false;
        }
        verticesMoved = true;
    }
    if (buffers.indices == 0) return false;
    if (verticesMoved) {
        // Filled through a mapping, into the buffer the last frame did not
        // draw from: a driver still reading the other need not be waited
        // for. Neither glBufferSubData over a drawn buffer nor orphaning
        // with glBufferData: Mesa 22's no-op driver crashes on the first and
        // never frees what the second leaves behind.
        buffers.current ^= 1;
        glBindBuffer(GL_ARRAY_BUFFER, buffers.vertices[buffers.current]);
        auto* to = static_cast<char*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
        if (to == nullptr) {
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            return false;
        }
        for (const MOD_GROUP_TYP& group : groups) {
            const std::size_t bytes = group.verts.size() * sizeof(MOD_VERTEX_TYP);
            if (bytes != 0) std::memcpy(to, group.verts.data(), bytes);
            to += bytes;
        }
        // False when the store was lost while mapped: its contents are undefined.
        if (glUnmapBuffer(GL_ARRAY_BUFFER) == GL_FALSE) {
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            return false;
        }
        verticesMoved = false;
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, buffers.vertices[buffers.current]);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indices);
    return true;
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

void ONEMODEL::DrawGroupArrays(int g, std::size_t firstVertex, std::size_t firstIndex, bool buffered) {
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
    // Bound buffers take byte offsets where client arrays take addresses.
    const auto* first = buffered ? nullptr : group.verts.data();
    const auto base = buffered ? firstVertex * sizeof(MOD_VERTEX_TYP) : reinterpret_cast<std::uintptr_t>(first);
    const auto at = [&](std::size_t field) {
        return base != 0 || buffered ? reinterpret_cast<const void*>(base + field) : nullptr;
    };
    glVertexPointer(3, GL_FLOAT, kStride, at(offsetof(MOD_VERTEX_TYP, position)));
    glNormalPointer(GL_FLOAT, kStride, at(offsetof(MOD_VERTEX_TYP, normal)));
    glTexCoordPointer(2, GL_FLOAT, kStride, at(offsetof(MOD_VERTEX_TYP, u)));
    const void* indices = buffered ? reinterpret_cast<const void*>(firstIndex * sizeof(std::uint16_t))
                                   : static_cast<const void*>(group.indices.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(group.indices.size()), GL_UNSIGNED_SHORT, indices);
    if (sphereMapped) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

// ---------------------------------------------------------------------------

MODEL_BUFFERS::MODEL_BUFFERS(MODEL_BUFFERS&& other) noexcept
    : vertices{std::exchange(other.vertices[0], 0), std::exchange(other.vertices[1], 0)},
      indices(std::exchange(other.indices, 0)),
      current(other.current),
      tried(std::exchange(other.tried, false)),
      vertexBytes(other.vertexBytes),
      indexBytes(other.indexBytes) {}

MODEL_BUFFERS& MODEL_BUFFERS::operator=(MODEL_BUFFERS&& other) noexcept {
    if (this != &other) {
        Delete();
        vertices[0] = std::exchange(other.vertices[0], 0);
        vertices[1] = std::exchange(other.vertices[1], 0);
        indices = std::exchange(other.indices, 0);
        current = other.current;
        tried = std::exchange(other.tried, false);
        vertexBytes = other.vertexBytes;
        indexBytes = other.indexBytes;
    }
    return *this;
}

MODEL_BUFFERS::~MODEL_BUFFERS() { Delete(); }

void MODEL_BUFFERS::Delete() {
    // Names are only ever made together, so one being set means a context made them.
    if (indices != 0) {
        glDeleteBuffers(2, vertices);
        glDeleteBuffers(1, &indices);
    }
    vertices[0] = vertices[1] = indices = 0;
    tried = false;
}
