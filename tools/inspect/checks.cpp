// The rows of `check`: what the engine relies on in each resource file.
// Sizes and points are in scene units, after the scale the engine applies;
// frames are at 24 per second. Tolerances say how near "about" has to be.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <tuple>

#include "assets/midi.h"
#include "assets/tunes.h"
#include "tools/inspect/check.h"
#include "tools/inspect/contract.h"

namespace {
Outcome Ok(std::string detail) { return {true, std::move(detail)}; }
Outcome Fail(std::string detail) { return {false, std::move(detail)}; }

std::string Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Say(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string Point(VECTOR3D p) { return Say("(%.2f, %.2f, %.2f)", p.x, p.y, p.z); }

// Lumps first..last inclusive; last -1 runs to the file's end.
struct LumpSet {
    int first = 0;
    int last = -1;
};

std::vector<int> Resolve(LumpSet set, int count) {
    std::vector<int> lumps;
    const int last = set.last < 0 ? count - 1 : set.last;
    for (int i = set.first; i <= last; ++i) lumps.push_back(i);
    return lumps;
}

bool PowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Runs `each` over the set's lumps; collects the complaints it returns.
Outcome OverLumps(Folder& folder, const std::string& file, LumpSet set, const char* okText,
                  const std::function<std::string(const RESFILE&, int)>& each) {
    const RESFILE* lumps = folder.Lumps(file);
    if (lumps == nullptr) return Fail("not a valid lump file");
    std::string complaints;
    const std::vector<int> list = Resolve(set, lumps->LumpCount());
    if (list.empty()) return Fail("no lumps to check");
    for (int i : list) {
        std::string why = i < lumps->LumpCount() ? each(*lumps, i) : Say("lump %d missing", i);
        if (!why.empty()) complaints += (complaints.empty() ? "" : "; ") + why;
    }
    if (!complaints.empty()) return Fail(complaints);
    return Ok(Say("lumps %d-%d %s", list.front(), list.back(), okText));
}

const RESENTRY& Entry(const RESFILE& f, int i) { return f.directory[static_cast<std::size_t>(i)]; }

CheckFn LumpsAtLeast(int n) {
    return [n](Folder& folder, const std::string& file) {
        const RESFILE* lumps = folder.Lumps(file);
        if (lumps == nullptr) return Fail("not a valid lump file");
        const int count = lumps->LumpCount();
        return count >= n ? Ok(Say("%d lumps", count)) : Fail(Say("%d lumps, needs at least %d", count, n));
    };
}

CheckFn ImageTypes(LumpSet set) {
    return [set](Folder& folder, const std::string& file) {
        return OverLumps(folder, file, set, "typed as images", [](const RESFILE& f, int i) {
            const std::uint32_t type = Entry(f, i).type;
            return type == kLumpTypeImage ? std::string() : Say("lump %d has type %u, not %u", i, type, kLumpTypeImage);
        });
    };
}

CheckFn ModelTypes(LumpSet set) {
    return [set](Folder& folder, const std::string& file) {
        return OverLumps(folder, file, set, "typed as models", [](const RESFILE& f, int i) {
            const std::uint32_t type = Entry(f, i).type;
            return type == kLumpTypeModel ? std::string() : Say("lump %d has type %u, not %u", i, type, kLumpTypeModel);
        });
    };
}

CheckFn ImageSizes(LumpSet set) {
    return [set](Folder& folder, const std::string& file) {
        return OverLumps(folder, file, set, "decode with power-of-two sizes", [&](const RESFILE&, int i) {
            std::string why;
            const Texture* image = folder.Image(file, i, &why);
            if (image == nullptr) return why;
            if (!PowerOfTwo(image->width) || !PowerOfTwo(image->height)) {
                return Say("lump %d is %ux%u, not powers of two", i, image->width, image->height);
            }
            return std::string();
        });
    };
}

CheckFn AlphaModes(LumpSet set, std::vector<std::uint32_t> allowed) {
    return [set, allowed](Folder& folder, const std::string& file) {
        std::string okText = "use alpha mode";
        for (std::uint32_t a : allowed) okText += Say(" %u", a);
        return OverLumps(folder, file, set, okText.c_str(), [&](const RESFILE& f, int i) {
            const std::uint32_t mode = Entry(f, i).alphaMode;
            if (std::find(allowed.begin(), allowed.end(), mode) != allowed.end()) return std::string();
            return Say("lump %d has alpha mode %u", i, mode);
        });
    };
}

// Image `lump` has width:height equal to `ratio` (the shape of its place on screen).
CheckFn Shape(int lump, double ratio, const char* place) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Texture* image = folder.Image(file, lump, &why);
        if (image == nullptr) return Fail(why);
        const double got = static_cast<double>(image->width) / std::max<std::uint32_t>(1, image->height);
        const std::string detail = Say("lump %d is %ux%u for %s", lump, image->width, image->height, place);
        return std::fabs(got - ratio) < 1e-6 ? Ok(detail) : Fail(detail + Say(", needs %g:1", ratio));
    };
}

// The pixels of image `lump` as the renderer gets them (its alpha mode applied);
// the image itself, or null and why.
const Texture* Drawn(Folder& folder, const std::string& file, int lump, std::vector<std::uint8_t>* pixels,
                     std::string* why) {
    const Texture* image = folder.Image(file, lump, why);
    if (image != nullptr) {
        *pixels = MakeTexturePixels(*image, static_cast<int>(Entry(*folder.Lumps(file), lump).alphaMode));
    }
    return image;
}

// Glows drawn on square quads fade to nothing at the picture's edge (a visible
// edge pixel would show the square) and are bright in the middle.
CheckFn Fades(std::vector<int> lumps) {
    return [=](Folder& folder, const std::string& file) {
        std::string detail;
        bool ok = true;
        for (int lump : lumps) {
            std::string why;
            std::vector<std::uint8_t> px;
            const Texture* image = Drawn(folder, file, lump, &px, &why);
            if (image == nullptr) return Fail(why);
            const int w = static_cast<int>(image->width), h = static_cast<int>(image->height);
            const auto alpha = [&](int x, int y) { return int{px[(static_cast<std::size_t>(y) * w + x) * 4 + 3]}; };
            int edge = 0;
            for (int x = 0; x < w; ++x) edge = std::max({edge, alpha(x, 0), alpha(x, h - 1)});
            for (int y = 0; y < h; ++y) edge = std::max({edge, alpha(0, y), alpha(w - 1, y)});
            const int middle = alpha(w / 2, h / 2);
            ok = ok && edge <= 1 && middle > 200;
            detail += (detail.empty() ? "" : ", ") + Say("lump %d edge %d, middle %d", lump, edge, middle);
        }
        return ok ? Ok(detail) : Fail(detail + " (needs the edge at most 1, the middle over 200)");
    };
}

// Colour-keyed pictures are cut out somewhere and solid over most of their area.
// The key is the first stored pixel, so that pixel is clear itself.
CheckFn CutOut(LumpSet set) {
    return [set](Folder& folder, const std::string& file) {
        return OverLumps(folder, file, set, "cut out in part, solid over a tenth at least", [&](const RESFILE&, int i) {
            std::string why;
            std::vector<std::uint8_t> px;
            if (Drawn(folder, file, i, &px, &why) == nullptr) return why;
            std::size_t clear = 0;
            for (std::size_t k = 3; k < px.size(); k += 4) clear += px[k] == 0 ? 1 : 0;
            const std::size_t all = px.size() / 4;
            if (px[3] != 0) return Say("lump %d: its first pixel, the key, is not clear", i);
            if (clear * 10 >= all * 9) return Say("lump %d is %zu of %zu pixels clear", i, clear, all);
            return std::string();
        });
    };
}

