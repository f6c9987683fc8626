// The FluidSynth player's offline renderer: the same schedule the saver plays,
// so what it renders shows when notes sound and how loud, for made-up tunes
// and the baked carols.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "assets/midi.h"
#include "platform/fluid_player.h"
#include "tests/midi_builder.h"
#include "tests/scratch.h"

namespace {
// A file's bytes, from a builder or from the baked folder, as the saver reads them.
template <class Bytes>
MidiSequence Parse(const Bytes& bytes) {
    MidiSequence sequence;
    std::string error;
    EXPECT_TRUE(LoadMidi(bytes.data(), bytes.size(), &sequence, &error)) << error;
    return sequence;
}

// The level the arranger aims at, as RMS in dBFS through the player's synthesizer.
constexpr double kLevelLow = -27.1, kLevelHigh = -21.1;

// The first frame whose louder channel passes `threshold`, or -1.
long FirstLoudFrame(const std::vector<std::int16_t>& stereo, int threshold) {
    for (std::size_t i = 0; i < stereo.size(); ++i)
        if (std::abs(stereo[i]) > threshold) return static_cast<long>(i / 2);
    return -1;
}

int Peak(const std::vector<std::int16_t>& stereo, std::size_t from, std::size_t to) {
    int peak = 0;
    for (std::size_t i = from * 2; i < to * 2 && i < stereo.size(); ++i) peak = std::max(peak, std::abs(stereo[i]));
    return peak;
}

class FluidRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed (scripts/setup installs one)";
    }
};
}  // namespace

TEST_F(FluidRender, NotesSoundWhenTheTempoMapSaysSo) {
    // One second a beat for two beats, then a quarter second: notes at beats 1 and 3
    // fall at 1.0 s and 2.25 s.
    TrackBuilder t;
    t.Tempo(0, 1000000).Program(0, 0, 0).NoteOn(480, 0, 72, 120).NoteOff(120, 0, 72).Tempo(360, 250000)
        .NoteOn(480, 0, 76, 120).NoteOff(120, 0, 76);
    const MidiSequence sequence = Parse(BuildMidi(0, 480, {t}));
    std::vector<std::int16_t> stereo;
    std::string error;
    ASSERT_TRUE(RenderMidiOffline(sequence, 3.0, &stereo, &error)) << error;
    ASSERT_EQ(stereo.size(), static_cast<std::size_t>(3 * kOfflineSampleRate * 2));
    const long first = FirstLoudFrame(stereo, 300);
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first / double(kOfflineSampleRate), 1.0, 0.01);
    // Silence (the first note's release aside) before the second, then its attack.
    const std::size_t beforeSecond = static_cast<std::size_t>(2.2 * kOfflineSampleRate);
    const std::size_t second = static_cast<std::size_t>(2.25 * kOfflineSampleRate);
    EXPECT_GT(Peak(stereo, second, second + 4410), 3 * Peak(stereo, beforeSecond, second - 64));
}

TEST(FluidPlayer, NoSoundfontMeansNoPlayerAndNoRender) {
    FluidPlayerFactory factory("/nonexistent/none.sf2");
    EXPECT_EQ(factory.NewPlayer(), nullptr);
    EXPECT_EQ(factory.NewPlayer(), nullptr) << "asked once, refused every time";
    TrackBuilder t;
    t.NoteOn(0, 0, 60, 100);
    const MidiSequence sequence = Parse(BuildMidi(0, 96, {t}));
    std::vector<std::int16_t> stereo;
    std::string error;
    EXPECT_FALSE(RenderMidiOffline(sequence, 1.0, &stereo, &error, "/nonexistent/none.sf2"));
    EXPECT_NE(error.find("/nonexistent/none.sf2"), std::string::npos) << error;
    EXPECT_FALSE(RenderMidiOffline(sequence, -1.0, &stereo, &error));
}

// The baked carols: every kind of arrangement audible at one level.
TEST_F(FluidRender, EveryStyleOfBakedCarolSoundsAtOneLevelWithoutClipping) {
    // One file per kind of arrangement, twelve seconds each after the count-in
    // bar: the arranger aims them all at one level (bench/carol_levels measures
    // every file whole).
    const char* const names[] = {"music/hark.mid",     "music/ANGELS2.MID", "music/OTANNES.MID", "music/ASLATELY.MID",
                                 "music/deck.mid",     "music/letit.mid",   "music/JBROCK.MID",  "music/silent.mid",
                                 "music/jingle.mid",   "music/3KINGS.MID",  "music/white_xm.mid", "music/XMASMED.MID"};
    double quietest = 0, loudest = -100;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const MidiSequence sequence = Parse(ReadBytes(std::string(FROSTVALE_BAKED_DIR) + "/" + name));
        std::vector<std::int16_t> stereo;
        std::string error;
        ASSERT_TRUE(RenderMidiOffline(sequence, 16.0, &stereo, &error)) << name << ": " << error;
        const std::size_t from = std::min(stereo.size(), static_cast<std::size_t>(4 * 2 * kOfflineSampleRate));
        double power = 0;
        for (std::size_t i = from; i < stereo.size(); ++i) power += double(stereo[i]) * stereo[i];
        const int peak = Peak(stereo, 0, stereo.size() / 2);
        const double mean = power / double(std::max<std::size_t>(1, stereo.size() - from));
        const double rms = 10 * std::log10(mean / (32768.0 * 32768.0) + 1e-12);
        const double peakDb = 20 * std::log10(std::max(1, peak) / 32768.0);
        EXPECT_LT(peakDb, -1.0) << name << " comes close to clipping";
        EXPECT_GT(rms, kLevelLow) << name;
        EXPECT_LT(rms, kLevelHigh) << name;
        quietest = std::min(quietest, rms), loudest = std::max(loudest, rms);
    }
    EXPECT_LT(loudest - quietest, 4.0) << "from " << quietest << " to " << loudest << " dBFS";
}
