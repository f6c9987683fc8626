#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "assets/tunes.h"
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

// A small standard MIDI file reader, independent of the writer: every note-on
// must meet its note-off on the same channel and key, in order.
struct ReadNote {
    int track, channel, key, velocity;
    long on, off;
};
struct ReadSmf {
    bool ok = false;
    std::string why;
    int format = -1, division = 0;
    std::vector<ReadNote> notes;
    std::vector<std::pair<long, int>> tempos;  // tick, microseconds per quarter
    std::vector<int> programs;                 // per track, -1 when none
    long lastTick = 0;
    int tracks = 0;
};

ReadSmf Read(const Bytes& b) {
    ReadSmf r;
    auto u32 = [&](std::size_t i) { return (b[i] << 24) | (b[i + 1] << 16) | (b[i + 2] << 8) | b[i + 3]; };
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0 || u32(4) != 6) {
        r.why = "no header";
        return r;
    }
    r.format = (b[8] << 8) | b[9];
    const int count = (b[10] << 8) | b[11];
    r.division = (b[12] << 8) | b[13];
    std::size_t at = 14;
    for (int t = 0; t < count; ++t) {
        if (at + 8 > b.size() || std::memcmp(&b[at], "MTrk", 4) != 0) {
            r.why = "track " + std::to_string(t) + " has no chunk";
            return r;
        }
        const std::size_t end = at + 8 + static_cast<std::size_t>(u32(at + 4));
        if (end > b.size()) {
            r.why = "track " + std::to_string(t) + " runs past the file";
            return r;
        }
        std::size_t i = at + 8;
        long tick = 0;
        bool ended = false;
        int program = -1;
        std::map<std::pair<int, int>, std::size_t> open;  // (channel, key) -> note index
        while (i < end && !ended) {
            long delta = 0;
            for (int n = 0; n < 4 && i < end; ++n) {
                delta = (delta << 7) | (b[i] & 0x7f);
                if (!(b[i++] & 0x80)) break;
            }
            tick += delta;
            if (i >= end) break;
            const int status = b[i++];
            if (status == 0xff) {
                const int type = b[i++];
                const int length = b[i++];  // our meta events are all shorter than 128 bytes
                if (type == 0x51) r.tempos.push_back({tick, (b[i] << 16) | (b[i + 1] << 8) | b[i + 2]});
                if (type == 0x2f) ended = true;
                i += length;
            } else if ((status & 0xf0) == 0x90 || (status & 0xf0) == 0x80) {
                const int channel = status & 0x0f, key = b[i], velocity = b[i + 1];
                i += 2;
                const auto id = std::make_pair(channel, key);
                if ((status & 0xf0) == 0x90 && velocity > 0) {
                    if (open.count(id)) {
                        r.why = "key struck again before its note-off";
                        return r;
                    }
                    open[id] = r.notes.size();
                    r.notes.push_back({t, channel, key, velocity, tick, -1});
                } else {
                    auto it = open.find(id);
                    if (it == open.end()) {
                        r.why = "note-off without a note-on";
                        return r;
                    }
                    r.notes[it->second].off = tick;
                    open.erase(it);
                }
            } else if ((status & 0xf0) == 0xc0) {
                program = b[i++];
            } else if ((status & 0xf0) == 0xb0) {
                i += 2;
            } else {
                r.why = "unexpected status byte";
                return r;
            }
            r.lastTick = std::max(r.lastTick, tick);
        }
        if (!ended || i != end) {
            r.why = "track " + std::to_string(t) + " does not end with its end-of-track event";
            return r;
        }
        if (!open.empty()) {
            r.why = "a note is never released";
            return r;
        }
        r.programs.push_back(program);
        at = end;
    }
    r.tracks = count;
    r.ok = at == b.size();
    if (!r.ok) r.why = "bytes after the last track";
    return r;
}

const Melody* FindMelody(const char* name) {
    static const std::vector<Arrangement> all = AllArrangements();
    for (const Arrangement& a : all)
        for (const Melody* m : a.melodies)
            if (std::strcmp(m->name, name) == 0) return m;
    return nullptr;
}

