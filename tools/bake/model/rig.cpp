#include "tools/bake/model/rig.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "math/matrix.h"
#include "math/vector.h"
#include "tools/bake/model/primitives.h"
#include "tools/bake/paint.h"

namespace {
using M3 = std::array<double, 9>;

M3 Mul(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
    }
    return r;
}

M3 Transpose(const M3& a) { return {a[0], a[3], a[6], a[1], a[4], a[7], a[2], a[5], a[8]}; }

V3 Apply(const M3& m, V3 v) {
    return {static_cast<float>(m[0] * v.x + m[1] * v.y + m[2] * v.z),
            static_cast<float>(m[3] * v.x + m[4] * v.y + m[5] * v.z),
            static_cast<float>(m[6] * v.x + m[7] * v.y + m[8] * v.z)};
}

// The engine's quaternion as a row-major rotation.
M3 FromQuat(const QUAT& q) {
    const MATRIX m = QuatToRotationMatrix(q);  // column-major: element (row, col) = m[col * 4 + row]
    return {m[0], m[4], m[8], m[1], m[5], m[9], m[2], m[6], m[10]};
}

QUAT QuatOf(V3 degrees) { return RotationToQuat(VECTOR3D{degrees.x, degrees.y, degrees.z}); }

double Eased(Ease e, double t) {
    switch (e) {
        case Ease::Linear: return t;
        case Ease::Smooth: return t * t * (3.0 - 2.0 * t);
        case Ease::In: return t * t;
        case Ease::Out: return 1.0 - (1.0 - t) * (1.0 - t);
    }
    return t;
}

JointPose Named(const Pose& p, int joint) {
    const auto it = p.find(joint);
    return it == p.end() ? JointPose{} : it->second;
}

// One joint's pose between two keys, as a quaternion and an offset.
struct Sample {
    QUAT rotation;
    V3 offset;
};

Sample Between(const JointPose& a, const JointPose& b, double e) {
    const QUAT qa = QuatOf(a.rotation), qb = QuatOf(b.rotation);
    Sample s;
    s.rotation = e <= 0.0 ? qa : e >= 1.0 ? qb : QuatSlerp(&qa, &qb, e);
    s.offset = Lerp(a.offset, b.offset, static_cast<float>(e));
    return s;
}
}  // namespace

M3 RotationFromEuler(V3 degrees) { return FromQuat(QuatOf(degrees)); }

V3 EulerDegrees(const M3& m) {
    // m = Rz(z) Ry(y) Rx(x): m[6] = -sin y, m[7] = cos y sin x, m[8] = cos y cos x.
    const double sy = std::clamp(-m[6], -1.0, 1.0);
    const double y = std::asin(sy);
    double x, z;
    if (std::fabs(sy) < 0.999999) {
        x = std::atan2(m[7], m[8]);
        z = std::atan2(m[3], m[0]);
    } else {  // gimbal lock: put the whole turn about z
        x = 0.0;
        z = std::atan2(-m[1], m[4]);
    }
    const double k = 180.0 / kPi;
    return {static_cast<float>(x * k), static_cast<float>(y * k), static_cast<float>(z * k)};
}

int Rig::AddJoint(const std::string& name, int parent, V3 modelPosition, V3 frameDegrees) {
    if (parent >= static_cast<int>(joints_.size())) throw BakeError("joint \"" + name + "\" names a later parent");
    JointInfo info;
    info.parent = parent;
    info.position = modelPosition;
    info.axes = RotationFromEuler(frameDegrees);
    V3 relative = modelPosition;
    M3 bind = info.axes;
    if (parent >= 0) {
        const JointInfo& p = joints_[static_cast<std::size_t>(parent)];
        relative = Apply(Transpose(p.axes), modelPosition - p.position);
        bind = Mul(Transpose(p.axes), info.axes);
    }
    const V3 e = EulerDegrees(bind);
    const float r = static_cast<float>(kPi / 180.0);
    const int index = mesh_.AddJoint(name, parent, relative, {e.x * r, e.y * r, e.z * r});
    if (index != static_cast<int>(joints_.size())) throw BakeError("the rig must add every joint of its mesh");
    joints_.push_back(info);
    return index;
}

