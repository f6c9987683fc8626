// Carols through FluidSynth with a General MIDI soundfont from Debian.
//
// The player plays our own parsed sequence: its events are turned into one
// time-ordered list of messages in samples, and the audio driver's callback
// sends the due ones to the synth before rendering each block, on FluidSynth's
// own audio thread. The offline renderer runs the same schedule through
// fluid_synth_write_s16, so what a WAV holds is what the saver plays.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi_player.h"

struct MidiSequence;

// The first General MIDI soundfont found at Debian's usual places, or "".
std::string FindGeneralMidiSoundFont();

// One synth with the soundfont loaded, shared by the players of one factory:
// loading the font is far too slow to repeat for every carol.
class FluidSynthRig;

class FluidPlayerFactory final : public MidiPlayerFactory {
public:
    // `soundFont` "" means the first one FindGeneralMidiSoundFont finds.
    explicit FluidPlayerFactory(std::string soundFont = "");
    ~FluidPlayerFactory() override;
    // Starts loading the soundfont on a thread of its own (a large one takes
    // most of a second), so that the first carol does not stall a frame.
    void Preload();
    std::unique_ptr<MidiPlayer> NewPlayer() override;
    // Why NewPlayer gave no player ("" while it has, or has not been asked).
    const std::string& Failure() const { return failure_; }

private:
    struct Loaded {
        std::unique_ptr<FluidSynthRig> rig;
        std::string failure;
    };
    std::string soundFont_;
    std::future<Loaded> loading_;
    std::unique_ptr<FluidSynthRig> rig_;
    std::string failure_;
    bool rigTried_ = false;
};

inline constexpr int kOfflineSampleRate = 44100;

// Renders `seconds` of the sequence, from its start, as interleaved 16-bit
// stereo at 44.1 kHz, without any audio device.
bool RenderMidiOffline(const MidiSequence& sequence, double seconds, std::vector<std::int16_t>* stereo,
                       std::string* error, const std::string& soundFont = "");
