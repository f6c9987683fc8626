// The long run: the whole scene through the real view, offscreen, for
// simulated hours, with the clock stepping by random amounts. Every drawn
// frame is checked: every number of the scene finite, every pool index in
// range, no GL error, the delivery cycle in order. It fails, naming the
// frame, at the first violation, when half an hour or more passes with no
// delivery or no camera cut, or when the live heap's lows grow after the
// first ten simulated minutes.
//
//   soak [--hours H] [--seed S] [--size WxH] [--resources DIR]
#include <GL/gl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "host/frostvale_view.h"
#include "platform/egl_offscreen.h"
#include "platform/gl_surface.h"

namespace {

struct Options {
    double hours = 2.0;
    unsigned seed = 1;
    int width = 64;
    int height = 64;
    std::string resources = FROSTVALE_BAKED_DIR;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        char* end = nullptr;
        if (arg == "--hours") {
            o->hours = std::strtod(value, &end);
            if (*end != '\0' || !(o->hours > 0.0) || o->hours > 1000.0) return false;
        } else if (arg == "--seed") {
            o->seed = static_cast<unsigned>(std::strtoul(value, &end, 10));
            if (*end != '\0') return false;
        } else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &o->width, &o->height) != 2 || o->width < 1 || o->height < 1 ||
                o->width > 4096 || o->height > 4096)
                return false;
        } else if (arg == "--resources") {
            o->resources = value;
        } else {
            return false;
        }
    }
    return true;
}

#ifdef __SANITIZE_ADDRESS__
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
// Under AddressSanitizer freed blocks wait in its quarantine (up to 256 MB)
// before they are reused, so the resident size climbs whenever anything in
// the process, the GL driver included, allocates per frame. The live heap is
// what must stay flat there.
double HeapMegabytes() { return static_cast<double>(__sanitizer_get_current_allocated_bytes()) / (1024.0 * 1024.0); }
constexpr double kQuarantine = 256.0;
#else
// What malloc has handed out and not had back, the GL driver's share included.
double HeapMegabytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}
constexpr double kQuarantine = 0.0;
#endif

double ResidentMegabytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0.0;
    long size = 0, resident = 0;
    const int n = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    if (n != 2) return 0.0;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Collects the first violation of a frame; the run stops on it.
struct Checker {
    void Fail(const std::string& what) {
        if (failure.empty()) failure = what;
    }
    // `count` numbers from `first`, named `what`, or `what`[index] when an index is given.
    template <class Number>
    void Finite(const char* what, const Number* first, std::size_t count, int index = -1) {
        for (std::size_t i = 0; i < count && failure.empty(); ++i) {
            if (std::isfinite(first[i])) continue;
            char name[96];
            const char* format = index < 0 ? "%s is not finite" : "%s[%d] is not finite";
            std::snprintf(name, sizeof name, format, what, index);
            Fail(name);
        }
    }
    void Finite(const char* what, float v, int index = -1) { Finite(what, &v, 1, index); }
    void Finite(const char* what, VECTOR3D v, int index = -1) {
        const float xyz[] = {v.x, v.y, v.z};
        Finite(what, xyz, 3, index);
    }
    void Finite(const char* what, const MATRIX& m, int index = -1) { Finite(what, m.m, 16, index); }
    void Particles(const char* what, const ONEPARTICLE* p, std::size_t count) {
        for (std::size_t i = 0; i < count && failure.empty(); ++i) {
            const float numbers[] = {p[i].position.x, p[i].position.y, p[i].position.z, p[i].velocity.x,
                                     p[i].velocity.y, p[i].velocity.z, p[i].alpha,      p[i].size};
            Finite(what, numbers, std::size(numbers), static_cast<int>(i));
        }
    }
    void Model(const char* what, const ONEMODEL& m, int index = -1) {
        Finite(what, m.position, index);
        Finite(what, m.angles, index);
        Finite(what, m.orientation, index);
        Finite(what, m.currentTime, index);
        for (const BASICJOINT& j : m.joints) Finite(what, j.absolute, index);
    }
    void Range(const char* what, int value, int lo, int hi) {
        if (!failure.empty() || (value >= lo && value <= hi)) return;
        Fail(std::string(what) + " is " + std::to_string(value) + ", outside " + std::to_string(lo) + ".." +
             std::to_string(hi));
    }

    std::string failure;
};

