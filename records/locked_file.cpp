// The writers' lock over the platform's own calls, asking the failure-injection seam before the
// steps of an append.
#include "locked_file.h"

#include <thread>

#include "file_system.h"
#include "rewrite_step.h"

#if defined(_WIN32)
#include <windows.h>

#include "encoding.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::chrono::milliseconds RetryEvery{10};

} // namespace

LockedFile::LockedFile(const std::string& path, bool create) : path_(path) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMilliseconds);
    // A file replaced while this writer waited: the lock is taken again on the one named now.
    while (Open(create) && Lock(deadline) && !StillNamedByPath()) {
        Close();
    }
    if (status_ != LockStatus::Taken) {
        Close();
    }
}

LockedFile::~LockedFile() {
    Close();
}

bool LockedFile::Append(std::string_view bytes, bool& cutBack) {
    cutBack = true;
    std::uint64_t length = 0;
    if (!Length(length)) {
        return false;
    }
    // A failing step of the tests' seam writes half the record and then loses the file.
    const bool fails = RewriteStepFails(RewriteStep::Append, path_);
    const std::string_view first = fails ? bytes.substr(0, bytes.size() / 2) : bytes;
    if (WriteAt(length, first) &&
        (!fails || WriteAt(length + first.size(), bytes.substr(first.size()), true)) && Flush()) {
        return true;
    }
    const std::string failure = reason_;
    cutBack = CutTo(length, RewriteStepFails(RewriteStep::CutBack, path_));
    reason_ = failure;
    return false;
}

bool LockedFile::Empty() {
    return CutTo(0, false);
}

bool LockedFile::Lock(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const Attempt attempt = TryLock();
        if (attempt == Attempt::Held) {
            status_ = LockStatus::Taken;
            return true;
        }
        if (attempt == Attempt::Failed) {
            status_ = LockStatus::Failed;
            reason_ = PlatformReason();
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            status_ = LockStatus::InUse;
            return false;
        }
        std::this_thread::sleep_for(RetryEvery);
    }
}

#if defined(_WIN32)

namespace {

// The lock's byte, beyond the end of any file, so that it keeps no reader or writer out of the
// file's bytes (a byte-range lock on Windows would).
constexpr DWORD LockOffsetHigh = 0x40000000;

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace

bool LockedFile::Open(bool create) {
    const std::wstring wide = Utf16FromUtf8(path_);
    handle_ = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        reason_ = PlatformReason();
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            status_ = create ? LockStatus::Failed : LockStatus::Gone;
        } else if (attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            status_ = LockStatus::NotRegular;
        } else if (attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            status_ = LockStatus::ReadOnly;
        } else {
            status_ = LockStatus::Failed;
        }
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle_) != FILE_TYPE_DISK) {
        status_ = LockStatus::NotRegular;
    } else if (GetFileInformationByHandle(handle_, &info) == 0) {
        status_ = LockStatus::Failed;
        reason_ = PlatformReason();
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        status_ = LockStatus::ReadOnly; // Wine lets root open such a file for writing
    } else {
        return true;
    }
    return false;
}

LockedFile::Attempt LockedFile::TryLock() {
    OVERLAPPED at{};
    at.OffsetHigh = LockOffsetHigh;
    if (LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) !=
        0) {
        return Attempt::Held;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
        return Attempt::Held; // a volume without locks: the rewrite's check remains
    }
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Attempt::Busy
                                                                      : Attempt::Failed;
}

bool LockedFile::StillNamedByPath() const {
    const HANDLE named = CreateFileW(Utf16FromUtf8(path_).c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION ours{};
    BY_HANDLE_FILE_INFORMATION now{};
    const bool same = named != INVALID_HANDLE_VALUE &&
                      GetFileInformationByHandle(handle_, &ours) != 0 &&
                      GetFileInformationByHandle(named, &now) != 0 && SameFile(ours, now);
    if (named != INVALID_HANDLE_VALUE) {
        CloseHandle(named);
    }
    return same;
}

void LockedFile::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_); // releases the lock
        handle_ = INVALID_HANDLE_VALUE;
    }
}

bool LockedFile::ReadAll(std::string& bytes) {
    bytes.clear();
    char block[8192];
    for (;;) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(bytes.size());
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(bytes.size()) >> 32);
        DWORD got = 0;
        if (ReadFile(handle_, block, sizeof block, &got, &at) == 0) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                return true;
            }
            reason_ = PlatformReason();
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(block, got);
    }
}

