#include "platform/fluid_player.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "midi/sequence.h"
#include "platform/signals.h"

namespace {
// FluidSynth renders in blocks of this many frames; due messages are sent
// before each, so timing is good to about 1.5 ms at 44.1 kHz.
constexpr int kBlock = 64;

// A saver has no console: without a sound device or soundfont the music just
// stays off, so neither FluidSynth nor ALSA may talk on stderr.
void SilentFluidLog(int, const char*, void*) {}
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, SilentFluidLog, nullptr);
        snd_lib_error_set_handler(SilentAlsaError);
    });
}

enum class MessageKind : std::uint8_t { NoteOff, NoteOn, KeyPressure, Control, Program, ChannelPressure, PitchBend, Sysex };

struct Message {
    std::uint64_t sample;
    std::uint32_t dataOffset;
    std::uint32_t dataSize;
    MessageKind kind;
    std::uint8_t channel;
    std::uint8_t data1;
    std::uint8_t data2;
};

// The whole sequence as one list of synth messages in sample order, built once
// when a tune starts so that the audio thread only walks it.
class MidiSchedule {
public:
    MidiSchedule(const MidiSequence& sequence, double sampleRate) : tempo_(sequence.tempo), sampleRate_(sampleRate) {
        data_ = sequence.data;
        std::size_t count = 0;
        for (const MidiTrack& t : sequence.tracks) count += t.events.size();
        messages_.reserve(count * 2);
        const auto at = [&](double beat) {
            return static_cast<std::uint64_t>(std::llround(std::max(0.0, tempo_.SecondsAt(beat)) * sampleRate_));
        };
        for (const MidiTrack& track : sequence.tracks) {
            for (const MidiEvent& e : track.events) {
                Message m{at(e.beat), e.dataOffset, e.dataSize, MessageKind::NoteOn, e.channel, e.data1, e.data2};
                switch (e.type) {
                    case MidiEventType::Note: {
                        messages_.push_back(m);
                        Message off = m;
                        off.kind = MessageKind::NoteOff;
                        // A note of no length still sounds for one block rather than hang.
                        off.sample = std::max(at(e.beat + e.duration), m.sample + 1);
                        messages_.push_back(off);
                        continue;
                    }
                    case MidiEventType::KeyPressure: m.kind = MessageKind::KeyPressure; break;
                    case MidiEventType::Control: m.kind = MessageKind::Control; break;
                    case MidiEventType::Program: m.kind = MessageKind::Program; break;
                    case MidiEventType::ChannelPressure: m.kind = MessageKind::ChannelPressure; break;
                    case MidiEventType::PitchBend: m.kind = MessageKind::PitchBend; break;
                    case MidiEventType::Sysex: m.kind = MessageKind::Sysex; break;
                    default: continue;  // meta events and raw F7 packets mean nothing to a synth
                }
                messages_.push_back(m);
            }
        }
        // A note ending where the next one on its key starts must be released first.
        std::stable_sort(messages_.begin(), messages_.end(), [](const Message& a, const Message& b) {
            if (a.sample != b.sample) return a.sample < b.sample;
            return a.kind == MessageKind::NoteOff && b.kind != MessageKind::NoteOff;
        });
    }

    void Rewind() { next_ = 0; }

    // Sends every message due at or before `sample`.
    void DispatchDue(fluid_synth_t* synth, std::uint64_t sample) {
        while (next_ < messages_.size() && messages_[next_].sample <= sample) Send(synth, messages_[next_++]);
    }

