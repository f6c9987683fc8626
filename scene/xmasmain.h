// The Christmas scene: one object owning every element of the night scene and
// the camera that watches it.
//
// Lifecycle: construct -> SetupAll (GL context current) -> any number of
// MoveScene / MoveCamera / MoveSnow / DrawScene -> CleanupAll -> destroy.
// Each element has SetupX / MoveX / DrawX in a source file of its own
// (sky.cpp, camera.cpp, snow.cpp, houses.cpp, trees.cpp, sleigh.cpp,
// reindeer.cpp, presents.cpp, sparkles.cpp, delivery.cpp): MoveX issues no GL
// calls, DrawX changes no simulation state, and a frame allocates nothing:
// every array is sized once by its SetupX.
#pragma once

#include <GL/gl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "assets/resource_contract.h"
#include "assets/texture.h"
#include "assets/vertex_stream.h"
#include "math/frustum.h"
#include "math/matrix.h"
#include "math/vector.h"
#include "scene/records.h"
#include "scene/scene_settings.h"

// Delivery states. State 3 is never entered.
inline constexpr int ANIM_FLYING = 0;
inline constexpr int ANIM_APPROACH = 1;
inline constexpr int ANIM_DELIVER = 2;
inline constexpr int ANIM_TAKEOFF = 4;

inline constexpr int kPresentPool = 20;
inline constexpr int kSparklePool = 500;
inline constexpr int kTreeCount = 40;
inline constexpr int kCameraShots = 9;

class RESFILE;
// Reads lump `lump` of an open resource file as a model. On failure `error`
// names the file (as `name`) and the lump, whatever the reader found wrong.
bool ReadModelLump(RESFILE* file, const std::string& name, int lump, MS3D* model, SetupError* error);
// The farthest any vertex lies from the model's origin: the radius of a
// sphere about the origin that holds the model however it is turned about it.
float ModelReach(const MS3D& model);
// Redraws the ground tile in `tile` (a square grid of cells in group 0, whose
// opposite edges meet) on every `step`-th grid line: a coarser tile made of
// the same grid points and their normals, so coarse tiles still meet one
// another without a crack. False, the tile unchanged, when group 0 is no
// such grid or its cells do not divide by `step`. No GL.
bool CoarsenGroundTile(MS3D* tile, int step);

// Two points beside a chimney top, in the house's axes. The roof point comes
// to rest at the sleigh when it lands: Santa, in his seat, is then the
// chimney's reach from the chimney.
inline constexpr VECTOR3D kRoofFromChimney = {-(santa::kChimneyFromSeat.x + sleigh::kSantaSeat.x),
                                              -(santa::kChimneyFromSeat.y + sleigh::kSantaSeat.y),
                                              -(santa::kChimneyFromSeat.z + sleigh::kSantaSeat.z)};
// The approach's sideways and vertical speed limits are sized, once, from the
// distance to this point, half a unit below and behind the roof point. The
// limits differ by under 0.04 units/s from those the roof point would give,
// and seeded runs are flown with these, so both points stay.
inline constexpr VECTOR3D kApproachAimFromChimney = {5.0f, 1.7f, -1.7f};

// The height houses and firs stand at: half a unit into the snow, whose
// surface lies at -54, so no gap shows under a wall or a trunk.
inline constexpr float kFootingLevel = -54.5f;

// The linear fog's eye depths (the frame driver sets them). A house or a fir
// lying wholly past the start is drawn from its low-detail model: the fog is
// already taking it, and what the far model leaves out is under a pixel there.
inline constexpr float kFogStart = 300.0f;
inline constexpr float kFogEnd = 390.0f;
inline constexpr float kFarDetailDepth = kFogStart;
// At light quality a character whose bounding sphere comes out fewer picture
// lines across than this is drawn from its low-detail model. The sphere is
// about twice a reindeer's height: one some 35 lines tall shows no change,
// while at 50 its rump shows the fewer sides.
inline constexpr float kCharacterFarLines = 80.0f;

