#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    auto fail = [error](const std::string& what, int code) {
        if (error != nullptr) *error = what + ": " + std::strerror(code);
        return false;
    };
    // The process id keeps two savers saving at once off each other's file.
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return fail("cannot create \"" + temp + "\"", errno);
    std::size_t done = 0;
    errno = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    // A short write with no errno set (n == 0) is a full disk by another name.
    const int writeError = done == text.size() ? 0 : (errno != 0 ? errno : ENOSPC);
    const bool synced = writeError == 0 && ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (writeError != 0 || !synced || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int code = writeError != 0 ? writeError : !synced ? syncError : errno;
        std::remove(temp.c_str());
        return fail("cannot write \"" + path + "\"", code);
    }
    return true;
}
