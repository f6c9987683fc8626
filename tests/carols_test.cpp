// The carol step driven with a fake player and made-up frame times.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "assets/tunes.h"
#include "host/carols.h"
#include "scene/scene_settings.h"
#include "tests/fake_midi_player.h"
#include "tests/midi_builder.h"
#include "tests/scratch.h"

namespace fs = std::filesystem;

namespace {
// Tune i holds one note at beat i, so its length (i + 4 beats) tells which file was loaded.
MidiBytes TuneFile(int index) {
    TrackBuilder t;
    t.Program(0, 0, 0).NoteOn(static_cast<std::uint32_t>(96 * index), 0, 60, 90).NoteOff(96, 0, 60).End();
    return BuildMidi(0, 96, {t});
}

class CarolsTest : public ::testing::Test {
public:
    void SetUp() override {
        for (int i = 0; i < kTuneCount; ++i) WriteBytes(scratch / MusicFiles[i], TuneFile(i));
        settings.PLAYMUSIC = true;
        settings.SelectedTune = 5;
    }

    // Runs the step as the view does: only while music is on.
    void Step(Carols& carols, double dt, int times = 1) {
        for (int i = 0; i < times; ++i)
            if (settings.PLAYMUSIC) carols.Step(dt, &settings);
    }

    TempDir scratch;
    const fs::path dir = scratch.path();
    SETTINGS settings;
    FakePlayerFactory players;
};
}  // namespace

TEST_F(CarolsTest, FirstTuneStartsAfterATenthOfASecondThenPollsEveryTenSeconds) {
    Carols carols(&players, dir.string());  // no trailing "/": the step adds it
    Step(carols, 1.0 / 32, 3);
    EXPECT_EQ(players.log.made, 0);
    Step(carols, 1.0 / 32);  // the first frame past 0.1 s
    ASSERT_EQ(players.log.started, 1);
    EXPECT_EQ(carols.CurrentTune(), 5);
    EXPECT_DOUBLE_EQ(carols.SequenceLength(), 5.0 + 4.0);
    EXPECT_FLOAT_EQ(carols.MusicDelay(), 10.0f);

    // Still playing: polls come once each time 10 s have passed, and leave the tune alone.
    players.log.time = 9.0;
    Step(carols, 0.25, 40);
    EXPECT_EQ(players.log.timeReads, 0);
    Step(carols, 0.25);
    EXPECT_EQ(players.log.timeReads, 1);
    Step(carols, 0.25, 41);
    EXPECT_EQ(players.log.timeReads, 2);
    EXPECT_EQ(players.log.made, 1);
    EXPECT_EQ(players.log.stopped, 0);
}

// A player clock at or above 10^9 beats is taken for a broken clock, not the end.
TEST_F(CarolsTest, TheTuneEndsOnlyWhenItsTimeIsPastItsLength) {
    Carols carols(&players, dir.string() + "/");
    Step(carols, 0.2);
    ASSERT_EQ(players.log.started, 1);
    for (double time : {9.0, 1e9, 5e12}) {  // exactly the length: not yet over
        players.log.time = time;
        Step(carols, 10.5);
        EXPECT_EQ(players.log.stopped, 0) << time;
    }
    players.log.time = 9.001;
    Step(carols, 10.5);
    EXPECT_EQ(players.log.stopped, 1);
    EXPECT_EQ(players.log.disposed, 1);
    EXPECT_EQ(players.log.started, 2) << "the next tune starts at the same check";
    EXPECT_EQ(players.log.alive, 1);
    players.log.time = 1e9 - 1.0;
    Step(carols, 10.5);
    EXPECT_EQ(players.log.stopped, 2);
}

