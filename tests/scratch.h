// Scratch files and folders for the tests, and running a program as a user would.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Writes any contiguous run of bytes or chars to `path`, making its folder first.
template <class Buffer>
void WriteBytes(const std::filesystem::path& path, const Buffer& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh, empty folder named for the running test, removed with the object.
class TempDir {
public:
    TempDir() {
        static int made = 0;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = ::testing::TempDir() + "fv-" + std::to_string(getpid()) + "-" + std::to_string(made++) + "-" +
                (test != nullptr ? test->name() : "none");
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A file under the system's temporary folder, removed with the object.
class TempFile {
public:
    template <class Buffer>
    TempFile(const std::string& name, const Buffer& bytes) : path_(dir_ / name) {
        WriteBytes(path_, bytes);
    }
    const std::string& path() const { return path_; }

private:
    TempDir dir_;
    std::string path_;
};

// What `command` prints on its standard output; its exit status (-1 when it
// did not exit) in `status`.
inline std::string RunCommand(const std::string& command, int* status) {
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int raw = pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}
