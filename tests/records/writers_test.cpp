// Writers of one result file meeting: every write takes the writers' lock, so that an append
// during a change (or two appends at 99 records) loses nothing and never makes a 101st record.
// The tests' seam holds the first writer in the middle of its work while a second one starts,
// so that they meet on every round. Then what a writer says when the lock stays taken (the
// companion too, from another process), appends that fail on a full disk, and the longest names.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "file_system.h"
#include "locked_file.h"
#include "result_file.h"
#include "result_rewrite.h"
#include "rewrite_faults.h"
#include "test_files.h"

namespace {

std::string Records(int count, const char* subject = "S") {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += FormatRecord("Semester 1", subject, 0, 0);
    }
    return bytes;
}

// The companion's exit code on a command line (its own messages go to the test's output).
int RunCompanion(const std::string& arguments) {
#if defined(_WIN32)
    return std::system(("gradewick-cli.exe " + arguments).c_str());
#else
    const int status = std::system(("./gradewick-cli " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

#if defined(_WIN32)
constexpr int Rounds = 300; // each round starts no process: Wine takes them in
#else
constexpr int Rounds = 1200;
#endif

// Round after round, a first writer is held with the lock taken, after its read, while a second
// one (an append) starts: a removal by the companion, a change from the results view (which goes
// ahead only on the file as it showed it), or an append to a file of 99 records. Whatever the
// order they end up in, no subject is lost and the file never holds more than 100 records.
TEST(Writers, NoSubjectIsLostWhenWritersMeet) {
    TemporaryFile file;
    int waited = 0;
    for (int round = 0; round < Rounds; ++round) {
        const int kind = round % 3;
        SCOPED_TRACE(testing::Message() << "round " << round << ", kind " << kind);
        const std::string before = Records(kind == 2 ? 99 : 3);
        WriteBytes(file.Path, before);
        const std::string second = "Second " + std::to_string(round);
        std::atomic<bool> started{false};
        std::atomic<bool> armed{true};
        AppendResult appended;
        std::thread other;
        HoldWriters([&] {
            if (armed.exchange(false)) {
                other = std::thread([&] {
                    started = true;
                    appended =
                        AppendRecord(file.Path.c_str(), false, "Semester 2", second.c_str(), 1, 1);
                });
                while (!started) {
                    std::this_thread::yield();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        bool firstDone = false;
        if (kind == 2) {
            const AppendResult first =
                AppendRecord(file.Path.c_str(), false, "Semester 3", "First", 2, 2);
            firstDone = first.Status == AppendStatus::Done;
        } else {
            const RecordChange change{1, kind == 0, RecordField::GradeIndex, "3"};
            const std::optional<std::string_view> shown(before);
            firstDone =
                RewriteRecords(file.Path, {&change, 1}, kind == 1 ? shown : std::nullopt).Status ==
                RewriteStatus::Done;
        }
        HoldWriters(nullptr);
        if (other.joinable()) {
            other.join();
        }
        waited += armed ? 0 : 1;
        ASSERT_TRUE(firstDone);
        const std::string after = ReadBytes(file.Path);
        if (kind == 2) { // the second found the file full
            ASSERT_EQ(appended.Status, AppendStatus::Full);
            ASSERT_EQ(after, before + FormatRecord("Semester 3", "First", 2, 2));
            continue;
        }
        ASSERT_EQ(appended.Status, AppendStatus::Done) << appended.Reason;
        const std::string changed =
            kind == 0 ? Records(2)
                      : Records(1) + FormatRecord("Semester 1", "S", 0, 3) + Records(1);
        ASSERT_EQ(after, changed + FormatRecord("Semester 2", second.c_str(), 1, 1));
    }
    EXPECT_EQ(waited, Rounds) << "the second writer did not start in every round";
}

// A writer that cannot take the lock within about 2 s says the file is in use and writes
// nothing: the companion in another process too, while this one holds the lock.
TEST(Writers, AWriterThatCannotTakeTheLockSaysTheFileIsInUse) {
    TemporaryFile file("gradewick-in-use.rst");
    const std::string before = Records(3);
    WriteBytes(file.Path, before);
    std::optional<LockedFile> holder(std::in_place, file.Path, false);
    ASSERT_EQ(holder->Status(), LockStatus::Taken);
    EXPECT_EQ(LockedFile(file.Path, false).Status(), LockStatus::InUse);
    const std::string path = "\"" + file.Path + "\"";
    EXPECT_EQ(RunCompanion("add " + path + " 1 1 A Art"), 1);
    EXPECT_EQ(RunCompanion("remove " + path + " 1"), 1);
    EXPECT_EQ(ReadBytes(file.Path), before);
    holder.reset();
#if defined(_WIN32) // and the file keeps what it was: here, hidden
    SetFileAttributesW(std::filesystem::u8path(file.Path).c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    EXPECT_EQ(RunCompanion("remove " + path + " 1"), 0);
    EXPECT_EQ(ReadBytes(file.Path), Records(2));
#if defined(_WIN32)
    EXPECT_NE(
        GetFileAttributesW(std::filesystem::u8path(file.Path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);
#endif
}

#if !defined(_WIN32)
// A file-size limit fails the append's write part of the way, as a full disk does: the file is
// cut back to what it was, and the next append is read as its own record.
TEST(Writers, AnAppendThatFailsLeavesTheFileAsItWas) {
    TemporaryFile file;
    const std::string before = Records(2);
    WriteBytes(file.Path, before);
    const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{before.size() + 10, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const AppendResult failed = AppendRecord(file.Path.c_str(), false, "Semester 2", "Art", 0, 0);
    setrlimit(RLIMIT_FSIZE, &limit);
    static_cast<void>(std::signal(SIGXFSZ, ignored));
    EXPECT_EQ(failed.Status, AppendStatus::Failed);
    EXPECT_EQ(failed.Reason, "File too large");
    EXPECT_EQ(ReadBytes(file.Path), before);
}
#endif

// The longest name a folder takes still leaves room for the new file of a change: its name is
// cut short (never within a character) and found again by the check for one left behind.
TEST(Writers, TheLongestNamesLeaveRoomForTheNewFile) {
    // The new file's name is cut right within the character before ".rst".
#if defined(_WIN32) // 259 UTF-16 units a path, U+1F600 taking two of them
    const std::size_t folder = std::filesystem::u8path(TemporaryFolder()).wstring().size();
    const std::string name =
        std::string(MAX_PATH - 1 - folder - 1 - 2 - 4, 'x') + "\xf0\x9f\x98\x80.rst";
#else // 255 bytes a name, é taking two of them
    std::string name = "x";
    for (int i = 0; i < 125; ++i) {
        name += "\xc3\xa9";
    }
    name += ".rst";
#endif
    TemporaryFile file(name);
    WriteBytes(file.Path, Records(3));
    RecordChange change;
    change.Remove = true;
    const RewriteResult done = RewriteRecords(file.Path, {&change, 1});
    EXPECT_EQ(done.Status, RewriteStatus::Done) << done.Message;
    EXPECT_EQ(ReadBytes(file.Path), Records(2));
    WriteBytes(NewFileNameFor(file.Path), "left behind");
    const RewriteResult refused = RewriteRecords(file.Path, {&change, 1});
    EXPECT_EQ(refused.Status, RewriteStatus::LeftoverNewFile);
    EXPECT_NE(refused.Message.find("~.new' is already there"), std::string::npos)
        << refused.Message;
}

} // namespace
