// A result file opened for one write under the writers' lock: the one lock that every writer of
// the file takes (the entry screen's Insert, the results view's changes, the companion's add and
// remove), held from its last read of the file to its last write. On Linux it is an advisory
// lock (flock) on the file itself, which every name of the file shares; on Windows a byte-range
// lock (LockFileEx) far beyond any file's end, so that it keeps no reader out. A rewrite that
// replaces the file leaves its lock on the file that was replaced: a writer that waited for it
// finds that the name now means another file, and takes the lock again on that one.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

enum class LockStatus {
    Taken,      // open, and the lock is held
    InUse,      // another writer held the lock for the whole wait
    Gone,       // nothing is there (a file is made only where create was asked)
    NotRegular, // a folder, a pipe or a device: not a file to read or write
    ReadOnly,   // no write permission bit, or FILE_ATTRIBUTE_READONLY: no writer changes it
    Failed,     // the platform refused; Reason() says why
};

class LockedFile {
  public:
    // How long a writer waits for another to finish before it says the file is in use.
    static constexpr int WaitMilliseconds = 2000;

    // Opens the file that path names (links followed), made empty first where create is set and
    // nothing is there, and takes the lock, waiting up to WaitMilliseconds.
    LockedFile(const std::string& path, bool create);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    [[nodiscard]] LockStatus Status() const { return status_; }
    // The platform's own words for what failed last ("No space left on device").
    [[nodiscard]] const std::string& Reason() const { return reason_; }

    // The whole file, from its start.
    bool ReadAll(std::string& bytes);
    // Cuts the file to no bytes at all.
    bool Empty();
    // Writes bytes after the file's last byte and flushes them to disk. On any failure it cuts
    // the file back to the length it had (cutBack then tells whether that worked) and returns
    // false.
    bool Append(std::string_view bytes, bool& cutBack);

  private:
    // Each sets status_ and reason_ where it fails.
    bool Open(bool create);
    bool Lock(std::chrono::steady_clock::time_point deadline);
    enum class Attempt { Held, Busy, Failed };
    Attempt TryLock(); // once, without waiting
    [[nodiscard]] bool StillNamedByPath() const;
    void Close();
    bool Length(std::uint64_t& length);
    // lost: the step is pointed at no file, so that it fails as a step on a lost file would.
    bool WriteAt(std::uint64_t offset, std::string_view bytes, bool lost = false);
    bool Flush();
    bool CutTo(std::uint64_t length, bool lost);

#if defined(_WIN32)
    void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
    int fd_ = -1;
#endif
    std::string path_;
    LockStatus status_ = LockStatus::Failed;
    std::string reason_;
};
