// The standard MIDI file reader: what a sequence holds for well-formed files
// and a clear refusal for every kind of damage (random damage is the fuzz
// target's, fuzz/midi_fuzz.cpp). A sequence's length, the latest event of any
// track plus the tail, is held by the carol step's tests and by
// frostvale-inspect midi's (inspect_test).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "assets/midi.h"
#include "tests/midi_builder.h"

namespace {
bool Load(const MidiBytes& bytes, MidiSequence* sequence, std::string* error = nullptr) {
    // A copy of exactly the file's size, so that the sanitizers see any read past its end.
    std::vector<std::uint8_t> exact(bytes);
    return LoadMidi(exact.data(), exact.size(), sequence, error);
}

std::string LoadError(const MidiBytes& bytes) {
    MidiSequence sequence;
    std::string error;
    EXPECT_FALSE(Load(bytes, &sequence, &error));
    EXPECT_TRUE(sequence.tracks.empty()) << "a refused file leaves no tracks behind";
    return error;
}

MidiBytes OneTrack(const TrackBuilder& track, int format = 0, int division = 96) {
    return BuildMidi(format, division, {track});
}

// A track's events as one line, each as its kind, channel, two data bytes and
// beat, with a note's length and the byte count of meta and system-exclusive data.
std::string Events(const MidiTrack& track) {
    static const char* const kinds[] = {"note", "touch", "control", "program", "pressure",
                                        "bend", "meta",  "sysex",   "escape"};
    std::string line;
    for (const MidiEvent& e : track.events) {
        char word[128];
        const int n = std::snprintf(word, sizeof word, "%s%s %d %d %d @%g", line.empty() ? "" : ", ",
                                    kinds[static_cast<int>(e.type)], e.channel, e.data1, e.data2, e.beat);
        if (e.type == MidiEventType::Note) std::snprintf(word + n, sizeof word - n, " +%g", e.duration);
        if (e.type >= MidiEventType::Meta) std::snprintf(word + n, sizeof word - n, " #%u", e.dataSize);
        line += word;
    }
    return line;
}
}  // namespace

TEST(MidiReader, NotesAreOneEventWithTheirLengthInBeats) {
    TrackBuilder t;
    t.Program(0, 2, 40).NoteOn(0, 2, 60, 100).NoteOff(48, 2, 60).NoteOn(48, 2, 64, 90).NoteOff(96, 2, 64).End(10);
    MidiSequence s;
    ASSERT_TRUE(Load(OneTrack(t), &s));
    EXPECT_EQ(s.format, 0);
    EXPECT_EQ(s.division, 96);
    ASSERT_EQ(s.TrackCount(), 1u);
    // Note-offs and the end of the track are no events.
    EXPECT_EQ(Events(s.tracks[0]), "program 2 40 0 @0, note 2 60 100 @0 +0.5, note 2 64 90 @1 +1");
    EXPECT_DOUBLE_EQ(s.tracks[0].endBeat, (48 + 48 + 96 + 10) / 96.0);
}

TEST(MidiReader, RunningStatusVelocityZeroAndFifoPairing) {
    TrackBuilder t;
    // Two overlapping notes on one key: the first note-off closes the first note-on.
    t.NoteOn(0, 0, 60, 80).Running(24, {60, 81}).Running(24, {60, 0}).Running(24, {60, 0})
        // Same key on another channel is another note.
        .NoteOn(0, 1, 60, 70).Running(0, {62, 71}).NoteOff(96, 1, 62).NoteOff(0, 1, 60);
    MidiSequence s;
    ASSERT_TRUE(Load(OneTrack(t), &s));
    EXPECT_EQ(Events(s.tracks[0]),
              "note 0 60 80 @0 +0.5, note 0 60 81 @0.25 +0.5, note 1 60 70 @0.75 +1, note 1 62 71 @0.75 +1");
}

TEST(MidiReader, UnclosedNotesRingToTheTrackEnd) {
    TrackBuilder t;
    t.NoteOn(0, 0, 60, 80).NoteOn(96, 0, 62, 80).NoteOff(96, 0, 62).End(192);
    MidiSequence s;
    ASSERT_TRUE(Load(OneTrack(t), &s));
    EXPECT_EQ(Events(s.tracks[0]), "note 0 60 80 @0 +4, note 0 62 80 @1 +1");
    // A stray note-off with nothing open is ignored.
    TrackBuilder stray;
    stray.NoteOff(0, 0, 70).NoteOn(0, 0, 70, 1).NoteOff(48, 0, 70);
    ASSERT_TRUE(Load(OneTrack(stray), &s));
    EXPECT_EQ(Events(s.tracks[0]), "note 0 70 1 @0 +0.5");
}