CheckFn FontGrid(int lump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Texture* image = folder.Image(file, lump, &why);
        if (image == nullptr) return Fail(why);
        const std::string detail = Say("font %ux%u", image->width, image->height);
        const bool grid = image->width % 16 == 0 && image->height % 8 == 0 && image->width / 16 == image->height / 8;
        return grid ? Ok(detail + Say(", 16 x 8 cells of %u", image->width / 16))
                    : Fail(detail + " does not split into 16 x 8 square cells");
    };
}

// The model at `lump`, posed at `frame` when animated; null with `why` set.
Subject* Posed(Folder& folder, const std::string& file, int lump, double frame, std::string* why) {
    Subject* s = folder.Model(file, lump, why);
    if (s != nullptr && s->Animated()) s->Pose(frame);
    return s;
}

CheckFn ModelsLoad(LumpSet set) {
    return [set](Folder& folder, const std::string& file) {
        return OverLumps(folder, file, set, "load as models", [&](const RESFILE&, int i) {
            std::string why;
            return folder.Model(file, i, &why) == nullptr ? why : std::string();
        });
    };
}

CheckFn GroupsAtLeast(int lump, int n) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, lump, &why);
        if (s == nullptr) return Fail(why);
        const int groups = s->Model().numGroups;
        return groups >= n ? Ok(Say("lump %d has %d groups", lump, groups))
                           : Fail(Say("lump %d has %d groups, needs at least %d", lump, groups, n));
    };
}

CheckFn JointsAtLeast(int lump, int n) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, lump, &why);
        if (s == nullptr) return Fail(why);
        const int joints = s->JointCount();
        return joints >= n ? Ok(Say("lump %d has %d joints", lump, joints))
                           : Fail(Say("lump %d has %d joints, needs at least %d", lump, joints, n));
    };
}

// The images after lump 0 cover every material, and (with minImages) there are enough of them.
CheckFn MaterialImages(int minImages, int maxMaterials, LumpSet imageLumps = {1, -1}) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const int images = static_cast<int>(Resolve(imageLumps, folder.Lumps(file)->LumpCount()).size());
        const int materials = s->Model().numMaterials;
        const std::string detail = Say("%d materials, %d images", materials, images);
        if (images < materials) return Fail(detail + ": a material has no image");
        if (images < minImages) return Fail(detail + Say(": needs at least %d images", minImages));
        if (materials > maxMaterials) return Fail(detail + Say(": at most %d materials fit a coat", maxMaterials));
        return Ok(detail);
    };
}

CheckFn Animation(int lastFrame) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const MS3D& m = s->Model();
        const std::string detail = Say("%d frames at %g fps", m.totalFrames, static_cast<double>(m.animationFps));
        if (m.animationFps != static_cast<float>(kAnimationFps)) return Fail(detail + Say(", needs %g fps", kAnimationFps));
        if (m.totalFrames < lastFrame) return Fail(detail + Say(", needs frame %d", lastFrame));
        return Ok(detail);
    };
}

enum class Measure { Width, Height, Length, Across, Top };

float Measured(VECTOR3D size, Measure m) {
    switch (m) {
        case Measure::Width: return size.x;
        case Measure::Height: return size.y;
        case Measure::Length: return size.z;
        case Measure::Across: return std::max(size.x, size.z);
        case Measure::Top: break;
    }
    return 0.0f;
}

const char* MeasureName(Measure m) {
    switch (m) {
        case Measure::Width: return "width";
        case Measure::Height: return "height";
        case Measure::Length: return "length";
        case Measure::Across: return "across";
        case Measure::Top: return "top above its ground point";
    }
    return "";
}

CheckFn Size(int lump, double frame, Measure measure, float lo, float hi) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = Posed(folder, file, lump, frame, &why);
        if (s == nullptr) return Fail(why);
        const Bounds box = s->Triangles().Box();
        const float v = measure == Measure::Top ? box.hi.y : Measured(box.Size(), measure);
        const std::string detail = Say("lump %d %s %.2f (%.1f to %.1f)", lump, MeasureName(measure), v, lo, hi);
        return v >= lo && v <= hi ? Ok(detail) : Fail(detail);
    };
}

bool SameMaterial(const MS3D_MATERIAL& a, const MS3D_MATERIAL& b) {
    const auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return same(a.name, b.name) && same(a.ambient, b.ambient) && same(a.diffuse, b.diffuse) &&
           same(a.specular, b.specular) && same(a.emissive, b.emissive) && same(a.shininess, b.shininess) &&
           same(a.transparency, b.transparency) && a.mode == b.mode && same(a.texture, b.texture);
}

// The low-detail model at `far` can stand in for the one at `near` where the
// fog has begun: fewer triangles, the same groups in the same materials (so
// it is lit and dressed alike), the same joints, and its box within a tenth
// of the near model's size of the near model's box (the same silhouette;
// characters in their resting pose).
CheckFn FarModel(int nearLump, int farLump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        // A character's two models compared in one pose, whatever pose earlier checks left.
        const double frame = FindModelUse(file, nearLump, nullptr).restFrame;
        const Subject* n = Posed(folder, file, nearLump, frame, &why);
        if (n == nullptr) return Fail(why);
        const Subject* f = Posed(folder, file, farLump, frame, &why);
        if (f == nullptr) return Fail(why);
        const MS3D& a = n->Model();
        const MS3D& b = f->Model();
        const std::string counts =
            Say("lump %d %u triangles, lump %d %u", farLump, b.numTriangles, nearLump, a.numTriangles);
        if (b.numTriangles >= a.numTriangles) return Fail(counts + ": needs fewer");
        if (b.groups.size() != a.groups.size() || b.materials.size() != a.materials.size() ||
            b.numJoints != a.numJoints) {
            return Fail(counts + Say(": %u groups, %u materials, %u joints where lump %d has %u, %u, %u", b.numGroups,
                                     b.numMaterials, b.numJoints, nearLump, a.numGroups, a.numMaterials, a.numJoints));
        }
        for (std::size_t g = 0; g < a.groups.size(); ++g) {
            if (a.groups[g].materialIndex != b.groups[g].materialIndex) {
                return Fail(counts + Say(": group %zu has material %d, not %d", g, b.groups[g].materialIndex,
                                         a.groups[g].materialIndex));
            }
        }
        for (std::size_t m = 0; m < a.materials.size(); ++m) {
            if (!SameMaterial(a.materials[m], b.materials[m])) return Fail(counts + Say(": material %zu differs", m));
        }
        const Bounds near = n->Triangles().Box(), far = f->Triangles().Box();
        const VECTOR3D size = near.Size();
        const float tolerance = 0.1f * std::max({size.x, size.y, size.z});
        const float off = std::max({std::fabs(near.lo.x - far.lo.x), std::fabs(near.lo.y - far.lo.y),
                                    std::fabs(near.lo.z - far.lo.z), std::fabs(near.hi.x - far.hi.x),
                                    std::fabs(near.hi.y - far.hi.y), std::fabs(near.hi.z - far.hi.z)});
        const std::string detail = counts + Say(", boxes %.2f apart", off);
        if (far.empty || off > tolerance) return Fail(detail + Say(" (needs %.2f)", tolerance));
        return Ok(detail);
    };
}

