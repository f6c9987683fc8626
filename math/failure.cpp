#include "math/failure.h"

#include "math/vector.h"

namespace {
std::string gFirstFailure;
}

void NoteSetupFailure(const std::string& what) {
    if (gFirstFailure.empty()) gFirstFailure = what;
}

std::string TakeSetupFailure() {
    std::string first;
    first.swap(gFirstFailure);
    return first;
}

void ERRORCLOSE(const char* message) {
    // Still shows nothing: only a host that asks learns of it.
    if (message != nullptr) NoteSetupFailure(message);
}
