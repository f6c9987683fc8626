// The MIDI sequence reader and what the carol step does with a sequence:
// the length rule, walking each track back from its end, and the tempo map.
// Whatever the bytes, times come out finite and events stay in time order.
#include <cmath>
#include <cstdint>
#include <string>

#include "assets/midi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MidiSequence sequence;
    std::string error;
    if (!LoadMidi(data, size, &sequence, &error)) {
        if (error.empty() || !sequence.tracks.empty()) __builtin_trap();  // a refusal says why and leaves nothing
        return 0;
    }
    const double length = MidiSequenceLength(sequence);
    if (!std::isfinite(length) || length < 0) __builtin_trap();
    for (std::size_t t = 0; t < sequence.TrackCount(); ++t) {
        const MidiTrack& track = sequence.tracks[t];
        for (std::size_t i = 1; i < track.events.size(); ++i) {
            if (track.events[i].beat < track.events[i - 1].beat) __builtin_trap();
        }
        for (const MidiEvent& e : track.events) {
            if (e.dataSize > 0 && std::uint64_t{e.dataOffset} + e.dataSize > sequence.data.size()) __builtin_trap();
        }
        MidiEventCursor cursor(track);
        cursor.Seek(1.0e9);
        if (cursor.Previous() && cursor.Current() == nullptr) __builtin_trap();
    }
    const double seconds = sequence.tempo.SecondsAt(length);
    if (!std::isfinite(seconds) || seconds < 0) __builtin_trap();
    return 0;
}
