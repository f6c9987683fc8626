// The generated models: one source file per model, each with its mesh (scene
// units, before the file's scale) and the pictures it is drawn with.
#pragma once

#include <vector>

#include "assets/resource_contract.h"
#include "tools/bake/model/mesh.h"
#include "tools/bake/paint.h"

// Houses: a chalet with its gable to the front (model 0) and a long house with a
// gabled front wing (model 1). Origin on the ground, front towards +z; joint 0
// the house, joint 1 the chimney top. Five pictures share one layout and vary
// the walls and trim.
Mesh HouseMesh(int model);
// The same house for the distance: no icicles or eave lights.
Mesh FarHouseMesh(int model);
Canvas HouseImage(int variant);
// "houses.brm": the models, then the pictures, where the resource contract puts them.
std::vector<Lump> BuildHouses();

// The ground tile: 120 x 120 scene units centred on the origin, its surface
// between kGroundLowest (in the resource contract) and 0, opposite edges
// matching so tiles meet without a seam.
inline constexpr float kGroundSize = 120.0f;
// Eight-unit cells: the drifts read the same from the sleigh as with twice as
// many, and the ground is redrawn up to 81 times a frame, so every cell counts.
inline constexpr int kGroundCells = 15;
Mesh GroundMesh();
// Snow lit as the saver lights it: a diffuse colour and an emission that take
// it from deep shade, where the light grazes, to lit snow facing the light;
// white under a picture, which can paint detail on top.
Ms3dMaterialDesc SnowMaterial();
// Firs drawn with the scene images kTree and kRareTree; base at the origin.
Mesh TreeMesh();
Mesh RareTreeMesh();
// The firs for the distance: the same tiers, trunk, star and baubles with
// fewer sides.
Mesh FarTreeMesh();
Mesh FarRareTreeMesh();
// "other.brm": the ground and both firs, at their lumps in the resource contract.
std::vector<Lump> BuildOther();

// The sleigh: front towards +z, runners at y -3.3 ending at z -5.
Mesh SleighMesh();
std::vector<Canvas> SleighImages();
// "sleigh.brm": the model, then its pictures in material order.
std::vector<Lump> BuildSleigh();

// Presents: one group per shape, each centred on the origin and about one
// scene unit across; pictures hold the paper (left) and ribbon (right strip).
Mesh PresentsMesh();
Canvas PresentImage(int index);
// "presents.brm": the model, then the wrapping pictures.
std::vector<Lump> BuildPresents();
