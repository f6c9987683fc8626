// The generated models: one source file per model, each with its mesh (scene
// units, before the file's scale) and the pictures it is drawn with.
#pragma once

#include <vector>

#include "tools/bake/model/mesh.h"
#include "tools/bake/paint.h"

// The scales the saver applies after loading each model.
inline constexpr float kHouseScale = 0.41f;
inline constexpr float kGroundScale = 3.0f;
inline constexpr float kRareTreeScale = 0.1f;
inline constexpr float kTreeScale = 0.3f;
inline constexpr float kSleighScale = 0.175f;
inline constexpr float kPresentScale = 0.075f;

// Houses: a chalet with its gable to the front (model 0) and a long house with a
// gabled front wing (model 1). Origin on the ground, front towards +z; joint 0
// the house, joint 1 the chimney top. Five pictures share one layout and vary
// the walls and trim.
inline constexpr int kHouseModels = 2;
inline constexpr int kHouseImages = 5;
Mesh HouseMesh(int model);
Canvas HouseImage(int variant);
// "houses.brm": lumps 0 and 1 the models, 2 to 6 the pictures.
std::vector<Lump> BuildHouses();

// The ground tile: 120 x 120 scene units centred on the origin, its surface
// between kGroundLowest and 0, opposite edges matching so tiles meet without a seam.
inline constexpr float kGroundSize = 120.0f;
inline constexpr float kGroundLowest = -2.0f;
// Eight-unit cells: the drifts read the same from the sleigh as with twice as
// many, and the ground is redrawn up to 81 times a frame, so every cell counts.
inline constexpr int kGroundCells = 15;
Mesh GroundMesh();
// Snow lit as the saver lights it: a diffuse colour and an emission that take
// it from deep shade, where the light grazes, to lit snow facing the light;
// white under a picture, which can paint detail on top.
Ms3dMaterialDesc SnowMaterial();
// Firs drawn with "tex.brm" pictures 6 (common) and 4 (rare); base at the origin.
Mesh TreeMesh();
Mesh RareTreeMesh();
// "other.brm": 0 ground, 1 rare tree, 2 common tree.
std::vector<Lump> BuildOther();

// The sleigh: front towards +z, runners at y -3.3 ending at z -5.
Mesh SleighMesh();
std::vector<Canvas> SleighImages();
// "sleigh.brm": the model, then its pictures in material order.
std::vector<Lump> BuildSleigh();

// Presents: one group per shape, each centred on the origin and about one
// scene unit across; pictures hold the paper (left) and ribbon (right strip).
Mesh PresentsMesh();
inline constexpr int kPresentImages = 12;
Canvas PresentImage(int index);
// "presents.brm": the model, then the wrapping pictures.
std::vector<Lump> BuildPresents();
