// `sheet`: every model of a resource folder on one labelled contact sheet.
#include <GL/gl.h>

#include <cstdio>

#include "platform/egl_offscreen.h"
#include "png/png.h"
#include "tools/inspect/commands.h"
#include "tools/inspect/view.h"

namespace {
constexpr const char* kSheetUsage = "sheet DIR OUT.png [--size WxH]";
constexpr int kCellSide = 256;
}  // namespace

int InspectSheet(const Args& args) {
    if (args.size() != 2 && args.size() != 4) return UsageError(kSheetUsage);
    const std::string dir = args[0].empty() || args[0].back() == '/' ? args[0] : args[0] + "/";
    const int count = static_cast<int>(std::size(kModelUses));
    // Default: square cells of kCellSide on the grid GridCells picks for them.
    int width = 4 * kCellSide, height = 3 * kCellSide;
    if (args.size() == 4 && (args[2] != "--size" || !ParseSize(args[3], &width, &height))) {
        return UsageError(kSheetUsage);
    }

    std::string error;
    auto context = OffscreenContext::Create(width, height, &error);
    if (!context || !context->MakeCurrent()) {
        std::fprintf(stderr, "frostvale-inspect: no offscreen GL: %s\n", error.c_str());
        return 1;
    }
    SetSceneState();
    ClearCell({0, 0, width, height});
    const std::vector<Viewport> cells = GridCells(count, width, height);
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const ModelUse& use = kModelUses[i];
        char label[96];
        std::snprintf(label, sizeof label, "%s %d: %s", use.file, use.lump, use.label);
        Drawable drawable;
        // The two houses wear different pictures, so the sheet shows two of the five.
        if (!drawable.Load(dir + use.file, use.lump, 0.0f, use.lump, &error)) {
            std::fprintf(stderr, "frostvale-inspect: %s\n", error.c_str());
            ClearCell(cells[static_cast<std::size_t>(i)]);
            DrawLabel(cells[static_cast<std::size_t>(i)], std::string(label) + "\ncannot be drawn", true);
            ++failed;
            continue;
        }
        DrawCell(&drawable, cells[static_cast<std::size_t>(i)], drawable.DrawnMesh().Box(), 35.0, 20.0, label);
    }
    glFinish();
    if (!WritePng(args[1], width, height, context->ReadPixels(), false)) {
        std::fprintf(stderr, "frostvale-inspect: cannot write \"%s\"\n", args[1].c_str());
        return 1;
    }
    // The sheet is written either way; the status says whether it is complete.
    return failed == 0 ? 0 : 1;
}
