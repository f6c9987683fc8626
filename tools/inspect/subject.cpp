#include "tools/inspect/subject.h"

#include "assets/resfile.h"

namespace {
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
}  // namespace

bool ReadImageLump(const std::string& path, int index, Texture* texture, int* alphaMode, std::string* error,
                   const EngineContext* alerts) {
    RESFILE file;
    if (!file.Open(path.c_str())) {
        *error = Quoted(path) + " cannot be opened or is not a lump file";
        return false;
    }
    if (index < 0 || index >= file.LumpCount() || !file.SeekLump(index)) {
        *error = Quoted(path) + " has no lump " + std::to_string(index);
        return false;
    }
    BoundedReader lump = file.Lump();
    if (!LoadTGA2(texture, &lump, alerts)) {
        *error = Quoted(path) + " lump " + std::to_string(index) + " is not a readable image";
        return false;
    }
    *alphaMode = static_cast<int>(file.directory[static_cast<std::size_t>(index)].alphaMode);
    return true;
}

bool Subject::Load(const std::string& path, const ModelUse& use, std::span<const Texture> textures,
                   std::string* error) {
    use_ = use;
    RESFILE file;
    if (!file.Open(path.c_str())) {
        *error = Quoted(path) + " cannot be opened or is not a lump file";
        return false;
    }
    if (use.lump < 0 || use.lump >= file.LumpCount() || !file.SeekLump(use.lump)) {
        *error = Quoted(path) + " has no lump " + std::to_string(use.lump);
        return false;
    }
    BoundedReader lump = file.Lump();
    if (!model_.LoadFromFStream(&lump)) {
        *error = Quoted(path) + " lump " + std::to_string(use.lump) + ": " + kMs3dInvalidMessage;
        return false;
    }
    model_.Scale(use.scale);
    model_.InitialSetup();
    if (!use.animated) {
        // Back to model space: the houses read joint 1 from this pose.
        if (model_.numJoints > 0) model_.UpdatePoints();
        return true;
    }
    template_ = std::make_unique<ANIMATIONTEMPLATE>();
    instance_ = std::make_unique<ONEMODEL>();
    SetupError why;
    if (!template_->Setup(&model_, &why) || !instance_->Setup(template_.get(), &model_, textures, &why)) {
        *error = Quoted(path) + ": cannot build an animated instance" + (why.Failed() ? " (" + why.Line() + ")" : "");
        return false;
    }
    Pose(use.restFrame);
    return true;
}

void Subject::Pose(double frame) {
    if (!instance_) return;
    frame_ = frame;
    // A range that starts at the frame; a zero step evaluates its first pose
    // without moving the clock, exactly as the scene's first update would.
    instance_->SetAnimation(frame, frame + 1.0, 1000.0, false, false);
    instance_->Update(0.0);
}

Mesh Subject::Triangles() const {
    Mesh mesh;
    if (instance_) {
        for (int g = 0; g < instance_->numGroups; ++g) {
            const MOD_GROUP_TYP& group = instance_->groups[static_cast<std::size_t>(g)];
            for (std::size_t i = 0; i + 2 < group.indices.size(); i += 3) {
                MeshTri t;
                t.group = g;
                for (int k = 0; k < 3; ++k) {
                    const MOD_VERTEX_TYP& v = group.verts[group.indices[i + static_cast<std::size_t>(k)]];
                    t.p[k] = v.position;
                    t.joint[k] = v.jointIndex;
                }
                mesh.tris.push_back(t);
            }
        }
        return mesh;
    }
    for (int g = 0; g < model_.numGroups; ++g) {
        if (use_.onlyGroup >= 0 && g != use_.onlyGroup) continue;
        Mesh one = GroupTriangles(g);
        mesh.tris.insert(mesh.tris.end(), one.tris.begin(), one.tris.end());
    }
    return mesh;
}

Mesh Subject::GroupTriangles(int g) const {
    Mesh mesh;
    if (g < 0 || g >= model_.numGroups || instance_) return mesh;
    for (std::uint16_t index : model_.groups[static_cast<std::size_t>(g)].triangleIndices) {
        const MS3D_TRIANGLE& tri = model_.triangles[index];
        MeshTri t;
        t.group = g;
        for (int k = 0; k < 3; ++k) {
            const MS3D_VERTEX& v = model_.vertices[tri.vertexIndices[k]];
            t.p[k] = v.position;
            t.joint[k] = v.jointIndex;
        }
        mesh.tris.push_back(t);
    }
    return mesh;
}

VECTOR3D Subject::JointPoint(int joint, VECTOR3D local) const {
    if (instance_) {
        if (joint < 0 || joint >= instance_->numJoints) return local;
        return MatrixPointMultiply(instance_->joints[static_cast<std::size_t>(joint)].absolute, local);
    }
    if (joint < 0 || static_cast<std::size_t>(joint) >= model_.skeleton.size()) return local;
    return MatrixPointMultiply(model_.skeleton[static_cast<std::size_t>(joint)].absolute, local);
}

void Subject::DrawAnimated() {
    if (instance_) instance_->Draw();
}
