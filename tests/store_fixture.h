// A fresh folder for each test with the defaults store's path in it, and the
// store read and written byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("fv_" + std::string(test->test_suite_name()) + "_" + test->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "qbFrostvale.conf").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteStore(const std::string& bytes) const { Write(path_, bytes); }
    std::string ReadStore() const { return Read(path_); }

    std::filesystem::path dir_;
    std::string path_;
};
