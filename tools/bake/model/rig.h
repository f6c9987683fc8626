// Rigging and clip authoring for the baker's animated characters.
//
// Conventions:
// - Joints are placed by their bind position in model space (scene units, as
//   everywhere in the kit). A joint may turn its own axes (`frame`, degrees,
//   x then y then z, in model axes) so that a point the engine reads in joint
//   space lands where the body needs it; the frame does not move the mesh.
// - Poses are written in posing axes: every joint turns about axes parallel to
//   the model's axes as they lie in the bind pose, whatever its frame, and may
//   move (`offset`) in its parent's posing axes. A pose is applied down the
//   chain, so a turned shoulder carries the arm below it.
// - Key frames are whole frames at the mesh's rate (24 per second). The rig
//   writes what the file wants: per-joint Euler radians in the joint's own axes,
//   offsets in its own axes, times in seconds.
// - Between two key poses the rig writes a key at every whole frame, eased as
//   asked, so the engine's linear interpolation between keys follows the ease.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/bake/model/mesh.h"

struct JointPose {
    V3 rotation;  // degrees, x then y then z, posing axes
    V3 offset;    // scene units, the parent's posing axes
};
// Joints not named stand as bound.
using Pose = std::map<int, JointPose>;

// How a key is reached from the key before it.
enum class Ease {
    Linear,  // constant speed (for motion keyed every frame, such as cycles)
    Smooth,  // starts and ends at rest
    In,      // starts at rest, arrives moving
    Out,     // leaves moving, arrives at rest
};

class Rig {
public:
    explicit Rig(Mesh& mesh) : mesh_(mesh) {}

    // Adds a joint to the mesh (parents before children) and returns its index.
    int AddJoint(const std::string& name, int parent, V3 modelPosition, V3 frameDegrees = {});
    V3 BindPosition(int joint) const;

    // A key pose at `frame`; frames must rise from one call to the next.
    void Key(int frame, const Pose& pose, Ease ease = Ease::Smooth);
    // The pose of the latest key, to start the next one from.
    const Pose& Last() const;

    // Writes every key into the mesh's joints and sets its frame count to the
    // last key's frame. Joints that no pose names get no keys.
    void Finish();

    // Where the model-space point `local` (given in joint `joint`'s own axes,
    // relative to its origin) lies under `pose`, by the same chain the engine
    // builds. For generators and tests that place things at attachment points.
    V3 PosedPoint(const Pose& pose, int joint, V3 local) const;

    // Sets `joint`'s rotation in `pose` so that, with its parents as posed, its
    // axes end up turned by `degrees` (x then y then z) from the bind pose.
    void Orient(Pose& pose, int joint, V3 degrees) const;
    // Bends the joints of `chain` (listed from the root end) so that the point
    // `local` of `joint` comes as near `target` (model space) as they allow;
    // joints in `keepOriented` get their turn from `Orient` back after each
    // pass. Returns the distance left.
    float Reach(Pose& pose, const std::vector<int>& chain, int joint, V3 local, V3 target,
                const std::vector<std::pair<int, V3>>& keepOriented = {}) const;

private:
    struct Map {
        std::array<double, 9> r = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        V3 t;
    };
    std::vector<Map> PosedMaps(const Pose& pose) const;

    struct JointInfo {
        int parent = -1;
        V3 position;                  // model space, bind
        std::array<double, 9> axes;   // frame as a row-major rotation, model axes
    };
    struct KeyPose {
        int frame = 0;
        Pose pose;
        Ease ease = Ease::Smooth;
    };

    Mesh& mesh_;
    std::vector<JointInfo> joints_;
    std::vector<KeyPose> keys_;
};

// Euler angles (degrees, x then y then z) for the rotation `m` (row-major),
// the inverse of what the engine builds from a key.
V3 EulerDegrees(const std::array<double, 9>& m);
std::array<double, 9> RotationFromEuler(V3 degrees);

// A tapered capsule from `a` (radius ra) to `b` (radius rb) with rounded ends,
// for limbs: neighbouring pieces overlap at the joint so no gap opens when
// they turn. `uv` maps u round and v along.
void AddLimb(Mesh& mesh, V3 a, V3 b, float ra, float rb, const UvRect& uv, int segments = 10);
// An ellipsoid centred on `centre` with radii `r`, turned by `turnY` degrees
// about y; its picture's u = 0.5 faces +z before the turn (a face painted in the
// middle of the rectangle looks forwards).
void AddBlob(Mesh& mesh, V3 centre, V3 r, const UvRect& uv, float turnY = 0.0f, int segments = 14, int rings = 9);