    double BeatAtSample(std::uint64_t sample) const { return tempo_.BeatAt(static_cast<double>(sample) / sampleRate_); }

private:
    void Send(fluid_synth_t* synth, const Message& m) {
        switch (m.kind) {
            case MessageKind::NoteOff: fluid_synth_noteoff(synth, m.channel, m.data1); break;
            case MessageKind::NoteOn: fluid_synth_noteon(synth, m.channel, m.data1, m.data2); break;
            case MessageKind::KeyPressure: fluid_synth_key_pressure(synth, m.channel, m.data1, m.data2); break;
            case MessageKind::Control: fluid_synth_cc(synth, m.channel, m.data1, m.data2); break;
            case MessageKind::Program: fluid_synth_program_change(synth, m.channel, m.data1); break;
            case MessageKind::ChannelPressure: fluid_synth_channel_pressure(synth, m.channel, m.data1); break;
            case MessageKind::PitchBend: fluid_synth_pitch_bend(synth, m.channel, m.data1 | (m.data2 << 7)); break;
            case MessageKind::Sysex: {
                // The stored bytes follow the F0 and usually end with F7, which FluidSynth does not want.
                int size = static_cast<int>(m.dataSize);
                const char* bytes = reinterpret_cast<const char*>(data_.data() + m.dataOffset);
                if (size > 0 && static_cast<std::uint8_t>(bytes[size - 1]) == 0xF7) --size;
                if (size > 0) fluid_synth_sysex(synth, bytes, size, nullptr, nullptr, nullptr, 0);
                break;
            }
        }
    }

    MidiTempoMap tempo_;
    double sampleRate_;
    std::vector<std::uint8_t> data_;
    std::vector<Message> messages_;
    std::size_t next_ = 0;
};

// Renders `frames` frames a block at a time, sending due messages before each
// block; `render(offset, count)` writes one block.
template <typename Render>
std::uint64_t RenderScheduled(MidiSchedule& schedule, fluid_synth_t* synth, std::uint64_t position, int frames,
                              Render&& render) {
    int done = 0;
    while (done < frames) {
        schedule.DispatchDue(synth, position);
        const int count = std::min(kBlock, frames - done);
        render(done, count);
        done += count;
        position += static_cast<std::uint64_t>(count);
    }
    return position;
}

std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> NewSettings() {
    QuietLibraries();
    std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> settings(new_fluid_settings(),
                                                                             delete_fluid_settings);
    if (settings) {
        fluid_settings_setnum(settings.get(), "synth.sample-rate", kOfflineSampleRate);
        // The carols are arranged to one loudness with the lead at full velocity,
        // peaking between -15 and -9 dBFS at 0.3; 0.5 (+4.4 dB) spends most of
        // the headroom that leaves while the loudest carol still peaks near -4.
        fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
        // Only the instruments a carol selects are read from the soundfont (when
        // its programs are set, at its start): a few megabytes instead of all 141
        // of FluidR3, and a fifth of the loading time.
        fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
    }
    return settings;
}

int Silence(void*, int len, int, float*[], int nout, float* out[]) {
    for (int i = 0; i < nout; ++i) std::fill_n(out[i], len, 0.0f);
    return FLUID_OK;
}

bool HasOption(fluid_settings_t* settings, const char* name, const char* option) {
    struct Search {
        const char* option;
        bool found;
    } search{option, false};
    fluid_settings_foreach_option(settings, name, &search, [](void* data, const char*, const char* value) {
        auto* s = static_cast<Search*>(data);
        if (std::strcmp(s->option, value) == 0) s->found = true;
    });
    return search.found;
}
}  // namespace

std::string FindGeneralMidiSoundFont() {
    namespace fs = std::filesystem;
    // The soundfont we install first, then what the user chose through Debian's
    // alternatives. Compressed .sf3 fonts come last: decoding one takes seconds.
    const char* const candidates[] = {
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf3/default-GM.sf3",
        "/usr/share/sounds/sf3/MuseScore_General.sf3",
    };
    std::error_code ec;
    for (const char* path : candidates) {
        if (fs::is_regular_file(path, ec)) return path;
    }
    for (const char* dir : {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3"}) {
        // MuseScore_General.sf2, MuseScore_General_Lite.sf3, ...
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("MuseScore_General", 0) == 0 && fs::is_regular_file(it->path(), ec)) return it->path();
        }
    }
    return "";
}

class FluidSynthRig {
public:
    enum class Output { Device, Offline };