// A character's low-detail model plays the near model's clips on the near
// model's skeleton: the same joints (names, parents, bind pose) and the same
// keys at the same times, and its vertices about as far from their joints
// as the near model's: the far model adds no part the near one lacks.
CheckFn FarCharacter(int nearLump, int farLump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* n = folder.Model(file, nearLump, &why);
        if (n == nullptr) return Fail(why);
        const Subject* f = folder.Model(file, farLump, &why);
        if (f == nullptr) return Fail(why);
        const MS3D& a = n->Model();
        const MS3D& b = f->Model();
        if (a.totalFrames != b.totalFrames || a.animationFps != b.animationFps || a.joints.size() != b.joints.size()) {
            return Fail(Say("lump %d: %d frames at %g fps, %zu joints where lump %d has %d, %g, %zu", farLump,
                            b.totalFrames, static_cast<double>(b.animationFps), b.joints.size(), nearLump,
                            a.totalFrames, static_cast<double>(a.animationFps), a.joints.size()));
        }
        const auto sameKeys = [](const std::vector<MS3D_KEYFRAME>& x, const std::vector<MS3D_KEYFRAME>& y) {
            return x.size() == y.size() && (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof x[0]) == 0);
        };
        for (std::size_t j = 0; j < a.joints.size(); ++j) {
            const MS3D_JOINT& p = a.joints[j];
            const MS3D_JOINT& q = b.joints[j];
            const bool same = std::memcmp(p.name, q.name, sizeof p.name) == 0 &&
                              std::memcmp(p.parentName, q.parentName, sizeof p.parentName) == 0 &&
                              std::memcmp(&p.rotation, &q.rotation, sizeof p.rotation) == 0 &&
                              std::memcmp(&p.position, &q.position, sizeof p.position) == 0 &&
                              sameKeys(p.rotationKeys, q.rotationKeys) && sameKeys(p.translationKeys, q.translationKeys);
            if (!same) return Fail(Say("lump %d joint %zu differs from lump %d's", farLump, j, nearLump));
        }
        // Set up, the vertices are in their joints' axes.
        const auto reach = [](const MS3D& m) {
            double r = 0.0;
            for (const MS3D_VERTEX& v : m.vertices) r = std::max(r, VectorLength(v.position));
            return static_cast<float>(r);
        };
        const float nearReach = reach(a), farReach = reach(b);
        const std::string detail = Say("reach %.2f, lump %d's %.2f", static_cast<double>(farReach), nearLump,
                                       static_cast<double>(nearReach));
        // Fewer sides round a solid sample its surface elsewhere: a little further is its shape, not a new part.
        return farReach <= nearReach * 1.05f ? Ok(detail) : Fail(detail + " (needs at most 5% more)");
    };
}

// A house model and the point its joint 1 marks (the chimney top), or null and why.
const Subject* HouseWithChimney(Folder& folder, const std::string& file, int lump, VECTOR3D* chimney,
                                std::string* why) {
    const Subject* s = folder.Model(file, lump, why);
    if (s == nullptr) return nullptr;
    if (s->JointCount() < 2) {
        *why = Say("lump %d has no joint 1", lump);
        return nullptr;
    }
    *chimney = s->JointPoint(1, {0.0f, 0.0f, 0.0f});
    return s;
}

// Joint 1 sits on the highest surface around it, the chimney top, which is the
// house's highest point: the sleigh lands by it and the present drops into it.
CheckFn ChimneyTop(int lump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        VECTOR3D c;
        const Subject* s = HouseWithChimney(folder, file, lump, &c, &why);
        if (s == nullptr) return Fail(why);
        const Mesh mesh = s->Triangles();
        // A hollow flue would let one ray fall through, so take the highest of a few.
        std::optional<float> top;
        for (float dx : {-0.3f, 0.0f, 0.3f}) {
            for (float dz : {-0.3f, 0.0f, 0.3f}) {
                const auto hit = HitBelow(mesh, c.x + dx, c.z + dz, std::numeric_limits<float>::max());
                if (hit && (!top || *hit > *top)) top = hit;
            }
        }
        if (!top) return Fail(Say("lump %d joint 1 at %s has no mesh below it", lump, Point(c).c_str()));
        const std::string detail = Say("lump %d joint 1 at %s, chimney top at y %.2f", lump, Point(c).c_str(), *top);
        const float highest = mesh.Box().hi.y;
        if (highest > c.y + 0.05f) return Fail(detail + Say(", but the house reaches y %.2f", highest));
        return std::fabs(*top - c.y) <= 0.05f ? Ok(detail) : Fail(detail);
    };
}

// Five units from the chimney top in any horizontal direction the roof lies
// about one unit below it, so the sleigh can land whatever the house's turn.
// On a roof the sleigh's origin rests 2.2 above the chimney top and its
// runners 3.3 below that origin: they touch a roof 1.1 below the chimney
// top, so the roof there lies 0.8 to 1.3 down and nearly alike every way
// round. Six out, where the runners reach past the ring, the roof is still
// there and no higher. Sampled every 5 degrees, finer than the roof's facets,
// so a hip corner or a ridge end cannot slip between.
CheckFn LandingRing(int lump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        VECTOR3D c;
        const Subject* s = HouseWithChimney(folder, file, lump, &c, &why);
        if (s == nullptr) return Fail(why);
        const Mesh mesh = s->Triangles();
        constexpr int kDirections = 72;
        float least = std::numeric_limits<float>::max(), most = -least;
        std::string bad;
        for (int d = 0; d < kDirections; ++d) {
            const double a = d * 2.0 * M_PI / kDirections;
            for (const float out : {5.0f, 6.0f}) {
                const float x = c.x + out * static_cast<float>(std::cos(a));
                const float z = c.z + out * static_cast<float>(std::sin(a));
                const auto hit = HitBelow(mesh, x, z, std::numeric_limits<float>::max());
                const float drop = hit ? c.y - *hit : std::numeric_limits<float>::infinity();
                if (out == 5.0f) least = std::min(least, drop), most = std::max(most, drop);
                if ((drop < 0.8f || drop > (out == 5.0f ? 1.3f : 3.0f)) && bad.empty()) {
                    bad = hit ? Say("at %d degrees, %g out, the roof is %.2f below", d * 5, out, drop)
                              : Say("at %d degrees, %g out, there is no roof", d * 5, out);
                }
            }
        }
        if (bad.empty() && most - least > 0.35f) bad = Say("the roof five out varies by %.2f", most - least);
        if (!bad.empty()) {
            return Fail(Say("lump %d: ", lump) + bad +
                        Say(" (needs 0.8 to 1.3 five out, within 0.35; %.2f to %.2f)", least, most));
        }
        return Ok(Say("lump %d roof %.2f to %.2f below the chimney top in %d directions", lump, least, most,
                      kDirections));
    };
}

