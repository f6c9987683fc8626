#include "tools/bake/music/smf_writer.h"

#include <algorithm>

namespace {
std::uint8_t Data7(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }
std::uint8_t Channel(int channel) { return static_cast<std::uint8_t>(std::clamp(channel, 0, 15)); }

void PutVarLen(Bytes* out, std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(value & 0x7f);
        value >>= 7;
    } while (value != 0 && n < 5);
    while (n > 1) out->push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
    out->push_back(groups[0]);
}

void Put32(Bytes* out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes Meta(std::uint8_t type, const Bytes& payload) {
    Bytes out = {0xff, type};
    PutVarLen(&out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}
}  // namespace

void SmfTrack::Add(int tick, int rank, Bytes data) {
    events_.push_back({std::max(tick, 0), rank, static_cast<int>(events_.size()), std::move(data)});
}

void SmfTrack::Name(int tick, const std::string& name) { Add(tick, 0, Meta(0x03, Bytes(name.begin(), name.end()))); }

void SmfTrack::Tempo(int tick, int microsecondsPerQuarter) {
    const auto t = static_cast<std::uint32_t>(std::clamp(microsecondsPerQuarter, 1, 0xffffff));
    Add(tick, 0, Meta(0x51, {std::uint8_t(t >> 16), std::uint8_t(t >> 8), std::uint8_t(t)}));
}

void SmfTrack::TimeSignature(int tick, int numerator, int denominator) {
    std::uint8_t power = 0;
    while ((1 << power) < denominator && power < 6) ++power;
    // Metronome click every quarter (24 clocks), 8 thirty-seconds per quarter.
    Add(tick, 0, Meta(0x58, {Data7(numerator), power, 24, 8}));
}

void SmfTrack::KeySignature(int tick, int sharps, bool minor) {
    Add(tick, 0, Meta(0x59, {static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(sharps, -7, 7))),
                             std::uint8_t(minor ? 1 : 0)}));
}

void SmfTrack::Program(int tick, int channel, int program) {
    Add(tick, 1, {static_cast<std::uint8_t>(0xc0 | Channel(channel)), Data7(program)});
}

void SmfTrack::Control(int tick, int channel, int controller, int value) {
    Add(tick, 1, {static_cast<std::uint8_t>(0xb0 | Channel(channel)), Data7(controller), Data7(value)});
}

void SmfTrack::Note(int tick, int length, int channel, int key, int velocity) {
    const std::uint8_t c = Channel(channel);
    Add(tick, 3, {static_cast<std::uint8_t>(0x90 | c), Data7(key), std::uint8_t(std::clamp(velocity, 1, 127))});
    Add(tick + std::max(length, 1), 2, {static_cast<std::uint8_t>(0x80 | c), Data7(key), 64});
}

Bytes SmfTrack::Chunk() const {
    std::vector<const Event*> sorted;
    sorted.reserve(events_.size());
    for (const Event& e : events_) sorted.push_back(&e);
    std::sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
        if (a->tick != b->tick) return a->tick < b->tick;
        if (a->rank != b->rank) return a->rank < b->rank;
        return a->order < b->order;
    });
    Bytes body;
    int now = 0;
    for (const Event* e : sorted) {
        PutVarLen(&body, static_cast<std::uint32_t>(e->tick - now));
        now = e->tick;
        body.insert(body.end(), e->data.begin(), e->data.end());
    }
    body.insert(body.end(), {0x00, 0xff, 0x2f, 0x00});
    Bytes out = {'M', 'T', 'r', 'k'};
    Put32(&out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes BuildSmf(const std::vector<SmfTrack>& tracks) {
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    out.push_back(static_cast<std::uint8_t>(tracks.size() >> 8));
    out.push_back(static_cast<std::uint8_t>(tracks.size()));
    out.push_back(static_cast<std::uint8_t>(kSmfDivision >> 8));
    out.push_back(static_cast<std::uint8_t>(kSmfDivision & 0xff));
    for (const SmfTrack& track : tracks) {
        const Bytes chunk = track.Chunk();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}
