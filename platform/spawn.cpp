#include "platform/spawn.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {
// posix_spawnp's status: 0 once started, else the reason it was not.
int Spawn(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions, pid_t* pid) {
    if (argv.empty()) return ENOENT;
    std::vector<char*> words;
    words.reserve(argv.size() + 1);
    for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    return ::posix_spawnp(pid, words[0], actions, nullptr, words.data(), environ);
}
}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv, std::string* error) {
    if (argv.empty()) {
        if (error != nullptr) *error = "nothing to start";
        return false;
    }
    pid_t pid = 0;
    const int status = Spawn(argv, nullptr, &pid);
    if (status != 0) {
        if (error != nullptr) *error = "cannot start " + argv[0] + ": " + std::strerror(status);
        return false;
    }
    return true;
}

int RunQuietly(const std::vector<std::string>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = Spawn(argv, &actions, &pid);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ReapFinishedChildren() {
    int failed = 0;
    int status = 0;
    while (::waitpid(-1, &status, WNOHANG) > 0) {
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
    }
    return failed;
}
