// How the scene uses each model of the resource folder: which lump, the scale
// it applies, where the model's textures come from and how it is drawn. The
// render, sheet and check commands all read this one table, so an inspection
// shows a model the way the saver does.
#pragma once

#include <string>
#include <string_view>

// Animated models run at this rate; every millisecond threshold the scene
// tests falls on a whole frame of it.
inline constexpr double kAnimationFps = 24.0;

enum class Skin {
    MaterialOrder,     // the image lumps after the model, texture k for material k
    HouseImages,       // one of the five images at lumps 2-6 of the same file
    SceneTexture,      // one image of "tex.brm" in the same folder
    None,              // drawn untextured
    PresentWrappings,  // one wrapping image per group, groups laid out in a row
};

struct ModelUse {
    const char* file;
    int lump;
    float scale;
    Skin skin;
    int sceneTexture;    // Skin::SceneTexture: index into "tex.brm"
    bool cullBackFaces;  // the sleigh and the presents are drawn with culling off
    int onlyGroup;       // -1: every group; the ground draws group 0 alone
    bool animated;       // through ANIMATIONTEMPLATE / ONEMODEL
    double restFrame;    // pose shown when no frame is asked for
    const char* label;
};

inline constexpr ModelUse kModelUses[] = {
    {"houses.brm", 0, 0.41f, Skin::HouseImages, 0, true, -1, false, 0.0, "house 0"},
    {"houses.brm", 1, 0.41f, Skin::HouseImages, 0, true, -1, false, 0.0, "house 1"},
    {"other.brm", 0, 3.0f, Skin::None, 0, true, 0, false, 0.0, "ground tile"},
    {"other.brm", 1, 0.1f, Skin::SceneTexture, 4, true, -1, false, 0.0, "rare tree"},
    {"other.brm", 2, 0.3f, Skin::SceneTexture, 6, true, -1, false, 0.0, "tree"},
    {"sleigh.brm", 0, 0.175f, Skin::MaterialOrder, 0, false, -1, false, 0.0, "sleigh"},
    {"presents.brm", 0, 0.075f, Skin::PresentWrappings, 0, false, -1, false, 0.0, "presents"},
    {"reindeer.brm", 0, 0.08f, Skin::MaterialOrder, 0, true, -1, true, 1.0, "reindeer"},
    {"santa.brm", 0, 0.1f, Skin::MaterialOrder, 0, true, -1, true, 1.0, "santa"},
    {"elf.brm", 0, 0.05f, Skin::MaterialOrder, 0, true, -1, true, 0.0, "elf"},
};

// The entry for a file (matched on its base name) and lump. Files the scene
// does not know get a generic use: scale 1, material-order textures, culling
// on, animated when the model has key frames (decided by the caller).
ModelUse FindModelUse(std::string_view path, int lump, bool* known);

// "DIR/name" -> "name".
std::string BaseName(std::string_view path);
