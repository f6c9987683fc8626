// The arranger: a carol's melodies and chord symbols become a small band (lead,
// harmony, bass, a countermelody or arpeggio, percussion) written as a standard
// MIDI file. Everything is derived from the notation and the style, so the same
// arrangement always gives the same bytes.
#pragma once

#include <string>
#include <vector>

#include "tools/bake/music/carol.h"
#include "tools/common/lumpwriter.h"  // Bytes

// One instrument part, in MIDI ticks (kSmfDivision per quarter note).
struct PartNote {
    int tick;
    int length;
    int key;
    int velocity;
};

struct Part {
    std::string name;
    int channel = 0;   // 9 is percussion
    int program = 0;   // General MIDI, ignored on channel 9
    int volume = 100;  // controller 7
    int pan = 64;      // controller 10
    int reverb = 40;   // controller 91
    int chorus = 0;    // controller 93
    std::vector<PartNote> notes;
};

struct TempoChange {
    int tick;
    int microsecondsPerQuarter;
};

struct MeterChange {
    int tick;
    int beatsPerBar;
    int beatUnit;
};

// An arranged carol before it is written out.
struct Score {
    std::string title;
    int keySharps = 0;  // key signature, -7..7
    bool minor = false;
    std::vector<TempoChange> tempo;  // the first at tick 0
    std::vector<MeterChange> meter;  // the first at tick 0
    std::vector<Part> parts;         // the lead first
    int end = 0;                     // tick after the last note-off
};

// Throws NotationError (a BakeError) when a melody does not read.
Score Arrange(const Arrangement& arrangement, const std::string& title);
// Format 1: a tempo track (title, meter, key, tempo changes), then one track per part.
Bytes WriteScore(const Score& score);

struct MusicFile {
    std::string name;  // as in MusicFiles, e.g. "music/deck.mid"
    Bytes bytes;
};

// Empty when the arrangements name every MusicFiles entry exactly once and
// nothing else; otherwise a message naming the missing, doubled and unknown files.
std::string CheckMusicTable(const std::vector<Arrangement>& arrangements);
// Every carol, in MusicFiles order; throws BakeError when the table is not
// complete or a melody does not read.
std::vector<MusicFile> BuildMusic();
