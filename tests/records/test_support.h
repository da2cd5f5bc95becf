// Helpers shared by the core and command-line tests: temporary files and raw file bytes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

// A file path private to the running test, removed again at the end of the test.
class TemporaryFile {
  public:
    TemporaryFile() {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("gradewick-" + std::string(info->test_suite_name()) + "-" + info->name() + ".rst");
        std::filesystem::remove(path_);
    }
    ~TemporaryFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    [[nodiscard]] std::string Path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A golden result file, relative to the test's working folder.
inline std::string GoldenPath(const char* name) {
    return std::string("golden/") + name;
}
