// Carols: reading a tune's MIDI file when it starts, and what the carol step
// costs on every frame between its polls.
#include <benchmark/benchmark.h>

#include "host/carols.h"
#include "scene/scene_settings.h"
#include "tests/fake_midi_player.h"
#include "tests/midi_builder.h"

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