TEST(MidiReader, FormatOneTempoMapAndEmptyTrack) {
    TrackBuilder conductor, voice, empty;
    // 120 bpm for 2 beats, then 60 bpm; the tempo events leave the track.
    conductor.Name(0, "conductor").Tempo(0, 500000).Tempo(2 * 480, 1000000).End();
    voice.Control(0, 3, 7, 100).NoteOn(480, 3, 67, 90).NoteOff(4 * 480, 3, 67).Channel(0, 0xA0, 3, {67, 9})
        .Channel(0, 0xD0, 3, {5}).Channel(0, 0xE0, 3, {0, 0x40});
    empty.End();
    MidiSequence s;
    ASSERT_TRUE(Load(BuildMidi(1, 480, {conductor, voice, empty}), &s));
    EXPECT_EQ(s.format, 1);
    ASSERT_EQ(s.TrackCount(), 3u);
    ASSERT_EQ(Events(s.tracks[0]), "meta 0 3 0 @0 #9");
    const MidiEvent& name = s.tracks[0].events[0];
    EXPECT_EQ(std::string(s.data.begin() + name.dataOffset, s.data.begin() + name.dataOffset + name.dataSize),
              "conductor");
    EXPECT_EQ(Events(s.tracks[1]),
              "control 3 7 100 @0, note 3 67 90 @1 +4, touch 3 67 9 @5, pressure 3 5 0 @5, bend 3 0 64 @5");
    EXPECT_TRUE(s.tracks[2].events.empty());

    // Seconds across the change and each track's last event are printed by
    // frostvale-inspect midi (inspect_test); the player turns seconds back into beats.
    for (double beat : {0.0, 0.3, 2.0, 3.7, 100.0}) EXPECT_NEAR(s.tempo.BeatAt(s.tempo.SecondsAt(beat)), beat, 1e-9);
    double last = 0.0;
    EXPECT_FALSE(s.LastEventBeat(3, &last)) << "no such track";
}

TEST(MidiReader, DefaultTempoAndTempoInALaterTrack) {
    TrackBuilder a, b;
    a.NoteOn(0, 0, 60, 1).NoteOff(96, 0, 60);
    b.Meta(0, 0x51, {0x07, 0xA1}).Tempo(96 * 4, 250000);  // a tempo of two bytes is no tempo
    MidiSequence s;
    ASSERT_TRUE(Load(BuildMidi(1, 96, {a, b}), &s));
    EXPECT_DOUBLE_EQ(s.tempo.SecondsAt(4.0), 2.0);  // 120 bpm until the change
    EXPECT_DOUBLE_EQ(s.tempo.SecondsAt(8.0), 3.0);
    EXPECT_TRUE(s.tracks[1].events.empty());
}

TEST(MidiReader, SysexMetaAndForeignChunks) {
    TrackBuilder t;
    t.Sysex(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7}).Sysex(5, 0xF7, {0xF3, 0x01}).Meta(0, 0x7F, {1, 2, 3})
        .NoteOn(0, 9, 36, 100).NoteOff(10, 9, 36).Meta(0, 0x01, {});
    MidiBytes file = BuildMidi(0, 96, {});
    // An unknown chunk before the track is skipped.
    file.insert(file.end(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 0xAA, 0xBB});
    MidiBytes track = OneTrack(t);
    file.insert(file.end(), track.begin() + 14, track.end());
    file[11] = 1;  // one track declared
    MidiSequence s;
    std::string error;
    ASSERT_TRUE(Load(file, &s, &error)) << error;
    ASSERT_EQ(Events(s.tracks[0]), "sysex 0 0 0 @0 #5, escape 0 0 0 @0.0520833 #2, meta 0 127 0 @0.0520833 #3, "
                                   "note 9 36 100 @0.0520833 +0.104167, meta 0 1 0 @0.15625 #0");
    EXPECT_EQ(s.data[s.tracks[0].events[0].dataOffset + 4], 0xF7);
}

