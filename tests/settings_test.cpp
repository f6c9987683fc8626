#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "host/options.h"
#include "host/settings.h"
#include "tests/store_fixture.h"

namespace {
class StoreTest : public TempStoreTest {};

const char* kDefaults =
    "version=1.0\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\n"
    "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=750\nNumReindeer=1\nNumHouses=40\n";

ParseResult Parse(std::initializer_list<const char*> words, const char* env = nullptr) {
    std::vector<const char*> argv = {"frostvale"};
    argv.insert(argv.end(), words.begin(), words.end());
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), env);
}
}  // namespace

TEST_F(StoreTest, FirstRunWritesAllTwelveKeysInOrder) {
    DefaultsStore store(path_);
    const ViewSettings loaded = LoadSettings(&store);
    EXPECT_EQ(ReadStore(), kDefaults);
    EXPECT_EQ(FormatSettings(loaded), kDefaults);
    // The engine record's own defaults agree with the table's.
    ViewSettings fresh;
    EXPECT_EQ(FormatSettings(fresh), kDefaults);
}

TEST_F(StoreTest, StoredChoicesAreKeptWhenTheVersionMatches) {
    WriteStore("version=1.0\nNumSnow=1234\nShowSmoke=0\nMainMonitorOnly=1\nUnknownKey=hello\n");
    DefaultsStore store(path_);
    const ViewSettings loaded = LoadSettings(&store);
    EXPECT_EQ(loaded.settings.NUM_SNOW, 1234);
    EXPECT_FALSE(loaded.settings.SHOWSMOKE);
    EXPECT_TRUE(loaded.MainMonitorOnly);
    EXPECT_TRUE(loaded.settings.SHOWTREES);  // keys left out take their defaults
    EXPECT_EQ(loaded.settings.NUM_STARS, 400);
    EXPECT_EQ(ReadStore(), "version=1.0\nNumSnow=1234\nShowSmoke=0\nMainMonitorOnly=1\nUnknownKey=hello\n");
}

TEST_F(StoreTest, AnyOtherVersionIsKeptAsideAndReplacedByTheDefaults) {
    const std::pair<const char*, const char*> cases[] = {
        {"version=2.0\nNumSnow=5\n", "has version \"2.0\", not 1.0; kept it as"},
        {"version = 1.00\nNumSnow=5\n", "has version \"1.00\", not 1.0; kept it as"},
        {"# mine\nNumSnow=5\n", "has no version line; kept it as"},
    };
    for (const auto& [bytes, why] : cases) {
        WriteStore(bytes);
        DefaultsStore s(path_);
        std::string note;
        EXPECT_EQ(LoadSettings(&s, &note).settings.NUM_SNOW, 750) << bytes;
        DefaultsStore written(path_);
        std::vector<std::string> notes;
        EXPECT_EQ(FormatSettings(LoadSettings(&written, nullptr, &notes)), kDefaults) << bytes;
        EXPECT_TRUE(notes.empty()) << bytes;
        EXPECT_EQ(Read(path_ + ".old"), bytes) << "the user's file is kept whole";
        EXPECT_NE(note.find(why), std::string::npos) << note;
        EXPECT_NE(note.find(path_ + ".old"), std::string::npos) << note;
    }
}

TEST_F(StoreTest, GarbageIsAFirstRunNeverACrash) {
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 131) ^ (i >> 3));
    const std::string garbage[] = {binary, "=\n==\nversion\n\xff\xfe=1\n", std::string(100000, 'x'),
                                   "version=1.0\nNumSnow=99999999999999999999\nNumStars=abc\n"};
    for (const std::string& text : garbage) {
        WriteStore(text);
        DefaultsStore store(path_);
        const ViewSettings loaded = LoadSettings(&store);
        EXPECT_GE(loaded.settings.NUM_SNOW, 0);
    }
    // A number too large even for long long is clamped to the most; text is the default.
    WriteStore("version=1.0\nNumSnow=99999999999999999999\nNumStars=abc\n");
    DefaultsStore store(path_);
    EXPECT_EQ(LoadSettings(&store).settings.NUM_SNOW, 5000);
    EXPECT_EQ(LoadSettings(&store).settings.NUM_STARS, 400);
}

