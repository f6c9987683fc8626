// What a view needs of the drawable it renders into. One implementation per
// backend: an SDL window (own or foreign X11 window) and an EGL offscreen
// framebuffer. Tests provide fakes.
#pragma once

struct DrawableSize {
    int width = 0;
    int height = 0;
};

class GLSurface {
public:
    virtual ~GLSurface() = default;
    // Makes this surface's context current for every following GL call.
    virtual bool MakeCurrent() = 0;
    // Shows the back buffer (or, offscreen, captures it).
    virtual void Present() = 0;
    // The drawable size in pixels, as the view should use it for its viewport.
    virtual DrawableSize Size() const = 0;
    // A GL entry point beyond 1.x (framebuffer objects) for this surface's
    // kind of context; null when the backend offers none.
    virtual void* GetProcAddress(const char*) { return nullptr; }
};

// Seconds as a double with sub-millisecond resolution; only differences matter.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double Now() = 0;
    // The process's CPU seconds (CLOCK_PROCESS_CPUTIME_ID), for the -fps load.
    virtual double CpuSeconds();
};

// CLOCK_MONOTONIC: immune to wall-clock changes while the saver runs.
class MonotonicClock final : public Clock {
public:
    double Now() override;
};

// A clock that only moves when told to: headless runs and tests.
class SimulatedClock final : public Clock {
public:
    explicit SimulatedClock(double start = 1000.0) : now_(start) {}
    double Now() override { return now_; }
    void Set(double seconds) { now_ = seconds; }
    void Advance(double seconds) { now_ += seconds; }

private:
    double now_;
};
