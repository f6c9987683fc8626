// clouds: the sky's generated cloud image, as the scene makes it at set-up.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scene/xmasmain.h"
#include "png/png.h"
#include "tools/inspect/commands.h"

namespace {
constexpr const char* kUsage =
    "clouds --seed N [--noise 32] [--size 512] [--cutoff C] [--sharpness 0.05] OUT.png";
}  // namespace

int InspectClouds(const Args& args) {
    long long seed = -1;
    long long noise = 32;
    long long size = 512;
    long long cutoff = -1;
    bool haveCutoff = false;
    double sharpness = 0.05;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--seed" && hasValue) {
            if (!ParseInt(args[++i], 0, 0xffffffffLL, &seed)) return UsageError(kUsage);
        } else if (a == "--noise" && hasValue) {
            if (!ParseInt(args[++i], 1, 4096, &noise)) return UsageError(kUsage);
        } else if (a == "--size" && hasValue) {
            if (!ParseInt(args[++i], 1, 4096, &size)) return UsageError(kUsage);
        } else if (a == "--cutoff" && hasValue) {
            if (!ParseInt(args[++i], -1000, 1000, &cutoff)) return UsageError(kUsage);
            haveCutoff = true;
        } else if (a == "--sharpness" && hasValue) {
            if (!ParseDouble(args[++i], &sharpness) || !std::isfinite(sharpness)) return UsageError(kUsage);
        } else if (!a.empty() && a[0] != '-' && out.empty()) {
            out = a;
        } else {
            return UsageError(kUsage);
        }
    }
    if (seed < 0 || out.empty()) return UsageError(kUsage);
    // The octaves enlarge the noise by powers of two up to size / noise.
    if (size % noise != 0) {
        std::fprintf(stderr, "frostvale-inspect: --size %lld is not a multiple of --noise %lld\n", size, noise);
        return 1;
    }

    std::srand(static_cast<unsigned>(seed));
    const int c = haveCutoff ? static_cast<int>(cutoff) : std::rand() % 30 + 50;
    const int n = static_cast<int>(size);
    const std::vector<unsigned char> grey =
        XMASMAIN::CloudPixels(static_cast<int>(noise), n, c, static_cast<float>(sharpness));
    std::vector<std::uint8_t> rgba(grey.size() * 4);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        rgba[i * 4 + 0] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = grey[i];
        rgba[i * 4 + 3] = 255;
    }
    // Row y = 0 is the texture's first row, which OpenGL puts at t = 0.
    if (!WritePng(out, n, n, rgba, false)) {
        std::fprintf(stderr, "frostvale-inspect: cannot write \"%s\"\n", out.c_str());
        return 1;
    }
    std::printf("%d %d cutoff %d\n", n, n, c);
    return 0;
}
