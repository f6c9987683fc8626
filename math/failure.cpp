#include "math/failure.h"

#include <cstring>
#include <utility>

#include "math/vector.h"

bool SetupError::Note(SetupError error) {
    if (!Failed()) *this = std::move(error);
    return false;
}

std::string SetupError::Line() const {
    if (systemError != 0) return "assets: cannot open \"" + file + "\": " + std::strerror(systemError);
    std::string line;
    if (!file.empty()) line = byReader ? "assets: \"" + file + "\" " : file + ": ";
    if (lump >= 0) line += "lump " + std::to_string(lump) + (quotesReader ? ": " : " ");
    return line + what;
}

bool NoteFailure(SetupError* sink, SetupError error) {
    return sink != nullptr ? sink->Note(std::move(error)) : false;
}

void ERRORCLOSE(SetupError* error, const char* message) {
    // Still shows nothing: only a host that asks learns of it.
    if (message != nullptr) NoteFailure(error, {.what = message});
}