// What the view that owns the scene decides for it, handed down and only
// read by the scene: the held shot once, at set-up; the detail inputs with
// every frame, as the picture's size may change between frames.
struct SceneInputs {
    // -1 lets the camera draw its shots; 0..8 holds every new shot on that
    // kind (for looking at one shot and for tests).
    int heldShot = -1;
    // Depth past which houses and firs are drawn from their low-detail
    // models: the fog's start, or nearer when the picture is drawn small
    // enough that the difference would be lost in its pixels.
    float farDetailDepth = kFarDetailDepth;
    // Lines of the picture the world is drawn into at light quality, which
    // switches characters by their size in it; 0 at full quality, where only
    // the fog does.
    int lightPictureLines = 0;
};

class XMASMAIN {
public:
    // Set-up reports through `context` (the view's); without one it only fails.
    explicit XMASMAIN(EngineContext* context = nullptr);
    ~XMASMAIN() { CleanupAll(); }
    XMASMAIN(const XMASMAIN&) = delete;
    XMASMAIN& operator=(const XMASMAIN&) = delete;

    // ---- the whole scene (xmasmain.cpp, delivery.cpp) ----
    // Stops at the first failing step and frees nothing: CleanupAll does.
    bool SetupAll(const SETTINGS* settings, const char* path);
    // Safe after a failed or partial SetupAll, and safe twice.
    void CleanupAll();
    bool SetupAnims();
    bool SetupScene();
    void CleanupScene();
    void MoveScene(double seconds);
    void DrawScene();
    void AnimControl();
    void NewState(int state);
    // Opens `file` in the resource folder and reads the model in lump 0,
    // noting the first failure with the file's path.
    bool LoadModelLump(const char* file, MS3D* model) const;
    // Where set-up notes its first failure; null without a context.
    SetupError* Error() const { return context != nullptr ? &context->error : nullptr; }

    // ---- camera (camera.cpp) ----
    // Called by the frame driver with the identity model-view matrix loaded;
    // leaves the camera transform in it.
    void MoveCamera();

    // ---- sky, stars, clouds and ground (sky.cpp) ----
    bool SetupSky();
    bool SetupStars();
    bool SetupGround();
    void MoveBackground();
    void MoveSky();
    void ResetGround();
    void DrawBackground();
    void DrawSky();
    void DrawStars();
    void CleanupBackground();
    void GenerateClouds(GLuint texture, int noiseSize, int size, int cutoff, float sharpness);
    static void SmoothTex(int size, unsigned char* dst, const unsigned char* src);
    static void CopyAndEnlarge(const unsigned char* src, unsigned char* dst, int smallSize, int bigSize, int scale);
    static unsigned char CloudExpCurve(unsigned char value, int cutoff, float sharpness);
    // The cloud image GenerateClouds uploads, one byte per texel (x + y * size);
    // no GL, so tools and tests can look at it.
    static std::vector<unsigned char> CloudPixels(int noiseSize, int size, int cutoff, float sharpness);

    // ---- snow (snow.cpp) ----
    bool SetupSnow();
    void MoveSnow();
    void DrawSnow();

    // ---- houses and smoke (houses.cpp) ----
    bool SetupHouses();
    void MoveHouses();
    void DrawHouses();
    void DrawAllSmoke();
    // How far `origin` lies from the eye along this frame's view; nothing
    // while the eye and its target coincide. Reads only the camera.
    std::optional<double> ViewDepth(VECTOR3D origin) const;
    // True when all of the sphere about `origin` lies past inputs.farDetailDepth
    // along this frame's view.
    bool PastFogStart(VECTOR3D origin, float reach) const;

    // ---- trees (trees.cpp) ----
    bool SetupTrees();
    void MoveTrees();
    void DrawTrees();