void CheckScene(const XMASMAIN& s, Checker* c) {
    const std::pair<const char*, VECTOR3D> points[] = {
        {"cameraEye", s.cameraEye},           {"cameraTarget", s.cameraTarget},
        {"cameraUp", s.cameraUp},             {"cameraSpin", s.cameraSpin},
        {"sleighPos", s.sleighPos},           {"sleighOffset", s.sleighOffset},
        {"sleighAngles", s.sleighAngles},     {"worldVelocity", s.worldVelocity},
        {"worldOffset", s.worldOffset},       {"groundScroll", s.groundScroll},
        {"snowCentre", s.snowCentre},         {"reinAnchorPlusX", s.reinAnchorPlusX},
        {"reinAnchorMinusX", s.reinAnchorMinusX}};
    for (const auto& [name, v] : points) c->Finite(name, v);
    const std::pair<const char*, float> numbers[] = {{"cameraTimer", s.cameraTimer}, {"animTimer", s.animTimer},
                                                     {"cloudOffsetU", s.cloudOffsetU},
                                                     {"cloudOffsetV", s.cloudOffsetV}};
    for (const auto& [name, v] : numbers) c->Finite(name, v);
    c->Finite("sleighMatrix", s.sleighMatrix);
    for (std::size_t i = 0; i < s.reinPoints.size(); ++i) c->Finite("reinPoints", s.reinPoints[i], static_cast<int>(i));
    for (std::size_t i = 0; i < s.reindeer.size(); ++i) c->Model("reindeer", s.reindeer[i], static_cast<int>(i));
    if (s.santa) c->Model("santa", *s.santa);
    if (s.elf) c->Model("elf", *s.elf);
    const int models = static_cast<int>(s.presentLists.size());
    for (int i = 0; i < kPresentPool; ++i) {
        const PRESENT& p = s.presents[i];
        c->Finite("present.position", p.position, i);
        c->Finite("present.velocity", p.velocity, i);
        c->Finite("present.targetPoint", p.targetPoint, i);
        c->Finite("present.matrix", p.matrix, i);
        if (p.active != 0) {
            c->Range("present.stage", p.stage, kPresentWaiting, kPresentThrown);
            c->Range("present.modelIndex", p.modelIndex, 0, models - 1);
            c->Range("present.textureIndex", p.textureIndex, 0, static_cast<int>(s.presentTextures.size()) - 1);
            c->Range("present.houseIndex", p.houseIndex, 0, static_cast<int>(s.houses.size()) - 1);
        }
    }
    c->Particles("sparkles", s.sparkles, kSparklePool);
    c->Particles("snow", s.snowFlakes.data(), s.snowFlakes.size());
    c->Particles("stars", s.stars.data(), s.stars.size());
    for (std::size_t h = 0; h < s.houses.size(); ++h) {
        c->Finite("house.position", s.houses[h].position, static_cast<int>(h));
        c->Particles("smoke", s.houses[h].particles, kSmokePerHouse);
    }
    c->Range("nextPresent", s.nextPresent, -1, kPresentPool - 1);
    c->Range("handPresent", s.handPresent, -1, kPresentPool - 1);
    c->Range("targetHouse", s.targetHouse, -1, static_cast<int>(s.houses.size()) - 1);
    c->Range("cameraMode", s.cameraMode, 0, kCameraShots - 1);
    if (s.animState != ANIM_FLYING && s.animState != ANIM_APPROACH && s.animState != ANIM_DELIVER &&
        s.animState != ANIM_TAKEOFF)
        c->Fail("animState is " + std::to_string(s.animState));
}