V3 Rig::BindPosition(int joint) const { return joints_.at(static_cast<std::size_t>(joint)).position; }

void Rig::Key(int frame, const Pose& pose, Ease ease) {
    if (!keys_.empty() && frame <= keys_.back().frame) {
        throw BakeError("key frame " + std::to_string(frame) + " does not follow frame " +
                        std::to_string(keys_.back().frame));
    }
    for (const auto& [joint, p] : pose) {
        if (joint < 0 || joint >= static_cast<int>(joints_.size())) throw BakeError("a pose names no such joint");
    }
    keys_.push_back({frame, pose, ease});
}

const Pose& Rig::Last() const {
    if (keys_.empty()) throw BakeError("no key yet");
    return keys_.back().pose;
}

void Rig::Finish() {
    if (keys_.empty()) return;
    std::set<int> turned, moved;
    for (const KeyPose& k : keys_) {
        for (const auto& [joint, p] : k.pose) {
            turned.insert(joint);
            if (Length(p.offset) > 0.0f) moved.insert(joint);
        }
    }
    const float fps = mesh_.fps;
    auto write = [&](int frame, int joint, const Sample& s) {
        const JointInfo& info = joints_[static_cast<std::size_t>(joint)];
        MeshJoint& out = mesh_.Joints()[static_cast<std::size_t>(joint)];
        const float time = static_cast<float>(frame) / fps;
        // The file turns a joint inside its own axes: conjugate the posing turn.
        const M3 local = Mul(Transpose(info.axes), Mul(FromQuat(s.rotation), info.axes));
        const V3 e = EulerDegrees(local);
        const float r = static_cast<float>(kPi / 180.0);
        out.rotationKeys.push_back({time, {e.x * r, e.y * r, e.z * r}});
        if (moved.count(joint) != 0) {
            const V3 t = Apply(Transpose(info.axes), s.offset);
            out.translationKeys.push_back({time, {t.x, t.y, t.z}});
        }
    };
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const KeyPose& to = keys_[k];
        if (k > 0) {
            const KeyPose& from = keys_[k - 1];
            for (int f = from.frame + 1; f < to.frame; ++f) {
                const double e = Eased(to.ease, static_cast<double>(f - from.frame) / (to.frame - from.frame));
                for (int j : turned) write(f, j, Between(Named(from.pose, j), Named(to.pose, j), e));
            }
        }
        for (int j : turned) write(to.frame, j, Between(Named(to.pose, j), Named(to.pose, j), 1.0));
    }
    mesh_.totalFrames = keys_.back().frame;
}

std::vector<Rig::Map> Rig::PosedMaps(const Pose& pose) const {
    // Each joint's posed map p -> R p + t takes bind model space to posed model space.
    std::vector<Map> maps(joints_.size());
    for (std::size_t j = 0; j < joints_.size(); ++j) {
        const JointInfo& info = joints_[j];
        const JointPose p = Named(pose, static_cast<int>(j));
        const M3 q = RotationFromEuler(p.rotation);
        // Own map: T(P) T(d) Q T(-P).
        Map own;
        own.r = q;
        own.t = info.position + p.offset - Apply(q, info.position);
        if (info.parent >= 0) {
            const Map& up = maps[static_cast<std::size_t>(info.parent)];
            maps[j].r = Mul(up.r, own.r);
            maps[j].t = Apply(up.r, own.t) + up.t;
        } else {
            maps[j] = own;
        }
    }
    return maps;
}

V3 Rig::PosedPoint(const Pose& pose, int joint, V3 local) const {
    const std::vector<Map> maps = PosedMaps(pose);
    const JointInfo& info = joints_.at(static_cast<std::size_t>(joint));
    const Map& m = maps[static_cast<std::size_t>(joint)];
    return Apply(m.r, info.position + Apply(info.axes, local)) + m.t;
}

void Rig::Orient(Pose& pose, int joint, V3 degrees) const {
    const int parent = joints_.at(static_cast<std::size_t>(joint)).parent;
    M3 up = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    if (parent >= 0) up = PosedMaps(pose)[static_cast<std::size_t>(parent)].r;
    pose[joint].rotation = EulerDegrees(Mul(Transpose(up), RotationFromEuler(degrees)));
}