TEST_F(StoreTest, HandEditedNumbersAreClampedWithOneNoteEach) {
    const std::string text =
        "version=1.0\nNumHouses=0\nNumSnow=-5\nNumStars=99999999999\nNumReindeer=12abc\nSelectedTune=59\n"
        "PlayMusic=yes\nShowTrees=1\nShowSmoke= 0 \nMainMonitorOnly=1\nShowSparkles=1\nShowCountdown=1\n";
    WriteStore(text);
    DefaultsStore store(path_);
    std::vector<std::string> notes;
    const ViewSettings loaded = LoadSettings(&store, nullptr, &notes);
    EXPECT_EQ(loaded.settings.NUM_HOUSES, 10);
    EXPECT_EQ(loaded.settings.NUM_SNOW, 0);
    EXPECT_EQ(loaded.settings.NUM_STARS, 2000);  // not wrapped through int
    EXPECT_EQ(loaded.settings.NUM_REINDEER, 1);
    EXPECT_EQ(loaded.settings.SelectedTune, 58);
    EXPECT_TRUE(loaded.settings.PLAYMUSIC);
    EXPECT_FALSE(loaded.settings.SHOWSMOKE);  // spaces around a number are forgiven
    EXPECT_TRUE(loaded.MainMonitorOnly);
    const std::vector<std::string> expected = {
        "PlayMusic=yes is not a whole number; using 1",
        "SelectedTune=59 is out of range 0-58; using 58",
        "NumStars=99999999999 is out of range 0-2000; using 2000",
        "NumSnow=-5 is out of range 0-5000; using 0",
        "NumReindeer=12abc is not a whole number; using 1",
        "NumHouses=0 is out of range 10-100; using 10",
    };
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(ReadStore(), text);  // loading leaves the user's file as it was

    // Values at the ends of the ranges are taken silently.
    WriteStore("version=1.0\nNumHouses=100\nNumSnow=0\nNumStars=2000\nNumReindeer=20\nSelectedTune=0\n"
               "PlayMusic=0\nShowTrees=1\nShowSmoke=0\nMainMonitorOnly=1\nShowSparkles=0\nShowCountdown=1\n");
    DefaultsStore edges(path_);
    notes.clear();
    const ViewSettings edge = LoadSettings(&edges, nullptr, &notes);
    EXPECT_TRUE(notes.empty()) << notes.front();
    EXPECT_EQ(edge.settings.NUM_HOUSES, 100);
    EXPECT_EQ(edge.settings.NUM_REINDEER, 20);
    EXPECT_EQ(edge.settings.SelectedTune, 0);
}

TEST_F(StoreTest, ReadIntegerTellsNumbersFromText) {
    WriteStore("a=12\nb=12abc\nc=\nd=-\ne=-99999999999999999999999\nf=\t+7\t\ng=1 2\nh=0x10\n");
    DefaultsStore store(path_);
    using State = IntegerReading::State;
    const std::pair<const char*, IntegerReading> cases[] = {
        {"a", {State::Number, 12}},         {"b", {State::NotANumber, 0}}, {"c", {State::NotANumber, 0}},
        {"d", {State::NotANumber, 0}},      {"e", {State::Number, std::numeric_limits<long long>::min()}},
        {"f", {State::Number, 7}},          {"g", {State::NotANumber, 0}}, {"h", {State::NotANumber, 0}},
        {"absent", {State::Absent, 0}},
    };
    for (const auto& [key, want] : cases) {
        const IntegerReading got = store.ReadInteger(key);
        EXPECT_EQ(got.state, want.state) << key;
        if (want.state == State::Number) {
            EXPECT_EQ(got.value, want.value) << key;
        }
    }
}

TEST_F(StoreTest, UnwritableStoreStillYieldsDefaults) {
    std::filesystem::create_directories(dir_ / "ro");
    DefaultsStore readOnly((dir_ / "ro").string());  // a directory: cannot be replaced by a file
    std::string error;
    const ViewSettings loaded = LoadSettings(&readOnly, &error);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(loaded.settings.NUM_STARS, 400);
}

TEST_F(StoreTest, SynchronizeReplacesTheFileWhole) {
    DefaultsStore store(path_);
    store.SetInteger("NumSnow", 10);
    store.SetBool("ShowTrees", false);
    store.SetInteger("NumSnow", 11);
    ASSERT_TRUE(store.Synchronize());
    EXPECT_EQ(ReadStore(), "NumSnow=11\nShowTrees=0\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().filename(), "qbFrostvale.conf");  // no temporary left behind
    }
}

TEST(Options, SingleAndDoubleDashSpellingsAgree) {
    for (auto prefix : {"-", "--"}) {
        const std::string size = std::string(prefix) + "size";
        const std::string headless = std::string(prefix) + "headless";
        const ParseResult r = Parse({headless.c_str(), size.c_str(), "640x480", "-seed=7"});
        ASSERT_TRUE(r.error.empty()) << r.error;
        EXPECT_EQ(r.options.mode, HostMode::Headless);
        EXPECT_EQ(r.options.width, 640);
        EXPECT_EQ(r.options.height, 480);
        EXPECT_EQ(r.options.seed, 7u);
    }
}

TEST(Options, WindowIdsAndTheDaemonsEnvironment) {
    EXPECT_EQ(Parse({"-window-id", "0x1e00007"}).options.windowId, 0x1e00007ul);
    EXPECT_EQ(Parse({"--window-id", "31457287"}).options.windowId, 31457287ul);
    EXPECT_EQ(Parse({"-window-id", "0x1e00007"}).options.mode, HostMode::XScreenSaver);
    EXPECT_EQ(Parse({"-root"}, "0x42").options.windowId, 0x42ul);
    EXPECT_FALSE(Parse({"-root"}).options.windowId.has_value());
    EXPECT_EQ(Parse({"-root"}).options.mode, HostMode::XScreenSaver);
    EXPECT_EQ(Parse({}, "0x42").options.mode, HostMode::XScreenSaver);
    EXPECT_EQ(Parse({"--headless"}, "0x42").options.mode, HostMode::Headless);
    for (const char* bad : {"0x", "0xZZ", "12ab", "-5", "0", "", "0x1ffffffff"}) {
        EXPECT_FALSE(Parse({"-window-id", bad}).error.empty()) << bad;
    }
}

