// The 58 carols as the saver meets them: read by our own sequence reader,
// long enough to be a carol, and audible through the player's synthesizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "assets/midi.h"
#include "assets/tunes.h"
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

int NoteCount(const MidiSequence& sequence) {
    int notes = 0;
    for (const MidiTrack& track : sequence.tracks) {
        notes += static_cast<int>(std::count_if(track.events.begin(), track.events.end(),
                                                [](const MidiEvent& e) { return e.type == MidiEventType::Note; }));
    }
    return notes;
}
}  // namespace

TEST(BakedCarols, EveryTuneReadsAndLastsLikeACarol) {
    for (const char* name : MusicFiles) {
        const MidiSequence sequence = LoadBaked(name);
        const double beats = MidiSequenceLength(sequence);
        const double seconds = sequence.tempo.SecondsAt(beats);
        EXPECT_GE(NoteCount(sequence), 100) << name;
        // A verse and a chorus at the least, and not so long that the next carol never comes.
        EXPECT_GT(seconds, 30.0) << name;
        EXPECT_LT(seconds, 360.0) << name;
    }
}

TEST(BakedCarols, TunesInEveryStyleSoundAndDoNotClip) {
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed (scripts/setup installs one)";
    // One file per kind of arrangement: hymn, choir, bells, swing, rock, waltz, jig, medley.
    for (const char* name : {"music/hark.mid", "music/silent.mid", "music/BELL.MID", "music/letit.mid",
                             "music/JBROCK.MID", "music/silvbell.mid", "music/Hollyivy.mid", "music/XMASMED.MID"}) {
        const MidiSequence sequence = LoadBaked(name);
        std::vector<std::int16_t> stereo;
        std::string error;
        ASSERT_TRUE(RenderMidiOffline(sequence, 8.0, &stereo, &error)) << name << ": " << error;
        int peak = 0;
        for (std::int16_t s : stereo) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_GT(peak, 32768 / 30) << name << " is louder than -30 dBFS in its first seconds";
        EXPECT_LT(peak, 32767) << name << " never reaches full scale";
    }
}
