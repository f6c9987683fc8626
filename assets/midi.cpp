#include "assets/midi.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <memory>

#include "assets/reader.h"

namespace {

bool ReadU16BE(BoundedReader& in, std::uint32_t* out) {
    std::uint8_t b[2];
    if (!in.Read(b, 2)) return false;
    *out = (static_cast<std::uint32_t>(b[0]) << 8) | b[1];
    return true;
}

bool ReadU32BE(BoundedReader& in, std::uint32_t* out) {
    std::uint8_t b[4];
    if (!in.Read(b, 4)) return false;
    *out = (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
           (static_cast<std::uint32_t>(b[2]) << 8) | b[3];
    return true;
}

enum class VlqResult { Ok, Truncated, TooLong };

// At most four bytes (28 bits), as the file format allows.
VlqResult ReadVlq(BoundedReader& in, std::uint32_t* out) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t b;
        if (!in.ReadU8(&b)) return VlqResult::Truncated;
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            *out = value;
            return VlqResult::Ok;
        }
    }
    return VlqResult::TooLong;
}

std::string Sentence(const char* format, long long a = 0, long long b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Note-ons waiting for their note-offs, first in first out per channel and key.
// Links run through a vector parallel to the track's events, so a track of any
// size needs no allocation per note.
class OpenNotes {
public:
    void Reset(std::size_t capacityHint) {
        head_.fill(kNone);
        tail_.fill(kNone);
        next_.clear();
        next_.reserve(capacityHint);
    }
    void Grow(std::size_t eventCount) { next_.resize(eventCount, kNone); }
    void Open(int slot, std::size_t event) {
        next_[event] = kNone;
        if (tail_[slot] == kNone) head_[slot] = event;
        else next_[tail_[slot]] = event;
        tail_[slot] = event;
    }
    // The oldest open note of a slot, removed; kNone if none is open.
    std::size_t Close(int slot) {
        const std::size_t event = head_[slot];
        if (event == kNone) return kNone;
        head_[slot] = next_[event];
        if (head_[slot] == kNone) tail_[slot] = kNone;
        return event;
    }
    std::size_t Head(int slot) const { return head_[slot]; }
    std::size_t Next(std::size_t event) const { return next_[event]; }

    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    static constexpr int kSlots = 16 * 128;

private:
    std::array<std::size_t, kSlots> head_{};
    std::array<std::size_t, kSlots> tail_{};
    std::vector<std::size_t> next_;
};

struct TrackParser {
    MidiSequence* sequence;
    std::vector<std::pair<std::uint64_t, std::uint32_t>>* tempoChanges;  // (tick, microseconds per beat)
    OpenNotes* open;
    std::string* error;

    bool Payload(BoundedReader& in, std::uint32_t length, MidiEvent* event, const char* what, int trackIndex) {
        if (length > in.Remaining()) {
            *error = Sentence(what, trackIndex);
            return false;
        }
        std::vector<std::uint8_t>& data = sequence->data;
        if (data.size() + length > std::numeric_limits<std::uint32_t>::max()) {
            *error = "the file's meta and system-exclusive data are too large";
            return false;
        }
        event->dataOffset = static_cast<std::uint32_t>(data.size());
        event->dataSize = length;
        data.resize(data.size() + length);
        return length == 0 || in.Read(data.data() + event->dataOffset, length);
    }

    bool Parse(BoundedReader& in, int trackIndex, MidiTrack* track) {
        const double division = sequence->division;
        std::uint64_t tick = 0;
        std::uint8_t runningStatus = 0;
        open->Reset(in.Remaining() / 3);
        while (in.Remaining() > 0) {
            std::uint32_t delta = 0;
            const VlqResult vlq = ReadVlq(in, &delta);
            if (vlq == VlqResult::Truncated) {
                *error = Sentence("track %lld ends inside a delta time", trackIndex);
                return false;
            }
            if (vlq == VlqResult::TooLong) {
                *error = Sentence("track %lld has a delta time longer than four bytes", trackIndex);
                return false;
            }
            tick += delta;
            std::uint8_t status;
            if (!in.ReadU8(&status)) {
                *error = Sentence("track %lld ends after a delta time, before its event", trackIndex);
                return false;
            }
            std::uint8_t first = 0;
            bool haveFirst = false;
            if (status < 0x80) {
                if (runningStatus == 0) {
                    *error = Sentence("track %lld has a data byte where an event should start", trackIndex);
                    return false;
                }
                first = status;
                haveFirst = true;
                status = runningStatus;
            }

            MidiEvent event;
            event.tick = tick;
            event.beat = static_cast<double>(tick) / division;
            if (status == 0xFF) {
                runningStatus = 0;
                std::uint8_t type;
                std::uint32_t length = 0;
                if (!in.ReadU8(&type) || ReadVlq(in, &length) != VlqResult::Ok) {
                    *error = Sentence("track %lld has a meta event cut short", trackIndex);
                    return false;
                }
                if (type == 0x2F) {
                    if (!in.Skip(std::min<std::uint64_t>(length, in.Remaining()))) return false;
                    break;  // anything after end-of-track is not part of the track
                }
                if (type == 0x51) {
                    std::uint8_t t[3];
                    if (length > in.Remaining()) {
                        *error = Sentence("track %lld has a tempo event longer than the track", trackIndex);
                        return false;
                    }
                    if (length >= 3 && in.Read(t, 3)) {
                        const std::uint32_t micros = (t[0] << 16) | (t[1] << 8) | t[2];
                        if (micros > 0) tempoChanges->emplace_back(tick, micros);
                        length -= 3;
                    }
                    if (!in.Skip(length)) return false;
                    continue;
                }
                event.type = MidiEventType::Meta;
                event.data1 = type;
                if (!Payload(in, length, &event, "track %lld has a meta event longer than the track", trackIndex))
                    return false;
            } else if (status == 0xF0 || status == 0xF7) {
                runningStatus = 0;
                std::uint32_t length = 0;
                if (ReadVlq(in, &length) != VlqResult::Ok) {
                    *error = Sentence("track %lld has a system-exclusive length cut short", trackIndex);
                    return false;
                }
                event.type = status == 0xF0 ? MidiEventType::Sysex : MidiEventType::SysexEscape;
                if (!Payload(in, length, &event, "track %lld has a system-exclusive event longer than the track",
                             trackIndex))
                    return false;
            } else if (status >= 0xF0) {
                *error = Sentence("track %lld has status byte 0x%llX, which a file may not hold", trackIndex, status);
                return false;
            } else {
                runningStatus = status;
                const int kind = status >> 4;
                const int dataBytes = (kind == 0xC || kind == 0xD) ? 1 : 2;
                std::uint8_t bytes[2] = {first, 0};
                for (int i = haveFirst ? 1 : 0; i < dataBytes; ++i) {
                    if (!in.ReadU8(&bytes[i])) {
                        *error = Sentence("track %lld ends inside a channel event", trackIndex);
                        return false;
                    }
                }
                for (int i = 0; i < dataBytes; ++i) {
                    if (bytes[i] >= 0x80) {
                        *error = Sentence("track %lld has a channel event with a data byte of 0x%llX", trackIndex,
                                          bytes[i]);
                        return false;
                    }
                }
                event.channel = status & 0x0F;
                event.data1 = bytes[0];
                event.data2 = bytes[1];
                const int slot = event.channel * 128 + event.data1;
                if (kind == 0x8 || (kind == 0x9 && bytes[1] == 0)) {
                    const std::size_t on = open->Close(slot);
                    if (on != OpenNotes::kNone) track->events[on].duration = event.beat - track->events[on].beat;
                    continue;  // a note-off is part of its note, not an event of its own
                }
                switch (kind) {
                    case 0x9: event.type = MidiEventType::Note; break;
                    case 0xA: event.type = MidiEventType::KeyPressure; break;
                    case 0xB: event.type = MidiEventType::Control; break;
                    case 0xC: event.type = MidiEventType::Program; break;
                    case 0xD: event.type = MidiEventType::ChannelPressure; break;
                    default: event.type = MidiEventType::PitchBend; break;
                }
                track->events.push_back(event);
                if (kind == 0x9) {
                    open->Grow(track->events.size());
                    open->Open(slot, track->events.size() - 1);
                }
                continue;
            }
            track->events.push_back(event);
        }
        track->endBeat = static_cast<double>(tick) / division;
        // Notes never released ring to the end of the track.
        for (int slot = 0; slot < OpenNotes::kSlots; ++slot) {
            for (std::size_t e = open->Head(slot); e != OpenNotes::kNone; e = open->Next(e))
                track->events[e].duration = track->endBeat - track->events[e].beat;
        }
        return true;
    }
};
}  // namespace

