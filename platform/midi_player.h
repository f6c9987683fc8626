// What the carol step needs of a MIDI player: the host's sequence player
// services, narrowed to the calls the step makes. The real one plays through
// FluidSynth (platform/fluid_player.h); tests drive the step with fakes.
#pragma once

#include <memory>

struct MidiSequence;

class MidiPlayer {
public:
    // Destroying a player disposes of it; one still playing falls silent first.
    virtual ~MidiPlayer() = default;
    // Takes what it needs from the sequence; the sequence may go away afterwards.
    virtual bool SetSequence(const MidiSequence& sequence) = 0;
    // Plays from the start on the player's own thread.
    virtual bool Start() = 0;
    virtual void Stop() = 0;
    // The position in beats; it keeps growing after the last event.
    virtual bool GetTime(double* beats) const = 0;
};

class MidiPlayerFactory {
public:
    virtual ~MidiPlayerFactory() = default;
    // Null when no player can be made (for example no soundfont).
    virtual std::unique_ptr<MidiPlayer> NewPlayer() = 0;
};
