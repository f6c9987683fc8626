#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "assets/midi.h"
#include "assets/tunes.h"
#include "tests/scratch.h"
#include "tools/bake/music/arranger.h"
#include "tools/bake/music/carol.h"
#include "tools/bake/music/smf_writer.h"

namespace {
Melody Tune44(const char* notes, const char* chords = nullptr) { return {"Test", 4, 4, notes, chords ? chords : ""}; }

// The message of the NotationError the call throws, or "" when it does not throw.
template <typename F>
std::string ErrorOf(F call) {
    try {
        call();
    } catch (const NotationError& e) {
        return e.what();
    }
    return "";
}

std::vector<int> Pitches(const NoteLine& line) {
    std::vector<int> out;
    for (const TimedNote& n : line.notes) out.push_back(n.pitch);
    return out;
}

const std::vector<Arrangement>& Table() {
    static const std::vector<Arrangement> all = AllArrangements();
    return all;
}

// The arrangement of `file`, failing the test when the table has none.
const Arrangement& Find(const std::string& file) {
    for (const Arrangement& a : Table())
        if (file == a.file) return a;
    ADD_FAILURE() << file << " is not in the table";
    static const Arrangement none{};
    return none;
}

// The first melody of `file` read as a tune, or an empty tune.
Tune Read(const std::string& file) {
    const Arrangement& a = Find(file);
    return a.melodies.empty() ? Tune{} : ReadTune(*a.melodies.front(), file);
}

// Successive pitch steps in semitones of the first `count` notes from `from` ticks on.
std::vector<int> Steps(const Tune& tune, std::size_t count, int from = 0) {
    std::vector<int> pitches;
    for (const TimedNote& n : tune.notes.notes)
        if (n.start >= from && pitches.size() < count + 1) pitches.push_back(n.pitch);
    std::vector<int> steps;
    for (std::size_t i = 1; i < pitches.size(); ++i) steps.push_back(pitches[i] - pitches[i - 1]);
    return steps;
}
}  // namespace

TEST(CarolNotation, PitchesFollowScientificNamesWithAccidentals) {
    const Melody m = Tune44("C4:1 C#4:1 Db4:1 Bb3:1 | A0:1 C8:1 B#4:1 Cb5:1");
    EXPECT_EQ(Pitches(ParseNotes(m)), (std::vector<int>{60, 61, 61, 58, 21, 108, 72, 71}));
}

TEST(CarolNotation, DurationsRestsAndTriplets) {
    const Melody m = Tune44("C4:3/2 D4:1/2 r:1 E4:1/3 F4:1/3 G4:1/3 | A4:1.5 B4:3/4 C5:3/4 D5:1");
    const NoteLine line = ParseNotes(m);
    ASSERT_EQ(line.notes.size(), 9u);
    const int b = kBeatTicks;
    EXPECT_EQ(line.notes[0].length, 3 * b / 2);
    EXPECT_EQ(line.notes[1].start, 3 * b / 2);
    EXPECT_EQ(line.notes[2].start, 3 * b) << "the rest leaves a beat of silence";
    EXPECT_EQ(line.notes[3].start, 3 * b + b / 3);
    EXPECT_EQ(line.notes[5].start, 4 * b) << "three triplets fill exactly one beat";
    EXPECT_EQ(line.notes[6].length, 3 * b / 4);
    EXPECT_EQ(line.length, 8 * b);
    EXPECT_EQ(line.barTicks, (std::vector<int>{4 * b, 4 * b}));
}

TEST(CarolNotation, TiesMergeAcrossBarLines) {
    const NoteLine line = ParseNotes(Tune44("C4:1 G4:3~ | G4:1~ G4:1 E4:2"));
    ASSERT_EQ(line.notes.size(), 3u);
    EXPECT_EQ(line.notes[1].pitch, 67);
    EXPECT_EQ(line.notes[1].length, 5 * kBeatTicks);
    EXPECT_EQ(line.notes[2].start, 6 * kBeatTicks);
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("C4:2~ D4:2")); }).find("same pitch"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("C4:4~")); }).find("tied to nothing"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("r:2~ C4:2")); }), "");
}