CheckFn GroundTile() {
    return [](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const Bounds b = s->Triangles().Box();  // group 0 only, as the scene draws it
        if (b.empty) return Fail("group 0 is empty");
        const std::string detail = Say("group 0 x %.1f to %.1f, z %.1f to %.1f", b.lo.x, b.hi.x, b.lo.z, b.hi.z);
        const auto near = [](float v, float want) { return std::fabs(v - want) <= 0.01f; };
        const bool ok = near(b.lo.x, -60) && near(b.hi.x, 60) && near(b.lo.z, -60) && near(b.hi.z, 60);
        return ok ? Ok(detail) : Fail(detail + " (needs -60 to 60 both ways)");
    };
}

CheckFn GroundTop() {
    return [](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const Bounds b = s->Triangles().Box();
        const std::string detail = Say("top at y %.2f, drifts down to %.2f", b.hi.y, b.lo.y);
        const bool drifts = b.lo.y >= kGroundLowest - 0.01f && b.lo.y < -0.5f;
        return !b.empty && std::fabs(b.hi.y) <= 0.01f && drifts
                   ? Ok(detail)
                   : Fail(detail + Say(" (needs the top at 0, drifts between %g and -0.5)", kGroundLowest));
    };
}

// Each corner on the tile's +x (+z) edge has a twin on the -x (-z) edge with
// the same height and normal, so neighbouring tiles meet without a seam.
CheckFn GroundSeams() {
    return [](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const MS3D& m = s->Model();
        std::map<std::pair<int, long>, std::pair<float, VECTOR3D>> low;  // (axis, place along the edge)
        std::vector<std::tuple<int, long, float, VECTOR3D>> high;
        for (const MS3D_TRIANGLE& t : m.triangles) {
            if (t.groupIndex != 0) continue;
            for (int k = 0; k < 3; ++k) {
                const VECTOR3D p = m.vertices[t.vertexIndices[k]].position;
                const VECTOR3D n = t.vertexNormals[k];
                for (int axis = 0; axis < 2; ++axis) {
                    const float across = axis == 0 ? p.x : p.z;
                    const long along = std::lround((axis == 0 ? p.z : p.x) * 100.0f);
                    if (std::fabs(across + 60.0f) < 1e-3f) low[{axis, along}] = {p.y, n};
                    if (std::fabs(across - 60.0f) < 1e-3f) high.emplace_back(axis, along, p.y, n);
                }
            }
        }
        if (high.empty()) return Fail("no corners on the +x or +z edge");
        for (const auto& [axis, along, y, n] : high) {
            const auto twin = low.find({axis, along});
            const char* edge = axis == 0 ? "x" : "z";
            if (twin == low.end()) return Fail(Say("a corner on the +%s edge at %.2f has no twin", edge, along / 100.0));
            const VECTOR3D tn = twin->second.second;
            const double dot = tn.x * n.x + tn.y * n.y + tn.z * n.z;
            if (std::fabs(twin->second.first - y) > 1e-3f || dot < 0.9999) {
                return Fail(Say("the +%s edge at %.2f meets its twin with a step or a crease", edge, along / 100.0));
            }
        }
        return Ok(Say("%zu edge corners meet their twins", high.size()));
    };
}

// Houses and trees stand 0.5 into the ground tile: their lowest point is below
// the deepest drift, or they float over a hollow.
CheckFn Footing(int lump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, lump, &why);
        if (s == nullptr) return Fail(why);
        const float want = kGroundLowest - 0.5f, lowest = s->Triangles().Box().lo.y;
        const std::string detail = Say("lump %d reaches down to y %.2f (needs %.2f)", lump, lowest, want);
        return lowest <= want + 1e-3f ? Ok(detail) : Fail(detail);
    };
}

// Every texture coordinate inside the picture: a tree's needle band and the
// strips below it are laid out to the edges.
CheckFn TexCoordsInside(int lump) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, lump, &why);
        if (s == nullptr) return Fail(why);
        for (const MS3D_TRIANGLE& t : s->Model().triangles) {
            for (int k = 0; k < 3; ++k) {
                if (t.s[k] < 0.0f || t.s[k] > 1.0f || t.t[k] < 0.0f || t.t[k] > 1.0f) {
                    return Fail(Say("lump %d has a corner at (%.2f, %.2f)", lump, t.s[k], t.t[k]));
                }
            }
        }
        return Ok(Say("lump %d texture coordinates within 0 to 1", lump));
    };
}

// The box centred on x = 0: the reins and the runners' trails are placed symmetrically.
CheckFn CentredAcross(float tolerance) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const float x = s->Triangles().Box().Centre().x;
        const std::string detail = Say("centre at x %.3f", x);
        return std::fabs(x) <= tolerance ? Ok(detail) : Fail(detail + Say(" (needs within %.2f)", tolerance));
    };
}

// The mesh lowest point: at y `want`.
CheckFn Bottom(float want, float tolerance) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const float y = s->Triangles().Box().lo.y;
        const std::string detail = Say("lowest point at y %.2f (needs %.2f)", y, want);
        return std::fabs(y - want) <= tolerance ? Ok(detail) : Fail(detail);
    };
}

// Mesh within `tolerance` of each point (joint -1: model space; else the point in that joint's frame).
CheckFn OnMesh(double frame, int joint, std::vector<VECTOR3D> points, float tolerance, const char* what) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = Posed(folder, file, 0, frame, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        const Mesh mesh = s->Triangles();
        std::string detail;
        bool ok = true;
        for (const VECTOR3D& local : points) {
            const VECTOR3D p = joint < 0 ? local : s->JointPoint(joint, local);
            const double d = DistanceToMesh(mesh, p);
            detail += (detail.empty() ? "" : ", ") + Say("%s %s %.2f from the mesh", what, Point(p).c_str(), d);
            ok = ok && d <= tolerance;
        }
        return ok ? Ok(detail) : Fail(detail + Say(" (needs %.2f)", tolerance));
    };
}

std::vector<double> Frames(double from, double to, double step);

// The largest of `distance` over the frames from..to, and the frame it falls in.
struct Worst {
    double value = 0.0;
    double frame = 0.0;
};
template <typename Distance>
Worst WorstOverFrames(Subject* s, double from, double to, double step, Distance distance) {
    Worst worst{0.0, from};
    for (double f : Frames(from, to, step)) {
        s->Pose(f);
        const double d = distance();
        if (d > worst.value) worst = {d, f};
    }
    return worst;
}

// As OnMesh for one joint's point, in every frame from..to: a grip or a fist that
// slips off the hand in some pose shows the reins or a present floating.
CheckFn OnMeshThrough(double from, double to, int joint, VECTOR3D local, float tolerance, const char* what) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        const Worst worst = WorstOverFrames(s, from, to, 1.0, [&] {
            return DistanceToMesh(s->Triangles(), s->JointPoint(joint, local));
        });
        const std::string detail = Say("%s at most %.2f from the mesh in frames %g-%g (worst frame %g)", what,
                                       worst.value, from, to, worst.frame);
        return worst.value <= tolerance ? Ok(detail) : Fail(detail + Say(", needs %.2f", tolerance));
    };
}

// Something to sit on just below `seat`.
CheckFn Seat(VECTOR3D seat) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        const auto hit = HitBelow(s->Triangles(), seat.x, seat.z, seat.y + 0.5f);
        if (!hit) return Fail(Say("nothing below %s", Point(seat).c_str()));
        const std::string detail = Say("surface at y %.2f below %s", *hit, Point(seat).c_str());
        return *hit >= seat.y - 0.15f ? Ok(detail) : Fail(detail + " (needs within 0.15)");
    };
}