bool LockedFile::Length(std::uint64_t& length) {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handle_, &size) == 0) {
        reason_ = PlatformReason();
        return false;
    }
    length = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool LockedFile::WriteAt(std::uint64_t offset, std::string_view bytes, bool lost) {
    const HANDLE handle = lost ? INVALID_HANDLE_VALUE : handle_;
    while (!bytes.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
        if (WriteFile(handle, bytes.data(), chunk, &written, &at) == 0 || written == 0) {
            reason_ = PlatformReason();
            return false;
        }
        bytes.remove_prefix(written);
        offset += written;
    }
    return true;
}

bool LockedFile::Flush() {
    if (FlushFileBuffers(handle_) == 0) {
        reason_ = PlatformReason();
        return false;
    }
    return true;
}

bool LockedFile::CutTo(std::uint64_t length, bool lost) {
    const HANDLE handle = lost ? INVALID_HANDLE_VALUE : handle_;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    if (SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) == 0 || SetEndOfFile(handle) == 0 ||
        FlushFileBuffers(handle) == 0) {
        reason_ = PlatformReason();
        return false;
    }
    return true;
}

#else

bool LockedFile::Open(bool create) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer at its other end.
    fd_ = open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT : 0), 0666);
    if (fd_ < 0) {
        const int error = errno;
        reason_ = PlatformReason();
        const std::optional<FileFacts> facts = LookAtFile(path_);
        if (error == ENOENT) {
            status_ = create ? LockStatus::Failed : LockStatus::Gone;
        } else if (error == EISDIR || error == ENXIO) {
            status_ = LockStatus::NotRegular;
        } else if (error == EACCES && facts && facts->ReadOnly) {
            status_ = LockStatus::ReadOnly;
        } else {
            status_ = LockStatus::Failed;
        }
        return false;
    }
    struct stat status {};
    const int flags = fcntl(fd_, F_GETFL);
    if (fstat(fd_, &status) != 0 || flags == -1 || fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        status_ = LockStatus::Failed;
        reason_ = PlatformReason();
    } else if (!S_ISREG(status.st_mode)) {
        status_ = LockStatus::NotRegular;
    } else if (const std::optional<FileFacts> facts = LookAtFile(path_); facts && facts->ReadOnly) {
        status_ = LockStatus::ReadOnly; // root may open such a file for writing
    } else {
        return true;
    }
    return false;
}

LockedFile::Attempt LockedFile::TryLock() {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        return Attempt::Held;
    }
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) {
        return Attempt::Held; // a file system without locks: the rewrite's check remains
    }
    return errno == EWOULDBLOCK || errno == EINTR ? Attempt::Busy : Attempt::Failed;
}

bool LockedFile::StillNamedByPath() const {
    struct stat ours {};
    struct stat now {};
    return fstat(fd_, &ours) == 0 && stat(path_.c_str(), &now) == 0 && ours.st_dev == now.st_dev &&
           ours.st_ino == now.st_ino;
}

void LockedFile::Close() {
    if (fd_ >= 0) {
        close(fd_); // releases the lock
        fd_ = -1;
    }
}

bool LockedFile::ReadAll(std::string& bytes) {
    bytes.clear();
    char block[8192];
    for (;;) {
        const ssize_t got = pread(fd_, block, sizeof block, static_cast<off_t>(bytes.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            reason_ = PlatformReason();
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
}

bool LockedFile::Length(std::uint64_t& length) {
    struct stat status {};
    if (fstat(fd_, &status) != 0) {
        reason_ = PlatformReason();
        return false;
    }
    length = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool LockedFile::WriteAt(std::uint64_t offset, std::string_view bytes, bool lost) {
    const int fd = lost ? -1 : fd_;
    while (!bytes.empty()) {
        const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            reason_ = PlatformReason();
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool LockedFile::Flush() {
    if (fsync(fd_) != 0) {
        reason_ = PlatformReason();
        return false;
    }
    return true;
}

bool LockedFile::CutTo(std::uint64_t length, bool lost) {
    const int fd = lost ? -1 : fd_;
    if (ftruncate(fd, static_cast<off_t>(length)) != 0 || fsync(fd) != 0) {
        reason_ = PlatformReason();
        return false;
    }
    return true;
}

#endif
