// Trees: forty firs in two rows along the flight line, an endless conveyor
// that replants what falls behind far ahead, one in ten the rare tree.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "assets/resource_contract.h"
#include "math/frustum.h"
#include "scene/xmasmain.h"

namespace {

constexpr const char* kTreeFile = kTreeModel.file;
static_assert(std::string_view(kRareTreeModel.file) == kTreeModel.file, "both firs come from one file");
constexpr int kTreeImage = scene_image::kTree;
constexpr int kRareTreeImage = scene_image::kRareTree;
constexpr float kTreeBack = -400.0f;
constexpr float kTreeFront = 400.0f;
constexpr float kTreeCullLift = 3.0f;
constexpr float kTreeCullRadius = 12.0f;

// x, turn and model of slot `index`, drawn in that order. Even slots stand on
// the -x side, odd on +x: the remainder keeps the sign of the negated draw.
void PlaceTree(TREESLOT* tree, int index, GLuint treeList, GLuint rareTreeList) {
    int r = std::rand();
    if (index % 2 == 0) r = -r;
    tree->position.x = static_cast<float>(r % 2000) / 10.0f;
    tree->angle = static_cast<float>(std::rand() % 360);
    tree->list = std::rand() % 10 == 3 ? rareTreeList : treeList;
}

// One tree model from its lump, compiled with the scene picture it wears;
// `reach` grows to hold it.
bool CompileTree(RESFILE* file, const ModelRef& tree, const Texture& image, GLuint* list, float* reach,
                 SetupError* error) {
    const int lump = tree.lump;
    MS3D model;
    if (!ReadModelLump(file, kTreeFile, lump, &model, error)) return false;
    model.Scale(tree.scale);
    *reach = std::max(*reach, ModelReach(model));
    const GLuint texture = image.texID;
    *list = CompileDisplayList([&model, texture] {
        glBindTexture(GL_TEXTURE_2D, texture);
        model.Render();
    });
    if (*list == 0) {
        return NoteFailure(error, {.file = kTreeFile, .what = "no display list for lump " + std::to_string(lump)});
    }
    return true;
}

}  // namespace

// With trees off nothing is read, so "other.brm" need not even exist.
bool XMASMAIN::SetupTrees() {
    if (!showTrees) return true;
    if (static_cast<int>(textures.size()) <= kTreeImage) {
        return NoteFailure(Error(), {.file = "tex.brm",
                                     .what = "has " + std::to_string(textures.size()) + " images, needs " +
                                             std::to_string(kTreeImage + 1) + " for the trees"});
    }
    const std::string path = resourcePath + kTreeFile;
    RESFILE file;
    if (!file.Open(path.c_str(), Error())) return false;
    treeReach = 0.0f;
    const struct {
        const ModelRef& model;
        int image;
        GLuint* list;
    } firs[] = {{kTreeModel, kTreeImage, &treeList},
                {kRareTreeModel, kRareTreeImage, &rareTreeList},
                {kTreeModelFar, kTreeImage, &treeListFar},
                {kRareTreeModelFar, kRareTreeImage, &rareTreeListFar}};
    for (const auto& fir : firs) {
        if (!CompileTree(&file, fir.model, textures[fir.image], fir.list, &treeReach, Error())) return false;
    }
    file.Close();

    for (int i = 0; i < kTreeCount; ++i) {
        TREESLOT& tree = trees[i];
        PlaceTree(&tree, i, treeList, rareTreeList);
        tree.position.y = kFootingLevel;
        tree.position.z = static_cast<float>(20 * i - 385);
    }
    return true;
}

// Moves every tree with the world and replants those that passed -400 at
// +400, on their own side of the line. No GL.
void XMASMAIN::MoveTrees() {
    if (!showTrees) return;
    for (int i = 0; i < kTreeCount; ++i) {
        TREESLOT& tree = trees[i];
        tree.position = AddVectors(tree.position, ScaleVector(worldVelocity, frameTime));
        if (tree.position.z < kTreeBack) {
            PlaceTree(&tree, i, treeList, rareTreeList);
            tree.position.z = kTreeFront;
        }
    }
}

// In the background's state: textures on, lit, fogged, back faces culled.
// A fir wholly past the fog's start is drawn from its low-detail model.
void XMASMAIN::DrawTrees() {
    if (!showTrees) return;
    for (const TREESLOT& tree : trees) {
        const VECTOR3D middle = {tree.position.x, tree.position.y + kTreeCullLift, tree.position.z};
        if (!SphereInFrustum(frustum, middle, kTreeCullRadius)) continue;
        glPushMatrix();
        glTranslatef(tree.position.x, tree.position.y, tree.position.z);
        glRotatef(tree.angle, 0.0f, 1.0f, 0.0f);
        GLuint list = tree.list;
        if (PastFogStart(tree.position, treeReach)) list = list == rareTreeList ? rareTreeListFar : treeListFar;
        glCallList(list);
        glPopMatrix();
    }
}