TEST(CarolNotation, PickupAndShortLastBarAreAllowedButInnerBarsAreChecked) {
    const Melody compound = {"Test", 6, 8, "D4:1 | G4:3 A4:3 | B4:5", "G:1 | G:3 D:3 | G:5"};
    const Tune tune = ReadTune(compound);
    EXPECT_EQ(tune.notes.barTicks.front(), kBeatTicks);
    EXPECT_EQ(tune.barLength, 6 * kBeatTicks);
    EXPECT_EQ(tune.notes.notes.back().length, 5 * kBeatTicks);
    // A closing bar line after a short last bar is not a mistake.
    EXPECT_NO_THROW(ParseNotes(Tune44("C4:1 | D4:4 | E4:2 |")));

    const std::string shortBar = ErrorOf([] { ParseNotes({"Deck", 4, 4, "C4:1 | D4:4 | E4:3 | F4:4 | G4:2", ""}, "music/x.mid"); });
    EXPECT_NE(shortBar.find("music/x.mid"), std::string::npos) << shortBar;
    EXPECT_NE(shortBar.find("\"Deck\""), std::string::npos) << shortBar;
    EXPECT_NE(shortBar.find("bar 3"), std::string::npos) << shortBar;
    const std::string longBar = ErrorOf([] { ParseNotes(Tune44("C4:4 | D4:2 E4:2 F4:1 | G4:4")); });
    EXPECT_NE(longBar.find("bar 2"), std::string::npos) << longBar;
    EXPECT_NE(longBar.find("F4:1"), std::string::npos) << longBar;
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("C4:5 | D4:4")); }), "") << "a pick-up longer than a bar";
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("C4:4 | | D4:4")); }).find("empty bar"), std::string::npos);
}

TEST(CarolNotation, ChordSymbols) {
    const struct {
        const char* symbol;
        int root;
        std::vector<int> tones;
    } chords[] = {{"C", 0, {0, 4, 7}},        {"F#m", 6, {0, 3, 7}},      {"Bb", 10, {0, 4, 7}},
                  {"Cmaj7", 0, {0, 4, 7, 11}}, {"G7", 7, {0, 4, 7, 10}},   {"Edim", 4, {0, 3, 6}},
                  {"Gsus4", 7, {0, 5, 7}},     {"Cb", 11, {0, 4, 7}},      {"D/F#", 2, {0, 4, 7}}};
    for (const auto& c : chords) {
        EXPECT_EQ(ParseChordSymbol(c.symbol).root, c.root) << c.symbol;
        EXPECT_EQ(ParseChordSymbol(c.symbol).tones, c.tones) << c.symbol;
    }
    EXPECT_EQ(ParseChordSymbol("D/F#").bass, 6);
    EXPECT_EQ(ParseChordSymbol("N").root, -1);
    for (const char* bad : {"H", "Cx", "C/", "C/H", "m7", "", "Cmaj"}) EXPECT_THROW(ParseChordSymbol(bad), NotationError) << bad;
}

TEST(CarolNotation, ChordBarsMustMatchTheMelody) {
    EXPECT_NO_THROW(ReadTune(Tune44("C4:1 | E4:2 G4:2 | C5:4", "C:1 | C:2 G7:2 | C:4")));
    const std::string fewer = ErrorOf([] { ReadTune(Tune44("C4:1 | E4:4 | C5:4", "C:1 | C:4")); });
    EXPECT_NE(fewer.find("bars"), std::string::npos) << fewer;
    const std::string shorter = ErrorOf([] { ReadTune(Tune44("C4:1 | E4:4 | C5:4", "C:1 | C:4 | C:2")); });
    EXPECT_NE(shorter.find("bar 3"), std::string::npos) << shorter;
    const std::string badChord = ErrorOf([] { ReadTune(Tune44("C4:4", "Q:4")); });
    EXPECT_NE(badChord.find("Q:4"), std::string::npos) << badChord;
}

// Every tune is read by the bake itself, which fails on a bad bar; here its
// lead stays in a range a listener can follow: between the G below middle C
// and the C two octaves up, after the arrangement's transposition.
TEST(CarolTables, EveryLeadStaysInAListenersRangeAndTempo) {
    for (const Arrangement& a : Table()) {
        SCOPED_TRACE(a.file);
        EXPECT_GE(a.bpm, 40);
        EXPECT_LE(a.bpm, 260);
        std::size_t bars = 0;
        for (const Melody* m : a.melodies) {
            const Tune tune = ReadTune(*m, a.file);
            for (const TimedNote& n : tune.notes.notes) {
                EXPECT_GE(n.pitch + a.transpose, 55) << m->name;
                EXPECT_LE(n.pitch + a.transpose, 84) << m->name;
            }
            bars += tune.notes.barTicks.size();
        }
        EXPECT_GE(bars, 8u) << "shorter than a verse";
    }
}

