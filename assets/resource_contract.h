// What the resource folder holds and how the saver reads it: the files, which
// lump is which, the scale applied after loading, the joints the scene reads by
// number and the animation clips it plays. The baker writes to these tables,
// the scene reads from them and `frostvale-inspect check` checks the baked
// files against them, so moving a joint or changing a scale is one edit here.
//
// Lengths are scene units (after the scale), frames are at kAnimationFps.
#pragma once

#include "math/vector.h"

// A model: its file, its lump there, and the factor the saver scales it by
// (the baker divides by the same factor on writing).
struct ModelRef {
    const char* file;
    int lump;
    float scale;
};

// Frames first to last of a character's animation, both ends included.
struct Clip {
    int first;
    int last;
};

inline constexpr double kAnimationFps = 24.0;

// Milliseconds on an animation clock at which frame `frame` is reached.
constexpr double FrameMs(double frame) { return frame * 1000.0 / kAnimationFps; }
// For a time the scene compares as a float literal: true when it is frame's
// time to within a microsecond, so a clip change here fails to compile there.
constexpr bool AtFrame(double ms, int frame) {
    const double d = ms - FrameMs(frame);
    return d < 0.001 && d > -0.001;
}

// "tex.brm": the scene's shared images, by lump.
inline constexpr char kSceneImageFile[] = "tex.brm";
namespace scene_image {
inline constexpr int kMoon = 0;
inline constexpr int kNoseGlow = 1;
inline constexpr int kGlow = 2;  // the round sprite of the moon's halo, the snow and the smoke
inline constexpr int kReins = 3;
inline constexpr int kRareTree = 4;
inline constexpr int kSparkle = 5;
inline constexpr int kTree = 6;
inline constexpr int kCount = 7;
}  // namespace scene_image

// "bramble.works": the overlay's pictures (font, intro, strips); its layout is
// the overlay's own business.
inline constexpr char kOverlayImageFile[] = "bramble.works";

// "houses.brm": the models, then the pictures that dress either of them.
inline constexpr ModelRef kHouseModels[] = {{"houses.brm", 0, 0.41f}, {"houses.brm", 1, 0.41f}};
inline constexpr int kHouseModelCount = 2;
inline constexpr int kFirstHouseImage = 2;
inline constexpr int kHouseImages = 5;
inline constexpr int kHouseChimneyJoint = 1;
// After the pictures, each house again in low detail, drawn where the fog
// has begun to swallow it: the same groups, materials, joints and pictures,
// far fewer triangles. Appended, so the lumps before them keep their bytes.
inline constexpr ModelRef kHouseModelsFar[] = {{"houses.brm", 7, 0.41f}, {"houses.brm", 8, 0.41f}};

// "other.brm": the ground tile (only group 0 is drawn) and the two firs, drawn
// with scene images kRareTree and kTree.
inline constexpr ModelRef kGroundModel = {"other.brm", 0, 3.0f};
// The ground tile's drifts reach no deeper than this below its top (y 0);
// houses and trees stand 0.5 below that top, so they reach below it by that much.
inline constexpr float kGroundLowest = -2.0f;
inline constexpr ModelRef kRareTreeModel = {"other.brm", 1, 0.1f};
inline constexpr ModelRef kTreeModel = {"other.brm", 2, 0.3f};
// The firs again in low detail, for the fog band as the houses' are.
inline constexpr ModelRef kRareTreeModelFar = {"other.brm", 3, 0.1f};
inline constexpr ModelRef kTreeModelFar = {"other.brm", 4, 0.3f};

// "sleigh.brm": the model, then its pictures in material order.
inline constexpr ModelRef kSleighModel = {"sleigh.brm", 0, 0.175f};
// Places in the sleigh's own frame: the seats the riders' origins sit on, the
// runners' back tips and where the reins leave the front.
namespace sleigh {
inline constexpr VECTOR3D kSantaSeat = {0.0f, -2.2f, 1.2f};
inline constexpr VECTOR3D kElfSeat = {0.0f, 1.6f, -1.0f};
inline constexpr VECTOR3D kRunnerPlusX = {2.6f, -3.3f, -5.0f};
inline constexpr VECTOR3D kRunnerMinusX = {-2.6f, -3.3f, -5.0f};
inline constexpr VECTOR3D kReinPlusX = {1.75f, -1.0f, 4.4f};
inline constexpr VECTOR3D kReinMinusX = {-1.75f, -1.0f, 4.4f};
// The group the elf's hands reach into while they pick up a present.
inline constexpr char kSackGroup[] = "sack";
}  // namespace sleigh

