// How the scene uses each model of the resource folder: which lump, the scale
// it applies, where the model's textures come from and how it is drawn. The
// render, sheet and check commands all read this one table, so an inspection
// shows a model the way the saver does.
#pragma once

#include <string>
#include <string_view>

#include "assets/resource_contract.h"

enum class Skin {
    MaterialOrder,     // the image lumps after the model, texture k for material k
    NearModelImages,   // a low-detail character: the images after the file's first model
    HouseImages,       // one of the five images at lumps 2-6 of the same file
    SceneTexture,      // one image of "tex.brm" in the same folder
    None,              // drawn untextured
    PresentWrappings,  // one wrapping image per group, groups laid out in a row
};

struct ModelUse {
    constexpr ModelUse() = default;
    // File, lump and scale as the resource contract gives them.
    constexpr ModelUse(const ModelRef& model, Skin skin, int sceneTexture, bool cullBackFaces, int onlyGroup,
                       bool animated, double restFrame, const char* label)
        : file(model.file), lump(model.lump), scale(model.scale), skin(skin), sceneTexture(sceneTexture),
          cullBackFaces(cullBackFaces), onlyGroup(onlyGroup), animated(animated), restFrame(restFrame), label(label) {}
    const char* file = nullptr;
    int lump = 0;
    float scale = 0.0f;
    Skin skin = Skin::MaterialOrder;
    int sceneTexture = 0;        // Skin::SceneTexture: index into "tex.brm"
    bool cullBackFaces = false;  // the sleigh and the presents are drawn with culling off
    int onlyGroup = 0;           // -1: every group; the ground draws group 0 alone
    bool animated = false;       // through ANIMATIONTEMPLATE / ONEMODEL
    double restFrame = 0.0;      // pose shown when no frame is asked for
    const char* label = nullptr;
};

inline constexpr ModelUse kModelUses[] = {
    {kHouseModels[0], Skin::HouseImages, 0, true, -1, false, 0.0, "house 0"},
    {kHouseModels[1], Skin::HouseImages, 0, true, -1, false, 0.0, "house 1"},
    {kGroundModel, Skin::None, 0, true, 0, false, 0.0, "ground tile"},
    {kRareTreeModel, Skin::SceneTexture, scene_image::kRareTree, true, -1, false, 0.0, "rare tree"},
    {kTreeModel, Skin::SceneTexture, scene_image::kTree, true, -1, false, 0.0, "tree"},
    {kSleighModel, Skin::MaterialOrder, 0, false, -1, false, 0.0, "sleigh"},
    {kPresentsModel, Skin::PresentWrappings, 0, false, -1, false, 0.0, "presents"},
    {kReindeerModel, Skin::MaterialOrder, 0, true, -1, true, reindeer::kGallop.first, "reindeer"},
    {kSantaModel, Skin::MaterialOrder, 0, true, -1, true, santa::kSeated.first, "santa"},
    {kElfModel, Skin::MaterialOrder, 0, true, -1, true, elf::kCruise.first, "elf"},
};

// The low-detail models, each read as its near model is; left off the
// contact sheet, which shows what the scene looks like up close.
inline constexpr ModelUse kFarModelUses[] = {
    {kHouseModelsFar[0], Skin::HouseImages, 0, true, -1, false, 0.0, "house 0, far"},
    {kHouseModelsFar[1], Skin::HouseImages, 0, true, -1, false, 0.0, "house 1, far"},
    {kRareTreeModelFar, Skin::SceneTexture, scene_image::kRareTree, true, -1, false, 0.0, "rare tree, far"},
    {kTreeModelFar, Skin::SceneTexture, scene_image::kTree, true, -1, false, 0.0, "tree, far"},
    {kReindeerModelFar, Skin::NearModelImages, 0, true, -1, true, reindeer::kGallop.first, "reindeer, far"},
    {kSantaModelFar, Skin::NearModelImages, 0, true, -1, true, santa::kSeated.first, "santa, far"},
    {kElfModelFar, Skin::NearModelImages, 0, true, -1, true, elf::kCruise.first, "elf, far"},
};

// The entry for a file (matched on its base name) and lump. Files the scene
// does not know get a generic use: scale 1, material-order textures, culling
// on, animated when the model has key frames (decided by the caller).
ModelUse FindModelUse(std::string_view path, int lump, bool* known);

// "DIR/name" -> "name".
std::string BaseName(std::string_view path);