    static std::unique_ptr<FluidSynthRig> Create(const std::string& soundFont, Output output, std::string* error) {
        auto rig = std::unique_ptr<FluidSynthRig>(new FluidSynthRig);
        if (!rig->settings_) {
            *error = "FluidSynth could not be set up";
            return nullptr;
        }
        // Reading the soundfont costs time and memory: a machine with nothing
        // to play it on, a daemon's session without a sound server, should not
        // pay for it.
        if (output == Output::Device && !rig->HasDevice()) {
            *error = "there is no sound device to play carols on";
            return nullptr;
        }
        const std::string path = soundFont.empty() ? FindGeneralMidiSoundFont() : soundFont;
        if (path.empty()) {
            *error = "no General MIDI soundfont is installed (looked in /usr/share/sounds/sf2 and sf3)";
            return nullptr;
        }
        rig->synth_ = new_fluid_synth(rig->settings_.get());
        if (rig->synth_ == nullptr) {
            *error = "FluidSynth could not create a synthesizer";
            return nullptr;
        }
        if (fluid_synth_sfload(rig->synth_, path.c_str(), 1) == FLUID_FAILED) {
            *error = "the soundfont \"" + path + "\" could not be loaded";
            return nullptr;
        }
        double rate = kOfflineSampleRate;
        fluid_settings_getnum(rig->settings_.get(), "synth.sample-rate", &rate);
        rig->sampleRate_ = rate;
        return rig;
    }
    ~FluidSynthRig() {
        if (synth_) delete_fluid_synth(synth_);
    }

    fluid_settings_t* Settings() const { return settings_.get(); }
    fluid_synth_t* Synth() const { return synth_; }
    double SampleRate() const { return sampleRate_; }

    // Every note and controller back to where a new tune expects it.
    void Reset() { fluid_synth_system_reset(synth_); }

    // Starts an audio driver that calls `func`: the desktop's sound server if
    // there is one, else ALSA. JACK is left out: it would try to start a server.
    fluid_audio_driver_t* StartDriver(fluid_audio_func_t func, void* data) {
        if (noDevice_) return nullptr;
        for (const char* name : {"pipewire", "pulseaudio", "alsa"}) {
            if (!HasOption(settings_.get(), "audio.driver", name)) continue;
            fluid_settings_setstr(settings_.get(), "audio.driver", name);
            if (fluid_audio_driver_t* driver = new_fluid_audio_driver2(settings_.get(), func, data)) return driver;
        }
        noDevice_ = true;  // probing again for every carol would only stall frames
        return nullptr;
    }

private:
    FluidSynthRig() : settings_(NewSettings()) {}

    bool HasDevice() {
        fluid_audio_driver_t* probe = StartDriver(&Silence, nullptr);
        if (probe == nullptr) return false;
        delete_fluid_audio_driver(probe);
        return true;
    }

    std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> settings_;
    fluid_synth_t* synth_ = nullptr;
    double sampleRate_ = kOfflineSampleRate;
    bool noDevice_ = false;
};

namespace {
class FluidPlayer final : public MidiPlayer {
public:
    explicit FluidPlayer(FluidSynthRig* rig) : rig_(rig) {}
    ~FluidPlayer() override { Stop(); }

    bool SetSequence(const MidiSequence& sequence) override {
        if (driver_) return false;
        schedule_ = std::make_unique<MidiSchedule>(sequence, rig_->SampleRate());
        return true;
    }

    bool Start() override {
        if (!schedule_) return false;
        Stop();
        rig_->Reset();
        schedule_->Rewind();
        position_.store(0, std::memory_order_relaxed);
        driver_ = rig_->StartDriver(&FluidPlayer::Render, this);
        return driver_ != nullptr;
    }

    void Stop() override {
        if (!driver_) return;
        delete_fluid_audio_driver(driver_);  // joins the audio thread
        driver_ = nullptr;
        fluid_synth_all_sounds_off(rig_->Synth(), -1);
    }

