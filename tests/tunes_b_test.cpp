// The second group of traditional carols and the original tunes: the melodies
// are the ones their titles promise (checked on the openings everybody knows),
// the originals really are different tunes, and every arrangement reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "assets/tunes.h"
#include "tools/bake/music/carol.h"

namespace {

const Arrangement& Find(const std::vector<Arrangement>& table, const std::string& file) {
    for (const Arrangement& a : table)
        if (file == a.file) return a;
    ADD_FAILURE() << file << " is not in the table";
    static const Arrangement none{};
    return none;
}

// Successive pitch steps in semitones of the first `count` notes from `from` ticks on.
std::vector<int> Steps(const Tune& tune, int count, int from = 0) {
    std::vector<int> pitches;
    for (const TimedNote& n : tune.notes.notes)
        if (n.start >= from && static_cast<int>(pitches.size()) < count + 1) pitches.push_back(n.pitch);
    std::vector<int> steps;
    for (std::size_t i = 1; i < pitches.size(); ++i) steps.push_back(pitches[i] - pitches[i - 1]);
    return steps;
}

Tune Read(const std::vector<Arrangement>& table, const std::string& file) {
    const Arrangement& a = Find(table, file);
    if (a.melodies.empty()) return {};
    return ReadTune(*a.melodies.front(), file);
}

TEST(TunesB, EveryArrangementReadsAndStaysInRange) {
    std::vector<Arrangement> all = TraditionalB();
    const std::vector<Arrangement> originals = Originals();
    all.insert(all.end(), originals.begin(), originals.end());
    const std::set<std::string> known(MusicFiles, MusicFiles + kTuneCount);
    for (const Arrangement& a : all) {
        SCOPED_TRACE(a.file);
        EXPECT_TRUE(known.count(a.file)) << "not a file of the carol table";
        EXPECT_GE(a.verses, 1);
        EXPECT_GE(a.bpm, 40);
        EXPECT_LE(a.bpm, 260);
        EXPECT_GE(a.leadProgram, -1);
        EXPECT_LE(a.leadProgram, 127);
        ASSERT_FALSE(a.melodies.empty());
        for (const Melody* m : a.melodies) {
            Tune tune;
            ASSERT_NO_THROW(tune = ReadTune(*m, a.file)) << m->name;
            ASSERT_FALSE(tune.notes.notes.empty());
            for (const TimedNote& n : tune.notes.notes) {
                // A lead line a listener can follow: between the G below middle C and the C two octaves up.
                EXPECT_GE(n.pitch + a.transpose, 55) << m->name;
                EXPECT_LE(n.pitch + a.transpose, 84) << m->name;
            }
        }
    }
}

TEST(TunesB, EachFileIsArrangedOnceAcrossAllTables) {
    std::map<std::string, int> seen;
    for (const Arrangement& a : AllArrangements()) ++seen[a.file];
    for (const auto& [file, count] : seen) EXPECT_EQ(count, 1) << file;
}

TEST(TunesB, TraditionalMelodiesOpenAsTheyAreSung) {
    const std::vector<Arrangement> table = TraditionalB();
    // Silent Night: sol-la-sol-mi.
    EXPECT_EQ(Steps(Read(table, "music/silent.mid"), 3), (std::vector<int>{2, -2, -3}));
    // Joy to the World: the major scale straight down from the tonic to the tonic.
    const Tune joy = Read(table, "music/joy.mid");
    EXPECT_EQ(Steps(joy, 7), (std::vector<int>{-1, -2, -2, -2, -1, -2, -2}));
    ASSERT_FALSE(joy.notes.notes.empty());
    EXPECT_EQ(joy.notes.notes.front().pitch % 12, 2) << "Antioch is written in D";
    // Greensleeves: up a minor third from the tonic, climbing to the sixth and back down.
    EXPECT_EQ(Steps(Read(table, "music/WATCHLD2.MID"), 8), (std::vector<int>{3, 2, 2, 1, -1, -2, -3, -4}));
    // O Tannenbaum: a fourth up from the pick-up, three times on the tonic, then up by steps.
    EXPECT_EQ(Steps(Read(table, "music/OTANNES.MID"), 7), (std::vector<int>{5, 0, 0, 2, 2, 0, 0}));
    // We Wish You: the pick-up leaps a fourth and the line turns down to the sixth below.
    EXPECT_EQ(Steps(Read(table, "music/wewish.mid"), 8), (std::vector<int>{5, 0, 2, -2, -1, -2, 0, 0}));
    // It Came Upon: Willis's tune in 6/8, a sixth up from the pick-up (sol to mi), then down by steps.
    const Tune came = Read(table, "music/ITCAME.MID");
    EXPECT_EQ(Steps(came, 8), (std::vector<int>{9, -2, 0, -2, -3, -2, 2, -2}));
    ASSERT_NE(came.melody, nullptr);
    EXPECT_EQ(came.melody->beatsPerBar * 10 + came.melody->beatUnit, 68) << "6/8";
    EXPECT_EQ(came.notes.barTicks.front(), kBeatTicks) << "an eighth-note pick-up";
}

TEST(TunesB, JingleBellsChorusRingsThreeRepeatedNotesTwice) {
    const Tune tune = Read(TraditionalB(), "music/jingle.mid");
    ASSERT_GE(tune.notes.barTicks.size(), 17u);
    int chorus = 0;  // the chorus follows the sixteen bars of the verse
    for (int i = 0; i < 16; ++i) chorus += tune.notes.barTicks[static_cast<std::size_t>(i)];
    std::vector<TimedNote> first;
    for (const TimedNote& n : tune.notes.notes)
        if (n.start >= chorus && first.size() < 6) first.push_back(n);
    ASSERT_EQ(first.size(), 6u);
    for (const TimedNote& n : first) EXPECT_EQ(n.pitch, first.front().pitch);
    // "Jin-gle bells, jin-gle bells": short, short, long, twice.
    const std::vector<int> beats{1, 1, 2, 1, 1, 2};
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].length, beats[i] * kBeatTicks) << i;
}

