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
    TemporaryFile() { std::filesystem::remove(path_); }
    ~TemporaryFile() { std::filesystem::remove(path_, ignored_); }
    [[nodiscard]] std::string Path() const { return path_.string(); }

  private:
    const ::testing::TestInfo* test_ = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        (std::string("gradewick-") + test_->test_suite_name() + "-" + test_->name() + ".rst");
    std::error_code ignored_;
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
