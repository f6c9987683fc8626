// Standard MIDI files, read into a "sequence" that a player can play and the
// carol step can measure.
//
// Time stamps are in beats (ticks / division). A note is one event at its
// note-on, with its length in beats; tempo changes are taken out of the tracks
// into the tempo map, which turns beats into seconds. End-of-track is not an
// event: it only closes notes that were never released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "midi/sequence.h"

// Parses a whole standard MIDI file (formats 0 and 1, ticks-per-beat
// division). On failure `out` is left empty and `error` says what is wrong.
bool LoadMidi(const void* bytes, std::size_t size, MidiSequence* out, std::string* error);

// The carol length rule: the latest event time stamp over all tracks plus
// `tail` beats; 0 when every track is empty.
double MidiSequenceLength(const MidiSequence& sequence, double tail = 4.0);
