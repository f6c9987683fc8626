// A set-up failure as the host reports it: which resource file, which lump of
// it, and what was wrong. Loaders fill one (the first failure wins: later ones
// are the knock-on failures of callers and would only repeat it less
// precisely); the host prints Line() once, e.g.
// `assets: cannot open "houses.brm": No such file or directory`.
#pragma once

#include <string>

struct SetupError {
    // A path when a reader in assets/ found the fault, else the file's name in
    // the resource folder; empty for a failure that is no file's (memory).
    std::string file{};
    int lump = -1;  // the lump to blame; -1 when the file as a whole is
    std::string what{};
    int systemError = 0;  // errno when the file could not be opened at all
    // Readers speak of the path (`assets: "P" ...`), the scene of the name (`houses.brm: ...`).
    bool byReader = false;
    // `what` is the message of the reader of the lump's content, set off by a colon.
    bool quotesReader = false;

    bool Failed() const { return !what.empty() || systemError != 0; }
    // Keeps `error` unless a failure is already kept; false either way, so a
    // set-up step can `return error->Note(...)`.
    bool Note(SetupError error);
    std::string Line() const;
};

// Notes `error` into `sink` when there is one; false, for returning.
bool NoteFailure(SetupError* sink, SetupError error);
