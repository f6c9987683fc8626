// Carols: reading a tune's MIDI file when it starts, and what the carol step
// costs on every frame between its polls.
#include <benchmark/benchmark.h>

#include "host/carols.h"
#include "scene/scene_settings.h"
#include "tests/fake_midi_player.h"
#include "tests/midi_builder.h"

// A tune of realistic size: a conductor track with two tempos, then `tracks`
// tracks of `notesPerTrack` quarter-beat notes each, written in running status
// with note-offs as velocity-0 note-ons, as most files write them.
static MidiBytes BuildCarolLikeMidi(int tracks, int notesPerTrack, int division = 480) {
    std::vector<TrackBuilder> all(1);
    all[0].Name(0, "Conductor").Tempo(0, 600000).Meta(0, 0x58, {4, 2, 24, 8}).Tempo(division * 32, 500000).End();
    const std::uint32_t step = static_cast<std::uint32_t>(division / 4);
    for (int t = 0; t < tracks; ++t) {
        TrackBuilder track;
        track.Name(0, "Voice").Program(0, t, 19 + t * 8).Control(0, t, 7, 100);
        for (int n = 0; n < notesPerTrack; ++n) {
            const int key = 48 + t * 7 + (n * 5) % 17;
            if (n == 0) track.NoteOn(0, t, key, 90);
            else track.Running(0, {key, 70 + n % 30});
            track.Running(step, {key, 0});
        }
        track.End(step);
        all.push_back(track);
    }
    return BuildMidi(1, division, all);
}

static void BM_LoadMidiCarol(benchmark::State& state) {
    // About the size of a four-voice carol file: 2000 notes in four tracks.
    const MidiBytes file = BuildCarolLikeMidi(4, 500);
    MidiSequence sequence;
    for (auto _ : state) {
        bool ok = LoadMidi(file.data(), file.size(), &sequence, nullptr);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadMidiCarol);

static void BM_MidiSequenceLength(benchmark::State& state) {
    const MidiBytes file = BuildCarolLikeMidi(4, 500);
    MidiSequence sequence;
    LoadMidi(file.data(), file.size(), &sequence, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(MidiSequenceLength(sequence));
}
BENCHMARK(BM_MidiSequenceLength);

// Frames between polls: the delay never runs out, so each step is the
// countdown alone. A poll every 10 s at 60 frames a second is one frame in 600.
static void BM_CarolStepBetweenPolls(benchmark::State& state) {
    FakePlayerFactory players;
    Carols carols(&players, "/nonexistent");
    SETTINGS settings;
    settings.PLAYMUSIC = true;
    double dt = 1e-12;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dt);
        carols.Step(dt, &settings);
    }
    if (players.log.made != 0 || !settings.PLAYMUSIC) state.SkipWithError("the step polled");
}
BENCHMARK(BM_CarolStepBetweenPolls);
