// frostvale-inspect: reports on resource files for the people who make or check them.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/inspect/commands.h"

namespace {
struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args&);
};

const Command kCommands[] = {
    {"lumps", "lumps FILE", InspectLumps},
    {"image", "image FILE INDEX OUT.png", InspectImage},
    {"model", "model FILE [--scale S]", InspectModel},
    {"pose", "pose FILE --scale S --range START END --speed SPEED [--loop] [--blend] --dt SECONDS --steps N", InspectPose},
    {"countdown", "countdown \"YYYY-MM-DD HH:MM:SS\"", InspectCountdown},
    {"render", "render FILE OUT.png [--lump N] [--image K] [--scale S] [--yaw DEG] [--pitch DEG] [--size WxH] [--frame F | --frames A B STEP] (render --help: how each file is drawn)", InspectRender},
    {"sheet", "sheet DIR OUT.png [--size WxH]", InspectSheet},
    {"check", "check DIR", InspectCheck},
    {"midi", "midi FILE", InspectMidi},
    {"play", "play FILE --wav OUT.wav [--seconds S] [--soundfont SF2]", InspectPlay},
    {"clouds", "clouds --seed N [--noise 32] [--size 512] [--cutoff C] [--sharpness 0.05] OUT.png", InspectClouds},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: frostvale-inspect COMMAND ...\ncommands:\n");
    for (const Command& c : kCommands) std::fprintf(to, "  %s\n", c.usage);
}
}  // namespace

int UsageError(const char* usage) {
    std::fprintf(stderr, "usage: frostvale-inspect %s\n", usage);
    return 1;
}

bool ParseInt(const std::string& text, long long min, long long max, long long* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) return false;
    *out = value;
    return true;
}

bool ParseDouble(const std::string& text, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0') return false;
    *out = value;
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0) return c.run(Args(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "frostvale-inspect: unknown command \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