    // ---- sleigh (sleigh.cpp) ----
    bool SetupSleigh();
    void MoveSleigh();
    void DrawSleigh();

    // ---- the characters' two models (xmasmain.cpp) ----
    // Reads the low-detail model `far` for the character whose near model
    // set up `templ`, scaled and set up; false (noted) when it is missing or
    // its skeleton is not the template's.
    bool LoadFarCharacter(const ModelRef& far, const ANIMATIONTEMPLATE& templ, MS3D* model);
    // True when `model` (its joints posed, its vertices no further than
    // `limbReach` from their joints) is better drawn from its low-detail
    // model this frame: past the fog's start, or at light quality so small
    // in the picture that the difference is lost.
    bool DrawCharacterFar(const ONEMODEL& model, float limbReach) const;
    // Skins and draws `model`, or `far` (may be null) in its pose, place and
    // blink when DrawCharacterFar says so. Only the model drawn is skinned:
    // the vertices belong to the picture, not to the simulation.
    void DrawCharacter(ONEMODEL& model, ONEMODEL* far, float limbReach);
    // Santa or the elf (`index` into the templates): the near model, which
    // must carry `jointsNeeded` joints, and the low-detail one beside it, both
    // with the pictures of the near model's file; `limbReach` covers both.
    bool SetupRider(int index, const ModelRef& near, const ModelRef& far, int jointsNeeded, ONEMODEL* instance,
                    ONEMODEL* farInstance, std::vector<Texture>* textures);

    // ---- reindeer and reins (reindeer.cpp) ----
    bool SetupReindeers();
    void MoveReindeers();
    void DrawReindeers();
    void DrawReigns();

    // ---- presents (presents.cpp) ----
    bool SetupPresents();
    void ThrowPresents();
    void MovePresents();
    void DrawPresents();

    // ---- sparkles and the nose glow (sparkles.cpp) ----
    void NewSparkles(int count, VECTOR3D position);
    void MoveSparkles();
    void DrawSparkles();
    void DoNoseGlow(VECTOR3D nose);

    // ---- fields, in the order the elements are set up and drawn ----
    double frameTime = 0.0;
    double sceneTime = 0.0;
    bool showSparkles = true;
    bool showSmoke = true;
    bool showTrees = true;
    int snowCount = 1000;
    int starCount = 500;
    int houseCount = 40;
    int reindeerCount = 1;
    std::string resourcePath;       // ends in "/"
    EngineContext* context = nullptr;  // not owned; the view's
    std::vector<Texture> textures;  // "tex.brm", by lump index

    // Draws the first `vertices` written into `stream` as quads with
    // `texture`: blended, unlit and without depth writes, so the snow, the
    // smoke and the sparkles never hide one another. Nothing when the
    // written vertices were lost. Leaves the colour white.
    void DrawParticleQuads(VERTEX_STREAM* stream, GLuint texture, std::size_t vertices);
    // What the particles hand the driver each frame.
    VERTEX_STREAM snowStream;
    VERTEX_STREAM sparkleStream;
    VERTEX_STREAM smokeStream;
    VERTEX_STREAM starStream;

    // snow
    std::vector<ONEPARTICLE> snowFlakes;
    VECTOR3D snowCentre = {0.0f, 0.0f, 20.0f};

    // stars and moon
    std::vector<ONEPARTICLE> stars;
    ONEPARTICLE moon;
    float moonSize = 0.0f;
    VECTOR3D groundScroll = {0.0f, 0.0f, 0.0f};

    // houses
    std::vector<ONEHOUSE> houses;
    GLuint houseLists[2] = {0, 0};
    GLuint houseListsFar[2] = {0, 0};  // the same houses in low detail
    float houseReach = 0.0f;           // of either model, near or far
    Texture houseTextures[5];
    VECTOR3D chimneyOffsets[2] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    VECTOR3D smokeWind = {0.0f, 0.0f, 3.0f};

