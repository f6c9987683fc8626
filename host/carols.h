// Carol playback for one view: after each presented frame the view hands the
// step its elapsed time. The first carol starts 0.1 s in; from then on the
// player is polled every 10 s, and a tune whose time has passed its length
// (latest event + 4 beats) is stopped and the next one started. Any failure to
// load or start a tune turns the music off for the rest of the view's life.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "assets/midi.h"
#include "platform/midi_player.h"

struct SETTINGS;

class Carols {
public:
    static constexpr float kFirstDelay = 0.1f;
    static constexpr float kPollInterval = 10.0f;
    static constexpr double kTailBeats = 4.0;
    // Beats; the player's clock is not trusted at or above this.
    static constexpr double kTimeCeiling = 1e9;

    // `players` may be null: then no tune can start and music turns off at the
    // first attempt. `resourcePath` is the resource folder, with or without "/".
    Carols(MidiPlayerFactory* players, const std::string& resourcePath);
    ~Carols();
    Carols(const Carols&) = delete;
    Carols& operator=(const Carols&) = delete;

    // The carol step. Reads SelectedTune; clears PLAYMUSIC when a tune fails.
    void Step(double dt, SETTINGS* settings);
    // Loads a MIDI file's bytes (null: the file could not be read), measures it
    // and starts a player on it.
    bool PlayMidi(const std::vector<std::uint8_t>* data);
    // The view's destruction: stop the player if music is still on, then
    // dispose of the player and the sequence.
    void Shutdown(bool playMusic);

    bool Playing() const { return player != nullptr; }
    int CurrentTune() const { return currentTune; }
    double SequenceLength() const { return sequenceLength; }
    float MusicDelay() const { return musicDelay; }

private:
    MidiPlayerFactory* players;
    std::string resPath;  // ends in "/"
    std::vector<std::uint8_t> midiData;
    std::unique_ptr<MidiSequence> sequence;
    double sequenceLength = 0.0;
    std::unique_ptr<MidiPlayer> player;
    int currentTune = 0;
    float musicDelay = kFirstDelay;
};
