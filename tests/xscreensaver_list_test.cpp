// Adding Frostvale to XScreenSaver's list of hacks, on files as the daemon's
// settings program writes them (layout copied from one it wrote).
#include <gtest/gtest.h>

#include <string>

#include "host/xscreensaver_list.h"

namespace {
using Result = ProgramsEdit::Result;

const std::string kHead =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for fvsaver on Wed Dec  9 15:33:52 2026.\n\n"
    "timeout:\t0:10:00\n"
    "mode:\t\trandom\n"
    "selected:\t-1\n\n";
const std::string kHeader = "programs:\t\t\t\t\t\t\t\t      \\\n";
const std::string kHacks =
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tmapscroller --root\t\t\t    \\n\\\n";
const std::string kOurs = "  GL: \t\t\t\tfrostvale -root\t\t\t    \\n\\\n";
// The app-defaults list ends on a line without the continuation.
const std::string kAppDefaults =
    "! comment\n*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "   GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\n"
    "*other:\tvalue\n";
const std::string kDaemonsList = "programs:\t\t\t\t\t\t\t\t      \\\n" + kOurs +
                                 "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n   GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\n";
}  // namespace

TEST(XScreenSaverList, AddIsIdempotentAndRemoveGivesBackTheDaemonsFile) {
    const std::string file = kHead + kHeader + kHacks;
    const ProgramsEdit added = AddToPrograms(file, kAppDefaults);
    ASSERT_EQ(added.result, Result::Changed);
    EXPECT_EQ(added.text, kHead + kHeader + kOurs + kHacks);
    EXPECT_EQ(AddToPrograms(added.text, kAppDefaults).result, Result::AlreadyThere);
    const ProgramsEdit removed = RemoveFromPrograms(added.text);
    ASSERT_EQ(removed.result, Result::Changed);
    EXPECT_EQ(removed.text, file);
    EXPECT_EQ(RemoveFromPrograms(file).result, Result::NotThere);
}

TEST(XScreenSaverList, FilesAsUsersAndTheDaemonLeaveThem) {
    const struct {
        const char* why;
        std::string file;
        Result result;
        std::string want;  // the new file, when changed
    } adds[] = {
        {"already listed, other options", kHead + kHeader + "  GL: \tfrostvale --root -fps \\n\\\n" + kHacks,
         Result::AlreadyThere, ""},
        {"listed by full path and name", kHead + "programs: \"Frost\" GL: /usr/libexec/xscreensaver/frostvale \\n\\\n" +
                                             kHacks,
         Result::AlreadyThere, ""},
        {"turned off: turned back on", kHead + kHeader + "- GL: frostvale -root \\n\\\n" + kHacks, Result::Changed,
         kHead + kHeader + "  GL: frostvale -root \\n\\\n" + kHacks},
        {"no programs list: the daemon's own list first", kHead, Result::Changed, kHead + kDaemonsList},
        {"no file", "", Result::Changed, kDaemonsList},
        {"another resource ending in programs", "xprograms: x", Result::Changed, "xprograms: x\n\n" + kDaemonsList},
        {"a one-line list", "programs: maze -root\nlock: False\n", Result::Changed,
         "programs:\t\\\n" + kOurs + "\t\t\t\tmaze -root\nlock: False\n"},
    };
    for (const auto& c : adds) {
        const ProgramsEdit edit = AddToPrograms(c.file, kAppDefaults);
        EXPECT_EQ(edit.result, c.result) << c.why;
        if (!c.want.empty()) {
            EXPECT_EQ(edit.text, c.want) << c.why;
        }
    }
    // Without the daemon's list (not installed) the new list holds only ours, ended.
    EXPECT_EQ(AddToPrograms("", "").text, "programs:\t\\\n" + kOurs.substr(0, kOurs.size() - 2) + "\n");

    // Taking out the list's last line must not let the one before run on into the next resource.
    const ProgramsEdit last = RemoveFromPrograms("programs: \\\n maze \\n\\\n frostvale -root \\n\nlock: False\n");
    ASSERT_EQ(last.result, Result::Changed);
    EXPECT_EQ(last.text, "programs: \\\n maze \\n\nlock: False\n");
    // A line holding other hacks too is left to the user rather than half-edited.
    EXPECT_EQ(RemoveFromPrograms("programs: \\\n maze \\n frostvale -root \\n\\\n").result, Result::CannotEdit);
}