bool LoadMidi(const void* bytes, std::size_t size, MidiSequence* out, std::string* error) {
    *out = MidiSequence{};
    std::string ignored;
    if (error == nullptr) error = &ignored;
    const auto* base = static_cast<const std::uint8_t*>(bytes);
    BoundedReader in(bytes, size);

    char id[4];
    std::uint32_t headerLength = 0, format = 0, declaredTracks = 0, division = 0;
    if (!in.Read(id, 4) || std::string(id, 4) != "MThd") {
        *error = "not a standard MIDI file (no MThd header)";
        return false;
    }
    if (!ReadU32BE(in, &headerLength) || headerLength < 6 || headerLength > in.Remaining() ||
        !ReadU16BE(in, &format) || !ReadU16BE(in, &declaredTracks) || !ReadU16BE(in, &division) ||
        !in.Skip(headerLength - 6)) {
        *error = "the MIDI header is cut short";
        return false;
    }
    if (format == 2) {
        *error = "MIDI format 2 (independent sequences) is not supported";
        return false;
    }
    if (format > 2) {
        *error = Sentence("unknown MIDI format %lld", format);
        return false;
    }
    if (division & 0x8000) {
        *error = "SMPTE time division is not supported; only ticks per beat";
        return false;
    }
    if (division == 0) {
        *error = "the MIDI division is 0 ticks per beat";
        return false;
    }
    if (declaredTracks == 0) {
        *error = "the MIDI header declares no tracks, so there is nothing to play";
        return false;
    }

    MidiSequence sequence;
    sequence.format = static_cast<int>(format);
    sequence.division = static_cast<int>(division);
    sequence.tracks.reserve(declaredTracks);
    std::vector<std::pair<std::uint64_t, std::uint32_t>> tempoTicks;
    auto open = std::make_unique<OpenNotes>();
    TrackParser parser{&sequence, &tempoTicks, open.get(), error};
    while (sequence.tracks.size() < declaredTracks) {
        if (in.Remaining() == 0) {
            *error = Sentence(declaredTracks == 1 ? "the file declares %lld track but holds %lld"
                                                  : "the file declares %lld tracks but holds %lld",
                              declaredTracks, static_cast<long long>(sequence.tracks.size()));
            return false;
        }
        std::uint32_t length = 0;
        if (!in.Read(id, 4) || !ReadU32BE(in, &length)) {
            *error = "a chunk header is cut short";
            return false;
        }
        if (length > in.Remaining()) {
            *error = Sentence("a chunk is %lld bytes long but only %lld are left", length,
                              static_cast<long long>(in.Remaining()));
            return false;
        }
        const std::size_t start = size - static_cast<std::size_t>(in.Remaining());
        in.Skip(length);
        if (std::string(id, 4) != "MTrk") continue;  // unknown chunks are skipped, as the format asks
        BoundedReader chunk(base + start, length);
        MidiTrack track;
        if (!parser.Parse(chunk, static_cast<int>(sequence.tracks.size()), &track)) return false;
        sequence.tracks.push_back(std::move(track));
    }
    std::vector<std::pair<double, std::uint32_t>> changes;
    changes.reserve(tempoTicks.size());
    for (const auto& [tick, micros] : tempoTicks) changes.emplace_back(static_cast<double>(tick) / division, micros);
    sequence.tempo.Build(std::move(changes));
    *out = std::move(sequence);
    return true;
}

double MidiSequenceLength(const MidiSequence& sequence, double tail) {
    double length = 0.0;
    for (std::size_t t = 0; t < sequence.TrackCount(); ++t) {
        double last = 0.0;
        if (sequence.LastEventBeat(t, &last) && last + tail > length) length = last + tail;
    }
    return length;
}
