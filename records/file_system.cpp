// The platform's own calls for looking at, creating, flushing, renaming and removing files.
#include "file_system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(_WIN32)
#include <windows.h>

#include <io.h>

#include "encoding.h"
#else
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

WholeFile ReadWholeFile(const std::string& path) {
    WholeFile file;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(
        OpenForReading(path, file.NotRegular), &std::fclose);
    file.Opened = stream != nullptr;
    if (!file.Opened) {
        return file;
    }
    char block[8192];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, stream.get())) > 0) {
        file.Bytes.append(block, got);
    }
    file.ReadError = std::ferror(stream.get()) != 0;
    return file;
}

#if defined(_WIN32)

namespace {

// The one way a path reaches the platform: from UTF-8, as it is kept, to the wide calls.
std::wstring WidePath(const std::string& path) {
    return Utf16FromUtf8(path);
}

// A handle on the file itself, for what it is rather than what it holds.
HANDLE OpenToLookAt(const std::string& path) {
    return CreateFileW(WidePath(path).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

std::FILE* OpenForReading(const std::string& path, bool& notRegular) {
    std::FILE* file = _wfopen(WidePath(path).c_str(), L"rb");
    notRegular =
        file != nullptr &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK;
    if (notRegular) {
        (void)std::fclose(file);
        return nullptr;
    }
    return file;
}

std::string PlatformReason() {
    const DWORD error = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length > 0 ? Utf8FromUtf16(std::wstring_view(text, length)) : "";
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

// A path of MAX_PATH characters or more (the terminator counted) reaches no file without
// long-path support.
std::string NewFileNameFor(const std::string& path) {
    constexpr std::size_t Longest = MAX_PATH - 1;
    const std::wstring wide = WidePath(path);
    if (wide.size() + 4 <= Longest) {
        return path + ".new";
    }
    const std::size_t slash = wide.find_last_of(L"\\/");
    const std::size_t name = slash == std::wstring::npos ? 0 : slash + 1;
    std::size_t keep = Longest >= 5 + name ? Longest - 5 : name;
    keep = std::max(keep, name);
    if (keep > name && keep < wide.size() && IS_LOW_SURROGATE(wide[keep])) {
        --keep; // a character is not cut in two
    }
    return Utf8FromUtf16(std::wstring_view(wide).substr(0, std::min(keep, wide.size()))) + "~.new";
}

std::optional<FileFacts> LookAtFile(const std::string& path) {
    const HANDLE handle = OpenToLookAt(path);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    if (!known) {
        return std::nullopt;
    }
    FileFacts facts;
    facts.Volume = info.dwVolumeSerialNumber;
    facts.Index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    facts.Names = info.nNumberOfLinks;
    facts.ReadOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return facts;
}

// Links that the name does not show (symbolic links, junctions, and under Wine the host's
// links) are all followed by asking the file for its final path.
std::string FinalPath(const std::string& path) {
    const HANDLE handle = OpenToLookAt(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return path;
    }
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, 0);
    std::wstring final(size, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, final.data(), size, 0);
    CloseHandle(handle);
    const std::string full = Utf8FromUtf16(std::wstring_view(final).substr(0, length));
    if (length == 0 || length >= size || full.empty()) {
        return path;
    }
    if (full.starts_with("\\\\?\\UNC\\")) {
        return "\\\\" + full.substr(8);
    }
    return full.starts_with("\\\\?\\") ? full.substr(4) : full;
}

// The model's attributes (hidden, system, not indexed) and creation time are given to the new
// file here; its owner and security descriptor come with ReplaceFileW when it takes the model's
// place (MoveInPlace). A new file is always marked for archiving.
NewFile::NewFile(const std::string& path, const std::string& model)
    : handle_(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    const DWORD error = GetLastError();
    alreadyThere_ = !Created() && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
    WIN32_FILE_ATTRIBUTE_DATA was{};
    if (Created() &&
        GetFileAttributesExW(WidePath(model).c_str(), GetFileExInfoStandard, &was) != 0) {
        constexpr DWORD kept =
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = was.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(was.ftCreationTime.dwHighDateTime);
        basic.FileAttributes = (was.dwFileAttributes & kept) | FILE_ATTRIBUTE_ARCHIVE;
        SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic);
    }
}

bool NewFile::Created() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

bool NewFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
        if (WriteFile(handle_, bytes.data(), chunk, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool NewFile::Flush() {
    return FlushFileBuffers(handle_) != 0;
}

bool NewFile::Close() {
    const bool closed = !Created() || CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
}

MoveResult MoveInPlace(const std::string& from, const std::string& to) {
    const std::wstring replacement = WidePath(from);
    const std::wstring replaced = WidePath(to);
    if (ReplaceFileW(replaced.c_str(), replacement.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0) {
        return MoveResult::Done;
    }
    // No file there yet, or the one replaced is gone already while the new one is still under
    // its own name: there is nothing to keep, and the new file takes the name. Any other
    // failure leaves the file as it was.
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        SetLastError(error);
        return MoveResult::Failed;
    }
    if (MoveFileExW(replacement.c_str(), replaced.c_str(), MOVEFILE_WRITE_THROUGH) != 0) {
        return MoveResult::Done;
    }
    return error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? MoveResult::OldGone : MoveResult::Failed;
}

void RemoveFile(const std::string& path) {
    DeleteFileW(WidePath(path).c_str());
}

FileKind KindOfFile(const std::string& path) {
    const HANDLE handle = OpenToLookAt(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return FileKind::Missing;
    }
    const DWORD type = GetFileType(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool folder = type == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(handle);
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
        return FileKind::Stream;
    }
    if (type != FILE_TYPE_DISK) {
        return FileKind::Other;
    }
    return folder ? FileKind::Folder : FileKind::Regular;
}

std::string WriteIntoStream(const std::string& path, std::string_view bytes) {
    const HANDLE handle =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return PlatformReason();
    }
    std::string reason;
    while (!bytes.empty() && reason.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
        if (WriteFile(handle, bytes.data(), chunk, &written, nullptr) == 0) {
            reason = PlatformReason();
        } else if (written == 0) {
            reason = "it takes no more bytes";
        }
        bytes.remove_prefix(written);
    }
    CloseHandle(handle);
    return reason;
}

#else

std::FILE* OpenForReading(const std::string& path, bool& notRegular) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer at its other end.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    notRegular = fd >= 0 && fstat(fd, &status) == 0 && !S_ISREG(status.st_mode);
    const int flags = fd >= 0 && !notRegular ? fcntl(fd, F_GETFL) : -1;
    std::FILE* file =
        flags != -1 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr && fd >= 0) {
        const int error = errno;
        close(fd);
        errno = notRegular ? EINVAL : error;
    }
    return file;
}

std::string PlatformReason() {
    return std::strerror(errno);
}

std::string NewFileNameFor(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const long longest = pathconf(name == 0 ? "." : path.substr(0, name).c_str(), _PC_NAME_MAX);
    const std::size_t room = longest > 0 ? static_cast<std::size_t>(longest) : 255;
    if (path.size() - name + 4 <= room) {
        return path + ".new";
    }
    std::size_t keep = name + (room > 5 ? room - 5 : 0);
    while (keep > name && (static_cast<unsigned char>(path[keep]) & 0xC0) == 0x80) {
        --keep; // a UTF-8 character is not cut in two
    }
    return path.substr(0, keep) + "~.new";
}

std::optional<FileFacts> LookAtFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    FileFacts facts;
    facts.Volume = status.st_dev;
    facts.Index = status.st_ino;
    facts.Names = status.st_nlink;
    // The mode bits, which root's access() passes over; and access() for a file that is
    // writable only by others.
    facts.ReadOnly = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                     (access(path.c_str(), W_OK) != 0 && errno == EACCES);
    return facts;
}

