// `render`: one model of a resource file drawn offscreen as the saver would
// light it, framed to its bounds; optionally a film strip of poses.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "platform/egl_offscreen.h"
#include "png/png.h"
#include "tools/inspect/commands.h"
#include "tools/inspect/view.h"

namespace {
constexpr const char* kRenderUsage =
    "render FILE OUT.png [--lump N] [--image K] [--scale S] [--yaw DEG] [--pitch DEG] [--size WxH] "
    "[--frame F | --frames A B STEP]";
constexpr int kMaxStripFrames = 400;

struct RenderOptions {
    std::string file, out;
    int lump = 0, image = 0, width = 512, height = 512;
    double scale = 0.0, yaw = 35.0, pitch = 20.0;
    bool haveFrame = false, haveStrip = false;
    double frame = 0.0, from = 0.0, to = 0.0, step = 1.0;
};

bool ParseRender(const Args& args, RenderOptions* o) {
    if (args.size() < 2) return false;
    o->file = args[0];
    o->out = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool one = i + 1 < args.size();
        long long n = 0;
        if (a == "--lump" && one && ParseInt(args[i + 1], 0, 65535, &n)) {
            o->lump = static_cast<int>(n);
            ++i;
        } else if (a == "--image" && one && ParseInt(args[i + 1], 0, 4, &n)) {
            o->image = static_cast<int>(n);
            ++i;
        } else if (a == "--scale" && one && ParseDouble(args[i + 1], &o->scale) && o->scale > 0.0) {
            ++i;
        } else if (a == "--yaw" && one && ParseDouble(args[i + 1], &o->yaw)) {
            ++i;
        } else if (a == "--pitch" && one && ParseDouble(args[i + 1], &o->pitch)) {
            ++i;
        } else if (a == "--size" && one && ParseSize(args[i + 1], &o->width, &o->height)) {
            ++i;
        } else if (a == "--frame" && one && ParseDouble(args[i + 1], &o->frame) && o->frame >= 0.0) {
            o->haveFrame = true;
            ++i;
        } else if (a == "--frames" && i + 3 < args.size() && ParseDouble(args[i + 1], &o->from) &&
                   ParseDouble(args[i + 2], &o->to) && ParseDouble(args[i + 3], &o->step) && o->step > 0.0 &&
                   o->from >= 0.0 && o->to >= o->from) {
            o->haveStrip = true;
            i += 3;
        } else {
            return false;
        }
    }
    return !(o->haveFrame && o->haveStrip) && std::isfinite(o->yaw) && std::isfinite(o->pitch);
}

std::string FrameLabel(double frame) {
    char text[48];
    std::snprintf(text, sizeof text, "frame %g", frame);
    return text;
}
}  // namespace

void PrintRenderHelp() {
    std::printf(
        "usage: frostvale-inspect %s\n"
        "Draws lump N (default 0) of FILE offscreen, lit as in the scene, framed to its bounds,\n"
        "and writes a WxH PNG (default 512x512). Yaw 0 looks at the model's front (+z).\n"
        "The scene's use of each file decides the scale and the textures:\n"
        "  houses.brm    lumps 0, 1 at 0.41, textured with the image at lump 2 + K (--image K, 0-4);\n"
        "                lumps 7, 8 the same houses in low detail, for the fog\n"
        "  other.brm     lump 0 ground at 3.0, group 0, untextured; lump 1 rare tree at 0.1 with\n"
        "                \"tex.brm\" image 4; lump 2 tree at 0.3 with \"tex.brm\" image 6 (same folder);\n"
        "                lumps 3, 4 the two firs in low detail, for the fog\n"
        "  sleigh.brm    lump 0 at 0.175, images after it in material order, culling off\n"
        "  presents.brm  lump 0 at 0.075, each group with its own wrapping, laid out in a grid, culling off\n"
        "  reindeer.brm  animated at 0.08 (lead coat), default frame 1; lump 11 in low detail\n"
        "  santa.brm     animated at 0.1, default frame 1; lump 3 in low detail\n"
        "  elf.brm       animated at 0.05, default frame 0; lump 3 in low detail\n"
        "  anything else lump N at scale 1 with the image lumps after it in material order\n"
        "--scale S overrides the scale. --frame F poses an animated model at frame F (24 per second);\n"
        "--frames A B STEP draws a labelled grid of the poses A, A+STEP, ... up to B.\n",
        kRenderUsage);
}

int InspectRender(const Args& args) {
    if (args.size() == 1 && args[0] == "--help") {
        PrintRenderHelp();
        return 0;
    }
    RenderOptions o;
    if (!ParseRender(args, &o)) return UsageError(kRenderUsage);

    std::string error;
    auto context = OffscreenContext::Create(o.width, o.height, &error);
    if (!context || !context->MakeCurrent()) {
        std::fprintf(stderr, "frostvale-inspect: no offscreen GL: %s\n", error.c_str());
        return 1;
    }
    SetSceneState();
    Drawable drawable;
    if (!drawable.Load(o.file, o.lump, static_cast<float>(o.scale), o.image, &error)) {
        std::fprintf(stderr, "frostvale-inspect: %s\n", error.c_str());
        return 1;
    }
    Subject& subject = drawable.Model();
    if ((o.haveFrame || o.haveStrip) && !subject.Animated()) {
        std::fprintf(stderr, "frostvale-inspect: \"%s\" lump %d is not animated\n", o.file.c_str(), o.lump);
        return 1;
    }

    const Viewport whole{0, 0, o.width, o.height};
    if (!o.haveStrip) {
        if (o.haveFrame) subject.Pose(o.frame);
        DrawCell(&drawable, whole, drawable.DrawnMesh().Box(), o.yaw, o.pitch, "");
    } else {
        std::vector<double> frames;
        for (double f = o.from; f <= o.to + 1e-9 && static_cast<int>(frames.size()) <= kMaxStripFrames; f += o.step) {
            frames.push_back(f);
        }
        if (static_cast<int>(frames.size()) > kMaxStripFrames) {
            std::fprintf(stderr, "frostvale-inspect: a strip holds at most %d frames\n", kMaxStripFrames);
            return 1;
        }
        // One camera for the whole strip, so the motion shows against the frame.
        Bounds all;
        for (double f : frames) {
            subject.Pose(f);
            all.Add(drawable.DrawnMesh().Box());
        }
        ClearCell(whole);
        const std::vector<Viewport> cells = GridCells(static_cast<int>(frames.size()), o.width, o.height);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            subject.Pose(frames[i]);
            DrawCell(&drawable, cells[i], all, o.yaw, o.pitch, FrameLabel(frames[i]));
        }
    }
    glFinish();
    if (!WritePng(o.out, o.width, o.height, context->ReadPixels(), false)) {
        std::fprintf(stderr, "frostvale-inspect: cannot write \"%s\"\n", o.out.c_str());
        return 1;
    }
    return 0;
}
