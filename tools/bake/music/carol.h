// The carols as readable note data, and the reading of that notation.
//
// Notes string: tokens separated by white space; `|` is a bar line. Every full
// bar sums to beatsPerBar beats; the first bar may be a shorter pick-up and the
// last bar may be short.
//   note   LETTER [# or b] OCTAVE ':' DURATION [~]   e.g. "G4:3/2", "F#5:1/2~"
//          (scientific pitch: C4 = middle C = MIDI 60; "~" ties to the next
//          note, which must have the same pitch)
//   rest   r:DURATION
//   DURATION is in beats of beatUnit: "1", "2", "3/2", "1/3", "1.5", "3/4".
// Chords string: the same bars, tokens SYMBOL:DURATION; a symbol is a root
// (A-G with # or b), a quality ("", m, 7, m7, maj7, 6, m6, 9, add9, dim, dim7,
// m7b5, aug, sus2, sus4, 7sus4) and an optional "/BASS"; "N" is no chord. Each
// chord bar lasts exactly as long as the melody's bar of the same number.
//
// Reading errors throw NotationError naming the arrangement's file, the melody,
// the bar (counted from 1, the pick-up being bar 1) and the token.
#pragma once

#include <string>
#include <vector>

#include "tools/bake/paint.h"  // BakeError

// A melody with its harmony, in concert pitch; reused by several arrangements.
struct Melody {
    const char* name;    // "Deck The Halls"
    int beatsPerBar;     // 4 for 4/4, 3 for 3/4, 6 for 6/8
    int beatUnit;        // 4 = durations count quarter notes, 8 = durations count eighth notes
    const char* notes;   // the tune
    const char* chords;  // the harmony, same bar structure
};

enum class Style { Hymn, Choir, MusicBox, Waltz, March, Swing, Rock, Lullaby, Bells, Jig, Ballad };

struct Arrangement {
    const char* file;                     // "music/deck.mid" exactly as in assets/tunes.cpp MusicFiles
    std::vector<const Melody*> melodies;  // one, or several for the medley
    Style style;
    int bpm;          // beats (of beatUnit) per minute
    int transpose;    // semitones applied to everything
    int leadProgram;  // General MIDI program 0-127 for the melody, or -1 for the style's
    int verses;       // times the whole melody is played (>= 1; the last may get a ritardando)
};

// The tables, one per tune file. Each returns arrangements whose melodies are
// statics of that file, so the pointers stay valid for the whole bake.
std::vector<Arrangement> TraditionalA();  // tunes_traditional_a.cpp
std::vector<Arrangement> TraditionalB();  // tunes_traditional_b.cpp
std::vector<Arrangement> Originals();     // tunes_original.cpp
// All of them, in table order.
std::vector<Arrangement> AllArrangements();

struct NotationError : BakeError {
    using BakeError::BakeError;
};

// Positions and lengths while reading are in ticks of kBeatTicks per beat of
// the melody's beatUnit (960 divides by 2, 3, 4, 5, 6, 8, 10, 12, 15, 16, ...).
inline constexpr int kBeatTicks = 960;

struct TimedNote {
    int pitch;   // MIDI key, 0-127
    int start;   // ticks from the melody's first bar line (the pick-up's start is 0)
    int length;  // ticks, ties merged
};

struct ChordSymbol {
    int root = -1;           // pitch class 0-11 (C = 0); -1 for "N", no chord
    int bass = -1;           // pitch class of the bass: the root unless written after "/"
    std::vector<int> tones;  // semitones above the root, ascending, 0 first
};

struct TimedChord {
    ChordSymbol chord;
    int start;   // ticks, as for notes
    int length;  // ticks
};

struct NoteLine {
    std::vector<TimedNote> notes;  // sounding notes in time order; rests leave gaps
    std::vector<int> barTicks;     // length of each bar, first (maybe a pick-up) to last
    int length = 0;                // ticks of the whole line
};

struct ChordLine {
    std::vector<TimedChord> chords;  // "N" kept, root -1
    std::vector<int> barTicks;
    int length = 0;
};

// `where` names the source of the melody in messages (the arrangement's file);
// it may be empty. Both throw NotationError on a bad token or a wrong bar.
NoteLine ParseNotes(const Melody& melody, const std::string& where = {});
ChordLine ParseChords(const Melody& melody, const std::string& where = {});

// A symbol alone, e.g. "D/F#"; throws NotationError (message without context).
ChordSymbol ParseChordSymbol(const std::string& symbol);

// Both lines of a melody, checked against each other: same number of bars,
// each chord bar as long as the melody's bar.
struct Tune {
    const Melody* melody = nullptr;
    NoteLine notes;
    ChordLine chords;
    int barLength = 0;  // ticks of a full bar
};
Tune ReadTune(const Melody& melody, const std::string& where = {});