// Each group's box centre lies on the origin, within `share` of the group's
// largest extent (a bow on top lifts the centre a little; a present modelled
// off to one side would tumble about a point outside itself).
CheckFn GroupsCentred(float share) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        float worst = 0.0f, worstOff = 0.0f;
        int worstGroup = -1;
        for (int g = 0; g < s->Model().numGroups; ++g) {
            const Bounds b = s->GroupTriangles(g).Box();
            const VECTOR3D size = b.Size();
            const float extent = std::max({size.x, size.y, size.z, 1e-6f});
            const float off = static_cast<float>(VectorLength(b.Centre()));
            if (off / extent > worst || worstGroup < 0) worst = off / extent, worstOff = off, worstGroup = g;
        }
        if (worstGroup < 0) return Fail("no groups");
        const std::string detail = Say("centres at most %.3f from the origin, %.0f%% of the size (group %d)", worstOff,
                                       100.0f * worst, worstGroup);
        return worst <= share ? Ok(detail) : Fail(detail + Say(", needs %.0f%%", 100.0f * share));
    };
}

CheckFn GroupsAcross(float lo, float hi) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        if (s->Model().numGroups == 0) return Fail("no groups");
        float least = std::numeric_limits<float>::max(), most = 0.0f;
        for (int g = 0; g < s->Model().numGroups; ++g) {
            const VECTOR3D size = s->GroupTriangles(g).Box().Size();
            const float across = std::max({size.x, size.y, size.z});
            least = std::min(least, across), most = std::max(most, across);
        }
        const std::string detail = Say("groups %.2f to %.2f across (%.1f to %.1f)", least, most, lo, hi);
        return least >= lo && most <= hi ? Ok(detail) : Fail(detail);
    };
}

std::vector<double> Frames(double from, double to, double step) {
    std::vector<double> frames;
    for (double f = from; f <= to + 1e-9; f += step) frames.push_back(f);
    return frames;
}

// Each hoof's tip (its joint applied to (0, 0, 1)) is clearly lower during the
// strike window than anywhere in the gallop outside it (a frame of slack each
// side), so the sparkles the scene throws then land under the hoof.
CheckFn HoovesStrike(std::vector<int> joints, double from, double to) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        std::string detail;
        bool ok = true;
        for (int j : joints) {
            if (j >= s->JointCount()) return Fail(Say("no joint %d", j));
            float inside = std::numeric_limits<float>::max(), outside = inside;
            for (double f : Frames(1.0, 22.0, 0.5)) {
                s->Pose(f);
                const float y = s->JointPoint(j, {0.0f, 0.0f, 1.0f}).y;
                if (f >= from && f <= to) inside = std::min(inside, y);
                if (f < from - 1.0 || f > to + 1.0) outside = std::min(outside, y);
            }
            const bool strikes = inside < outside - 0.1f;
            ok = ok && strikes;
            detail += (detail.empty() ? "" : ", ") +
                      Say("joint %d lowest %.2f in frames %g-%g, %.2f elsewhere", j, inside, from, to, outside);
        }
        return ok ? Ok(detail) : Fail(detail);
    };
}

// Each hoof joint's +z runs straight down its leg to the tip one unit away, at the
// sole, where the scene puts the hoof sparkles and stands the deer on a roof.
// Judged standing (frame 28): mid-gallop one pair of legs is always folded.
CheckFn HoofTips(std::vector<int> joints) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = Posed(folder, file, 0, 28.0, &why);
        if (s == nullptr) return Fail(why);
        const Mesh mesh = s->Triangles();
        const float bottom = mesh.Box().lo.y;
        for (int j : joints) {
            if (j >= s->JointCount()) return Fail(Say("no joint %d", j));
            const VECTOR3D origin = s->JointPoint(j, {0.0f, 0.0f, 0.0f});
            const VECTOR3D tip = s->JointPoint(j, {0.0f, 0.0f, 1.0f});
            if (std::fabs(origin.y - tip.y - 1.0f) > 0.05f) {
                return Fail(Say("joint %d: +z does not run down the leg (tip %s)", j, Point(tip).c_str()));
            }
            const double d = DistanceToMesh(mesh, tip);
            if (d > 0.2) return Fail(Say("joint %d tip %s is %.2f from the mesh", j, Point(tip).c_str(), d));
            if (tip.y > bottom + 0.1f) {
                return Fail(Say("joint %d tip at y %.2f, the hooves reach %.2f", j, tip.y, bottom));
            }
        }
        return Ok("hoof tips one unit down their joints' +z, on the mesh");
    };
}

// Standing on a roof: the four hooves level with each other in every frame.
CheckFn Standing(std::vector<int> joints, double from, double to) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        float worst = 0.0f;
        double worstFrame = from;
        for (double f : Frames(from, to, 1.0)) {
            s->Pose(f);
            float lo = std::numeric_limits<float>::max(), hi = -lo;
            for (int j : joints) {
                if (j >= s->JointCount()) return Fail(Say("no joint %d", j));
                const float y = s->JointPoint(j, {0.0f, 0.0f, 1.0f}).y;
                lo = std::min(lo, y), hi = std::max(hi, y);
            }
            if (hi - lo > worst) worst = hi - lo, worstFrame = f;
        }
        const std::string detail = Say("hooves within %.2f of level (worst frame %g)", worst, worstFrame);
        return worst <= 0.1f ? Ok(detail) : Fail(detail + ", needs 0.1");
    };
}

// The rein points, the harness joint's origin moved 1.1 along model x either
// way, lie on the body's sides (the body about 2 wide there).
CheckFn ReinRings(int joint) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = Posed(folder, file, 0, 1.0, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        const VECTOR3D h = s->JointPoint(joint, {0.0f, 0.0f, 0.0f});
        const Mesh mesh = s->Triangles();
        std::string detail;
        bool ok = true;
        for (float side : {-1.1f, 1.1f}) {
            const VECTOR3D p = {h.x + side, h.y, h.z};
            const double d = DistanceToMesh(mesh, p);
            ok = ok && d <= 0.25;
            detail += (detail.empty() ? "" : ", ") + Say("rein point %s %.2f from the body", Point(p).c_str(), d);
        }
        return ok ? Ok(detail) : Fail(detail + " (needs 0.25)");
    };
}

// The last joint is the nose tip: on the mesh, at its very front, where the
// lead's glow is drawn.
CheckFn NoseTip() {
    return [](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = Posed(folder, file, 0, 1.0, &why);
        if (s == nullptr) return Fail(why);
        if (s->JointCount() == 0) return Fail("no joints");
        const int last = s->JointCount() - 1;
        const VECTOR3D n = s->JointPoint(last, {0.0f, 0.0f, 0.0f});
        const Mesh mesh = s->Triangles();
        const Bounds b = mesh.Box();
        const double d = DistanceToMesh(mesh, n);
        const std::string detail = Say("joint %d at %s, %.2f from the mesh, front at z %.2f", last, Point(n).c_str(), d, b.hi.z);
        return d <= 0.1 && n.z >= b.hi.z - 0.15f ? Ok(detail) : Fail(detail);
    };
}