float Rig::Reach(Pose& pose, const std::vector<int>& chain, int joint, V3 local, V3 target,
                 const std::vector<std::pair<int, V3>>& keepOriented) const {
    // Cyclic coordinate descent: each joint in turn, from the tip end, turns
    // the tip towards the target about the axis square to both directions.
    for (int pass = 0; pass < 40; ++pass) {
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const std::vector<Map> maps = PosedMaps(pose);
            const JointInfo& info = joints_[static_cast<std::size_t>(*it)];
            const Map& m = maps[static_cast<std::size_t>(*it)];
            const V3 pivot = Apply(m.r, info.position) + m.t;
            const V3 tip = PosedPoint(pose, joint, local);
            const V3 a = Normalised(tip - pivot), b = Normalised(target - pivot);
            const V3 axis = Cross(a, b);
            const float s = Length(axis);
            if (s < 1e-6f) continue;
            const double angle = std::atan2(static_cast<double>(s), static_cast<double>(Dot(a, b))) * 0.7;
            // The turn about `axis` in model space, as a row-major rotation.
            const V3 k = axis * (1.0f / s);
            const double c = std::cos(angle), sn = std::sin(angle), v = 1.0 - c;
            const M3 turn = {k.x * k.x * v + c,       k.x * k.y * v - k.z * sn, k.x * k.z * v + k.y * sn,
                             k.y * k.x * v + k.z * sn, k.y * k.y * v + c,       k.y * k.z * v - k.x * sn,
                             k.z * k.x * v - k.y * sn, k.z * k.y * v + k.x * sn, k.z * k.z * v + c};
            M3 up = {1, 0, 0, 0, 1, 0, 0, 0, 1};
            if (info.parent >= 0) up = maps[static_cast<std::size_t>(info.parent)].r;
            // New own turn Q' with up Q' = turn up Q.
            const M3 q = RotationFromEuler(Named(pose, *it).rotation);
            pose[*it].rotation = EulerDegrees(Mul(Transpose(up), Mul(turn, Mul(up, q))));
            for (const auto& [j, d] : keepOriented) Orient(pose, j, d);
        }
    }
    return Length(PosedPoint(pose, joint, local) - target);
}

void AddLimb(Mesh& mesh, V3 a, V3 b, float ra, float rb, const UvRect& uv, int segments) {
    const V3 d = b - a;
    const float length = Length(d);
    if (length < 1e-5f) {
        AddSphere(mesh, Move(a.x, a.y, a.z), std::max(ra, rb), mesh.Sides(segments, 5), mesh.Sides(6, 4), uv);
        return;
    }
    const V3 along = d * (1.0f / length);
    const V3 ref = std::fabs(along.z) < 0.9f ? V3{0, 0, 1} : V3{1, 0, 0};
    const V3 u = Normalised(Cross(along, ref));
    const V3 w = Cross(u, along);
    Xform x;
    x.m = {u.x, along.x, w.x, u.y, along.y, w.y, u.z, along.z, w.z};
    x.t = a;
    std::vector<V2> profile;
    const int cap = mesh.Sides(3, 2);
    const float half = static_cast<float>(kPi) * 0.5f;
    for (int i = 0; i <= cap; ++i) {
        const float t = half * static_cast<float>(i) / cap;
        profile.push_back({ra * std::sin(t), -ra * std::cos(t)});
    }
    for (int i = 0; i <= cap; ++i) {
        const float t = half * static_cast<float>(i) / cap;
        profile.push_back({i == cap ? 0.0f : rb * std::cos(t), length + rb * std::sin(t)});
    }
    LatheOptions o;
    o.segments = mesh.Sides(segments, 5);
    AddLathe(mesh, x, profile, uv, o);
}

void AddBlob(Mesh& mesh, V3 centre, V3 r, const UvRect& uv, float turnY, int segments, int rings) {
    AddSphere(mesh, Move(centre.x, centre.y, centre.z) * Xform::RotateY(turnY) * Xform::Scale(r) * Xform::RotateY(180.0f),
              1.0f, mesh.Sides(segments, 5), mesh.Sides(rings, 4), uv);
}