TEST(TunesB, MedleyJoinsWithinAFifth) {
    const std::vector<Arrangement> table = TraditionalB();
    const Arrangement& medley = Find(table, "music/XMASMED.MID");
    ASSERT_GE(medley.melodies.size(), 3u);
    for (std::size_t i = 1; i < medley.melodies.size(); ++i) {
        const Tune before = ReadTune(*medley.melodies[i - 1]);
        const Tune after = ReadTune(*medley.melodies[i]);
        const int step = after.notes.notes.front().pitch - before.notes.notes.back().pitch;
        EXPECT_LE(std::abs(step), 7) << medley.melodies[i - 1]->name << " into " << medley.melodies[i]->name;
    }
}

TEST(TunesB, TwoArrangementsOfOneMelodySoundDifferent) {
    std::vector<Arrangement> all = TraditionalB();
    const std::vector<Arrangement> originals = Originals();
    all.insert(all.end(), originals.begin(), originals.end());
    int pairs = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (all[i].melodies != all[j].melodies) continue;
            ++pairs;
            const bool differ = all[i].style != all[j].style || all[i].transpose != all[j].transpose ||
                                all[i].leadProgram != all[j].leadProgram;
            EXPECT_TRUE(differ) << all[i].file << " and " << all[j].file;
        }
    EXPECT_EQ(pairs, 4) << "holly, tannenbaum, drummer and snowman each come twice";
}

TEST(TunesB, OriginalsAreFullSongsAndNoTuneSharesAnotherOpening) {
    std::set<const Melody*> originals;
    for (const Arrangement& a : Originals()) {
        for (const Melody* m : a.melodies) {
            originals.insert(m);
            const Tune tune = ReadTune(*m, a.file);
            EXPECT_GE(tune.notes.barTicks.size(), 32u) << m->name << ": a verse and a refrain, 32 bars or more";
        }
    }
    // Every tune of every table, each once, by its first eight steps; an original
    // may share its opening with no other tune. A tune cut into runs of one meter
    // is one tune.
    std::vector<std::pair<const Melody*, std::vector<int>>> openings;
    std::set<std::string> seen;
    for (const Arrangement& a : AllArrangements())
        for (const Melody* m : a.melodies) {
            if (!seen.insert(m->name).second) continue;
            openings.emplace_back(m, Steps(ReadTune(*m, a.file), 8));
            EXPECT_EQ(openings.back().second.size(), 8u) << m->name;
        }
    for (const auto& [m, steps] : openings) {
        if (!originals.count(m)) continue;
        for (const auto& [other, otherSteps] : openings) {
            if (other == m) continue;
            EXPECT_NE(steps, otherSteps) << m->name << " opens like " << other->name;
        }
    }
    EXPECT_GE(seen.size(), originals.size() + 14);
}

}  // namespace
