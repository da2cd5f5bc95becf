// Files for the core's tests: bytes read and written whole, and a file private to the running
// test. Paths are UTF-8, as the core takes them.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

#include "file_system.h"

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Without a separator at its end.
inline std::string TemporaryFolder() {
    const std::u8string folder = std::filesystem::temp_directory_path().u8string();
    std::string path(folder.begin(), folder.end());
    while (path.ends_with('/') || path.ends_with('\\')) {
        path.pop_back();
    }
    return path;
}

// A file in the temporary folder, named after the running test unless named, removed again with
// the new file that a change may have left beside it.
struct TemporaryFile {
    explicit TemporaryFile(const std::string& name = "")
        : Path(TemporaryFolder() + "/" +
               (name.empty()
                    ? std::string("gradewick-") +
                          testing::UnitTest::GetInstance()->current_test_info()->name() + ".rst"
                    : name)) {}
    ~TemporaryFile() {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::u8path(Path), ignored);
        std::filesystem::remove(std::filesystem::u8path(NewFileNameFor(Path)), ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    std::string Path;
};
