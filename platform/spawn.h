// Starting a helper program (the browser opener, xscreensaver-command) without a shell: the words
// go to the program as they are, so nothing in them is ever interpreted.
#pragma once

#include <string>
#include <vector>

// Starts argv[0], looked up on PATH, and does not wait for it. False, with
// `error` set, if it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, std::string* error);

// Runs argv[0], looked up on PATH, with its output and errors thrown away,
// and waits for it: its exit status, or -1 when it could not be started or
// ended on a signal.
int RunQuietly(const std::vector<std::string>& argv);

// Collects the exit status of every helper that has finished, so none stays a
// zombie; returns how many of them failed (a non-zero status or a signal).
int ReapFinishedChildren();
