// One model of a resource folder, loaded and prepared the way the scene
// prepares it: scaled, and either skinned back to model space (scenery) or
// turned into an animation template with one instance (characters), posed
// at any frame. Loading needs no GL; drawing does.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "assets/ms3d.h"
#include "assets/texture.h"
#include "tools/inspect/contract.h"
#include "tools/inspect/mesh.h"

class Subject {
public:
    // Reads lump `use.lump` of `path`, scales it and prepares it. `textures`
    // become the instance's material textures of an animated model (they
    // must outlive the subject). False with `error` set when the file, the
    // lump or the model cannot be read or the skeleton does not fit.
    bool Load(const std::string& path, const ModelUse& use, std::span<const Texture> textures,
              std::string* error);

    bool Animated() const { return use_.animated; }
    const MS3D& Model() const { return model_; }
    MS3D& Model() { return model_; }
    const ModelUse& Use() const { return use_; }

    // Animated models only: the pose of `frame` (24 per second), evaluated by
    // the instance as the scene's clock would reach it.
    void Pose(double frame);
    double Frame() const { return frame_; }

    // Model-space triangles as drawn now (all groups, or the use's one group).
    Mesh Triangles() const;
    // The groups' triangles one group at a time (presents).
    Mesh GroupTriangles(int group) const;
    // `local` carried by joint `joint`'s absolute matrix, in model space.
    VECTOR3D JointPoint(int joint, VECTOR3D local) const;
    int JointCount() const { return static_cast<int>(model_.numJoints); }

    // Needs a current GL context and the textures the skin names (see
    // render.cpp). Draws what Triangles() describes.
    void DrawAnimated();

private:
    ModelUse use_{};
    MS3D model_;
    std::unique_ptr<ANIMATIONTEMPLATE> template_;
    std::unique_ptr<ONEMODEL> instance_;
    double frame_ = 0.0;
};

// Reads lump `index` of a lump file as a TGA image (no GL). False with
// `error` set when it cannot be read.
bool ReadImageLump(const std::string& path, int index, Texture* texture, int* alphaMode, std::string* error,
                   const EngineContext* alerts = nullptr);