TEST(CarolTables, EveryTuneFileIsArrangedExactlyOnce) {
    // The bake refuses a table that fails the check; here it must see each fault.
    static const Melody tiny = Tune44("C4:4", "C:4");
    std::vector<Arrangement> table = AllArrangements();
    table.erase(std::remove_if(table.begin(), table.end(),
                               [](const Arrangement& a) { return std::string(a.file) == "music/hark.mid"; }),
                table.end());
    table.push_back({"music/deck.mid", {&tiny}, Style::Hymn, 90, 0, -1, 1});
    table.push_back({"music/Deck.mid", {&tiny}, Style::Hymn, 90, 0, -1, 1});
    const std::string problem = CheckMusicTable(table);
    EXPECT_NE(problem.find("no arrangement for music/hark.mid"), std::string::npos) << problem;
    EXPECT_NE(problem.find("more than one arrangement for music/deck.mid"), std::string::npos) << problem;
    EXPECT_NE(problem.find("not a tune file: \"music/Deck.mid\""), std::string::npos) << problem;
}

// The melodies are the ones their titles promise, checked on the openings
// everybody knows, as semitone steps so the key does not matter.
TEST(CarolTables, OpeningIntervals) {
    const struct {
        const char* file;
        std::vector<int> steps;
    } openings[] = {
        {"music/deck.mid", {-2, -1, -2, -2}},                  // 5 4 3 2 1
        {"music/hark.mid", {5, 0, -1, 1, 4, 0, -2}},           // 5 1 1 7 1 3 3 2
        {"music/GODREST.MID", {0, 7, 0, -2, -2, -1, -2, -2}},
        {"music/COMYE.MID", {0, -5, 5, 2, -7}},
        {"music/1stnoel.mid", {-2, -2, 2, 2, 1, 2}},
        {"music/BELL.MID", {-1, 1, -3, 3}},
        {"music/ANGELS2.MID", {0, 0, 3, 0, -2, -1}},
        {"music/EMMANUEL.MID", {3, 4, 0, 0, -2, 3}},
        {"music/Awayin.mid", {5, 0, 2, 2, -4}},
        {"music/12days.mid", {0, 0, 5, 0, 0, -1, 1, 2, 2}},
        {"music/silent.mid", {2, -2, -3}},                     // sol-la-sol-mi
        {"music/joy.mid", {-1, -2, -2, -2, -1, -2, -2}},       // the major scale straight down
        {"music/WATCHLD2.MID", {3, 2, 2, 1, -1, -2, -3, -4}},  // Greensleeves: up to the sixth and back
        {"music/OTANNES.MID", {5, 0, 0, 2, 2, 0, 0}},          // a fourth up, three times the tonic
        {"music/wewish.mid", {5, 0, 2, -2, -1, -2, 0, 0}},
        {"music/ITCAME.MID", {9, -2, 0, -2, -3, -2, 2, -2}},   // a sixth up from the pick-up
    };
    for (const auto& o : openings) EXPECT_EQ(Steps(Read(o.file), o.steps.size()), o.steps) << o.file;
}

TEST(CarolTables, MedleyJoinsWithinAFifth) {
    const Arrangement& medley = Find("music/XMASMED.MID");
    ASSERT_GE(medley.melodies.size(), 3u);
    for (std::size_t i = 1; i < medley.melodies.size(); ++i) {
        const Tune before = ReadTune(*medley.melodies[i - 1]);
        const Tune after = ReadTune(*medley.melodies[i]);
        const int step = after.notes.notes.front().pitch - before.notes.notes.back().pitch;
        EXPECT_LE(std::abs(step), 7) << medley.melodies[i - 1]->name << " into " << medley.melodies[i]->name;
    }
}

TEST(CarolTables, TwoArrangementsOfOneMelodySoundDifferent) {
    const std::vector<Arrangement>& all = Table();
    int pairs = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (all[i].melodies != all[j].melodies) continue;
            ++pairs;
            const bool differ = all[i].style != all[j].style || all[i].transpose != all[j].transpose ||
                                all[i].leadProgram != all[j].leadProgram;
            EXPECT_TRUE(differ) << all[i].file << " and " << all[j].file;
        }
    EXPECT_GE(pairs, 4);
}

