#include "platform/spawn.h"

#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

bool SpawnDetached(const std::vector<std::string>& argv, std::string* error) {
    if (argv.empty()) {
        if (error != nullptr) *error = "nothing to start";
        return false;
    }
    std::vector<char*> words;
    words.reserve(argv.size() + 1);
    for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    pid_t pid = 0;
    const int status = ::posix_spawnp(&pid, words[0], nullptr, nullptr, words.data(), environ);
    if (status != 0) {
        if (error != nullptr) *error = "cannot start " + argv[0] + ": " + std::strerror(status);
        return false;
    }
    return true;
}

int ReapFinishedChildren() {
    int failed = 0;
    int status = 0;
    while (::waitpid(-1, &status, WNOHANG) > 0) {
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
    }
    return failed;
}
