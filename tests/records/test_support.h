// Helpers shared by the core and command-line tests: temporary files, raw file bytes and
// record comparisons.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "subject_record.h"

// A file path private to the running test, removed again at the end of the test.
class TemporaryFile {
  public:
    TemporaryFile() {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "gradewick-";
        if (info != nullptr) {
            name += std::string(info->test_suite_name()) + "-" + info->name();
        }
        path_ = std::filesystem::temp_directory_path() / (name + ".rst");
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A golden result file, relative to the test's working folder.
inline std::string GoldenPath(const char* name) {
    return std::string("golden/") + name;
}

inline void ExpectRecord(const SubjectRecord& record, const char* label, const char* subject,
                         int creditIndex, int gradeIndex) {
    EXPECT_STREQ(record.Label, label);
    EXPECT_STREQ(record.Subject, subject);
    EXPECT_EQ(record.CreditIndex, creditIndex);
    EXPECT_EQ(record.GradeIndex, gradeIndex);
}

inline void ExpectEmptyFrom(const RecordTableArray& table, std::size_t first) {
    for (std::size_t i = first; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectRecord(table[i], "", "", UnsetIndex, UnsetIndex);
    }
}

// Two tables hold the same records: the same texts (up to their terminators) and numbers.
inline void ExpectSameTable(const RecordTableArray& a, const RecordTableArray& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectRecord(a[i], b[i].Label, b[i].Subject, b[i].CreditIndex, b[i].GradeIndex);
    }
}
