// The animated characters: the reindeer, Santa and the elf. One source file
// per character holds its skeleton, its mesh and its clips; this header gives
// what the files hold; the joints and frames the scene reads are in
// assets/resource_contract.h.
//
// Each character has two materials, the head first, and its pictures come in
// pairs with one layout: the first with the eyes open, the second with them
// shut. The scene now and then swaps the first and last material's pictures
// for a moment, so the head shows the shut eyes: a blink.
//
// Lengths are scene units (after the scale the saver applies), frames are at
// 24 per second.
#pragma once

#include <vector>

#include "assets/resource_contract.h"
#include "tools/bake/model/mesh.h"
#include "tools/bake/paint.h"

// Each character's mesh takes the kit's detail (Mesh::detail): 1 for the
// model seen close, kFarCharacterDetail for the low-detail one appended after
// its pictures, which keeps the skeleton, clips, groups and pictures and
// only cuts the rounded solids with fewer sides.
inline constexpr float kFarCharacterDetail = 0.5f;

// Reindeer: origin at the middle of the body, facing +z.
Mesh ReindeerMesh(float detail = 1.0f);
// Coat c (0 the lead's) open-eyed is picture 2c, shut-eyed 2c + 1.
std::vector<Canvas> ReindeerImages();
std::vector<Lump> BuildReindeer();

// Santa: origin on his seat, facing +z, seated with the reins.
Mesh SantaMesh(float detail = 1.0f);
std::vector<Canvas> SantaImages();
std::vector<Lump> BuildSanta();

// The elf: origin on its bench, facing +z; both arm joints turn their axes
// half round z, so the grip offsets reach out to the palms.
Mesh ElfMesh(float detail = 1.0f);
std::vector<Canvas> ElfImages();
std::vector<Lump> BuildElf();

// Painting helpers shared by the characters' pictures.
struct PixelRect;
// Soft fur or cloth: a blend from `top` to `bottom` down the rectangle with a
// little noise and a darker edge.
void PaintSoft(Canvas& c, const PixelRect& r, const Colour& top, const Colour& bottom, float noise, std::uint32_t seed);
// An eye centred at (cx, cy), rx by ry pixels: a dark iris with a highlight
// when open, a dark lid line when shut.
void PaintEye(Canvas& c, float cx, float cy, float rx, float ry, bool open);
