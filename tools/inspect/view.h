// Drawing a model offscreen as the saver lights it: light 0 near the camera,
// global ambient 0.2, colour material, linear-filtered textures, back faces
// culled except where the scene turns culling off. Shared by `render` and
// `sheet`. Every function here needs a current GL context.
#pragma once

#include <string>
#include <vector>

#include "assets/texture.h"
#include "tools/inspect/subject.h"

// A pixel rectangle of the framebuffer, origin at the bottom left.
struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
};

// A model with the textures its scene use names, ready to draw.
class Drawable {
public:
    // `scale` <= 0 keeps the scene's scale. `houseImage` (0-4) picks the
    // house picture. False with `error` set when anything cannot be read.
    bool Load(const std::string& path, int lump, float scale, int houseImage, std::string* error);

    Subject& Model() { return subject_; }
    // Model-space triangles as Draw places them (presents laid out in a row).
    Mesh DrawnMesh() const;
    void Draw();

private:
    bool LoadTextures(const std::string& path, std::string* error);

    std::vector<Texture> textures_;  // declared first: the subject borrows their names
    Subject subject_;
    int houseImage_ = 0;
    std::vector<VECTOR3D> groupOffsets_;  // presents only
};

// The saver's shared GL state (the view's and the frame driver's), once per context.
void SetSceneState();

// Clears `cell` to the night-blue background, places a camera that frames
// `frame` from the given yaw and pitch (degrees; yaw 0 looks at the model's
// front, +z) and draws the model, then `label` (if any) at the cell's top left.
void DrawCell(Drawable* drawable, const Viewport& cell, const Bounds& frame, double yawDegrees,
              double pitchDegrees, const std::string& label);

// Text in the cell's top-left corner, on top of everything.
void DrawLabel(const Viewport& cell, const std::string& text, bool warning = false);

// Clears a cell to the background colour only.
void ClearCell(const Viewport& cell);

// Night-blue background (#0B1633), as 8-bit RGB.
inline constexpr unsigned char kBackground[3] = {0x0B, 0x16, 0x33};

// Parses "WxH" (each 16..8192).
bool ParseSize(const std::string& text, int* width, int* height);

// Grid of `count` cells over a width x height picture, as near square as the
// picture allows; cells in reading order (top row first).
std::vector<Viewport> GridCells(int count, int width, int height);
