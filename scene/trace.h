// One line of text per drawn frame describing the scene's state, for
// comparing runs and for reading a run after the fact. No GL.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class XMASMAIN;

// Writes "frame=N t=... dt=... state=..." (key=value pairs separated by
// spaces, reals as %.4f, no newline) into `out`; returns the length the full
// line needs, as snprintf does. Allocates nothing.
int FormatTraceLine(char* out, std::size_t size, long frame, const XMASMAIN& scene);

// Appends one line per frame to a file.
class TraceWriter {
public:
    TraceWriter() = default;
    ~TraceWriter() { Close(); }
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Truncates or creates `path`; false (with errno set) when it cannot.
    bool Open(const std::string& path);
    // Counts the frame and writes its line; false once a write has failed.
    bool Write(const XMASMAIN& scene);
    // Flushes and closes; false when anything written was lost.
    bool Close();
    bool IsOpen() const { return file != nullptr; }
    long Frames() const { return frames; }

private:
    std::FILE* file = nullptr;
    long frames = 0;
    bool failed = false;
    char line[1024] = {};
};
