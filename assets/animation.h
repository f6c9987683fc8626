// Animation templates (what every instance of one character shares) and
// model instances (one animated character on screen).
//
// Both are built from an MS3D that has been scaled and passed through
// InitialSetup, so that its skeleton holds the bind pose and its vertices are
// joint-local; the template and the instances of a character must come from
// the same file at the same scale.
//
// Units: key times and animation clocks in milliseconds of animation time;
// `speed` is animation milliseconds per real second (1000 = real time);
// Update/Animate take elapsed real seconds; angles in degrees.
//
// Only Draw, DrawGroup and Release touch OpenGL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <GL/gl.h>

#include "assets/ms3d.h"
#include "assets/texture.h"
#include "math/matrix.h"
#include "math/vector.h"

// A skeleton joint with every rotation key already turned into a quaternion.
struct TEMPLATE_JOINT : SKELETON_JOINT {
    std::vector<QUAT> keyQuats;  // one per rotation key, same order
    QUAT bindQuat;
    MATRIX bindMatrix;           // rotation of bindQuat, translation = position
};

class ANIMATIONTEMPLATE {
public:
    ANIMATIONTEMPLATE() = default;
    ANIMATIONTEMPLATE(const ANIMATIONTEMPLATE&) = delete;
    ANIMATIONTEMPLATE& operator=(const ANIMATIONTEMPLATE&) = delete;
    ANIMATIONTEMPLATE(ANIMATIONTEMPLATE&&) = default;
    ANIMATIONTEMPLATE& operator=(ANIMATIONTEMPLATE&&) = default;

    // From a scaled model after InitialSetup. False (and an empty template)
    // when the model's skeleton has not been set up or memory runs out, with
    // why in `error`.
    bool Setup(MS3D* model, SetupError* error = nullptr);
    void Release();  // safe twice

    std::int32_t numJoints = 0;
    std::vector<TEMPLATE_JOINT> joints;
    std::int32_t totalFrames = 0;
    float animationFps = 0.0f;
    float totalTime = 0.0f;  // milliseconds
};

// Per-instance pose state of one joint.
struct BASICJOINT {
    std::int32_t parent = -1;
    std::uint8_t flags = 0;
    VECTOR3D translation = {0.0f, 0.0f, 0.0f};  // current animated translation
    MATRIX relative;
    MATRIX absolute;  // model space
    std::int32_t translationCursor = 0;
    std::int32_t rotationCursor = 0;
    std::int32_t lastRotationKey = -1;  // the key whose pose rotationQuat holds, -1 none
    QUAT rotationQuat;
    MATRIX rotationMatrix;
    QUAT blendFromQuat;
    VECTOR3D blendFromTranslation = {0.0f, 0.0f, 0.0f};
};

// One vertex as handed to OpenGL in an interleaved client array.
struct MOD_VERTEX_TYP {
    std::int8_t jointIndex = -1;
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
    VECTOR3D normal = {0.0f, 0.0f, 0.0f};
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(MOD_VERTEX_TYP) == 36, "the vertex stride OpenGL is given");

struct MOD_GROUP_TYP {
    std::int8_t materialIndex = -1;
    std::uint16_t numTriangles = 0;
    std::vector<std::uint16_t> indices;  // 3 per triangle, into verts
    std::uint16_t numVerts = 0;
    std::vector<MOD_VERTEX_TYP> verts;
    // Per vertex, the first vertex of the group with the same position (and
    // the same normal) bit for bit on the same joint: skinning works each out
    // once and copies it. Filled by ONEMODEL::Setup.
    std::vector<std::uint16_t> samePosition;
    std::vector<std::uint16_t> sameNormal;
};

// The buffer objects an instance draws from when the context has them (OpenGL
// 1.5): two for the vertices, filled in turn on the first draw after they
// moved, and one for the indices of every group one after another, which never
// change. Moving hands the names over; whoever holds them last deletes them,
// with the context that made them current.
struct MODEL_BUFFERS {
    GLuint vertices[2] = {0, 0};
    GLuint indices = 0;
    int current = 0;     // the vertex buffer last filled
    bool tried = false;  // made, or found unavailable, since the last Delete
    std::size_t vertexBytes = 0, indexBytes = 0;  // what they were made to hold

    MODEL_BUFFERS() = default;
    MODEL_BUFFERS(const MODEL_BUFFERS&) = delete;
    MODEL_BUFFERS& operator=(const MODEL_BUFFERS&) = delete;
    MODEL_BUFFERS(MODEL_BUFFERS&& other) noexcept;
    MODEL_BUFFERS& operator=(MODEL_BUFFERS&& other) noexcept;
    ~MODEL_BUFFERS();
    void Delete();
};

// A material's texture name is borrowed from the Texture array the instance
// was set up with: that array owns (and deletes) it.
struct MOD_MATERIAL_TYP {
    GLuint textureId = 0;
    std::uint8_t mode = 0;  // bit 0x80: sphere-mapped
};

