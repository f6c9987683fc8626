#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "host/settings_sheet.h"
#include "platform/spawn.h"
#include "tests/store_fixture.h"

namespace {
class SheetTest : public TempStoreTest {
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

const char* kStored =
    "version=1.0\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\n"
    "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=750\nNumReindeer=1\nNumHouses=40\n";
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
        if (control.row->enabledBy == nullptr) {
            EXPECT_TRUE(control.enabled) << control.row->key;
        }
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
    EXPECT_TRUE(fields_.MainMonitorOnly);
    EXPECT_EQ(fields_.settings.NUM_SNOW, 1000);
    EXPECT_EQ(fields_.settings.NUM_HOUSES, 10);
    EXPECT_FALSE(fields_.settings.SHOWSPARKLES);
    EXPECT_EQ(fields_.settings.SelectedTune, 58);

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
    WriteStore(kStored);
    fields_.settings.NUM_STARS = 900;
    SettingsSheet sheet = MakeSheet();
    sheet.Open();
    sheet.Set("NumStars", 50);
    sheet.Set("ShowTrees", 0);
    sheet.Cancel();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(ReadStore(), kStored);
    EXPECT_EQ(fields_.settings.NUM_STARS, 900);
    sheet.Open();  // the field values again, not the cancelled edits
    EXPECT_EQ(Value(sheet, "NumStars"), 900);
    EXPECT_EQ(Value(sheet, "ShowTrees"), 1);

    sheet.Defaults();
    EXPECT_EQ(ReadStore(), kStored);
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
    EXPECT_FALSE(sheet.Save(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_EQ(fields_.settings.NUM_SNOW, 750);
}

TEST_F(SheetTest, HelpersStartWithoutAShell) {
    // A shell would run the second command; the program gets one odd file name instead.
    const std::string odd = (dir_ / "page; touch injected").string();
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
