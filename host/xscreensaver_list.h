// Frostvale in XScreenSaver's list of hacks: the `programs:` resource of
// ~/.xscreensaver, one hack a line (`[-] ["Name"] [GL:] command \n\`), a
// leading `-` marking a hack the user turned off. Without that resource the
// daemon uses the list in its app-defaults file, so adding to a file that has
// none copies that list first: the user keeps every hack they had.
#pragma once

#include <string>

inline constexpr const char* kXScreenSaverEntry = "GL: frostvale -root";

struct ProgramsEdit {
    enum class Result { Changed, AlreadyThere, NotThere, CannotEdit };
    Result result = Result::NotThere;
    std::string text;  // the whole new file, when Changed
    std::string why;   // when CannotEdit
};

// `file` is the user's ~/.xscreensaver (empty if there is none); `appDefaults`
// the daemon's app-defaults file (empty if not found). A Frostvale line the
// user turned off is turned back on.
ProgramsEdit AddToPrograms(const std::string& file, const std::string& appDefaults);
// Takes every Frostvale line out of the list, whatever its options.
ProgramsEdit RemoveFromPrograms(const std::string& file);

// The --xscreensaver-add / --xscreensaver-remove commands on $HOME/.xscreensaver:
// the old file is copied to ~/.xscreensaver.before-frostvale, the new one is
// written whole (temporary file and rename) and a running daemon is told to
// read it again. One line on stdout saying what was done, or on stderr why
// not; returns the exit status.
int RunXScreenSaverListCommand(bool add);