class ONEMODEL {
public:
    ONEMODEL() = default;
    ONEMODEL(const ONEMODEL&) = delete;
    ONEMODEL& operator=(const ONEMODEL&) = delete;
    ONEMODEL(ONEMODEL&&) = default;
    ONEMODEL& operator=(ONEMODEL&&) = default;

    // From the template and the same scaled, set-up model. Material i takes
    // the GL name of textures[i] (0 when the span is shorter). False when
    // memory runs out, or when the model does not fit the template (a vertex
    // bound to a joint the template lacks, or a group with more than 65535
    // distinct vertices); the instance is then left empty, and why is in `error`.
    bool Setup(ANIMATIONTEMPLATE* animTemplate, MS3D* model, std::span<const Texture> textures,
               SetupError* error = nullptr);
    void Release();  // safe twice

    // Index of the first vertex of `group` equal (exact float comparison) in
    // position, normal, u, v and joint, or of the vertex appended for them.
    // kGroupFull when the group already holds 65535 vertices and a new one
    // would be needed.
    static constexpr std::uint16_t kGroupFull = 0xFFFF;
    std::uint16_t AddVertToGroup(MOD_GROUP_TYP* group, const float* position, const float* normal, float u, float v,
                                 char jointIndex);

    // Plays frames startFrame..endFrame (converted with the template's fps)
    // at `speed` animation ms per second. With `blend`, the pose first eases
    // from the current one to the range's first pose over 1 / blendRate
    // seconds while the clock stands still.
    void SetAnimation(double startFrame, double endFrame, double speed, bool loop, bool blend);
    void RestartAnim();
    // Advances the clock by seconds * speed and evaluates every joint's pose
    // (or one blending step). A finished non-looping range holds its pose.
    void Animate(double seconds);
    // relative = bindMatrix * (rotation, translation); absolute chains parents.
    void UpdateSkeleton();
    // One frame of everything but the vertices: animate, skeleton, then the
    // texture exchange. The joints are current; the vertices stay where Skin
    // last put them.
    void Pose(double seconds);
    // Every vertex taken back to joint-local space with the joint matrices
    // last applied to it and out again with `pose`'s (this instance's own
    // joints when empty), however many poses ago that was. A pose of another
    // instance of the same skeleton lets a low-detail model follow it; one
    // with another joint count is ignored.
    void Skin(std::span<const BASICJOINT> pose = {});
    // One frame: Pose, then Skin.
    void Update(double seconds);

    // Needs a current GL context. Draw applies position then orientation.
    // Both draw from buffer objects when `useBuffers` is set and the context
    // has them, from client arrays otherwise; the pixels are the same.
    void Draw();
    void DrawGroup(int group);  // nothing for an index out of range

    ANIMATIONTEMPLATE* animTemplate = nullptr;  // shared, not owned
    std::uint16_t numJoints = 0;
    std::vector<BASICJOINT> joints;
    std::uint16_t numMaterials = 0;
    std::vector<MOD_MATERIAL_TYP> materials;
    std::uint16_t numGroups = 0;
    std::vector<MOD_GROUP_TYP> groups;
    float currentTime = 0.0f;  // milliseconds
    bool loop = false;
    float speed = 1000.0f;     // animation ms per real second
    float startTime = 0.0f;    // milliseconds
    float endTime = 0.0f;      // milliseconds
    bool blending = false;
    float blendFactor = 0.0f;  // 0 .. 1
    float blendRate = 4.0f;    // per second
    VECTOR3D position = {0.0f, 0.0f, 0.0f};
    VECTOR3D angles = {0.0f, 0.0f, 0.0f};  // degrees; callers build orientation from them
    MATRIX orientation;
    bool texturesSwapped = false;
    double swapTimer = 0.0;  // seconds until the next exchange
    bool useBuffers = true;

private:
    // Last frame's model-space matrix of one joint as its inverse rotation
    // and translation are applied, then this frame's as its rotation and
    // translation are: four columns (3x3 then translation), the x and y rows
    // of each side by side and the z row apart, so that a vertex's x and y
    // are worked on together.
    struct JOINT_MOVE {
        alignas(16) double fromXY[4][2];
        double fromZ[4];
        alignas(16) double toXY[4][2];
        double toZ[4];
    };
    void AnimateBlend(double seconds);
    void AnimatePlay(double seconds);
    void Repose();
    void KeepAsApplied(std::span<const BASICJOINT> pose);
    void FindSharedVectors();
    // True with both buffers bound and the vertices current.
    bool BindBuffers();
    static void EnableVertexArrays(bool on);
    void DrawGroups(int first, int end);  // groups first .. end - 1, each in range
    void DrawGroupArrays(int group, std::size_t firstVertex, std::size_t firstIndex, bool buffered);

    // One per joint; `from` holds the matrices the vertices were last skinned with.
    std::vector<JOINT_MOVE> moves;
    MODEL_BUFFERS buffers;
    bool verticesMoved = true;      // since the vertex buffer was last filled
};
