// `model` and `pose`: what a model file holds, and how its skeleton moves.
// Neither needs a display: models are read and animated without GL.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "assets/animation.h"
#include "assets/ms3d.h"
#include "assets/resfile.h"
#include "tools/inspect/commands.h"

namespace {
constexpr const char* kModelUsage = "model FILE [--scale S]";
constexpr const char* kPoseUsage =
    "pose FILE --scale S --range START END --speed SPEED [--loop] [--blend] --dt SECONDS --steps N";

// Lump 0 of a lump file; a bare MS3D file is taken as it is.
bool LoadModelFile(const std::string& path, MS3D* model) {
    RESFILE file;
    bool loaded = false;
    SetupError why;
    if (file.Open(path.c_str())) {
        if (!file.SeekLump(0)) {
            std::fprintf(stderr, "frostvale-inspect: \"%s\" has no readable lump 0\n", path.c_str());
            return false;
        }
        BoundedReader lump = file.Lump();
        loaded = model->LoadFromFStream(&lump, &why);
    } else {
        std::ifstream raw(path, std::ios::binary);
        if (!raw.is_open()) {
            std::fprintf(stderr, "frostvale-inspect: \"%s\" cannot be opened\n", path.c_str());
            return false;
        }
        raw.seekg(0, std::ios::end);
        const std::streamoff size = raw.tellg();
        raw.seekg(0, std::ios::beg);
        BoundedReader whole(&raw, size > 0 ? static_cast<std::uint64_t>(size) : 0);
        loaded = model->LoadFromFStream(&whole, &why);
    }
    if (!loaded) std::fprintf(stderr, "frostvale-inspect: \"%s\": %s\n", path.c_str(), why.what.c_str());
    return loaded;
}

// A joint name as printed: the bytes up to the first NUL, at most 32.
std::string JointName(const MS3D_JOINT& joint) {
    return std::string(joint.name, strnlen(joint.name, sizeof joint.name));
}
}  // namespace

int InspectModel(const Args& args) {
    if (args.empty()) return UsageError(kModelUsage);
    double scale = 1.0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--scale" && i + 1 < args.size() && ParseDouble(args[i + 1], &scale)) {
            ++i;
        } else {
            return UsageError(kModelUsage);
        }
    }
    MS3D model;
    if (!LoadModelFile(args[0], &model)) return 1;
    std::printf("vertices %u\ntriangles %u\ngroups %u\nmaterials %u\njoints %u\n", model.numVertices,
                model.numTriangles, model.numGroups, model.numMaterials, model.numJoints);
    std::printf("fps %g\nframes %d\ntime %.3f\n", static_cast<double>(model.animationFps), model.totalFrames,
                static_cast<double>(model.totalTime));
    for (std::size_t g = 0; g < model.groups.size(); ++g) {
        std::printf("group %zu triangles %u material %d\n", g, model.groups[g].numTriangles,
                    static_cast<int>(model.groups[g].materialIndex));
    }
    model.Scale(static_cast<float>(scale));
    model.InitialSetup();
    for (std::size_t j = 0; j < model.joints.size(); ++j) {
        const MS3D_JOINT& joint = model.joints[j];
        std::printf("joint %zu %s parent %d rotkeys %u transkeys %u\n", j, JointName(joint).c_str(),
                    model.skeleton[j].parent, joint.numRotationKeys, joint.numTranslationKeys);
    }
    return 0;
}

int InspectPose(const Args& args) {
    if (args.empty()) return UsageError(kPoseUsage);
    double scale = 1.0, start = 0.0, end = 0.0, speed = 1000.0, dt = 0.0;
    long long steps = 0;
    bool loop = false, blend = false, haveRange = false, haveDt = false, haveSteps = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--loop") {
            loop = true;
        } else if (a == "--blend") {
            blend = true;
        } else if (a == "--scale" && hasValue && ParseDouble(args[i + 1], &scale)) {
            ++i;
        } else if (a == "--speed" && hasValue && ParseDouble(args[i + 1], &speed)) {
            ++i;
        } else if (a == "--dt" && hasValue && ParseDouble(args[i + 1], &dt)) {
            haveDt = true;
            ++i;
        } else if (a == "--steps" && hasValue && ParseInt(args[i + 1], 0, 100000000, &steps)) {
            haveSteps = true;
            ++i;
        } else if (a == "--range" && i + 2 < args.size() && ParseDouble(args[i + 1], &start) &&
                   ParseDouble(args[i + 2], &end)) {
            haveRange = true;
            i += 2;
        } else {
            return UsageError(kPoseUsage);
        }
    }
    if (!haveRange || !haveDt || !haveSteps) return UsageError(kPoseUsage);

    // The same steps the scene takes for a character.
    MS3D model;
    if (!LoadModelFile(args[0], &model)) return 1;
    model.Scale(static_cast<float>(scale));
    model.InitialSetup();
    ANIMATIONTEMPLATE animTemplate;
    ONEMODEL instance;
    SetupError why;
    if (!animTemplate.Setup(&model, &why) || !instance.Setup(&animTemplate, &model, {}, &why)) {
        std::fprintf(stderr, "frostvale-inspect: \"%s\": %s\n", args[0].c_str(),
                     why.Failed() ? why.Line().c_str() : "cannot build an animated instance");
        return 1;
    }
    model.Release();
    instance.SetAnimation(start, end, speed, loop, blend);

    for (long long k = 1; k <= steps; ++k) {
        instance.Update(dt);
        std::printf("step %lld time %.4f\n", k, static_cast<double>(instance.currentTime));
        for (std::size_t j = 0; j < instance.joints.size(); ++j) {
            const MATRIX& m = instance.joints[j].absolute;
            std::printf("joint %zu %.5f %.5f %.5f\n", j, m[12], m[13], m[14]);
        }
    }
    return 0;
}
