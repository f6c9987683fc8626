// Where set-up failures are noted so that a host can name what failed.
//
// The engine's set-up functions only return false; they show nothing (the
// image alerts excepted). Loaders note the first thing that went wrong here,
// with the file name, and the host prints it once as
// `frostvale: assets: cannot open "houses.brm": No such file or directory`.
#pragma once

#include <string>

// Keeps the first note since the last TakeSetupFailure; later ones are the
// knock-on failures of callers and would only repeat it less precisely.
void NoteSetupFailure(const std::string& what);
// Returns the first note and forgets it; empty when nothing failed.
std::string TakeSetupFailure();