// "presents.brm": one group per shape, then the wrappings; the scene only ever
// picks the first kPresentWrappingsUsed of them.
inline constexpr ModelRef kPresentsModel = {"presents.brm", 0, 0.075f};
inline constexpr int kPresentImages = 12;
inline constexpr int kPresentWrappingsUsed = 10;

// The characters: each model is followed by its pictures in pairs, eyes open
// then shut.
inline constexpr ModelRef kReindeerModel = {"reindeer.brm", 0, 0.08f};
inline constexpr ModelRef kSantaModel = {"santa.brm", 0, 0.1f};
inline constexpr ModelRef kElfModel = {"elf.brm", 0, 0.05f};
// After the pictures, each character again in low detail, for where it is
// drawn a few dozen lines tall or the fog has begun to take it: the same
// skeleton, clips, groups, materials and pictures, far fewer triangles.
// Appended, so the lumps before them keep their bytes.
inline constexpr ModelRef kReindeerModelFar = {"reindeer.brm", 11, 0.08f};
inline constexpr ModelRef kSantaModelFar = {"santa.brm", 3, 0.1f};
inline constexpr ModelRef kElfModelFar = {"elf.brm", 3, 0.05f};

// Reindeer: hoof joints turn their axes so +z runs down the lower leg to the
// hoof's tip, one unit away; coat c (0 the lead's) is pictures 2c and 2c + 1.
namespace reindeer {
inline constexpr int kHarness = 2;
inline constexpr int kFrontHoofPlusX = 5, kFrontHoofMinusX = 6;
inline constexpr int kHindHoofPlusX = 9, kHindHoofMinusX = 10;
inline constexpr int kNose = 14;  // the last joint
inline constexpr int kJoints = 15;
inline constexpr int kCoats = 5;
inline constexpr Clip kGallop = {1, 22};
inline constexpr Clip kStand = {26, 30};
// Gallop frames over which each pair of hooves strikes the air.
inline constexpr Clip kHindStrike = {5, 8};
inline constexpr Clip kFrontStrike = {16, 19};
}  // namespace reindeer

// Santa: the +x hand holds a rein, the -x hand the rein and then the present,
// which hangs kPresentOffset along that hand's axes.
namespace santa {
inline constexpr int kHandPlusX = 9, kHandMinusX = 15;
inline constexpr int kJoints = 16;
inline constexpr Clip kSeated = {1, 49};
inline constexpr Clip kClimb = {49, 77};
inline constexpr Clip kLower = {77, 93};
inline constexpr Clip kDrop = {94, 122};
inline constexpr Clip kReturn = {123, 194};
inline constexpr int kElfStandsFrame = 57;  // in kClimb: the elf gets up to watch
inline constexpr int kPresentFrame = 65;    // in kClimb: the present appears in his hand
inline constexpr VECTOR3D kPresentOffset = {-0.9f, 0.0f, 0.0f};
inline constexpr VECTOR3D kFist = {0.0f, 0.0f, 0.5f};  // where the reins leave either hand
// The chimney he delivers to, from his seat: the sleigh lands so it is there.
inline constexpr VECTOR3D kChimneyFromSeat = {-5.0f, 0.0f, 0.0f};
}  // namespace santa

// The elf: hand 1 is its right arm (-x), hand 2 its left (+x); each grip
// offset, in its arm joint's axes, lands in the palm.
namespace elf {
inline constexpr int kHand2 = 7, kHand1 = 9;
inline constexpr int kJoints = 12;
inline constexpr VECTOR3D kHand1Grip = {0.75f, 0.0f, 0.5f};
inline constexpr VECTOR3D kHand2Grip = {-0.75f, 0.0f, 0.5f};
inline constexpr Clip kCruise = {0, 53};
inline constexpr Clip kBrace = {54, 66};
inline constexpr Clip kWatch = {66, 86};
inline constexpr Clip kWave = {87, 136};
// Within kCruise: each hand dips into the sack, then swings out to throw.
inline constexpr Clip kHand2PickUp = {1, 4};
inline constexpr Clip kHand2Throw = {11, 16};
inline constexpr Clip kHand1PickUp = {27, 30};
inline constexpr Clip kHand1Throw = {37, 42};
}  // namespace elf
