// The baked carols through the player's synthesizer: every kind of
// arrangement audible at one level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "assets/midi.h"
#include "platform/fluid_player.h"

namespace {
MidiSequence LoadBaked(const std::string& name) {
    std::ifstream in(std::string(FROSTVALE_BAKED_DIR) + "/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    MidiSequence sequence;
    std::string error;
    EXPECT_TRUE(LoadMidi(bytes.data(), bytes.size(), &sequence, &error)) << name << ": " << error;
    return sequence;
}

// The level the arranger aims at, as RMS in dBFS through the player's synthesizer.
constexpr double kLevelLow = -27.1, kLevelHigh = -21.1;
}  // namespace

TEST(BakedCarols, EveryStyleSoundsAtOneLevelWithoutClipping) {
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed (scripts/setup installs one)";
    // One file per kind of arrangement, twelve seconds each after the count-in
    // bar: the arranger aims them all at one level (bench/carol_levels measures
    // every file whole).
    const char* const names[] = {"music/hark.mid",     "music/ANGELS2.MID", "music/OTANNES.MID", "music/ASLATELY.MID",
                                 "music/deck.mid",     "music/letit.mid",   "music/JBROCK.MID",  "music/silent.mid",
                                 "music/jingle.mid",   "music/3KINGS.MID",  "music/white_xm.mid", "music/XMASMED.MID"};
    double quietest = 0, loudest = -100;
    for (const char* name : names) {
        const MidiSequence sequence = LoadBaked(name);
        std::vector<std::int16_t> stereo;
        std::string error;
        ASSERT_TRUE(RenderMidiOffline(sequence, 16.0, &stereo, &error)) << name << ": " << error;
        const std::size_t from = std::min(stereo.size(), static_cast<std::size_t>(4 * 2 * kOfflineSampleRate));
        double power = 0;
        int peak = 0;
        for (std::size_t i = from; i < stereo.size(); ++i) power += double(stereo[i]) * stereo[i];
        for (std::int16_t s : stereo) peak = std::max(peak, std::abs(static_cast<int>(s)));
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
