#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>

#include "host/options.h"
#include "host/settings.h"
#include "host/settings_sheet.h"
#include "platform/defaults_store.h"
#include "platform/spawn.h"
#include "tests/scratch.h"

namespace {
namespace fs = std::filesystem;

// A fresh folder for each test with the defaults store's path in it, and the
// store read and written byte for byte.
class StoreTest : public ::testing::Test {
protected:
    void WriteStore(const std::string& bytes) const { WriteBytes(path_, bytes); }
    std::string ReadStore() const { return ReadBytes(path_); }

    TempDir dir_;
    const std::string path_ = dir_ / "qbFrostvale.conf";
};

const char* kDefaults =
    "version=1.0\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\n"
    "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=750\nNumReindeer=1\nNumHouses=40\n";

ParseResult Parse(const std::vector<const char*>& words, const char* env = nullptr) {
    std::vector<const char*> argv = {"frostvale"};
    argv.insert(argv.end(), words.begin(), words.end());
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), env);
}
}  // namespace

// A missing or empty store is a first run, with nothing to keep aside.
TEST_F(StoreTest, FirstRunWritesAllTwelveKeysInOrder) {
    for (bool empty : {false, true}) {
        if (empty) WriteStore("");
        DefaultsStore store(path_);
        EXPECT_FALSE(store.Unreadable());
        std::string note;
        EXPECT_EQ(FormatSettings(LoadSettings(&store, &note)), kDefaults);
        EXPECT_EQ(ReadStore(), kDefaults);
        EXPECT_TRUE(note.empty()) << note;
        EXPECT_FALSE(fs::exists(path_ + ".bad"));
    }
    // The engine record's own defaults agree with the table's.
    EXPECT_EQ(FormatSettings(ViewSettings{}), kDefaults);
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
        EXPECT_EQ(ReadBytes(path_ + ".old"), bytes) << "the user's file is kept whole";
        EXPECT_NE(note.find(why), std::string::npos) << note;
        EXPECT_NE(note.find(path_ + ".old"), std::string::npos) << note;
    }
}

TEST_F(StoreTest, HandEditedNumbersAreClampedWithOneNoteEach) {
    const std::string text =
        "version=1.0\nNumHouses=0\nNumSnow=-5\nNumStars=99999999999\nNumReindeer=12abc\nSelectedTune=59\n"
        "PlayMusic=yes\nShowTrees=1\nShowSmoke= 0 \nMainMonitorOnly=1\nShowSparkles=1\nShowCountdown=1\n";
    WriteStore(text);
    DefaultsStore store(path_);
    std::vector<std::string> notes;
    // NumStars is not wrapped through int; spaces around a number are forgiven.
    EXPECT_EQ(FormatSettings(LoadSettings(&store, nullptr, &notes)),
              "version=1.0\nMainMonitorOnly=1\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=0\n"
              "ShowTrees=1\nSelectedTune=58\nNumStars=2000\nNumSnow=0\nNumReindeer=1\nNumHouses=10\n");
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
    const std::string edges = "version=1.0\nMainMonitorOnly=1\nPlayMusic=0\nShowCountdown=1\nShowSparkles=0\n"
                              "ShowSmoke=0\nShowTrees=1\nSelectedTune=0\nNumStars=2000\nNumSnow=0\n"
                              "NumReindeer=20\nNumHouses=100\n";
    WriteStore(edges);
    DefaultsStore edgeStore(path_);
    notes.clear();
    EXPECT_EQ(FormatSettings(LoadSettings(&edgeStore, nullptr, &notes)), edges);
    EXPECT_TRUE(notes.empty()) << notes.front();
}