TEST(MidiReader, EveryTruncationIsRefused) {
    TrackBuilder good;
    good.Program(0, 0, 1).NoteOn(0, 0, 60, 100).Sysex(0, 0xF0, {1, 2, 0xF7}).Meta(0, 1, {'a'}).NoteOff(200, 0, 60).End();
    const MidiBytes whole = OneTrack(good);
    MidiSequence s;
    ASSERT_TRUE(Load(whole, &s));
    // The file cut anywhere: the header, the chunk, or inside any event.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const MidiBytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Load(cut, &s)) << "cut to " << size << " bytes";
    }

    // Damage inside one event: what the refusal says.
    const std::pair<MidiBytes, const char*> damaged[] = {
        {{0x81, 0x80}, "delta time"},                            // a delta time that runs off the end
        {{0x00}, "before its event"},
        {{0x00, 0xFF}, "meta event cut short"},
        {{0x00, 0xFF, 0x01, 0x80}, "meta event cut short"},
        {{0x00, 0xF0}, "system-exclusive length cut short"},
        {{0x00, 0x90, 0x80, 0x40}, "data byte of 0x80"},
        {{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 1}, "four bytes"},
        {{0x00, 0x90, 60}, "channel event"},
        {{0x00, 0xF0, 0x10, 1, 2, 3}, "longer than the track"},  // sysex
        {{0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F}, "longer than the track"},  // meta
        {{0x00, 0xFF, 0x51, 0x03, 0x07}, "tempo"},
        {{0x00, 60, 100}, "data byte"},                          // no status yet
        {{0x00, 0xF8}, "0xF8"},                                  // real-time
    };
    for (const auto& [raw, said] : damaged) {
        TrackBuilder track;
        track.Raw(raw);
        EXPECT_NE(LoadError(OneTrack(track)).find(said), std::string::npos) << said;
    }
}

// What it cannot play, and headers, chunks and track counts that disagree
// with the bytes: each refused with a message that says which.
TEST(MidiReader, RefusesWhatItCannotPlayWithAClearMessage) {
    TrackBuilder t;
    t.NoteOn(0, 0, 60, 1).NoteOff(1, 0, 60).End();  // 12 bytes
    const auto with = [&t](std::size_t at, std::uint8_t value) {
        MidiBytes file = OneTrack(t);
        file[at] = value;
        return file;
    };
    const std::pair<MidiBytes, const char*> refused[] = {
        {BuildMidi(2, 96, {t}), "format 2"},
        {BuildMidi(7, 96, {t}), "format 7"},
        {BuildMidi(0, 0xE728, {t}), "SMPTE"},
        {BuildMidi(0, 0, {t}), "division"},
        {MidiBytes{'R', 'I', 'F', 'F', 0, 0, 0, 6}, "MThd"},
        {with(21, 13), "only"},    // the track chunk claims one byte more than the file has
        {with(18, 0x80), "only"},  // a chunk length of 2 GB
        {with(7, 5), "header"},    // a header too short to hold its fields
        {with(7, 200), "header"},  // or running past the end
        {BuildMidi(1, 96, {t, t}, 3), "declares 3 tracks but holds 2"},
        {BuildMidi(1, 96, {}, 1), "declares 1 track but holds 0"},
        {BuildMidi(1, 96, {t}, 0), "no tracks"},  // nothing to play, even when track chunks follow
    };
    for (const auto& [bytes, said] : refused) EXPECT_NE(LoadError(bytes).find(said), std::string::npos) << said;

    // More chunks than declared: the extra ones are not tracks.
    MidiSequence s;
    ASSERT_TRUE(Load(BuildMidi(1, 96, {t, t, t}, 2), &s));
    EXPECT_EQ(s.TrackCount(), 2u);
    // A header longer than six bytes is skipped over.
    MidiBytes longHeader = BuildMidi(0, 96, {t});
    longHeader[7] = 8;
    longHeader.insert(longHeader.begin() + 14, {0, 0});
    ASSERT_TRUE(Load(longHeader, &s));
    EXPECT_EQ(s.tracks[0].events.size(), 1u);
}

TEST(MidiReader, BytesAfterEndOfTrackAreIgnored) {
    TrackBuilder t;
    t.NoteOn(0, 0, 60, 1).NoteOff(96, 0, 60).End(96).Raw({0x00, 0x90, 0xFF});
    MidiSequence s;
    ASSERT_TRUE(Load(OneTrack(t), &s));
    EXPECT_EQ(s.tracks[0].events.size(), 1u);
    EXPECT_DOUBLE_EQ(s.tracks[0].endBeat, 2.0);
}
