// Builds standard MIDI files byte by byte for tests, so that a test reads as
// the events it means rather than as a hex blob. Nothing here checks anything:
// tests make broken files on purpose.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using MidiBytes = std::vector<std::uint8_t>;

inline void AppendVlq(MidiBytes& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0 && n < 5);
    while (n > 1) out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

inline void AppendBE(MidiBytes& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One MTrk's event bytes. Each call writes a delta time then the event.
class TrackBuilder {
public:
    TrackBuilder& NoteOn(std::uint32_t delta, int channel, int key, int velocity) {
        return Channel(delta, 0x90, channel, {key, velocity});
    }
    TrackBuilder& NoteOff(std::uint32_t delta, int channel, int key, int velocity = 64) {
        return Channel(delta, 0x80, channel, {key, velocity});
    }
    TrackBuilder& Program(std::uint32_t delta, int channel, int program) {
        return Channel(delta, 0xC0, channel, {program});
    }
    TrackBuilder& Control(std::uint32_t delta, int channel, int controller, int value) {
        return Channel(delta, 0xB0, channel, {controller, value});
    }
    TrackBuilder& Channel(std::uint32_t delta, int kind, int channel, std::initializer_list<int> data) {
        AppendVlq(bytes, delta);
        bytes.push_back(static_cast<std::uint8_t>(kind | channel));
        for (int d : data) bytes.push_back(static_cast<std::uint8_t>(d));
        return *this;
    }
    // Data bytes only: the previous status byte runs on.
    TrackBuilder& Running(std::uint32_t delta, std::initializer_list<int> data) {
        AppendVlq(bytes, delta);
        for (int d : data) bytes.push_back(static_cast<std::uint8_t>(d));
        return *this;
    }
    TrackBuilder& Meta(std::uint32_t delta, int type, const MidiBytes& payload) {
        AppendVlq(bytes, delta);
        bytes.push_back(0xFF);
        bytes.push_back(static_cast<std::uint8_t>(type));
        AppendVlq(bytes, static_cast<std::uint32_t>(payload.size()));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }
    TrackBuilder& Tempo(std::uint32_t delta, std::uint32_t microsPerBeat) {
        MidiBytes t;
        AppendBE(t, microsPerBeat, 3);
        return Meta(delta, 0x51, t);
    }
    TrackBuilder& Name(std::uint32_t delta, const std::string& name) {
        return Meta(delta, 0x03, MidiBytes(name.begin(), name.end()));
    }
    TrackBuilder& Sysex(std::uint32_t delta, int status, const MidiBytes& payload) {
        AppendVlq(bytes, delta);
        bytes.push_back(static_cast<std::uint8_t>(status));
        AppendVlq(bytes, static_cast<std::uint32_t>(payload.size()));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }
    TrackBuilder& End(std::uint32_t delta = 0) { return Meta(delta, 0x2F, {}); }
    TrackBuilder& Raw(const MidiBytes& raw) {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }

    MidiBytes bytes;
};

// The header and the track chunks. `declaredTracks` < 0 declares as many as are added.
inline MidiBytes BuildMidi(int format, int division, const std::vector<TrackBuilder>& tracks,
                           int declaredTracks = -1) {
    MidiBytes out = {'M', 'T', 'h', 'd'};
    AppendBE(out, 6, 4);
    AppendBE(out, static_cast<std::uint32_t>(format), 2);
    AppendBE(out, static_cast<std::uint32_t>(declaredTracks < 0 ? tracks.size() : declaredTracks), 2);
    AppendBE(out, static_cast<std::uint32_t>(division), 2);
    for (const TrackBuilder& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        AppendBE(out, static_cast<std::uint32_t>(t.bytes.size()), 4);
        out.insert(out.end(), t.bytes.begin(), t.bytes.end());
    }
    return out;
}
