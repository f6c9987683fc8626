// The animated characters: the reindeer, Santa and the elf. One source file
// per character holds its skeleton, its mesh and its clips; this header gives
// the joints and frames the scene reads, and what the files hold.
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

#include "tools/bake/model/mesh.h"
#include "tools/bake/paint.h"

inline constexpr float kReindeerScale = 0.08f;
inline constexpr float kSantaScale = 0.1f;
inline constexpr float kElfScale = 0.05f;

// Reindeer: origin at the middle of the body, facing +z. Hoof joints turn
// their axes so +z runs down the lower leg to the hoof's tip, one unit away.
namespace reindeer {
inline constexpr int kHarness = 2;
inline constexpr int kFrontHoofPlusX = 5, kFrontHoofMinusX = 6;
inline constexpr int kHindHoofPlusX = 9, kHindHoofMinusX = 10;
inline constexpr int kNose = 14;  // the last joint
inline constexpr int kJoints = 15;
inline constexpr int kCoats = 5;
inline constexpr int kGallopFirst = 1, kGallopLast = 22;
inline constexpr int kStandFirst = 26, kStandLast = 30;
}  // namespace reindeer
Mesh ReindeerMesh();
// Coat c (0 the lead's) open-eyed is picture 2c, shut-eyed 2c + 1.
std::vector<Canvas> ReindeerImages();
std::vector<Lump> BuildReindeer();

// Santa: origin on his seat, facing +z, seated with the reins.
namespace santa {
inline constexpr int kHandPlusX = 9;
inline constexpr int kHandMinusX = 15;
inline constexpr int kJoints = 16;
inline constexpr int kPresentFrame = 65;
}  // namespace santa
Mesh SantaMesh();
std::vector<Canvas> SantaImages();
std::vector<Lump> BuildSanta();

// The elf: origin on its bench, facing +z. Hand 1 is its right arm (-x),
// hand 2 its left (+x); both arm joints turn their axes half round z, so the
// grip offsets (0.75, 0, 0.5) and (-0.75, 0, 0.5) reach out to the palms.
namespace elf {
inline constexpr int kHand2 = 7;
inline constexpr int kHand1 = 9;
inline constexpr int kJoints = 12;
}  // namespace elf
Mesh ElfMesh();
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
