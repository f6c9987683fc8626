#include "tools/inspect/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/resfile.h"
#include "assets/resource_contract.h"
#include "engine/ssmain.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_easy_font.h>
#pragma GCC diagnostic pop

#include "tools/inspect/commands.h"

namespace {
constexpr int kHouseImageFirstLump = 2;
constexpr int kHouseImageCount = 5;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Image lumps [first, first + count) of `path`, decoded and built. count < 0:
// every lump from `first` up to the next model (a character's low-detail
// model follows its pictures). onlyImages skips lumps not typed as images.
bool BuildImageLumps(const std::string& path, int first, int count, bool onlyImages, std::vector<Texture>* out,
                     std::string* error) {
    RESFILE file;
    if (!file.Open(path.c_str())) {
        *error = Quoted(path) + " cannot be opened or is not a lump file";
        return false;
    }
    int end = count < 0 ? file.LumpCount() : first + count;
    if (count < 0) {
        for (int i = first; i < end; ++i) {
            if (file.directory[static_cast<std::size_t>(i)].type == kLumpTypeModel) end = i;
        }
    }
    if (end > file.LumpCount()) {
        *error = Quoted(path) + " has " + std::to_string(file.LumpCount()) + " lumps, needs " + std::to_string(end);
        return false;
    }
    for (int i = first; i < end; ++i) {
        const RESENTRY& entry = file.directory[static_cast<std::size_t>(i)];
        if (onlyImages && entry.type != kLumpTypeImage) continue;
        Texture texture;
        BoundedReader lump;
        if (file.SeekLump(i)) lump = file.Lump();
        if (!LoadTGA2(&texture, &lump) || !BuildTexture(&texture, static_cast<int>(entry.alphaMode))) {
            *error = Quoted(path) + " lump " + std::to_string(i) + " is not a readable image";
            return false;
        }
        out->push_back(std::move(texture));
    }
    return true;
}

void BindOrNone(const std::vector<Texture>& textures, std::size_t index) {
    glBindTexture(GL_TEXTURE_2D, index < textures.size() ? textures[index].texID : 0);
}
}  // namespace

bool Drawable::Load(const std::string& path, int lump, float scale, int houseImage, std::string* error) {
    bool known = false;
    ModelUse use = FindModelUse(path, lump, &known);
    if (scale > 0.0f) use.scale = scale;
    houseImage_ = houseImage;
    // Textures first: an animated instance takes their GL names at set-up.
    textures_.clear();
    switch (use.skin) {
        case Skin::MaterialOrder:
        case Skin::PresentWrappings:
            if (!BuildImageLumps(path, lump + 1, -1, !known, &textures_, error)) return false;
            break;
        case Skin::NearModelImages:
            if (!BuildImageLumps(path, 1, -1, false, &textures_, error)) return false;
            break;
        case Skin::HouseImages:
            if (!BuildImageLumps(path, kHouseImageFirstLump, kHouseImageCount, false, &textures_, error)) return false;
            break;
        case Skin::SceneTexture:
            if (!LoadTexturesFromDataFile((FolderOf(path) + kSceneImageFile).c_str(), &textures_) ||
                static_cast<std::size_t>(use.sceneTexture) >= textures_.size()) {
                *error = Quoted(FolderOf(path) + kSceneImageFile) + " cannot give texture " + std::to_string(use.sceneTexture);
                return false;
            }
            break;
        case Skin::None:
            break;
    }
    if (!known) {
        // A file the scene does not name: animate it when it has key frames.
        Subject probe;
        if (!probe.Load(path, use, {}, error)) return false;
        const MS3D& m = probe.Model();
        use.animated = std::any_of(m.joints.begin(), m.joints.end(), [](const MS3D_JOINT& j) {
            return j.numRotationKeys > 0 || j.numTranslationKeys > 0;
        });
    }
    if (!subject_.Load(path, use, textures_, error)) return false;

    groupOffsets_.clear();
    if (use.skin == Skin::PresentWrappings) {
        // The presents all sit on the origin; lay them out on a grid to see each.
        const int n = subject_.Model().numGroups;
        float pitch = 0.1f;
        for (int g = 0; g < n; ++g) {
            const VECTOR3D size = subject_.GroupTriangles(g).Box().Size();
            pitch = std::max({pitch, size.x * 1.4f, size.z * 1.4f});
        }
        const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n)))));
        const int rows = (n + columns - 1) / columns;
        for (int g = 0; g < n; ++g) {
            const float col = static_cast<float>(g % columns) - static_cast<float>(columns - 1) * 0.5f;
            const float row = static_cast<float>(g / columns) - static_cast<float>(rows - 1) * 0.5f;
            groupOffsets_.push_back({col * pitch, 0.0f, row * pitch});
        }
    }
    return true;
}

Mesh Drawable::DrawnMesh() const {
    if (groupOffsets_.empty()) return subject_.Triangles();
    Mesh all;
    for (std::size_t g = 0; g < groupOffsets_.size(); ++g) {
        Mesh one = subject_.GroupTriangles(static_cast<int>(g));
        one.Translate(groupOffsets_[g]);
        all.tris.insert(all.tris.end(), one.tris.begin(), one.tris.end());
    }
    return all;
}