TEST_F(StoreTest, ReadIntegerTellsNumbersFromText) {
    WriteStore("a=12\nb=12abc\nc=\nd=-\ne=-99999999999999999999999\nf=\t+7\t\ng=1 2\nh=0x10\n"
               "i=99999999999999999999\n");
    DefaultsStore store(path_);
    using State = IntegerReading::State;
    const std::pair<const char*, IntegerReading> cases[] = {
        {"a", {State::Number, 12}},         {"b", {State::NotANumber, 0}}, {"c", {State::NotANumber, 0}},
        {"d", {State::NotANumber, 0}},      {"e", {State::Number, std::numeric_limits<long long>::min()}},
        {"f", {State::Number, 7}},          {"g", {State::NotANumber, 0}}, {"h", {State::NotANumber, 0}},
        {"i", {State::Number, std::numeric_limits<long long>::max()}}, {"absent", {State::Absent, 0}},
    };
    for (const auto& [key, want] : cases) {
        const IntegerReading got = store.ReadInteger(key);
        EXPECT_EQ(got.state, want.state) << key;
        EXPECT_EQ(got.value, want.value) << key;
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

// Unknown options, bad values, settings outside their ranges (bad times: the calendar's test).
TEST(Options, BadValuesAndUnknownOptionsAreUsageErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {"--bogus"},          {"--size", "0x10"},        {"--size", "10"},         {"--size", "100x-5"},
        {"--seconds", "-1"},  {"--seconds", "nan"},      {"--frame-rate", "0"},    {"--seed", "-3"},
        {"--seed", "1x"},     {"--now", "2026-13-01 00:00:00"}, {"--now", "yesterday"}, {"--size"},
        {"--headless=1"},     {"stray"},                 {"--headless", "-root"},  {"--fullscreen", "-window-id", "5"},
        {"--houses", "9"},  {"--houses", "101"}, {"--snow", "-1"},     {"--snow", "5001"},
        {"--tune", "59"},   {"--snow", "12abc"}, {"--snow", ""},       {"--snow"},
        {"--stars", "99999999999999999999"},     {"--smoke=1"},        {"--no-snow"},
        {"--no-tune", "3"}, {"--settings", "--snow", "5"},             {"--settings", "--headless"},
        {"-delay", "100001"}, {"-delay", "-1"},  {"--no-delay"},       {"--quality", "fast"},
    };
    for (const auto& words : bad) {
        EXPECT_FALSE(Parse(words).error.empty()) << testing::PrintToString(words);
    }
    EXPECT_NE(Parse({"--tune=59"}).error.find("0-58"), std::string::npos);  // --houses: cli_test.sh
    const ParseResult ok = Parse({"--now", "2028-02-29 23:59:59", "-fps"});
    EXPECT_TRUE(ok.error.empty()) << ok.error;
    EXPECT_TRUE(ok.options.now.has_value());
    EXPECT_TRUE(ok.options.showFps);
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
    // The last --snow wins; the delay is for this run (the command-line test shows none is ever stored).
    EXPECT_EQ(FormatSettings(s), "version=1.0\nMainMonitorOnly=1\nPlayMusic=0\nShowCountdown=1\nShowSparkles=0\n"
                                 "ShowSmoke=1\nShowTrees=0\nSelectedTune=58\nNumStars=7\nNumSnow=30\n"
                                 "NumReindeer=0\nNumHouses=100\ndelay=50000\n");
}

// ---- The store as users' editors, crashes and full disks leave it ----

TEST_F(StoreTest, ForeignLineEndsMarksAndPaddingKeepTheUsersValues) {
    const struct {
        const char* why;
        std::string bytes;
    } cases[] = {
        {"byte-order mark", "\xEF\xBB\xBFversion=1.0\nNumStars=7\n"},
        {"CRLF", "version=1.0\r\nNumStars=7\r\n"},
        {"CR only", "version=1.0\rNumStars=7\r"},
        {"NUL padding after a crash", "version=1.0\nNumStars=7\n" + std::string(300, '\0')},
        {"NUL inside a line", "version=1.0\nNum" + std::string(1, '\0') + "Snow=3\nNumStars=7\n"},
        {"over 64 KiB of comments", "version=1.0\n" + std::string(70 * 1024, '#') + "\nNumStars=7\n"},
    };
    for (const auto& c : cases) {
        WriteBytes(path_, c.bytes);
        DefaultsStore store(path_);
        EXPECT_FALSE(store.Unreadable()) << c.why;
        std::string note;
        const ViewSettings loaded = LoadSettings(&store, &note);
        EXPECT_EQ(loaded.settings.NUM_STARS, 7) << c.why;
        EXPECT_EQ(ReadBytes(path_), c.bytes) << c.why << ": a store that reads is left as the user wrote it";
        EXPECT_FALSE(fs::exists(path_ + ".bad")) << c.why;
    }
}

// Files as people write them by hand: keys left out, keys of their own,
// spaces for layout, a check box set to 2. Each gets the value the user meant or the default, one
// note per key that needed help, and the file is left as it was.
TEST_F(StoreTest, HandWrittenStoresReadAsMeantWithOneNotePerKeyFixed) {
    const std::string rest = "MainMonitorOnly=0\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\nShowTrees=1\n"
                             "SelectedTune=58\nNumStars=400\nNumReindeer=1\nNumHouses=40\n";
    const struct {
        std::string bytes;
        const char* key;
        const char* value;
        std::vector<std::string> notes;
    } cases[] = {
        {"version=1.0\nNumSnow=100\nUnknownKey=hello\n", "NumSnow", "100",
         {"MainMonitorOnly is missing; using 0", "PlayMusic is missing; using 1",
          "ShowCountdown is missing; using 1", "ShowSparkles is missing; using 1", "ShowSmoke is missing; using 1",
          "ShowTrees is missing; using 1", "SelectedTune is missing; using 58", "NumStars is missing; using 400",
          "NumReindeer is missing; using 1", "NumHouses is missing; using 40"}},
        {"version = 1.0\nPlayMusic = 0\nNumSnow=750\n" + rest, "PlayMusic", "0", {}},
        {"  version\t=\t1.0  \n\tPlayMusic =0\t\n  # a note to myself\nNumSnow= 750\n" + rest, "PlayMusic", "0", {}},
        {"version=1.0\nPlayMusic=2\nNumSnow=750\n" + rest, "PlayMusic", "1",
         {"PlayMusic=2 is out of range 0-1; using 1"}},
        {"version=1.0\nPlayMusic=-1\nNumSnow=750\n" + rest, "PlayMusic", "0",
         {"PlayMusic=-1 is out of range 0-1; using 0"}},
        {"version=1.0\nPlayMusic=\nNumSnow=750\n" + rest, "PlayMusic", "1",
         {"PlayMusic= is not a whole number; using 1"}},
    };
    for (const auto& c : cases) {
        WriteBytes(path_, c.bytes);
        DefaultsStore store(path_);
        std::string error;
        std::vector<std::string> notes;
        const std::string shown = FormatSettings(LoadSettings(&store, &error, &notes));
        std::string want = kDefaults;
        const std::size_t at = want.find(std::string("\n") + c.key + "=") + std::strlen(c.key) + 2;
        want.replace(at, want.find('\n', at) - at, c.value);
        EXPECT_EQ(shown, want) << c.bytes;
        EXPECT_EQ(notes, c.notes) << c.bytes;
        EXPECT_TRUE(error.empty()) << error;
        EXPECT_EQ(ReadBytes(path_), c.bytes);
        EXPECT_FALSE(fs::exists(path_ + ".old"));
    }
}

TEST_F(StoreTest, AStoreThatCannotBeReadIsKeptAsideBeforeTheDefaults) {
    std::string garbage;
    // Binary bytes with no '=' anywhere: not one Key=value line.
    for (int i = 0; i < 4096; ++i) {
        const char c = static_cast<char>((i * 7919) % 251 + 1);
        garbage.push_back(c == '=' ? 'x' : c);
    }
    const std::string tooLarge = "version=1.0\nNumStars=7\n" + std::string(2 * 1024 * 1024, '#');
    for (const std::string& bytes : {garbage, tooLarge}) {
        fs::remove(path_ + ".bad");
        WriteBytes(path_, bytes);
        DefaultsStore store(path_);
        EXPECT_TRUE(store.Unreadable());
        std::string note;
        const ViewSettings loaded = LoadSettings(&store, &note);
        EXPECT_EQ(loaded.settings.NUM_STARS, 400);
        EXPECT_EQ(ReadBytes(path_ + ".bad"), bytes) << "the user's bytes survive untouched";
        EXPECT_NE(ReadBytes(path_).find("version=1.0\n"), std::string::npos) << "the defaults replace it";
        EXPECT_NE(note.find(".bad"), std::string::npos) << note;
    }
}

TEST_F(StoreTest, AFolderWhereTheStoreShouldBeIsMovedAsideNotCrashedOn) {
    fs::create_directories(path_ + "/something");
    DefaultsStore store(path_);
    EXPECT_TRUE(store.Unreadable());
    std::string note;
    LoadSettings(&store, &note);
    EXPECT_TRUE(fs::is_directory(path_ + ".bad/something"));
    EXPECT_TRUE(fs::is_regular_file(path_));
    EXPECT_NE(note.find("kept it as"), std::string::npos) << note;
}

// A disk that fills up while the store is written: the write fails, the
// caller is told, and the previous store is still there, whole.
TEST_F(StoreTest, AFullDiskLeavesTheOldStoreWholeAndSaysSo) {
    const std::string old = "version=1.0\nNumStars=7\n";
    WriteBytes(path_, old);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The file-size limit makes every write past 16 bytes fail as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        DefaultsStore store(path_);
        store.SetString("NumSnow", std::string(200, '5'));
        std::string error;
        const bool written = store.Synchronize(&error);
        _exit(!written && !error.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write must be reported";
    EXPECT_EQ(ReadBytes(path_), old);
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
        EXPECT_EQ(entry.path().filename(), "qbFrostvale.conf") << "no temporary file left behind";
    }
}

// ---- The settings sheet ----

namespace {
class SheetTest : public StoreTest {
protected:
    SettingsSheet MakeSheet() {
        return SettingsSheet(&fields_, path_, "file:///usr/share/doc/frostvale/README.html",
                             [this](const std::string& address, std::string*) {
                                 opened_.push_back(address);
                                 return true;
                             });
    }
    long long Value(const SettingsSheet& sheet, const char* key) { return sheet.Find(key)->value; }
    // Every control as "Key=value", in sheet order.
    static std::string Values(const SettingsSheet& sheet) {
        std::string out;
        for (const auto& control : sheet.Controls()) {
            out += std::string(control.row->key) + "=" + std::to_string(control.value) + " ";
        }
        return out;
    }

    ViewSettings fields_;
    std::vector<std::string> opened_;
};
}  // namespace

TEST_F(SheetTest, ElevenControlsInSheetOrderFilledFromTheFieldsNotTheStore) {
    WriteStore("version=1.0\nNumSnow=3000\n");
    fields_.MainMonitorOnly = true;
    fields_.settings.NUM_SNOW = 123;
    fields_.settings.NUM_REINDEER = 7;
    fields_.settings.SelectedTune = 4;
    fields_.settings.SHOWSMOKE = false;
    SettingsSheet sheet = MakeSheet();
    EXPECT_FALSE(sheet.IsOpen());
    sheet.Open();
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_EQ(Values(sheet), "MainMonitorOnly=1 PlayMusic=1 SelectedTune=4 ShowCountdown=1 NumSnow=123 "
                             "NumStars=400 NumReindeer=7 NumHouses=40 "
                             "ShowSmoke=0 ShowSparkles=1 ShowTrees=1 ");
    // The menu holds the 59 titles, the random choice last.
    const SettingRow& tune = *sheet.Find("SelectedTune")->row;
    ASSERT_EQ(tune.choiceCount, 59);
    EXPECT_STREQ(tune.choices[58], "Random Christmas Carol");
    EXPECT_EQ(tune.maximum, 58);
}

TEST_F(SheetTest, TheTuneMenuIsEnabledExactlyWhenMusicIsOn) {
    fields_.settings.PLAYMUSIC = false;
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    EXPECT_FALSE(sheet.Find("SelectedTune")->enabled);
    sheet.Set("PlayMusic", 1);
    EXPECT_TRUE(sheet.Find("SelectedTune")->enabled);
    sheet.Set("PlayMusic", 0);
    EXPECT_FALSE(sheet.Find("SelectedTune")->enabled);
    for (const auto& control : sheet.Controls()) {
        if (control.row->enabledBy != nullptr) continue;  // another setting switches it
        EXPECT_TRUE(control.enabled) << control.row->key;
    }
    sheet.Defaults();  // music back on, the menu with it
    EXPECT_EQ(Value(sheet, "PlayMusic"), 1);
    EXPECT_TRUE(sheet.Find("SelectedTune")->enabled);
    // The web-site button opens the page and leaves the sheet open.
    EXPECT_TRUE(sheet.OpenWebSite(nullptr));
    EXPECT_EQ(opened_, std::vector<std::string>{"file:///usr/share/doc/frostvale/README.html"});
    EXPECT_TRUE(sheet.IsOpen());
}

TEST_F(SheetTest, SaveWritesTheElevenKeysInOrderAndUpdatesTheFields) {
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    sheet.Set("MainMonitorOnly", 1);
    sheet.Set("NumHouses", 5);  // below the range: bounded as the control bounds it
    sheet.Set("NumSnow", 1000);
    sheet.Set("ShowSparkles", 0);
    sheet.Set("SelectedTune", 58);
    std::string error;
    ASSERT_TRUE(sheet.Save(&error)) << error;
    EXPECT_FALSE(sheet.IsOpen());
    // An empty store gets the version first so the next load keeps the choices.
    EXPECT_EQ(ReadStore(),
              "version=1.0\nMainMonitorOnly=1\nPlayMusic=1\nShowCountdown=1\nShowSparkles=0\nShowSmoke=1\n"
              "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=1000\nNumReindeer=1\nNumHouses=10\n");
    // The fields hold what was stored.
    DefaultsStore reread(path_);
    EXPECT_EQ(FormatSettings(LoadSettings(&reread)), FormatSettings(fields_));
}

TEST_F(SheetTest, SaveKeepsTheStoresOtherKeysAndItsVersion) {
    WriteStore("version=1.0\nNumSnow=3\nExtra=kept\n");
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    sheet.Set("SelectedTune", 0);
    ASSERT_TRUE(sheet.Save(nullptr));
    const std::string stored = ReadStore();
    EXPECT_EQ(stored.rfind("version=1.0\nNumSnow=750\nExtra=kept\nMainMonitorOnly=0\n", 0), 0u) << stored;
    EXPECT_NE(stored.find("\nSelectedTune=0\n"), std::string::npos);
}

TEST_F(SheetTest, CancelAndDefaultsStoreNothing) {
    WriteStore(kDefaults);
    fields_.settings.NUM_STARS = 900;
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    sheet.Set("NumStars", 50);
    sheet.Set("ShowTrees", 0);
    sheet.Cancel();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(ReadStore(), kDefaults);
    EXPECT_EQ(fields_.settings.NUM_STARS, 900);
    sheet.Open();  // the field values again, not the cancelled edits
    EXPECT_EQ(Value(sheet, "NumStars"), 900);
    EXPECT_EQ(Value(sheet, "ShowTrees"), 1);

    sheet.Defaults();
    EXPECT_EQ(ReadStore(), kDefaults);
    EXPECT_EQ(fields_.settings.NUM_STARS, 900);
    EXPECT_EQ(Values(sheet), "MainMonitorOnly=0 PlayMusic=1 SelectedTune=58 ShowCountdown=1 NumSnow=750 "
                             "NumStars=400 NumReindeer=1 NumHouses=40 "
                             "ShowSmoke=1 ShowSparkles=1 ShowTrees=1 ");
    EXPECT_TRUE(sheet.IsOpen());
}

TEST_F(SheetTest, AFailedSaveKeepsTheSheetOpenAndTheFields) {
    std::filesystem::create_directories(path_);  // a folder where the file should go
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    sheet.Set("NumSnow", 10);
    std::string error;
    EXPECT_FALSE(sheet.Save(&error)) << "a failed save says why";
    EXPECT_FALSE(error.empty()) << "a failed save says why";
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_EQ(fields_.settings.NUM_SNOW, 750);
}

TEST_F(SheetTest, HelpersStartWithoutAShell) {
    // A shell would run the second command; the program gets one odd file name instead.
    const std::string odd = dir_ / "page; touch injected";
    std::string error;
    ASSERT_TRUE(SpawnDetached({"touch", odd}, &error)) << error;
    for (int i = 0; i < 100 && !std::filesystem::exists(odd); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(std::filesystem::exists(odd));
    EXPECT_FALSE(std::filesystem::exists("injected"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "injected"));

    ASSERT_TRUE(SpawnDetached({"false"}, &error));
    int failed = 0;
    for (int i = 0; i < 100 && failed < 1; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        failed += ReapFinishedChildren();
    }
    EXPECT_EQ(failed, 1);  // touch succeeded, false did not

    EXPECT_FALSE(SpawnDetached({"frostvale-no-such-program"}, &error));
    EXPECT_NE(error.find("frostvale-no-such-program"), std::string::npos);
    EXPECT_FALSE(SpawnDetached({}, &error));
}