TEST(Options, BadValuesAndUnknownOptionsAreUsageErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {"--bogus"},          {"--size", "0x10"},        {"--size", "10"},         {"--size", "100x-5"},
        {"--seconds", "-1"},  {"--seconds", "nan"},      {"--frame-rate", "0"},    {"--seed", "-3"},
        {"--seed", "1x"},     {"--now", "2026-13-01 00:00:00"}, {"--now", "yesterday"}, {"--size"},
        {"--headless=1"},     {"stray"},                 {"--headless", "-root"},  {"--fullscreen", "-window-id", "5"},
    };
    for (const auto& words : bad) {
        std::vector<const char*> argv = {"frostvale"};
        argv.insert(argv.end(), words.begin(), words.end());
        EXPECT_FALSE(ParseOptions(static_cast<int>(argv.size()), argv.data(), nullptr).error.empty())
            << words.front();
    }
    EXPECT_TRUE(Parse({"--now", "2026-12-24 18:00:00"}).error.empty());
    EXPECT_EQ(Parse({}).options.mode, HostMode::Window);
}

TEST(Options, SettingsOverridesComeFromTheTable) {
    const ParseResult r = Parse({"--snow", "20", "-stars=7", "--houses", "100", "-reindeer", "0", "--tune=58",
                                 "--no-sparkles", "-smoke", "--no-trees", "-no-music", "--countdown",
                                 "--main-monitor-only", "--snow", "30", "-delay", "50000"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    ViewSettings s;
    s.settings.SHOWSMOKE = false;
    s.settings.SHOWCOUNTDOWN = false;
    ApplyOverrides(&s, r.options.overrides);
    EXPECT_EQ(s.settings.NUM_SNOW, 30);  // the last one wins
    EXPECT_EQ(s.frameDelay, 50000);      // for this run; the store test shows it is never written
    EXPECT_NE(FormatSettings(s).find("\ndelay=50000\n"), std::string::npos);
    EXPECT_EQ(s.settings.NUM_STARS, 7);
    EXPECT_EQ(s.settings.NUM_HOUSES, 100);
    EXPECT_EQ(s.settings.NUM_REINDEER, 0);
    EXPECT_EQ(s.settings.SelectedTune, 58);
    EXPECT_FALSE(s.settings.SHOWSPARKLES);
    EXPECT_TRUE(s.settings.SHOWSMOKE);
    EXPECT_FALSE(s.settings.SHOWTREES);
    EXPECT_FALSE(s.settings.PLAYMUSIC);
    EXPECT_TRUE(s.settings.SHOWCOUNTDOWN);
    EXPECT_TRUE(s.MainMonitorOnly);
    // Every row but the version has an option, and --help lists it.
    const std::string usage = UsageText();
    for (const SettingRow& row : SettingsTable()) {
        if (row.kind == SettingKind::Version) continue;
        ASSERT_NE(row.option, nullptr) << row.key;
        const std::string spelling =
            row.kind == SettingKind::Bool ? std::string("--[no-]") + row.option : std::string("--") + row.option + " N";
        EXPECT_NE(usage.find(spelling), std::string::npos) << spelling;
    }
}

TEST(Options, SettingsOverridesOutsideTheirRangesAreUsageErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {"--houses", "9"},  {"--houses", "101"}, {"--snow", "-1"},     {"--snow", "5001"},
        {"--tune", "59"},   {"--snow", "12abc"}, {"--snow", ""},       {"--snow"},
        {"--stars", "99999999999999999999"},     {"--smoke=1"},        {"--no-snow"},
        {"--no-tune", "3"}, {"--settings", "--snow", "5"},             {"--settings", "--headless"},
        {"-delay", "100001"}, {"-delay", "-1"},  {"--no-delay"},       {"--quality", "fast"},
    };
    for (const auto& words : bad) {
        std::vector<const char*> argv = {"frostvale"};
        argv.insert(argv.end(), words.begin(), words.end());
        EXPECT_FALSE(ParseOptions(static_cast<int>(argv.size()), argv.data(), nullptr).error.empty())
            << words.front() << " " << (words.size() > 1 ? words[1] : "");
    }
    EXPECT_NE(Parse({"--houses", "9"}).error.find("10-100"), std::string::npos);
    EXPECT_NE(Parse({"--tune=59"}).error.find("0-58"), std::string::npos);
}

TEST_F(StoreTest, OverridesAreNeverStored) {
    WriteStore(kDefaults);
    DefaultsStore store(path_);
    ViewSettings s = LoadSettings(&store);
    ApplyOverrides(&s, Parse({"--snow", "5", "--no-music"}).options.overrides);
    EXPECT_EQ(s.settings.NUM_SNOW, 5);
    EXPECT_EQ(ReadStore(), kDefaults);
}
