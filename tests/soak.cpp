// The long run: the whole scene through the real view, offscreen, for
// simulated hours, with the clock stepping by random amounts (and by the
// exact edges of the view's frame gate). Every drawn frame is checked: every
// number of the scene finite, every pool index in range, no GL error, the
// delivery cycle in order. Each simulated hour it prints what happened and
// the resident memory; it fails, naming the frame, at the first violation,
// when half an hour or more passes with no delivery or no camera cut, or when
// the live heap's lows grow after the first ten simulated minutes.
//
//   soak [--hours H] [--seed S] [--size WxH] [--resources DIR]
#include <GL/gl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
extern "C" void __sanitizer_print_memory_profile(std::size_t top_percent, std::size_t max_contexts);
// Under AddressSanitizer freed blocks wait in its quarantine (up to 256 MB)
// before they are reused, so the resident size climbs whenever anything in
// the process, the GL driver included, allocates per frame. The live heap is
// what must stay flat there.
double TrackedMegabytes() { return static_cast<double>(__sanitizer_get_current_allocated_bytes()) / (1024.0 * 1024.0); }
constexpr bool kSanitized = true;  // the quarantine alone may hold 256 MB
#else
constexpr bool kSanitized = false;
// What malloc has handed out and not had back, the GL driver's share included.
double TrackedMegabytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}
#endif
constexpr const char* kTracked = "live heap";

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
class Checker {
public:
    void Fail(const std::string& what) {
        if (failure.empty()) failure = what;
    }
    // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) on
    // "[" + std::to_string(n) in an optimised build.
    static std::string Named(const char* what, int index) {
        std::string name = what;
        if (index >= 0) {
            name += '[';
            name += std::to_string(index);
            name += ']';
        }
        return name;
    }
    void Finite(const char* what, float v, int index = -1) {
        if (!failure.empty() || std::isfinite(v)) return;
        Fail(Named(what, index) + " is not finite");
    }
    void Finite(const char* what, VECTOR3D v, int index = -1) {
        Finite(what, v.x, index);
        Finite(what, v.y, index);
        Finite(what, v.z, index);
    }
    void Finite(const char* what, const MATRIX& m, int index = -1) {
        for (double d : m.m) {
            if (!failure.empty() || std::isfinite(d)) continue;
            Fail(Named(what, index) + " is not finite");
        }
    }
    void Particles(const char* what, const ONEPARTICLE* p, std::size_t count) {
        for (std::size_t i = 0; i < count && failure.empty(); ++i) {
            Finite(what, p[i].position, static_cast<int>(i));
            Finite(what, p[i].velocity, static_cast<int>(i));
            Finite(what, p[i].alpha, static_cast<int>(i));
            Finite(what, p[i].size, static_cast<int>(i));
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

// What one hour (or the whole run) saw.
struct Tally {
    long long frames = 0, dropped = 0, deliveries = 0, cuts = 0;
    void Add(const Tally& t) {
        frames += t.frames;
        dropped += t.dropped;
        deliveries += t.deliveries;
        cuts += t.cuts;
    }
};

// The clock moves on a grid of 2^-24 s, so "exactly 2 s after the last
// frame" is exact in double arithmetic at any hour of the run.
constexpr double kGrid = 1.0 / 16777216.0;
double OnGrid(double t) { return std::round(t / kGrid) * kGrid; }

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
    Tally hour, total;
    long long frame = 0;
    int lastState = ANIM_FLYING;

    ViewServices services;
    services.surface = context.get();
    services.clock = &clock;
    services.resourcePath = o.resources;
    const unsigned seed = o.seed;
    services.seed = [seed] { return seed; };
    services.frameDrawn = [&](const XMASMAIN& s) {
        ++frame;
        ++hour.frames;
        const GLenum gl = glGetError();
        if (gl != GL_NO_ERROR) check.Fail("GL error " + std::to_string(gl));
        CheckScene(s, &check);
        if (s.cameraCut) ++hour.cuts;
        if (s.animState != lastState) {
            if (s.animState != NextState(lastState)) {
                check.Fail("delivery went from state " + std::to_string(lastState) + " to " +
                           std::to_string(s.animState));
            }
            if (lastState == ANIM_TAKEOFF && s.animState == ANIM_FLYING) {
                ++hour.deliveries;
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
    double lastReset = kStart;  // when the view last took or dropped a frame
    double nextHour = kStart + 3600.0;
    // Textures, lists and the driver's caches are made by the end of the warm-up.
    constexpr double kWarmUp = 600.0;
    double warmRss = -1.0;       // lowest live heap in the ten minutes after the warm-up
    double hourLow = -1.0;       // lowest live heap this hour since then
    double warmResident = -1.0;  // resident size then
    int hourNumber = 0;
    bool setUp = false;
    std::printf("soak: seed %u, %.2f simulated hours at %dx%d\n", o.seed, o.hours, o.width, o.height);
    std::fflush(stdout);

    while (clock.Now() < end) {
        const double now = clock.Now();
        const double r = unit(steps);
        const bool onGrid = OnGrid(lastReset) == lastReset;
        double next;
        if (r < 0.02 && onGrid) {
            next = lastReset + FrostvaleView::kFrameInterval;  // exactly one interval: drawn
        } else if (r < 0.04 && onGrid) {
            next = lastReset + FrostvaleView::kMaxGap;  // exactly the longest gap: drawn
        } else if (r < 0.06 && onGrid) {
            next = lastReset + FrostvaleView::kMaxGap + kGrid;  // just over: dropped
        } else {
            // Log-uniform, so short steps are as common as long ones.
            const double step = kShortest * std::exp(unit(steps) * std::log(kLongest / kShortest));
            next = OnGrid(now + step);
        }
        if (next <= now) next = OnGrid(now) + kGrid;
        clock.Set(next);

        const long long before = frame;
        const double dt = next - lastReset;
        view.AnimateOneFrame();
        if (view.SetupFailed()) {
            std::fprintf(stderr, "soak: set-up failed: %s\n", view.SetupProblem().Line().c_str());
            return 1;
        }
        if (!setUp) {
            // The first call sets up and starts the view's clock.
            setUp = true;
            lastReset = next;
            continue;
        }
        const bool drawn = frame != before;
        const bool dropped = dt > FrostvaleView::kMaxGap;
        const bool due = !dropped && dt >= FrostvaleView::kFrameInterval - 1e-9;
        if (drawn != due) {
            check.Fail(std::string("a step of ") + std::to_string(dt) + " s was " + (drawn ? "drawn" : "not drawn"));
        }
        if (dropped) ++hour.dropped;
        if (drawn || dropped) lastReset = next;
        if (!check.failure.empty()) {
            std::fprintf(stderr, "soak: frame %lld (simulated %.3f s, step %.6f s): %s\n", frame, next - kStart, dt,
                         check.failure.c_str());
            return 1;
        }

        // The driver's caches make the live heap swing by several MB from
        // minute to minute, so it is compared by its lows: the lowest of each
        // hour against the lowest of the ten minutes after the warm-up. A leak
        // raises the lows; a cache filling and emptying does not.
        if (warmResident < 0.0 && clock.Now() >= kStart + kWarmUp) warmResident = ResidentMegabytes();
        if (frame % 50 == 0 && clock.Now() >= kStart + kWarmUp) {
            const double heap = TrackedMegabytes();
            if (clock.Now() < kStart + 2.0 * kWarmUp) {
                warmRss = warmRss < 0.0 ? heap : std::min(warmRss, heap);
            } else {
                hourLow = hourLow < 0.0 ? heap : std::min(hourLow, heap);
            }
        }
        const bool last = clock.Now() >= end;
        if (clock.Now() >= nextHour || last) {
            ++hourNumber;
            const double rss = ResidentMegabytes();
            const double tracked = TrackedMegabytes();
            total.Add(hour);
            std::printf("hour %d: frames %lld, dropped gaps %lld, deliveries %lld, cuts %lld, RSS %.1f MB, "
                        "%s %.1f MB (lowest %.1f)\n",
                        hourNumber, hour.frames, hour.dropped, hour.deliveries, hour.cuts, rss, kTracked, tracked,
                        hourLow);
            std::fflush(stdout);
            // A cruise lasts at most 150 s and a stay on a roof well under a
            // minute: half an hour with no delivery or no cut means the cycle
            // or the camera has stuck.
            const bool longEnough = clock.Now() - (nextHour - 3600.0) >= 1800.0;
            if (longEnough && hour.deliveries == 0) check.Fail("no delivery in hour " + std::to_string(hourNumber));
            if (longEnough && hour.cuts == 0) check.Fail("no camera cut in hour " + std::to_string(hourNumber));
            // The live heap must stay flat. The resident size creeps by a few
            // megabytes over hours in a release build while the heap does not
            // (the GL driver's compiled shaders come and go outside malloc),
            // so it only catches a gross leak.
            if (warmRss >= 0.0 && hourLow > warmRss + 8.0 + warmRss * 0.02) {
                char text[96];
                std::snprintf(text, sizeof text, "the lowest %s grew from %.1f MB to %.1f MB", kTracked, warmRss,
                              hourLow);
                check.Fail(text);
            }
            hourLow = -1.0;
            if (warmResident >= 0.0 && rss > warmResident + 64.0 + (kSanitized ? 256.0 : 0.0)) {
                char text[96];
                std::snprintf(text, sizeof text, "resident memory grew from %.1f MB to %.1f MB", warmResident, rss);
                check.Fail(text);
            }
            if (!check.failure.empty()) {
                std::fprintf(stderr, "soak: frame %lld: %s\n", frame, check.failure.c_str());
                return 1;
            }
            hour = Tally{};
            nextHour += 3600.0;
        }
    }
    view.StopAnimation();
#ifdef __SANITIZE_ADDRESS__
    // Where the live heap is, while the scene still holds its own: the place
    // to start when the heap check above fails.
    if (std::getenv("SOAK_HEAP_PROFILE") != nullptr) __sanitizer_print_memory_profile(90, 15);
#endif
    std::printf("total: frames %lld, dropped gaps %lld, deliveries %lld, cuts %lld\n", total.frames, total.dropped,
                total.deliveries, total.cuts);
    return 0;
}
