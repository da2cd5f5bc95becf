// Reading a result file whole, and putting new contents in its place in one step, so that a
// failure at any point leaves the file as it was.
#pragma once

#include <string>
#include <string_view>

struct WholeFile {
    bool Opened = false;
    bool ReadError = false; // reading stopped before the end of the file
    std::string Bytes;
};

WholeFile ReadWholeFile(const std::string& path);

// Writes contents to path + ".new" in the same folder, flushes it to disk, checks that the
// file at path still holds exactly before, and only then renames the new file over it. On
// any failure the file at path is left alone, the new file is removed again, and the message
// returned says what failed; on success the message is empty.
//
// For tests, GRADEWICK_CLI_FAIL_AT=write, flush, vanish or replace makes that step fail, as a
// full disk, a file removed meanwhile ("vanish" removes it) or a refused rename would.
std::string ReplaceFileContents(const std::string& path, std::string_view before,
                                std::string_view contents);
