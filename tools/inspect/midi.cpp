// midi FILE: what the carol player reads in a MIDI file and how long it lasts.
// play FILE --wav OUT.wav [--seconds S] [--soundfont SF2]: the tune rendered as the saver plays it.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/midi.h"
#include "platform/fluid_player.h"
#include "tools/inspect/commands.h"

namespace {
constexpr double kTailBeats = 4.0;  // the carol length rule

bool LoadFile(const std::string& path, MidiSequence* sequence) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read \"%s\"\n", path.c_str());
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (in.bad() || !LoadMidi(bytes.data(), bytes.size(), sequence, &error)) {
        std::fprintf(stderr, "\"%s\": %s\n", path.c_str(), in.bad() ? "read error" : error.c_str());
        return false;
    }
    return true;
}

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& stereo, int rate) {
    const std::uint64_t dataBytes = stereo.size() * 2;
    if (dataBytes > 0xFFFFFFFFull - 36) return false;
    std::vector<std::uint8_t> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    PutU32(header, static_cast<std::uint32_t>(36 + dataBytes));
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(header, 16);
    PutU16(header, 1);  // PCM
    PutU16(header, 2);
    PutU32(header, static_cast<std::uint32_t>(rate));
    PutU32(header, static_cast<std::uint32_t>(rate * 4));
    PutU16(header, 4);
    PutU16(header, 16);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    PutU32(header, static_cast<std::uint32_t>(dataBytes));
    std::vector<std::uint8_t> samples;
    samples.reserve(dataBytes);
    for (std::int16_t s : stereo) PutU16(samples, static_cast<std::uint16_t>(s));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
    return static_cast<bool>(out.flush());
}
}  // namespace

int InspectMidi(const Args& args) {
    if (args.size() != 1) return UsageError("midi FILE");
    MidiSequence sequence;
    if (!LoadFile(args[0], &sequence)) return 1;
    std::printf("format %d\ndivision %d\ntracks %zu\n", sequence.format, sequence.division, sequence.TrackCount());
    for (std::size_t t = 0; t < sequence.TrackCount(); ++t) {
        const MidiTrack& track = sequence.tracks[t];
        std::size_t notes = 0;
        for (const MidiEvent& e : track.events) notes += e.type == MidiEventType::Note;
        double last = 0.0;
        char lastText[32] = "none";  // an empty track has no last event
        if (sequence.LastEventBeat(t, &last)) std::snprintf(lastText, sizeof lastText, "%.4f", last);
        std::printf("track %zu events %zu notes %zu last %s\n", t, track.events.size(), notes, lastText);
    }
    const double length = MidiSequenceLength(sequence, kTailBeats);
    std::printf("length %.4f\nseconds %.4f\n", length, sequence.tempo.SecondsAt(length));
    return 0;
}

int InspectPlay(const Args& args) {
    const char* usage = "play FILE --wav OUT.wav [--seconds S] [--soundfont SF2]";
    if (args.empty()) return UsageError(usage);
    std::string wav, soundFont;
    double seconds = -1.0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--wav" && i + 1 < args.size()) {
            wav = args[++i];
        } else if (args[i] == "--soundfont" && i + 1 < args.size()) {
            soundFont = args[++i];
        } else if (args[i] == "--seconds" && i + 1 < args.size()) {
            if (!ParseDouble(args[++i], &seconds) || !(seconds > 0.0) || seconds > 3600.0) {
                std::fprintf(stderr, "--seconds must be a number of seconds above 0 and at most 3600\n");
                return 1;
            }
        } else {
            return UsageError(usage);
        }
    }
    if (wav.empty()) return UsageError(usage);
    MidiSequence sequence;
    if (!LoadFile(args[0], &sequence)) return 1;
    if (seconds < 0.0) seconds = sequence.tempo.SecondsAt(MidiSequenceLength(sequence, kTailBeats));
    std::vector<std::int16_t> stereo;
    std::string error;
    if (!RenderMidiOffline(sequence, seconds, &stereo, &error, soundFont)) {
        std::fprintf(stderr, "cannot render \"%s\": %s\n", args[0].c_str(), error.c_str());
        return 1;
    }
    if (!WriteWav(wav, stereo, kOfflineSampleRate)) {
        std::fprintf(stderr, "cannot write \"%s\"\n", wav.c_str());
        return 1;
    }
    std::printf("seconds %.4f\nframes %zu\n", seconds, stereo.size() / 2);
    return 0;
}
