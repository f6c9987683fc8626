// The real-time FluidSynth player on a device that plays nothing, so that the
// audio thread's clock, stop and restart can be checked on any machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/midi.h"
#include "platform/fluid_player.h"
#include "tests/midi_builder.h"

namespace {
long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}
}  // namespace

// Run by CTest with HOME pointing at an ALSA set-up whose default device is
// "null" (it takes audio as fast as it comes) and no sound server: the audio
// thread really runs, with nothing to hear.
TEST(FluidNullDevice, TheClockRunsPastTheLastEventAndStopFreezesIt) {
    if (std::getenv("FROSTVALE_NULL_AUDIO") == nullptr) GTEST_SKIP() << "needs the null-audio environment";
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    const long before = ResidentKiB();
    FluidPlayerFactory factory;
    factory.Preload();
    auto player = factory.NewPlayer();
    ASSERT_NE(player, nullptr);
    double beats = -1.0;
    EXPECT_FALSE(player->GetTime(&beats)) << "no sequence yet";
    TrackBuilder t;
    t.Program(0, 0, 0).NoteOn(0, 0, 60, 100).NoteOff(96, 0, 60).Sysex(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    const MidiBytes bytes = BuildMidi(0, 96, {t});
    MidiSequence sequence;
    std::string error;
    ASSERT_TRUE(LoadMidi(bytes.data(), bytes.size(), &sequence, &error)) << error;
    ASSERT_TRUE(player->SetSequence(sequence));
    ASSERT_TRUE(player->GetTime(&beats));
    EXPECT_EQ(beats, 0.0) << "a sequence not yet started stands at its start";
    ASSERT_TRUE(player->Start());
    for (int i = 0; i < 200 && beats < 8.0; ++i) {
        usleep(10000);
        ASSERT_TRUE(player->GetTime(&beats));
    }
    EXPECT_GE(beats, 8.0) << "the clock keeps growing after the last event at beat 1";
    // Playing reads the instruments the tune uses, not the whole soundfont.
    // (Under AddressSanitizer the resident size is mostly its own bookkeeping.)
#ifndef __SANITIZE_ADDRESS__
    const std::uintmax_t fontKiB = std::filesystem::file_size(FindGeneralMidiSoundFont()) / 1024;
    EXPECT_LT(ResidentKiB() - before, static_cast<long>(fontKiB / 4)) << "the whole soundfont was loaded";
#else
    static_cast<void>(before);
#endif
    player->Stop();
    double stopped = 0.0, later = 0.0;
    ASSERT_TRUE(player->GetTime(&stopped));
    usleep(20000);
    ASSERT_TRUE(player->GetTime(&later));
    EXPECT_EQ(stopped, later);
    // Starting again plays from the start.
    ASSERT_TRUE(player->Start());
    ASSERT_TRUE(player->GetTime(&beats));
    EXPECT_LT(beats, later);
    player.reset();  // disposing of a playing player
}

// Run by CTest with an ALSA default device that does not exist and no sound
// server: no player, and the device is looked for before the soundfont is
// read (here a missing one: the failure must be the device's).
TEST(FluidNoDevice, NoPlayerAndTheSoundfontIsNotRead) {
    if (std::getenv("FROSTVALE_NO_AUDIO") == nullptr) GTEST_SKIP() << "needs the no-audio environment";
    FluidPlayerFactory factory("/nonexistent/none.sf2");
    factory.Preload();
    EXPECT_EQ(factory.NewPlayer(), nullptr);
    EXPECT_EQ(factory.NewPlayer(), nullptr) << "asked once, refused every time";
    EXPECT_NE(factory.Failure().find("no sound device"), std::string::npos) << factory.Failure();
}
