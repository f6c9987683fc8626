// A standard MIDI file writer: format 1, one chunk per track, explicit note-offs,
// no running status. Events at the same tick keep a fixed order (meta events,
// then controllers and program changes, then note-offs, then note-ons, each in
// the order they were added), so the bytes depend only on what was added.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/lumpwriter.h"  // Bytes

inline constexpr int kSmfDivision = 480;  // ticks per quarter note

class SmfTrack {
public:
    // Meta events. Tempo in microseconds per quarter note; the time signature's
    // denominator is a power of two (4, 8, 2); key: sharps (+) or flats (-), -7..7.
    void Name(int tick, const std::string& name);
    void Tempo(int tick, int microsecondsPerQuarter);
    void TimeSignature(int tick, int numerator, int denominator);
    void KeySignature(int tick, int sharps, bool minor);
    // Channel events; channel 0-15, data 0-127 (clamped).
    void Program(int tick, int channel, int program);
    void Control(int tick, int channel, int controller, int value);
    // A note-on at `tick` and its note-off `length` ticks later (length >= 1).
    void Note(int tick, int length, int channel, int key, int velocity);

    // The track chunk ("MTrk", length, events, end of track after the last event).
    Bytes Chunk() const;

private:
    struct Event {
        int tick;
        int rank;  // 0 meta, 1 control or program, 2 note-off, 3 note-on
        int order;
        Bytes data;
    };
    void Add(int tick, int rank, Bytes data);
    std::vector<Event> events_;
};

// "MThd" (format 1, the track count, kSmfDivision), then each track's chunk.
Bytes BuildSmf(const std::vector<SmfTrack>& tracks);