void Drawable::Draw() {
    const ModelUse& use = subject_.Use();
    if (!use.cullBackFaces) glDisable(GL_CULL_FACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (use.skin == Skin::None) {
        glDisable(GL_TEXTURE_2D);
    } else {
        glEnable(GL_TEXTURE_2D);
    }
    MS3D& model = subject_.Model();
    switch (use.skin) {
        case Skin::HouseImages:
            BindOrNone(textures_, static_cast<std::size_t>(houseImage_));
            model.Render();
            break;
        case Skin::SceneTexture:
            BindOrNone(textures_, static_cast<std::size_t>(use.sceneTexture));
            model.Render();
            break;
        case Skin::None:
            if (use.onlyGroup >= 0) {
                model.DrawGroup(use.onlyGroup);
            } else {
                model.Render();
            }
            break;
        case Skin::MaterialOrder:
        case Skin::NearModelImages:
            glBindTexture(GL_TEXTURE_2D, 0);
            if (subject_.Animated()) {
                subject_.DrawAnimated();
            } else {
                model.Render(textures_);
            }
            break;
        case Skin::PresentWrappings:
            for (std::size_t g = 0; g < groupOffsets_.size(); ++g) {
                glPushMatrix();
                glTranslatef(groupOffsets_[g].x, groupOffsets_[g].y, groupOffsets_[g].z);
                BindOrNone(textures_, textures_.empty() ? 0 : g % textures_.size());
                model.DrawGroup(static_cast<int>(g));
                glPopMatrix();
            }
            break;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    if (!use.cullBackFaces) glEnable(GL_CULL_FACE);
}

void SetSceneState() {
    // The view's part.
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    // The frame driver's part; the light is placed in eye space so it rides
    // with the camera. Fog stays off: an inspection camera sits wherever the
    // model fits, not at the scene's distances.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SetSharedSceneState();
}

void ClearCell(const Viewport& cell) {
    glViewport(cell.x, cell.y, cell.width, cell.height);
    glScissor(cell.x, cell.y, cell.width, cell.height);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void DrawCell(Drawable* drawable, const Viewport& cell, const Bounds& frame, double yawDegrees,
              double pitchDegrees, const std::string& label) {
    ClearCell(cell);
    const double aspect = static_cast<double>(cell.width) / std::max(1, cell.height);
    const double halfV = 22.5 * std::numbers::pi / 180.0;
    const double halfH = std::atan(std::tan(halfV) * aspect);
    const VECTOR3D size = frame.Size();
    const double radius =
        std::max(0.05, 0.5 * std::sqrt(double(size.x) * size.x + double(size.y) * size.y + double(size.z) * size.z));
    const double distance = radius / std::sin(std::min(halfV, halfH)) * 1.02;
    const VECTOR3D c = frame.Centre();
    const double yaw = yawDegrees * std::numbers::pi / 180.0;
    const double pitch = std::clamp(pitchDegrees, -89.0, 89.0) * std::numbers::pi / 180.0;
    const double ex = c.x + distance * std::cos(pitch) * std::sin(yaw);
    const double ey = c.y + distance * std::sin(pitch);
    const double ez = c.z + distance * std::cos(pitch) * std::cos(yaw);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, std::max(0.01, distance - radius * 1.5), distance + radius * 1.5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(ex, ey, ez, c.x, c.y, c.z, 0.0, 1.0, 0.0);
    drawable->Draw();
    if (!label.empty()) DrawLabel(cell, label);
}

void DrawLabel(const Viewport& cell, const std::string& text, bool warning) {
    static char buffer[64 * 1024];
    // Double size where the cell is big enough and the text still fits across it.
    const int textWidth = stb_easy_font_width(const_cast<char*>(text.c_str()));
    const float zoom = cell.height >= 200 && 2 * textWidth + 8 <= cell.width ? 2.0f : 1.0f;
    unsigned char colour[4] = {0xEE, 0xF4, 0xFF, 0xFF};
    if (warning) {
        colour[0] = 0xFF, colour[1] = 0x8A, colour[2] = 0x5A;
    }
    const int quads = stb_easy_font_print(4.0f, 4.0f, const_cast<char*>(text.c_str()), colour, buffer, sizeof buffer);

    glViewport(cell.x, cell.y, cell.width, cell.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, cell.width, cell.height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(zoom, zoom, 1.0f);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 16, buffer);
    glColorPointer(4, GL_UNSIGNED_BYTE, 16, buffer + 12);
    glDrawArrays(GL_QUADS, 0, quads * 4);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopAttrib();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    long long w = 0, h = 0;
    if (!ParseInt(text.substr(0, x), 16, 8192, &w) || !ParseInt(text.substr(x + 1), 16, 8192, &h)) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

std::vector<Viewport> GridCells(int count, int width, int height) {
    std::vector<Viewport> cells;
    if (count <= 0) return cells;
    // Pick the column count that gives the largest square-ish cells.
    int bestColumns = 1;
    double bestSide = 0.0;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        const double side = std::min(static_cast<double>(width) / columns, static_cast<double>(height) / rows);
        if (side > bestSide) {
            bestSide = side;
            bestColumns = columns;
        }
    }
    const int rows = (count + bestColumns - 1) / bestColumns;
    const int cw = width / bestColumns, ch = height / rows;
    for (int i = 0; i < count; ++i) {
        const int col = i % bestColumns, row = i / bestColumns;
        // GL's origin is the bottom left; reading order starts at the top.
        cells.push_back({col * cw, height - (row + 1) * ch, cw, ch});
    }
    return cells;
}
