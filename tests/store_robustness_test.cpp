// The defaults store as users' editors, crashes and full disks leave it.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/settings.h"
#include "platform/defaults_store.h"
#include "tests/store_fixture.h"

namespace {
namespace fs = std::filesystem;

class StoreFiles : public TempStoreTest {};

TEST_F(StoreFiles, ForeignLineEndsMarksAndPaddingKeepTheUsersValues) {
    const std::string nul(1, '\0');
    const struct {
        const char* why;
        std::string bytes;
    } cases[] = {
        {"byte-order mark", "\xEF\xBB\xBFversion=1.0\nNumStars=7\n"},
        {"CRLF", "version=1.0\r\nNumStars=7\r\n"},
        {"CR only", "version=1.0\rNumStars=7\r"},
        {"NUL padding after a crash", "version=1.0\nNumStars=7\n" + std::string(300, '\0')},
        {"NUL inside a line", "version=1.0\nNum" + nul + "Snow=3\nNumStars=7\n"},
        {"over 64 KiB of comments", "version=1.0\n" + std::string(70 * 1024, '#') + "\nNumStars=7\n"},
    };
    for (const auto& c : cases) {
        Write(path_, c.bytes);
        DefaultsStore store(path_);
        EXPECT_FALSE(store.Unreadable()) << c.why;
        std::string note;
        const ViewSettings loaded = LoadSettings(&store, &note);
        EXPECT_EQ(loaded.settings.NUM_STARS, 7) << c.why;
        EXPECT_EQ(Read(path_), c.bytes) << c.why << ": a store that reads is left as the user wrote it";
        EXPECT_FALSE(fs::exists(path_ + ".bad")) << c.why;
    }
}

// Files as people write them by hand: keys left out, spaces for layout, a
// check box set to 2. Each gets the value the user meant or the default, one
// note per key that needed help, and the file is left as it was.
TEST_F(StoreFiles, HandWrittenStoresReadAsMeantWithOneNotePerKeyFixed) {
    const std::string rest = "MainMonitorOnly=0\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\nShowTrees=1\n"
                             "SelectedTune=58\nNumStars=400\nNumReindeer=1\nNumHouses=40\n";
    const struct {
        std::string bytes;
        const char* key;
        const char* value;
        std::vector<std::string> notes;
    } cases[] = {
        {"version=1.0\nNumSnow=100\n", "NumSnow", "100",
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
        Write(path_, c.bytes);
        DefaultsStore store(path_);
        std::string error;
        std::vector<std::string> notes;
        const std::string shown = FormatSettings(LoadSettings(&store, &error, &notes));
        std::string want =
            "version=1.0\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\n"
            "ShowTrees=1\nSelectedTune=58\nNumStars=400\nNumSnow=750\nNumReindeer=1\nNumHouses=40\n";
        const std::size_t at = want.find(std::string("\n") + c.key + "=") + std::strlen(c.key) + 2;
        want.replace(at, want.find('\n', at) - at, c.value);
        EXPECT_EQ(shown, want) << c.bytes;
        EXPECT_EQ(notes, c.notes) << c.bytes;
        EXPECT_TRUE(error.empty()) << error;
        EXPECT_EQ(Read(path_), c.bytes);
        EXPECT_FALSE(fs::exists(path_ + ".old"));
    }
}

TEST_F(StoreFiles, AStoreThatCannotBeReadIsKeptAsideBeforeTheDefaults) {
    std::string garbage;
    // Binary bytes with no '=' anywhere: not one Key=value line.
    for (int i = 0; i < 4096; ++i) {
        const char c = static_cast<char>((i * 7919) % 251 + 1);
        garbage.push_back(c == '=' ? 'x' : c);
    }
    const std::string tooLarge = "version=1.0\nNumStars=7\n" + std::string(2 * 1024 * 1024, '#');
    for (const std::string& bytes : {garbage, tooLarge}) {
        fs::remove(path_ + ".bad");
        Write(path_, bytes);
        DefaultsStore store(path_);
        EXPECT_TRUE(store.Unreadable());
        std::string note;
        const ViewSettings loaded = LoadSettings(&store, &note);
        EXPECT_EQ(loaded.settings.NUM_STARS, 400);
        EXPECT_EQ(Read(path_ + ".bad"), bytes) << "the user's bytes survive untouched";
        EXPECT_NE(Read(path_).find("version=1.0\n"), std::string::npos) << "the defaults replace it";
        EXPECT_NE(note.find(".bad"), std::string::npos) << note;
    }
}

TEST_F(StoreFiles, AFolderWhereTheStoreShouldBeIsMovedAsideNotCrashedOn) {
    fs::create_directories(path_ + "/something");
    DefaultsStore store(path_);
    EXPECT_TRUE(store.Unreadable());
    std::string note;
    LoadSettings(&store, &note);
    EXPECT_TRUE(fs::is_directory(path_ + ".bad/something"));
    EXPECT_TRUE(fs::is_regular_file(path_));
    EXPECT_NE(note.find("kept it as"), std::string::npos) << note;
}

TEST_F(StoreFiles, AMissingOrEmptyStoreIsAFirstRunWithNothingToKeep) {
    DefaultsStore missing(path_);
    EXPECT_FALSE(missing.Unreadable());
    Write(path_, "");
    DefaultsStore empty(path_);
    EXPECT_FALSE(empty.Unreadable());
    std::string note;
    LoadSettings(&empty, &note);
    EXPECT_TRUE(note.empty()) << note;
    EXPECT_FALSE(fs::exists(path_ + ".bad"));
}

// A disk that fills up while the store is written: the write fails, the
// caller is told, and the previous store is still there, whole.
TEST_F(StoreFiles, AFullDiskLeavesTheOldStoreWholeAndSaysSo) {
    const std::string old = "version=1.0\nNumStars=7\n";
    Write(path_, old);
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
    EXPECT_EQ(Read(path_), old);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().filename(), "qbFrostvale.conf") << "no temporary file left behind";
    }
}
}  // namespace
