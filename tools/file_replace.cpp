// Whole-file reading and the one-step replacement, with the platform's own calls for creating,
// flushing and renaming.
#include "file_replace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// For tests: the step that GRADEWICK_CLI_FAIL_AT names is pointed at something that cannot
// work (no file, no folder), so that the step's own error check is what notices.
bool FailAt(const char* step) {
    const char* at = std::getenv("GRADEWICK_CLI_FAIL_AT");
    return at != nullptr && std::strcmp(at, step) == 0;
}

#if defined(_WIN32)

// A file made new (never one that is already there), written, flushed and closed.
class NewFile {
  public:
    explicit NewFile(const std::string& path, const std::string& /*model*/)
        : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() { Close(); }

    [[nodiscard]] bool Created() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD written = 0;
            const auto chunk =
                static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
            HANDLE target = FailAt("write") ? INVALID_HANDLE_VALUE : handle_;
            if (WriteFile(target, bytes.data(), chunk, &written, nullptr) == 0 || written == 0) {
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }
    bool Flush() { return FlushFileBuffers(FailAt("flush") ? INVALID_HANDLE_VALUE : handle_) != 0; }
    bool Close() {
        const bool closed = !Created() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

bool MoveInPlace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) {
    DeleteFileA(path.c_str());
}

#else

// A file made new (never one that is already there) with the permissions of the model file,
// written, flushed and closed.
class NewFile {
  public:
    NewFile(const std::string& path, const std::string& model)
        : fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)) {
        struct stat status {};
        if (fd_ >= 0 && stat(model.c_str(), &status) == 0) {
            fchmod(fd_, status.st_mode & 07777);
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() { Close(); }

    [[nodiscard]] bool Created() const { return fd_ >= 0; }
    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = write(FailAt("write") ? -1 : fd_, bytes.data(), bytes.size());
            if (written <= 0 && errno != EINTR) {
                return false;
            }
            bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
        }
        return true;
    }
    bool Flush() { return fsync(FailAt("flush") ? -1 : fd_) == 0; }
    bool Close() {
        const bool closed = !Created() || close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

  private:
    int fd_;
};

bool MoveInPlace(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}

#endif

} // namespace

WholeFile ReadWholeFile(const std::string& path) {
    WholeFile file;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(path.c_str(), "rb"),
                                                                 &std::fclose);
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

std::string ReplaceFileContents(const std::string& path, std::string_view before,
                                std::string_view contents) {
    const std::string temporary = path + ".new";
    std::string failure;
    {
        NewFile file(temporary, path);
        if (!file.Created()) {
            return "cannot create '" + temporary + "' beside it";
        }
        if (!file.Write(contents)) {
            failure = "writing '" + temporary + "' failed";
        } else if (!file.Flush() || !file.Close()) {
            failure = "'" + temporary + "' could not be flushed to disk";
        }
    }
    if (failure.empty()) {
        if (FailAt("vanish")) {
            (void)std::remove(path.c_str());
        }
        const WholeFile now = ReadWholeFile(path);
        if (!now.Opened || now.ReadError || now.Bytes != before) {
            failure = "'" + path + "' changed or vanished while it was being rewritten";
        } else if (!MoveInPlace(temporary, (FailAt("replace") ? "no-such-folder/" : "") + path)) {
            failure = "'" + temporary + "' could not take the place of '" + path + "'";
        }
    }
    if (!failure.empty()) {
        RemoveFile(temporary);
    }
    return failure;
}