    // trees
    GLuint treeList = 0;
    GLuint rareTreeList = 0;
    GLuint treeListFar = 0;  // the firs in low detail
    GLuint rareTreeListFar = 0;
    float treeReach = 0.0f;  // of any fir model
    TREESLOT trees[kTreeCount];

    // sky and ground
    GLuint skyList = 0;
    GLuint groundList = 0;
    // The ground tile on every third grid line: a ninth of the triangles, for
    // the small picture of light quality, where setting triangles up is most
    // of the ground's cost. 0 when the tile could not be coarsened.
    GLuint groundListCoarse = 0;
    GLuint skyTexture = 0;
    VECTOR3D cloudDrift = {0.0f, 1.0f, 0.0f};
    float cloudOffsetU = 0.0f;
    float cloudOffsetV = 0.0f;

    // camera
    VECTOR3D cameraEye = {30.0f, 10.0f, 0.0f};
    VECTOR3D cameraTarget = {0.0f, 0.0f, 0.0f};
    VECTOR3D cameraUp = {0.0f, 1.0f, 0.0f};
    float cameraTimer = 0.0f;
    VECTOR3D cameraSpin = {0.0f, 0.0f, 0.0f};
    int cameraMode = 1;
    bool cameraCut = false;
    // The view's inputs: the held shot as set up, the detail as of this frame.
    SceneInputs inputs;
    // This scene's view frustum, in world coordinates. Its frame driver fills
    // it after placing the camera; the draw step culls against it and the
    // next move step poses and flags only what it holds. It lives here and
    // not in the process because one process may drive several views, and
    // one view's move runs right after another view's draw.
    FrustumPlanes frustum;

    // delivery state machine
    int animState = ANIM_FLYING;
    int animStep = 0;
    float animTimer = 0.0f;

    // sleigh
    GLuint sleighList = 0;
    std::vector<Texture> sleighTexture;
    VECTOR3D worldVelocity = {0.0f, 0.0f, -25.0f};
    VECTOR3D speedLimit = {0.0f, 0.0f, -25.0f};
    VECTOR3D sleighPos = {0.0f, 0.0f, 0.0f};
    VECTOR3D sleighOffset = {0.0f, 0.0f, 0.0f};
    VECTOR3D sleighAngles = {0.0f, 0.0f, 0.0f};
    MATRIX sleighMatrix;
    int targetHouse = -1;
    VECTOR3D worldOffset = {0.0f, 0.0f, 0.0f};
    std::vector<VECTOR3D> reinPoints;
    float runnerSparkleTimer = 0.0f;

    // presents
    PRESENT presents[kPresentPool];
    int nextPresent = -1;
    int handPresent = -1;
    std::vector<GLuint> presentLists;
    int presentModelCount = 0;
    PRESENT heldPresent;

    // the team and the riders
    int leadReindeer = 0;
    float bobHeight = 5.0f;
    std::unique_ptr<ONEMODEL> santa;
    std::unique_ptr<ONEMODEL> elf;
    std::unique_ptr<ONEMODEL> santaFar;  // in low detail; each reindeer holds its own
    std::unique_ptr<ONEMODEL> elfFar;
    // The furthest any vertex of a character lies from its joint: reindeer, Santa, elf.
    float limbReach[3] = {0.0f, 0.0f, 0.0f};
    std::vector<ONEREINDEER> reindeer;
    ONEPARTICLE sparkles[kSparklePool];
    std::vector<ANIMATIONTEMPLATE> animTemplates;  // 0 reindeer, 1 Santa, 2 elf
    VECTOR3D reinAnchorPlusX = {0.0f, 0.0f, 0.0f};
    VECTOR3D reinAnchorMinusX = {0.0f, 0.0f, 0.0f};
    std::vector<Texture> reindeerTexture;
    std::vector<Texture> santaTexture;
    std::vector<Texture> elfTexture;
    std::vector<Texture> presentTextures;
};