TEST_F(CarolsTest, RandomChoiceDrawsAnewForEveryTune) {
    settings.SelectedTune = kRandomTune;
    Carols carols(&players, dir.string());
    Step(carols, 0.2);
    std::vector<int> played;
    for (int i = 0; i < 40; ++i) {
        played.push_back(carols.CurrentTune());
        EXPECT_DOUBLE_EQ(carols.SequenceLength(), carols.CurrentTune() + 4.0) << "the file of the drawn tune";
        players.log.time = 1000.0;  // past any tune here
        Step(carols, 10.5);
    }
    std::set<int> distinct(played.begin(), played.end());
    EXPECT_GT(distinct.size(), 5u);
    EXPECT_GE(*distinct.begin(), 0);
    EXPECT_LT(*distinct.rbegin(), kTuneCount);
    EXPECT_EQ(settings.SelectedTune, kRandomTune);
    EXPECT_TRUE(settings.PLAYMUSIC);
}

TEST_F(CarolsTest, ATuneWithOnlyEmptyTracksIsReplacedAtTheNextCheck) {
    TrackBuilder empty;
    WriteBytes(dir / MusicFiles[5], BuildMidi(1, 96, {empty, empty}));
    Carols carols(&players, dir.string());
    Step(carols, 0.2);
    ASSERT_EQ(players.log.started, 1);
    EXPECT_EQ(players.log.trackCounts.back(), 2u);
    EXPECT_DOUBLE_EQ(carols.SequenceLength(), 0.0);
    players.log.time = 20.0;  // ten seconds of playing at 120 bpm
    Step(carols, 10.5);
    EXPECT_EQ(players.log.stopped, 1);
    EXPECT_EQ(players.log.started, 2);
}

TEST_F(CarolsTest, AnyFailureTurnsTheMusicOffWithoutRetrying) {
    struct Case {
        const char* what;
        std::function<void(CarolsTest&)> arrange;
        int made;
    };
    const std::vector<Case> cases = {
        {"missing file", [](CarolsTest& t) { fs::remove(t.dir / MusicFiles[5]); }, 0},
        {"not a MIDI file", [](CarolsTest& t) { WriteBytes(t.dir / MusicFiles[5], std::string("hello")); }, 0},
        {"no player", [](CarolsTest& t) { t.players.log.failMake = true; }, 0},
        {"player does not start", [](CarolsTest& t) { t.players.log.failStart = true; }, 1},
        {"tune index outside the table", [](CarolsTest& t) { t.settings.SelectedTune = 59; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();  // every file written afresh
        players.log = FakePlayerLog{};
        c.arrange(*this);
        Carols carols(&players, dir.string());
        Step(carols, 0.2);
        EXPECT_FALSE(settings.PLAYMUSIC);
        EXPECT_EQ(players.log.made, c.made);
        EXPECT_EQ(players.log.started, 0);
        Step(carols, 100.0, 3);  // the view makes no more attempts
        EXPECT_EQ(players.log.made, c.made);
    }
    SetUp();
    Carols noPlayers(nullptr, dir.string());
    Step(noPlayers, 0.2);
    EXPECT_FALSE(settings.PLAYMUSIC) << "no player services: music off";
}

TEST_F(CarolsTest, ShutdownStopsOnlyWhileMusicIsOnAndAlwaysDisposes) {
    {
        Carols carols(&players, dir.string());
        Step(carols, 0.2);
        carols.Shutdown(true);
        EXPECT_EQ(players.log.stopped, 1);
        EXPECT_EQ(players.log.alive, 0);
        EXPECT_FALSE(carols.Playing());
    }
    EXPECT_EQ(players.log.disposed, 1) << "a second clean-up is harmless";
    players.log.failStart = true;
    Carols carols(&players, dir.string());
    Step(carols, 0.2);
    ASSERT_FALSE(settings.PLAYMUSIC);
    EXPECT_EQ(players.log.alive, 1);  // made, never started
    carols.Shutdown(settings.PLAYMUSIC);
    EXPECT_EQ(players.log.stopped, 1);
    EXPECT_EQ(players.log.alive, 0);
}