TEST(CarolTables, OriginalsAreFullSongsAndNoTuneSharesAnotherOpening) {
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

// The cumulative song, runs of 4/4 and 3/4 read one after the other: every day
// opens with "On the ... day of Christmas" and counts one gift more down to the
// partridge, the gold rings from the fifth day on.
TEST(CarolTables, TwelveDaysCountDownEveryDay) {
    std::vector<int> song;
    for (const Melody* m : Find("music/12days.mid").melodies)
        for (const TimedNote& n : ReadTune(*m).notes.notes) song.push_back(n.pitch);
    const int G4 = 67, A4 = 69, B4 = 71, C5 = 72, D5 = 74, E5 = 76, CS5 = 73, FS4 = 66;
    std::vector<std::size_t> days, partridges, rings;
    for (std::size_t i = 0; i < song.size(); ++i) {
        const auto at = [&](const std::vector<int>& motif) {
            return i + motif.size() <= song.size() && std::equal(motif.begin(), motif.end(), &song[i]);
        };
        if (at({G4, G4, G4, FS4, G4, A4, B4, C5, A4, B4})) days.push_back(i);
        if (at({D5, E5, C5, B4, G4, A4, G4})) partridges.push_back(i);
        if (at({D5, E5, CS5, D5})) rings.push_back(i);
    }
    ASSERT_EQ(days.size(), 12u);
    ASSERT_EQ(partridges.size(), 12u);
    ASSERT_EQ(rings.size(), 8u) << "the gold rings come on days 5 to 12";
    // Each day runs from its opening to the next day's; the last to the end.
    std::vector<std::size_t> dayEnds(days.begin() + 1, days.end());
    dayEnds.push_back(song.size());
    for (std::size_t d = 0; d < 12; ++d) EXPECT_LT(partridges[d], dayEnds[d]) << "day " << d + 1;
    for (std::size_t d = 1; d < 12; ++d) {
        EXPECT_GT(partridges[d] - days[d], partridges[d - 1] - days[d - 1]) << "one gift more on day " << d + 1;
    }
    for (std::size_t d = 4; d < 12; ++d) {
        EXPECT_GT(rings[d - 4], days[d]) << "the gold rings of day " << d + 1;
        EXPECT_LT(rings[d - 4], partridges[d]) << "the gold rings of day " << d + 1;
    }
}

TEST(Arranger, LeadTransposeVersesAndEnding) {
    static const Melody m = {"Scale", 4, 4, "G4:1 | C4:1 D4:1 E4:1 F4:1 | G4:2 E4:2 | C4:3", "G7:1 | C:4 | C:2 G7:2 | C:3"};
    const Score plain = Arrange({"music/x.mid", {&m}, Style::Hymn, 120, 0, -1, 1}, "Scale");
    ASSERT_FALSE(plain.parts.empty());
    const Part& lead = plain.parts[0];
    EXPECT_EQ(lead.channel, 0);
    EXPECT_EQ(lead.program, 19) << "a hymn is led by the church organ";
    std::vector<int> keys;
    for (const PartNote& n : lead.notes) keys.push_back(n.key);
    EXPECT_EQ(keys, (std::vector<int>{67, 60, 62, 64, 65, 67, 64, 60}));
    // The pick-up ends on a bar line: the first full bar starts on a multiple of the bar.
    EXPECT_EQ(lead.notes[1].tick % (4 * kSmfDivision), 0);
    EXPECT_EQ(lead.notes.back().tick + lead.notes.back().length, plain.end) << "the last note is held to the end";
    EXPECT_GT(plain.tempo.back().microsecondsPerQuarter, plain.tempo.front().microsecondsPerQuarter * 5 / 4)
        << "a ritardando";
    EXPECT_EQ(plain.tempo.front().microsecondsPerQuarter, 500000);

    const Score moved = Arrange({"music/x.mid", {&m}, Style::Hymn, 120, 3, 73, 2}, "Scale");
    EXPECT_EQ(moved.parts[0].program, 73);
    ASSERT_EQ(moved.parts[0].notes.size(), 2 * lead.notes.size());
    for (std::size_t i = 0; i < lead.notes.size(); ++i) EXPECT_EQ(moved.parts[0].notes[i].key, lead.notes[i].key + 3);
}

TEST(Arranger, StylesBringTheirBands) {
    static const Melody m = {"Waltz", 3, 4, "G4:3 | E4:2 C4:1 | D4:3 | C4:3", "C:3 | Am:3 | G7:3 | C:3"};
    auto channels = [](const Score& s) {
        std::set<int> out;
        for (const Part& p : s.parts) out.insert(p.channel);
        return out;
    };
    EXPECT_EQ(channels(Arrange({"music/x.mid", {&m}, Style::Rock, 140, 0, -1, 1}, "x")), (std::set<int>{0, 1, 2, 9}));
    // A music box has strings under it to carry the harmony; a lullaby has a bass.
    for (Style style : {Style::MusicBox, Style::Lullaby})
        EXPECT_EQ(channels(Arrange({"music/x.mid", {&m}, style, 140, 0, -1, 1}, "x")), (std::set<int>{0, 1, 2, 3}));
    // Waltz: the harmony never sounds on the first beat of a bar, where the bass plays.
    const Score waltz = Arrange({"music/x.mid", {&m}, Style::Waltz, 140, 0, -1, 1}, "x");
    const int bar = 3 * kSmfDivision;
    for (const Part& p : waltz.parts) {
        if (p.name != "Harmony") continue;
        for (const PartNote& n : p.notes) {
            if (n.tick >= waltz.end - 2 * bar) break;  // the held final chord
            EXPECT_NE(n.tick % bar, 0) << "oom-pah-pah";
        }
    }
}

// The whole bake: every file of the table read as the saver reads it (the
// writer's bytes with it), long enough to be a carol, its notes all ending,
// the lead above the band, not too many notes at once, and the same bytes as
// the build's own bake.
TEST(BakedMusic, ValidDeterministicAndBalanced) {
    struct Note {
        std::size_t track;
        int channel, key, velocity;
        long on, off;
    };
    const std::vector<MusicFile> first = BuildMusic();
    ASSERT_EQ(first.size(), static_cast<std::size_t>(kTuneCount));
    for (int i = 0; i < kTuneCount; ++i) {
        const MusicFile& file = first[i];
        SCOPED_TRACE(file.name);
        EXPECT_EQ(file.name, MusicFiles[i]);
        MidiSequence smf;
        std::string error;
        ASSERT_TRUE(LoadMidi(file.bytes.data(), file.bytes.size(), &smf, &error)) << error;
        EXPECT_EQ(smf.format, 1);
        EXPECT_EQ(smf.division, kSmfDivision);
        ASSERT_GE(smf.TrackCount(), 3u);
        double end = 0;
        std::vector<Note> notes;
        for (std::size_t t = 0; t < smf.TrackCount(); ++t) {
            end = std::max(end, smf.tracks[t].endBeat);
            for (const MidiEvent& e : smf.tracks[t].events) {
                if (e.type != MidiEventType::Note) continue;
                const long on = static_cast<long>(e.tick);
                const long off = on + std::lround(e.duration * kSmfDivision);
                notes.push_back({t, e.channel, e.data1, e.data2, on, off});
            }
        }
        // A verse and a chorus at the least, and not so long that the next carol never comes.
        EXPECT_GT(smf.tempo.SecondsAt(MidiSequenceLength(smf)), 30.0);
        EXPECT_LT(smf.tempo.SecondsAt(end), 300.0);
        EXPECT_GE(notes.size(), 100u);

        long leadVelocity = 0, leadCount = 0, bandVelocity = 0, bandCount = 0;
        std::vector<std::pair<long, int>> edges;
        for (const Note& n : notes) {
            EXPECT_GT(n.off, n.on);
            (n.track == 1 ? leadVelocity : bandVelocity) += n.velocity;
            (n.track == 1 ? leadCount : bandCount) += 1;
            edges.push_back({n.on, 1});
            edges.push_back({n.off, -1});
        }
        ASSERT_GT(leadCount, 20);
        ASSERT_GT(bandCount, 0);
        EXPECT_GT(leadVelocity / leadCount, bandVelocity / bandCount + 15);
        std::sort(edges.begin(), edges.end());  // offs (-1) before ons at the same tick
        int sounding = 0, most = 0;
        for (const auto& [tick, change] : edges) most = std::max(most, sounding += change);
        EXPECT_LE(most, 12);

        // The tune stays on top, in a range a player would give it, and the band
        // never rubs a semitone against it; every band has a bass.
        int above = 0, rubs = 0, lowest = 127, highest = 0;
        for (const Note& m : notes) {
            if (m.track == 1) highest = std::max(highest, m.key);
            if (m.track != 1 && m.channel != 9) lowest = std::min(lowest, m.key);
            if (m.track != 1) continue;
            for (const Note& n : notes) {
                // Legato slack: an eighth of a beat, or half a quick tune note.
                const long overlap = std::min(m.off, n.off) - std::max(m.on, n.on);
                const long slack = std::min<long>(kSmfDivision / 8, (m.off - m.on) / 2);
                if (n.track == 1 || n.channel == 9 || overlap <= slack) continue;
                const int interval = ((n.key - m.key) % 12 + 12) % 12;
                above += n.key > m.key;
                rubs += interval == 1 || interval == 11;
            }
        }
        EXPECT_EQ(above, 0);
        EXPECT_EQ(rubs, 0);
        EXPECT_LE(highest, 88);
        EXPECT_LE(lowest, 48);
    }
    // The same bytes as the build baked in another process: what ships is what was judged.
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::string baked = ReadBytes(std::string(FROSTVALE_BAKED_DIR) + "/" + first[i].name);
        EXPECT_EQ(Bytes(baked.begin(), baked.end()), first[i].bytes) << first[i].name;
    }
}