std::vector<int> Steps(const Melody& m, std::size_t count) {
    const NoteLine line = ParseNotes(m);
    std::vector<int> steps;
    for (std::size_t i = 1; i < line.notes.size() && steps.size() < count; ++i)
        steps.push_back(line.notes[i].pitch - line.notes[i - 1].pitch);
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

TEST(CarolNotation, BadTokensNameTheirBar) {
    const char* bad[] = {"H4:1", "C4", "C:1", "C44:1", "C4:0", "C4:x", "C4:1/0", "C4:-1", "A9:1", "C4:1.",
                         "r", "c4:1"};
    for (const char* token : bad) {
        const std::string notes = std::string("C4:4 | ") + token + " C4:3 | D4:4";
        const std::string e = ErrorOf([&] { ParseNotes(Tune44(notes.c_str())); });
        EXPECT_NE(e.find("bar 2"), std::string::npos) << token << ": " << e;
        EXPECT_NE(e.find(token), std::string::npos) << token << ": " << e;
    }
    EXPECT_NE(ErrorOf([] { ParseNotes({"Test", 0, 4, "C4:1", ""}); }), "");
    EXPECT_NE(ErrorOf([] { ParseNotes({"Test", 4, 3, "C4:1", ""}); }), "");
    EXPECT_NE(ErrorOf([] { ParseNotes(Tune44("")); }), "");
}

TEST(CarolNotation, ChordSymbols) {
    const ChordSymbol c = ParseChordSymbol("C");
    EXPECT_EQ(c.root, 0);
    EXPECT_EQ(c.tones, (std::vector<int>{0, 4, 7}));
    const ChordSymbol slash = ParseChordSymbol("D/F#");
    EXPECT_EQ(slash.root, 2);
    EXPECT_EQ(slash.bass, 6);
    EXPECT_EQ(ParseChordSymbol("F#m").root, 6);
    EXPECT_EQ(ParseChordSymbol("F#m").tones, (std::vector<int>{0, 3, 7}));
    EXPECT_EQ(ParseChordSymbol("Bb").root, 10);
    EXPECT_EQ(ParseChordSymbol("Cmaj7").tones, (std::vector<int>{0, 4, 7, 11}));
    EXPECT_EQ(ParseChordSymbol("G7").tones, (std::vector<int>{0, 4, 7, 10}));
    EXPECT_EQ(ParseChordSymbol("Edim").tones, (std::vector<int>{0, 3, 6}));
    EXPECT_EQ(ParseChordSymbol("Gsus4").tones, (std::vector<int>{0, 5, 7}));
    EXPECT_EQ(ParseChordSymbol("Cb").root, 11);
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

// Every tune of every table reads, with its chords bar for bar, in a range a
// voice or a lead instrument can carry.
TEST(CarolTables, EveryMelodyPassesTheBarCheck) {
    const std::vector<Arrangement> all = AllArrangements();
    ASSERT_FALSE(all.empty());
    for (const Arrangement& a : all) {
        ASSERT_FALSE(a.melodies.empty()) << a.file;
        EXPECT_GE(a.verses, 1) << a.file;
        EXPECT_GE(a.bpm, 30) << a.file;
        EXPECT_LE(a.bpm, 260) << a.file;
        std::size_t bars = 0;
        for (const Melody* m : a.melodies) {
            Tune tune;
            ASSERT_NO_THROW(tune = ReadTune(*m, a.file)) << a.file;
            int low = 127, high = 0;
            for (const TimedNote& n : tune.notes.notes) low = std::min(low, n.pitch), high = std::max(high, n.pitch);
            EXPECT_GE(low, 48) << m->name;
            EXPECT_LE(high, 84) << m->name;
            bars += tune.notes.barTicks.size();
        }
        EXPECT_GE(bars, 8u) << a.file << " is shorter than a verse";
    }
}

TEST(CarolTables, EveryTuneFileIsArrangedExactlyOnce) {
    EXPECT_EQ(CheckMusicTable(AllArrangements()), "");

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

// The openings people know, checked as semitone steps so the key does not matter.
TEST(CarolTables, OpeningIntervals) {
    struct Opening {
        const char* name;
        std::vector<int> steps;
    };
    const Opening openings[] = {
        {"Deck The Halls", {-2, -1, -2, -2}},                  // 5 4 3 2 1
        {"Hark The Herald Angels Sing", {5, 0, -1, 1, 4, 0, -2}},  // 5 1 1 7 1 3 3 2
        {"God Rest Ye Merry Gentlemen", {0, 7, 0, -2, -2, -1, -2, -2}},
        {"O Come All Ye Faithful", {0, -5, 5, 2, -7}},
        {"The First Noel", {-2, -2, 2, 2, 1, 2}},
        {"Carol Of The Bells", {-1, 1, -3, 3}},
        {"Angels We Have Heard On High", {0, 0, 3, 0, -2, -1}},
        {"O Come O Come Emmanuel", {3, 4, 0, 0, -2, 3}},
        {"Away In A Manger", {5, 0, 2, 2, -4}},
        {"12 Days of Christmas", {0, 0, 5, 0, 0, -1, 1, 2, 2}},
    };
    for (const Opening& o : openings) {
        const Melody* m = FindMelody(o.name);
        ASSERT_NE(m, nullptr) << o.name;
        EXPECT_EQ(Steps(*m, o.steps.size()), o.steps) << o.name;
    }
}

// The cumulative song, runs of 4/4 and 3/4 read one after the other: every day
// opens with "On the ... day of Christmas" and counts its gifts down to the
// partridge, the gold rings from the fifth day on, then the calling birds and
// French hens in quarters, in bars of three.
TEST(CarolTables, TwelveDaysCountDownEveryDay) {
    const auto all = AllArrangements();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [](const Arrangement& a) { return std::string(a.file) == "music/12days.mid"; });
    ASSERT_NE(it, all.end());
    struct Note {
        int pitch, length, beatsPerBar;
    };
    std::vector<Note> song;
    for (const Melody* m : it->melodies)
        for (const TimedNote& n : ReadTune(*m).notes.notes) song.push_back({n.pitch, n.length, m->beatsPerBar});
    auto at = [&](std::size_t i, const std::vector<int>& pitches) {
        for (std::size_t k = 0; k < pitches.size(); ++k)
            if (i + k >= song.size() || song[i + k].pitch != pitches[k]) return false;
        return true;
    };
    const int G4 = 67, A4 = 69, B4 = 71, C5 = 72, D5 = 74, E5 = 76, CS5 = 73, D4 = 62, E4 = 64, FS4 = 66;
    std::vector<std::size_t> days, partridges, rings, birds;
    for (std::size_t i = 0; i < song.size(); ++i) {
        if (at(i, {G4, G4, G4, FS4, G4, A4, B4, C5, A4, B4})) days.push_back(i);
        if (at(i, {D5, E5, C5, B4, G4, A4, G4})) partridges.push_back(i);
        if (at(i, {D5, E5, CS5, D5})) rings.push_back(i);
        if (at(i, {D5, C5, B4, A4, G4, C5, E4, G4})) birds.push_back(i);
    }
    ASSERT_EQ(days.size(), 12u);
    ASSERT_EQ(partridges.size(), 12u);
    EXPECT_EQ(rings.size(), 8u) << "the gold rings come on days 5 to 12";
    ASSERT_EQ(birds.size(), 8u);
    for (std::size_t d = 0; d < 12; ++d) {
        // The gifts between the day's opening and its partridge: one more every day.
        const std::size_t gifts = partridges[d] - days[d];
        if (d > 0) {
            EXPECT_GT(gifts, partridges[d - 1] - days[d - 1]) << "day " << d + 1;
        }
        EXPECT_LT(partridges[d], d + 1 < 12 ? days[d + 1] : song.size());
        if (d >= 4) {
            EXPECT_TRUE(rings[d - 4] > days[d] && rings[d - 4] < partridges[d]) << "day " << d + 1;
        }
    }
    for (std::size_t b : birds) {
        const std::vector<int> lengths{480, 480, 480, 480, 960, 960, 960, 960};
        for (std::size_t k = 0; k < lengths.size(); ++k) {
            EXPECT_EQ(song[b + k].length, lengths[k]) << "note " << k;
            EXPECT_EQ(song[b + k].beatsPerBar, 3) << "note " << k;
        }
    }
    EXPECT_EQ(song[days[0] - 2].pitch, D4);
}

TEST(SmfWriter, SmallFileByteForByte) {
    std::vector<SmfTrack> tracks(2);
    tracks[0].Tempo(0, 500000);
    tracks[1].Note(0, 480, 0, 60, 100);
    const Bytes expected = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xe0,
                            'M', 'T', 'r', 'k', 0, 0, 0, 11, 0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20, 0x00, 0xff, 0x2f, 0x00,
                            'M', 'T', 'r', 'k', 0, 0, 0, 13, 0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 64, 0x00, 0xff, 0x2f, 0x00};
    EXPECT_EQ(BuildSmf(tracks), expected);
}

TEST(SmfWriter, SameTickOrderAndClamping) {
    SmfTrack track;
    track.Note(0, 240, 1, 64, 90);
    track.Note(240, 240, 1, 64, 200);  // re-struck where the first ends: off comes first
    track.Control(240, 1, 7, 300);
    const Bytes chunk = track.Chunk();
    const Bytes expected = {'M', 'T', 'r', 'k', 0, 0, 0, 26,
                            0x00, 0x91, 64, 90,
                            0x81, 0x70, 0xb1, 7, 127,
                            0x00, 0x81, 64, 64,
                            0x00, 0x91, 64, 127,
                            0x81, 0x70, 0x81, 64, 64,
                            0x00, 0xff, 0x2f, 0x00};
    EXPECT_EQ(chunk, expected);
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

// The whole bake: every file of the table, a valid standard MIDI file whose
// notes all end, the lead above the band, not too many notes at once, and
// the same bytes on a second run.
TEST(BakedMusic, ValidDeterministicAndBalanced) {
    const std::vector<MusicFile> first = BuildMusic();
    ASSERT_EQ(first.size(), static_cast<std::size_t>(kTuneCount));
    for (int i = 0; i < kTuneCount; ++i) {
        const MusicFile& file = first[i];
        EXPECT_EQ(file.name, MusicFiles[i]);
        const ReadSmf smf = Read(file.bytes);
        ASSERT_TRUE(smf.ok) << file.name << ": " << smf.why;
        EXPECT_EQ(smf.format, 1) << file.name;
        EXPECT_EQ(smf.division, kSmfDivision) << file.name;
        ASSERT_GE(smf.tracks, 3) << file.name;
        ASSERT_FALSE(smf.tempos.empty()) << file.name;
        EXPECT_EQ(smf.tempos.front().first, 0) << file.name;
        double seconds = 0;
        for (std::size_t t = 0; t < smf.tempos.size(); ++t) {
            const long until = t + 1 < smf.tempos.size() ? smf.tempos[t + 1].first : smf.lastTick;
            seconds += double(until - smf.tempos[t].first) / kSmfDivision * smf.tempos[t].second / 1e6;
        }
        EXPECT_GT(seconds, 25.0) << file.name;
        EXPECT_LT(seconds, 300.0) << file.name;

        long leadVelocity = 0, leadCount = 0, bandVelocity = 0, bandCount = 0;
        std::vector<std::pair<long, int>> edges;
        for (const ReadNote& n : smf.notes) {
            EXPECT_GT(n.off, n.on) << file.name;
            (n.track == 1 ? leadVelocity : bandVelocity) += n.velocity;
            (n.track == 1 ? leadCount : bandCount) += 1;
            edges.push_back({n.on, 1});
            edges.push_back({n.off, -1});
        }
        ASSERT_GT(leadCount, 20) << file.name;
        ASSERT_GT(bandCount, 0) << file.name;
        EXPECT_GT(leadVelocity / leadCount, bandVelocity / bandCount + 15) << file.name;
        std::sort(edges.begin(), edges.end());  // offs (-1) before ons at the same tick
        int sounding = 0, most = 0;
        for (const auto& [tick, change] : edges) most = std::max(most, sounding += change);
        EXPECT_LE(most, 12) << file.name;

        // The tune stays on top, in a range a player would give it, and the band
        // never rubs a semitone against it; every band has a bass.
        int above = 0, rubs = 0, lowest = 127, highest = 0;
        for (const ReadNote& m : smf.notes) {
            if (m.track == 1) highest = std::max(highest, m.key);
            if (m.track != 1 && m.channel != 9) lowest = std::min(lowest, m.key);
            if (m.track != 1) continue;
            for (const ReadNote& n : smf.notes) {
                // Legato slack: an eighth of a beat, or half a quick tune note.
                const long overlap = std::min(m.off, n.off) - std::max(m.on, n.on);
                const long slack = std::min<long>(kSmfDivision / 8, (m.off - m.on) / 2);
                if (n.track == 1 || n.channel == 9 || overlap <= slack) continue;
                const int interval = ((n.key - m.key) % 12 + 12) % 12;
                above += n.key > m.key;
                rubs += interval == 1 || interval == 11;
            }
        }
        EXPECT_EQ(above, 0) << file.name;
        EXPECT_EQ(rubs, 0) << file.name;
        EXPECT_LE(highest, 88) << file.name;
        EXPECT_LE(lowest, 48) << file.name;
    }
    const std::vector<MusicFile> second = BuildMusic();
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
}