// Joint `minus` on the -x side and `plus` on the +x side.
CheckFn Sides(double frame, int minus, int plus) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = Posed(folder, file, 0, frame, &why);
        if (s == nullptr) return Fail(why);
        if (std::max(minus, plus) >= s->JointCount()) return Fail(Say("needs joints %d and %d", minus, plus));
        const float xm = s->JointPoint(minus, {0.0f, 0.0f, 0.0f}).x;
        const float xp = s->JointPoint(plus, {0.0f, 0.0f, 0.0f}).x;
        const std::string detail = Say("joint %d at x %.2f, joint %d at x %.2f", minus, xm, plus, xp);
        return xm < -0.2f && xp > 0.2f ? Ok(detail) : Fail(detail);
    };
}

// The mesh in frames a and b agrees: one clip starts where the other left
// off (or a loop closes), so no jump shows.
CheckFn SamePose(double a, double b, float tolerance) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        s->Pose(a);
        const Mesh first = s->Triangles();
        s->Pose(b);
        const Mesh second = s->Triangles();
        float worst = 0.0f;
        VECTOR3D where = {0.0f, 0.0f, 0.0f};
        for (std::size_t t = 0; t < first.tris.size() && t < second.tris.size(); ++t) {
            for (int k = 0; k < 3; ++k) {
                const float d = static_cast<float>(VectorLength(SubtractVectors(first.tris[t].p[k], second.tris[t].p[k])));
                if (d > worst) worst = d, where = first.tris[t].p[k];
            }
        }
        const std::string detail = Say("frames %g and %g differ by at most %.3f", a, b, worst) +
                                   (worst > 0.0f ? " (at " + Point(where) + ")" : "");
        return worst <= tolerance ? Ok(detail) : Fail(detail + Say(", needs %.2f", tolerance));
    };
}

// The point `local` of `joint` travels at least `minPath` during frames from..to.
CheckFn Moves(int joint, VECTOR3D local, double from, double to, float minPath) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        double path = 0.0;
        std::optional<VECTOR3D> last;
        for (double f : Frames(from, to, 0.25)) {
            s->Pose(f);
            const VECTOR3D p = s->JointPoint(joint, local);
            if (last) path += VectorLength(SubtractVectors(p, *last));
            last = p;
        }
        const std::string detail = Say("joint %d moves %.2f in frames %g-%g", joint, path, from, to);
        return path >= minPath ? Ok(detail) : Fail(detail + Say(", needs %.2f", minPath));
    };
}

// During frames from..to the point `local` of `joint` passes over `target`
// (horizontally within `radius`, not below it), and at the last frame it is
// down inside: the present vanishes when the clip ends, so it must be in the flue by then.
CheckFn PassesOver(int joint, VECTOR3D local, double from, double to, VECTOR3D target, float radius) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        double best = std::numeric_limits<double>::max();
        double bestFrame = from;
        for (double f : Frames(from, to, 0.5)) {
            s->Pose(f);
            const VECTOR3D p = s->JointPoint(joint, local);
            if (p.y < target.y - 0.5f) continue;
            const double d = std::hypot(p.x - target.x, p.z - target.z);
            if (d < best) best = d, bestFrame = f;
        }
        if (best == std::numeric_limits<double>::max()) {
            return Fail(Say("frames %g-%g never bring the point above %s", from, to, Point(target).c_str()));
        }
        s->Pose(to);
        const VECTOR3D end = s->JointPoint(joint, local);
        const double endAside = std::hypot(end.x - target.x, end.z - target.z);
        const std::string detail = Say("frames %g-%g come within %.2f of over %s (frame %g), end %s", from, to,
                                       best, Point(target).c_str(), bestFrame, Point(end).c_str());
        const bool down = endAside <= radius && end.y < target.y - 0.2f;
        return best <= radius && down ? Ok(detail) : Fail(detail + Say(", needs %.2f and the end in the flue", radius));
    };
}

// Through frames from..to the point `local` of `joint`, carried from the rider's
// seat into the sleigh, stays within `tolerance` of the sleigh's sack: the
// present the scene puts in that hand appears at the sack, not in mid-air.
CheckFn AtTheSack(int joint, VECTOR3D local, double from, double to, float tolerance) {
    return [=](Folder& folder, const std::string& file) {
        std::string why;
        const Subject* sleighModel = folder.Model(kSleighModel.file, kSleighModel.lump, &why);
        if (sleighModel == nullptr) return Fail(why);
        Mesh sack;
        const MS3D& m = sleighModel->Model();
        for (int g = 0; g < m.numGroups; ++g) {
            if (std::string(m.groups[static_cast<std::size_t>(g)].name) == sleigh::kSackGroup) {
                sack = sleighModel->GroupTriangles(g);
            }
        }
        if (sack.tris.empty()) return Fail(Say("%s has no \"%s\" group", kSleighModel.file, sleigh::kSackGroup));
        Subject* s = folder.Model(file, 0, &why);
        if (s == nullptr) return Fail(why);
        if (joint >= s->JointCount()) return Fail(Say("no joint %d", joint));
        const Worst worst = WorstOverFrames(s, from, to, 0.25, [&] {
            return DistanceToMesh(sack, AddVectors(s->JointPoint(joint, local), sleigh::kElfSeat));
        });
        const std::string detail = Say("joint %d at most %.2f from the sack in frames %g-%g (worst frame %g)", joint,
                                       worst.value, from, to, worst.frame);
        return worst.value <= tolerance ? Ok(detail) : Fail(detail + Say(", needs %.2f", tolerance));
    };
}

CheckFn Tunes(bool needMidiHeader) {
    return [=](Folder& folder, const std::string& /*dir*/) {
        int missing = 0, bad = 0;
        std::string first;
        for (const char* name : MusicFiles) {
            std::ifstream in(folder.Path(name), std::ios::binary);  // names carry the folder
            if (!in.is_open()) {
                // The MIDI row only judges the files that are there.
                if (!needMidiHeader) ++missing;
                if (first.empty() && !needMidiHeader) first = Say("%s missing", name);
            } else if (needMidiHeader) {
                // Read as the carol player reads it: a file it refuses turns the music off.
                const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                                      std::istreambuf_iterator<char>());
                MidiSequence sequence;
                std::string error;
                if (!LoadMidi(bytes.data(), bytes.size(), &sequence, &error)) {
                    ++bad;
                    if (first.empty()) first = Say("%s: ", name) + error;
                }
            }
        }
        const int total = kTuneCount;
        if (missing + bad > 0) return Fail(Say("%d of %d tunes missing, %d not MIDI; first: ", missing, total, bad) + first);
        return Ok(Say("%d tunes%s", total, needMidiHeader ? " that read as standard MIDI files" : ""));
    };
}

