// A MIDI sequence in memory: what the reader in assets/ fills from a standard
// MIDI file, the carol player in platform/ plays and the carol step measures.
// It lives below both so that neither needs the other.
//
// Time stamps are in beats (ticks / division). A note is one event at its
// note-on, with its length in beats; tempo changes are taken out of the tracks
// into the tempo map, which turns beats into seconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

enum class MidiEventType : std::uint8_t {
    Note,             // data1 key, data2 velocity, duration in beats
    KeyPressure,      // data1 key, data2 pressure
    Control,          // data1 controller, data2 value
    Program,          // data1 program
    ChannelPressure,  // data1 pressure
    PitchBend,        // data1 low 7 bits, data2 high 7 bits
    Meta,             // data1 meta type; bytes in the sequence's data
    Sysex,            // F0: bytes after the F0 (usually ending in F7)
    SysexEscape,      // F7: raw bytes to send as they stand
};

struct MidiEvent {
    double beat = 0.0;
    double duration = 0.0;  // notes only
    std::uint64_t tick = 0;
    std::uint32_t dataOffset = 0;  // meta and sysex bytes: MidiSequence::data[dataOffset, +dataSize)
    std::uint32_t dataSize = 0;
    MidiEventType type = MidiEventType::Note;
    std::uint8_t channel = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct MidiTrack {
    std::vector<MidiEvent> events;  // in time order; equal times keep the file's order
    double endBeat = 0.0;           // where end-of-track (or the last bytes) fell
};

// Beats to seconds. Without a tempo event a file runs at 120 beats a minute.
class MidiTempoMap {
public:
    static constexpr std::uint32_t kDefaultMicrosPerBeat = 500000;

    // `changes` are (beat, microseconds per beat) in any order; a later change at
    // the same beat wins, as it would when played.
    void Build(std::vector<std::pair<double, std::uint32_t>> changes);
    double SecondsAt(double beat) const;
    double BeatAt(double seconds) const;
    std::size_t ChangeCount() const { return segments_.size() - 1; }

private:
    struct Segment {
        double beat;
        double seconds;
        double secondsPerBeat;
    };
    std::vector<Segment> segments_{{0.0, 0.0, kDefaultMicrosPerBeat / 1e6}};
};

struct MidiSequence {
    int format = 0;
    int division = 0;  // ticks per beat
    std::vector<MidiTrack> tracks;
    MidiTempoMap tempo;
    std::vector<std::uint8_t> data;  // payloads of meta and sysex events

    std::size_t TrackCount() const { return tracks.size(); }
    // The time stamp of a track's last event; false for an empty track or a bad index.
    bool LastEventBeat(std::size_t track, double* beat) const;
};

// Walks one track's events as a host sequence iterator does: Seek puts the
// cursor before the first event at or after a beat (after the last event when
// the beat is past the end); Previous steps back one event.
class MidiEventCursor {
public:
    explicit MidiEventCursor(const MidiTrack& track) : track_(&track) {}
    void Seek(double beat);
    bool Previous();
    // The event under the cursor; null when the cursor is past the end.
    const MidiEvent* Current() const;

private:
    const MidiTrack* track_;
    std::size_t index_ = 0;
};