    bool GetTime(double* beats) const override {
        if (!schedule_) return false;
        *beats = schedule_->BeatAtSample(position_.load(std::memory_order_acquire));
        return true;
    }

private:
    // On FluidSynth's audio thread. Drivers without effect buffers get the
    // reverb and chorus mixed into the dry output.
    static int Render(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
        // Silence from the moment the run is asked to end: the main thread may
        // be busy with a frame for a while before it gets to stop the player.
        if (QuitRequested()) return Silence(data, len, nfx, fx, nout, out);
        auto* self = static_cast<FluidPlayer*>(data);
        fluid_synth_t* synth = self->rig_->Synth();
        std::uint64_t position = self->position_.load(std::memory_order_relaxed);
        int status = FLUID_OK;
        position = RenderScheduled(*self->schedule_, synth, position, len, [&](int offset, int count) {
            float* dry[2] = {out[0] + offset, out[nout > 1 ? 1 : 0] + offset};
            if (nfx == 0) {
                float* wet[4] = {dry[0], dry[1], dry[0], dry[1]};
                if (fluid_synth_process(synth, count, 4, wet, 2, dry) != FLUID_OK) status = FLUID_FAILED;
            } else {
                float* wet[8];
                const int n = std::min(nfx, 8);
                for (int i = 0; i < n; ++i) wet[i] = fx[i] + offset;
                if (fluid_synth_process(synth, count, n, wet, 2, dry) != FLUID_OK) status = FLUID_FAILED;
            }
        });
        self->position_.store(position, std::memory_order_release);
        return status;
    }

    FluidSynthRig* rig_;
    std::unique_ptr<MidiSchedule> schedule_;
    fluid_audio_driver_t* driver_ = nullptr;
    std::atomic<std::uint64_t> position_{0};
};
}  // namespace

FluidPlayerFactory::FluidPlayerFactory(std::string soundFont) : soundFont_(std::move(soundFont)) {}
FluidPlayerFactory::~FluidPlayerFactory() {
    if (loading_.valid()) loading_.wait();
}

void FluidPlayerFactory::Preload() {
    if (rigTried_ || loading_.valid()) return;
    loading_ = std::async(std::launch::async, [font = soundFont_] {
        Loaded loaded;
        loaded.rig = FluidSynthRig::Create(font, FluidSynthRig::Output::Device, &loaded.failure);
        return loaded;
    });
}

std::unique_ptr<MidiPlayer> FluidPlayerFactory::NewPlayer() {
    if (!rigTried_) {
        Preload();
        Loaded loaded = loading_.get();
        rig_ = std::move(loaded.rig);
        failure_ = std::move(loaded.failure);
        rigTried_ = true;
    }
    if (!rig_) return nullptr;
    return std::make_unique<FluidPlayer>(rig_.get());
}

bool RenderMidiOffline(const MidiSequence& sequence, double seconds, std::vector<std::int16_t>* stereo,
                       std::string* error, const std::string& soundFont) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    stereo->clear();
    if (!(seconds >= 0.0) || seconds > 24.0 * 3600.0) {
        *error = "the length to render must be between 0 and 24 hours";
        return false;
    }
    auto rig = FluidSynthRig::Create(soundFont, FluidSynthRig::Output::Offline, error);
    if (!rig) return false;
    MidiSchedule schedule(sequence, rig->SampleRate());
    const auto frames = static_cast<std::uint64_t>(std::llround(seconds * rig->SampleRate()));
    stereo->assign(frames * 2, 0);
    std::uint64_t position = 0;
    while (position < frames) {
        const int chunk = static_cast<int>(std::min<std::uint64_t>(frames - position, 4096));
        std::int16_t* base = stereo->data() + position * 2;
        position = RenderScheduled(schedule, rig->Synth(), position, chunk, [&](int offset, int count) {
            fluid_synth_write_s16(rig->Synth(), count, base, offset * 2, 2, base, offset * 2 + 1, 2);
        });
    }
    return true;
}