std::string FinalPath(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, void (*)(void*)> target(realpath(path.c_str(), nullptr),
                                                        &std::free);
    if (target != nullptr) {
        return target.get();
    }
    // A link that names no file yet: its target, each link on the way followed by hand (a
    // relative target from the link's own folder).
    std::filesystem::path at(path);
    std::error_code error;
    constexpr int MaxLinks = 40; // Linux's own limit, past which it says ELOOP
    for (int hop = 0;
         hop < MaxLinks && std::filesystem::is_symlink(std::filesystem::symlink_status(at, error));
         ++hop) {
        at = at.parent_path() / std::filesystem::read_symlink(at, error);
    }
    return at.string();
}

// Made private (0600) and given the model's permissions and owner once it is there, or made
// as any new file is when there is no model.
NewFile::NewFile(const std::string& path, const std::string& model) {
    struct stat status {};
    const bool modelled = stat(model.c_str(), &status) == 0;
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modelled ? 0600 : 0666);
    alreadyThere_ = fd_ < 0 && errno == EEXIST;
    if (fd_ >= 0 && modelled) {
        // Another user's file: only root may give the new file its owner.
        ownerLost_ = fchown(fd_, status.st_uid, status.st_gid) != 0;
        (void)fchmod(fd_, status.st_mode & 07777);
    }
}

bool NewFile::Created() const {
    return fd_ >= 0;
}

bool NewFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd_, bytes.data(), bytes.size());
        if (written <= 0 && errno != EINTR) {
            return false;
        }
        bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
    return true;
}

bool NewFile::Flush() {
    return fsync(fd_) == 0;
}

bool NewFile::Close() {
    const bool closed = !Created() || close(fd_) == 0;
    fd_ = -1;
    return closed;
}

MoveResult MoveInPlace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::Done : MoveResult::Failed;
}

void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}

FileKind KindOfFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return FileKind::Missing;
    }
    if (S_ISREG(status.st_mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(status.st_mode)) {
        return FileKind::Folder;
    }
    return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) ? FileKind::Stream : FileKind::Other;
}

std::string WriteIntoStream(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return PlatformReason();
    }
    std::string reason;
    while (!bytes.empty() && reason.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR) {
            reason = PlatformReason();
        }
        bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
    if (close(fd) != 0 && reason.empty()) {
        reason = PlatformReason();
    }
    return reason;
}

#endif