std::vector<CheckRow> BuildRows() {
    const LumpSet afterModel{1, -1};
    const std::vector<std::uint32_t> opaque = {0}, colourKey = {1}, brightness = {2};
    using namespace scene_image;
    const std::string tex = kSceneImageFile, overlay = kOverlayImageFile, houses = kHouseModels[0].file;
    const std::string other = kGroundModel.file, sleighFile = kSleighModel.file, presents = kPresentsModel.file;
    const std::string deer = kReindeerModel.file, santaFile = kSantaModel.file, elfFile = kElfModel.file;
    const LumpSet houseModels{kHouseModels[0].lump, kHouseModels[kHouseModelCount - 1].lump};
    const LumpSet houseImages{kFirstHouseImage, kFirstHouseImage + kHouseImages - 1};
    const LumpSet otherModels{kGroundModel.lump, kTreeModelFar.lump};
    const LumpSet farHouses{kHouseModelsFar[0].lump, kHouseModelsFar[kHouseModelCount - 1].lump};
    static_assert(kRareTreeModelFar.lump == kTreeModel.lump + 1 && kTreeModelFar.lump == kRareTreeModelFar.lump + 1,
                  "the far firs follow the near ones");
    const int ground = kGroundModel.lump, rareTree = kRareTreeModel.lump, tree = kTreeModel.lump;
    using namespace santa;
    using namespace elf;
    using reindeer::kFrontHoofMinusX, reindeer::kFrontHoofPlusX, reindeer::kHindHoofMinusX, reindeer::kHindHoofPlusX;
    using reindeer::kGallop, reindeer::kStand, reindeer::kFrontStrike, reindeer::kHindStrike;
    const std::vector<int> hooves = {kFrontHoofPlusX, kFrontHoofMinusX, kHindHoofPlusX, kHindHoofMinusX};
    // A character's pictures lie between its model and its low-detail model.
    const LumpSet deerImages{1, kReindeerModelFar.lump - 1}, santaImages{1, kSantaModelFar.lump - 1},
        elfImages{1, kElfModelFar.lump - 1};
    return {
        {tex, "lumps", LumpsAtLeast(kCount)},
        {tex, "image-types", ImageTypes({0, kCount - 1})},
        {tex, "image-sizes", ImageSizes({0, kCount - 1})},
        {tex, "moon-alpha", AlphaModes({kMoon, kMoon}, brightness)},
        {tex, "glow-alpha", AlphaModes({kNoseGlow, kGlow}, brightness)},
        {tex, "sparkle-alpha", AlphaModes({kSparkle, kSparkle}, brightness)},
        {tex, "reins-alpha", AlphaModes({kReins, kReins}, colourKey)},
        {tex, "reins-cut-out", CutOut({kReins, kReins})},
        {tex, "glow-edges", Fades({kMoon, kNoseGlow, kGlow, kSparkle})},
        {tex, "tree-alpha", AlphaModes({kRareTree, kRareTree}, opaque)},
        {tex, "tree-alpha", AlphaModes({kTree, kTree}, opaque)},

        {overlay, "lumps", LumpsAtLeast(6)},
        {overlay, "image-types", ImageTypes({0, 5})},
        {overlay, "image-sizes", ImageSizes({0, 5})},
        {overlay, "font-alpha", AlphaModes({0, 0}, colourKey)},
        {overlay, "picture-alpha", AlphaModes({1, 4}, colourKey)},
        {overlay, "star-strip-alpha", AlphaModes({5, 5}, brightness)},
        {overlay, "picture-cut-out", CutOut({1, 4})},
        {overlay, "font-grid", FontGrid(0)},
        {overlay, "banner-shape", Shape(1, 8.0, "the 256 x 32 banner")},
        {overlay, "intro-shape", Shape(2, 4.0, "the 512 x 128 upper intro picture")},
        {overlay, "intro-shape", Shape(3, 2.0, "the 512 x 256 lower intro picture")},
        {overlay, "strip-shape", Shape(4, 16.0, "a 512 x 32 / 1024 x 64 strip")},
        {overlay, "strip-shape", Shape(5, 16.0, "a 512 x 32 / 1024 x 64 strip")},

        {houses, "lumps", LumpsAtLeast(farHouses.last + 1)},
        {houses, "model-types", ModelTypes(houseModels)},
        {houses, "models-load", ModelsLoad(houseModels)},
        {houses, "joints", JointsAtLeast(kHouseModels[0].lump, kHouseChimneyJoint + 1)},
        {houses, "joints", JointsAtLeast(kHouseModels[1].lump, kHouseChimneyJoint + 1)},
        {houses, "image-types", ImageTypes(houseImages)},
        {houses, "image-sizes", ImageSizes(houseImages)},
        {houses, "image-alpha", AlphaModes(houseImages, opaque)},
        {houses, "size", Size(kHouseModels[0].lump, 0, Measure::Across, 14.0f, 25.0f)},
        {houses, "size", Size(kHouseModels[1].lump, 0, Measure::Across, 14.0f, 25.0f)},
        {houses, "footing", Footing(kHouseModels[0].lump)},
        {houses, "footing", Footing(kHouseModels[1].lump)},
        {houses, "chimney", ChimneyTop(kHouseModels[0].lump)},
        {houses, "chimney", ChimneyTop(kHouseModels[1].lump)},
        {houses, "landing", LandingRing(kHouseModels[0].lump)},
        {houses, "landing", LandingRing(kHouseModels[1].lump)},
        {houses, "far-types", ModelTypes(farHouses)},
        {houses, "far-model", FarModel(kHouseModels[0].lump, kHouseModelsFar[0].lump)},
        {houses, "far-model", FarModel(kHouseModels[1].lump, kHouseModelsFar[1].lump)},

        {other, "lumps", LumpsAtLeast(kTreeModelFar.lump + 1)},
        {other, "model-types", ModelTypes(otherModels)},
        {other, "models-load", ModelsLoad(otherModels)},
        {other, "ground-group", GroupsAtLeast(ground, 1)},
        {other, "ground-size", GroundTile()},
        {other, "ground-top", GroundTop()},
        {other, "ground-seams", GroundSeams()},
        {other, "rare-tree-height", Size(rareTree, 0, Measure::Top, 13.5f, 18.0f)},
        {other, "tree-height", Size(tree, 0, Measure::Top, 13.5f, 18.0f)},
        {other, "tree-width", Size(rareTree, 0, Measure::Width, 0.0f, 14.0f)},
        {other, "tree-width", Size(tree, 0, Measure::Width, 0.0f, 14.0f)},
        {other, "footing", Footing(rareTree)},
        {other, "footing", Footing(tree)},
        {other, "tree-uv", TexCoordsInside(rareTree)},
        {other, "tree-uv", TexCoordsInside(tree)},
        {other, "far-model", FarModel(rareTree, kRareTreeModelFar.lump)},
        {other, "far-model", FarModel(tree, kTreeModelFar.lump)},

        {sleighFile, "lumps", LumpsAtLeast(2)},
        {sleighFile, "model-types", ModelTypes({0, 0})},
        {sleighFile, "models-load", ModelsLoad({0, 0})},
        {sleighFile, "materials", MaterialImages(1, 255)},
        {sleighFile, "image-types", ImageTypes(afterModel)},
        {sleighFile, "image-sizes", ImageSizes(afterModel)},
        {sleighFile, "image-alpha", AlphaModes(afterModel, opaque)},
        {sleighFile, "runners", Bottom(-3.3f, 0.05f)},
        {sleighFile, "centred", CentredAcross(0.01f)},
        {sleighFile, "runner-ends", OnMesh(0, -1, {sleigh::kRunnerPlusX, sleigh::kRunnerMinusX}, 0.5f, "runner end")},
        {sleighFile, "rein-points", OnMesh(0, -1, {sleigh::kReinPlusX, sleigh::kReinMinusX}, 0.3f, "rein point")},
        {sleighFile, "santa-seat", Seat(sleigh::kSantaSeat)},
        {sleighFile, "elf-seat", Seat(sleigh::kElfSeat)},

        {presents, "lumps", LumpsAtLeast(1 + kPresentWrappingsUsed)},
        {presents, "model-types", ModelTypes({0, 0})},
        {presents, "models-load", ModelsLoad({0, 0})},
        {presents, "shapes", GroupsAtLeast(0, 3)},
        {presents, "wrappings", MaterialImages(kPresentWrappingsUsed, 255)},
        {presents, "image-types", ImageTypes(afterModel)},
        {presents, "image-sizes", ImageSizes(afterModel)},
        {presents, "image-alpha", AlphaModes(afterModel, opaque)},
        {presents, "centred", GroupsCentred(0.15f)},
        {presents, "size", GroupsAcross(0.8f, 1.3f)},

        {deer, "lumps", LumpsAtLeast(kReindeerModelFar.lump + 1)},
        {deer, "model-types", ModelTypes({0, 0})},
        {deer, "models-load", ModelsLoad({0, 0})},
        {deer, "coats", MaterialImages(2 * reindeer::kCoats, 2, deerImages)},
        {deer, "image-types", ImageTypes(deerImages)},
        {deer, "image-sizes", ImageSizes(deerImages)},
        {deer, "image-alpha", AlphaModes(deerImages, opaque)},
        {deer, "frames", Animation(kStand.last)},
        {deer, "joints", JointsAtLeast(0, 12)},
        {deer, "length", Size(0, 1, Measure::Length, 3.5f, 6.5f)},
        {deer, "height", Size(0, 1, Measure::Height, 2.5f, 4.5f)},
        {deer, "nose", NoseTip()},
        {deer, "harness", ReinRings(reindeer::kHarness)},
        {deer, "hoof-tips", HoofTips(hooves)},
        {deer, "back-hooves", HoovesStrike({kHindHoofPlusX, kHindHoofMinusX}, kHindStrike.first, kHindStrike.last)},
        {deer, "front-hooves", HoovesStrike({kFrontHoofPlusX, kFrontHoofMinusX}, kFrontStrike.first, kFrontStrike.last)},
        {deer, "gallop-loop", SamePose(kGallop.first, kGallop.last, 0.15f)},
        {deer, "standing", Standing(hooves, kStand.first, kStand.last)},
        {deer, "far-types", ModelTypes({kReindeerModelFar.lump, kReindeerModelFar.lump})},
        {deer, "far-model", FarModel(0, kReindeerModelFar.lump)},
        {deer, "far-skeleton", FarCharacter(0, kReindeerModelFar.lump)},

        {santaFile, "lumps", LumpsAtLeast(kSantaModelFar.lump + 1)},
        {santaFile, "materials", MaterialImages(0, 255, santaImages)},
        {santaFile, "image-types", ImageTypes(santaImages)},
        {santaFile, "image-sizes", ImageSizes(santaImages)},
        {santaFile, "image-alpha", AlphaModes(santaImages, opaque)},
        {santaFile, "frames", Animation(kReturn.last)},
        {santaFile, "joints", JointsAtLeast(0, santa::kJoints)},
        {santaFile, "height", Size(0, 1, Measure::Height, 1.8f, 3.3f)},
        {santaFile, "hands", Sides(kSeated.first, kHandMinusX, kHandPlusX)},
        {santaFile, "fists", OnMeshThrough(kSeated.first, kSeated.last, kHandMinusX, kFist, 0.15f, "-x fist")},
        {santaFile, "fists", OnMeshThrough(kSeated.first, kSeated.last, kHandPlusX, kFist, 0.15f, "+x fist")},
        {santaFile, "present-hand", OnMesh(kPresentFrame, kHandMinusX, {kPresentOffset}, 0.6f, "present")},
        {santaFile, "first-drop", PassesOver(kHandMinusX, kPresentOffset, kLower.first, kLower.last, kChimneyFromSeat, 0.3f)},
        {santaFile, "second-drop", PassesOver(kHandMinusX, kPresentOffset, kDrop.first, kDrop.last, kChimneyFromSeat, 0.3f)},
        {santaFile, "seated-loop", SamePose(kSeated.first, kSeated.last, 0.02f)},
        {santaFile, "climb-to-second-drop", SamePose(kClimb.last, kDrop.first, 0.02f)},
        {santaFile, "first-drop-to-return", SamePose(kLower.last, kReturn.first, 0.02f)},
        {santaFile, "second-drop-to-return", SamePose(kDrop.last, kReturn.first, 0.02f)},
        {santaFile, "return-to-seat", SamePose(kReturn.last, kSeated.first, 0.02f)},
        {santaFile, "far-types", ModelTypes({kSantaModelFar.lump, kSantaModelFar.lump})},
        {santaFile, "far-model", FarModel(0, kSantaModelFar.lump)},
        {santaFile, "far-skeleton", FarCharacter(0, kSantaModelFar.lump)},

        {elfFile, "lumps", LumpsAtLeast(kElfModelFar.lump + 1)},
        {elfFile, "materials", MaterialImages(0, 255, elfImages)},
        {elfFile, "image-types", ImageTypes(elfImages)},
        {elfFile, "image-sizes", ImageSizes(elfImages)},
        {elfFile, "image-alpha", AlphaModes(elfImages, opaque)},
        {elfFile, "frames", Animation(kWave.last)},
        {elfFile, "joints", JointsAtLeast(0, std::max(kHand1, kHand2) + 1)},
        {elfFile, "height", Size(0, 0, Measure::Height, 1.0f, 2.2f)},
        {elfFile, "palms", OnMeshThrough(kCruise.first, kWave.last, kHand1, kHand1Grip, 0.12f, "hand 1 palm")},
        {elfFile, "palms", OnMeshThrough(kCruise.first, kWave.last, kHand2, kHand2Grip, 0.12f, "hand 2 palm")},
        {elfFile, "hand2-pick-up", Moves(kHand2, kHand2Grip, kHand2PickUp.first, kHand2PickUp.last, 0.1f)},
        {elfFile, "hand2-at-sack", AtTheSack(kHand2, kHand2Grip, kHand2PickUp.first, kHand2PickUp.last, 0.3f)},
        {elfFile, "hand2-throw", Moves(kHand2, kHand2Grip, kHand2Throw.first, kHand2Throw.last, 0.1f)},
        {elfFile, "hand1-pick-up", Moves(kHand1, kHand1Grip, kHand1PickUp.first, kHand1PickUp.last, 0.1f)},
        {elfFile, "hand1-at-sack", AtTheSack(kHand1, kHand1Grip, kHand1PickUp.first, kHand1PickUp.last, 0.3f)},
        {elfFile, "hand1-throw", Moves(kHand1, kHand1Grip, kHand1Throw.first, kHand1Throw.last, 0.1f)},
        {elfFile, "cruise-loop", SamePose(kCruise.first, kCruise.last, 0.02f)},
        {elfFile, "roof-to-wave", SamePose(kWatch.last, kWave.first, 0.02f)},
        {elfFile, "far-types", ModelTypes({kElfModelFar.lump, kElfModelFar.lump})},
        {elfFile, "far-model", FarModel(0, kElfModelFar.lump)},
        {elfFile, "far-skeleton", FarCharacter(0, kElfModelFar.lump)},

        {"music/", "tunes", Tunes(false)},
        {"music/", "midi", Tunes(true)},
    };
}
}  // namespace

const std::vector<CheckRow>& CheckRows() {
    static const std::vector<CheckRow> rows = BuildRows();
    return rows;
}
