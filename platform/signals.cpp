#include "platform/signals.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t gQuit = 0;

void OnSignal(int) { gQuit = 1; }
}  // namespace

void InstallQuitSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // The terminal or session that started the saver going away is no reason
    // to die uncleaned with the music thread half-way through a note.
    sigaction(SIGHUP, &action, nullptr);
}

bool QuitRequested() { return gQuit != 0; }

void RequestQuit() { gQuit = 1; }
