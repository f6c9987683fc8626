#pragma once

// The carol table: the MIDI file of each tune (relative to the resource folder) and the title shown
// in the settings. The store keeps a tune's index, so the order here is part of the file format.

inline constexpr int kTuneCount = 58;        // tunes with a file
inline constexpr int kRandomTune = 58;       // the extra menu entry: a random carol each time
inline constexpr int kTuneMenuCount = 59;    // titles in the menu, the random choice last

extern const char* const MusicFiles[kTuneCount];
extern const char* const TuneNames[kTuneMenuCount];

