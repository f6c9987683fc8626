// A MIDI player that plays nothing: it records what the carol step asks of it
// and reports whatever time the test sets.
#pragma once

#include <memory>
#include <vector>

#include "assets/midi.h"
#include "platform/midi_player.h"

struct FakePlayerLog {
    int made = 0, started = 0, stopped = 0, disposed = 0, timeReads = 0;  // calls
    int alive = 0;                                                        // players not yet disposed of
    std::vector<std::size_t> trackCounts;  // of each sequence handed over
    double time = 0.0;                     // what every player reports
    bool failMake = false, failStart = false;
};

class FakePlayer final : public MidiPlayer {
public:
    explicit FakePlayer(FakePlayerLog* log) : log_(log) { ++log_->alive; }
    ~FakePlayer() override {
        ++log_->disposed;
        --log_->alive;
    }
    bool SetSequence(const MidiSequence& sequence) override {
        log_->trackCounts.push_back(sequence.TrackCount());
        return true;
    }
    bool Start() override {
        if (log_->failStart) return false;
        ++log_->started;
        return true;
    }
    void Stop() override { ++log_->stopped; }
    bool GetTime(double* beats) const override {
        ++log_->timeReads;
        *beats = log_->time;
        return true;
    }

private:
    FakePlayerLog* log_;
};

class FakePlayerFactory final : public MidiPlayerFactory {
public:
    std::unique_ptr<MidiPlayer> NewPlayer() override {
        if (log.failMake) return nullptr;
        ++log.made;
        return std::make_unique<FakePlayer>(&log);
    }
    FakePlayerLog log;
};
