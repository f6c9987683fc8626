#include "platform/signals.h"

#include <pthread.h>
#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

namespace {
// Read from the audio thread too, so atomic rather than sig_atomic_t.
std::atomic<bool> gQuit{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler may only touch lock-free atomics");
std::atomic<bool> gWatching{false};
sem_t gQuitSignalled;

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
    const int saved = errno;
    gQuit.store(true);
    if (gWatching.load()) sem_post(&gQuitSignalled);  // async-signal-safe
    errno = saved;
}
}  // namespace

void InstallQuitSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // SIGHUP too: the terminal or session that started the saver going away is
    // no reason to die uncleaned with the music thread half-way through a note.
    for (int signal : kQuitSignals) sigaction(signal, &action, nullptr);
}

bool QuitRequested() { return gQuit.load(std::memory_order_relaxed); }

void RequestQuit() { gQuit.store(true); }

void RequestPromptQuit() { OnSignal(0); }

void EndPromptlyAfterQuit(double seconds) {
    static bool started = false;
    if (started) return;
    started = true;
    sem_init(&gQuitSignalled, 0, 0);
    gWatching.store(true);  // only now may the handler post
    if (gQuit.load()) sem_post(&gQuitSignalled);  // a signal that came before the watch
    // The watcher keeps the quit signals blocked, so they still reach the main
    // thread and cut its frame-pacing sleep short.
    sigset_t quit, previous;
    sigemptyset(&quit);
    for (int signal : kQuitSignals) sigaddset(&quit, signal);
    pthread_sigmask(SIG_BLOCK, &quit, &previous);
    std::thread([seconds] {
        while (sem_wait(&gQuitSignalled) != 0) {
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        _exit(0);
    }).detach();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}