int NextState(int state) {
    switch (state) {
        case ANIM_FLYING: return ANIM_APPROACH;
        case ANIM_APPROACH: return ANIM_DELIVER;
        case ANIM_DELIVER: return ANIM_TAKEOFF;
        default: return ANIM_FLYING;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        std::fprintf(stderr, "usage: soak [--hours H] [--seed S] [--size WxH] [--resources DIR]\n");
        return 2;
    }
    std::string error;
    auto context = OffscreenContext::Create(o.width, o.height, &error);
    if (!context) {
        std::fprintf(stderr, "soak: %s\n", error.c_str());
        return 1;
    }

    constexpr double kStart = 1000.0;
    SimulatedClock clock(kStart);
    Checker check;
    long long frame = 0, deliveries = 0, cuts = 0;
    int lastState = ANIM_FLYING;

    ViewServices services;
    services.surface = context.get();
    services.clock = &clock;
    services.resourcePath = o.resources;
    const unsigned seed = o.seed;
    services.seed = [seed] { return seed; };
    services.frameDrawn = [&](const XMASMAIN& s) {
        ++frame;
        const GLenum gl = glGetError();
        if (gl != GL_NO_ERROR) check.Fail("GL error " + std::to_string(gl));
        CheckScene(s, &check);
        if (s.cameraCut) ++cuts;
        if (s.animState != lastState) {
            if (s.animState != NextState(lastState)) {
                check.Fail("delivery went from state " + std::to_string(lastState) + " to " +
                           std::to_string(s.animState));
            }
            if (lastState == ANIM_TAKEOFF && s.animState == ANIM_FLYING) {
                ++deliveries;
                if (s.worldOffset.x != 0.0f || s.worldOffset.y != 0.0f || s.worldOffset.z != 0.0f)
                    check.Fail("worldOffset not back to zero after the take-off");
            }
            lastState = s.animState;
        }
    };

    ViewSettings settings;
    settings.settings.PLAYMUSIC = false;
    FrostvaleView view(services, false, settings);
    view.SetFrameSize(o.width, o.height);
    view.StartAnimation();

    // Steps come from their own generator: the scene's rand() sequence is the seed's alone.
    std::mt19937 steps(o.seed * 2654435761u + 1u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr double kShortest = 1.0 / 240.0, kLongest = 2.5;
    const double end = kStart + o.hours * 3600.0;
    double hourStart = kStart;
    long long hourDeliveries = 0, hourCuts = 0;
    // Textures, lists and the driver's caches are made by the end of the warm-up.
    constexpr double kWarmUp = 600.0;
    double warmLow = -1.0;       // lowest live heap in the ten minutes after the warm-up
    double hourLow = -1.0;       // lowest live heap this hour since then
    double warmResident = -1.0;  // resident size then

    while (clock.Now() < end) {
        // Log-uniform, so short steps are as common as long ones; the longest are dropped gaps.
        clock.Advance(kShortest * std::exp(unit(steps) * std::log(kLongest / kShortest)));
        view.AnimateOneFrame();
        if (view.SetupFailed()) {
            std::fprintf(stderr, "soak: set-up failed: %s\n", view.SetupProblem().Line().c_str());
            return 1;
        }
        const double now = clock.Now();
        if (!check.failure.empty()) {
            std::fprintf(stderr, "soak: frame %lld (simulated %.3f s): %s\n", frame, now - kStart,
                         check.failure.c_str());
            return 1;
        }

        // The driver's caches make the live heap swing by several MB from
        // minute to minute, so it is compared by its lows: the lowest of each
        // hour against the lowest of the ten minutes after the warm-up. A leak
        // raises the lows; a cache filling and emptying does not.
        if (warmResident < 0.0 && now >= kStart + kWarmUp) warmResident = ResidentMegabytes();
        if (frame % 50 == 0 && now >= kStart + kWarmUp) {
            double& low = now < kStart + 2.0 * kWarmUp ? warmLow : hourLow;
            low = low < 0.0 ? HeapMegabytes() : std::min(low, HeapMegabytes());
        }
        if (now < hourStart + 3600.0 && now < end) continue;
        // A cruise lasts at most 150 s and a stay on a roof well under a
        // minute: half an hour with no delivery or no cut means the cycle
        // or the camera has stuck.
        const bool longEnough = now - hourStart >= 1800.0;
        if (longEnough && deliveries == hourDeliveries) check.Fail("no delivery this hour");
        if (longEnough && cuts == hourCuts) check.Fail("no camera cut this hour");
        // The live heap must stay flat. The resident size creeps by a few
        // megabytes over hours in a release build while the heap does not
        // (the GL driver's compiled shaders come and go outside malloc),
        // so it only catches a gross leak.
        char text[96];
        if (warmLow >= 0.0 && hourLow > warmLow + 8.0 + warmLow * 0.02) {
            std::snprintf(text, sizeof text, "the lowest live heap grew from %.1f MB to %.1f MB", warmLow, hourLow);
            check.Fail(text);
        }
        const double resident = ResidentMegabytes();
        if (warmResident >= 0.0 && resident > warmResident + 64.0 + kQuarantine) {
            std::snprintf(text, sizeof text, "resident memory grew from %.1f MB to %.1f MB", warmResident, resident);
            check.Fail(text);
        }
        if (!check.failure.empty()) {
            std::fprintf(stderr, "soak: frame %lld, hour %.0f: %s\n", frame, (now - kStart) / 3600.0,
                         check.failure.c_str());
            return 1;
        }
        hourLow = -1.0;
        hourStart += 3600.0;
        hourDeliveries = deliveries;
        hourCuts = cuts;
    }
    view.StopAnimation();
    std::printf("soak: %lld frames, %lld deliveries, %lld cuts\n", frame, deliveries, cuts);
    return 0;
}
